// The taxpayer list that the declaration and data-file forms offer, the host
// user's type, the document-number rule of the parameter catalogue, the check
// that a declaration's data files were validated by this program version, and
// the running line position of plain report lines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace validator {
class cValidador;
}

namespace shell {

// Document-type row used for the RUC when the catalogue has none: length 11
// (characters 46-47), digits (128), length at most 11 (130).
inline constexpr std::string_view kFuncionRucIncorporada =
    "REG. UNICO DE CONTRIBUYENTES   RUC           11 000110 01 "
    "000001000001100111011111                                           0 5 0";

// The query of the taxpayer list: type-6 taxpayers, only those of the host
// user unless the user is of type "0"; with the catalogue's RUC row asking
// for exactly 11 characters, only numbers of that length.
std::string ArmaSqlContribuyentes(std::string_view formulario);

// The host user's type from CLAVES; "1" when the user has no row.
std::string TipoUsuario();

// One item of the list: the number cut to 8 characters and 5 blanks when it
// has 8 (trimmed), else cut to 11 and 2 blanks; then the name, which so
// always starts at character 14.
std::string ItemContribuyente(std::string_view docId, std::string_view nombre);

// The items of the list, in the query's order (second and fourth columns).
std::vector<std::string> ItemsContribuyentes();

// A document number against the Funcion text of its document-type row:
// length L at characters 46-47, exactly L when character 130 is not 0 (else
// at most L); digits when character 128 is not 0, else letters and digits in
// upper case, as the validation component judges them.
bool ValidaNumeroDocumentoParam(std::string_view funcion, std::string_view numero);

// What the rule reads from a Funcion text, taken once so that a data file's
// records can be checked without reading the row again for each of them.
struct ReglaDocumento {
    bool vacia = true;     // the Funcion text is blank: no number is valid
    double largo = 0;      // characters 46-47
    bool digitos = false;  // character 128 is not 0
    bool exacto = false;   // character 130 is not 0
};
ReglaDocumento LeeReglaDocumento(std::string_view funcion);

// The same rule on a row already read, with the component given (numero in
// UTF-8, as the component takes it).
bool ValidaNumeroDocumentoParam(const ReglaDocumento& regla, std::string_view numero,
                                const validator::cValidador& val);

// True unless a movement or reversal control record of the current
// declaration carries another version (or none) in cnum.
bool VerificaVersionArchivos(std::string_view version);

// p := p + q (16-bit, overflow raises 6); p as text without blanks.
std::string SumaPosicion(std::int16_t& p, std::int16_t q);

}  // namespace shell
