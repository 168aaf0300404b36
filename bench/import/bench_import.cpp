// bench_import [records] [mov|ext] [folder]
// Makes a host installation, generates a valid data file of the given number
// of records (a tenth of them the declarant's own), and runs the whole import
// of it without windows: filter, duplicate check, record checks, digest and
// control record. Prints the time as a ratio to sha1sum over the same file in
// the same run, and the peak memory of this process.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "tools/gendata/generador.h"
#include "dupcheck/dupcheck.h"
#include "host/hostkit.h"
#include "pruebas/host.h"
#include "import/movimientos.h"
#include "import/reversiones.h"
#include "import/transferencia.h"
#include "jet/database.h"
#include "shell/digest.h"
#include "shell/state.h"
#include "tools/seeder/instalador.h"
#include "validator/validator.h"

namespace fs = std::filesystem;

namespace {

class Vista : public importacion::VistaImportacion {
  public:
    explicit Vista(int casilla) : casilla_(casilla) {}
    bool Marcado(int i) const override { return i == casilla_; }
    void ProcesaEventos() override { ++eventos; }
    long eventos = 0;

  private:
    int casilla_;
};

double Segundos(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

}  // namespace

int main(int argc, char** argv) {
    const long n = argc > 1 ? std::atol(argv[1]) : 1000000;
    const std::string clase = argc > 2 ? argv[2] : "mov";
    const std::string carpeta =
        argc > 3
            ? argv[3]
            : (fs::temp_directory_path() / ("bench_import_" + std::to_string(::getpid()))).string();
    const std::string ruc = "20100123453";
    const std::string periodo = "201501";
    // A folder given with a data file in it keeps that file (profiling runs).
    const std::string previo = carpeta + "/0787" + periodo + ruc + "." + clase;
    const bool reusa = argc > 3 && fs::exists(previo);
    if (reusa) {
        fs::rename(previo, carpeta + "/previo");
        fs::remove_all(carpeta + "/host");
    } else {
        fs::remove_all(carpeta);
    }
    fs::create_directories(carpeta);

    pruebas::AvisosGrabados avisos;
    const auto inst = hostkit::CreaHost(carpeta + "/host");
    pruebas::FijaWindir(inst);
    if (seeder::Instalador().Main() != 0) {
        std::cerr << "the installer failed\n";
        return 1;
    }
    auto db = hostkit::AbreHost(inst);
    validator::cValidador val;
    auto& g = shell::G();
    g.gdbBase = db.get();
    g.goValidador = &val;
    g.gsRuc = ruc;
    g.gsPeriodo = periodo;
    g.gsFormulario = "0787";

    const std::string base = carpeta + "/0787" + periodo + ruc + ".";
    const std::string archivo = base + clase;
    gen::Generador gen(ruc, periodo, 11);
    bool ok;
    if (reusa) {
        fs::rename(carpeta + "/previo", archivo);
        ok = true;
    } else {
        ok = clase == "ext" ? gen::EscribeArchivo(archivo, n, [&] { return gen.Extorno(); })
                            : gen::EscribeArchivo(archivo, n, [&] { return gen.Movimiento(); });
    }
    if (!ok) {
        std::cerr << "cannot write " << archivo << "\n";
        return 1;
    }
    const auto tam = fs::file_size(archivo);

    auto t0 = std::chrono::steady_clock::now();
    const std::string sha = "sha1sum '" + archivo + "' > /dev/null";
    if (std::system(sha.c_str()) != 0) {
        std::cerr << "sha1sum failed\n";
        return 1;
    }
    const double tSha = Segundos(std::chrono::steady_clock::now() - t0);

    Vista vista(clase == "ext" ? 3 : 2);
    t0 = std::chrono::steady_clock::now();
    const bool paso = importacion::Transferencia(base, vista);
    const double tImp = Segundos(std::chrono::steady_clock::now() - t0);

    // Each stage again on the (now filtered) file, for where the time goes.
    auto etapa = [&](const char* nombre, auto&& f) {
        const auto t = std::chrono::steady_clock::now();
        f();
        std::printf("  %-10s %.3f s\n", nombre, Segundos(std::chrono::steady_clock::now() - t));
    };
    std::printf("records %ld (%s, %.1f MB)\n", n, clase.c_str(), tam / 1048576.0);
    std::printf("import   %.3f s  (%s)\n", tImp, paso ? "passed" : "FAILED");
    std::printf("sha1sum  %.3f s\n", tSha);
    std::printf("ratio    %.2f x sha1sum\n", tImp / tSha);
    std::printf("stages\n");
    std::string error;
    etapa("depurar",
          [&] { importacion::Depurar(archivo, archivo + "log", archivo + "out", error); });
    etapa("dupcheck", [&] {
        dupcheck::ValidaDuplicado(archivo, base + "db" + clase, clase == "ext" ? 9 : 7,
                                  archivo + "err");
    });
    etapa("records", [&] {
        importacion::EntornoImportacion e;
        e.periodo = periodo;
        e.ruc = ruc;
        e.validador = &val;
        if (clase == "ext") {
            importacion::ImportoExt(e, archivo);
        } else {
            importacion::ImportoMov(e, archivo);
        }
    });
    etapa("digest", [&] { shell::CalculaMarcaArchivo(archivo); });

    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    std::printf("peak     %.1f MB (ru_maxrss)\n", ru.ru_maxrss / 1024.0);
    std::printf("events   %ld callbacks\n", vista.eventos);
    for (const auto& a : avisos.avisos) std::printf("message: %s\n", a.texto.c_str());
    g.gdbBase = nullptr;
    db.reset();
    if (argc <= 3) fs::remove_all(carpeta);
    return paso ? 0 : 2;
}
