// The installer against fresh host installations.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include "host/hostkit.h"
#include "jet/database.h"
#include "profile/profile.h"
#include "pruebas/host.h"
#include "tools/seeder/instalador.h"
#include "vb/error.h"
#include "vb/strings.h"
#include "vb/text.h"
#include "vb/variant.h"

namespace fs = std::filesystem;
using hostkit::LineaFilas;
using pruebas::AvisosGrabados;

namespace {

class SeederTest : public ::testing::Test {
  protected:
    void SetUp() override {
        inst = hostkit::CreaHost(carpeta.Ruta() + "/host");
        pruebas::FijaWindir(inst);
    }
    void TearDown() override { fs::current_path(fs::temp_directory_path()); }

    int Corre() {
        seeder::Instalador instalador;
        return instalador.Main();
    }
    void Escribe(const std::string& ruta, const std::vector<std::string>& lineas) {
        std::ofstream out(ruta, std::ios::binary | std::ios::trunc);
        for (const auto& l : lineas) out << vb::Utf8ToCp1252(l) << "\r\n";
    }
    std::unique_ptr<jet::Database> Base() { return hostkit::AbreHost(inst); }
    long Cuenta(const std::string& sql) {
        auto db = Base();
        auto rs = db->OpenRecordset(sql, jet::dbOpenSnapshot);
        long n = 0;
        for (; !rs->Eof(); rs->MoveNext()) ++n;
        return n;
    }
    // Funcion and Correl_Param of one parameter row ("" when absent).
    std::pair<std::string, std::string> Param(const std::string& n, const std::string& a) {
        auto db = Base();
        auto rs = db->OpenRecordset("SELECT * FROM PARAM WHERE Numero='" + jet::Q(n) +
                                        "' AND Argumento='" + jet::Q(a) + "'",
                                    jet::dbOpenSnapshot);
        if (rs->Eof()) return {};
        return {vb::ToText(rs->Fields("Funcion").Value()),
                vb::ToText(rs->Fields("Correl_Param").Value())};
    }
    static std::string Mensajes(const AvisosGrabados& a) {
        std::string t;
        for (const auto& m : a.avisos) t += m.titulo + ": " + m.texto + "\n";
        return t;
    }

    // Whether EFCONTROL refuses a row repeated (3022): the table has its key.
    bool ClaveDeControl(const std::string& nomarc) {
        auto db = Base();
        const std::string fila =
            "insert into EFCONTROL (tip_doc_d, doc_id_d, periodo, formulario, semana, nomarc) "
            "values (6,'20100123453','200405','0787',0,'" +
            nomarc + "')";
        db->Execute(fila, jet::dbFailOnError);
        try {
            db->Execute(fila, jet::dbFailOnError);
            return false;
        } catch (const vb::VbError& e) {
            EXPECT_EQ(e.Number(), 3022);
            return true;
        }
    }

    pruebas::CarpetaTemporal carpeta;
    hostkit::Instalacion inst;
};

TEST_F(SeederTest, PrimeraCorridaPreparaLaBase) {
    AvisosGrabados avisos;
    ASSERT_EQ(Corre(), 0) << Mensajes(avisos);
    EXPECT_TRUE(avisos.avisos.empty()) << Mensajes(avisos);

    EXPECT_TRUE(ClaveDeControl("0787200405201001234530.MOV")) << "EFCONTROL with its key";
    {
        auto db = Base();
        auto rs = db->OpenRecordset("SELECT * FROM EFCONTROL", jet::dbOpenSnapshot);
        EXPECT_EQ(rs->FieldCount(), 30);
        EXPECT_EQ(vb::UCase(rs->Fields(29).Name()), "CNUMERO");
    }
    // Submission tables of the form, and the other form's rows untouched.
    EXPECT_EQ(Cuenta("SELECT * FROM envio_t WHERE formulario='0787'"), 2);
    EXPECT_EQ(Cuenta("SELECT * FROM envio_t WHERE formulario='0901'"), 2);
    {
        auto db = Base();
        auto rs = db->OpenRecordset(
            "SELECT * FROM envio_t WHERE formulario='0787' AND tabla_o='EXT'", jet::dbOpenSnapshot);
        ASSERT_FALSE(rs->Eof());
        EXPECT_EQ(vb::ToText(rs->Fields("tabla_d").Value()), "T787EXT");
        EXPECT_EQ(vb::CInt(rs->Fields("indice").Value()), 2);
        EXPECT_EQ(vb::CInt(rs->Fields("c_semana").Value()), 7);
    }
    // Report codes.
    EXPECT_EQ(Cuenta("SELECT * FROM Reportes WHERE CodRep='UZQ001'"), 1);
    EXPECT_EQ(Cuenta("SELECT * FROM Reportes WHERE CodRep='UZQ002' AND "
                     "DescRep='Resumen de declaración generada - 0787'"),
              1);
    // Parameters: the old list 821 is gone, the rows file's lists are in,
    // and the fixed rows.
    EXPECT_EQ(Cuenta("SELECT * FROM PARAM WHERE Numero='821'"), 0);
    EXPECT_EQ(Cuenta("SELECT * FROM PARAM WHERE Numero='820'"), 4);
    EXPECT_EQ(Param("818", "03"), std::make_pair(std::string("TRANSFERENCIA"), std::string("000")));
    EXPECT_EQ(Param("875", "03").first, "Doc. Identificación Local del país de origen");
    EXPECT_EQ(Param("876", "04").first, "DOM OFICIAL CÍA, ASOC U OTRA ENT LEGAL");
    EXPECT_EQ(Cuenta("SELECT * FROM PARAM WHERE Numero='876'"), 4);
}

TEST_F(SeederTest, SegundaCorridaDejaLoMismo) {
    AvisosGrabados avisos;
    ASSERT_EQ(Corre(), 0) << Mensajes(avisos);
    auto foto = [&] {
        std::map<std::string, long> m;
        for (const char* t : {"PARAM", "envio_t", "Reportes", "EFCONTROL"}) {
            m[t] = Cuenta(std::string("SELECT * FROM ") + t);
        }
        return m;
    };
    auto antes = foto();
    // A control record made meanwhile survives: the table is not made again.
    {
        auto db = Base();
        db->Execute(
            "insert into EFCONTROL (tip_doc_d, doc_id_d, periodo, formulario, semana, "
            "nomarc) values (6,'20100123453','200405','0787',0,'A.MOV')",
            jet::dbFailOnError);
    }
    antes["EFCONTROL"] += 1;
    ASSERT_EQ(Corre(), 0) << Mensajes(avisos);
    EXPECT_TRUE(avisos.avisos.empty()) << Mensajes(avisos);
    EXPECT_EQ(foto(), antes);
}

TEST_F(SeederTest, ArchivoDeEnvioRepetidoGanaLaUltimaLinea) {
    Escribe(
        inst.tmp + "envuzq.txt",
        {LineaFilas(
             {"1", " MOV ", " T787MOV ", "MOV", "1", "1", "1", "2", "3", "4", "5", "6", "7"}),
         LineaFilas(
             {"2", "MOV", "T787NUEVA", "MV2", "9", "0", "6", "12.5", "3", "4", "5", "6", "8"}),
         "   ",
         LineaFilas({"3", "EXT", "T787EXT", "EXT", "1", "1", "1", "2", "3", "4", "5", "6", "7"})});
    AvisosGrabados avisos;
    ASSERT_EQ(Corre(), 0) << Mensajes(avisos);
    EXPECT_EQ(Cuenta("SELECT * FROM envio_t WHERE formulario='0787'"), 1);
    auto db = Base();
    auto rs =
        db->OpenRecordset("SELECT * FROM envio_t WHERE formulario='0787'", jet::dbOpenSnapshot);
    EXPECT_EQ(vb::ToText(rs->Fields("tabla_d").Value()), "T787NUEVA");
    EXPECT_EQ(vb::ToText(rs->Fields("tabla_ext").Value()), "MV2");
    EXPECT_EQ(vb::CInt(rs->Fields("indice").Value()), 9);
    EXPECT_EQ(vb::CInt(rs->Fields("c_semana").Value()), 8);
}

TEST_F(SeederTest, ArchivoDeParametros) {
    Escribe(inst.tmp + "paruzq.txt",
            {LineaFilas({"817", "01", "GRAVADA", "7"}), "817|02|EXONERADA|0|texto ignorado|",
             LineaFilas({"875", "01", "TEXTO ANTERIOR", "0"}),
             LineaFilas({"976", "8806", "PAIS D'ORIENTE (ANTES)", "0"}),
             LineaFilas({"976", "O'1", "CLAVE CON COMILLA", "1"}),
             LineaFilas({"979", "05", "  INGENIERO  ", "0"}), "",
             LineaFilas({"818", "01", "DESPUES DE LA LINEA EN BLANCO", "0"})});
    // The base folder's copy loses against the one under tmp.
    Escribe(inst.sysPath + "paruzq.txt", {LineaFilas({"819", "0101", "BASE", "0"})});
    AvisosGrabados avisos;
    ASSERT_EQ(Corre(), 0) << Mensajes(avisos);
    EXPECT_EQ(Param("817", "01"), std::make_pair(std::string("GRAVADA"), std::string("007")));
    EXPECT_EQ(Param("817", "02").first, "EXONERADA");
    EXPECT_EQ(Param("875", "01").first, "TIN - Doc Trib PP.NN.");
    EXPECT_EQ(Param("976", "8806").first, "PAIS D'ORIENTE (ANTES)");
    EXPECT_EQ(Param("976", "O'1"),
              std::make_pair(std::string("CLAVE CON COMILLA"), std::string("001")));
    EXPECT_EQ(Param("979", "05").first, "  INGENIERO  ");  // not trimmed
    EXPECT_EQ(Cuenta("SELECT * FROM PARAM WHERE Numero='818'"), 0);
    EXPECT_EQ(Cuenta("SELECT * FROM PARAM WHERE Numero='819'"), 0);
    EXPECT_EQ(Cuenta("SELECT * FROM PARAM WHERE Numero='976'"), 13);

    // Without the tmp copy the base folder's is read.
    fs::remove(inst.tmp + "paruzq.txt");
    ASSERT_EQ(Corre(), 0) << Mensajes(avisos);
    EXPECT_EQ(Param("819", "0101").first, "BASE");
    EXPECT_EQ(Cuenta("SELECT * FROM PARAM WHERE Numero='817'"), 0);
}

TEST_F(SeederTest, SysPathConDosSeparadores) {
    ASSERT_TRUE(
        profile::WritePrivateProfileString("Options", "SysPath", inst.sysPath + "/", inst.ini));
    EXPECT_EQ(seeder::QuitaSeparadorDoble(inst.sysPath + "/"), inst.sysPath);
    EXPECT_EQ(seeder::QuitaSeparadorDoble("C:\\QVX\\\\"), "C:\\QVX\\");
    EXPECT_EQ(seeder::QuitaSeparadorDoble(inst.sysPath), inst.sysPath);
    AvisosGrabados avisos;
    ASSERT_EQ(Corre(), 0) << Mensajes(avisos);
    EXPECT_EQ(Cuenta("SELECT * FROM envio_t WHERE formulario='0787'"), 2);
}

TEST_F(SeederTest, SinSysPathNoTocaNada) {
    ASSERT_TRUE(profile::WritePrivateProfileString("Options", "SysPath", "  ", inst.ini));
    AvisosGrabados avisos;
    EXPECT_EQ(Corre(), 1);
    ASSERT_EQ(avisos.avisos.size(), 1u);
    EXPECT_EQ(avisos.avisos[0].texto, "Debe instalar primero el QVX ");
    EXPECT_EQ(avisos.avisos[0].titulo, "Mensaje");
    EXPECT_EQ(avisos.avisos[0].estilo, shell::vbInformation);
    EXPECT_EQ(Cuenta("SELECT * FROM PARAM WHERE Numero='821'"), 1);
}

TEST_F(SeederTest, BaseBloqueada) {
    pruebas::BloqueoExclusivo bloqueo(inst);
    ASSERT_TRUE(bloqueo.Activo());
    AvisosGrabados avisos;
    EXPECT_EQ(Corre(), 1);
    ASSERT_EQ(avisos.avisos.size(), 1u);
    EXPECT_EQ(avisos.avisos[0].texto, " 3051- Base de datos esta bloqueda");
    EXPECT_EQ(avisos.avisos[0].titulo, "Error de Conección");
    EXPECT_EQ(avisos.avisos[0].estilo, 0);
}

// Rows files the installer cannot read or load: a message naming file and
// line, the run ends with a failure and the host is left as it was.
TEST_F(SeederTest, ArchivosDeFilasDefectuosos) {
    struct Caso {
        const char* nombre;
        const char* archivo;
        std::vector<std::string> lineas;  // empty: the file is missing
        const char* dice;
        bool carpeta = false;  // a folder stands in the file's place: it cannot be read
    };
    const std::string bueno =
        LineaFilas({"1", "MOV", "T787MOV", "MOV", "1", "1", "1", "2", "3", "4", "5", "6", "7"});
    const std::vector<Caso> casos = {
        {"falta envuzq", "envuzq.txt", {}, "no se encontró"},
        {"envuzq que no se puede leer",
         "envuzq.txt",
         {},
         "envuzq.txt: no se pudo leer el archivo (75: Error de acceso a la ruta o al archivo).",
         true},
        {"pocas barras en envuzq",
         "envuzq.txt",
         {bueno, "2|EXT|T787EXT|EXT|1|1|1|2|3|4|5|6|7"},
         "línea 2"},
        {"byte fuera de rango",
         "envuzq.txt",
         {bueno, LineaFilas({"2", "EXT", "T", "E", "300", "1", "1", "2", "3", "4", "5", "6", "7"})},
         "línea 2"},
        {"número que no convierte",
         "envuzq.txt",
         {LineaFilas({"2", "EXT", "T", "E", "1", "1", "1", "x", "3", "4", "5", "6", "7"})},
         "línea 1"},
        {"falta paruzq", "paruzq.txt", {}, "no se encontró"},
        {"pocas barras en paruzq",
         "paruzq.txt",
         {"817|01|GRAVADA|0|", "817|02|EXONERADA"},
         "línea 2"},
        {"correlativo que no convierte",
         "paruzq.txt",
         {"817|01|GRAVADA|0|", "817|02|EXONERADA|siete|"},
         "línea 2"},
        {"texto demasiado largo",
         "paruzq.txt",
         {"817|01|GRAVADA|0|", "817|02|" + std::string(300, 'X') + "|0|"},
         "línea 2"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        TearDown();
        fs::remove_all(inst.carpeta);
        SetUp();
        const std::string ruta = inst.tmp + c.archivo;
        if (c.lineas.empty()) {
            fs::remove(ruta);
            if (c.carpeta) fs::create_directory(ruta);
        } else {
            Escribe(ruta, c.lineas);
        }
        AvisosGrabados avisos;
        EXPECT_EQ(Corre(), 1);
        ASSERT_EQ(avisos.avisos.size(), 1u) << Mensajes(avisos);
        const auto& a = avisos.avisos[0];
        EXPECT_EQ(a.estilo, shell::vbCritical);
        EXPECT_NE(a.texto.find(c.archivo), std::string::npos) << a.texto;
        EXPECT_NE(a.texto.find(c.dice), std::string::npos) << a.texto;
        // Nothing changed: the old list is there, nothing new came in.
        EXPECT_EQ(Cuenta("SELECT * FROM PARAM WHERE Numero='821'"), 1);
        EXPECT_EQ(Cuenta("SELECT * FROM envio_t WHERE formulario='0787'"), 0);
        EXPECT_EQ(Param("817", "01").first, "");
        EXPECT_EQ(Cuenta("SELECT * FROM Reportes WHERE CodRep='UZQ002'"), 0);
    }
}

TEST_F(SeederTest, SentenciaQueFallaSeInformaYSigue) {
    // A submission table of the host with one column less refuses the insert.
    {
        auto db = Base();
        db->Execute("DROP TABLE envio_t", jet::dbFailOnError);
        db->Execute(
            "CREATE TABLE envio_t ([formulario] text(4), [tabla_o] text(10), "
            "[tabla_d] text(50), [tabla_ext] text(10), [indice] Byte, [obliga] Byte, "
            "[c_tip_doc_d] Byte, [c_doc_id_d] Long, [c_Formulario] Long, "
            "[c_periodo] Long, [c_estado] Long, [c_envio] Long)",
            jet::dbFailOnError);
    }
    AvisosGrabados avisos;
    EXPECT_EQ(Corre(), 1);
    ASSERT_EQ(avisos.avisos.size(), 2u) << Mensajes(avisos);
    for (const auto& a : avisos.avisos) {
        EXPECT_EQ(a.titulo, "Error al Ejecutar Sentencia SQL");
        EXPECT_EQ(a.texto.rfind("Error Número : ", 0), 0u) << a.texto;
        EXPECT_NE(a.texto.find('\n'), std::string::npos);
        EXPECT_EQ(a.estilo, shell::vbCritical);
    }
    // The run went on.
    EXPECT_EQ(Cuenta("SELECT * FROM Reportes WHERE CodRep='UZQ002'"), 1);
    EXPECT_EQ(Param("876", "01").first, "RESIDENCIA O DOMICILIO DE LA ACTIVIDAD");
}

TEST_F(SeederTest, ProgramaSinVentanaEscribeEnErrorEstandar) {
    const std::string seeder = std::string(FD_BIN_DIR) + "/seeder";
    const std::string salida = carpeta.Ruta() + "/stderr.txt";
    auto corre = [&] {
        int estado = std::system((seeder + " argumento ignorado 2>'" + salida + "'").c_str());
        return WIFEXITED(estado) ? WEXITSTATUS(estado) : -1;
    };
    EXPECT_EQ(corre(), 0);
    EXPECT_EQ(fs::file_size(salida), 0u);
    fs::remove(inst.tmp + "envuzq.txt");
    EXPECT_NE(corre(), 0);
    std::ifstream in(salida);
    std::string texto((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(texto.find("envuzq.txt"), std::string::npos) << texto;
}

// The statements of a run, word for word and in order.
TEST_F(SeederTest, SentenciasDeUnaCorrida) {
    Escribe(
        inst.tmp + "envuzq.txt",
        {LineaFilas({"1", " MOV ", "T787MOV", "MOV", "1", "1", "1", "2", "3", "4", "5", "6", "7"}),
         LineaFilas({"2", "MOV", " T2 ", "X2", "9", "0", "6", "12.5", "3", "4", "5", "6", "8"})});
    Escribe(inst.tmp + "paruzq.txt", {LineaFilas({"817", " 01 ", "GRAVADA", "7"})});
    AvisosGrabados avisos;
    std::vector<std::string> sentencias;
    {
        seeder::Instalador instalador;
        instalador.FijaRegistro(&sentencias);
        ASSERT_EQ(instalador.Main(), 0) << Mensajes(avisos);
    }
    std::vector<std::string> esperadas;
    for (const char* n : {"817", "818", "819", "820", "821", "822", "823"})
        esperadas.push_back(std::string("Delete from Param where numero='") + n + "'");
    esperadas.push_back(
        "CREATE TABLE EFCONTROL([tip_doc_d] Byte, [doc_id_d] text(15),[periodo] Text(6),  "
        "[formulario] Text (4),[semana] integer, [nomarc] text(50),  [rutarc] text(255), "
        "[tamarc] long,[tab_d] text(50),  [marca] text(255), [cnum] text(20), [indice] byte, "
        "[num_tuplas] text(15), [mto_302] text(15), [mto_322] text(15), [mto_306] text(15), "
        "[mto_326] text(15), [mto_305] text(15), [mto_325] text(15), [mto_303] text(15), "
        "[mto_323] text(15), [mto_324] text(15), [mto_402] text(15), [mto_422] text(15), "
        "[mto_403] text(15), [mto_423] text(15), [mto_424] text(15), [mto_406] text(15), "
        "[mto_426] text(15), [cnumero] text(6));");
    esperadas.push_back(
        "ALTER TABLE EFCONTROL ADD CONSTRAINT PK_EFCONTROL PRIMARY KEY ([tip_doc_d],[doc_id_d],  "
        "[periodo],[Formulario], [semana],[nomarc])");
    esperadas.push_back("delete * from envio_t where formulario='0787'");
    const std::string existeMov = "Select * from envio_t Where formulario='0787' AND tabla_o='MOV'";
    esperadas.push_back(existeMov);
    esperadas.push_back(
        "insert into envio_t values ( '0787','MOV','T787MOV','MOV',1,1,1,2,3,4,5,6,7)");
    esperadas.push_back(existeMov);
    esperadas.push_back(
        "Update envio_t set  tabla_d = 'T2', tabla_ext = 'X2', indice=9, obliga=0, "
        "c_tip_doc_d=6, c_doc_id_d =12.5, c_Formulario=3, c_periodo=4, c_estado=5, c_envio=6, "
        "c_semana=8 Where formulario='0787' AND tabla_o='MOV'");
    esperadas.push_back("insert into reportes values ('UZQ001','Reporte de UZQ',1)");
    esperadas.push_back("Select * from Reportes Where CodRep='UZQ002'");
    esperadas.push_back(
        "insert into reportes values ('UZQ002','Resumen de declaración generada - 0787',1)");
    esperadas.push_back("Select * From PARAM where numero='817' and argumento= ' 01 '");
    struct Fija {
        const char *n, *a, *f;
    };
    const Fija fijas[] = {
        {"875", "01", "TIN - Doc Trib PP.NN."},
        {"875", "02", "IN - Doc Trib PP.JJ."},
        {"875", "03", "Doc. Identificación Local del país de origen"},
        {"876", "01", "RESIDENCIA O DOMICILIO DE LA ACTIVIDAD"},
        {"876", "02", "RESIDENCIA"},
        {"876", "03", "DOMICILIO DE LA ACTIVIDAD"},
        {"876", "04", "DOM OFICIAL CÍA, ASOC U OTRA ENT LEGAL"},
    };
    auto existeParam = [](const Fija& f) {
        return std::string("Select * from Param Where Numero='") + f.n + "' AND Argumento='" + f.a +
               "'";
    };
    for (const Fija& f : fijas) {
        esperadas.push_back(existeParam(f));
        esperadas.push_back(std::string("insert into Param values ('") + f.n + "','" + f.a + "','" +
                            f.f + "','000')");
    }
    EXPECT_EQ(sentencias, esperadas);
    // The row of the rows file keeps its fields as they stand.
    EXPECT_EQ(Param("817", " 01 "), std::make_pair(std::string("GRAVADA"), std::string("007")));

    // A second run finds the report code and the fixed rows: updates instead.
    sentencias.clear();
    {
        seeder::Instalador instalador;
        instalador.FijaRegistro(&sentencias);
        ASSERT_EQ(instalador.Main(), 0) << Mensajes(avisos);
    }
    auto tiene = [&](const std::string& s) {
        return std::find(sentencias.begin(), sentencias.end(), s) != sentencias.end();
    };
    EXPECT_TRUE(
        tiene("Update Reportes Set DescRep='Resumen de declaración generada - 0787' "
              "Where CodRep='UZQ002'"));
    for (const Fija& f : fijas) {
        EXPECT_TRUE(tiene(std::string("Update Param Set Funcion='") + f.f +
                          "', Correl_param='000' Where Numero='" + f.n + "' AND Argumento='" + f.a +
                          "'"))
            << f.n << f.a;
    }
    EXPECT_FALSE(tiene(esperadas[7]));  // EFCONTROL exists: not made again
    // EFCONTROL's columns in the order the record control code runs over.
    auto db = Base();
    auto rs = db->OpenRecordset("EFCONTROL", jet::dbOpenTable);
    std::vector<std::string> columnas;
    for (int i = 0; i < rs->FieldCount(); ++i) columnas.push_back(rs->Fields(i).Name());
    const std::vector<std::string> orden = {
        "tip_doc_d",  "doc_id_d", "periodo", "formulario", "semana",  "nomarc",
        "rutarc",     "tamarc",   "tab_d",   "marca",      "cnum",    "indice",
        "num_tuplas", "mto_302",  "mto_322", "mto_306",    "mto_326", "mto_305",
        "mto_325",    "mto_303",  "mto_323", "mto_324",    "mto_402", "mto_422",
        "mto_403",    "mto_423",  "mto_424", "mto_406",    "mto_426", "cnumero"};
    EXPECT_EQ(columnas, orden);
}

TEST_F(SeederTest, ExisteFichero) {
    fs::current_path(inst.tmp);
    struct Caso {
        std::string ruta;
        bool existe;
    };
    const std::vector<Caso> casos = {
        {inst.tmp + "paruzq.txt", true},
        {inst.tmp + "nada.txt", false},
        {inst.sysPath + "falta/paruzq.txt", false},  // folder missing: not an error
        {inst.carpeta + "/no/hay/paruzq.txt", false},
        {"paruzq.txt", true},  // no folder part: the current folder
        {"envuzq.txt", true},
        {"nada.txt", false},
    };
    AvisosGrabados avisos;
    seeder::Instalador instalador;
    for (const Caso& c : casos) EXPECT_EQ(instalador.ExisteFichero(c.ruta), c.existe) << c.ruta;
    EXPECT_TRUE(avisos.avisos.empty()) << Mensajes(avisos);
}

// A run killed anywhere, or one whose rows cannot be loaded, leaves the host as
// it was; the next run completes it.
TEST_F(SeederTest, CorridaInterrumpidaNoDejaLaBaseAMedias) {
    auto foto = [&] {
        std::map<std::string, long> m;
        for (const char* tabla : {"PARAM", "envio_t", "Reportes"}) {
            m[tabla] = Cuenta(std::string("SELECT * FROM ") + tabla);
        }
        m["821"] = Cuenta("SELECT * FROM PARAM WHERE Numero='821'");
        seeder::Instalador mira;
        mira.AbreBaseDatos(inst.sysPath);
        m["EFCONTROL"] = mira.ExisteTabla("EFCONTROL") ? 1 : 0;
        return m;
    };
    const auto antes = foto();
    ASSERT_EQ(antes.at("821"), 1);
    // Cut just before these statements: after the table and before its key,
    // with the submission rows cleared, with the lists deleted and partly
    // loaded, among the fixed rows.
    struct Corte {
        const char* sentencia;
        int vez;
    };
    for (const Corte& corte : {Corte{"ALTER TABLE EFCONTROL", 1}, Corte{"insert into envio_t", 2},
                               Corte{"insert into reportes", 1}, Corte{"Select * From PARAM", 4},
                               Corte{"insert into Param", 3}}) {
        SCOPED_TRACE(corte.sentencia);
        const pid_t hijo = ::fork();
        ASSERT_GE(hijo, 0);
        if (hijo == 0) {
            shell::FijaAvisos(nullptr);
            seeder::Instalador instalador;
            int vistas = 0;
            instalador.FijaVigia([&](const std::string& sql) {
                if (sql.rfind(corte.sentencia, 0) == 0 && ++vistas == corte.vez) ::_exit(9);
            });
            instalador.Main();
            ::_exit(0);
        }
        int estado = 0;
        ASSERT_EQ(::waitpid(hijo, &estado, 0), hijo);
        ASSERT_TRUE(WIFEXITED(estado));
        EXPECT_EQ(WEXITSTATUS(estado), 9);
        EXPECT_EQ(foto(), antes);
    }
    AvisosGrabados avisos;
    ASSERT_EQ(Corre(), 0) << Mensajes(avisos);
    EXPECT_EQ(foto().at("821"), 0);
    EXPECT_TRUE(ClaveDeControl("A.MOV")) << "the table came with its key";
}

// A host's own control-record table is left as it stands, even without a key
// and with two equal rows (which no key could be added over): the run is
// made, the catalogue loaded, and the table neither made again nor changed.
TEST_F(SeederTest, TablaDeControlDelHostQuedaComoEsta) {
    const std::string fila =
        "insert into EFCONTROL values (6,'20000000001','200405','0787',0,'A.MOV')";
    {
        auto db = Base();
        db->Execute(
            "CREATE TABLE EFCONTROL([tip_doc_d] Byte, [doc_id_d] text(15),[periodo] "
            "Text(6), [formulario] Text (4),[semana] integer, [nomarc] text(50))",
            jet::dbFailOnError);
        db->Execute(fila, jet::dbFailOnError);
        db->Execute(fila, jet::dbFailOnError);
    }
    AvisosGrabados avisos;
    std::vector<std::string> sentencias;
    {
        seeder::Instalador instalador;
        instalador.FijaRegistro(&sentencias);
        ASSERT_EQ(instalador.Main(), 0) << Mensajes(avisos);
    }
    EXPECT_TRUE(avisos.avisos.empty()) << Mensajes(avisos);
    for (const std::string& s : sentencias)
        EXPECT_EQ(vb::UCase(s).find("EFCONTROL"), std::string::npos) << s;
    EXPECT_EQ(Cuenta("SELECT * FROM PARAM WHERE Numero='821'"), 0);
    EXPECT_EQ(Cuenta("SELECT * FROM PARAM WHERE Numero='820'"), 4);
    EXPECT_EQ(Cuenta("SELECT * FROM envio_t WHERE formulario='0787'"), 2);
    EXPECT_EQ(Cuenta("SELECT * FROM Reportes WHERE CodRep='UZQ002'"), 1);
    // Still the host's table: six columns, no key, both rows.
    auto db = Base();
    db->Execute(fila, jet::dbFailOnError);
    EXPECT_EQ(Cuenta("SELECT * FROM EFCONTROL"), 3);
    EXPECT_EQ(db->OpenRecordset("EFCONTROL", jet::dbOpenTable)->FieldCount(), 6);
}

// Table names are matched without regard to case; the engine's "table already
// exists" and "primary key already exists" pass in silence, other refusals
// are reported.
TEST_F(SeederTest, ExisteTablaYErroresSilenciosos) {
    AvisosGrabados avisos;
    seeder::Instalador instalador;
    ASSERT_TRUE(instalador.AbreBaseDatos(inst.sysPath));
    instalador.Base()->Execute("CREATE TABLE EfControl ([a] text(5))", jet::dbFailOnError);
    for (const char* nombre : {"EFCONTROL", "efcontrol", "EfControl", "param"}) {
        EXPECT_TRUE(instalador.ExisteTabla(nombre)) << nombre;
    }
    EXPECT_FALSE(instalador.ExisteTabla("EFCONTRO"));

    instalador.EjecutaSql("CREATE TABLE PARAM ([x] text(1))");  // 3010
    instalador.EjecutaSql(
        "ALTER TABLE PARAM ADD CONSTRAINT PK_OTRA PRIMARY KEY ([Numero])");  // 3283
    EXPECT_TRUE(avisos.avisos.empty()) << Mensajes(avisos);
    EXPECT_FALSE(instalador.HuboFallas());
    instalador.EjecutaSql("insert into NOHAY values (1)");
    ASSERT_EQ(avisos.avisos.size(), 1u);
    EXPECT_EQ(avisos.avisos[0].titulo, "Error al Ejecutar Sentencia SQL");
    EXPECT_TRUE(instalador.HuboFallas());
}

}  // namespace
