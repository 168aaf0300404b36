// The import of a declaration's data files against a prepared host
// installation: filter, duplicate check, record checks, control records,
// messages and the declaration header.
#include "import/transferencia.h"

#include <gtest/gtest.h>

#include <cstdio>
#undef EOF
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>

#include "bench/import/generador.h"
#include "host/hostkit.h"
#include "host/pruebas.h"
#include "import/control.h"
#include "jet/database.h"
#include "shell/digest.h"
#include "shell/state.h"
#include "tools/seeder/instalador.h"
#include "validator/validator.h"
#include "vb/strings.h"

namespace fs = std::filesystem;

namespace {

const std::string kRuc = "20100123453";  // a taxpayer of the sample register

class Vista : public importacion::VistaImportacion {
  public:
    std::set<int> marcados;
    std::vector<std::string> etapas;
    int progreso = -1;
    bool grabar = true;
    bool Marcado(int i) const override { return marcados.count(i) > 0; }
    void Etapa(const std::string& t) override { etapas.push_back(t); }
    void Progreso(int v) override { progreso = v; }
    void HabilitaGrabar(bool h) override { grabar = h; }
};

class Transferencia : public ::testing::Test {
  protected:
    void SetUp() override {
        inst_ = hostkit::CreaHost(carpeta_.Ruta());
        hostkit::FijaWindir(inst_);
        {
            seeder::Instalador instalador;
            ASSERT_EQ(instalador.Main(), 0);
        }
        avisos_.avisos.clear();
        db_ = hostkit::AbreHost(inst_);
        shell::ResetState();
        auto& g = shell::G();
        g.gdbBase = db_.get();
        g.goValidador = &val_;
        g.gsRuc = kRuc;
        g.gsFormulario = "0787";
        g.gnSemana = 0;
        datos_ = carpeta_.Ruta() + "/datos/";
        fs::create_directories(datos_);
    }
    void TearDown() override {
        shell::G().gdbBase = nullptr;
        db_.reset();
    }

    std::string Base(const std::string& periodo) { return datos_ + "0787" + periodo + kRuc + "."; }

    void Escribe(const std::string& ruta, const std::vector<std::string>& lineas) {
        std::ofstream f(ruta, std::ios::binary);
        for (const auto& l : lineas) f << l << "\r\n";
    }

    // The control record of a file kind as column -> text.
    std::map<std::string, std::string> Control(const std::string& clase) {
        auto rs = db_->OpenRecordset("SELECT * FROM EFCONTROL WHERE DOC_ID_D='" + kRuc +
                                         "' AND UCASE(RIGHT(NOMARC,3))='" + clase + "'",
                                     jet::dbOpenSnapshot);
        std::map<std::string, std::string> r;
        if (rs->EOF()) return r;
        for (int i = 0; i < rs->FieldCount(); ++i) {
            const vb::Variant& v = rs->Fields(i).Value();
            r[rs->Fields(i).Name()] = v.IsString() ? v.Str()
                                      : v.IsNull()
                                          ? "<null>"
                                          : std::to_string(static_cast<long long>(v.NumberValue()));
        }
        return r;
    }

    long Filas(const std::string& tabla) {
        auto rs = db_->OpenRecordset("SELECT * FROM " + tabla, jet::dbOpenSnapshot);
        if (rs->EOF()) return 0;
        rs->MoveLast();
        return rs->RecordCount();
    }

    hostkit::CarpetaTemporal carpeta_;
    hostkit::AvisosGrabados avisos_;
    hostkit::Instalacion inst_;
    std::unique_ptr<jet::Database> db_;
    validator::cValidador val_;
    std::string datos_;
};

std::string Mov(const std::string& doc, const std::string& monto, const std::string& imp) {
    const std::string tipo = doc.size() == 11 ? "06" : "01";
    return tipo + "|" + doc + "||01|01|02||" + monto + "|" + imp + "|0.00|||||||";
}
std::string Ext(const std::string& doc, const std::string& mod, const std::string& monto,
                const std::string& imp) {
    const std::string tipo = doc.size() == 11 ? "06" : "01";
    return tipo + "|" + doc + "||201412|01|01|02||" + mod + "|" + monto + "|" + imp +
           "|0.00|||||||";
}

TEST_F(Transferencia, AmbosArchivosValidosDejanSusRegistrosDeControl) {
    shell::G().gsPeriodo = "201501";
    const std::string B = Base("201501");
    Escribe(B + "mov", {Mov(kRuc, "1234.50", "10.00"), Mov("12345678", "100.49", "5.00")});
    Escribe(B + "ext",
            {Ext("12345678", "2", "20.00", "2.00"), Ext("22345678", "3", "900.00", "90.00"),
             Ext("32345678", "4", "100.00", "10.00")});
    Vista v;
    v.marcados = {2, 3};
    EXPECT_TRUE(importacion::Transferencia(B, v));
    EXPECT_TRUE(avisos_.avisos.empty());
    EXPECT_FALSE(v.grabar);  // the form enables it again
    EXPECT_EQ(v.progreso, 2);
    EXPECT_EQ(v.etapas.back(), "");

    auto mov = Control("MOV");
    ASSERT_FALSE(mov.empty());
    EXPECT_EQ(mov["nomarc"], "0787201501" + kRuc + ".MOV");
    EXPECT_EQ(mov["rutarc"], vb::UCase(datos_));
    EXPECT_EQ(mov["num_tuplas"], "2");
    EXPECT_EQ(mov["mto_302"], "10");
    EXPECT_EQ(mov["mto_402"], "1235");  // 1234.50 rounds up
    EXPECT_EQ(mov["mto_322"], "5");
    EXPECT_EQ(mov["mto_422"], "100");  // 100.49 rounds down
    for (const char* c : {"mto_306", "mto_326", "mto_305", "mto_325", "mto_303", "mto_323",
                          "mto_324", "mto_403", "mto_423", "mto_424", "mto_406", "mto_426"})
        EXPECT_EQ(mov[c], "0") << c;
    EXPECT_EQ(mov["cnum"], "1.9");
    EXPECT_EQ(mov["indice"], "1");
    EXPECT_EQ(mov["tab_d"], "T787MOV");
    EXPECT_EQ(mov["tamarc"], std::to_string(fs::file_size(B + "mov")));
    EXPECT_EQ(mov["marca"], shell::CalculaMarcaArchivo(B + "mov").Str());
    EXPECT_EQ(mov["cnumero"].size(), 6u);

    auto ext = Control("EXT");
    ASSERT_FALSE(ext.empty());
    EXPECT_EQ(ext["num_tuplas"], "3");
    EXPECT_EQ(ext["mto_302"], "2");   // modality 2 tax of others
    EXPECT_EQ(ext["mto_322"], "20");  // modality 2 amount of others
    EXPECT_EQ(ext["mto_402"], "0");
    EXPECT_EQ(ext["mto_422"], "0");
    EXPECT_EQ(ext["mto_323"], "90");
    EXPECT_EQ(ext["mto_324"], "10");
    EXPECT_EQ(ext["mto_325"], "100");
    EXPECT_EQ(ext["mto_305"], ext["mto_303"]);
    EXPECT_EQ(ext["mto_423"], "900");
    EXPECT_EQ(ext["mto_424"], "100");
    EXPECT_EQ(ext["tab_d"], "T787EXT");

    EXPECT_TRUE(importacion::VerificoArch());
    EXPECT_EQ(importacion::VerificoTablaControl(true, true),
              "El archivo de movimientos ya ha sido validado anteriormente\r"
              "El archivo de extornos ya ha sido validado anteriormente\r");
    EXPECT_EQ(importacion::VerificoTablaControl(false, false), "");
    EXPECT_FALSE(fs::exists(B + "moverr"));
    EXPECT_FALSE(fs::exists(B + "movout"));
    EXPECT_FALSE(fs::exists(B + "dbmov"));

    // Validating again rewrites the same rows.
    Escribe(B + "mov", {Mov(kRuc, "1.00", "1.00")});
    EXPECT_TRUE(importacion::Transferencia(B, v));
    EXPECT_EQ(Control("MOV")["num_tuplas"], "1");
    EXPECT_EQ(Filas("EFCONTROL"), 2);

    // The header once both records exist.
    EXPECT_FALSE(importacion::ExisteDeclaracion());
    importacion::GraboCabecera();
    EXPECT_TRUE(importacion::ExisteDeclaracion());
    auto cab =
        db_->OpenRecordset("SELECT * FROM CAB WHERE DOC_ID_D='" + kRuc + "'", jet::dbOpenSnapshot);
    ASSERT_FALSE(cab->EOF());
    EXPECT_EQ(cab->Fields("estado").Value().NumberValue(), 9);
    EXPECT_EQ(cab->Fields("semana").Value().NumberValue(), 0);
}

TEST_F(Transferencia, DuplicadosEnMovimientosNoDetienenExtornos) {
    shell::G().gsPeriodo = "201501";
    const std::string B = Base("201501");
    Escribe(B + "mov", {Mov("12345678", "1.00", "1.00"), Mov("12345678", "2.00", "2.00")});
    Escribe(B + "ext", {Ext("12345678", "1", "20.00", "2.00")});
    Vista v;
    v.marcados = {2, 3};
    EXPECT_FALSE(importacion::Transferencia(B, v));
    ASSERT_EQ(avisos_.avisos.size(), 1u);
    EXPECT_EQ(avisos_.avisos[0].titulo, "Validar Archivos");
    EXPECT_EQ(avisos_.avisos[0].texto,
              "El archivo " + B + "mov tiene duplicados \n verifique los duplicados en: " + B +
                  "moverr\r");
    EXPECT_TRUE(fs::exists(B + "moverr"));
    EXPECT_TRUE(Control("MOV").empty());
    EXPECT_FALSE(Control("EXT").empty());
    EXPECT_FALSE(importacion::VerificoArch());
}

TEST_F(Transferencia, CarpetaConAcentos) {
    shell::G().gsPeriodo = "201501";
    datos_ = carpeta_.Ruta() + "/Declaración año/";
    fs::create_directories(datos_);
    const std::string B = Base("201501");
    Escribe(B + "mov", {Mov("12345678", "1.00", "1.00")});
    Vista v;
    v.marcados = {2};
    EXPECT_TRUE(importacion::Transferencia(B, v));
    for (const auto& a : avisos_.avisos) ADD_FAILURE() << a.texto;
    EXPECT_EQ(Control("MOV")["num_tuplas"], "1");
}

TEST_F(Transferencia, SinMarcasNoLeeNada) {
    shell::G().gsPeriodo = "201501";
    Vista v;
    EXPECT_TRUE(importacion::Transferencia(Base("201501"), v));
    EXPECT_EQ(Filas("EFCONTROL"), 0);
    EXPECT_TRUE(avisos_.avisos.empty());
}

TEST_F(Transferencia, ArchivoFiltradoReemplazaAlOriginal) {
    shell::G().gsPeriodo = "201501";
    const std::string B = Base("201501");
    Escribe(B + "mov", {Mov("12345678", "1@00.00", "5.00#")});
    const auto antes = fs::file_size(B + "mov");
    Vista v;
    v.marcados = {2};
    EXPECT_TRUE(importacion::Transferencia(B, v));
    EXPECT_LT(fs::file_size(B + "mov"), antes);
    auto mov = Control("MOV");
    EXPECT_EQ(mov["mto_422"], "100");
    EXPECT_EQ(mov["tamarc"], std::to_string(fs::file_size(B + "mov")));
    EXPECT_EQ(mov["marca"], shell::CalculaMarcaArchivo(B + "mov").Str());
}

TEST_F(Transferencia, RegistroRechazadoNombraElArchivoDeErrores) {
    shell::G().gsPeriodo = "201501";
    const std::string B = Base("201501");
    Escribe(B + "mov", {Mov("12345678", "05.00", "1.00")});
    Vista v;
    v.marcados = {2};
    EXPECT_FALSE(importacion::Transferencia(B, v));
    ASSERT_EQ(avisos_.avisos.size(), 1u);
    EXPECT_EQ(avisos_.avisos[0].texto,
              "El archivo " + B + "mov tiene errores  verifique los errores en: " + B + "moverr\r");
    EXPECT_TRUE(fs::exists(B + "moverr"));
    EXPECT_TRUE(Control("MOV").empty());
}

TEST_F(Transferencia, TotalDemasiadoLargoParaSuColumna) {
    shell::G().gsPeriodo = "201501";
    const std::string B = Base("201501");
    std::vector<std::string> l;
    for (int i = 0; i < 501; ++i) {
        l.push_back(Ext(std::to_string(10000000 + i), "3", "1.00", "999999999999.99"));
        l.push_back(Ext(std::to_string(20000000 + i), "4", "1.00", "999999999999.99"));
    }
    Escribe(B + "ext", l);
    Vista v;
    v.marcados = {3};
    EXPECT_FALSE(importacion::Transferencia(B, v));
    ASSERT_EQ(avisos_.avisos.size(), 1u);
    EXPECT_EQ(avisos_.avisos[0].texto, "Los montos totales del archivo " + B +
                                           "ext son demasiados grandes  verifiquelos.\r");
    EXPECT_TRUE(Control("EXT").empty());
}

TEST_F(Transferencia, ArchivoAusenteEsUnErrorDelFiltro) {
    shell::G().gsPeriodo = "201501";
    const std::string B = Base("201501");
    Vista v;
    v.marcados = {3};
    EXPECT_FALSE(importacion::Transferencia(B, v));
    ASSERT_EQ(avisos_.avisos.size(), 1u);
    EXPECT_EQ(avisos_.avisos[0].texto, "Ocurrió un error al procesar el archivo " + B + "ext\r");
}

// A generated pair for the sample taxpayer goes through as a whole.
TEST_F(Transferencia, ArchivosGenerados) {
    shell::G().gsPeriodo = "201702";
    const std::string B = Base("201702");
    gen::Generador g(kRuc, "201702", 3);
    ASSERT_TRUE(gen::EscribeArchivo(B + "mov", 3000, [&] { return g.Movimiento(); }));
    ASSERT_TRUE(gen::EscribeArchivo(B + "ext", 3000, [&] { return g.Extorno(); }));
    Vista v;
    v.marcados = {2, 3};
    EXPECT_TRUE(importacion::Transferencia(B, v));
    for (const auto& a : avisos_.avisos) ADD_FAILURE() << a.texto;
    EXPECT_EQ(Control("MOV")["num_tuplas"], "3000");
    EXPECT_EQ(Control("EXT")["num_tuplas"], "3000");
}

}  // namespace

namespace {

// The sample files of gendata: the valid pair passes, the faulty pair fails
// in both kinds with its records in the error files.
TEST_F(Transferencia, ArchivosDeMuestraDeGendata) {
    const std::string programa = std::string(FD_BIN_DIR) + "/gendata";
    if (!fs::exists(programa)) GTEST_SKIP() << "gendata not built";
    const std::string orden = programa + " '" + datos_ + "' " + kRuc + " 201702 300 > /dev/null";
    ASSERT_EQ(std::system(orden.c_str()), 0);
    shell::G().gsPeriodo = "201702";
    Vista v;
    v.marcados = {2, 3};
    EXPECT_TRUE(importacion::Transferencia(Base("201702"), v));
    EXPECT_EQ(Control("MOV")["num_tuplas"], "300");
    EXPECT_EQ(Control("EXT")["num_tuplas"], "300");

    // The faulty files name the month after.
    shell::G().gsPeriodo = "201703";
    const std::string B = datos_ + "con_errores/0787201703" + kRuc + ".";
    EXPECT_FALSE(importacion::Transferencia(B, v));
    ASSERT_EQ(avisos_.avisos.size(), 1u);
    EXPECT_NE(avisos_.avisos[0].texto.find(B + "mov tiene errores"), std::string::npos);
    EXPECT_NE(avisos_.avisos[0].texto.find(B + "ext tiene errores"), std::string::npos);
    auto lineas = [](const std::string& ruta) {
        std::ifstream err(ruta, std::ios::binary);
        int n = 0;
        for (std::string l; std::getline(err, l);) ++n;
        return n;
    };
    EXPECT_EQ(lineas(B + "moverr"), 8);
    EXPECT_EQ(lineas(B + "exterr"), 6);
    EXPECT_EQ(Filas("EFCONTROL"), 2);  // the valid pair's only

    avisos_.avisos.clear();
    const std::string D = datos_ + "duplicados/0787201703" + kRuc + ".";
    v.marcados = {2};
    EXPECT_FALSE(importacion::Transferencia(D, v));
    ASSERT_EQ(avisos_.avisos.size(), 1u);
    EXPECT_NE(avisos_.avisos[0].texto.find(D + "mov tiene duplicados"), std::string::npos);
    EXPECT_EQ(lineas(D + "moverr"), 1);
}

}  // namespace
