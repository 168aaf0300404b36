#include "shell/forms/frmabrirenv.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "jet/database.h"
#include "shell/forms/combo.h"
#include "shell/forms/modelorecordset.h"
#include "shell/forms/registro.h"
#include "shell/forms/selector.h"
#include "shell/state.h"
#include "ui/msgbox.h"
#include "ui/pointer.h"
#include "ui/twips.h"
#include "vb/error.h"
#include "vb/numeric.h"
#include "vb/strings.h"

namespace shell::forms {

namespace {

using ui::kTwipsPorPixel;

}  // namespace

frmAbrirEnv::frmAbrirEnv(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbrirEnv"));
    setWindowTitle(QStringLiteral("Registrar número de orden"));
    Frame1 = new QGroupBox(QStringLiteral("Declaraciones Enviadas"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Label1 = new QLabel(QStringLiteral("Seleccione la Declaración en la que  desea registrar el "
                                       "numero de orden asignado por KORAL :"),
                        Frame1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    DtaNew = new ModeloRecordset(this);
    DtaNew->setObjectName(QStringLiteral("DtaNew"));
    DtaNew->FijaColumnas({
        {.campo = "doc_id_d", .titulo = "RUC"},
        {.campo = "Nombre", .titulo = "Razón Social"},
        {.campo = "Periodof", .titulo = "Periodo", .formato = "0#/####"},
        {.campo = "Formulario", .titulo = "Formulario"},
        {.campo = "norden", .titulo = "N. Orden"},
        {.campo = "fec_env", .titulo = "Fecha Env.", .formato = "dd/mm/yyyy"},
        {.campo = "Control", .titulo = "Control"},
        {.campo = "Correl", .titulo = "Correl"},
        {.campo = "rectifica", .titulo = "Rectifica"},
        {.campo = "Semana", .titulo = "Semana"},
    });
    grdContrib = new GridRecordset(DtaNew, Frame1);
    grdContrib->setObjectName(QStringLiteral("grdContrib"));
    ArmaSelector(
        this, Frame1, Label1, grdContrib, CmdOpciones, QStringLiteral("&Registrar"), nullptr,
        [this](int i) { CmdOpciones_Click(i); }, [this] { grdContrib_RowColChange(); });
    Form_Load();
}

std::string frmAbrirEnv::ArmaSql(const char* semana) const {
    const ProgramState& g = G();
    // Only the user's own taxpayers, whatever the user's type, and every
    // state of their sent declarations.
    return std::string(
               "SELECT A.DOC_ID_D, B.NOMBRE, A.PERIODO, A.FORMULARIO, A.NORDEN, "
               "A.FEC_ENV, A.CONTROL, A.CORREL, A.RECTIFICA,") +
           semana +
           ",mid$(A.PERIODO,5,2) & mid$(A.PERIODO,1,4) as PERIODOf FROM HCAB AS A, CONT AS B" +
           " WHERE A.DOC_ID_D=B.DOC_ID_D AND" + " A.TIP_DOC_D=6 AND B.TIP_DOC_D=6 AND" +
           " A.FORMULARIO='" + jet::Q(g.gsFormulario) + "' AND" + " B.USUARIO='" +
           jet::Q(g.gsUsuario) + "'" + " ORDER BY A.DOC_ID_D ASC, A.PERIODO";
}

void frmAbrirEnv::Form_Load() {
    resize(9195 / kTwipsPorPixel, 4530 / kTwipsPorPixel);
    const ui::PunteroOcupado ocupado;
    ProgramState& g = G();
    g.gsSql = ArmaSql("a.semana");
    DtaNew->Carga(*g.gdbBase, g.gsSql);
    grdContrib->Presenta();
    // The dialog keeps its size: the grid does not widen it for its columns,
    // which scroll.
    grdContrib->setMinimumWidth(0);
}

void frmAbrirEnv::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    Form_Activate();
}

void frmAbrirEnv::Form_Activate() {
    try {
        ProgramState& g = G();
        // Back at the row that was current; at the first when there was none.
        const int fila = std::max(grdContrib->FilaActual(), 0);
        g.gsSql = ArmaSql("A.SEMANA");
        DtaNew->Carga(*g.gdbBase, g.gsSql);
        grdContrib->IrAFila(fila);
        if (grdContrib->isEnabled()) grdContrib->setFocus();
    } catch (const vb::VbError& e) {
        MuestraError(e.Number(), e.Description());
    }
}

void frmAbrirEnv::MuestraError(int numero, const std::string& descripcion) {
    ui::MsgBox(descripcion + "\n" + vb::Str(static_cast<double>(numero)), ui::vbOKOnly, "Error");
    ui::SetMousePointer(ui::vbDefault);
}

void frmAbrirEnv::grdContrib_RowColChange() {
    if (!isEnabled()) return;
    MuestraBarraEstado(QString::fromStdString(vb::Trim(grdContrib->Columna(0))),
                       QString::fromStdString(vb::Trim(grdContrib->Columna(1))),
                       QString::fromStdString(vb::Trim(grdContrib->Columna(2))),
                       QString::fromStdString(G().gsFormulario));
}

void frmAbrirEnv::CmdOpciones_Click(int Index) {
    try {
        ProgramState& g = G();
        g.gbOrdenModificado = false;
        TomaDeclaracion(*grdContrib);
        g.gsCorrel = grdContrib->Columna(7);
        g.gsNumControl = grdContrib->Columna(6);
        g.gsNumOrden = grdContrib->Columna(4);
        if (Index == 0) {
            const int fila = grdContrib->FilaActual();
            if (fila >= 0) {
                g.gbRegistraOrden = true;
                AbreFormulario("Frm787", this);
                QCoreApplication::processEvents();
                // Back at the same row, with what the declaration form recorded.
                Form_Activate();
                grdContrib->IrAFila(fila);
            }
        } else {
            g.gbRegistraOrden = false;
            reject();
        }
    } catch (const vb::VbError& e) {
        MuestraError(e.Number(), e.Description());
        return;
    }
    ui::SetMousePointer(ui::vbDefault);
}

void RegistraFrmAbrirEnv() {
    RegistraFormulario("frmAbrirEnv", [](QWidget* padre) { return new frmAbrirEnv(padre); });
}

}  // namespace shell::forms
