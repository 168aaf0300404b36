#include "reports/forms/frmimprimir.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPointer>
#include <QVBoxLayout>

#include "reports/carga.h"
#include "reports/forms/frmimpxpag.h"
#include "reports/forms/frmpreview.h"
#include "reports/imprep.h"
#include "shell/forms/combo.h"
#include "shell/forms/registro.h"
#include "shell/spool.h"
#include "shell/state.h"
#include "ui/modal.h"
#include "ui/msgbox.h"
#include "ui/pointer.h"
#include "ui/twips.h"
#include "vb/error.h"
#include "vb/strings.h"
#include "vb/variant.h"

namespace reportes::forms {

namespace {

enum Columnas {
    kRuc = 0,
    kNombre = 1,
    kPeriodo = 2,
    kPeriodoF = 3,
    kFormulario = 4,
    kOrden = 5,
    kFechaEnvio = 6,
    kControl = 7,
    kCorrel = 8,
    kEstado = 9,
    kRectifica = 10,
    kSemana = 11,
};

std::vector<shell::forms::ColumnaGrid> ColumnasGrid() {
    return {
        {"doc_id_d", "RUC", 0, false, ""},
        {"Nombre", "Razón Social", 0, false, ""},
        {"periodo", "Periodo", 0, false, ""},
        {"Periodof", "Periodo", 0, false, "0#/####"},
        {"Formulario", "Formulario", 0, false, ""},
        {"norden", "N.Orden", 0, false, ""},
        {"fec_env", "Fecha Envio", 0, false, "dd/mm/yyyy"},
        {"Control", "Control", 0, false, ""},
        {"Correl", "Correlativo", 0, false, ""},
        {"estado", "Estado", 0, false, ""},
        {"rectifica", "Rectifica", 0, false, ""},
        {"semana", "Semana", 0, false, ""},
    };
}

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

frmImprimir::frmImprimir(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmImprimir"));
    setWindowTitle(QStringLiteral("Imprimir declaraciones enviadas"));
    resize(8400 / ui::kTwipsPorPixel, 5400 / ui::kTwipsPorPixel);

    Frame2 = new QGroupBox(QStringLiteral("Declaraciones registradas"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Dta1 = new shell::forms::ModeloRecordset(this);
    Dta1->setObjectName(QStringLiteral("Dta1"));
    grdContrib = new shell::forms::GridRecordset(Dta1, Frame2);
    grdContrib->setObjectName(QStringLiteral("grdContrib"));
    connect(grdContrib, &shell::forms::GridRecordset::Enter, this,
            [this] { CmdImprimir_Click(0); });
    connect(grdContrib->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { grdContrib_RowColChange(); });
    connect(grdContrib, &QTableView::doubleClicked, this, [this] { CmdImprimir_Click(0); });
    auto* marco = new QVBoxLayout(Frame2);
    marco->addWidget(grdContrib);

    const char* textos[3] = {"&Preliminar", "&Imprimir", "&Salir"};
    auto* botones = new QHBoxLayout;
    botones->addStretch();
    for (int i = 0; i < 3; ++i) {
        CmdImprimir[i] = new QPushButton(QString::fromUtf8(textos[i]), this);
        CmdImprimir[i]->setObjectName(QStringLiteral("CmdImprimir%1").arg(i));
        CmdImprimir[i]->setAutoDefault(false);
        connect(CmdImprimir[i], &QPushButton::clicked, this, [this, i] { CmdImprimir_Click(i); });
        botones->addWidget(CmdImprimir[i]);
    }
    auto* caja = new QVBoxLayout(this);
    caja->addWidget(Frame2, 1);
    caja->addLayout(botones);
    Form_Load();
}

void frmImprimir::Form_Load() {
    shell::ProgramState& g = shell::G();
    std::vector<shell::forms::ColumnaGrid> columnas = ColumnasGrid();
    if (g.gbEnviadas) {
        grdContrib->setFixedWidth(7515 / ui::kTwipsPorPixel);
        setWindowTitle(QStringLiteral("Imprimir Formularios enviados"));
        helpContext_ = 1014;
        Frame2->setTitle(QStringLiteral("Declaraciones Enviadas"));
        columnas[kNombre].ancho = 3300;
        columnas[kPeriodo].oculta = true;
        columnas[kEstado].oculta = true;
    } else {
        helpContext_ = 1013;
        setWindowTitle(QStringLiteral("Imprimir "));
        columnas[kNombre].ancho = 4000;
        columnas[kPeriodoF].ancho = 1000;
        columnas[kPeriodo].oculta = true;
        columnas[kFormulario].oculta = false;
        for (int c : {kOrden, kFechaEnvio, kControl, kCorrel, kEstado}) columnas[c].oculta = true;
    }
    Dta1->FijaColumnas(columnas);
    if (g.gdbBase) {
        Dta1->Carga(*g.gdbBase,
                    SqlDeclaracionesImprimir(g.gbEnviadas, g.gsFormulario, g.gsUsuario));
    }
    grdContrib->Presenta();
}

void frmImprimir::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!activado_) {
        activado_ = true;
        Form_Activate();
    }
}

void frmImprimir::Form_Activate() {
    if (!grdContrib->isEnabled()) return;
    try {
        Dta1->Refresca();
    } catch (const vb::VbError&) {
        // The list keeps the rows it had.
    }
    Dta1->AplicaA(grdContrib);
    if (grdContrib->FilaActual() < 0) grdContrib->IrAFila(0);
    grdContrib->setFocus();
    shell::forms::MuestraBarraEstado(Q(grdContrib->Columna(kRuc)), Q(grdContrib->Columna(kNombre)),
                                     Q(shell::G().gsPeriodo), Q(grdContrib->Columna(kFormulario)));
}

void frmImprimir::grdContrib_RowColChange() {
    shell::ProgramState& g = shell::G();
    g.gnSemana = 0;
    shell::forms::MuestraBarraEstado(Q(grdContrib->Columna(kRuc)), Q(grdContrib->Columna(kNombre)),
                                     Q(grdContrib->Columna(kPeriodoF)),
                                     Q(grdContrib->Columna(kFormulario)));
    g.gsRuc = vb::Trim(grdContrib->Columna(kRuc));
    g.gsPeriodo = grdContrib->Columna(kPeriodo);
    g.gsNombre = vb::Trim(grdContrib->Columna(kNombre));
}

void frmImprimir::CargarCasillas() {
    CargaCasillas();
}

void frmImprimir::CmdImprimir_Click(int indice) {
    if (indice == 2) {
        accept();
        return;
    }
    try {
        Imprime(indice);
    } catch (const vb::VbError& e) {
        ui::SetMousePointer(ui::vbDefault);
        ui::MsgBox("Error Técnico : (" + std::to_string(e.Number()) + ") " + e.Description(),
                   ui::vbCritical, "Impresión");
    }
}

void frmImprimir::Imprime(int indice) {
    const int posicion = grdContrib->FilaActual();
    if (posicion < 0) return;
    shell::ProgramState& g = shell::G();
    g.gsRuc = grdContrib->Columna(kRuc);
    g.gsPeriodo = grdContrib->Columna(kPeriodo);
    g.gsNombre = grdContrib->Columna(kNombre);
    g.gsCorrel = grdContrib->Columna(kCorrel);
    g.gsNumOrden = grdContrib->Columna(kOrden);
    g.gsNumControl = grdContrib->Columna(kControl);
    g.gnSemana = vb::CInt(grdContrib->Valor(kSemana));
    CargarCasillas();
    g.gnModo = 2;
    g.gnTipoRep = 2;
    if (indice == 1) g.gbPorPagina = false;
    const std::string archivo =
        shell::RegistraSpool(indice == 0 ? "UZQ001" : "AC0001", 6, vb::Trim(g.gsRuc));
    g.gsArchivoRep = g.gsRutaRpt + "/" + archivo;
    ui::SetMousePointer(ui::vbHourglass);
    const ResultadoReporte escrito = ImprimeReporte();
    ui::SetMousePointer(ui::vbArrow);
    // A report cut short has been told; it is neither shown nor printed as
    // if it were whole.
    if (!escrito.completo) return;
    if (indice == 1) {
        MuestraReporte(archivo, "xx");
        return;
    }
    g.gbPorPagina = true;
    QPointer<frmImpxPag> paginas = new frmImpxPag(this);
    paginas->FijaTotalPaginas(QString::number(g.gnPagina));
    paginas->setWindowTitle(QStringLiteral("Impresión por páginas"));
    paginas->Tag = archivo;
    ui::ShowModal(paginas);
    delete paginas.data();
    Form_Activate();
    QApplication::processEvents();
    // A row gone meanwhile leaves the list where the refresh put it.
    if (posicion < Dta1->Filas()) grdContrib->IrAFila(posicion);
}

void RegistraFrmImprimir() {
    shell::forms::RegistraFormulario("frmImprimir",
                                     [](QWidget* padre) { return new frmImprimir(padre); });
}

}  // namespace reportes::forms
