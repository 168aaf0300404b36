#include "shell/contribuyentes.h"

#include <gtest/gtest.h>

#include <memory>

#include "host/hostkit.h"
#include "pruebas/host.h"
#include "jet/database.h"
#include "shell/state.h"
#include "validator/validator.h"
#include "vb/error.h"

namespace {

using namespace shell;

// A host installation of its own for each test, opened as the main program
// holds it (gdbBase), with the validation component in goValidador.
class HostTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetState();
        inst_ = hostkit::CreaHost(carpeta_.Ruta() + "/host");
        db_ = hostkit::AbreHost(inst_);
        G().gdbBase = db_.get();
        G().goValidador = &validador_;
        G().gsFormulario = "0787";
    }
    void TearDown() override {
        db_->Close();
        ResetState();
    }
    void Ejecuta(const std::string& sql) { db_->Execute(sql, jet::dbFailOnError); }

    pruebas::CarpetaTemporal carpeta_;
    hostkit::Instalacion inst_;
    std::unique_ptr<jet::Database> db_;
    validator::cValidador validador_;
};

TEST_F(HostTest, UserTypeFromClavesAndTypeOneWithoutARow) {
    const std::pair<const char*, const char*> casos[] = {
        {"ADMIN", "0"}, {"USUARIO1", "1"}, {"NADIE", "1"}, {"O'BRIEN", "1"}};
    for (auto [usuario, tipo] : casos) {
        G().gsUsuario = usuario;
        EXPECT_EQ(TipoUsuario(), tipo) << usuario;
    }
}

TEST_F(HostTest, QueryTextWithTheBuiltInRowAndAnOrdinaryUser) {
    Ejecuta("DELETE * FROM PARAM WHERE Numero='044' AND Argumento='6'");
    G().gsUsuario = "USUARIO1";
    EXPECT_EQ(ArmaSqlContribuyentes("0787"),
              " SELECT * FROM CONT  WHERE Tip_doc_d=6  AND Usuario ='USUARIO1' Order by "
              "Tip_doc_d, doc_id_d ");
    G().gsUsuario = "ADMIN";
    EXPECT_EQ(ArmaSqlContribuyentes("0787"),
              " SELECT * FROM CONT  WHERE Tip_doc_d=6  ORDER BY Tip_doc_d, doc_id_d ");
}

TEST_F(HostTest, ListByUserTypeInNumberOrder) {
    G().gsUsuario = "ADMIN";
    EXPECT_EQ(ItemsContribuyentes(), (std::vector<std::string>{
                                         "10408123459  CONTRIBUYENTE DE PRUEBA UNO",
                                         "20100123453  EMPRESA DE PRUEBA S.A.",
                                         "20555666773  EMPRESA DE EJEMPLO S.A.C.",
                                         "20600000013  COOPERATIVA DE PRUEBA LTDA",
                                     }));
    G().gsUsuario = "USUARIO1";
    EXPECT_EQ(ItemsContribuyentes(), (std::vector<std::string>{
                                         "20100123453  EMPRESA DE PRUEBA S.A.",
                                         "20555666773  EMPRESA DE EJEMPLO S.A.C.",
                                     }));
    // A user without taxpayers, or whose name carries a quote, gets an empty list.
    for (const char* u : {"NADIE", "O'BRIEN"}) {
        G().gsUsuario = u;
        EXPECT_TRUE(ItemsContribuyentes().empty()) << u;
    }
}

TEST_F(HostTest, ExactLengthRuleLeavesShortNumbersOut) {
    Ejecuta(
        "INSERT INTO CONT (Tip_doc_d, Doc_id_d, Nombre, Usuario) VALUES (6, '12345678', "
        "'OCHO DIGITOS', 'ADMIN')");
    G().gsUsuario = "ADMIN";
    // The host's row: at most 11 characters; the 8-character number is listed.
    std::vector<std::string> items = ItemsContribuyentes();
    ASSERT_EQ(items.size(), 5u);
    EXPECT_EQ(items[1], "12345678     OCHO DIGITOS");  // ordered as text

    Ejecuta("UPDATE PARAM SET Funcion='" + std::string(kFuncionRucIncorporada.substr(0, 129)) +
            "1' WHERE Numero='044' AND Argumento='6'");
    EXPECT_NE(ArmaSqlContribuyentes("0787").find(" AND len(trim(Doc_id_d))=11 "),
              std::string::npos);
    items = ItemsContribuyentes();
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0], "10408123459  CONTRIBUYENTE DE PRUEBA UNO");
}

TEST(ItemContribuyente, NameAlwaysStartsAtCharacterFourteen) {
    const struct {
        const char* doc;
        const char* esperado;
    } casos[] = {
        {"12345678", "12345678     ANA"},
        {"12345678   ", "12345678     ANA"},  // trimmed 8: cut to 8
        {"20100123453", "20100123453  ANA"},
        {"123456789012345", "12345678901  ANA"},
        {"1234", "1234  ANA"},  // neither 8 nor 11: as it comes, 2 blanks
        {"", "  ANA"},
    };
    for (const auto& c : casos) EXPECT_EQ(ItemContribuyente(c.doc, "ANA"), c.esperado) << c.doc;
}

// A document-type row with the length, class and rule at their places.
std::string Funcion(const char* largo, char clase, char regla) {
    std::string f(130, ' ');
    f.replace(0, 9, "DOCUMENTO");
    f.replace(45, 2, largo);
    f[127] = clase;
    f[129] = regla;
    return f;
}

TEST(ValidaNumeroDocumentoParam, LengthClassAndRule) {
    validator::cValidador v;
    ResetState();
    G().goValidador = &v;
    const std::string ruc = std::string(kFuncionRucIncorporada);
    const std::string exacto = Funcion("11", '5', '1');
    const std::string letras = Funcion("12", '0', '0');
    const struct {
        std::string funcion;
        const char* numero;
        bool esperado;
    } casos[] = {
        {ruc, "20100123453", true},
        {ruc, "123", true},  // at most 11
        {ruc, "201001234531", false},
        {ruc, "2010012345A", false},
        {ruc, "  123  ", true},  // trimmed for the length; the component accepts blanks
        {ruc, "", false},
        {ruc, "   ", false},
        {"", "20100123453", false},
        {"    ", "20100123453", false},
        {exacto, "2010012345", false},
        {exacto, "20100123453", true},
        {letras, "AB123456", true},
        {letras, "ab123456", false},  // lower case
        {letras, "Ab123456", false},
        {letras, "AB|12", false},
        {letras, "ABCDEFGHIJKLM", false},  // 13 > 12
        {Funcion("08", '5', '1'), "40812345", true},
        {Funcion("08", '5', '1'), "4081234", false},
        // A short row reads as length 0, letters, at most 0.
        {"DNI", "1", false},
        // Lengths count characters, and the upper-case test covers the n with tilde.
        {Funcion("05", '0', '1'), "PEÑA1", true},
        {Funcion("05", '0', '1'), "PEñA1", false},
        {Funcion("04", '0', '1'), "PEÑA1", false},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(ValidaNumeroDocumentoParam(c.funcion, c.numero), c.esperado)
            << "[" << c.numero << "] with " << c.funcion.substr(40, 10);
        // The importer reads the row once and checks every record against it.
        EXPECT_EQ(ValidaNumeroDocumentoParam(LeeReglaDocumento(c.funcion), c.numero, v), c.esperado)
            << "[" << c.numero << "] read once with " << c.funcion.substr(40, 10);
    }
    ResetState();
}

class VersionTest : public HostTest {
  protected:
    void SetUp() override {
        HostTest::SetUp();
        Ejecuta(
            "CREATE TABLE EFCONTROL ([tip_doc_d] Byte, [doc_id_d] text(15), [periodo] "
            "Text(6), [formulario] Text(4), [semana] integer, [nomarc] text(50), [cnum] "
            "text(20))");
        G().gsRuc = "20100123453";
        G().gsPeriodo = "200403";
        G().gnSemana = 0;
    }
    void Control(const char* nomarc, const char* cnum, const char* periodo = "200403") {
        const std::string valor = cnum ? "'" + std::string(cnum) + "'" : "Null";
        Ejecuta(
            "INSERT INTO EFCONTROL (tip_doc_d, doc_id_d, periodo, formulario, semana, nomarc, "
            "cnum) VALUES (6, '20100123453', '" +
            std::string(periodo) + "', '0787', 0, '" + nomarc + "', " + valor + ")");
    }
};

TEST_F(VersionTest, NoControlRecordsPass) {
    EXPECT_TRUE(VerificaVersionArchivos("1.9"));
}

TEST_F(VersionTest, EveryMovementAndReversalRecordMustCarryTheVersion) {
    Control("0787200403201001234531.mov", "1.9");
    Control("0787200403201001234531.EXT", " 1.9 ");
    Control("resumen.txt", "0.1");                           // other files do not count
    Control("0787200402201001234531.mov", "1.0", "200402");  // another period
    EXPECT_TRUE(VerificaVersionArchivos("1.9"));
    EXPECT_FALSE(VerificaVersionArchivos("2.0"));
}

TEST_F(VersionTest, OneBadRecordIsEnough) {
    const char* malos[] = {"1.8", "", nullptr};
    for (const char* cnum : malos) {
        Ejecuta("DELETE * FROM EFCONTROL");
        Control("A.MOV", "1.9");
        Control("A.EXT", cnum);
        EXPECT_FALSE(VerificaVersionArchivos("1.9")) << (cnum ? cnum : "Null");
    }
}

TEST_F(HostTest, WithoutTheControlTableTheVersionCannotBeShown) {
    G().gsRuc = "20100123453";
    EXPECT_FALSE(VerificaVersionArchivos("1.9"));
}

TEST(SumaPosicion, AddsInSixteenBitsAndGivesTextWithoutBlanks) {
    std::int16_t p = 100;
    EXPECT_EQ(SumaPosicion(p, 240), "340");
    EXPECT_EQ(p, 340);
    EXPECT_EQ(SumaPosicion(p, -400), "-60");
    p = 32757;
    EXPECT_EQ(SumaPosicion(p, 10), "32767");
    try {
        SumaPosicion(p, 1);
        FAIL() << "32768 does not fit";
    } catch (const vb::VbError& e) {
        EXPECT_EQ(e.Number(), 6);
    }
    EXPECT_EQ(p, 32767);
}

}  // namespace
