// The import of a declaration's data files against a prepared host
// installation: filter, duplicate check, record checks, control records,
// messages and the declaration header.
#include "import/transferencia.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <utility>

#include "host/hostkit.h"
#include "import/control.h"
#include "jet/database.h"
#include "pruebas/host.h"
#include "shell/cnumero.h"
#include "shell/digest.h"
#include "shell/state.h"
#include "tools/gendata/generador.h"
#include "tools/seeder/instalador.h"
#include "validator/validator.h"
#include "vb/datetime.h"
#include "vb/error.h"
#include "vb/numeric.h"
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
    std::vector<int> progresos;
    void Progreso(int v) override {
        progreso = v;
        progresos.push_back(v);
    }
    void HabilitaGrabar(bool h) override { grabar = h; }
};

class Transferencia : public ::testing::Test {
  protected:
    void SetUp() override {
        auto host = pruebas::PreparaHost(carpeta_.Ruta(), val_);
        inst_ = host.inst;
        db_ = std::move(host.db);
        avisos_.avisos.clear();
        shell::G().gsRuc = kRuc;
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
        if (rs->Eof()) return r;
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
        if (rs->Eof()) return 0;
        rs->MoveLast();
        return rs->RecordCount();
    }

    pruebas::CarpetaTemporal carpeta_;
    pruebas::AvisosGrabados avisos_;
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
    EXPECT_EQ(v.progresos, (std::vector<int>{1, 2, 2}));
    EXPECT_EQ(v.etapas,
              (std::vector<std::string>{"Verificando registros duplicados en los archivos ",
                                        "Verificando la estructura del archivo " + B + "mov",
                                        "Verificando la estructura del archivo " + B + "ext", ""}));

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
    ASSERT_FALSE(cab->Eof());
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
    for (const char* resto : {"movout", "dbmov", "extout", "dbext", "exterr"})
        EXPECT_FALSE(fs::exists(B + resto)) << resto;
}

// Files left by an earlier run (an error file, a filtered copy, a work file)
// do not survive a run that passes.
TEST_F(Transferencia, RestosDeUnaCorridaAnterior) {
    shell::G().gsPeriodo = "201501";
    const std::string B = Base("201501");
    Escribe(B + "mov", {Mov("12345678", "1.00", "1.00")});
    for (const char* resto : {"moverr", "movout", "dbmov"}) Escribe(B + resto, {"viejo"});
    Vista v;
    v.marcados = {2};
    EXPECT_TRUE(importacion::Transferencia(B, v));
    for (const char* resto : {"moverr", "movout", "dbmov"})
        EXPECT_FALSE(fs::exists(B + resto)) << resto;
    EXPECT_EQ(Control("MOV")["num_tuplas"], "1");
}

// Folders are named as the system names them: with accents Windows-1252 has,
// or in letters it lacks ("数据"), every step finds the file and records it.
TEST_F(Transferencia, CarpetaConAcentosOEnOtraEscritura) {
    shell::G().gsPeriodo = "201501";
    const std::string raiz = datos_;
    for (const char* nombre : {"Declaración año", "\xe6\x95\xb0\xe6\x8d\xae"}) {
        SCOPED_TRACE(nombre);
        datos_ = raiz + nombre + "/";
        fs::create_directories(datos_);
        const std::string B = Base("201501");
        Escribe(B + "mov", {Mov("12345678", "1.00", "1.00")});
        Vista v;
        v.marcados = {2};
        EXPECT_TRUE(importacion::Transferencia(B, v));
        for (const auto& a : avisos_.avisos) ADD_FAILURE() << a.texto;
        avisos_.avisos.clear();
        EXPECT_EQ(Control("MOV")["num_tuplas"], "1");
        EXPECT_EQ(Control("MOV")["rutarc"], vb::UCase(datos_));  // stored in capitals
    }
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
    EXPECT_EQ(avisos_.avisos[0].texto,
              "Ocurrió un error al procesar el archivo " + B + "ext\n El archivo no existe.\r");
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
    ASSERT_TRUE(fs::exists(programa)) << programa << " not built";
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

namespace {

vb::Currency C(std::int64_t diezmilesimos) {
    return vb::Currency::FromRaw(diezmilesimos);
}

TEST(FormatoTotal, CentimosAlEnteroMasCercanoMitadesHaciaArriba) {
    const struct {
        std::int64_t raw;
        const char* texto;
    } casos[] = {
        {12345000, "1235"}, {12344900, "1234"}, {0, "0"},
        {5000, "1"},        {4999, "0"},        {10000, "1"},
        {15000, "2"},       {25000, "3"},       {999999999999994900LL, "99999999999999"},
    };
    for (const auto& c : casos) EXPECT_EQ(importacion::FormatoTotal(C(c.raw)), c.texto) << c.raw;
}

// Every total goes to the column of its own box: each parameter carries its
// box number (plus a quarter, rounded away), so a crossed column shows.
TEST_F(Transferencia, CadaTotalEnLaColumnaDeSuCasilla) {
    shell::G().gsPeriodo = "201501";
    const struct {
        const char* extension;
        const char* mto302;  // the reversal file carries 350 and 450 there
        const char* mto322;
    } casos[] = {
        {"mov", "302", "322"},
        {"ext", "351", "450"},  // 350.50 rounds up
        {"EXT", "351", "450"},  // the picked file's own capitals
    };
    for (const auto& caso : casos) {
        db_->Execute("DELETE * FROM EFCONTROL");
        const std::string F = Base("201501") + caso.extension;
        Escribe(F, {"x|"});
        auto m = [](int casilla) { return C(casilla * 10000LL + 2500); };
        importacion::TotalesMov mov;
        mov.dMto302 = m(302);
        mov.dMto322 = m(322);
        mov.dMto402 = m(402);
        mov.dMto422 = m(422);
        importacion::TotalesExt ext;
        ext.dMto306 = m(306);
        ext.dMto326 = m(326);
        ext.dMto303 = m(303);
        ext.dMto323 = m(323);
        ext.dMto324 = m(324);
        ext.dMto403 = m(403);
        ext.dMto423 = m(423);
        ext.dMto424 = m(424);
        ext.dMto406 = m(406);
        ext.dMto426 = m(426);
        ext.dMto350 = C(3505000);
        ext.dMto450 = m(450);
        importacion::GraboControlF787(F, "123", 7, mov, ext);
        auto fila = Control(vb::UCase(caso.extension));
        ASSERT_FALSE(fila.empty()) << caso.extension;
        EXPECT_EQ(fila["mto_302"], caso.mto302) << caso.extension;
        EXPECT_EQ(fila["mto_322"], caso.mto322) << caso.extension;
        for (const char* c :
             {"306", "326", "303", "323", "324", "402", "422", "403", "423", "424", "406", "426"})
            EXPECT_EQ(fila[std::string("mto_") + c], c) << caso.extension;
        EXPECT_EQ(fila["mto_305"], "303");
        EXPECT_EQ(fila["mto_325"], "647");  // 323 + 324
        EXPECT_EQ(fila["num_tuplas"], "7");
        EXPECT_EQ(fila["marca"], "123");
        EXPECT_EQ(fila["nomarc"], vb::UCase("0787201501" + kRuc + "." + caso.extension));
        EXPECT_EQ(fila["tip_doc_d"], "6");
        EXPECT_EQ(fila["periodo"], "201501");
        EXPECT_EQ(fila["formulario"], "0787");
        EXPECT_EQ(fila["semana"], "0");
    }
}

// The control code is taken over the finished row, in table order.
TEST_F(Transferencia, CodigoDeControlSobreLaFilaTerminada) {
    shell::G().gsPeriodo = "201501";
    const std::string F = Base("201501") + "mov";
    Escribe(F, {"x|"});
    importacion::TotalesMov mov;
    mov.dMto302 = C(10000);
    mov.dMto322 = C(20000);
    mov.dMto402 = C(30000);
    mov.dMto422 = C(40000);
    importacion::GraboControlF787(F, "998877", 3, mov, {});
    auto rs = db_->OpenRecordset("SELECT * FROM EFCONTROL", jet::dbOpenSnapshot);
    ASSERT_FALSE(rs->Eof());
    const std::vector<vb::Variant> fila = rs->CurrentRow();
    EXPECT_EQ(rs->Fields(rs->FieldCount() - 1).Name(), "cnumero");
    EXPECT_EQ(rs->Fields("cnumero").Value().Str(), shell::CalculaCNumero(fila, 6));
}

// mto_325 adds two totals and can outgrow its column: the engine refuses it
// and no row is left.
TEST_F(Transferencia, SumaDeExtornosDemasiadoLarga) {
    shell::G().gsPeriodo = "201501";
    const std::string F = Base("201501") + "ext";
    Escribe(F, {"x|"});
    const vb::Currency grande = vb::Currency::FromLong(900000000000000LL);
    const vb::Currency otro = vb::Currency::FromLong(200000000000000LL);
    try {
        importacion::TotalesExt ext;
        ext.dMto323 = grande;
        ext.dMto324 = otro;
        importacion::GraboControlF787(F, "1", 1, {}, ext);
        ADD_FAILURE() << "no error";
    } catch (const vb::VbError& e) {
        EXPECT_EQ(e.Number(), 3163);
    }
    EXPECT_EQ(Filas("EFCONTROL"), 0);
}

TEST_F(Transferencia, TablaDeEnvioSegunLaClase) {
    std::string nombre = "/a/b/0787201501" + kRuc + ".ext";
    EXPECT_EQ(importacion::NomEnv(nombre), "T787EXT");
    EXPECT_EQ(nombre, "EXT");  // the caller's text is overwritten
    nombre = "x.Mov";
    EXPECT_EQ(importacion::NomEnv(nombre), "T787MOV");
    db_->Execute("DELETE * FROM ENVIO_T");
    nombre = "x.mov";
    EXPECT_EQ(importacion::NomEnv(nombre), "");

    // Without a submission table the row still goes in, with an empty tab_d.
    shell::G().gsPeriodo = "201501";
    Escribe(Base("201501") + "mov", {Mov("12345678", "1.00", "1.00")});
    Vista v;
    v.marcados = {2};
    EXPECT_TRUE(importacion::Transferencia(Base("201501"), v));
    for (const auto& a : avisos_.avisos) ADD_FAILURE() << a.texto;
    auto fila = Control("MOV");
    ASSERT_FALSE(fila.empty());
    EXPECT_TRUE(fila["tab_d"] == "" || fila["tab_d"] == "<null>") << fila["tab_d"];
}

// The declaration is complete with exactly two rows; a third (a file of
// another name) or a row of another week does not count as complete.
TEST_F(Transferencia, DeclaracionCompletaConDosRegistros) {
    shell::G().gsPeriodo = "201501";
    auto graba = [&](const std::string& extension) {
        const std::string F = Base("201501") + extension;
        Escribe(F, {"x|"});
        importacion::GraboControlF787(F, "1", 1, {}, {});
    };
    EXPECT_FALSE(importacion::VerificoArch());
    graba("mov");
    EXPECT_FALSE(importacion::VerificoArch());
    EXPECT_EQ(importacion::VerificoTablaControl(true, true),
              "El archivo de movimientos ya ha sido validado anteriormente\r");
    EXPECT_EQ(importacion::VerificoTablaControl(false, true), "");
    graba("ext");
    EXPECT_TRUE(importacion::VerificoArch());
    EXPECT_EQ(importacion::VerificoTablaControl(false, true),
              "El archivo de extornos ya ha sido validado anteriormente\r");
    shell::G().gnSemana = 1;  // another week is another declaration
    EXPECT_FALSE(importacion::VerificoArch());
    EXPECT_EQ(importacion::VerificoTablaControl(true, true), "");
    shell::G().gnSemana = 0;
    datos_ += "otra/";
    fs::create_directories(datos_);
    const std::string otro = datos_ + "0787201501" + "20100123454" + ".mov";
    Escribe(otro, {"x|"});
    importacion::GraboControlF787(otro, "1", 1, {}, {});
    EXPECT_EQ(Filas("EFCONTROL"), 3);
    EXPECT_FALSE(importacion::VerificoArch());
}

// The header exists for the import in any week; writing it over an existing
// one only marks it validated again.
TEST_F(Transferencia, CabeceraDeLaDeclaracion) {
    auto& g = shell::G();
    g.gsPeriodo = "201501";
    g.gnSemana = 1;
    importacion::GraboCabecera();
    g.gnSemana = 0;
    EXPECT_TRUE(importacion::ExisteDeclaracion());
    g.gsPeriodo = "201502";
    EXPECT_FALSE(importacion::ExisteDeclaracion());

    importacion::GraboCabecera();
    auto lee = [&] {
        return db_->OpenRecordset("SELECT * FROM CAB WHERE PERIODO='201502'", jet::dbOpenSnapshot);
    };
    {
        auto rs = lee();
        ASSERT_FALSE(rs->Eof());
        EXPECT_EQ(rs->Fields("estado").Value().NumberValue(), 9);
        EXPECT_EQ(rs->Fields("tip_doc_d").Value().NumberValue(), 6);
        EXPECT_EQ(rs->Fields("fec_pro").Value().Str(),
                  vb::Format(vb::Variant(vb::Today()), "dd/mm/yyyy"));
        EXPECT_EQ(rs->Fields("cNumero").Value().Str(), shell::CalculaCNumero(rs->CurrentRow(), 5));
    }
    db_->Execute("UPDATE CAB SET estado=0, fec_pro='01/01/2015' WHERE PERIODO='201502'");
    importacion::GraboCabecera();
    auto rs = lee();
    EXPECT_EQ(rs->Fields("estado").Value().NumberValue(), 9);
    EXPECT_EQ(rs->Fields("fec_pro").Value().Str(), "01/01/2015");
    EXPECT_EQ(rs->Fields("cNumero").Value().Str(), shell::CalculaCNumero(rs->CurrentRow(), 5));
    rs->MoveNext();
    EXPECT_TRUE(rs->Eof());
}

}  // namespace

namespace {

// Something a case arranges for the length of a test and undoes at its end.
class Arreglo {
  public:
    virtual ~Arreglo() = default;
    virtual bool Activo() const = 0;  // false: it could not be made here
};

// A file or folder made immutable for the length of a test (as root,
// permissions do not stop writes); nothing when the file system will not.
class Inmutable : public Arreglo {
  public:
    explicit Inmutable(const std::string& ruta) : ruta_(ruta) {
        activo_ = std::system(("chattr +i '" + ruta_ + "' 2>/dev/null").c_str()) == 0;
    }
    ~Inmutable() override {
        if (activo_) std::system(("chattr -i '" + ruta_ + "' 2>/dev/null").c_str());
    }
    bool Activo() const override { return activo_; }

  private:
    std::string ruta_;
    bool activo_ = false;
};

// A file system of `bytes` mounted on a new folder for the length of a test,
// in a mount namespace of this process alone (so nobody else sees it);
// nothing where this process may not mount one.
class DiscoPequenio : public Arreglo {
  public:
    DiscoPequenio(const std::string& carpeta, std::size_t bytes) : carpeta_(carpeta) {
        fs::create_directories(carpeta);
        activo_ = unshare(CLONE_NEWNS) == 0 &&
                  mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                  mount("pruebas", carpeta.c_str(), "tmpfs", MS_NOSUID | MS_NODEV,
                        ("size=" + std::to_string(bytes)).c_str()) == 0;
    }
    ~DiscoPequenio() override {
        if (activo_) umount2(carpeta_.c_str(), MNT_DETACH);
    }
    bool Activo() const override { return activo_; }

  private:
    std::string carpeta_;
    bool activo_ = false;
};

// A folder path longer than the system takes (4,096 bytes), made of names it
// would take one by one.
std::string CarpetaDemasiadoLarga() {
    std::string c = std::string(250, 'a');
    while (c.size() <= 4096) c += "/" + std::string(250, 'a');
    return c;
}

std::string Lee(const std::string& ruta) {
    std::ifstream f(ruta, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

// What a hostile movements file may be. Each case must end in one clear
// message naming the file, with the database and the reversal file (already
// validated) left as they were.
struct Defecto {
    const char* nombre;
    // Prepares the movements file F (and may return a guard); empty text
    // when the case cannot be made here.
    std::function<std::string(const std::string& F, std::unique_ptr<Arreglo>& guarda)> prepara;
    const char* mensaje;  // the start of the message, before the file name
    const char* motivo;   // what the message says after it
    std::function<void(const std::string& F)> alValidar;  // runs as the parse begins
    std::string carpeta = {};  // the movements file's folder in the data folder ("": that one)
};

class EntradaDefectuosa : public Transferencia, public ::testing::WithParamInterface<Defecto> {};

TEST_P(EntradaDefectuosa, MensajeClaroYNadaMasCambia) {
    const Defecto& d = GetParam();
    shell::G().gsPeriodo = "201501";
    const std::string B = Base("201501");
    Escribe(B + "ext", {Ext("12345678", "1", "20.00", "2.00")});
    {
        Vista v;
        v.marcados = {3};
        ASSERT_TRUE(importacion::Transferencia(B, v));
    }
    const auto ext = Lee(B + "ext");
    const auto control = Control("EXT");
    ASSERT_FALSE(control.empty());

    std::unique_ptr<Arreglo> guarda;
    const std::string Bm =
        d.carpeta.empty() ? B : datos_ + d.carpeta + "/" + B.substr(datos_.size());
    const std::string F = Bm + "mov";
    const std::string falta = d.prepara(F, guarda);
    if (!falta.empty()) GTEST_SKIP() << falta;

    class VistaQueBorra : public Vista {
      public:
        std::function<void()> alEmpezar;
        void Etapa(const std::string& t) override {
            Vista::Etapa(t);
            if (t.rfind("Verificando la estructura", 0) == 0 && alEmpezar) alEmpezar();
        }
    } v;
    v.marcados = {2};
    if (d.alValidar) v.alEmpezar = [&] { d.alValidar(F); };
    EXPECT_FALSE(importacion::Transferencia(Bm, v));
    guarda.reset();

    ASSERT_EQ(avisos_.avisos.size(), 1u);
    const std::string& texto = avisos_.avisos[0].texto;
    EXPECT_EQ(texto.rfind(std::string(d.mensaje) + F, 0), 0u) << texto;
    EXPECT_NE(texto.find(d.motivo, std::string(d.mensaje).size() + F.size()), std::string::npos)
        << texto;
    EXPECT_EQ(avisos_.avisos[0].titulo, "Validar Archivos");
    EXPECT_TRUE(Control("MOV").empty());
    EXPECT_EQ(Control("EXT"), control);
    EXPECT_EQ(Filas("EFCONTROL"), 1);
    EXPECT_EQ(Filas("CAB"), 0);
    EXPECT_EQ(Lee(B + "ext"), ext);
    std::error_code ec;  // a name the system refuses names no file
    EXPECT_FALSE(fs::is_regular_file(F + "out", ec));
    EXPECT_FALSE(fs::exists(Bm + "dbmov", ec));
}

std::string Binario(std::size_t n) {
    std::string s(n, '\0');
    unsigned x = 12345;
    for (auto& c : s) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 16);
    }
    return s;
}

void EscribeBytes(const std::string& ruta, const std::string& bytes) {
    std::ofstream(ruta, std::ios::binary) << bytes;
}

const std::string kMovValido = "01|12345678||01|01|02||100.00|18.00|0.00|||||||";

INSTANTIATE_TEST_SUITE_P(
    Transferencia, EntradaDefectuosa,
    ::testing::Values(
        Defecto{"Binario",
                [](const std::string& F, auto&) {
                    EscribeBytes(F, Binario(1 << 16));
                    return std::string();
                },
                // What is left after the filter repeats itself or breaks the
                // record rules: either message names its list.
                "El archivo ", " tiene ", nullptr},
        Defecto{"BytesNulos",
                [](const std::string& F, auto&) {
                    EscribeBytes(F, std::string(5000, '\0') + "\r\n" + kMovValido + "\r\n" +
                                        std::string(3, '\0') + kMovValido.substr(0, 20) + "\r\n");
                    return std::string();
                },
                "El archivo ", " tiene errores ", nullptr},
        Defecto{"LineaDeUnMillon",
                [](const std::string& F, auto&) {
                    EscribeBytes(F, kMovValido + "\r\n" + std::string(1000000, '7') + "|\r\n");
                    return std::string();
                },
                "El archivo ", " tiene errores ", nullptr},
        Defecto{"LineaDeUnMillonDeCampos",
                [](const std::string& F, auto&) {
                    std::string l;
                    for (int i = 0; i < 500000; ++i) l += "1|";
                    EscribeBytes(F, l + "\r\n");
                    return std::string();
                },
                "El archivo ", " tiene errores ", nullptr},
        Defecto{"ArchivoAusente", [](const std::string&, auto&) { return std::string(); },
                "Ocurrió un error al procesar el archivo ", "El archivo no existe.", nullptr},
        Defecto{"EnlaceRoto",
                [](const std::string& F, auto&) {
                    fs::create_symlink(F + ".no-existe", F);
                    return std::string();
                },
                "Ocurrió un error al procesar el archivo ", "El archivo no existe.", nullptr},
        Defecto{"DesapareceAlValidar",
                [](const std::string& F, auto&) {
                    EscribeBytes(F, kMovValido + "\r\n");
                    return std::string();
                },
                "Ocurrió un error al validar el archivo ", ": Archivo no encontrado",
                [](const std::string& F) { fs::remove(F); }},
        Defecto{"ErroresEsUnaCarpeta",
                [](const std::string& F, auto&) {
                    EscribeBytes(F, kMovValido + "\r\n");
                    fs::create_directories(F + "err");
                    return std::string();
                },
                "Ocurrió un error al procesar el archivo ", "No se puede crear el archivo ",
                nullptr},
        Defecto{"CopiaDepuradaEsUnaCarpeta",
                [](const std::string& F, auto&) {
                    EscribeBytes(F, kMovValido + "\r\n");
                    fs::create_directories(F + "out/x");
                    return std::string();
                },
                "Ocurrió un error al procesar el archivo ", "No se puede crear el archivo ",
                nullptr},
        Defecto{"NoSePuedeReescribir",
                [](const std::string& F, std::unique_ptr<Arreglo>& g) {
                    EscribeBytes(F, kMovValido + "#\r\n");
                    g = std::make_unique<Inmutable>(F);
                    return g->Activo() ? std::string() : std::string("chattr not available");
                },
                "Ocurrió un error al procesar el archivo ",
                "No se pudo reemplazar el archivo por su copia depurada", nullptr},
        Defecto{"CarpetaSinEscritura",
                [](const std::string& F, std::unique_ptr<Arreglo>& g) {
                    EscribeBytes(F, kMovValido + "\r\n");
                    g = std::make_unique<Inmutable>(F.substr(0, F.rfind('/')));
                    return g->Activo() ? std::string() : std::string("chattr not available");
                },
                "Ocurrió un error al procesar el archivo ", "No se puede escribir en la carpeta ",
                nullptr},
        Defecto{"DiscoLleno",
                [](const std::string& F, std::unique_ptr<Arreglo>& g) {
                    // Room for the data file, not for its cleaned copy beside it.
                    g = std::make_unique<DiscoPequenio>(F.substr(0, F.rfind('/')), 64 * 1024);
                    if (!g->Activo()) return std::string("cannot mount a small file system here");
                    std::string datos;
                    while (datos.size() < 40 * 1024) datos += kMovValido + "\r\n";
                    EscribeBytes(F, datos);
                    return std::string();
                },
                "Ocurrió un error al procesar el archivo ", "\n Disco lleno.", nullptr, "lleno"},
        // The system refuses such a name before it looks for the file.
        Defecto{"NombreDemasiadoLargo", [](const std::string&, auto&) { return std::string(); },
                "Ocurrió un error al procesar el archivo ",
                "\n El nombre del archivo es demasiado largo.", nullptr, CarpetaDemasiadoLarga()}),
    [](const ::testing::TestParamInfo<Defecto>& i) { return std::string(i.param.nombre); });

}  // namespace

namespace {

// A control record that the engine refuses (here a duplicate key of a stricter
// host table) is said, never passed over as a success.
TEST_F(Transferencia, RegistroDeControlRechazadoPorElMotor) {
    shell::G().gsPeriodo = "201501";
    db_->Execute("ALTER TABLE EFCONTROL ADD CONSTRAINT UQ_PRUEBA UNIQUE ([doc_id_d])");
    const std::string B = Base("201501");
    Escribe(B + "mov", {Mov("12345678", "1.00", "1.00")});
    Escribe(B + "ext", {Ext("12345678", "1", "20.00", "2.00")});
    Vista v;
    v.marcados = {2, 3};
    EXPECT_FALSE(importacion::Transferencia(B, v));
    ASSERT_EQ(avisos_.avisos.size(), 1u);
    EXPECT_EQ(avisos_.avisos[0].texto.rfind(
                  "No se pudo grabar el registro de control del archivo " + B + "ext: ", 0),
              0u)
        << avisos_.avisos[0].texto;
    EXPECT_FALSE(Control("MOV").empty());
    EXPECT_TRUE(Control("EXT").empty());
}

}  // namespace

namespace {

// A data file longer than the 32-bit size column is refused, not stored with
// a wrapped size.
TEST_F(Transferencia, ArchivoMayorQueLaColumnaDeTamanio) {
    shell::G().gsPeriodo = "201501";
    const std::string F = Base("201501") + "mov";
    Escribe(F, {"x|"});
    std::error_code ec;
    fs::resize_file(F, (std::uintmax_t(1) << 31) + 10, ec);  // sparse: no disk is used
    if (ec) GTEST_SKIP() << ec.message();
    try {
        importacion::GraboControlF787(F, "1", 1, {}, {});
        ADD_FAILURE() << "no error";
    } catch (const vb::VbError& e) {
        EXPECT_EQ(e.Number(), vb::kOverflow);
    }
    EXPECT_EQ(Filas("EFCONTROL"), 0);
}

}  // namespace

namespace {

// A folder deeper than the 255 characters of its column is named as the
// cause, not the totals.
TEST_F(Transferencia, CarpetaDemasiadoLargaParaSuColumna) {
    shell::G().gsPeriodo = "201501";
    datos_ += std::string(120, 'a') + "/" + std::string(120, 'b') + "/";
    fs::create_directories(datos_);
    const std::string B = Base("201501");
    Escribe(B + "mov", {Mov("12345678", "1.00", "1.00")});
    Vista v;
    v.marcados = {2};
    EXPECT_FALSE(importacion::Transferencia(B, v));
    ASSERT_EQ(avisos_.avisos.size(), 1u);
    EXPECT_EQ(
        avisos_.avisos[0].texto.rfind("La ruta del archivo " + B + "mov es demasiado larga", 0), 0u)
        << avisos_.avisos[0].texto;
    EXPECT_TRUE(Control("MOV").empty());
}

}  // namespace

namespace {

// Arms a refused rename that leaves the disk full behind it (a file-size
// limit of 20 bytes), the way a replacement can fail half-way.
std::atomic<bool> gRenombreFalla{false};

}  // namespace

extern "C" int rename(const char* desde, const char* hacia) noexcept {
    if (gRenombreFalla.exchange(false)) {
        struct rlimit lim;
        getrlimit(RLIMIT_FSIZE, &lim);
        lim.rlim_cur = 20;
        setrlimit(RLIMIT_FSIZE, &lim);
        errno = EPERM;
        return -1;
    }
    using Fn = int (*)(const char*, const char*);
    static const Fn real = reinterpret_cast<Fn>(dlsym(RTLD_NEXT, "rename"));
    return real(desde, hacia);
}

// Another program at work while the import puts the cleaned copy in place:
// when armed, runs once at the first flush of a cleaned copy ("...out").
std::function<void()> gAlSincronizarCopia;

extern "C" int fsync(int fd) {
    if (gAlSincronizarCopia) {
        char ruta[4096];
        const ssize_t n =
            readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), ruta, sizeof ruta - 1);
        const std::string nombre(ruta, n > 0 ? static_cast<std::size_t>(n) : 0);
        if (nombre.size() > 3 && nombre.compare(nombre.size() - 3, 3, "out") == 0)
            std::exchange(gAlSincronizarCopia, nullptr)();
    }
    using Fn = int (*)(int);
    static const Fn real = reinterpret_cast<Fn>(dlsym(RTLD_NEXT, "fsync"));
    return real(fd);
}

namespace {

// The user's data file is only ever replaced whole by the copy this run
// cleaned, keeps its permissions, and is left alone when nothing changed or
// another import is validating it.
TEST_F(Transferencia, ElArchivoDeDatosQuedaEntero) {
    shell::G().gsPeriodo = "201501";
    const std::string F = Base("201501") + "mov";
    const std::string valido = kMovValido + "\r\n";
    const std::string conBasura = kMovValido + "#\r\n";
    const std::string conVacia = valido + "\r\n";
    const std::string viejo = "01|99999999||01|01|02||900.00|18.00|0.00|||||||\r\n";
    const std::string guardadoDespues = conBasura + viejo;
    struct Caso {
        const char* nombre;
        const char* datos;  // nullptr: no data file
        mode_t modo;
        std::function<void()> prepara;
        const char* queda;  // nullptr: still no data file
        bool pasa, mismoArchivo;
        std::string aviso = {};       // the message's start ("": the failed replacement's)
        const char* copia = nullptr;  // what F & "out" holds after the run (nullptr: none)
    };
    int cerrojo = -1;  // another import's lock on the file
    auto otroValida = [&] {
        EscribeBytes(F + "out", viejo);  // its copy, half written
        cerrojo = open((F + "lck").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        ASSERT_EQ(flock(cerrojo, LOCK_EX | LOCK_NB), 0);
    };
    const std::vector<Caso> casos = {
        {"copia vieja sin archivo", nullptr, 0644, [&] { EscribeBytes(F + "out", viejo); }, nullptr,
         false, false},
        {"copia vieja y registro imposible", conBasura.c_str(), 0644,
         [&] {
             EscribeBytes(F + "out", viejo);
             fs::create_directory(F + "err");
         },
         conBasura.c_str(), false, true},
        {"reemplazo imposible y disco lleno", conBasura.c_str(), 0644,
         [&] { gRenombreFalla = true; }, conBasura.c_str(), false, true},
        {"depurado conserva permisos", conBasura.c_str(), 0600, nullptr, valido.c_str(), true,
         false},
        {"sin cambios no se reescribe", valido.c_str(), 0640, nullptr, valido.c_str(), true, true},
        {"linea vacia se quita", conVacia.c_str(), 0644, nullptr, valido.c_str(), true, false},
        {"guardado por otro mientras se depura", conBasura.c_str(), 0644,
         [&] {
             gAlSincronizarCopia = [&] {
                 std::ofstream(F, std::ios::binary | std::ios::app) << viejo;
             };
         },
         guardadoDespues.c_str(), false, true},
        {"copia reemplazada por otro programa", conBasura.c_str(), 0644,
         [&] {
             gAlSincronizarCopia = [&] {
                 EscribeBytes(F + "otra", viejo);
                 fs::rename(F + "otra", F + "out");
             };
         },
         conBasura.c_str(), false, true,
         "Ocurrió un error al procesar el archivo " + F +
             "\n No se pudo reemplazar el archivo por su copia depurada: Otro programa "
             "reemplazó la copia depurada.\r",
         viejo.c_str()},
        {"otra importacion lo esta validando", conBasura.c_str(), 0644, otroValida,
         conBasura.c_str(), false, true,
         "El archivo " + F + " está siendo validado por otro programa.", viejo.c_str()},
    };
    const auto senal = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limite;
    getrlimit(RLIMIT_FSIZE, &limite);
    for (const Caso& c : casos) {
        for (const char* resto : {"", "out", "err", "lck"}) fs::remove_all(F + resto);
        db_->Execute("DELETE * FROM EFCONTROL");
        avisos_.avisos.clear();
        struct stat antes {};
        if (c.datos) {
            EscribeBytes(F, c.datos);
            fs::permissions(F, static_cast<fs::perms>(c.modo));
            stat(F.c_str(), &antes);
        }
        if (c.prepara) c.prepara();
        Vista v;
        v.marcados = {2};
        EXPECT_EQ(importacion::Transferencia(Base("201501"), v), c.pasa) << c.nombre;
        setrlimit(RLIMIT_FSIZE, &limite);
        gRenombreFalla = false;
        gAlSincronizarCopia = nullptr;
        EXPECT_EQ(fs::exists(F + "lck"), cerrojo >= 0) << c.nombre;  // the holder's only
        if (cerrojo >= 0) close(std::exchange(cerrojo, -1));
        if (!c.queda) {
            EXPECT_FALSE(fs::exists(F)) << c.nombre;
        } else {
            EXPECT_EQ(Lee(F), c.queda) << c.nombre;
            struct stat despues {};
            stat(F.c_str(), &despues);
            EXPECT_EQ(despues.st_mode & 07777, c.modo) << c.nombre;
            EXPECT_EQ(despues.st_ino == antes.st_ino, c.mismoArchivo) << c.nombre;
        }
        if (!c.copia) {
            EXPECT_FALSE(fs::exists(F + "out")) << c.nombre;
        } else {
            EXPECT_EQ(Lee(F + "out"), c.copia) << c.nombre;
        }
        EXPECT_TRUE(Control("MOV").empty() || c.pasa) << c.nombre;
        EXPECT_EQ(avisos_.avisos.size(), c.pasa ? 0u : 1u) << c.nombre;
        const std::string aviso =
            c.aviso.empty() ? "Ocurrió un error al procesar el archivo " + F : c.aviso;
        for (const auto& a : avisos_.avisos)
            EXPECT_EQ(a.texto.rfind(aviso, 0), 0u) << c.nombre << ": " << a.texto;
    }
    std::signal(SIGXFSZ, senal);
}

}  // namespace

namespace {

// Two imports of one data file at once (two sessions, two users), one of
// them killed at a random moment: the data file is always the whole original
// or the whole cleaned copy, and an import that finds the file being
// validated says so and touches nothing. The last record repeats the first,
// so each import ends at the duplicate check, before the database.
TEST_F(Transferencia, DosImportacionesDeUnArchivoALaVez) {
    shell::G().gsPeriodo = "201501";
    const std::string B = Base("201501");
    const std::string F = B + "mov";
    std::string original, depurado;
    for (int i = 0; i <= 15000; ++i) {
        const std::string linea = Mov(std::to_string(10000000 + i % 15000), "1.00", "1.00");
        original += linea + "#\r\n";
        depurado += linea + "\r\n";
    }
    // How a child's import ended.
    enum Fin { kDuplicados = 10, kOcupado, kOtro };
    auto importa = [&](int demoraUs) {
        const pid_t pid = fork();
        if (pid == 0) {
            usleep(static_cast<useconds_t>(demoraUs));
            Vista v;
            v.marcados = {2};
            importacion::Transferencia(B, v);
            const std::string t = avisos_.avisos.empty() ? "" : avisos_.avisos[0].texto;
            _exit(t == "El archivo " + F +
                              " tiene duplicados \n verifique los duplicados en: " + F + "err\r"
                      ? kDuplicados
                  : t.rfind("El archivo " + F + " está siendo validado por otro programa.", 0) == 0
                      ? kOcupado
                      : kOtro);
        }
        return pid;
    };
    // One whole import, to spread the kills over it.
    EscribeBytes(F, original);
    const auto inicio = std::chrono::steady_clock::now();
    int estado = 0;
    waitpid(importa(0), &estado, 0);
    ASSERT_TRUE(WIFEXITED(estado) && WEXITSTATUS(estado) == kDuplicados) << estado;
    ASSERT_EQ(Lee(F), depurado);
    const int duracionUs = static_cast<int>(std::chrono::duration_cast<std::chrono::microseconds>(
                                                std::chrono::steady_clock::now() - inicio)
                                                .count());

    const unsigned semilla = std::random_device{}();
    SCOPED_TRACE("semilla " + std::to_string(semilla));
    std::mt19937 azar(semilla);
    std::uniform_int_distribution<int> momento(0, duracionUs);
    for (int ronda = 0; ronda < 16; ++ronda) {
        EscribeBytes(F, original);  // what a killed import left beside it stays
        const pid_t hijos[2] = {importa(0), importa(momento(azar) / 2)};
        const int victima = static_cast<int>(azar() % 2);
        usleep(static_cast<useconds_t>(momento(azar)));
        kill(hijos[victima], SIGKILL);
        for (int i = 0; i < 2; ++i) {
            waitpid(hijos[i], &estado, 0);
            if (WIFEXITED(estado)) {
                EXPECT_NE(WEXITSTATUS(estado), kOtro) << "ronda " << ronda;
            }
        }
        const std::string queda = Lee(F);
        EXPECT_TRUE(queda == original || queda == depurado)
            << "ronda " << ronda << ": " << queda.size() << " bytes";
    }
}

// Two imports of both files of one declaration started together, as the form
// runs them (the header when both control records exist): every time one of
// them validates both kinds and writes the header, and the other finds the
// files busy and says so, with nothing of its own done.
TEST_F(Transferencia, DosImportacionesDeLosDosArchivosALaVez) {
    shell::G().gsPeriodo = "201501";
    const std::string B = Base("201501");
    std::vector<std::string> mov, ext;
    for (int i = 0; i < 15000; ++i) {
        mov.push_back(Mov(std::to_string(10000000 + i), "1.00", "1.00"));
        ext.push_back(Ext(std::to_string(10000000 + i), "1", "1.00", "1.00"));
    }
    Escribe(B + "mov", mov);
    Escribe(B + "ext", ext);
    // How a child's import ended.
    enum Fin { kCabecera = 10, kOcupado, kOtro };
    auto ocupado = [&](const char* clase) {
        return "El archivo " + B + clase +
               " está siendo validado por otro programa. Espere a que termine y vuelva a "
               "intentarlo.\r";
    };
    // Each child opens the database for itself.
    auto cierra = [&] {
        shell::G().gdbBase = nullptr;
        db_.reset();
    };
    auto abre = [&] {
        db_ = hostkit::AbreHost(inst_);
        shell::G().gdbBase = db_.get();
    };
    cierra();
    for (int ronda = 0; ronda < 6; ++ronda) {
        int salida[2];
        ASSERT_EQ(pipe(salida), 0);
        pid_t hijos[2];
        for (pid_t& hijo : hijos) {
            hijo = fork();
            if (hijo == 0) {
                close(salida[1]);
                abre();
                char c;
                const ssize_t n = read(salida[0], &c, 1);  // both start together
                (void)n;
                Vista v;
                v.marcados = {2, 3};
                const bool paso = importacion::Transferencia(B, v);
                if (paso && importacion::VerificoArch()) {
                    importacion::GraboCabecera();
                    _exit(kCabecera);
                }
                const std::string t = avisos_.avisos.size() == 1 ? avisos_.avisos[0].texto : "";
                _exit(!paso && (t == ocupado("mov") || t == ocupado("ext")) ? kOcupado : kOtro);
            }
        }
        close(salida[0]);
        close(salida[1]);
        std::multiset<int> fines;
        for (pid_t hijo : hijos) {
            int estado = 0;
            waitpid(hijo, &estado, 0);
            fines.insert(WIFEXITED(estado) ? WEXITSTATUS(estado) : -1);
        }
        EXPECT_EQ(fines, (std::multiset<int>{kCabecera, kOcupado})) << "ronda " << ronda;
        abre();
        EXPECT_EQ(Control("MOV")["num_tuplas"], "15000") << "ronda " << ronda;
        EXPECT_EQ(Control("EXT")["num_tuplas"], "15000") << "ronda " << ronda;
        EXPECT_EQ(Filas("CAB"), 1) << "ronda " << ronda;
        for (const char* resto : {"movlck", "extlck", "moverr", "exterr"})
            EXPECT_FALSE(fs::exists(B + resto)) << "ronda " << ronda << ": " << resto;
        db_->Execute("DELETE * FROM EFCONTROL");
        db_->Execute("DELETE * FROM CAB");
        cierra();
    }
    abre();
}

}  // namespace
