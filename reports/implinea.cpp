#include "reports/implinea.h"

#include <string_view>

#include "shell/contribuyentes.h"
#include "shell/state.h"
#include "vb/files.h"
#include "vb/numeric.h"

namespace reportes {

namespace {

bool EsEtiqueta(std::string_view texto) {
    return texto.substr(0, 2) == "<!";
}

std::string N(std::int32_t n) {
    return std::to_string(n);
}

}  // namespace

void ImprimeLinea(std::string& linea) {
    shell::ProgramState& g = shell::G();
    if (!EsEtiqueta(linea)) {
        const std::string y = shell::SumaPosicion(g.gnPosY, 175);
        linea = "pPos|10|" + y + "|" + linea + "|False|8|" + N(vb::SubInteger(g.gnPagina, 1)) + "|";
    } else if (g.gnPagina > 1) {
        return;
    }
    vb::PrintLine(g.gnArchivoRep, linea);
    g.gnLinea = vb::AddInteger(g.gnLinea, 1);
    const std::int16_t largo = g.gnAnchoRep < 83 ? 85 : 83;
    if (g.gnLinea >= largo) {
        g.gnLinea = 0;
        g.gnPagina = vb::AddInteger(g.gnPagina, 1);
        vb::PrintLine(g.gnArchivoRep, "pNuevaHoja");
    }
}

void ImprimePosicion(std::int16_t x, std::int16_t y, const std::string& texto, bool negrita,
                     std::int16_t tamano, std::int16_t pagina) {
    shell::ProgramState& g = shell::G();
    if (texto == "pNuevaHoja") {
        vb::PrintLine(g.gnArchivoRep, "pNuevaHoja");
        return;
    }
    if (EsEtiqueta(texto)) {
        if (g.gnPagina <= 1) vb::PrintLine(g.gnArchivoRep, texto);
        return;
    }
    vb::PrintLine(g.gnArchivoRep, "pPos|" + N(x) + "|" + N(y) + "|" + texto +
                                      (negrita ? "|True|" : "|False|") + N(tamano) + "|" +
                                      N(pagina) + "|");
}

void ImprimeCuadro(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2,
                   std::int16_t pagina) {
    vb::PrintLine(shell::G().gnArchivoRep, "pCuadro|" + N(x1) + "|" + N(y1) + "|" + N(x2) + "|" +
                                               N(y2) + "|" + N(pagina) + "|");
}

}  // namespace reportes
