#include "reports/imprep.h"

#include <string_view>

#include "reports/casillas.h"
#include "reports/implinea.h"
#include "shell/avisos.h"
#include "shell/bancos.h"
#include "shell/state.h"
#include "vb/error.h"
#include "vb/files.h"
#include "vb/numeric.h"
#include "vb/strings.h"

namespace reportes {

namespace {

constexpr std::string_view kFormatoMonto = "###,###,###,##0;(###,###,###,##0)";
constexpr std::int16_t kTipoDeclaracion = 2;

std::int16_t gnCopias = 0;

// Whole numbers of plain digits, as the boxes are stored: grouped from their
// own digits, so amounts of 16 digits and more keep every digit (through a
// Double they would lose the 16th).
bool EsEnteroPlano(std::string_view t) {
    std::size_t i = t.empty() || t[0] != '-' ? 0 : 1;
    if (i == t.size()) return false;
    for (; i < t.size(); ++i) {
        if (t[i] < '0' || t[i] > '9') return false;
    }
    return true;
}

std::string FormatoMonto(const std::string& valor) {
    const std::string t = vb::Trim(valor);
    if (!EsEnteroPlano(t)) return vb::Format(std::string_view(valor), kFormatoMonto);
    const bool negativo = t[0] == '-';
    std::string_view d = std::string_view(t).substr(negativo ? 1 : 0);
    while (d.size() > 1 && d[0] == '0') d.remove_prefix(1);
    std::string agrupado;
    for (std::size_t i = 0; i < d.size(); ++i) {
        if (i > 0 && (d.size() - i) % 3 == 0) agrupado += ',';
        agrupado += d[i];
    }
    if (negativo && d != "0") return "(" + agrupado + ")";
    return agrupado;
}

void Texto(std::int16_t x, std::int16_t y, const std::string& texto, std::int16_t tamano,
           bool negrita) {
    ImprimePosicion(x, y, texto, negrita, tamano, 0);
}

void Cuadro(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2) {
    ImprimeCuadro(x1, y1, x2, y2, 0);
}

// One row of the box table: label, own-account box and amount (when the row
// has one), retention box and amount.
void FilaCasillas(std::int16_t y, const char* etiqueta, int propia, int retencion) {
    const CasillasDeclaracion& c = CasillasImpresion();
    Texto(550, y, etiqueta, 8, false);
    if (propia > 0) {
        Texto(6600, y, std::to_string(propia), 8, false);
        Texto(7050, y, TextoMonto(c.Casilla(propia)), 8, false);
    }
    Texto(8825, y, std::to_string(retencion), 8, false);
    Texto(9275, y, TextoMonto(c.Casilla(retencion)), 8, false);
}

std::int16_t Fila(std::int16_t k) {
    return vb::AddInteger(3390, vb::MulInteger(270, k));
}

void Cabecera() {
    const shell::ProgramState& g = shell::G();
    Texto(300, 350, "KORAL", 16, true);
    Texto(300, 750, "DECLARACION", 8, false);
    Texto(550, 1100, "PAGO", 8, false);
    Texto(550, 1330, "787", 12, true);
    Cuadro(150, 300, 1700, 1640);
    Texto(2500, 400, "QVX UZQ Olvarico", 9, true);
    Texto(4300, 850, "Período " + vb::Right(g.gsPeriodo, 2) + "-" + vb::Left(g.gsPeriodo, 4), 7,
          false);
    Cuadro(1700, 300, 8500, 1100);
    Texto(1750, 1170, "RUC", 8, false);
    Texto(3500, 1170, g.gsRuc, 8, true);
    Cuadro(1700, 1100, 3400, 1370);
    Cuadro(3400, 1100, 8500, 1370);
    Texto(1750, 1450, "RAZON SOCIAL", 8, false);
    Texto(3500, 1450, g.gsNombre, 8, true);
    Cuadro(1700, 1370, 3400, 1640);
    Cuadro(3400, 1370, 8500, 1640);
    Texto(9000, 400, "Copia para el", 8, false);
    Texto(8600, 700, "Contribuyente (Pag. 1)", 8, false);
    Cuadro(8500, 300, 11000, 1100);
    Cuadro(8500, 1100, 11000, 1640);
    if (!vb::Trim(g.gsNumOrden).empty()) {
        Cuadro(150, 1640, 2650, 1910);
        Texto(300, 1720, "NRO. CONTROL: ", 8, false);
        Texto(1800, 1720, AlineaDerecha(g.gsNumControl, 8), 8, true);
        Cuadro(8500, 1640, 11000, 1910);
        Texto(8700, 1720, "NRO. ORDEN: ", 8, false);
        Texto(10000, 1720, AlineaDerecha(g.gsNumOrden, 8), 8, true);
    }
    Cuadro(8500, 1100, 11000, 1370);
}

void Reglas(bool desde201710) {
    auto regla = [](std::int16_t r) {
        const std::int16_t y1 = static_cast<std::int16_t>(2820 + 270 * r);
        const std::int16_t y2 = static_cast<std::int16_t>(3090 + 270 * r);
        Cuadro(6550, y1, 6950, y2);
        Cuadro(8775, y1, 9175, y2);
        Cuadro(500, y1, 11000, y2);
    };
    for (std::int16_t r = desde201710 ? 1 : 0; r <= 12; ++r) regla(r);
    for (std::int16_t r = 16; r <= 18; ++r) regla(r);
}

void BloquePeriodo(bool desde201710) {
    if (!desde201710) {
        Texto(300, 2040, "DETERMINACION DE LA DEUDA   ", 9, true);
        Texto(300, 2310, "DATOS DEL PERIODO   ", 9, true);
        Texto(7000, 2610, "UZQ Cta. Propia", 8, false);
        Cuadro(6550, 2550, 8775, 2820);
        Texto(9300, 2610, "UZQ Retención", 8, false);
        Cuadro(8775, 2550, 11000, 2820);
        FilaCasillas(2880, " Impuesto Resultante de la 1ra. Quincena ", 300, 320);
        FilaCasillas(3150, " Impuesto Resultante de la 2da. Quincena ", 301, 321);
    } else {
        Texto(300, 2310, "DETERMINACION DE LA DEUDA   ", 9, true);
        Texto(300, 2580, "DATOS DEL PERIODO   ", 9, true);
        Texto(7000, 2880, "UZQ Cta. Propia", 8, false);
        Cuadro(6550, 2820, 8775, 3090);
        Texto(9300, 2880, "UZQ Retención", 8, false);
        Cuadro(8775, 2820, 11000, 3090);
        FilaCasillas(3150, " Impuesto Resultante del periodo ", 353, 373);
    }
}

void FilasFijas() {
    FilaCasillas(3390, " Total de Impuesto Resultante ", 302, 322);
    FilaCasillas(3660, " Contra - asientos por error", 306, 326);
    FilaCasillas(3930, " Devoluciones efectuadas en el período", 0, 350);
    FilaCasillas(4200, " Saldo a favor del fisco", 307, 327);
    FilaCasillas(4470, " Salvo a favor del contribuyente", 317, 337);
    FilaCasillas(4740, " Compensación del remanente de períodos anteriores", 309, 329);
    FilaCasillas(5010, " Pagos efectuados en el período  ", 310, 330);
    FilaCasillas(5280, " Compensación del remanente del período  ", 351, 352);
}

void FilasCorridas() {
    const shell::ProgramState& g = shell::G();
    const CasillasDeclaracion& c = CasillasImpresion();
    auto suma = [](std::int16_t a, std::int16_t b) { return vb::AddInteger(a, b); };
    std::int16_t f = g.gsPeriodo <= "200205" ? 1 : 5;
    f = suma(f, 3);
    FilaCasillas(Fila(f), " Interes Moratorio ", 311, 331);
    FilaCasillas(Fila(suma(f, 1)), " TOTAL DEUDA TRIBUTARIA DEL PERIODO", 312, 332);
    FilaCasillas(Fila(suma(f, 2)), " Importe a pagar del periodo ", 313, 333);
    Texto(300, Fila(suma(f, 5)), "DATOS DE PERIODOS ANTERIORES   ", 9, true);
    f = suma(f, 3);
    FilaCasillas(Fila(suma(f, 3)), " Regul. periodos anteriores por causa imputable al cont.", 303,
                 323);
    FilaCasillas(Fila(suma(f, 4)), " Regul. periodos anteriores por causa imputable al decla.", 0,
                 324);
    FilaCasillas(Fila(suma(f, 5)), " Total de regularización de periodos anteriores ", 305, 325);
    f = suma(f, 1);
    Texto(300, Fila(suma(f, 8)), " FORMA DE PAGO", 8, true);
    if (c.Casilla(599) == "E") {
        Texto(550, Fila(suma(f, 9)), " EFECTIVO", 8, false);
        Texto(3000, Fila(suma(f, 9)), TextoMonto(g.gsEfectivo), 8, false);
    } else {
        Texto(550, Fila(suma(f, 9)), " MONTO DEL CHEQUE     :", 8, false);
        Texto(3000, Fila(suma(f, 9)), TextoMonto(c.Casilla(598)), 8, false);
        Texto(550, Fila(suma(f, 10)), " BANCO                :", 8, false);
        Texto(3000, Fila(suma(f, 10)), AlineaDerecha(BuscaDescripcion(g.gsBanco), 14), 8, false);
        Texto(550, Fila(suma(f, 11)), " NRO. DE CHEQUE       :", 8, false);
        Texto(3000, Fila(suma(f, 11)), AlineaDerecha(g.gsNroCheque, 14), 8, false);
    }
    Texto(300, Fila(suma(f, 13)), " Cantidad de Registros por tabla:", 8, true);
    Texto(550, Fila(suma(f, 15)), " Archivo de movimientos: ", 8, false);
    Texto(8000, Fila(suma(f, 15)), TextoMonto(c.Casilla(592)), 8, false);
    Texto(550, Fila(suma(f, 16)), " Archivo de movimientos de contra asiento por error:   ", 8,
          false);
    Texto(8000, Fila(suma(f, 16)), TextoMonto(c.Casilla(593)), 8, false);
}

void CierraArchivo() {
    try {
        vb::Close(shell::G().gnArchivoRep);
    } catch (const vb::VbError&) {
        // Not open (the error came before the file was): nothing to close.
    }
}

}  // namespace

std::string AlineaDerecha(const std::string& texto, std::int16_t n) {
    const long largo = static_cast<long>(vb::Len(texto));
    if (largo >= n) return texto;
    return vb::Left(vb::Space(80), n - largo) + texto;
}

std::string TextoMonto(const std::string& valor) {
    return AlineaDerecha(FormatoMonto(valor), vb::Val(valor) < 0 ? 16 : 15);
}

std::string BuscaDescripcion(const std::string& codigo) {
    return shell::BuscaNombreBanco(*shell::G().gdbBase, codigo, shell::NombreBanco::Corto);
}

void ImprimeDeclaracion() {
    std::string linea = "<!font!>Courier New<!/font!>";
    ImprimeLinea(linea);
    linea = "<!nHojas!>1<!/nHojas!>";
    ImprimeLinea(linea);
    linea = "<!Orientacion!>V<!/Orientacion!>";
    ImprimeLinea(linea);
    linea = "<!Color!>&H00FFFFC0&<!/Color!>";
    ImprimeLinea(linea);
    const bool desde201710 = shell::G().gsPeriodo >= "201710";
    Cabecera();
    Reglas(desde201710);
    BloquePeriodo(desde201710);
    FilasFijas();
    FilasCorridas();
}

void ReporteDeclaracion(const std::string&) {
    shell::ProgramState& g = shell::G();
    g.gnArchivoRep = static_cast<std::int16_t>(vb::FreeFile());
    vb::Open(g.gsArchivoRep, vb::OpenMode::Output, g.gnArchivoRep);
    g.gnPagina = 0;
    for (std::int16_t copia = 1; copia <= gnCopias; ++copia) {
        g.gnLinea = 0;
        g.gnPagina = 1;
        ImprimeDeclaracion();
    }
    vb::Close(g.gnArchivoRep);
}

ResultadoReporte ImprimeReporte(const std::string&) {
    shell::ProgramState& g = shell::G();
    ResultadoReporte r;
    try {
        gnCopias = 1;
        g.gnAnchoRep = 104;
        if (g.gnTipoRep == kTipoDeclaracion) ReporteDeclaracion();
        return r;
    } catch (const vb::VbError& e) {
        r.completo = false;
        r.error = e.Number();
        std::string mensaje;
        switch (e.Number()) {
            case 53:
            case 55:
            case 2055:
                break;
            case 20545:
                mensaje = "La Impresión ha sido Cancelada.";
                break;
            case 482:
                mensaje = "No existe una impresora seleccionada.Verifique.";
                break;
            case 380:
                mensaje = "No Existe Información a Imprimir.Verifique.";
                break;
            default:
                mensaje = "Error Técnico : (" + std::to_string(e.Number()) + ") " + e.Description();
        }
        if (!mensaje.empty()) shell::Aviso().MsgBox(mensaje, shell::vbCritical, "Impresión");
    }
    CierraArchivo();
    return r;
}

}  // namespace reportes
