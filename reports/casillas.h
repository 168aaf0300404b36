// The box values of the declaration being printed, as the print dialog loads
// them and the declaration report reads them: boxes 1 to 700 and 800 to 999,
// each the stored text of its box, empty when the declaration has none.
#pragma once

#include <array>
#include <string>

namespace reportes {

struct CasillasDeclaracion {
    std::array<std::string, 701> gaCasillas;     // boxes 1..700 (element 0 unused)
    std::array<std::string, 200> gaCasillas800;  // boxes 800..999

    // The value of box n; empty text for a box without a slot.
    const std::string& Casilla(int n) const;
    // Stores the value of box n; false (nothing stored) when n has no slot.
    bool Fija(int n, std::string valor);
    // Every box back to empty text.
    void BorraArray();
};

// The tables of the run.
CasillasDeclaracion& Casillas();

}  // namespace reportes

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
