// Record checks of the movements and reversals files, run on generated files
// with the catalogue lists passed in.
#include "import/mensajes.h"
#include "import/movimientos.h"
#include "import/reversiones.h"
#include "import/valores.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <vector>

#include "tools/gendata/generador.h"
#include "pruebas/host.h"
#include "shell/avisos.h"
#include "validator/validator.h"
#include "vb/error.h"
#include "vb/files.h"
#include "vb/text.h"

namespace fs = std::filesystem;
using importacion::TotalesExt;
using vb::Currency;

namespace {

const std::string kRuc = gen::Ruc(12345678, "20");
const std::string kOtroRuc = gen::Ruc(87654321, "20");

// kOtroRuc with another check digit.
std::string RucMalo() {
    std::string r = kOtroRuc;
    r.back() = static_cast<char>('0' + (r.back() - '0' + 1) % 10);
    return r;
}

Currency Cur(double units) {
    return Currency::FromRaw(static_cast<std::int64_t>(units * 10000 + (units >= 0 ? 0.5 : -0.5)));
}

importacion::Listas ListasMuestra(bool extornos, const std::string& periodo) {
    gen::Catalogo c;
    importacion::Listas l;
    for (auto& [n, f] : c.tiposDocumento) l.tiposDocumento[static_cast<std::size_t>(n)] = f;
    l.tiposOperacion = c.tiposOperacion;
    l.tiposMovimiento = c.tiposMovimiento;
    l.modalidades = c.modalidades;
    l.paises = c.paises;
    if (extornos)
        l.codigosOperacion = c.codigos819 + "-" + c.codigos312;
    else
        l.codigosOperacion = periodo < "200712" ? c.codigos819 : c.codigos312;
    const std::string ext = c.tiposDocExtranjero, dir = c.tiposDireccion;
    l.existeTipoND = [ext, dir](std::string_view cat, std::string_view k) {
        const std::string& lista = cat == "875" ? ext : dir;
        return !k.empty() && lista.find("|" + std::string(k)) != std::string::npos;
    };
    return l;
}

std::string Une(const std::vector<std::string>& campos) {
    std::string s;
    for (const auto& c : campos) s += c + "|";
    return s;
}

// The lines the error file should hold for a record rejected with these
// codes, in order: each line repeats the earlier messages.
std::vector<std::string> Lineas(const std::string& registro,
                                const std::vector<std::string>& codigos) {
    std::vector<std::string> r;
    std::string l = registro;
    for (const auto& c : codigos) {
        l += importacion::MensajeError(c);
        r.push_back(l);
    }
    return r;
}

class Registros : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("import_reg_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        e_.ruc = kRuc;
        e_.validador = &val_;
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Escribe(const std::string& nombre, const std::vector<std::string>& lineas) {
        const std::string ruta = (dir_ / nombre).string();
        std::ofstream f(ruta, std::ios::binary);
        for (const auto& l : lineas) f << vb::Utf8ToCp1252(l) << "\r\n";
        // The error file is opened for appending: start each run without it.
        fs::remove(ruta + "err");
        return ruta;
    }

    // The error file as UTF-8 lines; empty when absent.
    std::vector<std::string> Errores(const std::string& ruta) {
        std::vector<std::string> r;
        std::ifstream f(ruta + "err", std::ios::binary);
        std::string l;
        while (std::getline(f, l)) {
            EXPECT_TRUE(!l.empty() && l.back() == '\r') << "line without CR LF";
            if (!l.empty() && l.back() == '\r') l.pop_back();
            r.push_back(vb::Cp1252ToUtf8(l));
        }
        return r;
    }

    std::string Mov(const std::string& periodo, const std::vector<std::string>& lineas) {
        e_.periodo = periodo;
        ruta_ = Escribe("0787" + periodo + kRuc + ".mov", lineas);
        auto l = ListasMuestra(false, periodo);
        return Toma(importacion::ImportoMov(e_, l, ruta_));
    }

    std::string Ext(const std::string& periodo, const std::vector<std::string>& lineas) {
        e_.periodo = periodo;
        ruta_ = Escribe("0787" + periodo + kRuc + ".ext", lineas);
        auto l = ListasMuestra(true, periodo);
        return Toma(importacion::ImportoExt(e_, l, ruta_));
    }

    // Keeps what a run gave back for the checks below.
    std::string Toma(const importacion::TotalesMov& r) {
        tuplas_ = r.dTotTupla;
        m402_ = r.dMto402;
        m422_ = r.dMto422;
        m302_ = r.dMto302;
        m322_ = r.dMto322;
        return r.resultado;
    }
    std::string Toma(const TotalesExt& r) {
        tuplas_ = r.dTotTupla;
        t_ = r;
        return r.resultado;
    }

    fs::path dir_;
    validator::cValidador val_;
    importacion::EntornoImportacion e_;
    std::string ruta_;
    double tuplas_ = -1;
    Currency m402_, m422_, m302_, m322_;
    TotalesExt t_;
};

// A valid movement of another holder for a period between 04/2011 and 09/2016.
std::vector<std::string> MovBase() {
    return {"06",    kOtroRuc, "", "01", "01", "02", "", "100.00",
            "18.00", "0.00",   "", "",   "",   "",   "", ""};
}
std::vector<std::string> Con(std::vector<std::string> c,
                             std::initializer_list<std::pair<int, const char*>> cambios) {
    for (auto& [i, v] : cambios) c[static_cast<std::size_t>(i - 1)] = v;
    return c;
}

struct CasoMov {
    const char* nombre;
    const char* periodo;
    std::vector<std::string> campos;
    std::vector<std::string> codigos;  // messages of the record, in order
    bool totalizado;
};

TEST_F(Registros, MovimientosCasoPorCaso) {
    const std::vector<CasoMov> casos = {
        {"valido", "201501", MovBase(), {}, true},
        {"propio con 08", "201501", Con(MovBase(), {{2, kRuc.c_str()}, {6, "08"}}), {}, true},
        {"ajeno con 08", "201501", Con(MovBase(), {{6, "08"}}), {"128"}, false},
        {"ruc mal digito", "201501", Con(MovBase(), {{2, RucMalo().c_str()}}), {"102"}, false},
        {"ruc de 12", "201501", Con(MovBase(), {{2, (kOtroRuc + "1").c_str()}}), {"102"}, false},
        {"ruc con blanco final",
         "201501",
         Con(MovBase(), {{2, (kOtroRuc + " ").c_str()}}),
         {"102"},
         false},
        {"pais en blancos", "201501", Con(MovBase(), {{3, "  "}}), {"170"}, true},
        {"codigo 13 con monto", "201501", Con(MovBase(), {{6, "13"}}), {"107"}, false},
        {"codigo 13 sin monto", "201501", Con(MovBase(), {{6, "13"}, {8, ""}}), {}, true},
        {"codigo 12 sin pais", "201501", Con(MovBase(), {{6, "12"}, {8, ""}}), {"103"}, false},
        {"codigo 12 con pais",
         "201501",
         Con(MovBase(), {{6, "12"}, {8, ""}, {7, "8809"}}),
         {},
         true},
        {"codigo 02 con pais", "201501", Con(MovBase(), {{7, "8809"}}), {"129"}, false},
        {"tipo de operacion 02", "201501", Con(MovBase(), {{4, "02"}}), {"104"}, false},
        {"movimiento 05", "201501", Con(MovBase(), {{5, "05"}}), {"105"}, false},
        {"codigo ausente", "201501", Con(MovBase(), {{6, "22"}}), {"106"}, false},
        {"monto malo y acumulado vacio",
         "201501",
         Con(MovBase(), {{8, "05.00"}, {10, ""}}),
         {"107", "135"},
         false},
        {"acumulado antes de 2011", "201012", MovBase(), {"136"}, true},
        {"impuesto malo", "201501", Con(MovBase(), {{9, "-1.00"}}), {"108"}, false},
        {"dni corto", "201501", Con(MovBase(), {{1, "01"}, {2, "1234567"}}), {"101"}, false},
        {"dni valido", "201501", Con(MovBase(), {{1, "01"}, {2, "12345678"}}), {}, true},
        {"tipo no admitido",
         "201501",
         Con(MovBase(), {{1, "03"}, {2, "12345678"}}),
         {"101"},
         false},
        {"tipo no numerico", "201501", Con(MovBase(), {{1, "A6"}}), {"100"}, false},
        {"tipo de tres", "201501", Con(MovBase(), {{1, "006"}}), {"100"}, false},
        {"tipo negativo", "201501", Con(MovBase(), {{1, "-1"}}), {"001"}, false},
        {"extranjero sin pais",
         "201501",
         Con(MovBase(), {{1, "04"}, {2, "AB1234"}}),
         {"103"},
         false},
        {"extranjero con 9589",
         "201501",
         Con(MovBase(), {{1, "04"}, {2, "AB1234"}, {3, "9589"}}),
         {"103"},
         false},
        {"movimiento 04 codigo 02", "201501", Con(MovBase(), {{5, "04"}}), {"127"}, false},
        {"movimiento 03 codigo 05 desde 2007",
         "200801",
         Con(MovBase(), {{5, "03"}, {6, "05"}, {10, ""}}),
         {"127"},
         false},
        {"movimiento 03 codigo 05 antes de 2007",
         "200701",
         Con(MovBase(), {{5, "03"}, {6, "05"}, {10, ""}}),
         {},
         true},
        {"movimiento 04 codigo 01 antes de 2007",
         "200701",
         Con(MovBase(), {{5, "04"}, {6, "01"}, {8, ""}, {10, ""}}),
         {},
         true},
        {"indicador antes de 2016", "201501", Con(MovBase(), {{13, "X1"}}), {"140"}, true},
        {"no domiciliado vacio en 12/2016",
         "201612",
         Con(MovBase(), {{1, "04"}, {2, "AB1234"}, {3, "8809"}}),
         {},
         true},
        {"no domiciliado vacio en 02/2017",
         "201702",
         Con(MovBase(), {{1, "04"}, {2, "AB1234"}, {3, "8809"}}),
         {"167"},
         true},
        {"no domiciliado completo",
         "201702",
         Con(MovBase(), {{1, "04"},
                         {2, "AB1234"},
                         {3, "8809"},
                         {11, "1"},
                         {12, "01"},
                         {13, "X123"},
                         {14, "01/01/1980"},
                         {15, "01"},
                         {16, "CALLE 1"}}),
         {},
         true},
        {"pasivo con tipo",
         "201702",
         Con(MovBase(), {{1, "04"}, {2, "AB1234"}, {3, "8809"}, {11, "0"}, {12, "01"}}),
         {"168"},
         true},
        // With the indicator "0" a given field logs 168 and is still checked
        // itself; the first step that logged anything ends the block.
        {"pasivo con tipo desconocido",
         "201702",
         Con(MovBase(), {{1, "04"}, {2, "AB1234"}, {3, "8809"}, {11, "0"}, {12, "99"}}),
         {"168", "160"},
         true},
        {"pasivo con numero largo y con signo",
         "201702",
         Con(MovBase(),
             {{1, "04"}, {2, "AB1234"}, {3, "8809"}, {11, "0"}, {13, "123456789012345678901#"}}),
         {"168", "165", "161"},
         true},
        {"pasivo con fecha invalida y direccion",
         "201702",
         Con(MovBase(),
             {{1, "04"}, {2, "AB1234"}, {3, "8809"}, {11, "0"}, {14, "31/02/1980"}, {16, "X"}}),
         {"168", "162"},
         true},
        {"pasivo con tipo de direccion desconocido",
         "201702",
         Con(MovBase(), {{1, "04"}, {2, "AB1234"}, {3, "8809"}, {11, "0"}, {15, "09"}}),
         {"168", "163"},
         true},
        {"activo sin tipo",
         "201702",
         Con(MovBase(), {{1, "04"}, {2, "AB1234"}, {3, "8809"}, {11, "1"}}),
         {"137"},
         true},
        {"tipo 02 con fecha",
         "201702",
         Con(MovBase(), {{1, "04"},
                         {2, "AB1234"},
                         {3, "8809"},
                         {11, "1"},
                         {12, "02"},
                         {13, "X1"},
                         {14, "01/01/1980"}}),
         {"149"},
         true},
        {"numero largo y con signo",
         "201702",
         Con(MovBase(), {{1, "04"},
                         {2, "AB1234"},
                         {3, "8809"},
                         {11, "1"},
                         {12, "01"},
                         {13, "123456789012345678901#"}}),
         {"165", "161"},
         true},
        {"numero con enie",
         "201702",
         Con(MovBase(), {{1, "04"},
                         {2, "AB1234"},
                         {3, "8809"},
                         {11, "1"},
                         {12, "01"},
                         {13, "PEÑA1"},
                         {14, "01/01/1980"},
                         {15, "01"},
                         {16, "AV. ÑUÑOA"}}),
         {},
         true},
        {"direccion larga y con signo",
         "201702",
         Con(MovBase(), {{1, "04"},
                         {2, "AB1234"},
                         {3, "8809"},
                         {11, "1"},
                         {12, "01"},
                         {13, "X1"},
                         {14, "01/01/1980"},
                         {15, "01"},
                         {16, "12345678901234567890123456789012345678901#"}}),
         {"166", "164"},
         true},
        {"fecha invalida",
         "201702",
         Con(MovBase(), {{1, "04"},
                         {2, "AB1234"},
                         {3, "8809"},
                         {11, "1"},
                         {12, "01"},
                         {13, "X1"},
                         {14, "31/02/1980"}}),
         {"162"},
         true},
        {"tipo de direccion ausente",
         "201702",
         Con(MovBase(), {{1, "04"},
                         {2, "AB1234"},
                         {3, "8809"},
                         {11, "1"},
                         {12, "01"},
                         {13, "X1"},
                         {14, "01/01/1980"},
                         {15, "09"}}),
         {"163"},
         true},
        {"no califica con datos", "201702", Con(MovBase(), {{11, "1"}}), {"152"}, true},
        {"no califica y pais malo salta 152",
         "201702",
         Con(MovBase(), {{7, "8809"}, {11, "1"}}),
         {"129"},
         false},
        {"varios grupos",
         "201702",
         Con(MovBase(), {{8, "5"}, {10, ""}, {11, "1"}}),
         {"107", "135", "152"},
         false},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.nombre);
        const std::string reg = Une(c.campos);
        const std::string r = Mov(c.periodo, {reg});
        EXPECT_EQ(r, c.codigos.empty() ? "True" : "False");
        EXPECT_EQ(Errores(ruta_), Lineas(reg, c.codigos));
        EXPECT_EQ(tuplas_, c.totalizado ? 1 : 0);
        EXPECT_EQ(fs::exists(ruta_ + "err"), !c.codigos.empty());
    }
}

TEST_F(Registros, LineasMalFormadas) {
    const std::string b = Une(MovBase());
    const auto base = MovBase();
    const std::string quince = Une(std::vector<std::string>(base.begin(), base.begin() + 15));
    std::string cuarenta1;
    for (int i = 0; i < 41; ++i) cuarenta1 += "x|";
    const std::vector<std::pair<std::string, std::string>> casos = {
        {"", "122"},      {b + " ", "122"},   {b + "x", "122"}, {quince, "001"},
        {b + "|", "001"}, {cuarenta1, "001"}, {"|", "001"},
    };
    for (const auto& [linea, codigo] : casos) {
        SCOPED_TRACE(linea);
        EXPECT_EQ(Mov("201501", {linea, b}), "False");
        EXPECT_EQ(Errores(ruta_), Lineas(linea, {codigo}));
        EXPECT_EQ(tuplas_, 1);  // the good record after it still counts
    }
}

TEST_F(Registros, TotalesPropiosYAjenosSeparados) {
    const auto propio = Con(MovBase(), {{2, kRuc.c_str()}, {8, "200.50"}, {9, "10.00"}});
    const auto ajeno = Con(MovBase(), {{8, "100.25"}, {9, "5.00"}});
    EXPECT_EQ(Mov("201501", {Une(propio), Une(ajeno), Une(ajeno)}), "True");
    EXPECT_EQ(m302_, Cur(10));
    EXPECT_EQ(m402_, Cur(200.5));
    EXPECT_EQ(m322_, Cur(10));
    EXPECT_EQ(m422_, Cur(200.5));
    EXPECT_EQ(tuplas_, 3);
}

TEST_F(Registros, ArchivoVacioPasaSinErrores) {
    const std::string ruta = (dir_ / "vacio.mov").string();
    std::ofstream(ruta, std::ios::binary).close();
    e_.periodo = "201501";
    auto l = ListasMuestra(false, "201501");
    m302_ = Cur(5);
    EXPECT_EQ(Toma(importacion::ImportoMov(e_, l, ruta)), "True");
    EXPECT_EQ(m302_, Currency());
    EXPECT_EQ(tuplas_, 0);
    EXPECT_FALSE(fs::exists(ruta + "err"));
}

TEST_F(Registros, DesbordeDeTotalesSeDetieneCon126) {
    const auto grande = Con(MovBase(), {{8, "999999999999.99"}});
    std::vector<std::string> lineas(1000, Une(grande));
    lineas.push_back("linea final sin barra");
    EXPECT_EQ(Mov("201501", lineas), "False");
    auto err = Errores(ruta_);
    ASSERT_EQ(err.size(), 1u);  // the lines after the overflow are not read
    EXPECT_EQ(err[0], Lineas(Une(grande), {"126"})[0]);
}

TEST(VCad, MontosYPeriodos) {
    validator::cValidador val;
    struct Caso {
        const char* valor;
        const char* tipo;
        const char* op;
        const char* periodo;
        bool valido;
    };
    const Caso casos[] = {
        {"0.50", "8", "", "", true},
        {"0.50", "11", "", "", true},
        {"0.00", "8", "", "", false},
        {"0.00", "11", "", "", true},
        {"123456789012.34", "8", "", "", true},
        {"1234567890123.00", "8", "", "", false},
        {"05.00", "8", "", "", false},
        {"5", "11", "", "", false},
        {"5.5", "11", "", "", false},
        {"5.000", "11", "", "", false},
        {" 5.00", "11", "", "", false},
        {"5.00 ", "11", "", "", false},
        {"-1.00", "11", "", "", false},
        {"+1.00", "8", "", "", false},
        {"1,00.00", "8", "", "", false},
        {"", "11", "", "", false},
        {".50", "11", "", "", false},
        {"1.2.3", "8", "", "", false},
        {"200402", "10", "102", "200501", false},
        {"200403", "10", "102", "200501", true},
        {"200501", "10", "302", "200501", false},
        {"200412", "10", "302", "200501", true},
        {"200501", "10", "102", "200501", true},
        {"200502", "10", "102", "200501", false},
        {"200612", "10", "101", "200801", true},
        {"200712", "10", "105", "200801", false},
        {"200513", "10", "102", "200601", false},
        {"20051", "10", "102", "200601", false},
        {"2005.1", "10", "102", "200601", false},
    };
    for (const auto& c : casos) {
        std::string r = "x";
        importacion::VCad(val, c.valor, c.tipo, c.tipo == std::string("10") ? 6 : 15, c.op,
                          c.periodo, r);
        EXPECT_EQ(r, c.valido ? std::string(c.valor) : std::string())
            << c.valor << " kind " << c.tipo;
    }
}

// A valid reversal of another holder, modality 1, for 01/2015.
std::vector<std::string> ExtBase() {
    return {"01",     "12345678", "",     "201412", "01", "01", "02", "", "1",
            "100.00", "18.00",    "0.00", "",       "",   "",   "",   "", ""};
}

TEST_F(Registros, ExtornosCasoPorCaso) {
    struct Caso {
        const char* nombre;
        const char* periodo;
        std::vector<std::string> campos;
        std::vector<std::string> codigos;
        bool contado;
    };
    const std::vector<Caso> casos = {
        {"valido", "201501", ExtBase(), {}, true},
        {"modalidad 1 sin periodo", "201501", Con(ExtBase(), {{4, ""}}), {}, true},
        {"modalidad 3 sin periodo", "201501", Con(ExtBase(), {{4, ""}, {9, "3"}}), {"117"}, false},
        {"200403 modalidad 3 sin periodo",
         "200403",
         Con(ExtBase(), {{4, ""}, {9, "3"}, {12, ""}}),
         {"117"},
         false},
        {"200403 modalidad 4 con periodo",
         "200403",
         Con(ExtBase(), {{4, "200402"}, {9, "4"}, {12, ""}}),
         {"109"},
         false},
        {"modalidad 3 mismo periodo",
         "201501",
         Con(ExtBase(), {{4, "201501"}, {9, "3"}}),
         {"109"},
         false},
        {"exonerada con cero", "201501", Con(ExtBase(), {{5, "02"}, {11, "0.00"}}), {}, true},
        {"exonerada con impuesto",
         "201501",
         Con(ExtBase(), {{5, "02"}, {11, "1.00"}}),
         {"118"},
         false},
        {"propia modalidad 4",
         "201501",
         Con(ExtBase(), {{1, "06"}, {2, kRuc.c_str()}, {4, "201412"}, {9, "4"}}),
         {"119"},
         true},
        {"pais en blancos y movimiento incompatible",
         "201501",
         Con(ExtBase(), {{1, "06"}, {2, kOtroRuc.c_str()}, {3, "  "}, {6, "04"}}),
         {"170", "127"},
         false},
        {"ruc con blanco final",
         "201501",
         Con(ExtBase(), {{1, "06"}, {2, (kOtroRuc + " ").c_str()}}),
         {},
         true},
        {"modalidad fuera de lista", "201501", Con(ExtBase(), {{9, "5"}}), {"110"}, false},
        {"modalidad de dos", "201501", Con(ExtBase(), {{4, ""}, {9, "11"}}), {"110"}, false},
        {"tipo de operacion ausente", "201501", Con(ExtBase(), {{5, "03"}}), {"104"}, false},
        {"codigo 08 ajeno", "201501", Con(ExtBase(), {{7, "08"}}), {"128"}, false},
        {"codigo 01 con periodo reciente",
         "201501",
         Con(ExtBase(), {{7, "01"}, {10, ""}}),
         {"109"},
         false},
        {"monto malo", "201501", Con(ExtBase(), {{10, "0.00"}}), {"130"}, false},
        {"impuesto malo", "201501", Con(ExtBase(), {{11, "1"}}), {"131"}, false},
        {"no califica con datos", "201501", Con(ExtBase(), {{14, "01"}}), {"138"}, true},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.nombre);
        const std::string reg = Une(c.campos);
        EXPECT_EQ(Ext(c.periodo, {reg}), c.codigos.empty() ? "True" : "False");
        EXPECT_EQ(Errores(ruta_), Lineas(reg, c.codigos));
        EXPECT_EQ(tuplas_, c.contado ? 1 : 0);
    }
}

TEST_F(Registros, ExtornosTotalesPorModalidad) {
    auto propio = [](const char* mod, const char* monto, const char* imp) {
        return Une(
            Con(ExtBase(), {{1, "06"}, {2, kRuc.c_str()}, {9, mod}, {10, monto}, {11, imp}}));
    };
    auto ajeno = [](const char* mod, const char* monto, const char* imp, const char* num) {
        return Une(Con(ExtBase(), {{2, num}, {9, mod}, {10, monto}, {11, imp}}));
    };
    EXPECT_EQ(
        Ext("201501",
            {propio("1", "1.00", "0.10"), propio("2", "2.00", "0.20"), propio("3", "3.00", "0.30"),
             ajeno("1", "10.00", "1.00", "11111111"), ajeno("2", "20.00", "2.00", "22222222"),
             ajeno("3", "30.00", "3.00", "33333333"), ajeno("4", "40.00", "4.00", "44444444")}),
        "True");
    EXPECT_EQ(tuplas_, 7);
    EXPECT_EQ(t_.dMto406, Cur(1));
    EXPECT_EQ(t_.dMto306, Cur(0.1));
    EXPECT_EQ(t_.dMto403, Cur(3));
    EXPECT_EQ(t_.dMto303, Cur(0.3));
    EXPECT_EQ(t_.dMto426, Cur(10));
    EXPECT_EQ(t_.dMto326, Cur(1));
    EXPECT_EQ(t_.dMto450, Cur(20));
    EXPECT_EQ(t_.dMto350, Cur(2));
    EXPECT_EQ(t_.dMto423, Cur(30));
    EXPECT_EQ(t_.dMto323, Cur(3));
    EXPECT_EQ(t_.dMto424, Cur(40));
    EXPECT_EQ(t_.dMto324, Cur(4));
}

TEST_F(Registros, ArchivosGeneradosPasan) {
    for (const char* periodo : {"200601", "201001", "201501", "201612", "201803"}) {
        SCOPED_TRACE(periodo);
        gen::Generador g(kRuc, periodo, 7);
        std::vector<std::string> mov, ext;
        for (int i = 0; i < 2000; ++i) {
            mov.push_back(g.Movimiento());
            ext.push_back(g.Extorno());
        }
        EXPECT_EQ(Mov(periodo, mov), "True");
        EXPECT_EQ(Errores(ruta_), std::vector<std::string>{});
        EXPECT_EQ(tuplas_, 2000);
        EXPECT_EQ(Ext(periodo, ext), "True");
        EXPECT_EQ(Errores(ruta_), std::vector<std::string>{});
        EXPECT_EQ(tuplas_, 2000);
    }
}

// Random bytes, random field counts and very long lines: the importers answer
// "True" or "False" and never fail.
TEST_F(Registros, DatosAleatoriosNoRompen) {
    std::mt19937_64 rng(42);
    const std::string alfabeto = "0123456789|. -AZaz\xD1\xF1\xC3\x91#\t\x01\x80\xFF";
    for (int archivo = 0; archivo < 40; ++archivo) {
        std::vector<std::string> lineas;
        gen::Generador g(kRuc, "201702", archivo);
        for (int i = 0; i < 200; ++i) {
            std::string l = (i % 2) ? g.Movimiento() : g.Extorno();
            // Mutate a few bytes, or build a line from scratch.
            if (rng() % 3 == 0) {
                l.clear();
                std::size_t n = rng() % (rng() % 10 == 0 ? 100000 : 200);
                for (std::size_t k = 0; k < n; ++k) l += alfabeto[rng() % alfabeto.size()];
            } else {
                for (int k = 0; k < 3; ++k) l[rng() % l.size()] = alfabeto[rng() % alfabeto.size()];
            }
            if (rng() % 2) l += '|';
            lineas.push_back(l);
        }
        const std::string ruta = (dir_ / ("azar" + std::to_string(archivo))).string();
        {
            std::ofstream f(ruta, std::ios::binary);
            for (auto& l : lineas) f << l << (rng() % 5 == 0 ? "\n" : "\r\n");
        }
        for (const char* periodo : {"200403", "201501", "201702"}) {
            e_.periodo = periodo;
            auto lm = ListasMuestra(false, periodo);
            std::string r;
            ASSERT_NO_THROW(r = Toma(importacion::ImportoMov(e_, lm, ruta)));
            EXPECT_TRUE(r == "True" || r == "False");
            auto le = ListasMuestra(true, periodo);
            ASSERT_NO_THROW(r = Toma(importacion::ImportoExt(e_, le, ruta)));
            EXPECT_TRUE(r == "True" || r == "False");
            fs::remove(ruta + "err");
        }
    }
}

// The texts the error file carries are the system's own: a few pinned here,
// those without a leading blank and those with doubled blanks among them.
TEST(MensajeError, TextosExactos) {
    const std::pair<const char*, const char*> casos[] = {
        {"001", " El número de campos no es correcto"},
        {"109",
         " El período de la operación no es válido ó para  períodos de operación  mayores o "
         "iguales al 12/2007 no puede utilizar los códigos de operación 01, 05 y 06"},
        {"122",
         " La linea debe acabar en | sin espacios en blanco y/o debe eliminar las lineas en "
         "blanco"},
        {"126",
         " El total de la suma de los importes de la base imponible  o del impuesto son "
         "demasiado grandes"},
        {"128",
         "Si el código de operación es '08' ó '09' el tipo y número de documento deben ser "
         "iguales a los del declarante del QVX"},
        {"135", "Para este periodo el Monto acumulado debe mayo e igual a cero"},
        {"152",
         "No cumple con condiciones de No domiciliado. Los campos del No domiciliado deben "
         "estar en blanco"},
        {"167", "Ingresar el indicador de operación de no domiciliado 0=pasiva  1=activa"},
        {"169", "Para este periodo el indicador de operación debe estar en blanco"},
        {"170", " El código del país del contribuyente extranjero debe estar vacio (sin espacios)"},
        {"999", ""},
        {"", ""},
    };
    for (const auto& [codigo, texto] : casos)
        EXPECT_EQ(importacion::MensajeError(codigo), texto) << codigo;
}

// Before 10/2016 the first non-empty field of the non-domiciled block is
// refused with its own code, and only that one; the record is still totalled.
TEST_F(Registros, NoDomiciliadoAntesDe2016SoloElPrimero) {
    const char* codigos[] = {"169", "138", "140", "142", "144", "146"};
    for (int campo = 0; campo < 6; ++campo) {
        SCOPED_TRACE(campo);
        auto c = MovBase();
        for (int j = campo; j < 6; ++j) c[static_cast<std::size_t>(10 + j)] = "1";
        const std::string reg = Une(c);
        EXPECT_EQ(Mov("201609", {reg}), "False");
        EXPECT_EQ(Errores(ruta_), Lineas(reg, {codigos[campo]}));
        EXPECT_EQ(tuplas_, 1);

        auto x = ExtBase();
        for (int j = campo; j < 6; ++j) x[static_cast<std::size_t>(12 + j)] = "1";
        const std::string rx = Une(x);
        EXPECT_EQ(Ext("201609", {rx}), "False");
        EXPECT_EQ(Errores(ruta_), Lineas(rx, {codigos[campo]}));
        EXPECT_EQ(tuplas_, 1);
    }
}

// A refused country of the operation skips the 152 test in the movements file
// only; the messages are joined to the same copy of the record.
TEST_F(Registros, PaisDeOperacionY152SegunArchivo) {
    const std::string mov = Une(Con(MovBase(), {{7, "8809"}, {11, "1"}}));
    EXPECT_EQ(Mov("201702", {mov}), "False");
    EXPECT_EQ(Errores(ruta_), Lineas(mov, {"129"}));

    const std::string ext = Une(Con(ExtBase(), {{8, "8809"}, {13, "1"}}));
    EXPECT_EQ(Ext("201702", {ext}), "False");
    const auto lineas = Errores(ruta_);
    EXPECT_EQ(lineas, Lineas(ext, {"129", "152"}));
    // 152 has no leading blank: it follows the 129 text directly.
    ASSERT_EQ(lineas.size(), 2u);
    EXPECT_NE(lineas[1].find("tipo de operación no debe ingresar el código de paísNo cumple"),
              std::string::npos);
    EXPECT_EQ(tuplas_, 0);
}

// A currency overflow: the record's copy (with what it already carries) gets
// 126, the files are closed and the rest of the file is not read.
TEST_F(Registros, DesbordeCierraArchivosYConservaLaCopia) {
    const int libre = vb::FreeFile();
    // Movements: each record already logged 170 before it is totalled.
    const auto grande = Con(MovBase(), {{3, "  "}, {8, "999999999999.99"}});
    std::vector<std::string> lineas(1000, Une(grande));
    EXPECT_EQ(Mov("201501", lineas), "False");
    auto err = Errores(ruta_);
    ASSERT_GE(err.size(), 2u);
    const auto ultimo = Lineas(Une(grande), {"170", "126"});
    EXPECT_EQ(err[err.size() - 2], ultimo[0]);
    EXPECT_EQ(err.back(), ultimo[1]);
    EXPECT_EQ(static_cast<double>(err.size() - 1), tuplas_ + 1);  // 170 for all read, 126 once
    EXPECT_LT(tuplas_, 1000);
    EXPECT_EQ(vb::FreeFile(), libre);  // both files closed

    // Reversals: the other holders' modality 3 amounts overflow dMto423.
    const auto ext = Con(ExtBase(), {{4, "201412"}, {9, "3"}, {10, "999999999999.99"}});
    std::vector<std::string> lx(1000, Une(ext));
    lx.push_back("sin barra final");
    EXPECT_EQ(Ext("201501", lx), "False");
    err = Errores(ruta_);
    ASSERT_EQ(err.size(), 1u);
    EXPECT_EQ(err[0], Lineas(Une(ext), {"126"})[0]);
    EXPECT_EQ(tuplas_, 922);  // 922 such amounts fit in a currency total, the 923rd does not
    EXPECT_EQ(vb::FreeFile(), libre);
}

// A failed write to the error file (here a full device) shows the message box,
// enables the form's frames again, and the import goes on: also when the
// run-time only finds the failure while closing the file.
TEST_F(Registros, FalloDeEscrituraDelErrorSeAvisa) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    pruebas::AvisosGrabados avisos;
    int marcos = 0;
    e_.habilitaMarcos = [&] { ++marcos; };
    e_.periodo = "201501";
    const std::string ruta = (dir_ / "lleno.mov").string();
    {
        std::ofstream f(ruta, std::ios::binary);
        f << "malo\r\n" << Une(MovBase()) << "\r\n";
    }
    fs::create_symlink("/dev/full", ruta + "err");
    auto l = ListasMuestra(false, "201501");
    EXPECT_EQ(Toma(importacion::ImportoMov(e_, l, ruta)), "False");
    EXPECT_EQ(tuplas_, 1);
    ASSERT_EQ(avisos.avisos.size(), 1u);
    EXPECT_EQ(avisos.avisos[0].titulo, "Error");
    EXPECT_EQ(avisos.avisos[0].estilo, shell::vbCritical);
    EXPECT_EQ(avisos.avisos[0].texto.rfind("Error tecnico:  61\n", 0), 0u)
        << avisos.avisos[0].texto;
    EXPECT_NE(avisos.avisos[0].texto.find("\nIntente nuevamente por favor."), std::string::npos);
    EXPECT_EQ(marcos, 1);
}

// Group B of the reversals comes before the operation-code test, so it meets
// codes of any length: membership there is a substring search of the list text.
TEST_F(Registros, ExtornosGrupoBBuscaSubcadenas) {
    const std::pair<const char*, const char*> casos[] = {
        {"1", "106"},  // occurs in "01-12-13-14-15": passes group B
        {"7", "127"},   {"", "106"},   {"2-1", "106"},
        {"2-2", "127"}, {"15", "130"}, {"16", "127"},  // "15": a real code, so on to the amount
    };
    for (const auto& [codigo, esperado] : casos) {
        SCOPED_TRACE(codigo);
        const std::string reg = Une(Con(ExtBase(), {{4, ""}, {6, "04"}, {7, codigo}}));
        EXPECT_EQ(Ext("201501", {reg}), "False");
        EXPECT_EQ(Errores(ruta_), Lineas(reg, {esperado}));
    }
}

}  // namespace
