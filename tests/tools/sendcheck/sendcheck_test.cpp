// The submission check run as the host runs it, against fresh host
// installations with data files and control records made here.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "host/hostkit.h"
#include "pruebas/host.h"
#include "jet/database.h"
#include "shell/digest.h"
#include "tools/sendcheck/instancia.h"
#include "vb/text.h"
#include "vb/variant.h"

namespace fs = std::filesystem;

namespace {

const std::string kRuc = "20100000001";
const std::string kNombre = "06" + kRuc + "0787" + "201805" + "0";  // report and flag

std::string LeeTodo(const std::string& ruta) {
    std::ifstream in(ruta, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string Une(const std::vector<std::string>& v) {
    std::string t;
    for (const auto& l : v) t += l + "\n";
    return t;
}

// The text against a mask in which '#' stands for any digit.
bool Forma(const std::string& texto, const std::string& mascara) {
    if (texto.size() != mascara.size()) return false;
    for (std::size_t i = 0; i < texto.size(); ++i) {
        if (mascara[i] == '#' ? !std::isdigit(static_cast<unsigned char>(texto[i]))
                              : texto[i] != mascara[i]) {
            return false;
        }
    }
    return true;
}

struct Corrida {
    int codigo = -1;
    std::string errores;
};

// One control record: file kind, period, week, what is stored and whether
// the file on disk still matches.
struct Control {
    std::string extension;  // "MOV", "EXT", or another
    std::string registros;  // num_tuplas
    bool cambiado = false;  // the file changed after it was recorded
    bool borrado = false;   // the file is gone
    std::string periodo = "201805";
    int semana = 0;
    std::string carpeta{};  // a folder of the data folder that holds the file
};

class SendcheckTest : public ::testing::Test {
  protected:
    void SetUp() override { Nueva(); }

    // A fresh installation (each case of a table gets its own).
    void Nueva() {
        const std::string raiz = carpeta.Ruta() + "/" + std::to_string(++instalaciones);
        inst = hostkit::CreaHost(raiz + "/host");
        pruebas::FijaWindir(inst);
        fs::create_directories(raiz + "/run");
        ::setenv("XDG_RUNTIME_DIR", (raiz + "/run").c_str(), 1);
        datos = raiz + "/DATOS/";
        fs::create_directories(datos);
        auto db = hostkit::AbreHost(inst);
        db->Execute(
            "CREATE TABLE EFCONTROL ([tip_doc_d] Byte, [doc_id_d] text(15), "
            "[periodo] Text(6), [formulario] Text(4), [semana] integer, "
            "[nomarc] text(50), [rutarc] text(255), [marca] text(255), "
            "[num_tuplas] text(15))",
            jet::dbFailOnError);
        db->Execute(
            "ALTER TABLE EFCONTROL ADD CONSTRAINT PK_EFCONTROL PRIMARY KEY "
            "([tip_doc_d],[doc_id_d],[periodo],[Formulario],[semana],[nomarc])",
            jet::dbFailOnError);
        db->Close();
    }

    void Casillas(const std::vector<std::pair<std::string, std::string>>& casillas) {
        auto db = hostkit::AbreHost(inst);
        for (const auto& [casilla, valor] : casillas) {
            db->Execute(
                "INSERT INTO DET (DOC_ID_D, TIP_DOC_D, PERIODO, FORMULARIO, SEMANA, "
                "CASILLA, I_VALOR, estado) VALUES ('" +
                    kRuc + "',6,'201805','0787',0,'" + casilla + "','" + valor + "',1)",
                jet::dbFailOnError);
        }
    }

    void Controles(const std::vector<Control>& controles) {
        auto db = hostkit::AbreHost(inst);
        for (const Control& c : controles) {
            const std::string nombre = "0787" + c.periodo + kRuc + "." + c.extension;
            const std::string rutArc = c.carpeta.empty() ? datos : datos + c.carpeta + "/";
            fs::create_directories(rutArc);
            const std::string ruta = rutArc + nombre;
            std::ofstream(ruta, std::ios::binary) << "linea de datos " << nombre << "\r\n";
            const std::string marca = vb::ToText(shell::CalculaMarcaArchivo(ruta));
            if (c.cambiado) std::ofstream(ruta, std::ios::app) << "otra linea\r\n";
            if (c.borrado) fs::remove(ruta);
            db->Execute("INSERT INTO EFCONTROL VALUES (6,'" + kRuc + "','" + c.periodo +
                            "','0787'," + std::to_string(c.semana) + ",'" + nombre + "','" + rutArc +
                            "','" + marca + "','" + c.registros + "')",
                        jet::dbFailOnError);
        }
    }

    static std::string Linea(const std::string& numero = kRuc) {
        std::string n = numero;
        n.resize(15, ' ');
        return "06" + n + "0787" + "201805" + "0" + "12345678";
    }

    Corrida Corre(const std::string& linea) {
        const std::string programa = std::string(FD_BIN_DIR) + "/sendcheck";
        const std::string salida = carpeta.Ruta() + "/stderr.txt";
        pid_t hijo = ::fork();
        if (hijo == 0) {
            int fd = ::open(salida.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(fd, 2);
            ::execl(programa.c_str(), programa.c_str(), linea.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        int estado = 0;
        ::waitpid(hijo, &estado, 0);
        return {WIFEXITED(estado) ? WEXITSTATUS(estado) : -1, LeeTodo(salida)};
    }

    // The report's lines after its header (checked here), or "(no report)".
    std::vector<std::string> Hallazgos(const std::string& nombre = kNombre) {
        const std::string ruta = inst.tmp + nombre + ".ERR";
        if (!fs::exists(ruta)) return {"(no report)"};
        const std::string texto = vb::Cp1252ToUtf8(LeeTodo(ruta));
        std::vector<std::string> lineas;
        std::size_t desde = 0, fin;
        while ((fin = texto.find("\r\n", desde)) != std::string::npos) {
            lineas.push_back(texto.substr(desde, fin - desde));
            desde = fin + 2;
        }
        EXPECT_EQ(desde, texto.size()) << "last line without CR LF";
        if (lineas.size() < 4) return {"(short report)"};
        EXPECT_TRUE(Forma(lineas[0], "##/##/####" + std::string(70, ' ') + "##:##:##"))
            << lineas[0];
        EXPECT_EQ(lineas[1], " ");
        EXPECT_EQ(lineas[2], " ");
        EXPECT_EQ(lineas[3],
                  std::string(20, ' ') +
                      "Resumen de Inconsistencias en Información a Enviar - Formulario 0787");
        return {lineas.begin() + 4, lineas.end()};
    }

    std::string Bandera(const std::string& nombre = kNombre) {
        const std::string ruta = inst.tmp + nombre + ".TXT";
        return fs::exists(ruta) ? LeeTodo(ruta) : "(no flag)";
    }

    // The message names the report where it lies on disk.
    std::string Aviso(const std::string& nombre = kNombre) {
        return "Error en la información a enviar: Existen datos inconsistentes en la "
               "información a enviar. Revisar el archivo " +
               inst.tmp + nombre + ".ERR\n";
    }

    pruebas::CarpetaTemporal carpeta;
    hostkit::Instalacion inst;
    std::string datos;
    int instalaciones = 0;
};

const std::string k592 =
    ") El valor de la casilla 592 no coincide con la cantidad de registros de TABLA MOV.";
const std::string k593 =
    ") El valor de la casilla 593 no coincide con la cantidad de registros de TABLA EXT.";
const std::string kMov = ") El archivo de movimientos ha sido modificado ";
const std::string kExt = ") El archivo de extornos ha sido modificado ";

TEST_F(SendcheckTest, FindingsByCase) {
    struct Caso {
        const char* que;
        std::vector<std::pair<std::string, std::string>> casillas;
        std::vector<Control> controles;
        std::vector<std::string> hallazgos;  // empty: a clean run, no files left
    };
    const std::vector<Caso> casos = {
        {"box 592 compared by its absolute value; no box 593 and 0 reversals",
         {{"592", "-120"}},
         {{"MOV", "120"}, {"EXT", "0"}},
         {}},
        {"no box 593 and 5 reversals",
         {{"592", "7"}},
         {{"MOV", "7"}, {"EXT", "5"}},
         {"001" + k593}},
        {"two counts and a changed reversal file, numbered in order",
         {{"592", "8"}, {"593", "2"}},
         {{"MOV", "7"}, {"EXT", "3", true}},
         {"001" + k592, "002" + k593, "003" + kExt}},
        {"a movement file that is gone", {}, {{"MOV", "0", false, true}}, {"001" + kMov}},
        {"other extensions, periods and weeks are not digest-checked",
         {},
         {{"TXT", "0", true},
          {"MOV", "0", true, false, "201806"},
          {"EXT", "0", true, false, "201805", 1},
          {"MOV", "0"}},
         {}},
        {"no control record", {{"592", "120"}}, {}, {"001" + k592}},
        {"files in folders whose names Windows-1252 has or lacks",  // "数据", "Perú"
         {},
         {{"MOV", "0", false, false, "201805", 0, "\xe6\x95\xb0\xe6\x8d\xae"},
          {"EXT", "0", false, false, "201805", 0, "Per\xc3\xba"}},
         {}},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.que);
        Nueva();
        Casillas(caso.casillas);
        Controles(caso.controles);
        Corrida c = Corre(Linea());
        EXPECT_EQ(c.codigo, 0);
        if (caso.hallazgos.empty()) {
            EXPECT_EQ(c.errores, "");
            EXPECT_EQ(Une(Hallazgos()), "(no report)\n");
            EXPECT_EQ(Bandera(), "(no flag)");
        } else {
            EXPECT_EQ(c.errores, Aviso());
            EXPECT_EQ(Une(Hallazgos()), Une(caso.hallazgos));
            EXPECT_EQ(Bandera(), "0787 ERROR\r\n");
        }
    }
}

// With both files changed only the first row the database gives is reported.
TEST_F(SendcheckTest, OnlyTheFirstChangedFileIsReported) {
    Controles({{"MOV", "0", true}, {"EXT", "0", true}});
    std::string primero;
    {
        auto db = hostkit::AbreHost(inst);
        auto rs =
            db->OpenRecordset("SELECT * FROM EFCONTROL  Where tip_doc_d=6 And  doc_id_d='" + kRuc +
                                  "' And periodo='201805' And  formulario='0787' "
                                  "And  semana=0",
                              jet::dbOpenSnapshot);
        primero = vb::ToText(rs->Fields("nomarc").Value());
    }
    Corrida c = Corre(Linea());
    EXPECT_EQ(c.errores, Aviso());
    EXPECT_EQ(Une(Hallazgos()), "001" + (primero.ends_with("MOV") ? kMov : kExt) + "\n");
}

// A check that could not be made is no pass: the user is told, the report
// says what could not be checked and the flag is left. Quotes in the line
// change no statement.
TEST_F(SendcheckTest, ChecksThatCouldNotBeMadeAreFailures) {
    const std::string mal = "06201000";
    const std::string nombreMal = "06201000";
    struct Caso {
        const char* que;
        std::string linea, nombre;
        bool sinTabla = false;
        int codigo;  // a line that names no declaration checked nothing
        std::vector<std::string> hallazgos;  // prefixes
    };
    const std::string sinFormato =
        "001) No se pudo verificar: la línea de órdenes no tiene el formato esperado.";
    const std::vector<Caso> casos = {
        {"no command line", "", "", false, 1, {sinFormato}},
        {"line too short", mal, nombreMal, false, 1, {sinFormato}},
        {"quote in the document type", "0'" + Linea().substr(2), "0'" + kNombre.substr(2), false,
         1, {sinFormato}},
        {"no control-record table",
         Linea(),
         kNombre,
         true,
         0,
         {"001) No se pudo verificar la casilla 592 con TABLA MOV: ",
          "002) No se pudo verificar la casilla 593 con TABLA EXT: ",
          "003) No se pudo verificar los archivos de la declaración: "}},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.que);
        Nueva();
        if (caso.sinTabla) hostkit::AbreHost(inst)->Execute("DROP TABLE EFCONTROL");
        Corrida c = Corre(caso.linea);
        EXPECT_EQ(c.codigo, caso.codigo);
        EXPECT_EQ(c.errores, Aviso(caso.nombre));
        std::vector<std::string> h = Hallazgos(caso.nombre);
        ASSERT_EQ(h.size(), caso.hallazgos.size()) << Une(h);
        for (std::size_t i = 0; i < h.size(); ++i)
            EXPECT_EQ(h[i].rfind(caso.hallazgos[i], 0), 0u) << h[i];
        EXPECT_EQ(Bandera(caso.nombre), "0787 ERROR\r\n");
    }

    // A quote in the document number is a value like any other: a clean run.
    Nueva();
    Corrida c = Corre(Linea("2010'000001"));
    EXPECT_EQ(c.errores, "");
    std::set<std::string> archivos;
    for (const auto& e : fs::directory_iterator(inst.tmp)) archivos.insert(e.path().filename());
    EXPECT_EQ(archivos, (std::set<std::string>{"envuzq.txt", "paruzq.txt"}));
}

// Findings that could not be written down, or a flag that could not be left,
// are told with the system's reason and end the run with a failure: the host
// never takes such a run for a clean check. A clean check has nothing to
// record and stays a pass.
TEST_F(SendcheckTest, ReportOrFlagThatCannotBeWrittenIsNoPass) {
    enum Estorbo { kSinTemporal, kArchivoPorTemporal, kCarpetaPorReporte, kCarpetaPorBandera };
    const std::string noHay = "Ruta de acceso no encontrada (76)";
    const std::string acceso = "Error de acceso a la ruta o al archivo (75)";
    const std::string inconsistente =
        "Error en la información a enviar: Existen datos "
        "inconsistentes en la información a enviar. ";
    struct Caso {
        const char* que;
        Estorbo estorbo;
        bool hallazgo;
        int codigo;
        // The message with %R and %B for the report's and the flag's paths;
        // empty: no message.
        std::string mensaje;
        std::string reporte, bandera;  // what is left in the temporary folder
    };
    const std::vector<Caso> casos = {
        {"no temporary folder", kSinTemporal, true, 1,
         inconsistente + "No se pudo grabar el archivo %R: " + noHay +
             ".\nNo se pudo grabar el archivo %B: " + noHay + ".\n",
         "(no report)\n", "(no flag)"},
        {"a file in place of the temporary folder", kArchivoPorTemporal, true, 1,
         inconsistente + "No se pudo grabar el archivo %R: " + noHay +
             ".\nNo se pudo grabar el archivo %B: " + noHay + ".\n",
         "(no report)\n", "(no flag)"},
        {"the report refused, the flag left", kCarpetaPorReporte, true, 1,
         inconsistente + "No se pudo grabar el archivo %R: " + acceso + ".\n", "(folder)\n",
         "0787 ERROR\r\n"},
        {"the report written, the flag refused", kCarpetaPorBandera, true, 1,
         inconsistente +
             "Revisar el archivo %R\nError en la información a enviar: No se pudo "
             "grabar el archivo %B: " +
             acceso + ".\n",
         "001" + k592 + "\n", "(folder)"},
        {"a clean check without a temporary folder", kSinTemporal, false, 0, "", "(no report)\n",
         "(no flag)"},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.que);
        Nueva();
        Casillas({{"592", caso.hallazgo ? "120" : "0"}});
        std::string tmp = inst.tmp;
        switch (caso.estorbo) {
            case kSinTemporal:
                fs::remove_all(inst.tmp);
                tmp = inst.sysPath + "TMP/";  // as the settings spell it
                break;
            case kArchivoPorTemporal:
                fs::remove_all(inst.tmp);
                std::ofstream(inst.tmp.substr(0, inst.tmp.size() - 1)) << "no es una carpeta";
                break;
            case kCarpetaPorReporte:
                fs::create_directories(inst.tmp + kNombre + ".ERR/dentro");
                break;
            case kCarpetaPorBandera:
                fs::create_directories(inst.tmp + kNombre + ".TXT/dentro");
                break;
        }
        Corrida c = Corre(Linea());
        EXPECT_EQ(c.codigo, caso.codigo);
        std::string mensaje = caso.mensaje;
        for (auto [marca, ruta] :
             {std::pair{"%R", tmp + kNombre + ".ERR"}, std::pair{"%B", tmp + kNombre + ".TXT"}}) {
            const std::size_t p = mensaje.find(marca);
            if (p != std::string::npos) mensaje.replace(p, 2, ruta);
        }
        EXPECT_EQ(c.errores, mensaje);
        const bool carpetaReporte = fs::is_directory(inst.tmp + kNombre + ".ERR");
        const bool carpetaBandera = fs::is_directory(inst.tmp + kNombre + ".TXT");
        EXPECT_EQ(carpetaReporte ? "(folder)\n" : Une(Hallazgos()), caso.reporte);
        EXPECT_EQ(carpetaBandera ? "(folder)" : Bandera(), caso.bandera);
    }
}

TEST_F(SendcheckTest, LockedDatabaseAndSecondInstanceEndWithTheirMessage) {
    Casillas({{"592", "120"}});
    {
        // A database that cannot be opened is no pass: its message, then
        // the report says why and the flag is left.
        pruebas::BloqueoExclusivo bloqueo(inst);
        ASSERT_TRUE(bloqueo.Activo());
        Corrida c = Corre(Linea());
        EXPECT_EQ(c.errores, "Error de Conección:  3051- Base esta bloqueda\n");
        EXPECT_EQ(Une(Hallazgos()),
                  "001) No se pudo verificar: no se pudo abrir la base de datos.\n");
        EXPECT_EQ(Bandera(), "0787 ERROR\r\n");
    }
    fs::remove(inst.tmp + kNombre + ".ERR");
    fs::remove(inst.tmp + kNombre + ".TXT");
    {
        // The running instance writes the files; the second one nothing.
        auto cerrojo = sendcheck::CerrojoInstancia::Toma("sendcheck");
        ASSERT_NE(cerrojo, nullptr);
        Corrida c = Corre(Linea());
        EXPECT_EQ(c.errores, "Remesil: La aplicación ya se encuentra en Ejecución\n");
        EXPECT_EQ(c.codigo, 1);
    }
    EXPECT_EQ(Une(Hallazgos()), "(no report)\n");
    EXPECT_EQ(Bandera(), "(no flag)");
}

}  // namespace
