#include "dupcheck.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace dupcheck {
namespace {

// Reads a file line by line the way the importer does (a line ends at CR LF,
// CR or LF; the last line needs no ending) and knows where each line starts.
class Lector {
  public:
    explicit Lector(int fd) : fd_(fd), buf_(1 << 20) {}

    // False at end of file.
    bool Siguiente(std::string_view& linea, std::uint64_t& inicio) {
        for (;;) {
            if (saltarLf_ && pos_ < fin_) {
                if (buf_[pos_] == '\n') {
                    ++pos_;
                    ++base_;
                }
                saltarLf_ = false;
            }
            const char* p = buf_.data() + pos_;
            std::size_t n = fin_ - pos_;
            // The next LF is remembered, so a file of CR-only or LF-only lines
            // is not searched again for the other ending on every line.
            if (lf_ < pos_ || lf_ > fin_) {
                const void* q = std::memchr(p, '\n', n);
                lf_ =
                    q ? static_cast<std::size_t>(static_cast<const char*>(q) - buf_.data()) : fin_;
                lfHallado_ = q != nullptr;
            }
            const char* cr = static_cast<const char*>(std::memchr(p, '\r', lf_ - pos_));
            const char* e = cr ? cr : (lfHallado_ ? buf_.data() + lf_ : nullptr);
            if (e) {
                linea = std::string_view(p, e - p);
                inicio = base_;
                std::size_t usados = (e - p) + 1;
                pos_ += usados;
                base_ += usados;
                if (*e == '\r') saltarLf_ = true;
                return true;
            }
            lf_ = SIZE_MAX;
            if (eof_) {
                if (pos_ == fin_) return false;
                linea = std::string_view(p, n);
                inicio = base_;
                base_ += n;
                pos_ = fin_;
                return true;
            }
            Rellenar();
        }
    }

  private:
    void Rellenar() {
        // Keep the unfinished line at the front and read more behind it.
        std::size_t resto = fin_ - pos_;
        if (pos_ > 0) {
            std::memmove(buf_.data(), buf_.data() + pos_, resto);
            pos_ = 0;
            fin_ = resto;
        }
        if (fin_ == buf_.size()) buf_.resize(buf_.size() * 2);
        lf_ = SIZE_MAX;
        ssize_t r = ::read(fd_, buf_.data() + fin_, buf_.size() - fin_);
        if (r <= 0) {
            eof_ = true;
        } else {
            fin_ += static_cast<std::size_t>(r);
        }
    }

    int fd_;
    std::vector<char> buf_;
    std::size_t pos_ = 0, fin_ = 0;
    std::uint64_t base_ = 0;  // file offset of buf_[pos_]
    bool eof_ = false;
    bool saltarLf_ = false;
    std::size_t lf_ = SIZE_MAX;  // position of the next LF, fin_ when none
    bool lfHallado_ = false;
};

// The key of a record: its text up to and including the n-th "|"; a record
// with fewer fields is its own key as a whole.
std::string_view Clave(std::string_view linea, int campos) {
    if (campos <= 0) return {};
    int vistos = 0;
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i barra = _mm_set1_epi8('|');
    for (; i + 16 <= linea.size(); i += 16) {
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(linea.data() + i));
        unsigned m = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(b, barra)));
        for (; m; m &= m - 1)
            if (++vistos == campos)
                return linea.substr(0, i + static_cast<std::size_t>(__builtin_ctz(m)) + 1);
    }
#endif
    for (; i < linea.size(); ++i) {
        if (linea[i] == '|' && ++vistos == campos) return linea.substr(0, i + 1);
    }
    return linea;
}

class Archivo {
  public:
    explicit Archivo(std::string_view ruta) : fd_(::open(std::string(ruta).c_str(), O_RDONLY)) {}
    ~Archivo() {
        if (fd_ >= 0) ::close(fd_);
    }
    int fd() const { return fd_; }

  private:
    int fd_;
};

// The list is written in the data file's own bytes with CR LF endings.
bool EscribeLinea(FILE* f, std::string_view texto) {
    return std::fwrite(texto.data(), 1, texto.size(), f) == texto.size() &&
           std::fwrite("\r\n", 1, 2, f) == 2;
}

bool LeeClave(int fd, std::uint64_t inicio, int campos, std::string& out) {
    // Keys are short; read a growing window until the key is complete.
    std::size_t tam = 256;
    for (;;) {
        out.resize(tam);
        ssize_t r = ::pread(fd, out.data(), tam, static_cast<off_t>(inicio));
        if (r < 0) return false;
        out.resize(static_cast<std::size_t>(r));
        std::size_t finLinea = out.find_first_of("\r\n");
        std::string_view linea = finLinea == std::string::npos
                                     ? std::string_view(out)
                                     : std::string_view(out).substr(0, finLinea);
        if (finLinea != std::string::npos || static_cast<std::size_t>(r) < tam) {
            std::string_view k = Clave(linea, campos);
            out.resize(k.size());
            return true;
        }
        tam *= 4;
    }
}

// Sorts in place: the values are first spread in place over 2048 buckets by
// their top bits, then each small bucket is sorted while it sits in cache.
void OrdenaHashes(std::vector<std::uint64_t>& v) {
    constexpr int kBits = 11;
    constexpr std::size_t kCubos = std::size_t(1) << kBits;
    auto cubo = [](std::uint64_t h) { return static_cast<std::size_t>(h >> (64 - kBits)); };
    std::vector<std::size_t> inicio(kCubos + 1, 0), fin(kCubos);
    for (std::uint64_t h : v) ++inicio[cubo(h) + 1];
    for (std::size_t i = 0; i < kCubos; ++i) inicio[i + 1] += inicio[i];
    for (std::size_t i = 0; i < kCubos; ++i) fin[i] = inicio[i];
    // fin[b] is the next free place of bucket b; each value is swapped home.
    for (std::size_t b = 0; b < kCubos; ++b) {
        while (fin[b] < inicio[b + 1]) {
            std::uint64_t h = v[fin[b]];
            std::size_t d = cubo(h);
            while (d != b) {
                std::swap(h, v[fin[d]++]);
                d = cubo(h);
            }
            v[fin[b]++] = h;
        }
    }
    for (std::size_t b = 0; b < kCubos; ++b)
        std::sort(v.begin() + static_cast<std::ptrdiff_t>(inicio[b]),
                  v.begin() + static_cast<std::ptrdiff_t>(inicio[b + 1]));
}

struct Candidato {
    std::uint32_t grupo;  // index of the repeated hash
    std::uint32_t linea;
    std::uint64_t inicio;
};

}  // namespace

std::uint64_t HashClave(std::string_view s) noexcept {
    // 64-bit multiply-xorshift over 8-byte words; ample for telling keys apart,
    // and every equal-hash group is confirmed against the text anyway.
    const std::uint64_t m = 0x9E3779B97F4A7C15ull;
    std::uint64_t h = 0xCBF29CE484222325ull ^ (s.size() * m);
    std::size_t i = 0;
    for (; i + 8 <= s.size(); i += 8) {
        std::uint64_t w;
        std::memcpy(&w, s.data() + i, 8);
        h ^= w;
        h *= m;
        h ^= h >> 29;
    }
    std::uint64_t w = 0;
    std::memcpy(&w, s.data() + i, s.size() - i);
    h ^= w;
    h *= m;
    h ^= h >> 32;
    h *= 0xD6E8FEB86659FD93ull;
    h ^= h >> 32;
    return h;
}

std::int16_t ValidaDuplicado(std::string_view archivo, std::string_view trabajo,
                             std::int16_t campos, std::string_view lista) {
    (void)trabajo;  // no work file is needed: everything fits in bounded memory
    Archivo datos(archivo);
    if (datos.fd() < 0) {
        if (FILE* f = std::fopen(std::string(lista).c_str(), "wb")) {
            EscribeLinea(f, "No se pudo abrir el archivo de datos");
            std::fclose(f);
        }
        return -1;
    }

    // First pass: each record's hash marks one bit of a table; a record that
    // finds its bit already marked may repeat an earlier one and its hash is
    // kept. The table has a few bits per record, so few hashes are kept.
    struct stat st {};
    const std::uint64_t tam =
        ::fstat(datos.fd(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    const std::uint64_t bits =
        std::clamp<std::uint64_t>(tam / 4, std::uint64_t(1) << 16, std::uint64_t(1) << 31);
    std::vector<std::uint64_t> tabla((bits + 63) / 64);
    auto indice = [bits](std::uint64_t h) {
        return static_cast<std::uint64_t>((static_cast<unsigned __int128>(h) * bits) >> 64);
    };
    std::vector<std::uint64_t> hashes;
    {
        Lector lector(datos.fd());
        std::string_view linea;
        std::uint64_t inicio;
        // Records go in small batches: the table words are fetched for the
        // whole batch before they are looked at, so the waits overlap.
        constexpr int kLote = 32;
        std::uint64_t lote[kLote];
        bool mas = true;
        while (mas) {
            int k = 0;
            while (k < kLote && (mas = lector.Siguiente(linea, inicio))) {
                const std::uint64_t h = HashClave(Clave(linea, campos));
                __builtin_prefetch(&tabla[indice(h) >> 6], 1);
                lote[k++] = h;
            }
            for (int j = 0; j < k; ++j) {
                const std::uint64_t i = indice(lote[j]);
                std::uint64_t& w = tabla[i >> 6];
                const std::uint64_t m = std::uint64_t(1) << (i & 63);
                if (w & m) hashes.push_back(lote[j]);
                w |= m;
            }
        }
    }
    if (hashes.empty()) return 0;
    OrdenaHashes(hashes);
    hashes.erase(std::unique(hashes.begin(), hashes.end()), hashes.end());
    hashes.shrink_to_fit();
    // The table now marks only the kept hashes.
    std::fill(tabla.begin(), tabla.end(), 0);
    for (std::uint64_t h : hashes) {
        const std::uint64_t i = indice(h);
        tabla[i >> 6] |= std::uint64_t(1) << (i & 63);
    }

    // Second pass: the records whose hash was kept; a kept hash with a single
    // record behind it was a chance meeting in the table and lists nothing.
    std::vector<Candidato> cand;
    {
        if (::lseek(datos.fd(), 0, SEEK_SET) != 0) return -1;
        Lector lector(datos.fd());
        std::string_view linea;
        std::uint64_t inicio;
        std::uint32_t numero = 0;
        constexpr int kLote = 32;
        struct Visto {
            std::uint64_t h, inicio;
            std::uint32_t numero;
        } lote[kLote];
        bool mas = true;
        while (mas) {
            int k = 0;
            while (k < kLote && (mas = lector.Siguiente(linea, inicio))) {
                const std::uint64_t h = HashClave(Clave(linea, campos));
                __builtin_prefetch(&tabla[indice(h) >> 6], 0);
                lote[k++] = {h, inicio, ++numero};
            }
            for (int j = 0; j < k; ++j) {
                const std::uint64_t h = lote[j].h;
                const std::uint64_t i = indice(h);
                if (!(tabla[i >> 6] & (std::uint64_t(1) << (i & 63)))) continue;
                auto it = std::lower_bound(hashes.begin(), hashes.end(), h);
                if (it != hashes.end() && *it == h)
                    cand.push_back({static_cast<std::uint32_t>(it - hashes.begin()), lote[j].numero,
                                    lote[j].inicio});
            }
        }
    }
    std::vector<std::uint64_t>().swap(tabla);
    std::vector<std::uint64_t>().swap(hashes);
    std::sort(cand.begin(), cand.end(), [](const Candidato& a, const Candidato& b) {
        return a.grupo != b.grupo ? a.grupo < b.grupo : a.linea < b.linea;
    });

    FILE* out = std::fopen(std::string(lista).c_str(), "wb");
    if (!out) return -1;
    bool hay = false;
    std::string clave, otra;
    std::vector<char> hecho;
    // Groups are listed in the order of their first record.
    struct Grupo {
        std::uint32_t primera;
        std::size_t desde, hasta;
    };
    std::vector<Grupo> grupos;
    for (std::size_t i = 0; i < cand.size();) {
        std::size_t j = i;
        while (j < cand.size() && cand[j].grupo == cand[i].grupo) ++j;
        if (j - i > 1) grupos.push_back({cand[i].linea, i, j});
        i = j;
    }
    std::sort(grupos.begin(), grupos.end(),
              [](const Grupo& a, const Grupo& b) { return a.primera < b.primera; });
    for (const Grupo& g : grupos) {
        const std::size_t i = g.desde, j = g.hasta;
        // Confirm against the text: records of one hash may still differ.
        hecho.assign(j - i, 0);
        for (std::size_t a = i; a < j; ++a) {
            if (hecho[a - i]) continue;
            hecho[a - i] = 1;
            if (!LeeClave(datos.fd(), cand[a].inicio, campos, clave)) break;
            std::string texto;
            int iguales = 0;
            for (std::size_t b = a + 1; b < j; ++b) {
                if (hecho[b - i]) continue;
                if (!LeeClave(datos.fd(), cand[b].inicio, campos, otra) || otra != clave) continue;
                hecho[b - i] = 1;
                if (iguales++ == 0)
                    texto = "Registro duplicado en las lineas " + std::to_string(cand[a].linea);
                texto += ", " + std::to_string(cand[b].linea);
                // Long groups are written in pieces so the text stays small.
                if (texto.size() > 4096) {
                    std::fwrite(texto.data(), 1, texto.size(), out);
                    texto.clear();
                }
            }
            if (iguales > 0) {
                hay = true;
                texto += ": ";
                texto += clave;
                EscribeLinea(out, texto);
            }
        }
    }
    std::fclose(out);
    return hay ? 1 : 0;
}

}  // namespace dupcheck
