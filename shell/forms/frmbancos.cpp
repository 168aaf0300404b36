#include "shell/forms/frmbancos.h"

#include <QHeaderView>
#include <QVBoxLayout>

#include "jet/database.h"
#include "shell/state.h"
#include "ui/pointer.h"
#include "ui/twips.h"
#include "vb/numeric.h"
#include "vb/variant.h"

namespace shell::forms {

namespace {

using ui::kTwipsPorPixel;

}  // namespace

frmBancos::frmBancos(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmBancos"));
    setWindowTitle(QStringLiteral("Consultas"));
    grdBancos = new QTableWidget(0, 2, this);
    grdBancos->setObjectName(QStringLiteral("grdBancos"));
    grdBancos->setHorizontalHeaderLabels({QStringLiteral("Codigo"), QStringLiteral("Descripción")});
    grdBancos->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdBancos->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdBancos->setSelectionMode(QAbstractItemView::SingleSelection);
    grdBancos->verticalHeader()->setVisible(false);
    // Rows as tight as a data grid's, so the dialog shows a useful part of the list.
    grdBancos->verticalHeader()->setDefaultSectionSize(grdBancos->fontMetrics().height() + 6);
    grdBancos->horizontalHeader()->setStretchLastSection(true);
    CmdSalir = new QPushButton(QStringLiteral("&Salir"), this);
    CmdSalir->setObjectName(QStringLiteral("CmdSalir"));
    auto* caja = new QVBoxLayout(this);
    caja->addWidget(grdBancos);
    caja->addWidget(CmdSalir, 0, Qt::AlignRight);
    connect(CmdSalir, &QPushButton::clicked, this, &frmBancos::CmdSalir_Click);
    Form_Load();
}

void frmBancos::Form_Load() {
    resize(7065 / kTwipsPorPixel, 4140 / kTwipsPorPixel);
    const ui::PunteroOcupado ocupado;
    ProgramState& g = G();
    bool fechas = false;
    switch (g.gnTipoConsulta) {
        case 1:
            setWindowTitle(QStringLiteral("Consulta de Profesiones"));
            g.gsSql =
                std::string("SELECT MID(ARGUMENTO,1,2) as codigo,mid(FUNCION,1,36) as descrip ") +
                "FROM PARAM " + "WHERE NUMERO='979' AND TRIM(ARGUMENTO)<> '00'";
            break;
        case 2:
            setWindowTitle(QStringLiteral("Consulta de Bancos"));
            g.gsSql =
                std::string("SELECT MID(ARGUMENTO,1,2) as codigo,mid(FUNCION,1,36) as descrip ") +
                "FROM PARAM " + "WHERE NUMERO='004' AND TRIM(ARGUMENTO)<> '00'";
            break;
        case 3:
            setWindowTitle(QStringLiteral("Consulta de UIT"));
            fechas = true;
            grdBancos->setHorizontalHeaderLabels(
                {QStringLiteral("Fecha"), QStringLiteral("Valor")});
            grdBancos->setColumnWidth(0, 1500 / kTwipsPorPixel);
            g.gsSql = std::string(
                          "SELECT MID(ARGUMENTO,7,2) &  MID(ARGUMENTO,5,2) & MID(ARGUMENTO,1,4) as "
                          "codigo, ") +
                      " VAL(trim(FUNCION)) as Descrip " + "FROM PARAM " +
                      "WHERE NUMERO='404' ORDER BY argumento desc  ";
            break;
    }
    // Any other kind keeps the caption and runs the last query built.
    int filas = 0;
    if (g.gdbBase && !g.gsSql.empty()) {
        auto Dta1 = g.gdbBase->OpenRecordset(g.gsSql, jet::dbOpenSnapshot);
        for (; !Dta1->Eof(); Dta1->MoveNext()) {
            const vb::Variant codigo = Dta1->Fields(0).Value();
            const vb::Variant descrip = Dta1->Fields(1).Value();
            const std::string c = fechas ? vb::Format(codigo, "0#/0#/####") : vb::ToText(codigo);
            const std::string d = fechas ? vb::Format(descrip, "###,###") : vb::ToText(descrip);
            grdBancos->insertRow(filas);
            grdBancos->setItem(filas, 0, new QTableWidgetItem(QString::fromStdString(c)));
            grdBancos->setItem(filas, 1, new QTableWidgetItem(QString::fromStdString(d)));
            ++filas;
        }
        Dta1->Close();
    }
    if (filas > 0) {
        grdBancos->setCurrentCell(0, 0);
    } else {
        grdBancos->setEnabled(false);
    }
}

void frmBancos::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    Form_Activate();
}

void frmBancos::Form_Activate() {
    if (grdBancos->isEnabled()) grdBancos->setFocus();
}

void frmBancos::CmdSalir_Click() {
    accept();
}

}  // namespace shell::forms
