// The declaration report, byte for byte against the files kept in
// tests/data/reports, and the loading of a declaration's boxes and payment.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "host/hostkit.h"
#include "pruebas/host.h"
#include "jet/database.h"
#include "reports/carga.h"
#include "reports/casillas.h"
#include "reports/imprep.h"
#include "shell/state.h"
#include "vb/files.h"

namespace {

using namespace reportes;

std::string Bytes(const std::string& ruta) {
    std::ifstream f(ruta, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

class Declaracion : public ::testing::Test {
  protected:
    void SetUp() override {
        shell::ResetState();
        CasillasImpresion().BorraArray();
        inst_ = hostkit::CreaHost(carpeta_.Ruta() + "/host");
        db_ = hostkit::AbreHost(inst_);
        auto& g = shell::G();
        g.gdbBase = db_.get();
        g.gsFormulario = "0787";
        g.gsRutaRpt = inst_.sysPath + "RPT";
        g.gsArchivoRep = g.gsRutaRpt + "/00000001.PRN";
        g.gnTipoRep = 2;
        g.gsRuc = "20100000001";
        g.gsNombre = "EMPRESA DE PRUEBA S.A.";
    }
    void TearDown() override {
        vb::CloseAll();
        shell::G().gdbBase = nullptr;
        db_.reset();
        shell::ResetState();
        CasillasImpresion().BorraArray();
    }
    void Fija(std::initializer_list<std::pair<int, const char*>> casillas) {
        for (const auto& [n, v] : casillas) CasillasImpresion().Fija(n, v);
    }
    // Writes the report and compares it with the kept file of that name.
    void Compara(const std::string& nombre) {
        const ResultadoReporte r = ImprimeReporte();
        EXPECT_TRUE(r.completo) << r.error;
        EXPECT_TRUE(avisos_.avisos.empty());
        EXPECT_EQ(shell::G().gnPagina, 1);
        const std::string hecho = Bytes(shell::G().gsArchivoRep);
        const std::string esperado = Bytes(std::string(FD_TEST_DATA_DIR) + "/reports/" + nombre);
        if (hecho != esperado) {
            const std::string copia = ::testing::TempDir() + nombre;
            std::ofstream(copia, std::ios::binary) << hecho;
            ADD_FAILURE() << nombre << " differs; the report written is in " << copia;
        }
    }

    pruebas::CarpetaTemporal carpeta_;
    hostkit::Instalacion inst_;
    std::unique_ptr<jet::Database> db_;
    pruebas::AvisosGrabados avisos_;
};

TEST_F(Declaracion, TwoFortnightsPaidByCheque) {
    // The month before the single-period layout; a stored declaration (no
    // order number); negative, zero and empty boxes.
    auto& g = shell::G();
    g.gsPeriodo = "201709";
    g.gsBanco = "03";
    g.gsNroCheque = "000123";
    Fija({{300, "1500000"},
          {301, "-2500"},
          {320, "0"},
          {321, "75000"},
          {302, "1497500"},
          {322, "75000"},
          {350, "1200"},
          {313, "1497500"},
          {333, "75000"},
          {598, "1572500"},
          {599, "C"},
          {592, "120"},
          {593, "3"}});
    Compara("cheque_201709.PRN");
}

TEST_F(Declaracion, SinglePeriodPaidInCashWithOrderNumber) {
    // A sent declaration from 201710 on, with amounts of 15, 16 and 22 digits
    // printed with every digit, and a control number longer than 8 written whole.
    auto& g = shell::G();
    g.gsPeriodo = "201710";
    g.gsNumOrden = "12345678";
    g.gsNumControl = "123456789";
    g.gsEfectivo = "1234567890123456";
    Fija({{353, "-1234567890123456"},
          {373, "123456789012345"},
          {325, "1234567890123456789012"},
          {305, "-999999999999999"},
          {599, "E"},
          {598, "1234567890123456"},
          {592, "0"}});
    Compara("efectivo_201710.PRN");
}

TEST_F(Declaracion, OldPeriodsUnknownBankAndOtherPaymentTypes) {
    // Up to 200205 the running rows start four rows higher; a bank code
    // without a row in the list prints 14 blanks; a payment type in other
    // letter case, or none, gives the cheque lines.
    for (const char* tipo : {"e", ""}) {
        SCOPED_TRACE(tipo);
        auto& g = shell::G();
        g.gsPeriodo = "200205";
        g.gsBanco = "99";
        g.gsNroCheque = "77";
        Fija({{599, tipo}, {311, "5"}});
        ASSERT_TRUE(ImprimeReporte().completo);
        const std::string t = Bytes(g.gsArchivoRep);
        EXPECT_NE(t.find("pPos|550|4470| Interes Moratorio |False|8|0|"), std::string::npos);
        EXPECT_NE(t.find("pPos|550|3390| Total de Impuesto Resultante |False|8|0|"),
                  std::string::npos);
        EXPECT_NE(t.find("pPos|3000|8250|              |False|8|0|"), std::string::npos);
        EXPECT_NE(t.find("pPos|3000|8520|            77|False|8|0|"), std::string::npos);
        EXPECT_EQ(t.find("EFECTIVO"), std::string::npos);
        EXPECT_EQ(t.find("NRO. CONTROL"), std::string::npos);
    }
}

TEST_F(Declaracion, AmountTexts) {
    struct Caso {
        const char* valor;
        const char* texto;
    };
    for (Caso c : {Caso{"", "               "}, Caso{"0", "              0"},
                   Caso{"1234567", "      1,234,567"}, Caso{"-1500", "         (1,500)"},
                   Caso{"000123", "            123"}, Caso{"-0", "              0"},
                   Caso{"999999999999999", "999,999,999,999,999"},
                   Caso{"-1234567890123456", "(1,234,567,890,123,456)"},
                   Caso{"12.5", "             13"}, Caso{"ABC", "            ABC"}}) {
        EXPECT_EQ(TextoMonto(c.valor), c.texto) << c.valor;
    }
    EXPECT_EQ(AlineaDerecha("123456789", 8), "123456789");
    EXPECT_EQ(AlineaDerecha("ñu", 4), "  ñu") << "characters, not bytes";
    // The bank of exactly the code kept, as the summary report finds it: a
    // code written otherwise than the list's two digits finds no bank.
    struct Banco {
        const char* codigo;
        const char* nombre;
    };
    for (Banco b : {Banco{"03", "B.TRES"}, Banco{"05", "B.CINCO"}, Banco{"3", ""}, Banco{"003", ""},
                    Banco{" 03", ""}, Banco{"00", ""}, Banco{"99", ""}, Banco{"", ""},
                    Banco{"x' OR '1'='1", ""}}) {
        EXPECT_EQ(BuscaDescripcion(b.codigo), b.nombre) << "[" << b.codigo << "]";
    }
}

TEST_F(Declaracion, AnErrorCutsTheReportShortAndIsTold) {
    auto& g = shell::G();
    g.gsPeriodo = "201710";
    g.gsBanco = "03";
    // The bank list is gone: the report stops at the bank's line.
    db_->Execute("DROP TABLE PARAM");
    ResultadoReporte r = ImprimeReporte();
    EXPECT_FALSE(r.completo);
    EXPECT_EQ(r.error, 3078);
    ASSERT_EQ(avisos_.avisos.size(), 1u);
    EXPECT_EQ(avisos_.avisos[0].texto.rfind("Error Técnico : (3078) ", 0), 0u)
        << avisos_.avisos[0].texto;
    EXPECT_EQ(avisos_.avisos[0].titulo, "Impresión");
    EXPECT_EQ(avisos_.avisos[0].estilo, 16);
    const std::string t = Bytes(g.gsArchivoRep);
    EXPECT_NE(t.find(" BANCO                :"), std::string::npos);
    EXPECT_EQ(t.find("NRO. DE CHEQUE"), std::string::npos);
    EXPECT_EQ(vb::FreeFile(), 1) << "the report file is closed";

    // A report folder that is not there.
    avisos_.avisos.clear();
    g.gsArchivoRep = inst_.sysPath + "NOHAY/00000002.PRN";
    r = ImprimeReporte();
    EXPECT_FALSE(r.completo);
    ASSERT_EQ(avisos_.avisos.size(), 1u);
    EXPECT_EQ(avisos_.avisos[0].texto, "Error Técnico : (76) Ruta de acceso no encontrada");
}

TEST_F(Declaracion, BoxesAndPaymentOfTheChosenDeclaration) {
    auto ejecuta = [&](const std::string& sql) { db_->Execute(sql, jet::dbFailOnError); };
    const std::string clave = "'20100000001',6,'201710','0787',0";
    for (auto [casilla, valor] :
         std::vector<std::pair<const char*, const char*>>{{"002", "20100000001"},
                                                          {"300", "15"},
                                                          {"721", "1.9"},
                                                          {"722", "1"},
                                                          {"790", "2"},
                                                          {"599", "C"},
                                                          {"871", "0"},
                                                          {"x1", "9"},
                                                          {"9e9", "9"},
                                                          {"2.5", "9"}}) {
        ejecuta(std::string("INSERT INTO DET (DOC_ID_D,TIP_DOC_D,PERIODO,FORMULARIO,SEMANA,"
                            "CASILLA,I_VALOR) VALUES (") +
                clave + ",'" + casilla + "','" + valor + "')");
    }
    for (const char* correl : {"001", "002"}) {
        ejecuta(std::string("INSERT INTO HDET (DOC_ID_D,TIP_DOC_D,PERIODO,FORMULARIO,SEMANA,"
                            "CASILLA,CORREL,I_VALOR) VALUES (") +
                clave + ",'599','" + correl + "','E" + correl + "')");
        ejecuta(std::string("INSERT INTO HCAB (DOC_ID_D,TIP_DOC_D,PERIODO,FORMULARIO,SEMANA,"
                            "CORREL,estado,efectivo) VALUES (") +
                clave + ",'" + correl + "',1,'" + correl + "00')");
    }
    ejecuta(
        "INSERT INTO CAB (DOC_ID_D,TIP_DOC_D,PERIODO,FORMULARIO,SEMANA,estado,bcolibrad,"
        "nrocheque,efectivo) VALUES (" +
        clave + ",0,'03','000123','')");

    auto& g = shell::G();
    g.gsPeriodo = "201710";
    g.gsBanco = g.gsNroCheque = g.gsEfectivo = "antes";
    CargaCasillas();
    const CasillasDeclaracion& c = CasillasImpresion();
    EXPECT_EQ(c.Casilla(2), "20100000001");
    EXPECT_EQ(c.Casilla(300), "15");
    EXPECT_EQ(c.Casilla(599), "C");
    EXPECT_EQ(c.Casilla(871), "0");
    EXPECT_EQ(c.Casilla(721) + c.Casilla(722) + c.Casilla(790), "");
    EXPECT_EQ(g.gsBanco + "/" + g.gsNroCheque + "/" + g.gsEfectivo, "03/000123/");

    g.gbEnviadas = true;
    g.gsCorrel = "002";
    CargaCasillas();
    EXPECT_EQ(c.Casilla(599), "E002");
    EXPECT_EQ(c.Casilla(300), "") << "the stored boxes are cleared";
    EXPECT_EQ(g.gsBanco + "/" + g.gsNroCheque + "/" + g.gsEfectivo, "//00200");

    // No header row: nothing of the declaration before is left to print.
    g.gsCorrel = "003";
    CargaCasillas();
    EXPECT_EQ(c.Casilla(599), "");
    EXPECT_EQ(g.gsBanco + g.gsNroCheque + g.gsEfectivo, "");
}

}  // namespace
