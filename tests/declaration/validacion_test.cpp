// Checks of the whole declaration: rules in order, the two modes, the
// message log and the messages the form must show.
#include "declaration/validacion.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "pruebas/host.h"
#include "shell/state.h"

namespace {

using namespace declaracion;

// A declaration of the period that passes every rule.
Declaracion Completa(const std::string& periodo) {
    Clave k;
    k.ruc = "20100123453";
    k.periodo = periodo;
    Declaracion d(k);
    d.numRuc = "20100123453";
    d.nombre = "EMPRESA DE PRUEBA S.A.";
    for (const auto& [n, t] : std::map<int, std::string>{{300, "100"},
                                                         {301, "50"},
                                                         {302, "150"},
                                                         {320, "30"},
                                                         {321, "20"},
                                                         {322, "50"},
                                                         {353, "150"},
                                                         {373, "50"},
                                                         {312, "150"},
                                                         {313, "150"},
                                                         {332, "50"},
                                                         {333, "50"}})
        d.FijaValor(n, t);
    d.pago = {"C", "03", "000123", "200"};
    return d;
}

Entorno Version(bool archivos, const std::string& carpeta = {}) {
    Entorno e;
    e.verificaVersion = [archivos](std::string_view) { return archivos; };
    e.sysPath = carpeta;
    return e;
}

TEST(Validacion, RulesInOrder) {
    using Cambio = std::function<void(Declaracion&)>;
    struct Caso {
        const char* periodo;
        Cambio cambio;
        std::vector<std::string> lineas;
    };
    const Caso casos[] = {
        {"201709", [](Declaracion&) {}, {}},
        {"201710", [](Declaracion& d) { d.FijaValor(300, ""); }, {}},
        {"201709",
         [](Declaracion& d) { d.FijaValor(302, "160"); },
         {"La casilla 302 debe ser igual a la suma de la casilla 300 y 301"}},
        {"201709",
         [](Declaracion& d) { d.FijaValor(300, ""); },
         {"Ingrese la casilla 300",
          "La casilla 302 debe ser igual a la suma de la casilla 300 y 301"}},
        {"201709",
         [](Declaracion& d) {
             d.FijaValor(300, "");
             d.FijaValor(301, "150");
         },
         {"Ingrese la casilla 300"}},
        {"201709",
         [](Declaracion& d) { d.FijaValor(322, "(50)"); },  // numeric: -50 is not 50
         {"La casilla 322 debe ser igual a la suma de la casilla 320 y 321"}},
        {"201710", [](Declaracion& d) { d.FijaValor(353, ""); }, {"Ingrese la casilla 353"}},
        {"201710",
         [](Declaracion& d) { d.FijaValor(373, "1,000"); },
         {"La casilla 322 debe ser igual a la casilla 373"}},
        {"201709",
         [](Declaracion& d) {
             d.FijaValor(313, "");
             d.FijaValor(333, "");
             d.pago.importe = " ";
         },
         {"Ingrese el importe a pagar de Cta. Propia", "Ingrese el importe a pagar de retenciones",
          "Ingrese el importe total a pagar", "No puede girar un cheque con monto cero"}},
        {"201709",
         [](Declaracion& d) {
             d.pago = {"E", "", "", "5"};
         },
         {}},
        {"201709", [](Declaracion& d) { d.pago.tipo = "XX"; }, {"Ingrese la Forma de pago"}},
        {"201709",
         [](Declaracion& d) {
             d.pago = {"C", "XX", "", "0"};
         },
         {"Ingrese el banco", "Ingrese el Número del cheque",
          "No puede girar un cheque con monto cero"}},
        {"201709",
         [](Declaracion& d) { d.pago.cheque = "000"; },
         {"El número de cheque no puede ser cero"}},
    };
    for (const Caso& c : casos) {
        Declaracion d = Completa(c.periodo);
        c.cambio(d);
        EXPECT_EQ(ReglasCasillas(d), c.lineas) << c.periodo;
        const auto primera = ReglasCasillas(d, true);
        EXPECT_EQ(primera.size(), c.lineas.empty() ? 0u : 1u);
    }
}

class ValidaTodoLog : public ::testing::Test {
  protected:
    void SetUp() override { shell::ResetState(); }
    std::string Log() {
        std::ifstream f(carpeta_.Ruta() + "/Mens.txt", std::ios::binary);
        return {std::istreambuf_iterator<char>(f), {}};
    }
    bool HayLog() { return std::filesystem::exists(carpeta_.Ruta() + "/Mens.txt"); }
    pruebas::CarpetaTemporal carpeta_;
};

TEST_F(ValidaTodoLog, AllClearLeavesAnEmptyLog) {
    const Resultado r = ValidaTodo(Completa("201709"), "0", Version(true, carpeta_.Ruta() + "/"));
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(
        r.avisos,
        (std::vector<Mensaje>{
            {"La información de la declaración no presenta inconsistencias.", 48, "Mensaje"}}));
    EXPECT_FALSE(r.muestraInconsistencias);
    EXPECT_TRUE(HayLog());
    EXPECT_EQ(Log(), "");
    EXPECT_EQ(shell::G().gsArchivoRep, carpeta_.Ruta() + "/Mens.txt");
}

TEST_F(ValidaTodoLog, FailuresGoToTheLogAfterThePaymentSummary) {
    Declaracion d = Completa("201709");
    d.numRuc = "20100123450";  // wrong check digit
    d.FijaValor(300, "");
    d.FijaValor(313, "160");  // more than the debt of 150
    const Resultado r = ValidaTodo(d, "0", Version(true, carpeta_.Ruta() + "/"));
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.vaAIdentificacion);
    EXPECT_TRUE(r.muestraInconsistencias);
    EXPECT_EQ(r.avisos,
              (std::vector<Mensaje>{{"El importe a pagar por UZQ Cta.Propia tiene un exceso\n", 64,
                                     std::string(kTituloForm)}}));
    // Windows-1252, CR LF.
    EXPECT_EQ(Log(),
              "\xA1"
              "El RUC no es v\xE1lido!\r\n"
              "Ingrese la casilla 300\r\n"
              "La casilla 302 debe ser igual a la suma de la casilla 300 y 301\r\n");
    EXPECT_EQ(shell::G().gsMensaje,
              "La casilla 302 debe ser igual a la suma de la casilla 300 y 301");
}

TEST_F(ValidaTodoLog, QuickCheckStopsAtTheFirstFailureAndWritesNoLog) {
    Declaracion d = Completa("201709");
    d.nombre = "";  // identification is not checked in this mode
    d.FijaValor(300, "");
    d.FijaValor(313, "");
    d.FijaValor(333, "60");
    const Resultado r = ValidaTodo(d, "2", Version(true, carpeta_.Ruta() + "/"));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.lineas, std::vector<std::string>{"Ingrese la casilla 300"});
    // An empty 313 is no amount to compare; 60 against a debt of 50 is an excess.
    ASSERT_EQ(r.avisos.size(), 1u);
    EXPECT_EQ(r.avisos[0].texto, "El importe a pagar por UZQ Retención tiene un exceso\n");
    EXPECT_FALSE(r.muestraInconsistencias);
    EXPECT_FALSE(HayLog());
}

TEST_F(ValidaTodoLog, VersionRefusalEndsTheCheckBeforeAnyLog) {
    const Mensaje refusal{
        "Los archivos han sido validados con una versión anterior de este QVX, "
        "debe eliminar esta declaración y volver a validar los archivos",
        16, ""};
    struct Caso {
        const char* version;
        bool archivos;
        bool rechaza;
    };
    for (const Caso& c : {Caso{"1.9", true, false}, Caso{"", true, false}, Caso{"1.8", true, true},
                          Caso{"", false, true}, Caso{"1.9", false, true}}) {
        SCOPED_TRACE(std::string(c.version) + (c.archivos ? " files ok" : " files old"));
        Declaracion d = Completa("201709");
        d.version = c.version;
        for (const char* tipo : {"0", "2"}) {
            std::filesystem::remove(carpeta_.Ruta() + "/Mens.txt");
            const Resultado r = ValidaTodo(d, tipo, Version(c.archivos, carpeta_.Ruta() + "/"));
            EXPECT_EQ(r.ok, !c.rechaza);
            EXPECT_EQ(VerificaVersion(d, Version(c.archivos)).has_value(), c.rechaza);
            if (c.rechaza) {
                EXPECT_EQ(r.avisos, std::vector<Mensaje>{refusal});
                EXPECT_FALSE(HayLog());
            }
        }
    }
}

TEST(Identificacion, InteractiveModeStopsAtTheFirstFailure) {
    Declaracion d;
    d.numRuc = "123";
    d.nombre = " ";
    const Resultado i = ValIdent(d, "1");
    EXPECT_FALSE(i.ok);
    EXPECT_EQ(i.avisos,
              (std::vector<Mensaje>{{"¡El RUC no es válido!", 16, std::string(kTituloForm)}}));
    const Resultado l = ValIdent(d, "0");
    EXPECT_EQ(l.lineas,
              (std::vector<std::string>{"¡El RUC no es válido!", "¡Ingrese la Razón Social!"}));
    EXPECT_TRUE(l.avisos.empty());
}

}  // namespace
