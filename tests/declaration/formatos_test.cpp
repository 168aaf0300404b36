// Box display forms, the numeric reading of boxes, the layout tables and the
// formulas over them.
#include "declaration/formatos.h"

#include <gtest/gtest.h>

#include <clocale>
#include <set>

#include "declaration/casillas.h"
#include "declaration/declaracion.h"
#include "declaration/formulas.h"

namespace {

using namespace declaracion;

TEST(Formatos, FocusLeaveAndCalculationForms) {
    struct Caso {
        int caja;
        const char* texto;
        const char* alSalir;
        const char* alEntrar;  // from the text shown after leaving
        double vale;           // of the text shown
    };
    const Caso casos[] = {
        {313, "1234567", "1,234,567", "1234567", 1234567},
        {309, "500", "(500)", "500", 500},
        {309, "0", "0", "0", 0},
        {309, "", "", "", 0},
        {313, "", "", "", 0},
        {313, "0", "0", "0", 0},
        {402, "1234", "1,234", "1234", 1234},
        {330, "1234.5", "(1,235)", "1235", 1235},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(std::to_string(c.caja) + " " + c.texto);
        const std::string mostrado = TextoAlSalir(c.caja, c.texto);
        EXPECT_EQ(mostrado, c.alSalir);
        EXPECT_EQ(TextoAlEntrar(c.caja, mostrado), c.alEntrar);
        EXPECT_EQ(Vale(c.caja, mostrado), c.vale);
    }
    EXPECT_EQ(Vale(317, "(1,500)"), 1500);
    EXPECT_EQ(Vale(313, "(1,500)"), -1500);
    EXPECT_EQ(Vale(313, "  "), 0);
    EXPECT_EQ(Vale(313, "ABC"), 0);
    EXPECT_EQ(Forma("ABC"), "");
    EXPECT_EQ(Forma("-250"), "(250)");
    EXPECT_EQ(Forma("0"), "0");
    EXPECT_EQ(Forma("1234567.4"), "1,234,567");
    EXPECT_EQ((std::pair{LargoAlEntrar(313), LargoAlSalir(313)}), (std::pair{15, 19}));
    EXPECT_EQ((std::pair{LargoAlEntrar(309), LargoAlSalir(309)}), (std::pair{12, 17}));
    EXPECT_EQ((std::pair{LargoAlEntrar(402), LargoAlSalir(402)}), (std::pair{12, 15}));

    EXPECT_EQ(TeclaOrden('A'), Tecla::Rechaza);
    EXPECT_EQ(TeclaOrden('7'), Tecla::Pasa);
    EXPECT_EQ(TeclaOrden(8), Tecla::Pasa);
    EXPECT_EQ(TeclaOrden(13), Tecla::SiguienteCampo);
    EXPECT_EQ(TeclaVerifica(13), Tecla::Rechaza);
}

TEST(Formatos, DecimalPointWhateverTheProcessLocale) {
    const std::string previo = std::setlocale(LC_NUMERIC, nullptr);
    const char* conComa = nullptr;
    for (const char* nombre : {"es_ES.UTF-8", "es_PE.UTF-8", "de_DE.UTF-8", "fr_FR.UTF-8"})
        if (std::setlocale(LC_NUMERIC, nombre)) {
            conComa = nombre;
            break;
        }
    if (!conComa) GTEST_SKIP() << "no locale with a decimal comma installed";
    EXPECT_EQ(LeeImporte("1234.5"), 1234.5) << conComa;
    EXPECT_EQ(Vale(330, "1234.5"), 1235);
    EXPECT_EQ(Forma("2.5"), "3");
    std::setlocale(LC_NUMERIC, previo.c_str());
}

TEST(Casillas, LayoutTablesHoldTogether) {
    EXPECT_EQ(DisenoDe("200403"), Diseno::Inicial);
    EXPECT_EQ(DisenoDe("200404"), Diseno::DosQuincenas);
    EXPECT_EQ(DisenoDe("201709"), Diseno::DosQuincenas);
    EXPECT_EQ(DisenoDe("201710"), Diseno::UnPeriodo);

    // Every saved box is a box of the form, once; the never-saved ones are not listed.
    std::set<int> guardadas(ListaGrabar().begin(), ListaGrabar().end());
    EXPECT_EQ(guardadas.size(), 46u);
    for (int n : guardadas) EXPECT_NE(BuscaCasilla(n), nullptr) << n;
    for (int n : {314, 334, 416, 436, 450, 516, 536}) EXPECT_EQ(guardadas.count(n), 0u) << n;

    // In each layout no two shown boxes share a place.
    for (Diseno d : {Diseno::Inicial, Diseno::DosQuincenas, Diseno::UnPeriodo}) {
        std::set<std::tuple<Marco, Columna, int>> lugares;
        for (const Casilla& c : Casillas())
            if (Visible(c.numero, d)) {
                EXPECT_TRUE(lugares.insert({c.marco, c.columna, c.fila}).second) << c.numero;
            }
    }
    struct Caso {
        int caja;
        Diseno diseno;
        bool visible, abierta;
    };
    const Caso casos[] = {
        {300, Diseno::DosQuincenas, true, true},   {300, Diseno::UnPeriodo, false, false},
        {353, Diseno::DosQuincenas, false, false}, {373, Diseno::UnPeriodo, true, true},
        {309, Diseno::Inicial, true, false},       {309, Diseno::DosQuincenas, true, true},
        {302, Diseno::UnPeriodo, true, false},     {308, Diseno::DosQuincenas, false, false},
        {324, Diseno::DosQuincenas, true, false},  {998, Diseno::DosQuincenas, false, false},
    };
    for (const Caso& c : casos) {
        EXPECT_EQ(Visible(c.caja, c.diseno), c.visible) << c.caja;
        EXPECT_EQ(Abierta(c.caja, c.diseno), c.abierta) << c.caja;
    }
    EXPECT_FALSE(DescripcionVisible(306, Diseno::UnPeriodo));
    EXPECT_TRUE(DescripcionVisible(306, Diseno::DosQuincenas));
}

Declaracion Con(std::initializer_list<std::pair<const int, std::string>> cajas) {
    Declaracion d;
    for (const auto& [n, t] : cajas) d.FijaValor(n, t);
    return d;
}

TEST(Formulas, BalancesDebtsAndTotal) {
    struct Caso {
        std::map<int, std::string> entrada;
        std::map<int, std::string> esperado;
    };
    const Caso casos[] = {
        {{{302, "1,000"}, {306, "(300)"}}, {{307, "700"}, {317, ""}, {312, "700"}}},
        {{{302, "300"}, {306, "(300)"}}, {{307, ""}, {317, "0"}, {312, "0"}}},
        {{{302, "200"}, {306, "(500)"}}, {{307, ""}, {317, "(300)"}, {312, "0"}}},
        {{{302, "1,000"}, {306, "(300)"}, {309, "(200)"}, {311, "50"}}, {{312, "550"}}},
        {{{302, "200"}, {306, "(500)"}, {311, "100"}}, {{317, "(300)"}, {312, "0"}}},
        {{{307, "9"}, {317, "9"}}, {{307, ""}, {317, ""}, {312, ""}}},  // stale results cleared
        {{{322, "800"}, {326, "(50)"}, {350, "(100)"}, {331, "10"}}, {{327, "650"}, {332, "660"}}},
        {{{322, "100"}, {350, "(100)"}}, {{327, ""}, {337, "0"}, {332, "0"}}},
        {{{327, "9"}, {337, "9"}}, {{327, ""}, {337, ""}, {332, ""}}},
    };
    for (const Caso& c : casos) {
        Declaracion d;
        for (const auto& [n, t] : c.entrada) d.FijaValor(n, t);
        d.Recalcula();
        for (const auto& [n, t] : c.esperado) EXPECT_EQ(d.Valor(n), t) << n;
    }

    Declaracion d = Con({{313, "100"}});
    CalcularImporteTotal(d);
    EXPECT_EQ(d.pago.importe, "100");
    d.FijaValor(333, "1,250");
    CalcularImporteTotal(d);
    EXPECT_EQ(d.pago.importe, "1,350");
    d = Con({{313, "999,999,999,999,999"}, {333, "1"}});  // 16 digits: too long for the control
    CalcularImporteTotal(d);
    EXPECT_EQ(d.pago.importe, "");
    d = Con({{313, "999,999,999,999,998"}, {333, "1"}});
    CalcularImporteTotal(d);
    EXPECT_EQ(d.pago.importe, "999,999,999,999,999");
    d = Con({});
    d.pago.importe = "5";
    CalcularImporteTotal(d);
    EXPECT_EQ(d.pago.importe, "");
}

TEST(Formulas, ChangesRecalculateOnlyOutsideLoading) {
    Declaracion d = Con({{307, "700"}});
    d.cargando = true;
    d.FijaValor(311, "50");
    EXPECT_FALSE(d.AlCambiar(311));
    EXPECT_EQ(d.Valor(312), "");
    d.cargando = false;
    d.modificado = false;
    EXPECT_TRUE(d.AlCambiar(311));
    EXPECT_EQ(d.Valor(312), "750");
    EXPECT_TRUE(d.modificado);
    d.FijaValor(333, "20");
    EXPECT_TRUE(d.AlCambiar(333));
    EXPECT_EQ(d.pago.importe, "20");
    EXPECT_FALSE(d.AlCambiar(302));  // balances follow only on load
    EXPECT_EQ(d.Valor(307), "700");
}

TEST(Formulas, DebtAgainstAmountToPay) {
    const std::string exceso = "El importe a pagar por X tiene un exceso\n";
    const std::string orden = "KORAL generará una orden de pago por X\n";
    struct Caso {
        const char *deuda, *pago;
        std::string resultado;
    };
    const Caso casos[] = {
        {"550", "600", exceso}, {"550", "500", orden},   {"550", "550", ""}, {"", "0", ""},
        {"", "10", exceso},     {"1,000", "900", orden},  // numeric, not text
        {"(20)", "0", ""},      {"(20)", "5", exceso},   {"550", "", ""},    {"550", "ABC", ""},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(SaldoaPagar(c.deuda, c.pago, "por X"), c.resultado) << c.deuda << " " << c.pago;
}

}  // namespace
