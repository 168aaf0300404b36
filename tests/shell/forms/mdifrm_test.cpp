#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QtTest/QTest>
#include <fstream>

#include "fixture.h"
#include "jet/database.h"
#include "shell/forms/registro.h"
#include "ui/pointer.h"

namespace {

using shell::G;
using shell::forms::MDIFrm;

// What a command left for the form it opened, seen when the form is created.
struct Apertura {
    std::string form;
    std::int16_t gnModo;
    bool gbEnviadas, gbRegistraOrden, gbOrdenModificado;
    QDialog* instancia;
};

class Comandos : public HostForms {
  protected:
    void SetUp() override {
        HostForms::SetUp();
        for (const char* nombre : {"frmModFor", "frmAbrirEnv", "FrmImportar", "frmImprimir"}) {
            shell::forms::RegistraFormulario(nombre, [this, nombre](QWidget* padre) {
                auto* d = new QDialog(padre);
                d->setObjectName(nombre);
                const shell::ProgramState& g = G();
                abiertas_.push_back(
                    {nombre, g.gnModo, g.gbEnviadas, g.gbRegistraOrden, g.gbOrdenModificado, d});
                vivas_.emplace_back(d);
                return d;
            });
        }
        ui::SetModalHook([this](QDialog* d) {
            EXPECT_TRUE(d->isModal());
            punteroDurante_ = ui::MousePointer();
            auto* frame = qobject_cast<MDIFrm*>(d->parentWidget());
            hijaAbierta_ =
                frame &&
                !pruebas::Control<QMdiArea>(*frame, "MDIClient")->subWindowList().isEmpty();
        });
    }
    void TearDown() override {
        for (const char* nombre : {"frmModFor", "frmAbrirEnv", "FrmImportar", "frmImprimir"}) {
            shell::forms::RegistraFormulario(nombre, {});
        }
        HostForms::TearDown();
    }
    // Flags opposite to what the commands write, to see each one written.
    void EstadoPrevio() {
        shell::ProgramState& g = G();
        g.gnModo = 7;
        g.gbEnviadas = true;
        g.gbRegistraOrden = true;
        g.gbOrdenModificado = true;
    }
    std::vector<Apertura> abiertas_;
    std::vector<QPointer<QDialog>> vivas_;
    int punteroDurante_ = -1;
    bool hijaAbierta_ = false;  // a child window was still open when the form showed
};

TEST_F(Comandos, EveryCommandSetsItsStateAndOpensItsForm) {
    MDIFrm& m = Principal();
    struct Caso {
        const char* nombre;
        std::function<void()> comando;
        const char* form;
        std::int16_t modo;  // 7: left as it was
        bool enviadas, registra, modificado;
        bool cierraHijas;      // closes the frame's child windows first
        bool restauraPuntero;  // ends with the default pointer
    };
    const Caso casos[] = {
        {"mnuModificar", [&] { m.mnuModificar_Click(); }, "frmModFor", 2, false, false, false, true,
         false},
        {"mnuEliminar", [&] { m.mnuEliminar_Click(); }, "frmModFor", 3, false, false, false, false,
         false},
        {"mnuValidar", [&] { m.mnuValidar_Click(); }, "FrmImportar", 3, false, false, false, false,
         false},
        {"mnuImprimir", [&] { m.mnuImprimir_Click(); }, "frmImprimir", 7, false, false, true, false,
         true},
        {"mnuRegistrar", [&] { m.mnuRegistrar_Click(); }, "frmAbrirEnv", 2, true, true, false,
         false, true},
        {"mnuEliminarE", [&] { m.mnuEliminarE_Click(); }, "frmModFor", 3, true, false, true, true,
         false},
        {"mnuImprimirE", [&] { m.mnuImprimirE_Click(); }, "frmImprimir", 7, true, false, true,
         false, true},
        {"button 1", [&] { m.Toolbar1_ButtonClick(1); }, "frmModFor", 2, false, false, false, true,
         false},
        {"button 2", [&] { m.Toolbar1_ButtonClick(2); }, "frmModFor", 3, false, false, false, true,
         false},
        {"button 3", [&] { m.Toolbar1_ButtonClick(3); }, "frmImprimir", 7, false, false, true,
         false, true},
        {"button 6", [&] { m.Toolbar1_ButtonClick(6); }, "frmAbrirEnv", 2, true, true, false, false,
         true},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        EstadoPrevio();
        abiertas_.clear();
        // A child window of the frame, and a pointer some earlier work left.
        auto* area = pruebas::Control<QMdiArea>(m, "MDIClient");
        QPointer<QMdiSubWindow> hija = area->addSubWindow(new QWidget);
        hija->show();
        area->setActiveSubWindow(hija);
        ui::SetMousePointer(ui::vbArrowHourglass);
        hijaAbierta_ = false;
        c.comando();
        ASSERT_EQ(abiertas_.size(), 1u);
        const Apertura& a = abiertas_[0];
        EXPECT_EQ(a.form, c.form);
        EXPECT_EQ(a.gnModo, c.modo);
        EXPECT_EQ(a.gbEnviadas, c.enviadas);
        EXPECT_EQ(a.gbRegistraOrden, c.registra);
        EXPECT_EQ(a.gbOrdenModificado, c.modificado);
        EXPECT_EQ(hijaAbierta_, !c.cierraHijas);
        EXPECT_EQ(hija.isNull(), c.cierraHijas);
        delete hija;
        // The form is gone once the command is over.
        EXPECT_TRUE(vivas_.back().isNull());
        EXPECT_EQ(ui::MousePointer(), c.restauraPuntero ? ui::vbDefault : ui::vbArrowHourglass);
    }
    ui::SetMousePointer(ui::vbDefault);
}

TEST_F(Comandos, RegistrationShowsTheHourglassWhileThePickerOpens) {
    MDIFrm& m = Principal();
    m.mnuRegistrar_Click();
    EXPECT_EQ(punteroDurante_, ui::vbHourglass);
    EXPECT_EQ(ui::MousePointer(), ui::vbDefault);
}

TEST_F(Comandos, AfterRegistrationModifyOpensTheStoredPickerWithTheOrderModeCleared) {
    MDIFrm& m = Principal();
    for (auto modificar : {std::function<void()>([&] { m.mnuModificar_Click(); }),
                           std::function<void()>([&] { m.Toolbar1_ButtonClick(1); })}) {
        m.mnuRegistrar_Click();
        EXPECT_TRUE(G().gbRegistraOrden);
        abiertas_.clear();
        modificar();
        ASSERT_EQ(abiertas_.size(), 1u);
        EXPECT_EQ(abiertas_[0].form, "frmModFor");
        EXPECT_FALSE(abiertas_[0].gbRegistraOrden);
        EXPECT_FALSE(abiertas_[0].gbEnviadas);
    }
}

TEST_F(Comandos, ButtonsFiveSevenAndEightDoNothing) {
    MDIFrm& m = Principal();
    G().gsRuc = "20100123453";
    for (int b : {5, 7, 8, 0, 10}) {
        EstadoPrevio();
        m.Toolbar1_ButtonClick(b);
        EXPECT_TRUE(abiertas_.empty()) << b;
        EXPECT_EQ(G().gnModo, 7);
        EXPECT_TRUE(G().gbEnviadas && G().gbRegistraOrden && G().gbOrdenModificado);
        EXPECT_EQ(G().gsRuc, "20100123453");
    }
    EXPECT_EQ(fin_, 0);
    EXPECT_TRUE(abiertos_.empty());
    EXPECT_NE(G().gdbBase, nullptr);
}

TEST_F(Comandos, ValidatingTwiceShowsANewInstanceEachTime) {
    MDIFrm& m = Principal();
    std::vector<QString> visto;
    ui::SetModalHook([&](QDialog* d) {
        visto.push_back(d->windowTitle());
        d->setWindowTitle("tocado");  // what the first one was left with
    });
    m.mnuValidar_Click();
    m.mnuValidar_Click();
    ASSERT_EQ(abiertas_.size(), 2u);
    EXPECT_EQ(visto, (std::vector<QString>{"", ""}));
    EXPECT_TRUE(vivas_[0].isNull());
    EXPECT_TRUE(vivas_[1].isNull());
}

TEST_F(HostForms, FormsNotBuiltYetAreInertHooks) {
    MDIFrm& m = Principal();
    ui::SetModalHook([](QDialog*) { ADD_FAILURE() << "nothing should open"; });
    m.mnuModificar_Click();
    m.mnuValidar_Click();
    m.mnuImprimirE_Click();
    m.Toolbar1_ButtonClick(6);
    EXPECT_EQ(G().gnModo, 2);
    EXPECT_TRUE(respuestas_->Shown().empty());
}

TEST_F(HostForms, LoadingReadsSettingsOpensTheBaseAndTheVersion) {
    MDIFrm& m = Principal();
    const shell::ProgramState& g = G();
    EXPECT_EQ(m.windowTitle(), "0787 Olvarico v 1.9");
    EXPECT_EQ(g.gsFormulario, "0787");
    EXPECT_EQ(g.gsVersion, "1.9");
    EXPECT_EQ(g.gsFechaVersion, "01/03/2004");
    EXPECT_NE(g.gdbBase, nullptr);
    EXPECT_EQ(g.gsSysPath, inst_.sysPath);
    EXPECT_EQ(m.HelpFile(), inst_.sysPath + "0787/formdesk");
    EXPECT_EQ(m.HelpContextID(), 1008);
    EXPECT_EQ(Barra(m)->formulario(), "0787");
    EXPECT_EQ(Barra(m)->esruc(), "1");
    EXPECT_EQ(Barra(m)->numdoc(), "");
    EXPECT_EQ(Barra(m)->periodo_ejercicio(), "");
    EXPECT_TRUE(avisos_.avisos.empty());
    // No minimise or maximise box.
    EXPECT_FALSE(m.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(m.windowFlags() & Qt::WindowMaximizeButtonHint);
    // Activation puts the frame back at -60, -60, 9720 x 7390 twips.
    EXPECT_EQ(m.frameGeometry().topLeft(), QPoint(-4, -4));
    m.move(200, 200);
    m.resize(300, 200);
    QEvent activa(QEvent::WindowActivate);
    QApplication::sendEvent(&m, &activa);
    EXPECT_EQ(m.frameGeometry().topLeft(), QPoint(-4, -4));
    EXPECT_EQ(m.frameGeometry().size(), QSize(648, 492));
}

// A window manager may offer the boxes the frame does not have: whatever
// state the frame is given, it is back in the normal one, where it was.
TEST_F(HostForms, MaximisedOrMinimisedTheFrameComesBack) {
    MDIFrm& m = Principal();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m));  // and its activation has squared it up
    // Inside the screen: this platform pushes a window that starts beyond
    // its top-left corner back in.
    m.setGeometry(40, 60, 600, 450);
    QTest::qWait(50);
    const QRect puesto = m.geometry();
    ASSERT_EQ(puesto, QRect(40, 60, 600, 450));
    for (Qt::WindowState estado :
         {Qt::WindowMaximized, Qt::WindowMinimized, Qt::WindowFullScreen, Qt::WindowMaximized}) {
        SCOPED_TRACE(estado);
        m.setWindowState(estado);
        ASSERT_EQ(m.windowState() & ~Qt::WindowActive, estado);
        bool vuelto = false;
        for (int i = 0; i < 100 && !vuelto; ++i) {
            QTest::qWait(20);
            vuelto = (m.windowState() & ~Qt::WindowActive) == Qt::WindowNoState &&
                     m.geometry() == puesto;
        }
        const QRect r = m.geometry();
        EXPECT_TRUE(vuelto) << "state " << m.windowState().toInt() << ", at " << r.x() << ","
                            << r.y() << " " << r.width() << "x" << r.height();
        // And it stays there once the window system has said all it had to.
        QTest::qWait(100);
        EXPECT_EQ(m.windowState() & ~Qt::WindowActive, Qt::WindowNoState);
        EXPECT_EQ(m.geometry(), puesto);
        EXPECT_TRUE(m.isVisible());
    }
}

TEST_F(HostForms, MenusAndToolbarAsDesigned) {
    MDIFrm& m = Principal();
    const std::vector<std::pair<QString, std::vector<std::pair<QString, QString>>>> esperado = {
        {"mnuDeclara",
         {{"mnuModificar", "&Modificar"},
          {"mnuEliminar", "&Eliminar"},
          {"Rayita1", ""},
          {"mnuValidar", "&Validar Archivos"},
          {"rayita2", ""},
          {"mnuImprimir", "&Imprimir"},
          {"rayita", ""},
          {"mnuSalir", "&Salir"}}},
        {"mnuDeclaraE",
         {{"mnuRegistrar", "&Registrar número de orden"},
          {"mnuEliminarE", "&Eliminar"},
          {"Raya", ""},
          {"mnuImprimirE", "&Imprimir"}}},
        {"mnuConsultas",
         {{"mnuPro", "&Codigos de profesión"},
          {"mnuBancos", "&Bancos"},
          {"mnuUit", "&Consulta de UIT"}}},
        {"mnuayuda",
         {{"mnuContenido", "&Contenido de la Ayuda"},
          {"mnuRaya", ""},
          {"mnuAcerca", "&Acerca de ..."},
          {"verificar", "&Verificar Versión"}}},
    };
    const QList<QAction*> menus = m.menuBar()->actions();
    ASSERT_EQ(menus.size(), 4);
    const QStringList titulos = {"&Declaraciones", "Declaraciones &Enviadas", "&Consultas",
                                 "&Ayuda"};
    for (int i = 0; i < 4; ++i) {
        QMenu* menu = menus[i]->menu();
        EXPECT_EQ(menu->objectName(), esperado[i].first);
        EXPECT_EQ(menu->title(), titulos[i]);
        const QList<QAction*> items = menu->actions();
        ASSERT_EQ(items.size(), static_cast<qsizetype>(esperado[i].second.size()));
        for (int j = 0; j < items.size(); ++j) {
            EXPECT_EQ(items[j]->objectName(), esperado[i].second[j].first);
            EXPECT_EQ(items[j]->isSeparator(), esperado[i].second[j].second.isEmpty());
            if (!items[j]->isSeparator()) {
                EXPECT_EQ(items[j]->text(), esperado[i].second[j].second);
            }
        }
    }
    const QList<QAction*> botones = pruebas::Control<QToolBar>(m, "Toolbar1")->actions();
    ASSERT_EQ(botones.size(), 9);
    const QStringList ayudas = {"Modifcar",        "Eliminar", "Imprimir", "Salir", "",
                                "Numero de orden", "",         "",         ""};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(botones[i]->objectName(), QStringLiteral("Button%1").arg(i + 1));
        EXPECT_EQ(botones[i]->toolTip(), ayudas[i]) << i + 1;
        EXPECT_EQ(botones[i]->isSeparator(), i == 4 || i == 6 || i == 7) << i + 1;
    }
    // Menu items reach their commands.
    shell::forms::RegistraFormulario("FrmImportar", [](QWidget* p) { return new QDialog(p); });
    int abiertos = 0;
    ui::SetModalHook([&](QDialog*) { ++abiertos; });
    pruebas::Control<QAction>(m, "mnuValidar")->trigger();
    EXPECT_EQ(abiertos, 1);
    EXPECT_EQ(G().gnModo, 3);
    shell::forms::RegistraFormulario("FrmImportar", {});
}

TEST_F(HostForms, SalirClosesTheBaseAndEnds) {
    for (int via = 0; via < 2; ++via) {
        MDIFrm& m = Principal();
        m.show();
        if (via == 0) {
            m.mnuSalir_Click();
        } else {
            m.Toolbar1_ButtonClick(4);
        }
        EXPECT_EQ(G().gdbBase, nullptr);
        EXPECT_FALSE(m.isVisible());
        EXPECT_EQ(fin_, via + 1);
    }
}

TEST_F(HostForms, VersionCheckAddress) {
    using shell::forms::DireccionVersion;
    const std::string base = std::string(shell::forms::kServidorDescargas) +
                             "/qvx/qvxdown/vezavuzuzevero/vezavuzuzevero.htm?p=0787&v=";
    EXPECT_EQ(DireccionVersion("1.9", "01/03/2004"), base + "1.9&f=01032004#p787");
    EXPECT_EQ(DireccionVersion("2.0", "31/12/2010"), base + "2.0&f=31122010#p787");
    EXPECT_EQ(DireccionVersion("", ""), base + "&f=#p787");
    MDIFrm& m = Principal();
    m.verificar_Click();
    ASSERT_EQ(abiertos_.size(), 1u);
    EXPECT_EQ(abiertos_[0], base + "1.9&f=01032004#p787");
}

TEST_F(HostForms, WithoutTheVersionRowTheProgramStillStarts) {
    {
        auto db = hostkit::AbreHost(inst_);
        db->Execute("DELETE * FROM PARAM WHERE Numero='856'", jet::dbFailOnError);
        db->Close();
    }
    MDIFrm& m = Principal();
    EXPECT_EQ(G().gsVersion, "");
    EXPECT_EQ(G().gsFechaVersion, "");
    m.verificar_Click();
    ASSERT_EQ(abiertos_.size(), 1u);
    EXPECT_NE(abiertos_[0].find("&v=&f=#p787"), std::string::npos);
}

TEST_F(HostForms, HelpOpensTheHelpFileOrSaysItIsMissing) {
    MDIFrm& m = Principal();
    // The host installs the help page; without it the user is told.
    std::filesystem::remove(inst_.sysPath + "0787/formdesk.html");
    m.mnuContenido_Click();
    EXPECT_TRUE(abiertos_.empty());
    ASSERT_EQ(respuestas_->Shown().size(), 1u);
    EXPECT_NE(respuestas_->Shown()[0].text.find("0787/formdesk"), std::string::npos);

    std::ofstream(inst_.sysPath + "0787/formdesk.html") << "<html></html>";
    m.Toolbar1_ButtonClick(9);
    ASSERT_EQ(abiertos_.size(), 1u);
    EXPECT_EQ(abiertos_[0], inst_.sysPath + "0787/formdesk.html");

    // F1 opens it at the help context of the window it is pressed in; in a
    // window without one, at its contents.
    QTest::keyClick(pruebas::Control<QMdiArea>(m, "MDIClient"), Qt::Key_F1);
    ASSERT_EQ(abiertos_.size(), 2u);
    EXPECT_EQ(abiertos_[1], inst_.sysPath + "0787/formdesk.html#1008");
    QWidget suelta;
    QTest::keyClick(&suelta, Qt::Key_F1);
    ASSERT_EQ(abiertos_.size(), 3u);
    EXPECT_EQ(abiertos_[2], inst_.sysPath + "0787/formdesk.html");
}

// Start-up failures: the user is told, the loading stops, nothing is left open.
TEST_F(HostForms, MissingOrBrokenSettingsFile) {
    const std::string ini = inst_.ini;
    const std::pair<const char*, std::function<void()>> casos[] = {
        {"missing", [&] { std::filesystem::remove(ini); }},
        {"not a settings file",
         [&] { std::ofstream(ini, std::ios::binary) << std::string("\x00\xff\x13garbage", 10); }},
        {"folder that does not exist",
         [&] { std::ofstream(ini) << "[Options]\r\nSysPath=/no/existe/QVX/\r\n"; }},
    };
    for (const auto& [nombre, prepara] : casos) {
        SCOPED_TRACE(nombre);
        prepara();
        avisos_.avisos.clear();
        avisos_.codigoFin = -1;
        MDIFrm m;
        EXPECT_FALSE(m.MDIForm_Load());
        ASSERT_EQ(avisos_.avisos.size(), 1u);
        EXPECT_NE(avisos_.avisos[0].texto.find("SysPath"), std::string::npos);
        EXPECT_NE(avisos_.codigoFin, -1);
        EXPECT_EQ(G().gdbBase, nullptr);
    }
}

TEST_F(HostForms, DatabaseThatCannotBeOpened) {
    struct Caso {
        const char* nombre;
        std::function<void()> prepara;
        const char* texto;  // the message starts with it
    };
    const Caso casos[] = {
        {"missing", [&] { std::filesystem::remove(inst_.base); }, ""},
        {"damaged",
         [&] {
             std::filesystem::remove(inst_.base);
             std::ofstream(inst_.base) << "esto no es una base de datos";
         },
         ""},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        c.prepara();
        avisos_.avisos.clear();
        MDIFrm m;
        EXPECT_FALSE(m.MDIForm_Load());
        ASSERT_EQ(avisos_.avisos.size(), 1u);
        EXPECT_EQ(avisos_.avisos[0].titulo, "Error de Conección");
        EXPECT_EQ(G().gdbBase, nullptr);
    }
}

TEST_F(HostForms, DatabaseHeldExclusively) {
    pruebas::BloqueoExclusivo bloqueo(inst_);
    ASSERT_TRUE(bloqueo.Activo());
    MDIFrm m;
    EXPECT_FALSE(m.MDIForm_Load());
    ASSERT_EQ(avisos_.avisos.size(), 1u);
    EXPECT_EQ(avisos_.avisos[0].texto, " 3051- Base esta bloqueda");
    EXPECT_EQ(avisos_.avisos[0].titulo, "Error de Conección");
}

TEST_F(HostForms, HostWithoutTheErrorTable) {
    {
        auto db = hostkit::AbreHost(inst_);
        db->Execute("DROP TABLE [error]", jet::dbFailOnError);
        db->Close();
    }
    MDIFrm m;
    EXPECT_FALSE(m.MDIForm_Load());
    ASSERT_EQ(respuestas_->Shown().size(), 1u);
    EXPECT_NE(respuestas_->Shown()[0].text.find("3078"), std::string::npos);
}

}  // namespace
