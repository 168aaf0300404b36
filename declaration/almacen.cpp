#include "declaration/almacen.h"

#include <cmath>

#include "declaration/casillas.h"
#include "declaration/formatos.h"
#include "jet/database.h"
#include "shell/cnumero.h"
#include "shell/state.h"
#include "vb/numeric.h"
#include "vb/strings.h"

namespace declaracion {

namespace {

// The fixed fragments of the declaration's WHERE terms, values quoted.
std::string Ruc(std::string_view v) {
    return " WHERE DOC_ID_D='" + jet::Q(v) + "'";
}
std::string Periodo(std::string_view v) {
    return " AND PERIODO='" + jet::Q(v) + "'";
}
std::string Formulario(std::string_view v) {
    return " AND FORMULARIO='" + jet::Q(v) + "'";
}
std::string Semana(std::int16_t v) {
    return " AND SEMANA=" + std::to_string(v);
}
std::string Correl(std::string_view v) {
    return " AND CORREL='" + jet::Q(v) + "'";
}
std::string TerminoCasilla(std::string_view v) {
    return " AND CASILLA='" + jet::Q(v) + "'";
}
const std::string kTipo = " AND TIP_DOC_D=6";

vb::Variant Texto(std::string_view s) {
    return vb::Variant(std::string(s));
}

// A box code as its three characters (2 -> "002").
std::string Codigo(int n) {
    std::string s = std::to_string(n);
    return std::string(s.size() < 3 ? 3 - s.size() : 0, '0') + s;
}

}  // namespace

// ---- Value encodings ------------------------------------------------------------

std::string Entero(std::string_view texto) {
    std::string_view t = vb::TrimView(texto);
    if (!LeeImporte(t)) return std::string(texto);
    // Worked on the digits themselves, so no amount loses digits to a Double.
    bool negativo = false;
    if (t.front() == '(') {
        negativo = true;
        t = vb::TrimView(t.substr(1, t.size() - 2));
    } else if (t.front() == '-' || t.front() == '+') {
        negativo = t.front() == '-';
        t = vb::TrimView(t.substr(1));
    }
    std::string entero;
    std::size_t i = 0;
    for (; i < t.size() && t[i] != '.'; ++i)
        if (t[i] != ',') entero += t[i];
    // Halves away from zero, as the whole-number format rounds.
    if (i + 1 < t.size() && t[i + 1] >= '5') {
        int j = static_cast<int>(entero.size()) - 1;
        while (j >= 0 && entero[j] == '9') entero[j--] = '0';
        if (j < 0)
            entero.insert(entero.begin(), '1');
        else
            ++entero[j];
    }
    const auto primero = entero.find_first_not_of('0');
    entero = primero == std::string::npos ? "0" : entero.substr(primero);
    return (negativo && entero != "0") ? "-" + entero : entero;
}

bool SeGuardaSinCambio(std::string_view c) {
    return c == "871" || c == "005" || c == "721" || c == "012" || c == "025" || c == "028" ||
           c == "002" || c == "790";
}

std::optional<std::string> ValorAlmacenado(std::string_view periodo, std::string_view casilla,
                                           std::string_view valor) {
    if (periodo >= std::string_view("201710") &&
        (casilla == "300" || casilla == "301" || casilla == "320" || casilla == "321"))
        return std::nullopt;
    const std::string_view t = vb::TrimView(valor);
    if (t.empty() || t == "________" || t == "__/__/____") return std::nullopt;
    if (SeGuardaSinCambio(casilla)) return std::string(valor);
    return Entero(valor);
}

// ---- Opening ------------------------------------------------------------------------

void CargoCasillas(jet::Database& db, Declaracion& d) {
    const Clave& k = d.clave;
    auto rs = db.OpenRecordset("Select * from EFCONTROL " + Ruc(k.ruc) + Periodo(k.periodo) +
                                   Formulario(k.formulario) + Semana(k.semana) + kTipo,
                               jet::dbOpenSnapshot);
    const bool inicial = k.periodo == "200403";
    auto pon = [&](int caja, std::string_view campo, std::string_view mascara) {
        d.FijaValor(caja, vb::Format(rs->Fields(campo).Value(), mascara));
    };
    while (!rs->Eof()) {
        const std::string clase = vb::UCase(vb::Right(vb::ToText(rs->Fields("nomarc").Value()), 3));
        if (clase == "CON" || clase == "CLI") {
            pon(590, "num_tuplas", "##############0");
        } else if (clase == "CEX") {
            pon(591, "num_tuplas", "##############0");
        } else if (clase == "MOV") {
            pon(302, "mto_302", "###,###,###,###,##0");
            pon(322, "mto_322", "###,###,###,###,##0");
            pon(592, "num_tuplas", "##############0");
            pon(402, "mto_402", "##############0");
            pon(422, "mto_422", "##############0");
        } else if (clase == "EXT") {
            if (!inicial) {
                pon(303, "mto_303", "##,###,###,###0");
                pon(323, "mto_323", "##,###,###,###0");
                pon(324, "mto_324", "###,###,###,##0");
                pon(305, "mto_305", "###,###,###,##0");
                pon(325, "mto_325", "###,###,###,##0");
            }
            pon(306, "mto_306", "(###,###,###,##0)");
            pon(326, "mto_326", "(###,###,###,##0)");
            pon(403, "mto_403", "###########0");
            pon(423, "mto_423", "###########0");
            pon(424, "mto_424", "###########0");
            pon(406, "mto_406", "###########0");
            pon(426, "mto_426", "###########0");
            pon(350, "mto_302", "(###,###,###,##0)");
            pon(450, "mto_322", "###########0");
            pon(593, "num_tuplas", "##############0");
        } else if (clase == "EXO") {
            pon(594, "num_tuplas", "##############0");
        }
        rs->MoveNext();
    }
    rs->Close();
}

void CargarCab(jet::Database& db, Declaracion& d) {
    const Clave& k = d.clave;
    const bool enviada = d.registraOrden;
    {
        const std::string sql =
            enviada ? "SELECT  I_VALOR FROM hDET" + Ruc(k.ruc) + Periodo(k.periodo) +
                          Formulario(k.formulario) + Semana(k.semana) + Correl(k.correl) +
                          TerminoCasilla("598")
                    : "SELECT  I_VALOR FROM DET" + Ruc(k.ruc) + Periodo(k.periodo) +
                          Formulario(k.formulario) + Semana(k.semana) + TerminoCasilla("598");
        auto rs = db.OpenRecordset(sql, jet::dbOpenSnapshot);
        d.pago.importe = rs->Eof() ? std::string() : vb::ToText(rs->Fields("I_VALOR").Value());
        rs->Close();
    }
    const std::string sql = enviada
                                ? "SELECT * FROM HCAB" + Ruc(k.ruc) + kTipo + Periodo(k.periodo) +
                                      Formulario(k.formulario) + Semana(k.semana) + Correl(k.correl)
                                : "SELECT * FROM CAB" + Ruc(k.ruc) + kTipo + Periodo(k.periodo) +
                                      Semana(k.semana) + Formulario(k.formulario);
    auto rs = db.OpenRecordset(sql, jet::dbOpenSnapshot);
    if (!rs->Eof()) {
        if (enviada) {
            const vb::Variant& norden = rs->Fields("norden").Value();
            d.orden = norden.IsNull() ? "0" : vb::ToText(norden);
        }
        const vb::Variant& cheque = rs->Fields("cheque").Value();
        const bool sinCheque = !cheque.IsNull() && vb::Trim(vb::ToText(cheque)).empty();
        if (!(sinCheque && vb::Trim(d.pago.cheque).empty())) d.pago.tipo = "C";
        // Saving keeps the option in the header (box 871 is never written),
        // so the header is where an opened declaration finds it again.
        const std::string rectifica = vb::Trim(vb::ToText(rs->Fields("rectifica").Value()));
        d.rectifica = !rectifica.empty() && rectifica != "0";
        d.pago.banco = vb::Trim(vb::ToText(rs->Fields("bcolibrad").Value()));
        d.pago.cheque = vb::Trim(vb::ToText(rs->Fields("nrocheque").Value()));
    }
    rs->Close();
}

void CargaCasillasGrabadas(jet::Database& db, Declaracion& d) {
    const Clave& k = d.clave;
    const std::string sql =
        d.registraOrden ? "SELECT CASILLA, I_VALOR FROM HDET" + Ruc(k.ruc) + Periodo(k.periodo) +
                              Formulario(k.formulario) + Semana(k.semana) + " AND Correl='" +
                              jet::Q(k.correl) + "'"
                        : "SELECT CASILLA, I_VALOR FROM DET" + Ruc(k.ruc) + Periodo(k.periodo) +
                              Semana(k.semana) + Formulario(k.formulario);
    auto rs = db.OpenRecordset(sql, jet::dbOpenSnapshot);
    while (!rs->Eof()) {
        const std::string casilla = vb::ToText(rs->Fields("CASILLA").Value());
        const vb::Variant& valor = rs->Fields("I_VALOR").Value();
        const std::string texto = vb::ToText(valor);
        const int n = static_cast<int>(vb::Val(casilla));
        switch (n) {
            case 2:
                d.numRuc = texto;
                break;
            case 5:
            case 7:
            case 12:
            case 15:
            case 302:
            case 303:
            case 305:
            case 322:
            case 323:
            case 324:
            case 325:
            case 595:
            case 722:
            case 790:
                break;
            case 326:
            case 350: {
                const auto v = LeeImporte(texto);
                d.FijaValor(n, valor.IsNull() || !v ? std::string()
                                                    : vb::Format(std::fabs(*v), "(#,###,###,##0)"));
                break;
            }
            case 598:
                d.pago.importe = texto;
                break;
            case 599:
                d.pago.tipo = texto;
                break;
            case 721:
                d.version = texto;
                break;
            case 871:
                // No value says nothing: the header's choice stays.
                if (!valor.IsNull()) d.rectifica = texto != "0";
                break;
            default:
                // A code the form has no box for, or a value that is no
                // amount, must not stop the declaration from opening.
                if (BuscaCasilla(n)) {
                    if (const auto v = LeeImporte(texto))
                        d.FijaValor(n, Forma(vb::Format(*v, "0")));
                }
                break;
        }
        rs->MoveNext();
    }
    rs->Close();
}

Declaracion AbreDeclaracion(jet::Database& db, const Clave& clave, const ModoApertura& modo) {
    Declaracion d(clave);
    d.clave.semana = 0;
    d.registraOrden = modo.registraOrden;
    d.numControl = modo.numControl;
    d.numRuc = d.clave.ruc;
    if (!modo.enviadas) CargoCasillas(db, d);
    d.pago.tipo = "XX";
    d.cargando = true;
    CargarCab(db, d);
    if (DisenoDe(d.clave.periodo) == Diseno::Inicial) {
        d.FijaValor(309, "");
        d.FijaValor(329, "");
    }
    CargaCasillasGrabadas(db, d);
    d.Recalcula();
    if (d.registraOrden && vb::Len(vb::Trim(modo.numOrden)) >= 8) {
        std::string control = modo.numControl;
        d.verifica = shell::GeneraCodigoVerificacion(control, modo.numOrden);
    }
    d.modificado = false;
    d.cargando = false;
    return d;
}

Declaracion AbreDeclaracionActual(jet::Database& db) {
    shell::ProgramState& g = shell::G();
    g.gnSemana = 0;
    Clave k;
    k.ruc = g.gsRuc;
    k.periodo = g.gsPeriodo;
    k.formulario = g.gsFormulario;
    k.correl = g.gsCorrel;
    Declaracion d = AbreDeclaracion(
        db, k, ModoApertura{g.gbEnviadas, g.gbRegistraOrden, g.gsNumOrden, g.gsNumControl});
    d.nombre = g.gsNombre;
    return d;
}

// ---- Writing ---------------------------------------------------------------------------

bool GrabarCasilla(jet::Database& db, const Clave& k, std::string_view casilla,
                   std::string_view valor) {
    const auto almacenado = ValorAlmacenado(k.periodo, casilla, valor);
    if (!almacenado) return false;
    const std::string ruc = vb::Trim(k.ruc);
    const std::string periodo = vb::Trim(k.periodo);
    auto rs =
        db.OpenRecordset("SELECT * FROM DET" + Ruc(ruc) + kTipo + Periodo(periodo) +
                             Formulario(k.formulario) + Semana(k.semana) + TerminoCasilla(casilla),
                         jet::dbOpenDynaset);
    if (rs->Eof()) {
        rs->AddNew();
        rs->Fields("Doc_id_d") = Texto(ruc);
        rs->Fields("tip_doc_d") = vb::Variant(std::int16_t{6});
        rs->Fields("periodo") = Texto(periodo);
        rs->Fields("Formulario") = Texto(k.formulario);
        rs->Fields("Semana") = vb::Variant(k.semana);
        rs->Fields("Casilla") = Texto(casilla);
    } else {
        rs->Edit();
    }
    rs->Fields("i_valor") = Texto(*almacenado);
    rs->Fields("idcasilla") = Texto(casilla == "313" || casilla == "333" ? "05" : "01");
    rs->Fields("estado") = vb::Variant(std::int16_t{0});
    rs->Fields("cNumero") = Texto(shell::CalculaCNumero(*rs, 6));
    rs->Update();
    rs->Close();
    return true;
}

void GrabaCasillaParam(jet::Database& db, const Clave& k) {
    auto rs = db.OpenRecordset(
        "Select * from param where numero = '856'  and argumento='" + jet::Q(k.formulario) + "'",
        jet::dbOpenSnapshot);
    if (!rs->Eof()) {
        const std::string funcion = vb::ToText(rs->Fields("Funcion").Value());
        const std::string casilla = vb::Mid(funcion, 20, 3);
        if (!vb::Trim(casilla).empty()) GrabarCasilla(db, k, casilla, vb::Mid(funcion, 5, 10));
    }
    rs->Close();
}

void GrabaCabecera(jet::Database& db, const Declaracion& d, std::string_view hoy) {
    const Clave& k = d.clave;
    auto rs = db.OpenRecordset("SELECT * FROM CAB" + Ruc(k.ruc) + Periodo(k.periodo) +
                                   Formulario(k.formulario) + Semana(k.semana),
                               jet::dbOpenDynaset);
    if (rs->BOF() && rs->Eof()) {
        rs->AddNew();
        rs->Fields("Doc_id_d") = Texto(k.ruc);
        rs->Fields("periodo") = Texto(k.periodo);
        rs->Fields("Formulario") = Texto(k.formulario);
        rs->Fields("Semana") = vb::Variant(k.semana);
        rs->Fields("tip_doc_d") = vb::Variant(std::int16_t{6});
        rs->Fields("estado") = vb::Variant(std::int16_t{9});
    } else {
        rs->MoveFirst();
        rs->Edit();
    }
    rs->Fields("fec_pro") = Texto(hoy);
    if (d.pago.tipo == "C") {
        rs->Fields("bcolibrad") = Texto(d.pago.banco);
        rs->Fields("nrocheque") = Texto(d.pago.cheque);
        rs->Fields("cheque") = Texto(Entero(d.pago.importe));
        rs->Fields("efectivo") = Texto("");
    } else {
        rs->Fields("bcolibrad") = Texto(" ");
        rs->Fields("nrocheque") = Texto(" ");
        rs->Fields("cheque") = Texto(" ");
        rs->Fields("efectivo") = Texto(d.pago.tipo == "E" ? Entero(d.pago.importe) : " ");
    }
    rs->Fields("rectifica") = Texto(d.rectifica ? "1" : "0");
    rs->Fields("cNumero") = Texto(shell::CalculaCNumero(*rs, 5));
    rs->Update();
    rs->Close();
}

void GrabaEstado(jet::Database& db, const Clave& k, bool consistente) {
    auto rs = db.OpenRecordset("Select * from  cab " + Ruc(k.ruc) + Periodo(k.periodo) +
                                   Formulario(k.formulario) + Semana(k.semana) + kTipo,
                               jet::dbOpenDynaset);
    if (!rs->Eof()) {
        rs->MoveFirst();
        rs->Edit();
        rs->Fields("estado") =
            vb::Variant(std::int16_t{static_cast<std::int16_t>(consistente ? 0 : 9)});
        rs->Fields("cNumero") = Texto(shell::CalculaCNumero(*rs, 5));
        rs->Update();
    }
    rs->Close();
}

void BorraCasillas(jet::Database& db, const Clave& k) {
    db.Execute("DELETE * FROM DET" + Ruc(k.ruc) + Periodo(k.periodo) + Formulario(k.formulario) +
               Semana(k.semana) + kTipo);
}

void GrabaCasillas(jet::Database& db, const Declaracion& d) {
    const Clave& k = d.clave;
    for (int n : ListaGrabar()) GrabarCasilla(db, k, Codigo(n), vb::Trim(d.Valor(n)));
    if (d.pago.tipo == "C") {
        GrabarCasilla(db, k, "015", vb::Right(d.pago.banco, 2));
        GrabarCasilla(db, k, "012", d.pago.cheque);
    }
    GrabarCasilla(db, k, "599", d.pago.tipo);
    GrabarCasilla(db, k, "002", k.ruc);
    GrabarCasilla(db, k, "007", k.periodo);
    GrabarCasilla(db, k, "721", kVersion);
    GrabarCasilla(db, k, "598", d.pago.importe);
    GrabaCasillaParam(db, k);
}

}  // namespace declaracion
