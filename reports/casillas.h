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
CasillasDeclaracion& CasillasImpresion();

}  // namespace reportes
