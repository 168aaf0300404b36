// What the report windows draw of a report: a box, on a page or on the
// printer, and a positioned text on the printer. A box is given by two
// opposite corners and drawn as four lines in one order wherever it goes:
// left side, right side, top, bottom.
#pragma once

#include <string>

namespace reportes::forms {

// Calls linea(xa, ya, xb, yb) for each side of the box, in that order.
template <class T, class Linea>
void LadosCuadro(T x1, T y1, T x2, T y2, Linea&& linea) {
    linea(x1, y1, x1, y2);
    linea(x2, y1, x2, y2);
    linea(x1, y1, x2, y1);
    linea(x1, y2, x2, y2);
}

// The box on the printer's current page: the font name the report sets for
// it, line width 1, then the four sides.
void CuadroImpreso(const char* fuente, double x1, double y1, double x2, double y2);

// A text on the printer's current page with its top left at (x, y) twips,
// in the font name the report sets, bold or not, of that size in points.
// The printer's errors pass on.
void TextoImpreso(const char* fuente, double x, double y, const std::string& texto, bool negrita,
                  double tamano);

}  // namespace reportes::forms
