// The host stand-in: lays out a complete host installation of the Telvarin
// family in a folder (settings file, workgroup file, program folder with its
// report, temporary and help folders, the host database with its tables and a
// small catalogue, the installer's rows files) and plays the host's part of
// sending a stored declaration.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace jet {
class Database;
}

namespace hostkit {

inline constexpr std::string_view kNombreBase = "QVXDATOS.MDB";
inline constexpr std::string_view kUsuarioSistema = "USUARIO1";  // CLAVES type "1"
inline constexpr std::string_view kUsuarioAdmin = "ADMIN";       // CLAVES type "0"

// Where the pieces of one installation lie (absolute paths, "/" separators).
struct Instalacion {
    std::string carpeta;  // the folder given
    std::string windows;  // carpeta/windows, the Windows directory (WINDIR)
    std::string ini;      // windows/KV000.INI
    std::string sysPath;  // carpeta/QVX/, with the final separator
    std::string base;     // sysPath & kNombreBase
    std::string grupo;    // sysPath & "KV000.MDW"
    std::string tmp;      // sysPath & "tmp/"
};

// The paths of an installation in carpeta (nothing is created).
Instalacion Rutas(std::string_view carpeta);

// Makes the whole installation. Refuses (std::runtime_error) a folder that
// already holds a host database; errors of the platform pass as they come.
Instalacion CreaHost(std::string_view carpeta);

// Opens an installation's database with the workgroup account, as the host's
// own programs do.
std::unique_ptr<jet::Database> AbreHost(const Instalacion& inst);
// The same, exclusively (nobody else can open it meanwhile).
std::unique_ptr<jet::Database> AbreHostExclusivo(const Instalacion& inst);

// A taxpayer of the sample register.
struct Contribuyente {
    int tipo;            // document type (6 = RUC)
    std::string numero;  // document number
    std::string nombre;
    std::string usuario;  // host user who owns it
};
const std::vector<Contribuyente>& Contribuyentes();

// Funcion text of a document-type row (catalogue 044): name (1-30), short
// name (31-45), length (46-47), admitted in movements (102) and reversals
// (103), character class (128, '0' letters and digits) and length rule (130,
// '1' exact length).
std::string FuncionTipoDocumento(std::string_view nombre, std::string_view corto, int longitud,
                                 bool movimientos, bool extornos, char clase, char regla);

// A text in the installer's rows-file format: every field followed by "|".
std::string LineaFilas(const std::vector<std::string>& campos);

// Result of a sending.
struct Envio {
    std::string correl;   // "001", "002", ... per declaration
    std::string control;  // 8 digits
    int casillas = 0;     // boxes copied
};

// The host's sending: copies the stored declaration (CAB and its DET rows) of
// the taxpayer and period into HCAB/HDET under the next correlative, with a
// new control number, today's fec_env, no order number, estado 1 and the
// record control codes. Throws std::runtime_error when there is no such
// declaration. One transaction: all rows or none.
Envio EnviaDeclaracion(jet::Database& db, std::string_view ruc, std::string_view periodo);

}  // namespace hostkit
