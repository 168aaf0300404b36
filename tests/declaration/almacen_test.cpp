// The declaration store: stored encodings, opening a declaration from its
// control records, header and stored boxes, and writing single boxes.
#include "declaration/almacen.h"

#include "jet/database.h"
#include "shell/cnumero.h"
#include "shell/state.h"
#include "tests/declaration/base_prueba.h"

namespace {

using declaracion::Declaracion;
using declaracion::ModoApertura;

TEST(Almacen, EncodingOfStoredValues) {
    struct Caso {
        const char* periodo;
        const char* casilla;
        const char* valor;
        const char* guardado;  // nullptr: no row
    };
    const Caso casos[] = {
        {"201709", "313", "1,234,567", "1234567"},
        {"201709", "309", "(1,234)", "-1234"},
        {"201709", "313", "-1234.5", "-1235"},
        {"201709", "313", "999.5", "1000"},
        {"201709", "313", "-0.4", "0"},
        {"201709", "313", "00120", "120"},
        {"201709", "313", "12345678901234567", "12345678901234567"},  // no digit lost
        {"201709", "599", "C", "C"},
        {"201709", "599", "XX", "XX"},
        {"201709", "722", "01/03/2004", "01/03/2004"},
        {"201709", "015", "03", "3"},
        {"201709", "012", "000123", "000123"},
        {"201709", "002", "020100123453", "020100123453"},
        {"201709", "300", "500", "500"},
        {"201710", "300", "500", nullptr},
        {"201710", "321", "500", nullptr},
        {"201710", "353", "500", "500"},
        {"201709", "313", "  ", nullptr},
        {"201709", "313", "________", nullptr},
        {"201709", "005", "__/__/____", nullptr},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(std::string(c.casilla) + " " + c.valor);
        const auto v = declaracion::ValorAlmacenado(c.periodo, c.casilla, c.valor);
        if (c.guardado)
            EXPECT_EQ(v.value_or("<none>"), c.guardado);
        else
            EXPECT_FALSE(v.has_value());
    }
}

class Apertura : public prueba::BaseDeclaracion {
  protected:
    void Controles(const std::string& periodo) {
        Control(periodo, "mov",
                {{"num_tuplas", "12"}, {"mto_302", "1500"}, {"mto_322", "800"}, {"mto_402", "20"}});
        Control(periodo, "ext",
                {{"num_tuplas", "3"},
                 {"mto_302", "100"},
                 {"mto_322", "40"},
                 {"mto_306", "300"},
                 {"mto_326", "50"},
                 {"mto_303", "7"},
                 {"mto_305", "9"}});
    }
};

TEST_F(Apertura, ImportedDeclarationShowsControlTotalsAndBalances) {
    for (const std::string periodo : {"201709", "200403"}) {
        SCOPED_TRACE(periodo);
        Controles(periodo);
        Cabecera(periodo);  // as the import leaves it: cheque column Null
        const Declaracion d = declaracion::AbreDeclaracion(*db_, Clave(periodo), ModoApertura{});
        const std::map<int, std::string> esperado = {
            {302, "1,500"}, {322, "800"}, {306, "(300)"}, {326, "(50)"}, {350, "(100)"},
            {307, "1,200"}, {327, "650"}, {312, "1,200"}, {332, "650"},  {592, "12"},
            {593, "3"},     {402, "20"},  {450, "40"},
        };
        for (const auto& [n, t] : esperado) EXPECT_EQ(d.Valor(n), t) << n;
        EXPECT_EQ(d.Valor(303), periodo == "200403" ? "" : "7");
        EXPECT_EQ(d.Valor(305), periodo == "200403" ? "" : "9");
        EXPECT_EQ(d.Valor(317), "");
        EXPECT_EQ(d.pago.importe, "");
        EXPECT_EQ(d.pago.tipo, "C");
        EXPECT_FALSE(d.modificado);
        EXPECT_FALSE(d.cargando);
    }
}

TEST_F(Apertura, StoredBoxesFillTheFormAndForeignCodesAreSkipped) {
    const std::string p = "201709";
    Controles(p);
    Cabecera(p, {{"cheque", " "}, {"bcolibrad", " 03"}, {"nrocheque", " "}});
    for (const auto& [c, v] : std::map<std::string, std::string>{{"002", "20100123453"},
                                                                 {"302", "999"},
                                                                 {"309", "-200"},
                                                                 {"311", "50"},
                                                                 {"313", "1000"},
                                                                 {"326", "-70"},
                                                                 {"598", "1000"},
                                                                 {"599", "E"},
                                                                 {"721", "1.9"},
                                                                 {"871", "1"},
                                                                 {"998", "5"},
                                                                 {"310", "ABC"},
                                                                 {"590", "0007"}})
        Casilla(p, c, v);
    const Declaracion d = declaracion::AbreDeclaracion(*db_, Clave(p), ModoApertura{});
    EXPECT_EQ(d.numRuc, prueba::kRuc);
    EXPECT_EQ(d.Valor(302), "1,500");  // the control record's total, not the stored one
    EXPECT_EQ(d.Valor(309), "(200)");
    EXPECT_EQ(d.Valor(311), "50");
    EXPECT_EQ(d.Valor(313), "1,000");
    EXPECT_EQ(d.Valor(326), "(70)");
    EXPECT_EQ(d.Valor(310), "");
    EXPECT_EQ(d.Valor(590), "7");
    EXPECT_EQ(d.Valores().count(998), 0u);
    EXPECT_EQ(d.pago.importe, "1000");
    EXPECT_EQ(d.pago.tipo, "E");
    EXPECT_EQ(d.pago.banco, "03");
    EXPECT_EQ(d.version, "1.9");
    EXPECT_TRUE(d.rectifica);
    // 312 = 1200 - 200 + 50; 327 = 800 - 70 - 100.
    EXPECT_EQ(d.Valor(312), "1,050");
    EXPECT_EQ(d.Valor(327), "630");

    // A box 871 without value leaves the header's choice ("0" here).
    db_->Execute("UPDATE DET SET I_VALOR=NULL WHERE CASILLA='871'");
    db_->Execute("UPDATE CAB SET rectifica='0'");
    EXPECT_FALSE(declaracion::AbreDeclaracion(*db_, Clave(p), ModoApertura{}).rectifica);
}

TEST_F(Apertura, SentDeclarationInOrderNumberMode) {
    const std::string p = "201709";
    Cabecera(p, {{"cheque", "500"}, {"bcolibrad", "03"}, {"nrocheque", "000123"}});
    Casilla(p, "313", "500");
    Casilla(p, "598", "500");
    const hostkit::Envio envio = hostkit::EnviaDeclaracion(*db_, prueba::kRuc, p);
    db_->Execute("DELETE * FROM DET");  // the sent copy alone must fill the form

    auto& g = shell::G();
    g.gsPeriodo = p;
    g.gsCorrel = envio.correl;
    g.gsNumControl = envio.control;
    g.gsNombre = "EMPRESA DE PRUEBA S.A.";
    g.gbEnviadas = g.gbRegistraOrden = true;
    for (const std::string orden : {"1234567", "12345678"}) {
        SCOPED_TRACE(orden);
        g.gsNumOrden = orden;
        const Declaracion d = declaracion::AbreDeclaracionActual(*db_);
        EXPECT_EQ(d.nombre, g.gsNombre);
        EXPECT_EQ(d.Valor(313), "500");
        EXPECT_EQ(d.pago.importe, "500");
        EXPECT_EQ(d.pago.tipo, "C");
        EXPECT_EQ(d.pago.cheque, "000123");
        EXPECT_EQ(d.orden, "0");  // no order number recorded yet
        std::string control = envio.control;
        EXPECT_EQ(d.verifica,
                  orden.size() < 8 ? "" : shell::GeneraCodigoVerificacion(control, orden));
    }
}

TEST_F(Apertura, WritingOneBox) {
    const std::string p = "201709";
    const auto k = Clave(p);
    EXPECT_TRUE(declaracion::GrabarCasilla(*db_, k, "313", "(1,234)"));
    EXPECT_TRUE(declaracion::GrabarCasilla(*db_, k, "312", "2,000"));
    EXPECT_FALSE(declaracion::GrabarCasilla(*db_, k, "012", "  "));
    EXPECT_FALSE(declaracion::GrabarCasilla(*db_, Clave("201710"), "300", "5"));
    declaracion::GrabaCasillaParam(*db_, k);
    EXPECT_EQ(Casillas(p), (std::map<std::string, std::string>{
                               {"312", "2000"}, {"313", "-1234"}, {"722", "01/03/2004"}}));
    EXPECT_EQ(Cuenta("SELECT COUNT(*) FROM DET WHERE CASILLA='313' AND idcasilla='05'"), 1);
    EXPECT_EQ(Cuenta("SELECT COUNT(*) FROM DET WHERE CASILLA='312' AND idcasilla='01'"), 1);

    // Writing it again updates the one row and its control code.
    EXPECT_TRUE(declaracion::GrabarCasilla(*db_, k, "313", "77"));
    EXPECT_EQ(Casillas(p).at("313"), "77");
    auto rs = db_->OpenRecordset("SELECT * FROM DET WHERE CASILLA='313'", jet::dbOpenSnapshot);
    EXPECT_EQ(vb::ToText(rs->Fields("cNumero").Value()),
              shell::CalculaCNumero(rs->CurrentRow(), 6));
}

}  // namespace
