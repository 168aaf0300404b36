#include "shell/conexion.h"

#include "jet/database.h"
#include "profile/profile.h"
#include "shell/avisos.h"
#include "shell/cuenta.h"
#include "shell/settings.h"
#include "shell/state.h"
#include "vb/error.h"
#include "vb/numeric.h"

namespace shell {

namespace {

constexpr int kBaseBloqueada = 3051;

std::unique_ptr<jet::Database>& BasePrograma() {
    static std::unique_ptr<jet::Database> base;
    return base;
}

void FijaCuentaMotor(const std::string& sistemaDB, const std::string& iniPath) {
    jet::EngineSettings& motor = jet::DBEngine();
    if (!iniPath.empty()) motor.iniPath = iniPath;
    motor.systemDB = sistemaDB;
    CuentaGrupo cuenta = ArmaCuentaGrupo();
    motor.defaultUser = std::move(cuenta.usuario);
    motor.defaultPassword = std::move(cuenta.clave);
    motor.systemDB = sistemaDB;
}

std::unique_ptr<jet::Database> FallaConexion(const OpcionesConexion& opciones, int numero,
                                             const std::string& descripcion) {
    std::string texto;
    if (numero == kBaseBloqueada) {
        texto = vb::Str(static_cast<double>(numero)) + opciones.textoBloqueo;
    } else {
        std::string mensaje = opciones.textoDelMotor ? descripcion : vb::ErrorText(numero);
        texto = mensaje + "\n" + vb::Str(static_cast<double>(numero));
    }
    Aviso().MsgBox(texto, vbOKOnly, kTituloConexion);
    Aviso().Termina(1);
    return nullptr;
}

}  // namespace

std::unique_ptr<jet::Database> AbreConexion(const OpcionesConexion& opciones) {
    try {
        if (opciones.escribeSystemDB) {
            // Left for the host's other programs; whether the write took is
            // not looked at.
            profile::WritePrivateProfileString(kSeccionOpciones, "SystemDB", opciones.sistemaDB,
                                               kArchivoIni);
        }
        FijaCuentaMotor(opciones.sistemaDB, opciones.iniPath);
        return jet::Database::Open(opciones.rutaBase, false, false);
    } catch (const vb::VbError& e) {
        return FallaConexion(opciones, e.Number(), e.Description());
    } catch (const std::exception& e) {
        return FallaConexion(opciones, vb::kPathFileAccess, e.what());
    }
}

bool AbreBaseDatos() {
    ProgramState& g = G();
    OpcionesConexion opciones;
    opciones.rutaBase = g.gsRutaBase;
    opciones.sistemaDB = g.gsSysPath + "KV000.MDW";
    opciones.escribeSystemDB = true;
    opciones.textoBloqueo = "- Base esta bloqueda";
    // The run-time has no text of its own for the engine's numbers (it would
    // say only "application-defined error"); the engine's text tells the user
    // what is wrong with the file. For run-time numbers both are the same.
    opciones.textoDelMotor = true;
    auto base = AbreConexion(opciones);
    if (!base) return false;
    BasePrograma() = std::move(base);
    g.gdbBase = BasePrograma().get();
    return true;
}

void CierraBaseDatos() {
    auto& base = BasePrograma();
    if (base) {
        try {
            base->Close();
        } catch (const vb::VbError&) {
        }
        base.reset();
    }
    G().gdbBase = nullptr;
}

std::unique_ptr<jet::Database> AbreBaseDatos(std::string_view base) {
    OpcionesConexion opciones;
    std::string carpeta(base);
    opciones.rutaBase = carpeta + LeeOpcion("DBName");
    opciones.sistemaDB = carpeta + "/KV000.MDW";
    opciones.iniPath = std::string(kArchivoIni);
    opciones.escribeSystemDB = false;
    opciones.textoBloqueo = "- Base de datos esta bloqueda";
    opciones.textoDelMotor = true;
    return AbreConexion(opciones);
}

}  // namespace shell
