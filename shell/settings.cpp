#include "shell/settings.h"

#include "profile/profile.h"
#include "shell/avisos.h"
#include "shell/state.h"
#include "vb/error.h"
#include "vb/files.h"

namespace shell {

std::string LeeOpcion(std::string_view clave) {
    return profile::LeeClave(kSeccionOpciones, clave, kArchivoIni);
}

namespace {

constexpr const char* kTituloConfiguracion = "Error de Configuración";

bool FallaCarpetaSistema(const std::string& texto) {
    Aviso().MsgBox(texto, vbOKOnly + vbCritical, kTituloConfiguracion);
    Aviso().Termina(1);
    return false;
}

}  // namespace

bool LeeConfiguracion() {
    ProgramState& g = G();
    g.gsSysPath = LeeOpcion("SysPath");
    // The program folder becomes the current folder; without it nothing the
    // program writes beside itself would land in the right place.
    if (g.gsSysPath.empty()) {
        return FallaCarpetaSistema(
            "No se encontró la carpeta del sistema: la clave SysPath de la sección Options de "
            "KV000.INI está vacía o no existe.");
    }
    try {
        vb::ChDir(g.gsSysPath);
    } catch (const std::exception&) {
        return FallaCarpetaSistema("No se encontró la carpeta del sistema indicada por SysPath: " +
                                   g.gsSysPath);
    }
    std::string ruta = LeeOpcion("DBPath");
    std::string nombre = LeeOpcion("DBName");
    g.gsRutaBase = ruta + nombre;
    g.gsRutaRpt = g.gsSysPath + "RPT";
    g.gsUsuario = LeeOpcion("SysUser");
    return true;
}

}  // namespace shell
