// Where the records of a report go while the previewer reads it: on which
// page surface (preview) or whether at all and with which page breaks
// (print), under the page range in force. Kept apart from the window so the
// rules can be followed without one.
#pragma once

#include <cstdint>

namespace reportes {

struct RangoPaginas {
    bool porPagina = false;  // gbPorPagina
    std::int16_t desde = 0;  // gnPaginaDesde, from 1
    std::int16_t hasta = 0;  // gnPaginaHasta, from 1
};

class RecorridoReporte {
  public:
    RecorridoReporte(bool vistaPrevia, RangoPaginas rango) : previa_(vistaPrevia), rango_(rango) {}

    // The page-count tag: the current page index goes back to 0.
    void Hojas() { iNroHoja_ = 0; }

    struct Destino {
        bool dibuja = false;  // false: outside the range, skipped
        int superficie = 0;   // preview: the surface to draw on
        bool nueva = false;   // preview: that surface is made now
    };
    // A positioned text, box or vertical text of the given page (0-based).
    Destino Dibujable(std::int16_t pagina);

    // A new-page record: true when the printer starts a new page (print mode
    // only; with a range, only when the page last read lies within it).
    bool NuevaHoja() const;

    // Highest page read so far (preview).
    std::int16_t iNroHoja() const { return iNroHoja_; }
    // Highest surface index in use.
    int UltimaSuperficie() const { return ultima_; }

  private:
    bool FueraDeRango(std::int16_t pagina) const;

    bool previa_;
    RangoPaginas rango_;
    std::int16_t iNroHoja_ = 0;
    std::int16_t ultimaPagina_ = 0;  // page field of the last drawable record read
    int ultima_ = 0;
};

}  // namespace reportes
