// The movements file: sixteen fields a record, checked in order and totalled
// apart for the declarant's own records and those of other holders.
#include <cstring>

#include "import/movimientos.h"
#include "import/verificador.h"

namespace importacion {

namespace {

using namespace detalle;

// Fields of a movements record (1-based).
namespace mov {
enum Campo : int {
    kTipoDocumento = 1,
    kNumeroDocumento,
    kPais,
    kTipoOperacion,
    kTipoMovimiento,
    kCodigo,
    kPaisOperacion,
    kMonto,
    kImpuesto,
    kAcumulado,
    kNoDomiciliado,  // the first of the six fields of the block
    kCampos = kNoDomiciliado + kCamposNoDomiciliado - 1
};
static_assert(kCampos == 16);
static_assert(int(kTipoDocumento) == int(detalle::kTipoDocumento) &&
              int(kPais) == int(detalle::kPaisDocumento));
}  // namespace mov

constexpr CamposGrupoC kGrupoC = {mov::kMonto, mov::kPaisOperacion, mov::kImpuesto, "107", "108"};

}  // namespace

TotalesMov ImportoMov(const EntornoImportacion& e, const Listas& l, const std::string& RutArc) {
    TotalesMov t;
    VerificadorRegistros v(e, l, false);
    const bool antes200712 = v.PeriodoDeclaracion() < "200712";
    const Lista& l4 = ListaFija(antes200712 ? Fija::kL4MovAntes200712 : Fija::kL4MovDesde200712);
    const Lista& l3 = ListaFija(antes200712 ? Fija::kL3 : Fija::kL3MovDesde200712);
    t.resultado = v.Recorre(RutArc, mov::kCampos, [&] {
        long n = 0;
        if (!v.GrupoA(n)) return;
        SV to = v.C(mov::kTipoOperacion), m = v.C(mov::kTipoMovimiento), c = v.C(mov::kCodigo);
        if (!(to.size() == 2 && to == "01")) return v.Rechaza("104");
        if (!(m.size() == 2 && Ocurre(v.TiposMovimiento(), m))) return v.Rechaza("105");
        char par[64];
        const bool parCorto = to.size() + c.size() == 4;
        if (parCorto) {
            std::memcpy(par, to.data(), 2);
            std::memcpy(par + 2, c.data(), 2);
        }
        if (!(parCorto && Ocurre(v.Codigos(), SV(par, 4)))) return v.Rechaza("106");
        const bool propio = v.Propio();
        if ((c == "08" || c == "09") && !propio) return v.Rechaza("128");
        if (!VerificadorRegistros::GrupoB(to, m, c, l4, l3)) return v.Rechaza("127");

        const ResultadoGrupoC r = v.GrupoC(kGrupoC, c);
        if (r.fallo == ResultadoGrupoC::Ok) {
            SV pais = v.C(mov::kPais);
            if (!pais.empty() && Trim(pais).empty()) v.Rechaza("170");
            if (propio) {
                VerificadorRegistros::Suma(t.dMto302, r.impuesto);
                VerificadorRegistros::Suma(t.dMto402, r.monto);
            } else {
                VerificadorRegistros::Suma(t.dMto322, r.impuesto);
                VerificadorRegistros::Suma(t.dMto422, r.monto);
            }
            t.dTotTupla += 1;
        }
        v.GrupoD(mov::kAcumulado);
        v.GrupoE(mov::kNoDomiciliado, r.fallo != ResultadoGrupoC::Pais);
    });
    return t;
}

TotalesMov ImportoMov(const EntornoImportacion& e, const std::string& RutArc) {
    const Listas l = LeeListas("MOV", e.periodo);
    return ImportoMov(e, l, RutArc);
}

}  // namespace importacion
