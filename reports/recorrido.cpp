#include "reports/recorrido.h"

namespace reportes {

bool RecorridoReporte::FueraDeRango(std::int16_t pagina) const {
    const int p = pagina + 1;
    return rango_.porPagina && (p < rango_.desde || p > rango_.hasta);
}

RecorridoReporte::Destino RecorridoReporte::Dibujable(std::int16_t pagina) {
    ultimaPagina_ = pagina;
    Destino d;
    if (FueraDeRango(pagina)) return d;
    d.dibuja = true;
    if (!previa_) return d;
    if (!rango_.porPagina) {
        // Each page on the surface of its own index; surfaces are made up to
        // it, so that browsing never meets a missing one. A negative page
        // names no surface: drawing there fails as the drawing decides.
        if (pagina > 0 && pagina > iNroHoja_) iNroHoja_ = pagina;
        d.superficie = pagina;
        d.nueva = pagina > ultima_;
        if (d.nueva) ultima_ = pagina;
        return d;
    }
    // The pages of the range go on surfaces 0, 1, 2 ... in order; the first
    // page of a range that starts after page 1 takes surface 0 as it is.
    if (pagina > iNroHoja_) {
        if (rango_.desde < 2 || iNroHoja_ >= 1) {
            ++ultima_;
            d.nueva = true;
        }
        iNroHoja_ = pagina;
    }
    d.superficie = ultima_;
    return d;
}

bool RecorridoReporte::NuevaHoja() const {
    if (previa_) return false;
    return !FueraDeRango(ultimaPagina_);
}

}  // namespace reportes
