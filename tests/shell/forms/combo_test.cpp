#include "shell/forms/combo.h"

#include <QComboBox>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QtTest/QTest>

#include "fixture.h"

namespace {

using namespace shell::forms;

TEST_F(HostForms, TaxpayerComboIsFilledWithoutEmptyingIt) {
    Principal();
    QComboBox combo;
    combo.addItem("ya estaba");
    CargaComboContribuyentes(&combo);
    ASSERT_EQ(combo.count(), 3);  // the sample user has two taxpayers
    EXPECT_EQ(combo.itemText(0), "ya estaba");
    EXPECT_EQ(combo.itemText(1), "20100123453  EMPRESA DE PRUEBA S.A.");
    EXPECT_EQ(combo.itemText(2), "20555666773  EMPRESA DE EJEMPLO S.A.C.");
}

TEST(ComboWidth, AverageLetterWidthTimesLongestItemLessTwo) {
    TestApp();
    QWidget form;
    QComboBox combo(&form);
    const long ancho = CalculaAnchoCaracter(&form);
    EXPECT_GT(ancho, 0);
    // Empty: a negative width, which changes nothing.
    AjustaAnchoCombo(&form, &combo);
    EXPECT_EQ(AnchoListaCombo(&combo), -1);
    combo.addItem("12345678901  ANA");
    combo.addItem("corto");
    AjustaAnchoCombo(&form, &combo);
    EXPECT_EQ(AnchoListaCombo(&combo), ancho * 14);
    FijaAnchoCombo(&form, &combo, 40);
    EXPECT_EQ(AnchoListaCombo(&combo), ancho * 38);
    FijaAnchoCombo(&form, &combo, 1);
    EXPECT_EQ(AnchoListaCombo(&combo), ancho * 38);
    FijaAnchoCombo(&form, &combo, 2);
    EXPECT_EQ(AnchoListaCombo(&combo), 0);
}

TEST(EnviaTab, OnlyTheWordTabMovesTheFocus) {
    TestApp();
    QWidget form;
    auto* caja = new QVBoxLayout(&form);
    auto* a = new QLineEdit(&form);
    auto* b = new QLineEdit(&form);
    caja->addWidget(a);
    caja->addWidget(b);
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    a->setFocus();
    for (const char* otro : {"tab", "TAB ", "", "ENTER"}) {
        EnviaTab(otro);
        EXPECT_TRUE(a->hasFocus()) << otro;
    }
    EnviaTab("TAB");
    EXPECT_TRUE(b->hasFocus());
}

TEST(StatusBar, MuestraBarraEstadoWritesTheMainWindowsBar) {
    TestApp();
    MuestraBarraEstado("x", "y", "z", "w");  // no main window: nothing to write
    {
        MDIFrm m;
        MuestraBarraEstado("20100123453", "EMPRESA DE PRUEBA S.A.", "03/2004", "0787");
        EXPECT_EQ(Barra(m)->esruc(), "1");
        EXPECT_EQ(Barra(m)->numdoc(), "20100123453");
        EXPECT_EQ(Barra(m)->razonsocial(), "EMPRESA DE PRUEBA S.A.");
        EXPECT_EQ(Barra(m)->periodo_ejercicio(), "03/2004");
        EXPECT_EQ(Barra(m)->formulario(), "0787");
    }
    EXPECT_EQ(BarraEstado(), nullptr);
}

}  // namespace
