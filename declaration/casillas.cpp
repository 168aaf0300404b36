#include "declaration/casillas.h"

#include <algorithm>
#include <array>

namespace declaracion {

namespace {

// Measures of a row of boxes inside its column frame, in twips.
constexpr int kFilaAlto = 240;  // rows are this far apart
constexpr int kPrimeraFila = 190;
constexpr int kBoxAlto = 285;
constexpr int kDescripcionPrimera = 70;  // first description inside its frame

constexpr Grupo GrupoPorNumero(int n) {
    switch (n) {
        case 300:
        case 301:
        case 311:
        case 313:
        case 320:
        case 321:
        case 331:
        case 333:
        case 353:
        case 373:
            return Grupo::Grande;
        case 309:
        case 310:
        case 329:
        case 330:
        case 351:
        case 352:
            return Grupo::Parentesis;
        default:
            return Grupo::Otra;
    }
}

constexpr int TopFila(int fila) {
    return kPrimeraFila + fila * kFilaAlto;
}

constexpr Casilla Caja(int n, Marco m, Columna c, int fila, bool bloqueada) {
    return Casilla{
        n, m, c, fila, bloqueada, GrupoPorNumero(n), TopFila(fila), kBoxAlto, TopFila(fila)};
}

constexpr Casilla Oculta(int n) {
    return Casilla{n, Marco::Oculto, Columna::Ninguna, -1, true, Grupo::Otra, 0, 0, 0};
}

constexpr auto P = Columna::Propia;
constexpr auto R = Columna::Retencion;
constexpr auto A = Marco::Actual;
constexpr auto N = Marco::Anterior;

// Ordered by number (BuscaCasilla searches it).
constexpr std::array kCasillas = {
    Caja(300, A, P, 0, false),
    Caja(301, A, P, 1, false),
    Caja(302, A, P, 2, true),
    Caja(303, N, P, 0, true),
    Caja(305, N, P, 2, true),
    Caja(306, A, P, 3, true),
    Caja(307, A, P, 5, true),
    Oculta(308),
    Caja(309, A, P, 7, false),
    Caja(310, A, P, 8, false),
    Caja(311, A, P, 10, false),
    Caja(312, A, P, 11, true),
    Caja(313, A, P, 12, false),
    Oculta(314),
    Caja(317, A, P, 6, true),
    Caja(320, A, R, 0, false),
    Caja(321, A, R, 1, false),
    Caja(322, A, R, 2, true),
    Caja(323, N, R, 0, true),
    Caja(324, N, R, 1, true),
    Caja(325, N, R, 2, true),
    Caja(326, A, R, 3, true),
    Caja(327, A, R, 5, true),
    Oculta(328),
    Caja(329, A, R, 7, false),
    Caja(330, A, R, 8, false),
    Caja(331, A, R, 10, false),
    Caja(332, A, R, 11, true),
    Caja(333, A, R, 12, false),
    Oculta(334),
    Caja(337, A, R, 6, true),
    Caja(350, A, R, 4, true),
    Caja(351, A, P, 9, false),
    Caja(352, A, R, 9, false),
    Caja(353, A, P, 0, false),
    Caja(373, A, R, 0, false),
    Oculta(402),
    Oculta(403),
    Oculta(406),
    Oculta(416),
    Oculta(422),
    Oculta(423),
    Oculta(424),
    Oculta(426),
    Oculta(436),
    Oculta(450),
    Oculta(516),
    Oculta(536),
    Oculta(590),
    Oculta(591),
    Oculta(592),
    Oculta(593),
    Oculta(594),
};

static_assert(std::is_sorted(kCasillas.begin(), kCasillas.end(),
                             [](const Casilla& a, const Casilla& b) {
                                 return a.numero < b.numero;
                             }));

constexpr int TopDescripcion(int fila) {
    return kDescripcionPrimera + fila * kFilaAlto;
}

const std::array<Descripcion, 16> kDescripciones = {{
    {305, "Impuesto resultante de la 1ra. Quincena", A, TopDescripcion(0)},
    {306, "Impuesto resultante de la 2da quincena", A, TopDescripcion(1)},
    {307, "Total de impuesto resultante ", A, TopDescripcion(2)},
    {312, "Contra asientos por error", A, TopDescripcion(3)},
    {1, "Devoluciones efectuadas en el período", A, TopDescripcion(4)},
    {313, "Saldo a favor del fisco", A, TopDescripcion(5)},
    {2, "Saldo a favor del contribuyente", A, TopDescripcion(6)},
    {9, "Compensación del remanente de períodos anteriores", A, TopDescripcion(7)},
    {0, "Pagos efectuados en el periodo", A, TopDescripcion(8)},
    {6, "Compensación del remanente del período", A, TopDescripcion(9)},
    {3, "Interés moratorio", A, TopDescripcion(10)},
    {4, "TOTAL DEUDA TRIBUTARIA DEL PERIODO", A, TopDescripcion(11)},
    {5, "Importe a Pagar del periodo", A, TopDescripcion(12)},
    {308, "Regul. Per. anteriores por causa imputable al contribuyente", N, TopDescripcion(0)},
    {310, "Regul. Per. anteriores por causa imputable al declarante", N, TopDescripcion(1)},
    {311, "Total de regularización de periodos anteriores", N, TopDescripcion(2)},
}};

constexpr std::array kListaGrabar = {
    300, 301, 302, 303, 305, 306, 307, 308, 309, 310, 311, 312, 313, 320, 321, 322,
    323, 324, 325, 326, 327, 328, 329, 330, 331, 332, 333, 337, 317, 590, 591, 592,
    593, 594, 402, 422, 403, 423, 424, 406, 426, 350, 351, 352, 353, 373,
};
static_assert(kListaGrabar.size() == 46);

}  // namespace

Diseno DisenoDe(std::string_view periodo) {
    if (periodo == "200403") return Diseno::Inicial;
    return periodo >= std::string_view("201710") ? Diseno::UnPeriodo : Diseno::DosQuincenas;
}

std::span<const Casilla> Casillas() {
    return kCasillas;
}

const Casilla* BuscaCasilla(int n) {
    auto it = std::lower_bound(kCasillas.begin(), kCasillas.end(), n,
                               [](const Casilla& c, int x) { return c.numero < x; });
    return (it != kCasillas.end() && it->numero == n) ? &*it : nullptr;
}

std::span<const Descripcion> Descripciones() {
    return kDescripciones;
}

bool Visible(int n, Diseno d) {
    const Casilla* c = BuscaCasilla(n);
    if (!c || c->marco == Marco::Oculto) return false;
    switch (n) {
        case 300:
        case 301:
        case 320:
        case 321:
            return d != Diseno::UnPeriodo;
        case 353:
        case 373:
            return d == Diseno::UnPeriodo;
        default:
            return true;
    }
}

bool Abierta(int n, Diseno d) {
    const Casilla* c = BuscaCasilla(n);
    if (!c || c->bloqueada || !Visible(n, d)) return false;
    return !(d == Diseno::Inicial && (n == 309 || n == 329));
}

bool DescripcionVisible(int indice, Diseno d) {
    return !(d == Diseno::UnPeriodo && indice == 306);
}

std::span<const int> ListaGrabar() {
    return kListaGrabar;
}

bool EnListaAbsoluta(int n) {
    switch (n) {
        case 306:
        case 308:
        case 309:
        case 310:
        case 314:
        case 315:
        case 316:
        case 317:
        case 326:
        case 328:
        case 329:
        case 330:
        case 334:
        case 335:
        case 336:
        case 337:
        case 350:
        case 351:
        case 352:
            return true;
        default:
            return false;
    }
}

}  // namespace declaracion
