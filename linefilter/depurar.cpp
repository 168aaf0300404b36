// depurar: copies a text file line by line keeping only the permitted bytes,
// leaves out the lines on which nothing is kept and logs the number of every
// line it changed.
//
// The input is read in large blocks; a line that runs across blocks is
// gathered in a line buffer that grows to the longest such line, so the result
// is the same as if the whole file were read at once, whatever the block size.

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <new>
#include <vector>

#include "linefilter/linefilter.h"

namespace {

constexpr unsigned char kCr = 0x0D;
constexpr unsigned char kLf = 0x0A;
constexpr unsigned char kC3 = 0xC3;  // lead byte of the UTF-8 n with tilde

// What the walk does with each byte value.
enum Clase : unsigned char {
    kQueda = 0,  // permitted, stays and counts as kept
    kFinLinea,   // CR or LF: only ever the line end
    kPrefijoC3,  // 0xC3: depends on the byte after it
    kQuita,      // removed
};

constexpr std::array<unsigned char, 256> HacerClases() {
    std::array<unsigned char, 256> c{};
    for (auto& v : c) v = kQuita;
    auto queda = [&c](int desde, int hasta) {
        for (int b = desde; b <= hasta; ++b) c[b] = kQueda;
    };
    queda(0x20, 0x20);  // blank
    queda(0x28, 0x29);  // ( )
    queda(0x2C, 0x2F);  // , - . /
    queda(0x30, 0x39);  // digits
    queda(0x3A, 0x3B);  // : ;
    queda(0x41, 0x5A);  // A-Z
    queda(0x61, 0x7A);  // a-z
    queda(0x7C, 0x7C);  // |
    queda(0xD1, 0xD1);  // N with tilde, Windows-1252
    queda(0xF1, 0xF1);  // n with tilde, Windows-1252
    c[kCr] = kFinLinea;
    c[kLf] = kFinLinea;
    c[kC3] = kPrefijoC3;
    return c;
}

constexpr std::array<unsigned char, 256> kClases = HacerClases();

// Removes `n` bytes at `pos` of the text linea[0, largo), moving the rest
// forward; returns the new length.
size_t QuitaCaracteres(unsigned char* linea, size_t largo, size_t pos, size_t n) {
    std::memmove(linea + pos, linea + pos + n, largo - pos - n);
    return largo - n;
}

// Filters one line in place. `linea[0, largo)` holds the content followed by
// its line end (CR LF, CR or LF); the content holds no CR or LF. Returns the
// number of content bytes kept; `largo` becomes the length of the kept
// content plus the unchanged line end.
//
// Removed bytes are not closed up one by one: they gather in a gap that
// QuitaCaracteres closes when the walk has passed the next kept run, so every
// byte moves at most once even on very long lines.
size_t DepuraLinea(unsigned char* linea, size_t& largo, bool& cambiada, int& anchoFin) {
    anchoFin = 1;
    cambiada = false;

    size_t fin = largo - 1;  // where the line end starts
    if (largo >= 2 && linea[largo - 2] == kCr && linea[largo - 1] == kLf) {
        anchoFin = 2;
        fin = largo - 2;
    }

    // Clean prefix: stays where it is. The line end stops the scan.
    size_t r = 0;
    while (kClases[linea[r]] == kQueda) ++r;

    size_t w = r;  // bytes kept so far; linea[w, r) are removed bytes
    while (r < fin) {
        switch (kClases[linea[r]]) {
            case kQueda: {
                const size_t inicio = r;
                while (kClases[linea[r]] == kQueda) ++r;
                if (w != inicio) QuitaCaracteres(linea, r, w, inicio - w);
                w += r - inicio;
                break;
            }
            case kPrefijoC3:
                if (r + 1 == fin) {
                    // Right before the line end: only the 0xC3 goes.
                    ++r;
                    cambiada = true;
                } else if (linea[r + 1] == 0x91 || linea[r + 1] == 0xB1) {
                    linea[w] = linea[r];
                    linea[w + 1] = linea[r + 1];
                    w += 2;
                    r += 2;
                } else {
                    // Some other two-byte character: both bytes go.
                    r += 2;
                    cambiada = true;
                }
                break;
            default:  // kQuita (a CR or LF never appears before `fin`)
                ++r;
                cambiada = true;
                break;
        }
    }
    if (w != fin) largo = QuitaCaracteres(linea, largo, w, fin - w);
    return w;
}

// A C stream closed once; the destructor closes it quietly if nobody did.
class Archivo {
  public:
    Archivo() = default;
    Archivo(const Archivo&) = delete;
    Archivo& operator=(const Archivo&) = delete;
    ~Archivo() { Cerrar(); }

    bool Abrir(const char* ruta, const char* modo) {
        f_ = ruta != nullptr ? std::fopen(ruta, modo) : nullptr;
        return f_ != nullptr;
    }
    FILE* get() const { return f_; }
    // False when buffered data could not be written out.
    bool Cerrar() {
        if (f_ == nullptr) return true;
        const bool ok = std::fclose(f_) == 0;
        f_ = nullptr;
        return ok;
    }
    bool EsDirectorio() const {
        struct stat st;
        return fstat(fileno(f_), &st) == 0 && S_ISDIR(st.st_mode);
    }
    bool EsRegular() const {
        struct stat st;
        return fstat(fileno(f_), &st) == 0 && S_ISREG(st.st_mode);
    }

  private:
    FILE* f_ = nullptr;
};

// The work of one call once the three files are open.
class Depurador {
  public:
    Depurador(FILE* entrada, FILE* log, FILE* salida)
        : entrada_(entrada), log_(log), salida_(salida) {}

    // False when reading the input or writing the output or the log failed.
    bool Ejecutar();

    int32_t Lineas() const { return static_cast<int32_t>(nLineas_); }
    int32_t Depuradas() const { return static_cast<int32_t>(nDepuradas_); }

  private:
    static constexpr size_t kBloque = size_t{1} << 20;

    int64_t TomarTamano();
    void ContarLinea(unsigned char* linea, size_t& largo);
    bool EscribirPendiente();
    bool TratarBloque(unsigned char* buf, size_t n);

    FILE* entrada_;
    FILE* log_;
    FILE* salida_;
    // Signed 32-bit counters in the caller's view; kept unsigned here so that
    // a file of more than two thousand million lines wraps instead of
    // overflowing.
    uint32_t nLineas_ = 0;
    uint32_t nDepuradas_ = 0;
    bool vioCrLf_ = false;  // some line ended with CR LF
    bool vioCr_ = false;    // some line ended with a lone CR
    bool errorLog_ = false;
    std::vector<unsigned char> pendiente_;  // a line begun in an earlier block
    bool crPendiente_ = false;              // that line's CR was the last byte of the block
};

int64_t Depurador::TomarTamano() {
    if (fseeko(entrada_, 0, SEEK_END) != 0) return -1;
    const off_t tamano = ftello(entrada_);
    if (tamano < 0 || fseeko(entrada_, 0, SEEK_SET) != 0) {
        std::clearerr(entrada_);
        std::rewind(entrada_);
        return -1;
    }
    return tamano;
}

// Counts, filters and logs one complete line (content and line end); `largo`
// becomes the number of bytes to write, 0 when the line is left out.
void Depurador::ContarLinea(unsigned char* linea, size_t& largo) {
    ++nLineas_;
    bool cambiada = false;
    int anchoFin = 1;
    const size_t conservados = DepuraLinea(linea, largo, cambiada, anchoFin);
    if (cambiada) {
        ++nDepuradas_;
        if (std::fprintf(log_, "Linea %d\r\n", static_cast<int32_t>(nLineas_)) < 0) {
            errorLog_ = true;
        }
    }
    if (conservados == 0) {
        --nLineas_;  // a line left out takes no number of its own
        largo = 0;
    }
}

bool Depurador::EscribirPendiente() {
    size_t largo = pendiente_.size();
    ContarLinea(pendiente_.data(), largo);
    const bool ok = largo == 0 || std::fwrite(pendiente_.data(), 1, largo, salida_) == largo;
    pendiente_.clear();  // keeps its capacity for the next long line
    return ok;
}

// Splits one block into lines. Lines wholly inside the block are filtered in
// place and the kept bytes packed at the front of the block, which is then
// written with one call. buf[n] must be writable: it holds a LF as the end
// mark of the scans.
bool Depurador::TratarBloque(unsigned char* buf, size_t n) {
    unsigned char* p = buf;
    unsigned char* const fin = buf + n;
    *fin = kLf;

    if (crPendiente_) {
        crPendiente_ = false;
        pendiente_.push_back(kCr);
        if (*p == kLf) {
            pendiente_.push_back(kLf);
            ++p;
            vioCrLf_ = true;
        } else {
            vioCr_ = true;
        }
        if (!EscribirPendiente()) return false;
    }

    unsigned char* escrito = buf;  // end of the packed output
    while (p < fin) {
        unsigned char* q = p;
        while (kClases[*q] == kQueda) ++q;
        bool limpia = true;
        if (kClases[*q] != kFinLinea) {
            limpia = false;
            while (kClases[*q] != kFinLinea) ++q;
        }
        if (q == fin) {  // the line goes on in the next block
            pendiente_.insert(pendiente_.end(), p, fin);
            break;
        }
        size_t ancho = 1;
        if (*q == kCr) {
            if (q + 1 == fin) {  // whether an LF follows is told by the next block
                pendiente_.insert(pendiente_.end(), p, q);
                crPendiente_ = true;
                break;
            }
            if (q[1] == kLf) {
                ancho = 2;
                vioCrLf_ = true;
            } else {
                vioCr_ = true;
            }
        }
        unsigned char* const siguiente = q + ancho;

        if (!pendiente_.empty()) {
            // Only the first line of a block can have begun earlier, so nothing
            // of this block is packed yet and the order of writes holds.
            pendiente_.insert(pendiente_.end(), p, siguiente);
            if (!EscribirPendiente()) return false;
        } else if (limpia) {
            // Nothing to remove: kept whole unless it is a bare line end.
            if (q != p) {
                ++nLineas_;
                const size_t largo = static_cast<size_t>(siguiente - p);
                if (escrito != p) std::memmove(escrito, p, largo);
                escrito += largo;
            }
        } else {
            size_t largo = static_cast<size_t>(siguiente - p);
            ContarLinea(p, largo);
            if (largo != 0) {
                std::memmove(escrito, p, largo);
                escrito += largo;
            }
        }
        p = siguiente;
    }

    const size_t largo = static_cast<size_t>(escrito - buf);
    return largo == 0 || std::fwrite(buf, 1, largo, salida_) == largo;
}

bool Depurador::Ejecutar() {
    std::setvbuf(log_, nullptr, _IOFBF, 64 * 1024);
    std::setvbuf(salida_, nullptr, _IOFBF, 64 * 1024);

    // The size is taken once; a stream that cannot seek is read to its end.
    const int64_t tamano = TomarTamano();
    if (tamano == 0) return true;

    std::unique_ptr<unsigned char[]> buf(new unsigned char[kBloque + 1]);
    int64_t leido = 0;
    for (;;) {
        size_t pedir = kBloque;
        if (tamano > 0) pedir = static_cast<size_t>(std::min<int64_t>(kBloque, tamano - leido));
        if (pedir == 0) break;
        const size_t n = std::fread(buf.get(), 1, pedir, entrada_);
        if (n == 0) {
            // A file that shrank since its size was taken simply ends here.
            if (std::ferror(entrada_)) return false;
            break;
        }
        leido += static_cast<int64_t>(n);
        if (!TratarBloque(buf.get(), n)) return false;
    }

    if (crPendiente_) {  // a CR as the last byte of the file is a lone CR
        crPendiente_ = false;
        pendiente_.push_back(kCr);
        vioCr_ = true;
        if (!EscribirPendiente()) return false;
    } else if (!pendiente_.empty()) {
        // The last line has no line end: it gets the one the file has used.
        if (vioCrLf_) {
            pendiente_.push_back(kCr);
            pendiente_.push_back(kLf);
        } else if (vioCr_) {
            pendiente_.push_back(kCr);
        } else {
            pendiente_.push_back(kLf);
        }
        if (!EscribirPendiente()) return false;
    }
    return !errorLog_;
}

// Whether `ruta` names the file already open as `abierto` (under the name
// `nombre`): the same text, or the same device and inode once resolved.
bool MismoArchivo(const char* ruta, FILE* abierto, const char* nombre) {
    if (nombre != nullptr && std::strcmp(ruta, nombre) == 0) return true;
    struct stat a;
    struct stat b;
    return stat(ruta, &a) == 0 && fstat(fileno(abierto), &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

void EscribirHora(const char* formato) {
    const std::time_t ahora = std::time(nullptr);
    std::tm tm{};
    char texto[64];
    if (localtime_r(&ahora, &tm) != nullptr && asctime_r(&tm, texto) != nullptr) {
        std::printf(formato, texto);
    } else {
        std::printf(formato, "\n");
    }
}

int32_t Depurar(const char* rutaEntrada, const char* rutaLog, const char* rutaSalida) {
    EscribirHora("Inicio %s");

    Archivo entrada;
    // A folder is no file to read, as on the system the callers come from.
    if (!entrada.Abrir(rutaEntrada, "rb") || entrada.EsDirectorio()) {
        entrada.Cerrar();
        std::printf("El fichero no puede abrirse \n");
        return -1;
    }
    // Opening the log or the output cuts it to empty: one that is the input
    // itself (the same name, a link to it) cannot be made without losing the
    // input, nor can an output that is the log.
    Archivo log;
    if (rutaLog == nullptr || MismoArchivo(rutaLog, entrada.get(), rutaEntrada) ||
        !log.Abrir(rutaLog, "w")) {
        std::printf("El fichero log de depuracion no puede abrirse \n");
        return -1;
    }
    Archivo salida;
    if (rutaSalida == nullptr || MismoArchivo(rutaSalida, entrada.get(), rutaEntrada) ||
        MismoArchivo(rutaSalida, log.get(), rutaLog) || !salida.Abrir(rutaSalida, "wb")) {
        std::printf("El fichero de salida no puede abrirse \n");
        return -1;
    }

    bool ok = false;
    int32_t lineas = 0;
    int32_t depuradas = 0;
    try {
        Depurador depurador(entrada.get(), log.get(), salida.get());
        ok = depurador.Ejecutar();
        lineas = depurador.Lineas();
        depuradas = depurador.Depuradas();
    } catch (...) {
        ok = false;  // out of memory for a line longer than memory allows
    }

    entrada.Cerrar();
    ok = log.Cerrar() && ok;
    const bool regular = salida.EsRegular();
    ok = salida.Cerrar() && ok;
    if (!ok) {
        // The caller puts any output in the data file's place; a copy cut
        // short by a failed read or write must not get there.
        if (regular) std::remove(rutaSalida);
        return -1;
    }

    EscribirHora("\n Fin %s");
    std::printf("\n Ok: %d  Dep %d \n", lineas, depuradas);
    return 1;
}

}  // namespace

extern "C" LINEFILTER_EXPORT int32_t depurar(const char* input, const char* log,
                                             const char* output) {
    int32_t resultado = -1;
    try {
        resultado = Depurar(input, log, output);
    } catch (...) {
        resultado = -1;
    }
    std::fflush(stdout);
    return resultado;
}
