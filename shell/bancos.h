// The bank names of list 004 of the parameter catalogue, looked up by a
// payment's bank code. The declaration report and the summary report name a
// declaration's bank through this one look-up, so they never disagree on it.
#pragma once

#include <string>

namespace jet {
class Database;
}

namespace shell {

// The two names a row of the list carries in its Funcion text.
enum class NombreBanco {
    Largo,  // characters 1 to 36
    Corto,  // characters 38 to 49
};

// The name of the row whose trimmed argument is exactly the code, blanks
// trimmed; empty text when no row has that code. The code is taken as it
// stands: "3" does not find the row "03". Database errors pass to the caller.
std::string BuscaNombreBanco(jet::Database& db, const std::string& codigo, NombreBanco nombre);

}  // namespace shell
