// The import form's readers of the parameter catalogue PARAM: the joined list
// of a catalogue, the array of admitted document types, and the existence of
// one key.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace jet {
class Database;
}

namespace importacion {

using ArregloTipos = std::array<std::string, 100>;

// "|" & trimmed Argumento for each row of catalogue sNumero, in the order the
// database returns them; "" for an empty catalogue. Database errors reach the
// caller.
std::string CadPar2(jet::Database& db, std::string_view sNumero);
std::string CadPar2(std::string_view sNumero);  // on gdbBase

// Entry n (0..99) holds the Funcion of the row whose Argumento reads as n and
// whose Funcion has "1" at position sPos (given as text); every other entry is
// empty. A flagged row whose Argumento is not a whole number from 0 to 99
// raises a run-time error (13 not a number, 9 out of range) to the caller.
ArregloTipos CadPar(jet::Database& db, std::string_view sNumero, std::string_view sPos);
ArregloTipos CadPar(std::string_view sNumero, std::string_view sPos);  // on gdbBase

// Whether catalogue sparam holds the key sDato1 exactly as stored. Every error
// is shown in a message box and answered with true.
bool Existe_TipoND(jet::Database& db, std::string_view sparam, std::string_view sDato1);
bool Existe_TipoND(std::string_view sparam, std::string_view sDato1);  // on gdbBase

}  // namespace importacion
