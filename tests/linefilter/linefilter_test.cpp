// Tests of liblinefilter.so through its one export, bound the way the main
// program binds it: dlopen by name, dlsym "depurar".

#include "linefilter/linefilter.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

DepurarFn gDepurar = nullptr;

// ---------------------------------------------------------------------------
// Reference filter: the whole file in memory, one plain pass per line.

bool Permitido(unsigned char b) {
    return b == ' ' || b == '(' || b == ')' || (b >= ',' && b <= '/') || (b >= '0' && b <= '9') ||
           b == ':' || b == ';' || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || b == '|' ||
           b == 0xD1 || b == 0xF1;
}

struct Resultado {
    int32_t retorno = 0;
    std::string salida;
    std::string log;
    int32_t ok = 0;
    int32_t dep = 0;
};

Resultado Referencia(const std::string& datos) {
    std::vector<std::pair<std::string, std::string>> lineas;  // content, line end
    std::string actual;
    bool crlf = false;
    bool cr = false;
    for (size_t i = 0; i < datos.size(); ++i) {
        const char c = datos[i];
        if (c == '\r' && i + 1 < datos.size() && datos[i + 1] == '\n') {
            lineas.emplace_back(actual, "\r\n");
            crlf = true;
            ++i;
        } else if (c == '\r') {
            lineas.emplace_back(actual, "\r");
            cr = true;
        } else if (c == '\n') {
            lineas.emplace_back(actual, "\n");
        } else {
            actual += c;
            continue;
        }
        actual.clear();
    }
    if (!actual.empty()) lineas.emplace_back(actual, crlf ? "\r\n" : cr ? "\r" : "\n");

    Resultado r;
    r.retorno = 1;
    int32_t numero = 0;
    for (const auto& [contenido, fin] : lineas) {
        ++numero;
        std::string kept;
        bool cambiada = false;
        for (size_t i = 0; i < contenido.size(); ++i) {
            const auto b = static_cast<unsigned char>(contenido[i]);
            if (Permitido(b)) {
                kept += contenido[i];
            } else if (b == 0xC3 && i + 1 < contenido.size() &&
                       (static_cast<unsigned char>(contenido[i + 1]) == 0x91 ||
                        static_cast<unsigned char>(contenido[i + 1]) == 0xB1)) {
                kept += contenido.substr(i, 2);
                ++i;
            } else if (b == 0xC3 && i + 1 < contenido.size()) {
                cambiada = true;  // a two-byte character goes whole
                ++i;
            } else {
                cambiada = true;
            }
        }
        if (cambiada) {
            ++r.dep;
            r.log += "Linea " + std::to_string(numero) + "\r\n";
        }
        if (kept.empty()) {
            --numero;
        } else {
            r.salida += kept + fin;
        }
    }
    r.ok = numero;
    return r;
}

// ---------------------------------------------------------------------------

std::string Leer(const fs::path& ruta) {
    std::ifstream f(ruta, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

void Escribir(const fs::path& ruta, const std::string& datos) {
    std::ofstream f(ruta, std::ios::binary | std::ios::trunc);
    f.write(datos.data(), static_cast<std::streamsize>(datos.size()));
}

std::string Bytes(std::initializer_list<int> valores) {
    std::string s;
    for (int v : valores) s += static_cast<char>(v);
    return s;
}

// Compares two files' bytes; on a difference tells where, with a little
// context, instead of printing megabytes.
::testing::AssertionResult MismosBytes(const std::string& obtenido, const std::string& esperado) {
    if (obtenido == esperado) return ::testing::AssertionSuccess();
    size_t i = 0;
    while (i < obtenido.size() && i < esperado.size() && obtenido[i] == esperado[i]) ++i;
    auto trozo = [i](const std::string& s) {
        const size_t desde = i < 16 ? 0 : i - 16;
        std::string t;
        for (size_t k = desde; k < s.size() && k < i + 16; ++k) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "%02X ", static_cast<unsigned char>(s[k]));
            t += hex;
        }
        return t;
    };
    return ::testing::AssertionFailure()
           << "sizes " << obtenido.size() << " and " << esperado.size() << ", first difference at "
           << i << "\n  got:      " << trozo(obtenido) << "\n  expected: " << trozo(esperado);
}

// The C library's asctime text: "Wed Jun 30 21:49:08 1993\n".
constexpr size_t kLargoHora = 25;
bool EsHora(const std::string& t) {
    const char* forma = "Aaa Aaa _9 99:99:99 9999\n";
    if (t.size() != kLargoHora) return false;
    for (size_t i = 0; i < kLargoHora; ++i) {
        const char c = t[i];
        bool bien = false;
        switch (forma[i]) {
            case 'A':
                bien = c >= 'A' && c <= 'Z';
                break;
            case 'a':
                bien = c >= 'a' && c <= 'z';
                break;
            case '9':
                bien = c >= '0' && c <= '9';
                break;
            case '_':
                bien = c == ' ' || (c >= '0' && c <= '9');
                break;
            default:
                bien = c == forma[i];
                break;
        }
        if (!bien) return false;
    }
    return true;
}

// "Inicio <time>" followed by `resto`.
::testing::AssertionResult EmpiezaConInicio(const std::string& consola, const std::string& resto) {
    const std::string inicio = "Inicio ";
    if (consola.compare(0, inicio.size(), inicio) == 0 &&
        EsHora(consola.substr(inicio.size(), kLargoHora)) &&
        consola.substr(inicio.size() + kLargoHora) == resto) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "console text: [" << consola << "]";
}

class LinefilterTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        void* h = dlopen(kLinefilterLibrary, RTLD_NOW);
        if (h == nullptr) h = dlopen(FD_BIN_DIR "/liblinefilter.so", RTLD_NOW);
        ASSERT_NE(h, nullptr) << dlerror();
        gDepurar = reinterpret_cast<DepurarFn>(dlsym(h, "depurar"));
        ASSERT_NE(gDepurar, nullptr) << dlerror();
    }

    void SetUp() override {
        ASSERT_NE(gDepurar, nullptr);
        char plantilla[] = "/tmp/linefilter-XXXXXX";
        ASSERT_NE(mkdtemp(plantilla), nullptr);
        dir_ = plantilla;
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    // Calls depurar with its standard output caught in `consola_`.
    int32_t Llamar(const std::string& entrada, const std::string& log, const std::string& salida) {
        const fs::path captura = dir_ / "consola.txt";
        std::fflush(stdout);
        const int guardado = dup(STDOUT_FILENO);
        const int fd = open(captura.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(fd, STDOUT_FILENO);
        close(fd);
        const int32_t r = gDepurar(entrada.c_str(), log.c_str(), salida.c_str());
        std::fflush(stdout);
        dup2(guardado, STDOUT_FILENO);
        close(guardado);
        consola_ = Leer(captura);
        fs::remove(captura);
        return r;
    }

    // Filters `datos` from a file and collects everything the call left.
    Resultado Depurar(const std::string& datos) {
        const fs::path entrada = dir_ / "datos.mov";
        Escribir(entrada, datos);
        Resultado r;
        r.retorno = Llamar(entrada, dir_ / "datos.moverr", dir_ / "datos.movout");
        r.salida = Leer(dir_ / "datos.movout");
        r.log = Leer(dir_ / "datos.moverr");
        r.ok = r.dep = -999;
        const size_t cierre = consola_.rfind("\n Ok: ");
        if (cierre != std::string::npos) {
            int ok = 0;
            int dep = 0;
            int usado = 0;
            const std::string resto = consola_.substr(cierre);
            if (std::sscanf(resto.c_str(), "\n Ok: %d  Dep %d \n%n", &ok, &dep, &usado) == 2 &&
                static_cast<size_t>(usado) == resto.size()) {
                r.ok = ok;
                r.dep = dep;
            }
        }
        return r;
    }

    void EsperarIgual(const Resultado& obtenido, const Resultado& esperado,
                      const std::string& nombre) {
        EXPECT_EQ(obtenido.retorno, esperado.retorno) << nombre;
        EXPECT_TRUE(MismosBytes(obtenido.salida, esperado.salida)) << nombre << " (output)";
        EXPECT_TRUE(MismosBytes(obtenido.log, esperado.log)) << nombre << " (log)";
        EXPECT_EQ(obtenido.ok, esperado.ok) << nombre;
        EXPECT_EQ(obtenido.dep, esperado.dep) << nombre;
    }

    fs::path dir_;
    std::string consola_;
};

// The cases a reader of the filter's rules checks first.
TEST_F(LinefilterTest, FiltersLinesByTheRules) {
    struct Caso {
        const char* nombre;
        std::string entrada;
        std::string salida;
        std::string log;
        int32_t ok;
        int32_t dep;
    };
    const std::vector<Caso> casos = {
        {"empty file", "", "", "", 0, 0},
        {"line ends only", "\r\n\n\r\r\n\r", "", "", 0, 0},
        {"removed byte in first line", "AB#C\r\n", "ABC\r\n", "Linea 1\r\n", 1, 1},
        {"blanks are kept", "   \r\n", "   \r\n", "", 1, 0},
        {"punctuation kept", "(a),-./:;|09AZaz\n", "(a),-./:;|09AZaz\n", "", 1, 0},
        {"line of removed bytes only", "###\r\nOK\r\n", "OK\r\n", "Linea 1\r\n", 1, 1},
        {"left-out line between kept ones", "A\r\n###\r\nB\r\n", "A\r\nB\r\n", "Linea 2\r\n", 2, 1},
        {"left-out last line logs a number no line carries", "abc\r\n\t\r\n", "abc\r\n",
         "Linea 2\r\n", 1, 1},
        {"each line keeps its own line end", "a\r\nb\nc\rd\r\n", "a\r\nb\nc\rd\r\n", "", 4, 0},
        {"CR CR LF is a lone CR then an empty CR LF line", "a\r\r\nb\n", "a\rb\n", "", 2, 0},
        {"LF CR is LF then lone CR", "a\n\rb\r", "a\nb\r", "", 2, 0},
        {"last line gets CR LF", "a\r\nb", "a\r\nb\r\n", "", 2, 0},
        {"last line gets LF", "a\nb", "a\nb\n", "", 2, 0},
        {"last line gets lone CR", "a\rb", "a\rb\r", "", 2, 0},
        {"CR LF wins over lone CR", "a\rb\r\nc", "a\rb\r\nc\r\n", "", 3, 0},
        {"single line without line end", "abc", "abc\n", "", 1, 0},
        {"CR as last byte is a lone CR", "ab\r", "ab\r", "", 1, 0},
        {"n with tilde in both encodings", Bytes({0xD1, 0xF1, 0xC3, 0x91, 0xC3, 0xB1, '\r', '\n'}),
         Bytes({0xD1, 0xF1, 0xC3, 0x91, 0xC3, 0xB1, '\r', '\n'}), "", 1, 0},
        {"accented vowel in UTF-8 goes as a pair", Bytes({'c', 'a', 'f', 0xC3, 0xA9, '\r', '\n'}),
         "caf\r\n", "Linea 1\r\n", 1, 1},
        {"accented vowel in Windows-1252 goes alone", Bytes({'c', 'a', 'f', 0xE9, '\r', '\n'}),
         "caf\r\n", "Linea 1\r\n", 1, 1},
        {"0xC3 before CR LF", Bytes({'a', 'b', 0xC3, '\r', '\n'}), "ab\r\n", "Linea 1\r\n", 1, 1},
        {"0xC3 before LF", Bytes({'a', 'b', 0xC3, '\n'}), "ab\n", "Linea 1\r\n", 1, 1},
        {"0xC3 at end of file", Bytes({'a', 'b', 0xC3}), "ab\n", "Linea 1\r\n", 1, 1},
        {"0xC3 0xC3 0x91 loses all three", Bytes({'a', 0xC3, 0xC3, 0x91, 'b', '\n'}), "ab\n",
         "Linea 1\r\n", 1, 1},
        {"0xC3 takes a zero byte with it", Bytes({'a', 0xC3, 0x00, 'b', '\n'}), "ab\n",
         "Linea 1\r\n", 1, 1},
        {"0xC3 takes a permitted byte with it", Bytes({'a', 0xC3, 'b', 'c', '\n'}), "ac\n",
         "Linea 1\r\n", 1, 1},
        {"lone 0x91 and 0xB1 go", Bytes({'a', 0x91, 0xB1, '\n'}), "a\n", "Linea 1\r\n", 1, 1},
        {"zero bytes go", Bytes({'a', 0, 'b', 0, '\r', '\n'}), "ab\r\n", "Linea 1\r\n", 1, 1},
        {"line of a lone 0xC3 is left out", Bytes({0xC3, '\r', '\n', 'X', '\r', '\n'}), "X\r\n",
         "Linea 1\r\n", 1, 1},
    };
    for (const auto& c : casos) {
        EsperarIgual(Depurar(c.entrada), {1, c.salida, c.log, c.ok, c.dep}, c.nombre);
        EsperarIgual(Referencia(c.entrada), {1, c.salida, c.log, c.ok, c.dep},
                     std::string("reference: ") + c.nombre);
    }
}

// Every byte value other than the line ends, each alone between two letters.
TEST_F(LinefilterTest, EachByteValueOnItsOwnLine) {
    std::string entrada;
    std::string salida;
    std::string log;
    int numero = 0;
    int cambiadas = 0;
    for (int b = 0; b < 256; ++b) {
        if (b == '\r' || b == '\n') continue;
        ++numero;
        entrada += 'x';
        entrada += static_cast<char>(b);
        entrada += "y\r\n";
        salida += 'x';
        if (b == 0xC3) {
            // 0xC3 takes the 'y' after it as the second byte of a pair.
        } else if (Permitido(static_cast<unsigned char>(b))) {
            salida += static_cast<char>(b);
            salida += 'y';
        } else {
            salida += 'y';
        }
        salida += "\r\n";
        if (!Permitido(static_cast<unsigned char>(b))) {
            ++cambiadas;
            log += "Linea " + std::to_string(numero) + "\r\n";
        }
    }
    EsperarIgual(Depurar(entrada), {1, salida, log, numero, cambiadas}, "all bytes");
}

// Line ends, pairs and 0xC3 placed across every block size a reader might
// use: the result must not depend on where the reads fall.
TEST_F(LinefilterTest, SplitsAcrossReadBoundaries) {
    const std::vector<size_t> limites = {256, 512, 4096, 65536, 262144, 1 << 20, 2 << 20};
    const std::vector<std::string> trozos = {
        "\r\n",
        "\r",
        "\n",
        "\r\r\n",
        "\n\r",
        Bytes({0xC3, 0xB1}),
        Bytes({0xC3, 0xA9}),
        Bytes({0xC3, '\r', '\n'}),
        Bytes({0xC3, '\r'}),
        Bytes({0xC3, '\n'}),
        Bytes({'#', 0xC3}),
    };
    for (size_t limite : limites) {
        for (const auto& trozo : trozos) {
            for (size_t antes = 1; antes <= trozo.size() + 1; ++antes) {
                // Lines of 100 bytes up to the boundary, then the fragment
                // straddling it (or just before or after it).
                std::string datos;
                const std::string linea = std::string(98, 'A') + "\r\n";
                while (datos.size() + linea.size() + 10 < limite) datos += linea;
                datos += std::string(limite - antes - datos.size(), 'B');
                datos += trozo;
                datos += "C\r\nD";
                const std::string nombre =
                    "limit " + std::to_string(limite) + " before " + std::to_string(antes);
                EsperarIgual(Depurar(datos), Referencia(datos), nombre);
                // The same fragment as the very end of the file.
                const std::string final = datos.substr(0, limite - antes) + trozo;
                EsperarIgual(Depurar(final), Referencia(final), nombre + " at end");
            }
        }
    }
}

// The first chunk's last byte is the CR of a CR LF pair: one line end.
TEST_F(LinefilterTest, CrLfSplitAtByte256IsOneLineEnd) {
    const std::string datos = std::string(255, 'A') + "\r\nB\r\n";
    ASSERT_EQ(datos[255], '\r');
    EsperarIgual(Depurar(datos), {1, datos, "", 2, 0}, "cr lf at 256");
}

// Lines far longer than the original 253-byte buffer are handled whole.
TEST_F(LinefilterTest, LongLinesAreHandledWhole) {
    std::mt19937 azar(7);
    std::string larga;
    const std::string letras = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789| ";
    for (int i = 0; i < 3'500'000; ++i) {
        const unsigned v = azar() % 1000;
        if (v == 0) {
            larga += "\xC3\xA9";
        } else if (v == 1) {
            larga += "\xC3\x91";
        } else if (v == 2) {
            larga += '\t';
        } else {
            larga += letras[v % letras.size()];
        }
    }
    const std::string mega(1 << 20, 'M');
    const std::string datos = "corta\r\n" + mega + "\r\n" + larga + "\r\n" + mega + "#";
    const Resultado r = Depurar(datos);
    EsperarIgual(r, Referencia(datos), "long lines");
    EXPECT_EQ(r.ok, 4);
    EXPECT_EQ(r.log, "Linea 3\r\nLinea 4\r\n");
}

TEST_F(LinefilterTest, ReplacesExistingOutputAndLog) {
    Escribir(dir_ / "datos.movout", std::string(5000, 'z'));
    Escribir(dir_ / "datos.moverr", std::string(5000, 'z'));
    EsperarIgual(Depurar("a#\n"), {1, "a\n", "Linea 1\r\n", 1, 1}, "overwrite");
}

// Console text: opening line, closing lines with the two counts.
TEST_F(LinefilterTest, PrintsStartEndAndCounts) {
    Depurar("uno\r\ndo#s\r\n\r\ntres\r\n");
    const std::string cierre = "\n Ok: 3  Dep 1 \n";
    const size_t fin = consola_.find("\n Fin ");
    ASSERT_NE(fin, std::string::npos) << consola_;
    EXPECT_TRUE(EmpiezaConInicio(consola_.substr(0, fin), ""));
    const std::string resto = consola_.substr(fin + 6);
    EXPECT_TRUE(EsHora(resto.substr(0, kLargoHora))) << consola_;
    EXPECT_EQ(resto.substr(kLargoHora), cierre);
}

// Files that cannot be opened: the result, the message and what is left on disk.
TEST_F(LinefilterTest, ReportsFilesThatCannotBeOpened) {
    Escribir(dir_ / "datos.mov", "abc\r\n");
    Escribir(dir_ / "archivo", "x");
    fs::create_directory(dir_ / "carpeta");
    const std::string entrada = dir_ / "datos.mov";
    const std::string log = dir_ / "datos.moverr";
    const std::string salida = dir_ / "datos.movout";
    const std::string nohay = dir_ / "no" / "existe";
    const std::string bajoArchivo = dir_ / "archivo" / "x";
    struct Caso {
        const char* nombre;
        std::string entrada, log, salida;
        const char* mensaje;
        bool quedaLog;
    };
    const std::vector<Caso> casos = {
        {"missing input", dir_ / "falta.mov", log, salida, "El fichero no puede abrirse \n", false},
        {"input is a folder", dir_ / "carpeta", log, salida, "El fichero no puede abrirse \n",
         false},
        {"log folder missing", entrada, nohay, salida,
         "El fichero log de depuracion no puede abrirse \n", false},
        {"output folder missing", entrada, log, nohay, "El fichero de salida no puede abrirse \n",
         true},
        {"output under a file", entrada, log, bajoArchivo,
         "El fichero de salida no puede abrirse \n", true},
        {"output is a folder", entrada, log, dir_ / "carpeta",
         "El fichero de salida no puede abrirse \n", true},
    };
    for (const auto& c : casos) {
        fs::remove(log);
        fs::remove(salida);
        EXPECT_EQ(Llamar(c.entrada, c.log, c.salida), -1) << c.nombre;
        EXPECT_TRUE(EmpiezaConInicio(consola_, c.mensaje)) << c.nombre;
        EXPECT_FALSE(fs::exists(salida)) << c.nombre;
        EXPECT_EQ(fs::exists(log), c.quedaLog) << c.nombre;
        if (c.quedaLog) {
            EXPECT_EQ(fs::file_size(log), 0u) << c.nombre;
        }
    }
    EXPECT_EQ(gDepurar(nullptr, log.c_str(), salida.c_str()), -1);
}

// A log or output that is the input itself (by name or through a link), or
// an output that is the log, is refused before anything is cut.
TEST_F(LinefilterTest, InputIsNeverTheLogOrTheOutput) {
    const fs::path entrada = dir_ / "datos.mov";
    const fs::path log = dir_ / "datos.moverr";
    const fs::path salida = dir_ / "datos.movout";
    const std::string datos = "a#b\r\n";
    struct Caso {
        const char* nombre;
        fs::path log, salida;
        const char* mensaje;
    };
    const std::vector<Caso> casos = {
        {"output is the input", log, entrada, "El fichero de salida no puede abrirse \n"},
        {"log is the input", entrada, salida, "El fichero log de depuracion no puede abrirse \n"},
        {"output is the log", log, log, "El fichero de salida no puede abrirse \n"},
        {"output is a hard link", log, dir_ / "enlace", "El fichero de salida no puede abrirse \n"},
        {"log is a symbolic link", dir_ / "simbolico", salida,
         "El fichero log de depuracion no puede abrirse \n"},
        {"output by another path", log, dir_ / "." / "datos.mov",
         "El fichero de salida no puede abrirse \n"},
    };
    for (const auto& c : casos) {
        for (const fs::path& p : {entrada, log, salida, dir_ / "enlace", dir_ / "simbolico"})
            fs::remove(p);
        Escribir(entrada, datos);
        fs::create_hard_link(entrada, dir_ / "enlace");
        fs::create_symlink(entrada, dir_ / "simbolico");
        EXPECT_EQ(Llamar(entrada, c.log, c.salida), -1) << c.nombre;
        EXPECT_TRUE(EmpiezaConInicio(consola_, c.mensaje)) << c.nombre << consola_;
        EXPECT_EQ(Leer(entrada), datos) << c.nombre;
    }
}

// A full disk must not pass a cut copy off as the filtered file.
TEST_F(LinefilterTest, WriteFailureIsReported) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    Escribir(dir_ / "datos.mov", std::string(300000, 'a') + "\r\nb#\r\n");
    EXPECT_EQ(Llamar(dir_ / "datos.mov", dir_ / "datos.moverr", "/dev/full"), -1);
    EXPECT_TRUE(fs::exists("/dev/full"));  // a device is never removed
    EXPECT_EQ(Llamar(dir_ / "datos.mov", "/dev/full", dir_ / "datos.movout"), -1);
    EXPECT_FALSE(fs::exists(dir_ / "datos.movout"));
}

TEST_F(LinefilterTest, PathsWithNonAsciiCharacters) {
    const fs::path carpeta = dir_ / "año ñandú/cañería é";
    fs::create_directories(carpeta);
    const fs::path entrada = carpeta / "0787200403ñ.mov";
    Escribir(entrada,
             "a\xE1"
             "b\r\n");
    EXPECT_EQ(Llamar(entrada, carpeta / "0787200403ñ.moverr", carpeta / "0787200403ñ.movout"), 1);
    EXPECT_EQ(Leer(carpeta / "0787200403ñ.movout"), "ab\r\n");
    EXPECT_EQ(Leer(carpeta / "0787200403ñ.moverr"), "Linea 1\r\n");
}

// Random files, biased toward the bytes the rules single out, against the
// reference; and what must hold of any output.
TEST_F(LinefilterTest, RandomFilesMatchTheReference) {
    const unsigned semilla = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(semilla));
    std::mt19937 azar(semilla);
    auto byte = [&azar]() -> char {
        const unsigned v = azar() % 100;
        if (v < 35) return static_cast<char>('A' + azar() % 26);
        if (v < 43) return '\r';
        if (v < 51) return '\n';
        if (v < 59) return static_cast<char>(0xC3);
        if (v < 64) return static_cast<char>(azar() % 2 ? 0x91 : 0xB1);
        if (v < 67) return static_cast<char>(azar() % 2 ? 0xD1 : 0xF1);
        if (v < 70) return '\0';
        if (v < 75) return '|';
        return static_cast<char>(azar() % 256);
    };
    for (int vuelta = 0; vuelta < 400; ++vuelta) {
        size_t largo = azar() % 600;
        if (vuelta % 50 == 0) largo = 1'000'000 + azar() % 2'500'000;
        std::string datos;
        datos.reserve(largo);
        while (datos.size() < largo) {
            if (azar() % 40 == 0) {
                // a long clean run, so lines cross read boundaries
                datos.append(azar() % (vuelta % 50 == 0 ? 400000 : 700), 'L');
            } else {
                datos += byte();
            }
        }
        const std::string nombre = "round " + std::to_string(vuelta);
        const Resultado r = Depurar(datos);
        EsperarIgual(r, Referencia(datos), nombre);

        // Invariants of any output: only permitted bytes and whole n-with-tilde
        // pairs, each line with some content, one line per kept line.
        int32_t lineas = 0;
        size_t contenido = 0;
        bool bien = true;
        for (size_t i = 0; i < r.salida.size(); ++i) {
            const auto b = static_cast<unsigned char>(r.salida[i]);
            if (b == '\r' || b == '\n') {
                if (b == '\r' && i + 1 < r.salida.size() && r.salida[i + 1] == '\n') ++i;
                bien = bien && contenido > 0;
                ++lineas;
                contenido = 0;
            } else if (b == 0xC3) {
                const auto s =
                    i + 1 < r.salida.size() ? static_cast<unsigned char>(r.salida[i + 1]) : 0;
                bien = bien && (s == 0x91 || s == 0xB1);
                ++i;
                contenido += 2;
            } else {
                bien = bien && Permitido(b);
                ++contenido;
            }
        }
        EXPECT_TRUE(bien) << nombre;
        EXPECT_EQ(contenido, 0u) << nombre << ": output must end with a line end";
        EXPECT_EQ(lineas, r.ok) << nombre;
        if (::testing::Test::HasFailure()) break;
    }
}

}  // namespace
