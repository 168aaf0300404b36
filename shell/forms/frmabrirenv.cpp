#include "shell/forms/frmabrirenv.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "jet/database.h"
#include "shell/forms/combo.h"
#include "shell/forms/modelorecordset.h"
#include "shell/forms/registro.h"
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
    grdContrib = new QTableView(Frame1);
    grdContrib->setObjectName(QStringLiteral("grdContrib"));
    grdContrib->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdContrib->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdContrib->setSelectionMode(QAbstractItemView::SingleSelection);
    grdContrib->verticalHeader()->setDefaultSectionSize(grdContrib->fontMetrics().height() + 6);
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
    grdContrib->setModel(DtaNew);
    auto* marco = new QVBoxLayout(Frame1);
    marco->addWidget(Label1);
    marco->addWidget(grdContrib);

    CmdOpciones[0] = new QPushButton(QStringLiteral("&Registrar"), this);
    CmdOpciones[1] = new QPushButton(QStringLiteral("&Salir"), this);
    auto* botones = new QHBoxLayout;
    botones->addStretch();
    for (int i = 0; i < 2; ++i) {
        CmdOpciones[i]->setObjectName(QStringLiteral("CmdOpciones_%1").arg(i));
        CmdOpciones[i]->setAutoDefault(false);
        botones->addWidget(CmdOpciones[i]);
        connect(CmdOpciones[i], &QPushButton::clicked, this, [this, i] { CmdOpciones_Click(i); });
    }
    auto* caja = new QVBoxLayout(this);
    caja->addWidget(Frame1);
    caja->addLayout(botones);

    connect(grdContrib, &QTableView::doubleClicked, this, [this] { CmdOpciones_Click(0); });
    connect(grdContrib->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { grdContrib_RowColChange(); });
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
    DtaNew->AplicaA(grdContrib);
    // The dialog keeps its size: the grid does not widen it for its columns,
    // which scroll.
    grdContrib->setMinimumWidth(0);
    if (DtaNew->Filas() > 0) {
        IrAFila(0);
    } else {
        grdContrib->setEnabled(false);
    }
}

void frmAbrirEnv::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    Form_Activate();
}

void frmAbrirEnv::Form_Activate() {
    try {
        ProgramState& g = G();
        const int fila = FilaActual();
        g.gsSql = ArmaSql("A.SEMANA");
        DtaNew->Carga(*g.gdbBase, g.gsSql);
        IrAFila(fila);
        if (grdContrib->isEnabled()) grdContrib->setFocus();
    } catch (const vb::VbError& e) {
        MuestraError(e.Number(), e.Description());
    }
}

void frmAbrirEnv::MuestraError(int numero, const std::string& descripcion) {
    ui::MsgBox(descripcion + "\n" + vb::Str(static_cast<double>(numero)), ui::vbOKOnly, "Error");
    ui::SetMousePointer(ui::vbDefault);
}

int frmAbrirEnv::FilaActual() const {
    const QModelIndex i = grdContrib->currentIndex();
    return i.isValid() ? i.row() : -1;
}

void frmAbrirEnv::IrAFila(int fila) {
    if (DtaNew->Filas() == 0) return;
    fila = std::clamp(fila, 0, DtaNew->Filas() - 1);
    grdContrib->setCurrentIndex(DtaNew->index(fila, 0));
}

std::string frmAbrirEnv::Columna(int col) const {
    return vb::ToText(DtaNew->Valor(FilaActual(), DtaNew->Columnas()[col].campo));
}

void frmAbrirEnv::grdContrib_RowColChange() {
    if (!isEnabled()) return;
    ui::BarradeEstadoQVX* b = BarraEstado();
    if (!b) return;
    b->setNumdoc(QString::fromStdString(vb::Trim(Columna(0))));
    b->setRazonsocial(QString::fromStdString(vb::Trim(Columna(1))));
    b->setFormulario(QString::fromStdString(G().gsFormulario));
    b->setPeriodo_ejercicio(QString::fromStdString(vb::Trim(Columna(2))));
}

void frmAbrirEnv::CmdOpciones_Click(int Index) {
    try {
        ProgramState& g = G();
        g.gbOrdenModificado = false;
        const std::string periodo = Columna(2);
        g.gsRuc = vb::Trim(Columna(0));
        g.gsPeriodo = vb::Right(periodo, 4) + vb::Left(periodo, 2);
        g.gsNombre = vb::Trim(Columna(1));
        g.gsCorrel = Columna(7);
        g.gsNumControl = Columna(6);
        g.gsNumOrden = Columna(4);
        if (Index == 0) {
            const int fila = FilaActual();
            if (fila >= 0) {
                g.gbRegistraOrden = true;
                AbreFormulario("Frm787", this);
                QCoreApplication::processEvents();
                // Back at the same row, with what the declaration form recorded.
                Form_Activate();
                IrAFila(fila);
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
