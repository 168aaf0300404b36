// bench_linefilter: how fast depurar cleans a movements file of realistic size,
// next to cat and sha1sum over the same file in the same run.
//
//   bench_linefilter [megabytes]     (default 60)
//
// The target is depurar within three times the time of sha1sum.

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "linefilter/linefilter.h"

namespace {

namespace fs = std::filesystem;

// Small, fast generator; the data only has to look like a movements file.
class Azar {
  public:
    explicit Azar(uint64_t semilla) : s_(semilla) {}
    uint32_t operator()() {
        s_ ^= s_ << 13;
        s_ ^= s_ >> 7;
        s_ ^= s_ << 17;
        return static_cast<uint32_t>(s_);
    }
    uint32_t Hasta(uint32_t n) { return (*this)() % n; }

  private:
    uint64_t s_;
};

void Digitos(std::string& s, Azar& azar, int n) {
    for (int i = 0; i < n; ++i) s += static_cast<char>('0' + azar.Hasta(10));
}

// Pipe-separated movement records ending in CR LF; one in ten names holds an n
// with tilde (kept) or an accented letter in UTF-8 or Windows-1252, a '#' or a
// tab (removed).
void GenerarArchivo(const fs::path& ruta, size_t bytes) {
    static const char* const kNombres[] = {"BANCO UNO SA",
                                           "COMERCIAL DE PRUEBA SRL",
                                           "PERSONA DE PRUEBA UNO",
                                           "EMPRESA DE PRUEBA SAC",
                                           "PERSONA \xD1"
                                           "ANDU",
                                           "PE\xC3\x91"
                                           "A EXPORT SA",
                                           "EMPRESA C\xC3\x8D"
                                           "A",
                                           "CAF\xC9 DE PRUEBA",
                                           "DISTRIBUIDORA #12",
                                           "AGRO\tINDUSTRIAL SA"};
    FILE* f = std::fopen(ruta.c_str(), "wb");
    if (f == nullptr) {
        std::perror("bench_linefilter: cannot write the data file");
        std::exit(1);
    }
    Azar azar(20040315);
    std::string linea;
    size_t escritos = 0;
    while (escritos < bytes) {
        linea.clear();
        linea += azar.Hasta(4) == 0 ? "06|" : "01|";
        Digitos(linea, azar, 11);
        linea += '|';
        const uint32_t n = azar.Hasta(60);
        linea += kNombres[n < 6 ? 4 + n : n % 4];
        linea += "|200403|";
        linea += std::to_string(1 + azar.Hasta(28)) + "/03/2004|";
        Digitos(linea, azar, 14);
        linea += '|';
        linea += std::to_string(azar.Hasta(3) + 1);
        linea += '|';
        Digitos(linea, azar, 1 + azar.Hasta(9));
        linea += '.';
        Digitos(linea, azar, 2);
        linea += '|';
        Digitos(linea, azar, 1 + azar.Hasta(6));
        linea += '.';
        Digitos(linea, azar, 2);
        linea += "|QZQ|";
        Digitos(linea, azar, 8);
        linea += "\r\n";
        std::fwrite(linea.data(), 1, linea.size(), f);
        escritos += linea.size();
    }
    std::fclose(f);
}

// Best of `veces` wall-clock runs, in seconds.
double Mejor(int veces, const std::function<void()>& trabajo) {
    double mejor = 1e300;
    for (int i = 0; i < veces; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        trabajo();
        const auto t1 = std::chrono::steady_clock::now();
        mejor = std::min(mejor, std::chrono::duration<double>(t1 - t0).count());
    }
    return mejor;
}

void Comando(const std::string& texto) {
    if (std::system(texto.c_str()) != 0) {
        std::fprintf(stderr, "bench_linefilter: command failed: %s\n", texto.c_str());
        std::exit(1);
    }
}

std::string Citado(const fs::path& ruta) {
    return "'" + ruta.string() + "'";
}

}  // namespace

int main(int argc, char** argv) {
    const double megas = argc > 1 ? std::atof(argv[1]) : 60.0;
    if (megas <= 0) {
        std::fprintf(stderr, "usage: bench_linefilter [megabytes]\n");
        return 2;
    }

    void* h = dlopen(kLinefilterLibrary, RTLD_NOW);
    if (h == nullptr) h = dlopen(LINEFILTER_BIN_DIR "/liblinefilter.so", RTLD_NOW);
    if (h == nullptr) {
        std::fprintf(stderr, "bench_linefilter: %s\n", dlerror());
        return 1;
    }
    auto depurar = reinterpret_cast<DepurarFn>(dlsym(h, "depurar"));
    if (depurar == nullptr) {
        std::fprintf(stderr, "bench_linefilter: %s\n", dlerror());
        return 1;
    }

    const char* tmp = std::getenv("TMPDIR");
    std::string plantilla = std::string(tmp != nullptr && *tmp ? tmp : "/tmp") + "/bench-lf-XXXXXX";
    if (mkdtemp(plantilla.data()) == nullptr) {
        std::perror("bench_linefilter: mkdtemp");
        return 1;
    }
    const fs::path dir = plantilla;
    const fs::path datos = dir / "078720040320123456789.mov";
    const fs::path log = dir / "078720040320123456789.moverr";
    const fs::path salida = dir / "078720040320123456789.movout";

    GenerarArchivo(datos, static_cast<size_t>(megas * 1024 * 1024));
    const auto tamano = fs::file_size(datos);
    std::printf("data file: %.1f MB, CR LF records\n", static_cast<double>(tamano) / (1 << 20));

    const int kVeces = 5;
    Comando("cat " + Citado(datos) + " > /dev/null");  // into the page cache
    const double tCat = Mejor(kVeces, [&] { Comando("cat " + Citado(datos) + " > /dev/null"); });
    const double tSha =
        Mejor(kVeces, [&] { Comando("sha1sum " + Citado(datos) + " > /dev/null"); });

    // depurar prints its start, end and counts; keep them off the report.
    std::fflush(stdout);
    const int consola = dup(STDOUT_FILENO);
    const int nulo = open("/dev/null", O_WRONLY);
    dup2(nulo, STDOUT_FILENO);
    int32_t resultado = 0;
    const double tDep = Mejor(kVeces, [&] {
        fs::remove(salida);
        resultado = depurar(datos.c_str(), log.c_str(), salida.c_str());
    });
    std::fflush(stdout);
    dup2(consola, STDOUT_FILENO);
    close(consola);
    close(nulo);

    const auto tamanoSalida = fs::exists(salida) ? fs::file_size(salida) : 0;
    std::printf("depurar returned %d; output %.1f MB\n", resultado,
                static_cast<double>(tamanoSalida) / (1 << 20));
    std::printf("best of %d runs:\n", kVeces);
    std::printf("  cat      %8.3f s  %8.0f MB/s\n", tCat, tamano / tCat / (1 << 20));
    std::printf("  sha1sum  %8.3f s  %8.0f MB/s\n", tSha, tamano / tSha / (1 << 20));
    std::printf("  depurar  %8.3f s  %8.0f MB/s\n", tDep, tamano / tDep / (1 << 20));
    std::printf("ratio depurar/cat:     %.2f\n", tDep / tCat);
    std::printf("ratio depurar/sha1sum: %.2f\n", tDep / tSha);
    const bool cumple = resultado == 1 && tDep <= 3.0 * tSha;
    std::printf("target depurar within 3x of sha1sum: %s\n", cumple ? "met" : "NOT met");

    std::error_code ec;
    fs::remove_all(dir, ec);
    return 0;
}
