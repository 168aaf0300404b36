// The declaration form over a host whose declaration the import made: opening,
// box entry, validation with its log and list, saving and reopening, the
// order number of a sent declaration, and the exit question.
#include "declaration/forms/frm787.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTabBar>
#include <QtTest/QTest>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <tuple>

#include "declaration/casillas.h"
#include "declaration/formatos.h"
#include "host/hostkit.h"
#include "import/control.h"
#include "import/transferencia.h"
#include "jet/database.h"
#include "pruebas/controles.h"
#include "pruebas/host.h"
#include "shell/cnumero.h"
#include "shell/forms/registro.h"
#include "shell/state.h"
#include "tools/seeder/instalador.h"
#include "ui/modal.h"
#include "ui/msgbox.h"
#include "validator/validator.h"

namespace fs = std::filesystem;
using declaracion::forms::Frm787;
using pruebas::Control;

namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "declarationforms_test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// The form's controls most tests work: the tab strip, the buttons Cmdgeneral
// (V&alidar, &Grabar, &Salir) and the payment details.
QTabWidget* Pestanas(const Frm787& f) {
    return Control<QTabWidget>(f, "tab0787");
}
QPushButton* Boton(const Frm787& f, int i) {
    return Control<QPushButton>(f, QStringLiteral("Cmdgeneral_%1").arg(i));
}
ui::FormaDePagoQVX* Pago(const Frm787& f) {
    return Control<ui::FormaDePagoQVX>(f, "FormaDePagoQVX1");
}

const std::string kRuc = "20100123453";
const std::string kNombre = "EMPRESA DE PRUEBA S.A.";

class Importa : public importacion::VistaImportacion {
  public:
    bool Marcado(int i) const override { return i == 2 || i == 3; }
};

class Declaracion787 : public ::testing::Test {
  protected:
    void SetUp() override {
        App();
        auto host = pruebas::PreparaHost(carpeta_.Ruta() + "/host", val_);
        inst_ = host.inst;
        db_ = std::move(host.db);
        avisos_.avisos.clear();
        auto& g = shell::G();
        g.gsUsuario = std::string(hostkit::kUsuarioSistema);
        g.gsSysPath = inst_.sysPath;
        respuestas_.emplace();
        // The inconsistency list is another part's form: here it only says
        // what it was given to show.
        shell::forms::RegistraFormulario("FrmConsist", [this](QWidget* padre) {
            std::ifstream f(shell::G().gsArchivoRep, std::ios::binary);
            std::stringstream s;
            s << f.rdbuf();
            listas_.push_back(s.str());
            auto* d = new QDialog(padre);
            d->setObjectName("FrmConsist");
            return d;
        });
        ui::SetModalHook([](QDialog*) {});
    }
    void TearDown() override {
        ui::SetModalHook({});
        shell::forms::RegistraFormulario("FrmConsist", {});
        respuestas_.reset();
        shell::G().gdbBase = nullptr;
        db_.reset();
        shell::ResetState();
    }

    // The import road for one period: both data files validated, the header written.
    void Importar(const std::string& periodo) {
        auto& g = shell::G();
        g.gsRuc = kRuc;
        g.gsPeriodo = periodo;
        const std::string carpeta = carpeta_.Ruta() + "/datos/";
        fs::create_directories(carpeta);
        const std::string base = carpeta + "0787" + periodo + kRuc + ".";
        Escribe(base + "mov", {"06|" + kRuc + "||01|01|02||5000.00|1500.00|0.00|||||||",
                               "01|12345678||01|01|02||2000.00|700.00|0.00|||||||"});
        Escribe(base + "ext", {"01|12345678||201412|01|01|02||2|100.00|30.00|0.00|||||||"});
        Importa vista;
        ASSERT_TRUE(importacion::Transferencia(base, vista)) << Cajas().size();
        ASSERT_TRUE(importacion::VerificoArch());
        importacion::GraboCabecera();
        Cajas();
    }
    void Escribe(const std::string& ruta, const std::vector<std::string>& lineas) {
        std::ofstream f(ruta, std::ios::binary);
        for (const auto& l : lineas) f << l << "\r\n";
    }
    // The current command of "Modificar" on the declaration.
    void Modificar(const std::string& periodo) {
        auto& g = shell::G();
        g.gnModo = 2;
        g.gbEnviadas = g.gbRegistraOrden = g.gbOrdenModificado = false;
        g.gsRuc = kRuc;
        g.gsNombre = kNombre;
        g.gsPeriodo = periodo;
        g.gsFormulario = "0787";
    }
    std::unique_ptr<Frm787> Abre() {
        auto f = std::make_unique<Frm787>();
        Cajas();
        return f;
    }
    // Shown and active, so that the boxes take the focus as on a screen.
    void Muestra(Frm787& f) {
        f.show();
        f.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    }
    // Types a text into a box and leaves it.
    void Teclea(Frm787& f, int n, const QString& texto) {
        Pestanas(f)->setCurrentIndex(1);
        auto* c = f.Caja(n);
        c->setFocus();
        c->selectAll();
        QTest::keyClick(c, Qt::Key_Backspace);
        QTest::keyClicks(c, texto);
        Boton(f, 2)->setFocus();
    }
    // The texts of the boxes shown since the last call.
    std::vector<std::string> Cajas() {
        std::vector<std::string> r;
        for (const auto& b : respuestas_->Shown()) r.push_back(b.text);
        respuestas_->Clear();
        return r;
    }
    std::string Columna(const std::string& sql, const std::string& columna) {
        auto rs = db_->OpenRecordset(sql, jet::dbOpenSnapshot);
        if (rs->Eof()) return "<sin fila>";
        const vb::Variant& v = rs->Fields(columna).Value();
        return v.IsNull()     ? "<null>"
               : v.IsString() ? v.Str()
                              : std::to_string(static_cast<long>(v.NumberValue()));
    }

    // Lightness of a closed field's background over that of its text.
    static int Contraste(const QWidget& w) {
        const QPalette& p = w.palette();
        return qGray(p.color(QPalette::Disabled, QPalette::Base).rgb()) -
               qGray(p.color(QPalette::Disabled, QPalette::Text).rgb());
    }

    pruebas::CarpetaTemporal carpeta_;
    pruebas::AvisosGrabados avisos_;
    hostkit::Instalacion inst_;
    std::unique_ptr<jet::Database> db_;
    validator::cValidador val_;
    std::optional<ui::ScriptedAnswers> respuestas_;
    std::vector<std::string> listas_;
};

// A declaration of the import, completed by hand, validated, saved, and
// opened again with every box as it was left.
TEST_F(Declaracion787, ImportadaTecleadaValidadaGrabadaYReabierta) {
    Importar("201709");
    Modificar("201709");
    auto f = Abre();
    Muestra(*f);
    EXPECT_EQ(f->windowTitle(), "0787 QVX Olvarico v 1.9");
    EXPECT_EQ(Pestanas(*f)->currentIndex(), 0);
    const auto* ruc = Control<QLineEdit>(*f, "TxtNumRuc");
    const auto* razon = Control<QLineEdit>(*f, "TxtRazon");
    const auto* periodo = Control<QLineEdit>(*f, "mkePeriodo");
    EXPECT_EQ(ruc->text().toStdString(), kRuc);
    EXPECT_EQ(razon->text().toStdString(), kNombre);
    EXPECT_EQ(periodo->text(), "09/2017");
    for (const QWidget* w : {ruc, razon, periodo})
        EXPECT_GE(Contraste(*w), 96) << w->objectName().toStdString();  // closed, yet read
    EXPECT_FALSE(f->Modificado());
    // A header without payment data opens as a cheque.
    EXPECT_EQ(Pago(*f)->formapago(), "C");
    // The import's totals, the balances computed from them.
    const double t302 = f->Datos().Vale(302), t322 = f->Datos().Vale(322);
    ASSERT_GT(t302, 0);
    ASSERT_GT(t322, 0);
    EXPECT_FALSE(f->Datos().Vacio(307));
    EXPECT_FALSE(f->Caja(592)->text().isEmpty());

    // The first fortnight only: the log lists what is missing, and the list opens.
    const auto entero = [](double v) { return QString::number(static_cast<long long>(v)); };
    Teclea(*f, 300, entero(t302 - 100));
    EXPECT_TRUE(f->Modificado());
    Boton(*f, 0)->click();
    ASSERT_EQ(listas_.size(), 1u);
    EXPECT_EQ(listas_[0],
              "Ingrese la casilla 301\r\n"
              "La casilla 302 debe ser igual a la suma de la casilla 300 y 301\r\n"
              "Ingrese la casilla 320\r\n"
              "Ingrese la casilla 321\r\n"
              "La casilla 322 debe ser igual a la suma de la casilla 320 y 321\r\n"
              "Ingrese el importe a pagar de Cta. Propia\r\n"
              "Ingrese el importe a pagar de retenciones\r\n"
              "Ingrese el importe total a pagar\r\n"
              "Ingrese el banco\r\n"
              "Ingrese el N\xFA"
              "mero del cheque\r\n"  // the log is in Windows-1252
              "No puede girar un cheque con monto cero\r\n");
    EXPECT_EQ(shell::G().gsArchivoRep, inst_.sysPath + "Mens.txt");

    // Completed: the all-clear message, no list.
    Teclea(*f, 301, "100");
    Teclea(*f, 320, entero(t322));
    Teclea(*f, 321, "0");
    Teclea(*f, 309, "25");
    EXPECT_EQ(f->Caja(309)->text(), "(25)");
    const QString deuda312 = f->Caja(312)->text(), deuda332 = f->Caja(332)->text();
    Teclea(*f, 313, QString(deuda312).remove(','));
    Teclea(*f, 333, QString(deuda332).remove(','));
    Pago(*f)->setFormapago("E");
    Cajas();
    Boton(*f, 0)->click();
    EXPECT_EQ(Cajas(), std::vector<std::string>{
                           "La información de la declaración no presenta inconsistencias."});
    EXPECT_EQ(listas_.size(), 1u);

    Boton(*f, 1)->click();
    EXPECT_EQ(Cajas(), std::vector<std::string>{
                           "Toda la información del formulario fue grabada satisfactoriamente."});
    EXPECT_FALSE(f->Modificado());
    EXPECT_TRUE(f->isVisible());
    const std::string cab = "SELECT * FROM CAB WHERE DOC_ID_D='" + kRuc + "' AND PERIODO='201709'";
    EXPECT_EQ(Columna(cab, "estado"), "0");
    EXPECT_EQ(Columna(cab, "rectifica"), "0");

    std::map<int, QString> antes;
    for (const declaracion::Casilla& k : declaracion::Casillas())
        antes[k.numero] = f->Caja(k.numero)->text();
    const QString importe = Pago(*f)->importe();
    f.reset();

    Modificar("201709");
    auto g = Abre();
    for (const declaracion::Casilla& k : declaracion::Casillas()) {
        const int n = k.numero;
        const QLineEdit* c = g->Caja(n);
        if (c->isVisibleTo(g.get()))
            EXPECT_EQ(c->text(), antes[n]) << "casilla " << n;
        else  // hidden totals come back through the display format
            EXPECT_EQ(declaracion::Vale(n, c->text().toStdString()),
                      declaracion::Vale(n, antes[n].toStdString()))
                << "casilla " << n;
    }
    EXPECT_EQ(Pago(*g)->formapago(), "E");
    // The amount comes back as stored, in plain digits.
    EXPECT_EQ(Pago(*g)->importe(), QString(importe).remove(','));
    EXPECT_TRUE(avisos_.avisos.empty());
}

// What a box takes: only digits by its key filter; its edit form on entering
// and its display form on leaving; no text by paste, selection or drop.
TEST_F(Declaracion787, EntradaDeCasillas) {
    Modificar("201709");
    auto f = Abre();
    Muestra(*f);
    Pestanas(*f)->setCurrentIndex(1);
    Cajas();
    struct Caso {
        int caja;
        const char* tecleado;
        const char* alSalir;
        const char* alVolver;
    };
    for (const Caso& c : std::initializer_list<Caso>{{313, "12a3.4-567", "1,234,567", "1234567"},
                                                     {309, "500", "(500)", "500"},
                                                     {309, "0", "0", "0"},
                                                     {330, "", "", ""}}) {
        Teclea(*f, c.caja, c.tecleado);
        EXPECT_EQ(f->Caja(c.caja)->text(), c.alSalir) << c.caja << " " << c.tecleado;
        f->Caja(c.caja)->setFocus();
        EXPECT_EQ(f->Caja(c.caja)->text(), c.alVolver) << c.caja << " " << c.tecleado;
    }
    // Enter moves on; a locked box passes the focus to the tabs.
    auto* c313 = f->Caja(313);
    c313->setFocus();
    QTest::keyClick(c313, Qt::Key_Return);
    EXPECT_FALSE(c313->hasFocus());
    QTest::mouseClick(f->Caja(302), Qt::LeftButton);
    EXPECT_TRUE(Pestanas(*f)->tabBar()->hasFocus());

    // Paste by key, by the middle button and by a drop brings nothing in;
    // Shift+Insert and the right button empty the clipboard.
    QClipboard* portapapeles = QGuiApplication::clipboard();
    c313->setFocus();
    const QString antes = c313->text();
    portapapeles->setText("999");
    QTest::keyClick(c313, Qt::Key_V, Qt::ControlModifier);
    QTest::mouseClick(c313, Qt::MiddleButton);
    QMimeData datos;
    datos.setText("888");
    QDropEvent suelta(QPointF(5, 5), Qt::CopyAction, &datos, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(c313, &suelta);
    EXPECT_EQ(c313->text(), antes);
    QTest::keyClick(c313, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(c313->text(), antes);
    EXPECT_EQ(portapapeles->text(), "");
    portapapeles->setText("777");
    auto* orden = Control<QLineEdit>(*f, "txtOrden");
    QTest::mousePress(orden, Qt::RightButton);
    QTest::mouseRelease(orden, Qt::RightButton);
    EXPECT_EQ(portapapeles->text(), "");
    EXPECT_TRUE(Cajas().empty());
}

// Every amount shows whole once the focus has left it: the longest text each
// kind of box can show (15 digits in a large amount, 12 in
// parentheses; the system's boxes hold 15-digit import totals in parentheses
// and a total debt that adds a 15-digit interest to a balance) fits the room
// the box gives its text, inside its column, its grid and the form's fixed size.
TEST_F(Declaracion787, ImportesLargosSeLeenEnteros) {
    Importar("201709");
    // A reversal total at its longest (the control table keeps 15 characters):
    // 326 and the balance 337 it leaves show 15 digits in parentheses.
    db_->Execute("UPDATE EFCONTROL SET mto_326='999999999999999'");
    Modificar("201709");
    auto f = Abre();
    Muestra(*f);
    Pestanas(*f)->setCurrentIndex(1);
    Cajas();
    // Width the line edit gives its text: the style's contents rectangle less
    // the text margins and the 2 pixels QLineEdit keeps on either side.
    const auto util = [](const QLineEdit& c) {
        QStyleOptionFrame o;
        o.initFrom(&c);
        o.rect = c.rect();
        o.lineWidth =
            c.hasFrame() ? c.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &o, &c) : 0;
        o.midLineWidth = 0;
        o.state |= QStyle::State_Sunken;
        if (c.isReadOnly()) o.state |= QStyle::State_ReadOnly;
        o.features = QStyleOptionFrame::None;
        const QRect r = c.style()->subElementRect(QStyle::SE_LineEditContents, &o, &c);
        return r.marginsRemoved(c.textMargins()).width() - 2 * 2;
    };
    // What box n shows (a text ending in "*": its beginning, 21 characters in
    // all), and that its text fits.
    const auto comprueba = [&](int n, const QString& muestra) {
        SCOPED_TRACE(n);
        const QLineEdit* e = f->Caja(n);
        EXPECT_FALSE(e->hasFocus());
        if (muestra.endsWith('*')) {
            EXPECT_TRUE(e->text().startsWith(muestra.chopped(1))) << e->text().toStdString();
            EXPECT_EQ(e->text().size(), 21);
        } else {
            EXPECT_EQ(e->text(), muestra);
        }
        const int ancho = e->fontMetrics().horizontalAdvance(e->text());
        EXPECT_LT(ancho, util(*e)) << e->text().toStdString() << " in " << e->width() << " px";
    };
    // Typed at their longest, the focus gone.
    const std::vector<std::tuple<int, const char*, const char*>> tecleados = {
        {313, "999999999999999", "999,999,999,999,999"},  // large amounts
        {300, "999999999999999", "999,999,999,999,999"},
        {333, "999999999999999", "999,999,999,999,999"},
        {309, "888888888888", "(888,888,888,888)"},  // in parentheses
        {330, "999999999999", "(999,999,999,999)"},
    };
    for (const auto& [n, tecleado, muestra] : tecleados) {
        Teclea(*f, n, tecleado);
        comprueba(n, muestra);
    }
    // Filled by the system: the reversal totals and the balance of the
    // retentions in parentheses; the own account's debt, a balance plus a
    // 15-digit interest, 16 digits.
    comprueba(326, "(999,999,999,999,999)");
    comprueba(337, "(999,999,999,99*");
    Teclea(*f, 309, "");
    Teclea(*f, 311, "999999999999999");
    comprueba(311, "999,999,999,999,999");
    comprueba(312, "1,000,000,000,00*");
    const QLineEdit* referencia = f->Caja(313);
    // Every box of the grids as wide as those, in the same letter, and whole
    // inside its column, the column inside its grid, the grid left of the
    // scroll bar, and all of them inside the tab and the form.
    for (const declaracion::Casilla& k : declaracion::Casillas()) {
        if (k.marco == declaracion::Marco::Oculto) continue;
        const QWidget* c = f->Caja(k.numero);
        SCOPED_TRACE(k.numero);
        EXPECT_EQ(c->width(), referencia->width());
        EXPECT_EQ(c->font(), referencia->font());
        for (const QWidget* w = c; w != f.get(); w = w->parentWidget()) {
            EXPECT_GE(w->x(), 0) << w->objectName().toStdString();
            EXPECT_LE(w->x() + w->width(), w->parentWidget()->width())
                << w->objectName().toStdString();
        }
    }
    const QWidget* actual = Control<QGroupBox>(*f, "fraActual");
    EXPECT_LE(actual->x() + actual->width(), Control<QScrollBar>(*f, "vsVertical")->x());
    EXPECT_EQ(f->size(), QSize(9615 / 15, 6900 / 15));
}

// The three layouts of the box tab, by period.
TEST_F(Declaracion787, DisenosPorPeriodo) {
    struct Caso {
        const char* periodo;
        bool quincenas;  // 300/301 and 320/321 shown, 353/373 hidden
        bool abierta309;
        bool barra;
    };
    for (const Caso& c : std::initializer_list<Caso>{{"200403", true, false, false},
                                                     {"201709", true, true, true},
                                                     {"201710", false, true, true}}) {
        SCOPED_TRACE(c.periodo);
        Modificar(c.periodo);
        auto f = Abre();
        auto* barra = Control<QScrollBar>(*f, "vsVertical");
        const auto* actual = Control<QGroupBox>(*f, "fraActual");
        const auto* anterior = Control<QGroupBox>(*f, "fraAnterior");
        const auto* propia = Control<QWidget>(*f, "fraActualPropia");
        const auto* titulo = Control<QLabel>(*f, "lblTitulo");
        // Shown on its tab (the box tab itself is not the one in front).
        const auto mostrada = [](const QWidget* w) { return !w->isHidden(); };
        for (int n : {300, 301, 320, 321}) EXPECT_EQ(mostrada(f->Caja(n)), c.quincenas) << n;
        for (int n : {353, 373}) EXPECT_EQ(mostrada(f->Caja(n)), !c.quincenas) << n;
        EXPECT_EQ(mostrada(Control<QLabel>(*f, "txtdescas_306")), c.quincenas);
        EXPECT_EQ(f->Caja(309)->isEnabled(), c.abierta309);
        EXPECT_EQ(f->Caja(329)->isEnabled(), c.abierta309);
        EXPECT_EQ(mostrada(barra), c.barra);
        EXPECT_FALSE(mostrada(f->Caja(308)));
        EXPECT_FALSE(mostrada(anterior));
        EXPECT_EQ(actual->y(), 800 / 15);
        EXPECT_EQ(f->size(), QSize(9615 / 15, 6900 / 15));
        EXPECT_EQ(Pestanas(*f)->property("HelpContextID").toInt(), 1016);  // what F1 reads
        // What a user reads: every row text whole, in the form's letter,
        // no box over another, the payment details inside their tab.
        f->show();
        Pestanas(*f)->setCurrentIndex(1);
        QApplication::processEvents();
        for (const declaracion::Descripcion& d : declaracion::Descripciones()) {
            auto* e = Control<QLabel>(*f, QStringLiteral("txtdescas_%1").arg(d.indice));
            if (e->isHidden()) continue;
            e->ensurePolished();
            EXPECT_LE(e->fontMetrics().horizontalAdvance(e->text()), e->width())
                << e->text().toStdString();
        }
        std::vector<const QWidget*> vistas;
        for (const declaracion::Casilla& k : declaracion::Casillas())
            if (!f->Caja(k.numero)->isHidden()) vistas.push_back(f->Caja(k.numero));
        for (std::size_t i = 0; i < vistas.size(); ++i) {
            EXPECT_EQ(vistas[i]->font().pointSize(), f->font().pointSize())
                << vistas[i]->objectName().toStdString();
            for (std::size_t j = i + 1; j < vistas.size(); ++j) {
                if (vistas[i]->parentWidget() != vistas[j]->parentWidget()) continue;
                EXPECT_FALSE(vistas[i]->geometry().intersects(vistas[j]->geometry()))
                    << vistas[i]->objectName().toStdString() << " "
                    << vistas[j]->objectName().toStdString();
            }
        }
        EXPECT_TRUE(Control<QWidget>(*f, "tabDeterm")->rect().contains(Pago(*f)->geometry()));
        Pestanas(*f)->setCurrentIndex(0);
        // Showing the box tab again and again keeps the layout in place.
        const QPoint en353 = f->Caja(353)->pos(), columna = propia->pos();
        Pestanas(*f)->setCurrentIndex(1);
        Pestanas(*f)->setCurrentIndex(0);
        Pestanas(*f)->setCurrentIndex(1);
        EXPECT_EQ(Pestanas(*f)->currentIndex(), 1);
        EXPECT_EQ(f->TabHelpContextID(), 1015);
        EXPECT_EQ(Pestanas(*f)->property("HelpContextID").toInt(), 1015);
        EXPECT_EQ(f->Caja(353)->pos(), en353);
        EXPECT_EQ(propia->pos(), columna);
        if (!c.quincenas) {
            EXPECT_EQ(f->Caja(353)->y(), 310 / 15);
            EXPECT_EQ(propia->y(), -150 / 15);
            EXPECT_EQ(Control<QLabel>(*f, "txtdescas_305")->text(),
                      "Impuesto resultante del periodo");
        }
        // The scroll bar switches to the previous periods and back.
        barra->setValue(1);
        EXPECT_TRUE(mostrada(anterior));
        EXPECT_EQ(titulo->text(), "DATOS DE PERIODOS ANTERIORES");
        barra->setValue(0);
        EXPECT_EQ(titulo->text(), "DATOS DEL PERIODO");
        EXPECT_TRUE(Cajas().empty());
    }
}

// The exit question after an edit survives a message box that activates the
// form again; Escape and the close box ask as "&Salir" does.
TEST_F(Declaracion787, PreguntaAlSalirTrasUnMensaje) {
    Modificar("201709");
    auto f = Abre();
    Muestra(*f);
    // Payment data chosen counts as an edit.
    auto* cheque = Control<QRadioButton>(*Pago(*f), "optCheque");
    Pestanas(*f)->setCurrentIndex(1);
    ASSERT_FALSE(f->Modificado());
    cheque->click();
    EXPECT_TRUE(f->Modificado());
    Teclea(*f, 310, "40");
    ASSERT_TRUE(f->Modificado());
    Pestanas(*f)->setCurrentIndex(0);
    Control<QRadioButton>(*f, "OptRectifica_1")->click();  // the rectification reminder
    EXPECT_EQ(Cajas().size(), 1u);
    QWidget otra;
    otra.show();
    otra.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&otra));
    otra.hide();
    f->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.get()));
    EXPECT_TRUE(f->Modificado());

    const std::string pregunta = "¿El formulario ha sido modificado, desea guardar los cambios?";
    respuestas_->Push(ui::vbCancel);
    Boton(*f, 2)->click();
    EXPECT_EQ(Cajas(), std::vector<std::string>{pregunta});
    EXPECT_TRUE(f->isVisible());
    respuestas_->Push(ui::vbCancel);
    Pestanas(*f)->setCurrentIndex(1);
    f->Caja(310)->setFocus();
    QTest::keyClick(f->Caja(310), Qt::Key_Escape);
    EXPECT_EQ(Cajas(), std::vector<std::string>{pregunta});
    EXPECT_TRUE(f->isVisible());
    respuestas_->Push(ui::vbNo);
    f->close();
    EXPECT_EQ(Cajas(), std::vector<std::string>{pregunta});
    EXPECT_FALSE(f->isVisible());
    EXPECT_EQ(Columna("SELECT * FROM DET WHERE DOC_ID_D='" + kRuc + "'", "CASILLA"), "<sin fila>");
}

// The order number of a sent declaration: refused with a wrong check code,
// recorded with the right one; a sent header that is not there is said.
TEST_F(Declaracion787, NumeroDeOrden) {
    Importar("201709");
    Modificar("201709");
    {
        auto f = Abre();
        Pago(*f)->setFormapago("E");
        Boton(*f, 1)->click();
        Cajas();
    }
    const hostkit::Envio envio = hostkit::EnviaDeclaracion(*db_, kRuc, "201709");
    auto& g = shell::G();
    g.gbRegistraOrden = true;
    g.gbOrdenModificado = false;
    g.gsCorrel = envio.correl;
    g.gsNumControl = envio.control;
    g.gsNumOrden = "";
    auto f = Abre();
    const auto orden = [&f] { return Control<QLineEdit>(*f, "txtOrden"); };
    const auto verifica = [&f] { return Control<QLineEdit>(*f, "txtVerifica"); };
    EXPECT_TRUE(Control<QGroupBox>(*f, "frmOrden")->isVisibleTo(f.get()));
    EXPECT_FALSE(Boton(*f, 0)->isEnabled());
    EXPECT_FALSE(f->Caja(313)->isEnabled());
    EXPECT_FALSE(Control<QRadioButton>(*f, "OptRectifica_1")->isEnabled());
    EXPECT_EQ(Pago(*f)->habilitado(), "False");
    EXPECT_TRUE(Boton(*f, 1)->isEnabled());
    // Closed, but the declaration and its taxpayer stay readable on the grey.
    for (const QWidget* w : {static_cast<const QWidget*>(f->Caja(302)),
                             static_cast<const QWidget*>(Control<QLineEdit>(*f, "TxtRazon"))})
        EXPECT_GE(Contraste(*w), 96) << w->objectName().toStdString();

    EXPECT_EQ(orden()->text(), "0");  // no order number recorded yet
    orden()->clear();
    QTest::keyClicks(orden(), "1234a567");
    EXPECT_EQ(orden()->text(), "1234567");
    EXPECT_TRUE(g.gbOrdenModificado);
    respuestas_->Push(ui::vbYes);
    Boton(*f, 2)->click();
    EXPECT_EQ(Cajas(), (std::vector<std::string>{
                           " El número de orden ha cambiado. ¿Desea guardar los cambios?",
                           "El número de orden es incorrecto"}));

    QTest::keyClicks(orden(), "8");
    std::string control = envio.control;
    const std::string codigo = shell::GeneraCodigoVerificacion(control, "12345678");
    const std::string malo = codigo == "00" ? "11" : "00";
    verifica()->setText(QString::fromStdString(malo));
    Boton(*f, 1)->click();
    EXPECT_EQ(Cajas(), std::vector<std::string>{"     El digito Verificador es incorrecto"});
    const std::string hcab = "SELECT * FROM HCAB WHERE DOC_ID_D='" + kRuc + "'";
    EXPECT_EQ(Columna(hcab, "norden"), "<null>");

    verifica()->setText(QString::fromStdString(codigo));
    Boton(*f, 1)->click();
    EXPECT_EQ(Cajas(),
              std::vector<std::string>{"El número de orden fue grabado satisfactoriamente."});
    EXPECT_EQ(Columna(hcab, "norden"), "12345678");
    f.reset();

    // Reopened: the order number and its check code are shown.
    g.gsNumOrden = "12345678";
    f = Abre();
    EXPECT_EQ(orden()->text(), "12345678");
    EXPECT_EQ(verifica()->text().toStdString(), codigo);
    f.reset();

    // A correlative with no sent header: said, and the form stays.
    g.gsCorrel = "999";
    f = Abre();
    Muestra(*f);
    orden()->setText("87654321");
    verifica()->setText(
        QString::fromStdString(shell::GeneraCodigoVerificacion(control, "87654321")));
    g.gbOrdenModificado = true;
    respuestas_->Push(ui::vbYes);
    Boton(*f, 2)->click();
    const auto& vistas = respuestas_->Shown();
    ASSERT_EQ(vistas.size(), 2u);
    EXPECT_EQ(vistas[1].flags & 0x70, ui::vbCritical) << vistas[1].text;
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(Columna("SELECT * FROM HCAB WHERE DOC_ID_D='" + kRuc + "'", "norden"), "12345678");
}

// "&Grabar" refused: identification data that do not pass, a declaration
// saved by another version; nothing is written. Leaving the identification
// tab makes the same identification checks.
TEST_F(Declaracion787, GrabarRechazado) {
    Importar("201709");
    struct Caso {
        const char* nombre;
        const char* version;  // stored box 721, nullptr: none
        std::string mensaje;
        int estilo;
    };
    const std::string version =
        "Los archivos han sido validados con una versión anterior de este QVX, debe eliminar "
        "esta declaración y volver a validar los archivos";
    for (const Caso& c : {Caso{"", nullptr, "¡Ingrese la Razón Social!", ui::vbCritical},
                          Caso{"EMPRESA DE PRUEBA S.A.", "1.8", version, ui::vbCritical}}) {
        SCOPED_TRACE(c.mensaje);
        db_->Execute("DELETE * FROM DET");
        if (c.version)
            db_->Execute(
                "INSERT INTO DET (DOC_ID_D, TIP_DOC_D, PERIODO, FORMULARIO, SEMANA, "
                "CASILLA, I_VALOR, idcasilla, estado) VALUES ('" +
                kRuc + "', 6, '201709', '0787', 0, '721', '" + c.version + "', '01', 0)");
        Modificar("201709");
        shell::G().gsNombre = c.nombre;
        auto f = Abre();
        Boton(*f, 1)->click();
        ASSERT_EQ(respuestas_->Shown().size(), 1u);
        EXPECT_EQ(respuestas_->Shown()[0].text, c.mensaje);
        EXPECT_EQ(respuestas_->Shown()[0].flags, c.estilo);
        EXPECT_EQ(Columna("SELECT * FROM DET WHERE CASILLA='300'", "I_VALOR"), "<sin fila>");
        EXPECT_EQ(Columna("SELECT * FROM CAB", "estado"), "9");
        Cajas();
        Pestanas(*f)->setCurrentIndex(1);
        if (*c.nombre == 0) {
            EXPECT_EQ(Cajas(), std::vector<std::string>{c.mensaje});
            EXPECT_EQ(Pestanas(*f)->currentIndex(), 0);
            EXPECT_EQ(f->TabHelpContextID(), 1016);
        } else {
            EXPECT_TRUE(Cajas().empty());
            EXPECT_EQ(Pestanas(*f)->currentIndex(), 1);
        }
    }
}

// A database error while saving is said, and nothing of the save stays.
TEST_F(Declaracion787, ErrorAlGrabar) {
    Importar("201709");
    Modificar("201709");
    auto f = Abre();
    Teclea(*f, 300, "10");
    db_->Execute("DROP TABLE DET");
    Boton(*f, 1)->click();
    const auto& vistas = respuestas_->Shown();
    ASSERT_EQ(vistas.size(), 1u);
    EXPECT_EQ(vistas[0].flags, ui::vbCritical);
    EXPECT_NE(vistas[0].text.find("3078"), std::string::npos) << vistas[0].text;
    EXPECT_TRUE(f->Modificado());
    const std::string cab = "SELECT * FROM CAB WHERE DOC_ID_D='" + kRuc + "'";
    EXPECT_EQ(Columna(cab, "estado"), "9");
    EXPECT_EQ(Columna(cab, "cheque"), "<null>");
}

// Opening sets the rectification options from the header, a stored box 871
// over it, without the reminder.
TEST_F(Declaracion787, RectificacionAlAbrir) {
    Importar("201709");
    struct Caso {
        const char* rectifica;
        const char* casilla871;  // nullptr: no row
        bool si;
    };
    for (const Caso& c : std::initializer_list<Caso>{
             {"1", nullptr, true}, {"0", nullptr, false}, {"1", "0", false}, {"0", "1", true}}) {
        SCOPED_TRACE(std::string(c.rectifica) + "/" + (c.casilla871 ? c.casilla871 : "-"));
        db_->Execute("UPDATE CAB SET rectifica='" + std::string(c.rectifica) + "'");
        db_->Execute("DELETE * FROM DET");
        if (c.casilla871)
            db_->Execute(
                "INSERT INTO DET (DOC_ID_D, TIP_DOC_D, PERIODO, FORMULARIO, SEMANA, "
                "CASILLA, I_VALOR, idcasilla, estado) VALUES ('" +
                kRuc + "', 6, '201709', '0787', 0, '871', '" + c.casilla871 + "', '01', 0)");
        Modificar("201709");
        auto f = Abre();
        EXPECT_EQ(Control<QRadioButton>(*f, "OptRectifica_1")->isChecked(), c.si);
        EXPECT_EQ(Control<QRadioButton>(*f, "OptRectifica_0")->isChecked(), !c.si);
        EXPECT_FALSE(f->Modificado());
    }
    EXPECT_TRUE(Cajas().empty());
}

}  // namespace
