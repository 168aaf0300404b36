#include <QHeaderView>
#include <QLineEdit>
#include <QTableWidget>

#include "fixture.h"
#include "jet/database.h"
#include "shell/forms/frmacercade.h"
#include "shell/forms/frmbancos.h"
#include "ui/pointer.h"

namespace {

using shell::G;
using shell::forms::MDIFrm;

struct Lista {
    QString caption;
    QStringList cabeceras;
    std::vector<std::pair<QString, QString>> filas;
    bool activa = false;
    int anchoCodigo = 0;
    int puntero = -1;
};

// Opens a look-up list through its command and reads it while it is shown.
Lista Consulta(MDIFrm& m, void (MDIFrm::*comando)()) {
    Lista l;
    ui::SetModalHook([&](QDialog* d) {
        auto* grid = pruebas::Control<QTableWidget>(*d, "grdBancos");
        l.caption = d->windowTitle();
        l.cabeceras = {grid->horizontalHeaderItem(0)->text(),
                       grid->horizontalHeaderItem(1)->text()};
        for (int r = 0; r < grid->rowCount(); ++r) {
            l.filas.emplace_back(grid->item(r, 0)->text(), grid->item(r, 1)->text());
        }
        l.activa = grid->isEnabled();
        l.anchoCodigo = grid->columnWidth(0);
        l.puntero = ui::MousePointer();
        EXPECT_EQ(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
        EXPECT_EQ(d->size(), QSize(471, 276));
        pruebas::Control<QPushButton>(*d, "CmdSalir")->click();
        EXPECT_FALSE(d->isVisible());
    });
    (m.*comando)();
    ui::SetModalHook({});
    return l;
}

TEST_F(HostForms, BanksWithoutTheHeaderRow) {
    MDIFrm& m = Principal();
    Lista l = Consulta(m, &MDIFrm::mnuBancos_Click);
    EXPECT_EQ(G().gnTipoConsulta, 2);
    EXPECT_EQ(l.caption, "Consulta de Bancos");
    EXPECT_EQ(l.cabeceras, (QStringList{"Codigo", "Descripción"}));
    ASSERT_EQ(l.filas.size(), 7u);
    for (const auto& f : l.filas) EXPECT_NE(f.first, "00");
    EXPECT_EQ(l.filas[0],
              (std::pair<QString, QString>{"01", "BANCO UNO                           "}));
    // The description is the name's first 36 characters.
    EXPECT_EQ(l.filas[6].second, "BANCO SIETE DE NOMBRE MUY LARGO PARA");
    EXPECT_TRUE(l.activa);
    EXPECT_EQ(l.puntero, ui::vbDefault);
    EXPECT_EQ(ui::MousePointer(), ui::vbDefault);
}

TEST_F(HostForms, ProfessionsWithoutTheHeaderRow) {
    MDIFrm& m = Principal();
    Lista l = Consulta(m, &MDIFrm::mnuPro_Click);
    EXPECT_EQ(l.caption, "Consulta de Profesiones");
    ASSERT_EQ(l.filas.size(), 8u);
    EXPECT_EQ(l.filas[0].first, "01");
    EXPECT_EQ(l.filas[0].second.trimmed(), "ABOGADO");
}

TEST_F(HostForms, TaxUnitsNewestFirstWithDateAndValueFormats) {
    MDIFrm& m = Principal();
    Lista l = Consulta(m, &MDIFrm::mnuUit_Click);
    EXPECT_EQ(G().gnTipoConsulta, 3);
    EXPECT_EQ(l.caption, "Consulta de UIT");
    EXPECT_EQ(l.cabeceras, (QStringList{"Fecha", "Valor"}));
    EXPECT_EQ(l.anchoCodigo, 100);  // 1500 twips
    ASSERT_EQ(l.filas.size(), 14u);
    EXPECT_EQ(l.filas.front(), (std::pair<QString, QString>{"01/01/2017", "2,200"}));
    EXPECT_EQ(l.filas.back(), (std::pair<QString, QString>{"01/01/2004", "1,000"}));
    // " 1600 ": blanks around the value are ignored.
    EXPECT_EQ(l.filas[6], (std::pair<QString, QString>{"01/01/2011", "1,600"}));
}

TEST_F(HostForms, EachListLeavesItsQueryText) {
    MDIFrm& m = Principal();
    const std::string lista12 =
        "SELECT MID(ARGUMENTO,1,2) as codigo,mid(FUNCION,1,36) as descrip FROM PARAM WHERE "
        "NUMERO='";
    const std::pair<void (MDIFrm::*)(), std::string> casos[] = {
        {&MDIFrm::mnuPro_Click, lista12 + "979' AND TRIM(ARGUMENTO)<> '00'"},
        {&MDIFrm::mnuBancos_Click, lista12 + "004' AND TRIM(ARGUMENTO)<> '00'"},
        {&MDIFrm::mnuUit_Click,
         "SELECT MID(ARGUMENTO,7,2) &  MID(ARGUMENTO,5,2) & MID(ARGUMENTO,1,4) as codigo,  "
         "VAL(trim(FUNCION)) as Descrip FROM PARAM WHERE NUMERO='404' ORDER BY argumento desc  "},
    };
    for (const auto& [comando, sql] : casos) {
        Consulta(m, comando);
        EXPECT_EQ(G().gsSql, sql);
    }
}

TEST_F(HostForms, EmptyCatalogueListDisablesTheGrid) {
    {
        auto db = hostkit::AbreHost(inst_);
        db->Execute("DELETE * FROM PARAM WHERE Numero='004'", jet::dbFailOnError);
        db->Close();
    }
    MDIFrm& m = Principal();
    Lista l = Consulta(m, &MDIFrm::mnuBancos_Click);
    EXPECT_TRUE(l.filas.empty());
    EXPECT_FALSE(l.activa);
}

TEST_F(HostForms, AnyOtherKindKeepsTheCaptionAndTheLastQuery) {
    Principal();
    G().gnTipoConsulta = 2;
    { shell::forms::frmBancos bancos; }
    G().gnTipoConsulta = 0;
    shell::forms::frmBancos otra;
    EXPECT_EQ(otra.windowTitle(), "Consultas");
    EXPECT_EQ(pruebas::Control<QTableWidget>(otra, "grdBancos")->rowCount(), 7);
}

TEST_F(HostForms, AboutBoxShowsTheVersionRead) {
    MDIFrm& m = Principal();
    QStringList textos;
    ui::SetModalHook([&](QDialog* d) {
        textos << d->windowTitle();
        QApplication::processEvents();
        for (const char* n : {"Text1", "txtVersion", "Text2"}) {
            const QLineEdit* t = pruebas::Control<QLineEdit>(*d, n);
            textos << t->text();
            // Nothing cut: the whole text fits, shown from its first letter.
            const QMargins m = t->textMargins() + t->contentsMargins();
            EXPECT_GE(t->width() - m.left() - m.right(),
                      t->fontMetrics().horizontalAdvance(t->text()))
                << n;
            EXPECT_EQ(t->cursorPosition(), 0) << n;
        }
        pruebas::Control<QPushButton>(*d, "cmdAceptar")->click();
    });
    m.mnuAcerca_Click();
    EXPECT_EQ(textos, (QStringList{"Acerca de Telvarin ", "Versión 1.9", "Versión 1.9",
                                   "Actualización al 01/03/2004"}));
    // Without a version row.
    G().gsVersion.clear();
    G().gsFechaVersion.clear();
    textos.clear();
    m.mnuAcerca_Click();
    EXPECT_EQ(textos,
              (QStringList{"Acerca de Telvarin ", "Versión ", "Versión ", "Actualización al "}));
}

}  // namespace
