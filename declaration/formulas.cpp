#include "declaration/formulas.h"

#include <cmath>
#include <initializer_list>

#include "declaration/formatos.h"
#include "vb/numeric.h"

namespace declaracion {

namespace {

bool TodasVacias(const Declaracion& d, std::initializer_list<int> cajas) {
    for (int n : cajas)
        if (!d.Vacio(n)) return false;
    return true;
}

// A result in display form straight from its value (the text form of a
// Double could be an exponent form, which no box shows).
std::string Muestra(double x) {
    if (x >= 0) return vb::Format(x, "###,###,###,##0");
    return vb::Format(-x, "(###,###,###,##0)");
}

// The balance x shown in the first box when above 0, else in the second.
void Saldo(Declaracion& d, double x, int fisco, int contribuyente) {
    if (x > 0) {
        d.FijaValor(fisco, Muestra(x));
        d.FijaValor(contribuyente, "");
    } else {
        d.FijaValor(fisco, "");
        d.FijaValor(contribuyente, Muestra(x));
    }
}

void Deuda(Declaracion& d, int destino, std::initializer_list<int> cajas, double x) {
    if (TodasVacias(d, cajas)) {
        d.FijaValor(destino, "");
        return;
    }
    d.FijaValor(destino, Muestra(x > 0 ? x : 0));
}

}  // namespace

void Calcular307317(Declaracion& d) {
    if (TodasVacias(d, {302, 306})) {
        d.FijaValor(307, "");
        d.FijaValor(317, "");
        return;
    }
    Saldo(d, d.Vale(302) - d.Vale(306), 307, 317);
}

void Calcular327337(Declaracion& d) {
    if (TodasVacias(d, {322, 326, 350})) {
        d.FijaValor(327, "");
        d.FijaValor(337, "");
        return;
    }
    Saldo(d, d.Vale(322) - d.Vale(326) - d.Vale(350), 327, 337);
}

void Calcular312(Declaracion& d) {
    Deuda(d, 312, {307, 308, 309, 310, 311, 317, 351},
          d.Vale(307) - d.Vale(317) - d.Vale(308) - d.Vale(309) - d.Vale(310) + d.Vale(311) -
              d.Vale(351));
}

void Calcular332(Declaracion& d) {
    Deuda(d, 332, {327, 328, 329, 330, 331, 337, 352},
          d.Vale(327) - d.Vale(337) - d.Vale(328) - d.Vale(329) - d.Vale(330) + d.Vale(331) -
              d.Vale(352));
}

void CalcularImporteTotal(Declaracion& d) {
    if (TodasVacias(d, {313, 333})) {
        d.pago.importe.clear();
    } else {
        d.pago.importe = Muestra(d.Vale(333) + d.Vale(313));
    }
    // The payment control takes at most 15 characters of whole amount.
    if (auto v = LeeImporte(d.pago.importe); v && vb::Format(*v, "##############0").size() > 15)
        d.pago.importe.clear();
    d.modificado = true;
}

std::string SaldoaPagar(std::string_view deuda, std::string_view pago, std::string_view mensaje) {
    const auto d = LeeImporte(deuda);
    const auto p = LeeImporte(pago);
    const std::string exceso =
        "El importe a pagar " + std::string(mensaje) + " tiene un exceso" + "\n";
    if (d && p && !(*p == 0 && *d < 0)) {
        if (*p > *d) return exceso;
        if (*p < *d) return "KORAL generará una orden de pago " + std::string(mensaje) + "\n";
        return {};
    }
    if (deuda.empty() && p && *p > 0) return exceso;
    return {};
}

}  // namespace declaracion
