// The one connection to the host's database, opened through the host's
// workgroup file with the system's workgroup account.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace jet {
class Database;
}

namespace shell {

inline constexpr const char* kTituloConexion = "Error de Conección";

// How a program opens the host database; the main program and the companion
// programs differ only in these points.
struct OpcionesConexion {
    std::string rutaBase;          // the database file
    std::string sistemaDB;         // the workgroup file
    std::string iniPath;           // the engine's settings path ("" leaves it)
    bool escribeSystemDB = false;  // write key SystemDB of KV000.INI first
    std::string textoBloqueo;      // follows Str(3051) in the locked message
    bool textoDelMotor = false;    // generic message: engine's text (else run-time's)
};

// Opens the database as the options say. On failure shows the message titled
// "Error de Conección" and ends the program; when the message interface does
// not end the process the result is nullptr.
std::unique_ptr<jet::Database> AbreConexion(const OpcionesConexion& opciones);

// The main program's opening: writes SystemDB = gsSysPath & "KV000.MDW",
// opens gsRutaBase shared and read-write and keeps it in gdbBase until
// CierraBaseDatos. Needs LeeConfiguracion first.
bool AbreBaseDatos();
void CierraBaseDatos();

// The companion programs' opening: the database is base & DBName (read here),
// the workgroup file base & "/KV000.MDW", the engine's settings path
// "KV000.INI"; the settings file is not written. The caller owns the result.
std::unique_ptr<jet::Database> AbreBaseDatos(std::string_view base);

}  // namespace shell
