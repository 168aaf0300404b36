#include "reports/casillas.h"

namespace reportes {

namespace {
const std::string kVacia;
}

const std::string& CasillasDeclaracion::Casilla(int n) const {
    if (n >= 1 && n <= 700) return gaCasillas[static_cast<std::size_t>(n)];
    if (n >= 800 && n <= 999) return gaCasillas800[static_cast<std::size_t>(n - 800)];
    return kVacia;
}

bool CasillasDeclaracion::Fija(int n, std::string valor) {
    if (n >= 1 && n <= 700) {
        gaCasillas[static_cast<std::size_t>(n)] = std::move(valor);
    } else if (n >= 800 && n <= 999) {
        gaCasillas800[static_cast<std::size_t>(n - 800)] = std::move(valor);
    } else {
        return false;
    }
    return true;
}

void CasillasDeclaracion::BorraArray() {
    for (std::string& s : gaCasillas) s.clear();
    for (std::string& s : gaCasillas800) s.clear();
}

CasillasDeclaracion& CasillasImpresion() {
    static CasillasDeclaracion tablas;
    return tablas;
}

}  // namespace reportes
