// Test helpers (never linked by the programs) for tests that work on a host
// installation: a temporary folder, the message boxes recorded instead of
// shown, and another process holding the database exclusively.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/hostkit.h"
#include "shell/avisos.h"

namespace jet {
class Database;
}
namespace validator {
class cValidador;
}

namespace pruebas {

using hostkit::Instalacion;

// A fresh folder under the system's temporary folder, removed with its
// contents at the end.
class CarpetaTemporal {
  public:
    CarpetaTemporal();
    ~CarpetaTemporal();
    CarpetaTemporal(const CarpetaTemporal&) = delete;
    CarpetaTemporal& operator=(const CarpetaTemporal&) = delete;
    const std::string& Ruta() const { return ruta_; }

  private:
    std::string ruta_;
};

struct AvisoGrabado {
    std::string texto;
    int estilo = 0;
    std::string titulo;
};

// Records every message box (answering OK or Yes) and the end of the program
// (which then does not happen); installed for its lifetime.
class AvisosGrabados : public shell::Avisos {
  public:
    AvisosGrabados();
    ~AvisosGrabados() override;
    int MsgBox(const std::string& texto, int estilo, const std::string& titulo) override;
    void Termina(int codigo) override;

    std::vector<AvisoGrabado> avisos;
    int codigoFin = -1;  // -1 while the program was not ended
};

// Points the Windows directory (WINDIR) at the installation's windows folder.
void FijaWindir(const Instalacion& inst);

// A host installation made in `carpeta`, prepared by the installer and opened,
// with WINDIR pointed at it and the program state started afresh over it
// (database, validation component, form "0787", week 0). Throws when the
// installer fails.
struct HostPreparado {
    Instalacion inst;
    std::unique_ptr<jet::Database> db;
};
HostPreparado PreparaHost(const std::string& carpeta, validator::cValidador& validador);

// Another process that opens the database exclusively and holds it until
// this object ends.
class BloqueoExclusivo {
  public:
    explicit BloqueoExclusivo(const Instalacion& inst);
    ~BloqueoExclusivo();
    BloqueoExclusivo(const BloqueoExclusivo&) = delete;
    BloqueoExclusivo& operator=(const BloqueoExclusivo&) = delete;
    bool Activo() const { return activo_; }

  private:
    int hijo_ = -1;
    int aviso_[2] = {-1, -1};  // child -> parent: locked
    int fin_[2] = {-1, -1};    // parent -> child: let go
    bool activo_ = false;
};

}  // namespace pruebas
