// The reversals file: eighteen fields a record, checked in order and totalled
// by modality, apart for the declarant's own records and those of other
// holders.
#include <cstring>

#include "import/reversiones.h"
#include "import/verificador.h"

namespace importacion {

namespace {

using namespace detalle;

// Fields of a reversals record (1-based).
namespace ext {
enum Campo : int {
    kTipoDocumento = 1,
    kNumeroDocumento,
    kPais,
    kPeriodo,
    kTipoOperacion,
    kTipoMovimiento,
    kCodigo,
    kPaisOperacion,
    kModalidad,
    kMonto,
    kImpuesto,
    kAcumulado,
    kNoDomiciliado,  // the first of the six fields of the block
    kCampos = kNoDomiciliado + kCamposNoDomiciliado - 1
};
static_assert(kCampos == 18);
static_assert(int(kTipoDocumento) == int(detalle::kTipoDocumento) &&
              int(kPais) == int(detalle::kPaisDocumento));
}  // namespace ext

constexpr CamposGrupoC kGrupoC = {ext::kMonto, ext::kPaisOperacion, ext::kImpuesto, "130", "131"};

}  // namespace

TotalesExt ImportoExt(const EntornoImportacion& e, const Listas& l, const std::string& RutArc) {
    TotalesExt t;
    VerificadorRegistros v(e, l, true);
    const Lista& l4 = ListaFija(Fija::kSinMonto);
    const Lista& l3 = ListaFija(Fija::kL3);
    t.resultado = v.Recorre(RutArc, ext::kCampos, [&] {
        long n = 0;
        if (!v.GrupoA(n)) return;
        SV per = v.C(ext::kPeriodo), to = v.C(ext::kTipoOperacion), m = v.C(ext::kTipoMovimiento),
           c = v.C(ext::kCodigo), mod = v.C(ext::kModalidad);
        if (!per.empty()) {
            // The modality followed by the operation code; on the stack when short.
            char corto[8];
            std::string largo;
            SV op;
            if (mod.size() + c.size() <= sizeof corto) {
                std::memcpy(corto, mod.data(), mod.size());
                std::memcpy(corto + mod.size(), c.data(), c.size());
                op = SV(corto, mod.size() + c.size());
            } else {
                largo.append(mod).append(c);
                op = largo;
            }
            if (!Periodo(v.Validador(), per, 6, op, v.PeriodoDeclaracion())) {
                return v.Rechaza("109");
            }
        }
        if (!(to.size() == 2 && Ocurre(v.TiposOperacion(), to))) return v.Rechaza("104");
        if (!(m.size() == 2 && Ocurre(v.TiposMovimiento(), m))) return v.Rechaza("105");
        SV pais = v.C(ext::kPais);
        if (!pais.empty() && Trim(pais).empty()) v.Rechaza("170");
        const bool propio = v.Propio();
        if (!VerificadorRegistros::GrupoB(to, m, c, l4, l3)) return v.Rechaza("127");
        if ((c == "08" || c == "09") && !propio) return v.Rechaza("128");
        char par[4];
        const bool parCorto = to.size() + c.size() == 4;
        if (parCorto) {
            std::memcpy(par, to.data(), 2);
            std::memcpy(par + 2, c.data(), 2);
        }
        if (!(parCorto && Ocurre(v.Codigos(), SV(par, 4)))) return v.Rechaza("106");
        if (!(mod.size() == 1 && Ocurre(v.Modalidades(), mod))) return v.Rechaza("110");
        if (v.PeriodoDeclaracion() == "200403" && (mod == "3" || mod == "4")) {
            return v.Rechaza("117");
        }
        if (mod != "1" && per.empty()) return v.Rechaza("117");

        const ResultadoGrupoC r = v.GrupoC(kGrupoC, c);
        if (r.fallo == ResultadoGrupoC::Ok) {
            if (to == "02" && r.impuesto > 0) {
                v.Rechaza("118");
            } else {
                if (mod == "1") {
                    VerificadorRegistros::Suma(propio ? t.dMto306 : t.dMto326, r.impuesto);
                    VerificadorRegistros::Suma(propio ? t.dMto406 : t.dMto426, r.monto);
                } else if (mod == "2") {
                    if (!propio) {
                        VerificadorRegistros::Suma(t.dMto350, r.impuesto);
                        VerificadorRegistros::Suma(t.dMto450, r.monto);
                    }
                } else if (mod == "3") {
                    VerificadorRegistros::Suma(propio ? t.dMto303 : t.dMto323, r.impuesto);
                    VerificadorRegistros::Suma(propio ? t.dMto403 : t.dMto423, r.monto);
                } else if (mod == "4") {
                    if (propio) {
                        v.Rechaza("119");
                    } else {
                        VerificadorRegistros::Suma(t.dMto324, r.impuesto);
                        VerificadorRegistros::Suma(t.dMto424, r.monto);
                    }
                }
                t.dTotTupla += 1;
            }
        }
        v.GrupoD(ext::kAcumulado);
        v.GrupoE(ext::kNoDomiciliado, true);
    });
    return t;
}

TotalesExt ImportoExt(const EntornoImportacion& e, const std::string& RutArc) {
    const Listas l = LeeListas("EXT", e.periodo);
    return ImportoExt(e, l, RutArc);
}

}  // namespace importacion
