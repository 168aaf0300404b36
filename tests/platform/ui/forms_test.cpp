#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest/QTest>
#include <set>
#include <stdexcept>

#include "main_app.h"
#include "ui/formapago.h"
#include "ui/modal.h"
#include "ui/pointer.h"
#include "ui/statbar.h"

namespace {

using namespace ui;

TEST(MousePointer, IsOneValueNotAStack) {
    TestApp();
    SetMousePointer(vbHourglass);
    SetMousePointer(vbHourglass);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    SetMousePointer(vbArrowHourglass);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
    SetMousePointer(vbDefault);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(MousePointer(), vbDefault);
    // Default twice is harmless.
    SetMousePointer(vbDefault);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(MousePointer, BusyScopeGivesTheDefaultBackOnEveryWayOut) {
    TestApp();
    {
        const PunteroOcupado ocupado;
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    try {
        const PunteroOcupado ocupado;
        throw std::runtime_error("falla a mitad de trabajo");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(MousePointer(), vbDefault);
}

TEST(ModalForms, EachShowIsAFreshInstanceReleasedWhenItCloses) {
    TestApp();
    QPointer<QDialog> slot;
    std::vector<QPointer<QDialog>> shown;
    std::set<QDialog*> addresses;
    SetModalHook([&](QDialog* f) {
        EXPECT_TRUE(f->isVisible());
        EXPECT_TRUE(f->isModal() || f->windowModality() != Qt::NonModal);
        shown.emplace_back(f);
        addresses.insert(f);
        // A field typed into in the first instance must not survive.
        auto* l = f->findChild<QLabel*>("lbl");
        EXPECT_EQ(l->text(), "nuevo");
        l->setText("cambiado");
    });
    auto make = [] {
        auto* d = new QDialog;
        d->setObjectName("frmPrueba");
        auto* l = new QLabel("nuevo", d);
        l->setObjectName("lbl");
        return d;
    };
    ShowFresh(slot, make);
    ShowFresh(slot, make);
    SetModalHook({});
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_TRUE(shown[0].isNull());
    EXPECT_TRUE(shown[1].isNull());
    EXPECT_TRUE(slot.isNull());
}

TEST(ModalForms, RealModalLoopReturnsTheFormsResult) {
    TestApp();
    auto* d = new QDialog;
    auto* b = new QPushButton("&Aceptar", d);
    QObject::connect(b, &QPushButton::clicked, d, &QDialog::accept);
    QTimer::singleShot(0, b, &QPushButton::click);
    EXPECT_EQ(ShowModal(d), QDialog::Accepted);
    delete d;
}

// Enter on a focused command button presses it, as Space does; it presses no
// other button, and a disabled button stays unpressed.
TEST(ModalForms, EnterPressesTheFocusedButtonOnly) {
    TestApp();
    struct Caso {
        const char* foco;
        bool habilitado;
        int aceptar, salir;
    };
    for (const Caso& c : {Caso{"aceptar", true, 1, 0}, Caso{"salir", true, 0, 1},
                          Caso{"texto", true, 0, 0}, Caso{"aceptar", false, 0, 0}}) {
        int aceptar = 0, salir = 0;
        SetModalHook([&](QDialog* f) {
            f->activateWindow();
            auto* w = f->findChild<QWidget*>(c.foco);
            w->setFocus();
            QTest::keyClick(w, Qt::Key_Return);
            QTest::keyClick(w, Qt::Key_Enter, Qt::KeypadModifier);
        });
        auto* d = new QDialog;
        auto* texto = new QLineEdit(d);
        texto->setObjectName("texto");
        auto* a = new QPushButton("&Aceptar", d);
        a->setObjectName("aceptar");
        auto* s = new QPushButton("&Salir", d);
        s->setObjectName("salir");
        for (QPushButton* b : {a, s}) b->setAutoDefault(false);
        a->setEnabled(c.habilitado);
        QObject::connect(a, &QPushButton::clicked, [&] { ++aceptar; });
        QObject::connect(s, &QPushButton::clicked, [&] { ++salir; });
        ShowModal(d);
        SetModalHook({});
        delete d;
        EXPECT_EQ(aceptar, 2 * c.aceptar) << c.foco << c.habilitado;
        EXPECT_EQ(salir, 2 * c.salir) << c.foco << c.habilitado;
    }
}

TEST(StatusBar, ShowsWhatItsPropertiesSay) {
    TestApp();
    BarradeEstadoQVX barra;
    barra.setEsruc("1");
    barra.setNumdoc("20100066603");
    barra.setRazonsocial("BANCO DE PRUEBA S.A.");
    barra.setPeriodo_ejercicio("03/2004");
    barra.setFormulario("0787");
    EXPECT_EQ(barra.property("numdoc").toString(), "20100066603");
    EXPECT_EQ(barra.property("periodo_ejercicio").toString(), "03/2004");
    auto text = [&](const char* n) { return barra.findChild<QLabel*>(n)->text(); };
    EXPECT_TRUE(text("numdoc").contains("20100066603"));
    EXPECT_TRUE(text("numdoc").startsWith("RUC"));
    EXPECT_EQ(text("razonsocial"), "BANCO DE PRUEBA S.A.");
    EXPECT_TRUE(text("formulario").endsWith("0787"));
    // Written through the property system as the forms do.
    barra.setProperty("razonsocial", QString());
    EXPECT_EQ(text("razonsocial"), "");
    barra.setEsruc("0");
    EXPECT_FALSE(text("numdoc").startsWith("RUC"));
}

TEST(StatusBar, ALongNameLeavesTheOtherPanelsWhole) {
    TestApp();
    QWidget marco;
    auto* barra = new BarradeEstadoQVX(&marco);
    barra->setEsruc("1");
    barra->setNumdoc("20100123453");
    const QString nombre = "EMPRESA DE PRUEBA CON UN NOMBRE MUY LARGO PARA LA BARRA DE ESTADO S.A.C.";
    barra->setRazonsocial(nombre);
    barra->setPeriodo_ejercicio("200403");
    barra->setFormulario("0787");
    barra->setGeometry(0, 0, 648, 24);  // the main window's width
    marco.resize(648, 24);
    marco.show();
    QApplication::processEvents();
    for (const char* n : {"numdoc", "periodo_ejercicio", "formulario"}) {
        const QLabel* l = barra->findChild<QLabel*>(n);
        EXPECT_GE(l->width(), l->sizeHint().width()) << n;
        EXPECT_TRUE(l->isVisible()) << n;
    }
    const QLabel* razon = barra->findChild<QLabel*>("razonsocial");
    EXPECT_LT(razon->width(), razon->sizeHint().width());
    EXPECT_EQ(razon->text(), nombre);
    EXPECT_EQ(razon->toolTip(), nombre);
}

}  // namespace

namespace {

TEST(PaymentDetails, HoldsItsValuesAsText) {
    TestApp();
    ui::FormaDePagoQVX f;
    EXPECT_EQ(f.formapago(), "XX");
    EXPECT_EQ(f.habilitado(), "True");
    const struct {
        const char* escrito;
        const char* leido;
    } tipos[] = {{"C", "C"}, {"E", "E"}, {"XX", "XX"}, {"c", "C"}, {"", "XX"}, {"Z", "XX"}};
    for (const auto& t : tipos) {
        f.setProperty("formapago", QString(t.escrito));
        EXPECT_EQ(f.property("formapago").toString(), t.leido) << t.escrito;
    }
    f.setProperty("formapago", QString("C"));
    f.setProperty("banco", QString("11"));
    f.setProperty("numcheque", QString("00012345"));
    f.setProperty("importe", QString("1,250"));
    EXPECT_EQ(f.banco(), "11");
    EXPECT_EQ(f.numcheque(), "00012345");
    EXPECT_EQ(f.importe(), "1,250");
    EXPECT_TRUE(f.findChild<QLineEdit*>("txtCheque")->isEnabled());
    // Choosing cash by hand drops the cheque.
    f.findChild<QRadioButton*>("optEfectivo")->click();
    EXPECT_EQ(f.formapago(), "E");
    EXPECT_FALSE(f.findChild<QLineEdit*>("txtCheque")->isEnabled());
    f.setProperty("habilitado", QString("False"));
    EXPECT_EQ(f.habilitado(), "False");
    EXPECT_FALSE(f.findChild<QRadioButton*>("optCheque")->isEnabled());
    f.setProperty("habilitado", QString("True"));
    EXPECT_TRUE(f.findChild<QRadioButton*>("optCheque")->isEnabled());
}

}  // namespace
