// The catalogue lists one file kind's record checks read before the file's
// first line.
#pragma once

#include <array>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace importacion {

// The lists one file's checks read from the catalogue before the first line.
// Joined lists are kept as the catalogue gives them ("|01|02..."); membership
// is a substring search, as with the original lists.
struct Listas {
    std::array<std::string, 100> tiposDocumento;  // CadPar("044", "102" or "103")
    std::string tiposOperacion;                   // CadPar2("817"), reversals only
    std::string tiposMovimiento;                  // CadPar2("818")
    std::string codigosOperacion;                 // "819" / "312" (reversals: both joined)
    std::string modalidades;                      // CadPar2("820"), reversals only
    std::string paises;                           // CadPar2("976")
    // Existe_TipoND(catalogue, key) for "875" and "876".
    std::function<bool(std::string_view, std::string_view)> existeTipoND;
};

// The lists could not be read from the catalogue: the file is not checked.
class ErrorCatalogo : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Reads the lists of one file kind ("MOV" or "EXT") from the catalogue of the
// program's database. Any fault becomes ErrorCatalogo with a clear text.
Listas LeeListas(std::string_view tipo, std::string_view periodo);

}  // namespace importacion
