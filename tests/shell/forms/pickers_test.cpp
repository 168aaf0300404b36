#include <sqlite3.h>

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <clocale>

#include "fixture.h"
#include "jet/database.h"
#include "shell/forms/frmabrirenv.h"
#include "shell/forms/frmmodfor.h"
#include "shell/forms/registro.h"
#include "ui/pointer.h"
#include "vb/datetime.h"
#include "vb/error.h"
#include "vb/numeric.h"
#include "vb/variant.h"

namespace {

using shell::G;
using shell::forms::MDIFrm;

// What the declaration form found in the current declaration when it opened.
struct Declaracion {
    std::string ruc, periodo, nombre, correl, orden, control;
    std::int16_t semana, modo;
    bool registra;
};

// A grid as the user sees it: caption, captions of the visible columns, and
// the visible texts of each row.
struct Vista {
    QString caption;
    QStringList cabeceras;
    std::vector<QStringList> filas;
    bool activa = false;
    QStringList cortadas;  // visible columns too narrow for their caption or texts
};

Vista Lee(QDialog* d) {
    Vista v;
    auto* grid = pruebas::Control<QTableView>(*d, "grdContrib");
    v.caption = d->windowTitle();
    v.activa = grid->isEnabled();
    auto* m = grid->model();
    for (int c = 0; c < m->columnCount(); ++c) {
        if (grid->isColumnHidden(c)) continue;
        v.cabeceras << m->headerData(c, Qt::Horizontal).toString();
        const int necesario = std::max(static_cast<QAbstractItemView*>(grid)->sizeHintForColumn(c),
                                       grid->horizontalHeader()->sectionSizeHint(c));
        if (grid->columnWidth(c) < necesario) v.cortadas << v.cabeceras.back();
    }
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList fila;
        for (int c = 0; c < m->columnCount(); ++c) {
            if (!grid->isColumnHidden(c)) fila << m->index(r, c).data().toString();
        }
        v.filas.push_back(fila);
    }
    return v;
}

QPushButton* Boton(QDialog* d, int i) {
    return pruebas::Control<QPushButton>(*d, QStringLiteral("CmdOpciones_%1").arg(i));
}

void Fila(QDialog* d, int r) {
    auto* grid = pruebas::Control<QTableView>(*d, "grdContrib");
    grid->setCurrentIndex(grid->model()->index(r, 0));
}

class Pickers : public HostForms {
  protected:
    void SetUp() override {
        HostForms::SetUp();
        db_ = hostkit::AbreHost(inst_);
        Ejecuta(
            "CREATE TABLE EFCONTROL ([tip_doc_d] Byte, [doc_id_d] text(15), [periodo] Text(6), "
            "[formulario] Text(4), [semana] integer, [nomarc] text(50))");
        // Two periods of a taxpayer of the program's user, one of another user's.
        for (const auto& [ruc, periodo] :
             {std::pair{"20100123453", "200403"}, std::pair{"20100123453", "200512"},
              std::pair{"20600000013", "200601"}}) {
            Declara(ruc, periodo);
        }
        // Sent twice; the first sending no longer in force.
        envio1_ = hostkit::EnviaDeclaracion(*db_, "20100123453", "200512");
        envio2_ = hostkit::EnviaDeclaracion(*db_, "20100123453", "200512");
        Ejecuta("UPDATE HCAB SET estado=0, norden='00012345' WHERE CORREL='001'");
        shell::forms::RegistraFrmModFor();
        shell::forms::RegistraFrmAbrirEnv();
        shell::forms::RegistraFormulario("Frm787", [this](QWidget* p) {
            const shell::ProgramState& g = G();
            vistas_.push_back({g.gsRuc, g.gsPeriodo, g.gsNombre, g.gsCorrel, g.gsNumOrden,
                               g.gsNumControl, g.gnSemana, g.gnModo, g.gbRegistraOrden});
            padreInactivo_ = p && !p->isEnabled();
            auto* d = new QDialog(p);
            d->setObjectName("Frm787");
            return d;
        });
        hoy_ = vb::Format(vb::Variant(vb::Today()), "dd/mm/yyyy");
    }
    void TearDown() override {
        for (const char* n : {"frmModFor", "frmAbrirEnv", "Frm787"}) {
            shell::forms::RegistraFormulario(n, {});
        }
        db_.reset();
        HostForms::TearDown();
    }
    void Ejecuta(const std::string& sql) { db_->Execute(sql, jet::dbFailOnError); }
    void Declara(const std::string& ruc, const std::string& periodo) {
        const std::string v = "'" + ruc + "', 6, '" + periodo + "', '0787', 0";
        Ejecuta(
            "INSERT INTO CAB (DOC_ID_D, TIP_DOC_D, PERIODO, FORMULARIO, SEMANA, estado, "
            "rectifica) VALUES (" +
            v + ", 9, '0')");
        for (const char* c : {"301", "302"}) {
            Ejecuta(
                "INSERT INTO DET (DOC_ID_D, TIP_DOC_D, PERIODO, FORMULARIO, SEMANA, CASILLA, "
                "I_VALOR) VALUES (" +
                v + ", '" + c + "', '100')");
        }
        for (const char* ext : {"mov", "ext"}) {
            Ejecuta(
                "INSERT INTO EFCONTROL (tip_doc_d, doc_id_d, periodo, formulario, semana, "
                "nomarc) VALUES (6, '" +
                ruc + "', '" + periodo + "', '0787', 0, '0787" + periodo + ruc + "." + ext + "')");
        }
    }
    long Cuenta(const std::string& tabla, const std::string& filtro = "") {
        auto rs = db_->OpenRecordset("SELECT COUNT(*) FROM " + tabla + filtro, jet::dbOpenSnapshot);
        return static_cast<long>(rs->Fields(0).Value().NumberValue());
    }
    // Every row of the declaration tables, to see what a deletion left.
    std::vector<long> Filas() {
        std::vector<long> n;
        for (const char* t : {"CAB", "DET", "EFCONTROL", "HCAB", "HDET"}) n.push_back(Cuenta(t));
        return n;
    }
    // Runs a command of the main window; `accion` works the picker it opens.
    void Comando(MDIFrm& m, void (MDIFrm::*comando)(),
                 const std::function<void(QDialog*)>& accion) {
        int abiertos = 0;
        ui::SetModalHook([&](QDialog* d) {
            if (d->objectName() == "Frm787") return;
            ++abiertos;
            accion(d);
        });
        (m.*comando)();
        ui::SetModalHook({});
        EXPECT_EQ(abiertos, 1);
    }

    std::unique_ptr<jet::Database> db_;
    hostkit::Envio envio1_, envio2_;
    std::vector<Declaracion> vistas_;
    bool padreInactivo_ = false;
    std::string hoy_;
};

TEST_F(Pickers, ListsColumnsAndFormatsByCommandAndUserType) {
    MDIFrm& m = Principal();
    const QString nombre = "EMPRESA DE PRUEBA S.A.";
    struct Caso {
        void (MDIFrm::*comando)();
        bool todos;  // the user is of type "0"
        QString caption;
        QStringList cabeceras;
        std::vector<QStringList> filas;
        int ayuda;
    };
    const QStringList guardadas = {"RUC",        "Razón social", "Periodo",
                                   "Formulario", "Estado",       "Semana"};
    const QStringList enviadas = {"RUC",        "Razón social",  "Periodo",      "Formulario",
                                  "Nro. Orden", "Fec. de Envio", "Nro. Control", "Semana"};
    const QString hoy = QString::fromStdString(hoy_);
    const QString c2 = QString::fromStdString(envio2_.control);
    const QString c1 = QString::fromStdString(envio1_.control);
    const std::vector<Caso> casos = {
        {&MDIFrm::mnuModificar_Click,
         false,
         "Modificar Formulario",
         guardadas,
         {{"20100123453", nombre, "12/2005", "0787", "9", "0"},
          {"20100123453", nombre, "03/2004", "0787", "9", "0"}},
         1013},
        {&MDIFrm::mnuEliminar_Click,
         true,
         "Eliminar Formularios",
         guardadas,
         {{"20100123453", nombre, "12/2005", "0787", "9", "0"},
          {"20100123453", nombre, "03/2004", "0787", "9", "0"},
          {"20600000013", "COOPERATIVA DE PRUEBA LTDA", "01/2006", "0787", "9", "0"}},
         1013},
        // Sent declarations: only those in force.
        {&MDIFrm::mnuEliminarE_Click,
         false,
         "Eliminar Formularios",
         enviadas,
         {{"20100123453", nombre, "12/2005", "0787", "", hoy, c2, "0"}},
         1014},
        // The order-number list: every state, only the user's own taxpayers.
        {&MDIFrm::mnuRegistrar_Click,
         true,
         "Registrar número de orden",
         {"RUC", "Razón Social", "Periodo", "Formulario", "N. Orden", "Fecha Env.", "Control",
          "Correl", "Rectifica", "Semana"},
         {{"20100123453", nombre, "12/2005", "0787", "00012345", hoy, c1, "001", "0", "0"},
          {"20100123453", nombre, "12/2005", "0787", "", hoy, c2, "002", "0", "0"}},
         1014},
    };
    for (const Caso& c : casos) {
        Ejecuta(std::string("UPDATE CLAVES SET Tipo='") + (c.todos ? "0" : "1") +
                "' WHERE Usuario='USUARIO1'");
        Vista v;
        std::string ayuda;
        Comando(m, c.comando, [&](QDialog* d) {
            v = Lee(d);
            // F1 in the list opens the help at the dialog's context.
            abiertos_.clear();
            QTest::keyClick(pruebas::Control<QTableView>(*d, "grdContrib"), Qt::Key_F1);
            if (!abiertos_.empty()) ayuda = abiertos_.back();
            // The first row is current: in the status bar and the current declaration.
            EXPECT_EQ(Barra(m)->numdoc(), "20100123453");
            EXPECT_EQ(G().gsPeriodo, "200512");
        });
        SCOPED_TRACE(c.caption.toStdString());
        EXPECT_EQ(v.caption, c.caption);
        EXPECT_EQ(v.cabeceras, c.cabeceras);
        EXPECT_EQ(v.filas, c.filas);
        EXPECT_EQ(ayuda, inst_.sysPath + "0787/formdesk.html#" + std::to_string(c.ayuda));
        EXPECT_TRUE(v.activa);
        EXPECT_TRUE(v.cortadas.isEmpty()) << v.cortadas.join(", ").toStdString();
        EXPECT_EQ(ui::MousePointer(), ui::vbDefault);
        // Closing the list clears the status bar.
        EXPECT_EQ(Barra(m)->numdoc(),
                  c.comando == &MDIFrm::mnuRegistrar_Click ? "20100123453" : "");
    }

    // An empty list: the grid is off, "&Salir" still closes.
    Ejecuta("DELETE * FROM CAB");
    Comando(m, &MDIFrm::mnuModificar_Click, [&](QDialog* d) {
        EXPECT_FALSE(Lee(d).activa);
        Boton(d, 0)->click();
        EXPECT_TRUE(d->isVisible());
        Boton(d, 1)->click();
        EXPECT_FALSE(d->isVisible());
    });
}

// Each picker keeps its designed size (twips, 15 to the pixel), its grid
// inside it; columns the grid cannot show side by side are reached by
// scrolling.
// At start-up Qt hands the user's locale to the C library. Under Turkish the
// letter "i" has no ASCII capital: the tables, the statements and the grid's
// fields must still mean what they say.
class PickersEnTurco : public Pickers {
  protected:
    void SetUp() override {
        TestApp();  // Qt's start would take the locale from the environment again
        anterior_ = std::setlocale(LC_ALL, nullptr);
        if (!std::setlocale(LC_ALL, "tr_TR.UTF-8")) GTEST_SKIP() << "no tr_TR.UTF-8 locale here";
        turco_ = true;
        Pickers::SetUp();
    }
    void TearDown() override {
        if (!turco_) return;
        Pickers::TearDown();
        std::setlocale(LC_ALL, anterior_.c_str());
    }
    std::string anterior_;
    bool turco_ = false;
};

TEST_F(PickersEnTurco, ListTheDeclarationsWhateverTheUsersLocale) {
    MDIFrm& m = Principal();
    Vista v;
    Comando(m, &MDIFrm::mnuModificar_Click, [&](QDialog* d) { v = Lee(d); });
    EXPECT_EQ(v.caption, "Modificar Formulario");
    ASSERT_EQ(v.filas.size(), 2u);
    EXPECT_EQ(v.filas[0].join("|"), "20100123453|EMPRESA DE PRUEBA S.A.|12/2005|0787|9|0");
}

TEST_F(Pickers, KeepTheirSizesAndTheirGridsScroll) {
    MDIFrm& m = Principal();
    // A long name makes the columns wider than any of the grids.
    Ejecuta(
        "UPDATE CONT SET NOMBRE='EMPRESA DE PRUEBA CON UN NOMBRE MUY LARGO PARA LA LISTA S.A.'");
    struct Caso {
        const char* nombre;
        void (MDIFrm::*comando)();
        int ancho, alto;  // twips
        int grilla;       // the grid's own width, twips; 0: as the frame gives it
    };
    for (const Caso& c : {Caso{"stored", &MDIFrm::mnuModificar_Click, 8475, 4455, 7695},
                          Caso{"sent", &MDIFrm::mnuEliminarE_Click, 8800, 4530, 0},
                          Caso{"frmAbrirEnv", &MDIFrm::mnuRegistrar_Click, 9195, 4530, 0}}) {
        SCOPED_TRACE(c.nombre);
        Ejecuta("UPDATE CLAVES SET Tipo='1' WHERE Usuario='USUARIO1'");
        Comando(m, c.comando, [&](QDialog* d) {
            QApplication::processEvents();
            EXPECT_EQ(d->width(), c.ancho / 15);
            EXPECT_EQ(d->height(), c.alto / 15);
            auto* grid = pruebas::Control<QTableView>(*d, "grdContrib");
            ASSERT_TRUE(grid->isEnabled());
            if (c.grilla) {
                EXPECT_EQ(grid->width(), c.grilla / 15);
            }
            const QRect dentro(grid->mapTo(d, QPoint(0, 0)), grid->size());
            EXPECT_TRUE(d->rect().contains(dentro)) << dentro.x() << "+" << dentro.width();
            // The columns do not fit: the grid scrolls to the last one, whole.
            int ultima = -1, suma = 0;
            for (int col = 0; col < grid->model()->columnCount(); ++col) {
                if (grid->isColumnHidden(col)) continue;
                ultima = col;
                suma += grid->columnWidth(col);
            }
            ASSERT_GT(suma, grid->viewport()->width());
            EXPECT_GT(grid->horizontalScrollBar()->maximum(), 0);
            grid->scrollTo(grid->model()->index(0, ultima));
            QApplication::processEvents();
            EXPECT_LE(grid->columnViewportPosition(ultima) + grid->columnWidth(ultima),
                      grid->viewport()->width());
        });
    }
}

TEST_F(Pickers, OpensTheChosenDeclarationAndComesBackToItsRowRefreshed) {
    MDIFrm& m = Principal();
    Comando(m, &MDIFrm::mnuModificar_Click, [&](QDialog* d) {
        EXPECT_EQ(Boton(d, 0)->text(), "&Modificar");
        Fila(d, 1);
        EXPECT_EQ(Barra(m)->periodo_ejercicio(), "03/2004");
        Declara("20555666773", "200401");  // comes first once the list is read again
        Boton(d, 0)->click();
        EXPECT_TRUE(d->isEnabled());
        const Vista v = Lee(d);
        EXPECT_EQ(v.filas.size(), 3u);
        auto* grid = pruebas::Control<QTableView>(*d, "grdContrib");
        EXPECT_EQ(grid->currentIndex().row(), 1);
    });
    ASSERT_EQ(vistas_.size(), 1u);
    const Declaracion& a = vistas_[0];
    EXPECT_EQ(a.ruc, "20100123453");
    EXPECT_EQ(a.periodo, "200403");
    EXPECT_EQ(a.nombre, "EMPRESA DE PRUEBA S.A.");
    EXPECT_EQ(a.semana, 0);
    EXPECT_EQ(a.modo, 2);
    EXPECT_TRUE(padreInactivo_);

    Comando(m, &MDIFrm::mnuRegistrar_Click, [&](QDialog* d) {
        Fila(d, 0);
        auto* grid = pruebas::Control<QTableView>(*d, "grdContrib");
        emit grid->doubleClicked(grid->model()->index(0, 1));
    });
    ASSERT_EQ(vistas_.size(), 2u);
    const Declaracion& b = vistas_[1];
    EXPECT_EQ(b.periodo, "200512");
    EXPECT_EQ(b.correl, "001");
    EXPECT_EQ(b.orden, "00012345");
    EXPECT_EQ(b.control, envio1_.control);
    EXPECT_TRUE(b.registra);
}

TEST_F(Pickers, DeletesOneDeclarationWholeOrNotAtAll) {
    MDIFrm& m = Principal();
    const std::vector<long> antes = Filas();  // CAB, DET, EFCONTROL, HCAB, HDET
    const long casillas = Cuenta("HDET", " WHERE CORREL='002'");
    ASSERT_GT(casillas, 0);
    auto borra = [&](void (MDIFrm::*comando)(), int fila, std::vector<int> respuestas) {
        for (int r : respuestas) respuestas_->Push(r);
        respuestas_->Clear();
        Comando(m, comando, [&](QDialog* d) {
            Fila(d, fila);
            Boton(d, 0)->click();
            EXPECT_TRUE(d->isVisible());
            EXPECT_TRUE(pruebas::Control<QTableView>(*d, "grdContrib")->hasFocus() ||
                        !d->isActiveWindow());
        });
    };

    // Declining either question leaves every row.
    borra(&MDIFrm::mnuEliminar_Click, 1, {ui::vbCancel});
    borra(&MDIFrm::mnuEliminar_Click, 1, {ui::vbOK, ui::vbNo});
    EXPECT_EQ(Filas(), antes);
    ASSERT_EQ(respuestas_->Shown().size(), 2u);
    EXPECT_EQ(respuestas_->Shown()[0].text, "Se eliminarán todos los registros de la declaración ");
    EXPECT_EQ(respuestas_->Shown()[0].title, "Eliminar Formulario");
    EXPECT_EQ(respuestas_->Shown()[0].flags,
              ui::vbOKCancel + ui::vbExclamation + ui::vbDefaultButton2);
    EXPECT_EQ(respuestas_->Shown()[1].title, "Eliminar Formularios");
    EXPECT_EQ(respuestas_->Shown()[1].flags, ui::vbYesNo + ui::vbQuestion + ui::vbDefaultButton2);

    // A statement failing half-way (the control records refuse to go) leaves
    // the boxes and the header in place, and says why.
    ASSERT_EQ(sqlite3_exec(db_->Handle(),
                           "CREATE TRIGGER retiene BEFORE DELETE ON EFCONTROL "
                           "BEGIN SELECT RAISE(ABORT, 'retenido'); END",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    borra(&MDIFrm::mnuEliminar_Click, 1, {ui::vbOK, ui::vbYes});
    EXPECT_EQ(Filas(), antes);
    ASSERT_EQ(respuestas_->Shown().size(), 3u);
    EXPECT_EQ(respuestas_->Shown()[2].flags & ui::vbCritical, ui::vbCritical);
    ASSERT_EQ(sqlite3_exec(db_->Handle(), "DROP TRIGGER retiene", nullptr, nullptr, nullptr),
              SQLITE_OK);

    // The stored declaration 03/2004: its boxes, header and control records only.
    borra(&MDIFrm::mnuEliminar_Click, 1, {ui::vbOK, ui::vbYes});
    EXPECT_EQ(Filas(),
              (std::vector<long>{antes[0] - 1, antes[1] - 2, antes[2] - 2, antes[3], antes[4]}));
    EXPECT_EQ(Cuenta("CAB", " WHERE PERIODO='200403'"), 0);

    // The sent declaration in force: only its correlative; the stored one of
    // the same period and the earlier sending stay.
    borra(&MDIFrm::mnuEliminarE_Click, 0, {ui::vbOK, ui::vbYes});
    EXPECT_EQ(Filas(), (std::vector<long>{antes[0] - 1, antes[1] - 2, antes[2] - 2, antes[3] - 1,
                                          antes[4] - casillas}));
    EXPECT_EQ(Cuenta("HCAB", " WHERE CORREL='001'"), 1);
    EXPECT_EQ(Cuenta("CAB", " WHERE PERIODO='200512'"), 1);
}

TEST_F(Pickers, AnErrorWhileRegisteringIsToldAndTheListStays) {
    MDIFrm& m = Principal();
    shell::forms::RegistraFormulario("Frm787", [](QWidget*) -> QDialog* {
        ui::SetMousePointer(ui::vbHourglass);
        vb::Raise(3021);
    });
    Comando(m, &MDIFrm::mnuRegistrar_Click, [&](QDialog* d) {
        Boton(d, 0)->click();
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(ui::MousePointer(), ui::vbDefault);
    });
    ASSERT_EQ(respuestas_->Shown().size(), 1u);
    EXPECT_EQ(respuestas_->Shown()[0].text, vb::ErrorText(3021) + "\n 3021");
    EXPECT_EQ(respuestas_->Shown()[0].title, "Error");
    EXPECT_EQ(respuestas_->Shown()[0].flags, ui::vbOKOnly);
}

TEST(EliminacionDeclaracion, QuotesItsValues) {
    const auto s = shell::forms::SentenciasEliminacion(true, "2010'0", "200512", "0787", 0, "001");
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[1],
              "DELETE * FROM hCAB WHERE DOC_ID_D='2010''0' AND PERIODO='200512' AND "
              "FORMULARIO='0787' AND SEMANA=0 and CORREL ='001' AND TIP_DOC_D=6");
}

}  // namespace
