// sendcheck: before a declaration is sent, checks that the data files
// recorded for it still agree with the database (record counts against boxes
// 592 and 593, stored digests against the files on disk). Writes an
// inconsistency report in the temporary folder and, when something
// disagrees or could not be checked, tells the user and leaves an error-flag
// file beside it. Started with the companion command line.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vb/error.h"

namespace jet {
class Database;
}

namespace sendcheck {

// The message when the check finds something (followed by the report path).
inline constexpr std::string_view kTextoInconsistente =
    "Existen datos inconsistentes en la información a enviar. Revisar el archivo ";
// The same when the report could not be written (followed by what refused it).
inline constexpr std::string_view kTextoSinReporte =
    "Existen datos inconsistentes en la información a enviar. ";

class VerificadorEnvio {
  public:
    VerificadorEnvio();
    ~VerificadorEnvio();
    // One whole run over the command line; the program's exit code: 0 for a
    // run that was made and, when it found something, wrote its report and
    // its flag; 1 when nothing was checked (another instance is running, the
    // line names no declaration, the database could not be opened) or a
    // report with findings or the flag could not be written (the message
    // says why).
    int Main(std::string_view linea);

    // Writes the report; true when the declaration was checked and nothing
    // was found. A check that could not be made is written as such and makes
    // the result false. A report that could not be written leaves the error
    // that refused it in fallaReporte_.
    bool VerificaEnvio(std::string_view tipo, std::string_view numero, std::string_view formulario,
                       std::string_view periodo, std::string_view semana,
                       const std::string& rutaReporte, bool lineaValida);

  private:
    double LeeNumeroRegistros(std::string_view tabla, std::string_view periodo,
                              std::string_view numero, std::string_view extension);
    std::string LeeValorCasilla(std::string_view casilla, std::string_view tipo,
                                std::string_view numero, std::string_view periodo,
                                std::string_view formulario, std::string_view semana,
                                bool usaSemana);
    // 0, or 1 / 2 for the first movement / reversal file whose digest differs.
    int VerificaMarcas(std::string_view numero, std::string_view periodo);

    std::unique_ptr<jet::Database> db_;
    std::string tmp_;
    std::optional<vb::VbError> fallaReporte_;
};

// The file check of the installer: the folder of the path and the file exist.
bool ExisteFichero(const std::string& ruta);

}  // namespace sendcheck
