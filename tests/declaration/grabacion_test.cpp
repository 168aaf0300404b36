// Saving a declaration: header, boxes and state written together or not at
// all; the order number of a sent declaration.
#include "declaration/grabacion.h"

#include <sqlite3.h>

#include "declaration/almacen.h"
#include "jet/database.h"
#include "shell/cnumero.h"
#include "shell/state.h"
#include "tests/declaration/base_prueba.h"
#include "vb/error.h"

namespace {

using namespace declaracion;

class Grabacion : public prueba::BaseDeclaracion {
  protected:
    // An imported declaration of the period, opened and completed so that it
    // passes every check, with the payment given.
    Declaracion Lista(const std::string& periodo, FormaDePago pago) {
        Control(periodo, "mov", {{"num_tuplas", "12"}, {"mto_302", "150"}, {"mto_322", "50"}});
        Control(periodo, "ext", {{"num_tuplas", "3"}});
        Cabecera(periodo);
        shell::G().gsPeriodo = periodo;
        Declaracion d = AbreDeclaracion(*db_, Clave(periodo), ModoApertura{});
        d.nombre = "EMPRESA DE PRUEBA S.A.";
        for (const auto& [n, t] : std::map<int, std::string>{{300, "100"},
                                                             {301, "50"},
                                                             {320, "30"},
                                                             {321, "20"},
                                                             {353, "150"},
                                                             {373, "50"},
                                                             {313, "150"},
                                                             {333, "50"}})
            d.FijaValor(n, t);
        d.pago = std::move(pago);
        return d;
    }
    ResultadoGrabacion Graba(Declaracion& d) { return GrabarForm(*db_, d, {}, "09/12/2026"); }
};

TEST_F(Grabacion, PaymentTypesInHeaderAndBoxes) {
    struct Caso {
        const char* periodo;
        FormaDePago pago;
        std::map<std::string, std::string> cabecera;  // bcolibrad, nrocheque, cheque, efectivo
        std::map<std::string, std::string> casillas;  // expected extra boxes ("" = no row)
    };
    const Caso casos[] = {
        {"201708",
         {"C", "003", "000123", "1,200"},
         {{"bcolibrad", "003"}, {"nrocheque", "000123"}, {"cheque", "1200"}, {"efectivo", ""}},
         {{"015", "3"}, {"012", "000123"}, {"599", "C"}, {"598", "1200"}}},
        {"201709",
         {"E", "003", "000123", "(1,200)"},
         {{"bcolibrad", " "}, {"nrocheque", " "}, {"cheque", " "}, {"efectivo", "-1200"}},
         {{"015", ""}, {"012", ""}, {"599", "E"}, {"598", "-1200"}}},
        {"201710",
         {"XX", "", "", ""},
         {{"bcolibrad", " "}, {"nrocheque", " "}, {"cheque", " "}, {"efectivo", " "}},
         {{"599", "XX"}, {"598", ""}}},
        {"201711", {"C", "003", "77", ""}, {{"cheque", ""}, {"efectivo", ""}}, {{"598", ""}}},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.periodo);
        Declaracion d = Lista(c.periodo, c.pago);
        d.rectifica = true;
        const ResultadoGrabacion r = Graba(d);
        EXPECT_TRUE(r.grabado);
        const auto cab = FilaCab(c.periodo);
        for (const auto& [col, v] : c.cabecera) EXPECT_EQ(cab.at(col), v) << col;
        EXPECT_EQ(cab.at("rectifica"), "1");
        EXPECT_EQ(cab.at("fec_pro"), "09/12/2026");
        const auto cas = Casillas(c.periodo);
        for (const auto& [caja, v] : c.casillas) {
            if (v.empty())
                EXPECT_EQ(cas.count(caja), 0u) << caja;
            else
                EXPECT_EQ(cas.count(caja) ? cas.at(caja) : "<none>", v) << caja;
        }
        const bool unPeriodo = std::string(c.periodo) >= "201710";
        for (const char* caja : {"300", "301", "320", "321"})
            EXPECT_EQ(cas.count(caja), unPeriodo ? 0u : 1u) << caja;
        EXPECT_EQ(cas.count("871"), 0u);
        EXPECT_EQ(cas.at("002"), prueba::kRuc);
        EXPECT_EQ(cas.at("007"), c.periodo);
        EXPECT_EQ(cas.at("721"), "1.9");
        EXPECT_EQ(cas.at("722"), "01/03/2004");
        EXPECT_EQ(cas.at("592"), "12");
        // Opened again, the declaration shows what was saved.
        const Declaracion otra = AbreDeclaracion(*db_, Clave(c.periodo), ModoApertura{});
        EXPECT_TRUE(otra.rectifica);
        EXPECT_EQ(otra.Valor(313), "150");
        EXPECT_EQ(otra.pago.tipo, c.pago.tipo);
    }
}

TEST_F(Grabacion, StateAndMessagesFollowTheChecks) {
    Declaracion d = Lista("201709", {"C", "003", "000123", "200"});
    d.FijaValor(313, "160");  // an excess over the debt of 150
    ResultadoGrabacion r = Graba(d);
    EXPECT_TRUE(r.consistente);
    EXPECT_FALSE(d.modificado);
    EXPECT_EQ(r.avisos, (std::vector<Mensaje>{
                            {"El importe a pagar por UZQ Cta.Propia tiene un exceso\n", 64,
                             std::string(kTituloForm)},
                            {"Toda la información del formulario fue grabada satisfactoriamente.",
                             48, std::string(kTituloForm)}}));
    EXPECT_EQ(FilaCab("201709").at("estado"), "0");

    // Saved again with a rule failing: every box is rewritten, once, estado 9.
    d.FijaValor(300, "");
    r = Graba(d);
    EXPECT_TRUE(r.grabado);
    EXPECT_FALSE(r.consistente);
    EXPECT_EQ(r.avisos.back().texto,
              "La información del formulario fue grabada con inconsistencias.\n"
              "En estas condiciones no podrá ser enviado a KORAL.");
    const auto cab = FilaCab("201709");
    EXPECT_EQ(cab.at("estado"), "9");
    EXPECT_EQ(Casillas("201709").count("300"), 0u);
    EXPECT_EQ(Cuenta("SELECT COUNT(*) FROM DET WHERE CASILLA='313'"), 1);
    auto rs = db_->OpenRecordset("SELECT * FROM DET", jet::dbOpenSnapshot);
    for (; !rs->Eof(); rs->MoveNext())
        EXPECT_EQ(vb::ToText(rs->Fields("cNumero").Value()),
                  shell::CalculaCNumero(rs->CurrentRow(), 6));
    auto c = db_->OpenRecordset("SELECT * FROM CAB", jet::dbOpenSnapshot);
    EXPECT_EQ(vb::ToText(c->Fields("cNumero").Value()), shell::CalculaCNumero(c->CurrentRow(), 5));

    // A refused identification writes nothing.
    d.nombre = "";
    d.FijaValor(313, "1");
    r = Graba(d);
    EXPECT_FALSE(r.grabado);
    EXPECT_TRUE(r.vaAIdentificacion);
    EXPECT_EQ(r.avisos,
              (std::vector<Mensaje>{{"¡Ingrese la Razón Social!", 16, std::string(kTituloForm)}}));
    EXPECT_EQ(Casillas("201709").at("313"), "160");
}

TEST_F(Grabacion, FailureHalfWayLeavesThePreviousDeclarationWhole) {
    Declaracion d = Lista("201709", {"E", "", "", "200"});
    ASSERT_TRUE(Graba(d).grabado);
    const auto cabAntes = FilaCab("201709");
    const auto casAntes = Casillas("201709");

    // The tenth box added fails.
    ASSERT_EQ(sqlite3_exec(db_->Handle(),
                           "CREATE TEMP TRIGGER alto BEFORE INSERT ON DET "
                           "WHEN (SELECT COUNT(*) FROM DET) >= 9 "
                           "BEGIN SELECT RAISE(ABORT, 'alto'); END",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    d.pago = {"C", "003", "000999", "999"};
    d.rectifica = true;
    d.FijaValor(311, "7");
    EXPECT_THROW(Graba(d), vb::VbError);
    EXPECT_EQ(FilaCab("201709"), cabAntes);
    EXPECT_EQ(Casillas("201709"), casAntes);
}

TEST_F(Grabacion, OrderNumberOfASentDeclaration) {
    Cabecera("201709", {{"cheque", " "}});
    const hostkit::Envio envio = hostkit::EnviaDeclaracion(*db_, prueba::kRuc, "201709");
    declaracion::Clave k = Clave("201709");
    k.correl = envio.correl;
    Declaracion d = AbreDeclaracion(*db_, k, ModoApertura{true, true, "", envio.control});
    std::string control = envio.control;
    const std::string codigo = shell::GeneraCodigoVerificacion(control, "12345678");

    struct Caso {
        const char* orden;
        std::string verifica;
        const char* correl;
        bool grabado;
        const char* mensaje;
    };
    const Caso casos[] = {
        {"1234567", codigo, envio.correl.c_str(), false, "     El número de orden no es válido"},
        {"12345678", codigo == "00" ? "01" : "00", envio.correl.c_str(), false,
         "     El digito Verificador es incorrecto"},
        {"12345678", codigo, "999", false,
         "No se encontró la declaración enviada; el número de orden no fue grabado."},
        {"12345678", codigo, envio.correl.c_str(), true,
         "El número de orden fue grabado satisfactoriamente."},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.mensaje);
        d.orden = c.orden;
        d.verifica = c.verifica;
        d.clave.correl = c.correl;
        const ResultadoGrabacion r = Graba(d);
        EXPECT_EQ(r.grabado, c.grabado);
        ASSERT_EQ(r.avisos.size(), 1u);
        EXPECT_EQ(r.avisos[0].texto, c.mensaje);
        EXPECT_EQ(r.avisos[0].estilo, c.grabado ? 48 : 16);
        auto rs = db_->OpenRecordset("SELECT * FROM HCAB", jet::dbOpenSnapshot);
        EXPECT_EQ(vb::ToText(rs->Fields("norden").Value()), c.grabado ? "12345678" : "");
        EXPECT_EQ(vb::ToText(rs->Fields("cNumero").Value()),
                  shell::CalculaCNumero(rs->CurrentRow(), 6));
    }
}

}  // namespace
