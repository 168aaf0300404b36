// Record control code (cNumero) of a database row and the modulus-11 check
// digits of control and order numbers.
#pragma once

#include <span>
#include <string>

#include "vb/variant.h"

namespace jet {
class Recordset;
}

namespace shell {

// The six-digit control code of a row, given its values in column order (the
// last one is the code column itself and never counts). The first nClave
// values are the key: their numeric texts are summed; the rest but the last
// give a sum of position x character code. A product above 32767 raises the
// overflow error (6); nClave outside 0..count raises 9.
std::string CalculaCNumero(std::span<const vb::Variant> fields, int nClave);
// The same over the row that rs is adding or editing (its fields already set).
std::string CalculaCNumero(jet::Recordset& rs, int nClave);

// The text of one value as both sums see it: numbers as Str without the
// leading blank, dates "yyyymmdd", text trimmed, anything else "".
std::string TextoCampo(const vb::Variant& v);

// s cut to 17 characters and trimmed (written back), followed by its
// modulus-11 check digit; "" when nothing is left.
std::string AgregaDigitoVerificador(std::string& s);

// Two-character check code of an order number q for the control number p
// (p is trimmed and cut to 17 characters in place).
std::string GeneraCodigoVerificacion(std::string& p, const std::string& q);

// True when codigo is exactly the check code of p and q.
bool ValidaCodigoVerificacion(std::string& p, const std::string& q, const std::string& codigo);

}  // namespace shell
