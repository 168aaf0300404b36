// The writers of the report mark-up file: every report of the main program is
// written through them, one record a line, into the file open as gnArchivoRep.
// The writer state (gnArchivoRep, gnPagina, gnLinea, gnAnchoRep, gnPosY) lives
// in the program state; the report generator that opens the file sets it up.
//
// Records: "pPos|x|y|text|bold|size|page|", "pCuadro|x1|y1|x2|y2|page|",
// "pNuevaHoja", and the header tags "<!font!>...<!/font!>" and the like, which
// are written on the first page only. Numbers are plain decimal.
//
// Errors: a 16-bit counter that overflows (gnPosY past 32767, gnPagina at its
// top) raises 6; file errors of the vb layer (52, 54, 57, 61, ...) pass on.
#pragma once

#include <cstdint>
#include <string>

namespace reportes {

// One plain report line, or a header tag when the line begins with "<!".
// A plain line advances gnPosY by 175 twips and becomes (in the caller's
// string too) "pPos|10|<gnPosY>|<line>|False|8|<gnPagina - 1>|". A tag after
// the first page is dropped. Each line written counts toward the page: after
// 85 lines (83 when gnAnchoRep is 83 or more) "pNuevaHoja" follows and the
// next page begins.
void ImprimeLinea(std::string& linea);

// One positioned text. "pNuevaHoja" as text writes the new-page record; a
// text beginning with "<!" is written as it is, on the first page only.
// Never counts lines.
void ImprimePosicion(std::int16_t x, std::int16_t y, const std::string& texto, bool negrita,
                     std::int16_t tamano, std::int16_t pagina);

// One box given by two opposite corners.
void ImprimeCuadro(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2,
                   std::int16_t pagina);

}  // namespace reportes
