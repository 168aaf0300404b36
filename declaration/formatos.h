// Display formats of the boxes: what a box shows on receiving the focus, on
// leaving it and after a calculation, and the numeric reading every formula
// and check uses. Thousands "," and decimal "." are fixed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "declaration/casillas.h"

namespace declaracion {

// True when the text, trimmed of blanks, is empty.
bool vacio(std::string_view texto);

// The amount a text reads as: digits with optional "," separators, a leading
// sign or enclosing parentheses for a negative, an optional
// decimal part. Nothing for any other text (empty included).
std::optional<double> LeeImporte(std::string_view texto);

// Numeric value of box n holding texto: 0 when empty or not a number; the
// magnitude for the boxes of EnListaAbsoluta.
double Vale(int n, std::string_view texto);

// Display form after a calculation: a number not negative as
// "###,###,###,##0", a negative one as its magnitude "(###,###,###,##0)",
// anything else "". Rounds to whole units.
std::string Forma(std::string_view texto);

// The group of box n (Otra for boxes of neither list).
Grupo GrupoDe(int n);

// The text a box shows on receiving the focus (plain digits, no separators)
// and its MaxLength then; the same on leaving. An empty text stays empty; a
// parenthesised box holding "0" keeps "0".
std::string TextoAlEntrar(int n, std::string_view texto);
int LargoAlEntrar(int n);
std::string TextoAlSalir(int n, std::string_view texto);
int LargoAlSalir(int n);

// Keys of the order-number boxes. Orden: Backspace and digits pass, Enter
// moves to the check-code box, the rest is refused. Verifica: Backspace and
// digits pass, everything else (Enter too) is refused.
enum class Tecla { Pasa, Rechaza, SiguienteCampo };
Tecla TeclaOrden(std::int16_t keyAscii);
Tecla TeclaVerifica(std::int16_t keyAscii);

}  // namespace declaracion
