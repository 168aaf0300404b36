#include "shell/forms/frmmodfor.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "jet/database.h"
#include "shell/contribuyentes.h"
#include "shell/forms/combo.h"
#include "shell/forms/mdifrm.h"
#include "shell/forms/modelorecordset.h"
#include "shell/forms/registro.h"
#include "shell/forms/selector.h"
#include "shell/state.h"
#include "ui/msgbox.h"
#include "ui/twips.h"
#include "vb/error.h"
#include "vb/numeric.h"
#include "vb/strings.h"

namespace shell::forms {

namespace {

using ui::kTwipsPorPixel;

void Tamano(QWidget* w, int ancho, int alto) {
    w->resize(ancho / kTwipsPorPixel, alto / kTwipsPorPixel);
}

}  // namespace

std::vector<std::string> SentenciasEliminacion(bool enviadas, const std::string& ruc,
                                               const std::string& periodo,
                                               const std::string& formulario, std::int16_t semana,
                                               const std::string& correl) {
    std::string filtro = " WHERE DOC_ID_D='" + jet::Q(ruc) + "'" + " AND PERIODO='" +
                         jet::Q(periodo) + "'" + " AND FORMULARIO='" + jet::Q(formulario) + "'" +
                         " AND SEMANA=" + std::to_string(semana);
    if (enviadas) filtro += " and CORREL ='" + jet::Q(correl) + "'";
    filtro += " AND TIP_DOC_D=6";
    if (enviadas) return {"DELETE * FROM hDET" + filtro, "DELETE * FROM hCAB" + filtro};
    return {"DELETE * FROM DET" + filtro, "DELETE * FROM CAB" + filtro,
            "DELETE * FROM EFCONTROL" + filtro};
}

void EliminaDeclaracion(jet::Database& db, const std::vector<std::string>& sentencias) {
    // A declaration goes whole or stays whole: boxes without a header, or a
    // header without the control records of its files, would be left behind
    // by a statement failing half-way.
    jet::Transaction tx(db);
    for (const std::string& sql : sentencias)
        db.Execute(sql, jet::dbInconsistent | jet::dbFailOnError);
    tx.Commit();
}

frmModFor::frmModFor(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmModFor"));
    setWindowTitle(QStringLiteral("Modificar Formulario"));
    fradecreg = new QGroupBox(QStringLiteral("Declaraciones Registradas"), this);
    fradecreg->setObjectName(QStringLiteral("fradecreg"));
    Label1 =
        new QLabel(QStringLiteral("Seleccione la Declaración  que desea modificar :"), fradecreg);
    Label1->setObjectName(QStringLiteral("Label1"));
    Dta1 = new ModeloRecordset(this);
    Dta1->setObjectName(QStringLiteral("Dta1"));
    grdContrib = new GridRecordset(Dta1, fradecreg);
    grdContrib->setObjectName(QStringLiteral("grdContrib"));
    LblAbrir = new QLabel(QStringLiteral("&Abrir"), this);
    LblAbrir->setObjectName(QStringLiteral("LblAbrir"));
    // Its access key (shown underlined, not as "&") takes the focus to the list.
    LblAbrir->setBuddy(grdContrib);
    ArmaSelector(
        this, fradecreg, Label1, grdContrib, CmdOpciones, QStringLiteral("&Aceptar"), LblAbrir,
        [this](int i) { CmdOpciones_Click(i); }, [this] { grdContrib_RowColChange(); });
    connect(grdContrib, &GridRecordset::Enter, this, [this] { CmdOpciones_Click(0); });
    Form_Load();
}

frmModFor::~frmModFor() {
    if (ui::BarradeEstadoQVX* b = BarraEstado()) {
        b->setNumdoc(QString());
        b->setRazonsocial(QString());
        b->setPeriodo_ejercicio(QString());
        b->setFormulario(QString());
    }
}

void frmModFor::Form_Load() {
    ProgramState& g = G();
    if (g.gnModo == 3) {
        setWindowTitle(QStringLiteral("Eliminar Formularios"));
        Label1->setText(QStringLiteral("Seleccione la Declaración que desea eliminar :"));
        LblAbrir->setText(QStringLiteral("&Eliminar"));
        CmdOpciones[0]->setText(QStringLiteral("&Eliminar"));
    } else if (g.gnModo == 2) {
        CmdOpciones[0]->setText(QStringLiteral("&Modificar"));
    }
    Tamano(this, 8505, 4485);
    const bool todos = TipoUsuario() == "0";
    std::vector<ColumnaGrid> columnas = {
        {.campo = "doc_id_d", .titulo = "RUC"},
        {.campo = "Nombre", .titulo = "Razón social"},
        {.campo = "periodo", .titulo = "Periodo", .formato = "0#/####"},
        {.campo = "formulario", .titulo = "Formulario"},
        {.campo = "Estado", .titulo = "Estado"},
        {.campo = "nOrden", .titulo = "Nro. Orden"},
        {.campo = "fec_env", .titulo = "Fec. de Envio", .formato = "dd/mm/yyyy"},
        {.campo = "Control", .titulo = "Nro. Control"},
        {.campo = "Correl", .titulo = "Correlativo"},
        {.campo = "Rectifica", .titulo = "Rectifica"},
        {.campo = "nOrden", .titulo = "Orden"},
        {.campo = "semana", .titulo = "Semana"},
    };
    if (g.gbEnviadas) {
        Tamano(this, 8800, 4530);
        helpContext_ = 1014;
        fradecreg->setTitle(QStringLiteral("Declaraciones Enviadas"));
        for (int c : {4, 8, 9, 10}) columnas[c].oculta = true;
        g.gsSql = std::string(
                      "SELECT A.DOC_ID_D, B.NOMBRE, a.fec_env, mid$(A.PERIODO,5,2) & "
                      "mid$(A.PERIODO,1,4) as PERIODO, A.FORMULARIO,a.correl,a.norden,a.control,"
                      "a.estado,a.rectifica,a.semana FROM HCAB AS A, CONT AS B") +
                  " WHERE A.DOC_ID_D=B.DOC_ID_D AND" + " A.TIP_DOC_D=6 AND B.TIP_DOC_D=6 AND" +
                  " A.FORMULARIO='" + jet::Q(g.gsFormulario) + "'";
        if (!todos) g.gsSql += " AND B.USUARIO='" + jet::Q(g.gsUsuario) + "'";
        g.gsSql += std::string(" and a.estado=1") + " ORDER BY A.DOC_ID_D ASC";
    } else {
        Tamano(this, 8475, 4455);
        grdContrib->setFixedWidth(7695 / kTwipsPorPixel);
        columnas[1].ancho = 3300;
        for (int c = 5; c <= 10; ++c) columnas[c].oculta = true;
        g.gsSql = std::string(
                      "SELECT A.DOC_ID_D, B.NOMBRE, mid(A.PERIODO,5,2) & mid(A.PERIODO,1,4) as "
                      "PERIODO, A.FORMULARIO, a.estado,a.semana") +
                  " FROM CAB AS A, CONT AS B" + " WHERE A.DOC_ID_D=B.DOC_ID_D" +
                  " AND A.FORMULARIO= '" + jet::Q(g.gsFormulario) + "'";
        if (!todos) g.gsSql += " AND B.USUARIO='" + jet::Q(g.gsUsuario) + "'";
        g.gsSql += " ORDER BY A.DOC_ID_D ASC, A.PERIODO DESC, A.FORMULARIO ASC";
        helpContext_ = 1013;
    }
    Dta1->FijaColumnas(std::move(columnas));
    Dta1->Carga(*g.gdbBase, g.gsSql);
    grdContrib->Presenta();
    // The dialog keeps its size: a grid the frame gives its width to does not
    // widen it for its columns, which scroll.
    if (g.gbEnviadas) grdContrib->setMinimumWidth(0);
}

void frmModFor::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    Form_Activate();
}

void frmModFor::Form_Activate() {
    if (!grdContrib->isEnabled()) return;
    const int fila = grdContrib->FilaActual();
    Dta1->Refresca();
    grdContrib->IrAFila(fila);
    grdContrib->setFocus();
    MuestraBarra();
}

void frmModFor::MuestraBarra() {
    const std::string periodo = grdContrib->Columna(2);
    MuestraBarraEstado(QString::fromStdString(grdContrib->Columna(0)),
                       QString::fromStdString(grdContrib->Columna(1)),
                       QString::fromStdString(vb::Left(periodo, 2) + "/" + vb::Right(periodo, 4)),
                       QString::fromStdString(grdContrib->Columna(3)));
}

void frmModFor::grdContrib_RowColChange() {
    MuestraBarra();
    TomaDeclaracion(*grdContrib);
}

void frmModFor::CmdOpciones_Click(int Index) {
    // Errors nobody here handles are reported as the run-time would, and the
    // dialog goes on.
    try {
        ProgramState& g = G();
        TomaDeclaracion(*grdContrib);
        g.gsCorrel = vb::Trim(grdContrib->Columna(8));
        const std::string semana = vb::Trim(grdContrib->Columna(11));
        g.gnSemana = semana.empty() ? 0 : vb::CInt(vb::Variant(vb::Val(semana)));
        if (Index == 1) {
            reject();
            return;
        }
        if (grdContrib->FilaActual() < 0) return;
        if (g.gnModo == 3) {
            Elimina();
        } else {
            Abre();
        }
    } catch (const vb::VbError& e) {
        MuestraErrorNoAtrapado(e.Number(), e.Description());
    } catch (const std::exception& e) {
        MuestraErrorNoAtrapado(vb::kPathFileAccess, e.what());
    }
}

void frmModFor::Elimina() {
    if (ui::MsgBox("Se eliminarán todos los registros de la declaración ",
                   ui::vbOKCancel + ui::vbExclamation + ui::vbDefaultButton2,
                   "Eliminar Formulario") != ui::vbOK) {
        grdContrib->setFocus();
        return;
    }
    if (ui::MsgBox("¿Confirma que va a eliminar la declaración?",
                   ui::vbYesNo + ui::vbQuestion + ui::vbDefaultButton2,
                   windowTitle().toStdString()) != ui::vbYes) {
        grdContrib->setFocus();
        return;
    }
    ProgramState& g = G();
    const auto sentencias = SentenciasEliminacion(g.gbEnviadas, grdContrib->Columna(0), g.gsPeriodo,
                                                  grdContrib->Columna(3), g.gnSemana, g.gsCorrel);
    g.gsSql = sentencias.back();
    EliminaDeclaracion(*g.gdbBase, sentencias);
    Dta1->Refresca();
    grdContrib->IrAFila(0);
    grdContrib->setFocus();
}

void frmModFor::Abre() {
    const int fila = grdContrib->FilaActual();
    G().gnModo = 2;
    setEnabled(false);
    try {
        AbreFormulario("Frm787", this);
    } catch (...) {
        setEnabled(true);
        throw;
    }
    // The list becomes usable again once the declaration form has closed, and
    // shows what that form saved, at the same row.
    setEnabled(true);
    QCoreApplication::processEvents();
    Dta1->Refresca();
    grdContrib->IrAFila(fila);
    grdContrib->setFocus();
}

void RegistraFrmModFor() {
    RegistraFormulario("frmModFor", [](QWidget* padre) { return new frmModFor(padre); });
}

}  // namespace shell::forms
