// What the print dialog reads from the database: the list of declarations it
// offers and the boxes and payment values of the one chosen.
#pragma once

#include <string>

namespace reportes {

// Loads the boxes and the payment values of the current declaration (gsRuc,
// gsPeriodo, gsFormulario, gnSemana; with gbEnviadas the sent copy gsCorrel)
// for the declaration report. Boxes 721, 722 and 790 are left out, and so is
// a box code without a slot. Tables and payment values are emptied first, so
// a declaration without a header row prints no payment of the one before.
// Database errors pass to the caller.
void CargaCasillas();

// The query of the print dialog's list: the current user's stored
// declarations of the form, or with `enviadas` the sent ones (estado 1).
std::string SqlDeclaracionesImprimir(bool enviadas, const std::string& formulario,
                                     const std::string& usuario);

}  // namespace reportes
