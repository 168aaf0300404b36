#include "pruebas/host.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "jet/database.h"
#include "shell/state.h"
#include "tools/seeder/instalador.h"
#include "validator/validator.h"

namespace fs = std::filesystem;

namespace pruebas {

CarpetaTemporal::CarpetaTemporal() {
    std::random_device azar;
    for (int intento = 0; intento < 100; ++intento) {
        fs::path p = fs::temp_directory_path() /
                     ("qvx-" + std::to_string(::getpid()) + "-" + std::to_string(azar() % 1000000));
        if (fs::create_directory(p)) {
            ruta_ = p.string();
            return;
        }
    }
    throw std::runtime_error("no se pudo crear una carpeta temporal");
}

CarpetaTemporal::~CarpetaTemporal() {
    std::error_code ec;
    fs::remove_all(ruta_, ec);
}

AvisosGrabados::AvisosGrabados() {
    shell::FijaAvisos(this);
}
AvisosGrabados::~AvisosGrabados() {
    shell::FijaAvisos(nullptr);
}

int AvisosGrabados::MsgBox(const std::string& texto, int estilo, const std::string& titulo) {
    avisos.push_back({texto, estilo, titulo});
    int botones = estilo & 7;
    return (botones == shell::vbYesNo || botones == 3) ? shell::vbYes : shell::vbOK;
}

void AvisosGrabados::Termina(int codigo) {
    codigoFin = codigo;
}

void FijaWindir(const Instalacion& inst) {
    ::setenv("WINDIR", inst.windows.c_str(), 1);
}

BloqueoExclusivo::BloqueoExclusivo(const Instalacion& inst) {
    if (::pipe(aviso_) != 0 || ::pipe(fin_) != 0) return;
    hijo_ = ::fork();
    if (hijo_ == 0) {
        char ok = 0;
        try {
            auto db = hostkit::AbreHostExclusivo(inst);
            // Touch the file so the lock is really taken.
            auto rs = db->OpenRecordset("SELECT * FROM PARAM", jet::dbOpenSnapshot);
            rs->Close();
            ok = 1;
            (void)!::write(aviso_[1], &ok, 1);
            char fin;
            (void)!::read(fin_[0], &fin, 1);
            db->Close();
        } catch (...) {
            (void)!::write(aviso_[1], &ok, 1);
        }
        ::_exit(0);
    }
    if (hijo_ < 0) return;
    char ok = 0;
    if (::read(aviso_[0], &ok, 1) == 1) activo_ = ok == 1;
}

BloqueoExclusivo::~BloqueoExclusivo() {
    if (hijo_ > 0) {
        char fin = 1;
        (void)!::write(fin_[1], &fin, 1);
        int estado = 0;
        ::waitpid(hijo_, &estado, 0);
    }
    for (int fd : {aviso_[0], aviso_[1], fin_[0], fin_[1]}) {
        if (fd >= 0) ::close(fd);
    }
}

HostPreparado PreparaHost(const std::string& carpeta, validator::cValidador& validador) {
    HostPreparado h;
    h.inst = hostkit::CreaHost(carpeta);
    FijaWindir(h.inst);
    if (seeder::Instalador().Main() != 0) throw std::runtime_error("el instalador no preparó la base");
    h.db = hostkit::AbreHost(h.inst);
    shell::ResetState();
    auto& g = shell::G();
    g.gdbBase = h.db.get();
    g.goValidador = &validador;
    g.gsFormulario = "0787";
    g.gnSemana = 0;
    return h;
}

}  // namespace pruebas
