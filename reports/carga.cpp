#include "reports/carga.h"

#include <cmath>
#include <string>

#include "jet/database.h"
#include "reports/casillas.h"
#include "shell/state.h"
#include "vb/numeric.h"
#include "vb/variant.h"

namespace reportes {

namespace {

// The pieces that name the declaration, as both queries write them.
std::string Clave(bool conTipo) {
    const shell::ProgramState& g = shell::G();
    std::string s = " WHERE DOC_ID_D='" + jet::Q(g.gsRuc) + "'";
    if (conTipo) s += " AND TIP_DOC_D=6";
    s += " AND PERIODO='" + jet::Q(g.gsPeriodo) + "'" + " AND FORMULARIO='" +
         jet::Q(g.gsFormulario) + "'" + " AND SEMANA=" + std::to_string(g.gnSemana);
    return s;
}

}  // namespace

void CargaCasillas() {
    shell::ProgramState& g = shell::G();
    CasillasDeclaracion& tablas = CasillasImpresion();
    tablas.BorraArray();
    g.gsBanco.clear();
    g.gsNroCheque.clear();
    g.gsEfectivo.clear();

    const std::string correl = " AND Correl='" + jet::Q(g.gsCorrel) + "'";
    std::string sql =
        g.gbEnviadas ? "SELECT CASILLA, I_VALOR FROM HDET" : "SELECT CASILLA, I_VALOR FROM DET";
    sql += Clave(false);
    if (g.gbEnviadas) sql += correl;
    auto rs = g.gdbBase->OpenRecordset(sql, jet::dbOpenDynaset);
    while (!rs->Eof()) {
        const double n = vb::Val(vb::ToText(rs->Fields("Casilla").Value()));
        // Whole box numbers of the tables' range only ("9e9" reads as a
        // number no int holds).
        if (n >= 1 && n <= 999 && n == std::floor(n) && n != 721 && n != 722 && n != 790) {
            tablas.Fija(static_cast<int>(n), vb::ToText(rs->Fields("i_valor").Value()));
        }
        rs->MoveNext();
    }
    rs->Close();

    sql = g.gbEnviadas ? "SELECT * FROM HCAB" : "SELECT * FROM CAB";
    sql += Clave(true);
    if (g.gbEnviadas) sql += " AND correl='" + jet::Q(g.gsCorrel) + "'";
    auto cab = g.gdbBase->OpenRecordset(sql, jet::dbOpenSnapshot);
    if (!cab->Eof()) {
        g.gsBanco = vb::ToText(cab->Fields("bcolibrad").Value());
        g.gsNroCheque = vb::ToText(cab->Fields("nrocheque").Value());
        g.gsEfectivo = vb::ToText(cab->Fields("efectivo").Value());
    }
    cab->Close();
}

std::string SqlDeclaracionesImprimir(bool enviadas, const std::string& formulario,
                                     const std::string& usuario) {
    std::string sql;
    if (enviadas) {
        sql =
            "SELECT A.DOC_ID_D, B.NOMBRE, A.PERIODO,mid$(A.PERIODO,5,2) & mid$(A.PERIODO,1,4) "
            "as PERIODOf, A.FORMULARIO,a.estado,a.fec_env,a.correl,a.norden,a.control,"
            "a.rectifica,a.semana FROM HCAB AS A, CONT AS B";
    } else {
        sql =
            "SELECT A.DOC_ID_D, B.NOMBRE, A.PERIODO,mid$(A.PERIODO,5,2) & mid$(A.PERIODO,1,4) "
            "as PERIODOf, A.FORMULARIO, a.estado,a.rectifica,a.semana FROM CAB AS A, CONT AS B";
    }
    sql += " WHERE A.DOC_ID_D=B.DOC_ID_D AND";
    sql += " A.TIP_DOC_D=6 AND B.TIP_DOC_D=6 AND";
    sql += " A.FORMULARIO='" + jet::Q(formulario) + "' AND";
    sql += " B.USUARIO='" + jet::Q(usuario) + "'";
    if (enviadas) {
        sql += " and a.estado=1";
        sql += " ORDER BY A.DOC_ID_D ASC";
    } else {
        sql += " ORDER BY A.DOC_ID_D ASC, a.periodo DESC";
    }
    return sql;
}

}  // namespace reportes
