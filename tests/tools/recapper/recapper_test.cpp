// The summary program run as the host runs it, against fresh host
// installations.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "host/hostkit.h"
#include "pruebas/host.h"
#include "jet/database.h"
#include "profile/profile.h"
#include "vb/strings.h"
#include "vb/text.h"
#include "vb/variant.h"

namespace fs = std::filesystem;

namespace {

const std::string kRuc = "20100000001";

struct Corrida {
    int codigo = -1;
    std::string errores;  // standard error
};

// Starts the program with the line as its one argument, standard error to a
// file; does not wait.
pid_t Lanza(const std::string& linea, const std::string& salida) {
    const std::string programa = std::string(FD_BIN_DIR) + "/recapper";
    pid_t hijo = ::fork();
    if (hijo == 0) {
        int fd = ::open(salida.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(fd, 2);
        ::execl(programa.c_str(), programa.c_str(), linea.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    return hijo;
}

std::string LeeTodo(const std::string& ruta) {
    std::ifstream in(ruta, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The lines of a file written by the program (CR LF, Windows-1252).
std::vector<std::string> Lineas(const std::string& ruta) {
    const std::string texto = vb::Cp1252ToUtf8(LeeTodo(ruta));
    std::vector<std::string> lineas;
    std::size_t desde = 0;
    while (desde < texto.size()) {
        std::size_t fin = texto.find("\r\n", desde);
        if (fin == std::string::npos) {
            lineas.push_back(texto.substr(desde) + "<sin CR LF>");
            break;
        }
        lineas.push_back(texto.substr(desde, fin - desde));
        desde = fin + 2;
    }
    return lineas;
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

std::string sp(int n) {
    return std::string(n, ' ');
}

std::string Une(const std::vector<std::string>& lineas) {
    std::string t;
    for (const auto& l : lineas) t += l + "\n";
    return t;
}

// A generated declaration as the test stores it.
struct Declaracion {
    std::string nombre = "EMPRESA DE PRUEBA S.A.";
    bool cabecera = true;
    std::string cheque;  // "" cash
    std::string banco;   // bcolibrad
    std::map<std::string, std::string> casillas;
};

class RecapperTest : public ::testing::Test {
  protected:
    void SetUp() override { Prepara("/host"); }

    void Prepara(const std::string& sub) {
        inst = hostkit::CreaHost(carpeta.Ruta() + sub);
        pruebas::FijaWindir(inst);
        auto db = hostkit::AbreHost(inst);
        db->Execute(
            "INSERT INTO PARAM (Numero, Argumento, Funcion, Correl_Param) VALUES "
            "('004','91','BANCO UNO DE PRUEBAS COMERCIALES SA  B.UNO','000')",
            jet::dbFailOnError);
        db->Close();
    }

    void Graba(const Declaracion& d) {
        auto db = hostkit::AbreHost(inst);
        auto ejecuta = [&](const std::string& sql) { db->Execute(sql, jet::dbFailOnError); };
        ejecuta(
            "INSERT INTO CONT (Tip_doc_d, Doc_id_d, Cod_dep, Nombre, Usuario, Direccion) "
            "VALUES (6,'" +
            kRuc + "','0021','" + jet::Q(d.nombre) + "','USUARIO1','CALLE 1')");
        if (d.cabecera) {
            ejecuta(
                "INSERT INTO CAB (DOC_ID_D, TIP_DOC_D, PERIODO, FORMULARIO, SEMANA, estado, "
                "bcolibrad, nrocheque) VALUES ('" +
                kRuc + "',6,'201805','0787',0,1,'" + d.banco + "'," +
                (d.cheque.empty() ? "NULL" : "'" + d.cheque + "'") + ")");
        }
        for (const auto& [casilla, valor] : d.casillas) {
            ejecuta(
                "INSERT INTO DET (DOC_ID_D, TIP_DOC_D, PERIODO, FORMULARIO, SEMANA, CASILLA, "
                "I_VALOR, estado) VALUES ('" +
                kRuc + "',6,'201805','0787',0,'" + casilla + "','" + valor + "',1)");
        }
        db->Close();
    }

    static std::string Linea(const std::string& numero = kRuc) {
        std::string n = numero;
        n.resize(15, ' ');
        return "06" + n + "0787" + "201805" + "0" + "A1234567";
    }

    Corrida Corre(const std::string& linea) {
        const std::string salida = carpeta.Ruta() + "/stderr.txt";
        Corrida c;
        int estado = 0;
        ::waitpid(Lanza(linea, salida), &estado, 0);
        c.codigo = WIFEXITED(estado) ? WEXITSTATUS(estado) : -1;
        c.errores = LeeTodo(salida);
        return c;
    }

    std::vector<std::string> Spool() {
        auto db = hostkit::AbreHost(inst);
        auto rs = db->OpenRecordset("SELECT * FROM SPOOL WHERE CodRep='UZQ002' ORDER BY Archivo",
                                    jet::dbOpenSnapshot);
        std::vector<std::string> filas;
        for (; !rs->Eof(); rs->MoveNext()) {
            filas.push_back(vb::ToText(rs->Fields("Secuencia").Value()) + " " +
                            vb::ToText(rs->Fields("Archivo").Value()) + " " +
                            vb::ToText(rs->Fields("Usuario").Value()) + " " +
                            vb::ToText(rs->Fields("tip_doc_d").Value()) + " " +
                            vb::ToText(rs->Fields("Doc_id_d").Value()));
        }
        return filas;
    }

    // Files of a folder, by name.
    static std::set<std::string> Archivos(const std::string& carpeta) {
        std::set<std::string> n;
        for (const auto& e : fs::directory_iterator(carpeta)) n.insert(e.path().filename());
        return n;
    }

    std::string Rpt() const { return inst.sysPath + "RPT/"; }
    static constexpr const char* kClave = "0787201805006000020100000001";

    pruebas::CarpetaTemporal carpeta;
    hostkit::Instalacion inst;
};

// The positioned text of each record of the mark-up report (tags as they are).
std::vector<std::string> Textos(const std::vector<std::string>& registros) {
    std::vector<std::string> t;
    std::int16_t y = 0;
    for (const auto& r : registros) {
        if (r.rfind("pPos|", 0) != 0) {
            t.push_back(r);
            continue;
        }
        y += 175;
        const std::string cabeza = "pPos|10|" + std::to_string(y) + "|";
        const std::string cola = "|False|8|0|";
        if (r.rfind(cabeza, 0) != 0 || r.size() < cabeza.size() + cola.size() ||
            r.compare(r.size() - cola.size(), cola.size(), cola) != 0) {
            t.push_back("MAL FORMADO: " + r);
            continue;
        }
        t.push_back(r.substr(cabeza.size(), r.size() - cabeza.size() - cola.size()));
    }
    return t;
}

TEST_F(RecapperTest, ChequeDeclarationGivesBothOutputsAndTheirCopies) {
    Declaracion d;
    d.nombre = "EMPRESA DE PRUEBA S.A. DEL NORTE";
    d.cheque = " 00451 ";
    d.banco = "91";
    d.casillas = {{"005", "777"}, {"871", "1"},     {"312", "1234567"},         {"313", "-250"},
                  {"332", "0"},   {"333", "12.5X"}, {"598", "123456789012345"}, {"721", "999"}};
    Graba(d);
    Corrida c = Corre(Linea("  " + kRuc));
    ASSERT_EQ(c.codigo, 0) << c.errores;
    EXPECT_EQ(c.errores, "");

    ASSERT_EQ(Spool(), std::vector<std::string>{"000001 00000001.PRN USUARIO1 6 " + kRuc});
    const auto registros = Lineas(Rpt() + "00000001.PRN");
    EXPECT_EQ(LeeTodo(Rpt() + kClave + ".PRN"), LeeTodo(Rpt() + "00000001.PRN"));

    std::vector<std::string> textos = Textos(registros);
    ASSERT_EQ(textos.size(), 34u) << Une(registros);
    EXPECT_TRUE(Forma(textos[9], sp(10) + "##/##/####" + sp(56) + "Pag. 01/01")) << textos[9];
    EXPECT_TRUE(Forma(textos[10], sp(10) + "##:##:##")) << textos[10];
    const std::string hoy = textos[9].substr(10, 10);
    textos[9] = textos[10] = "";
    const std::string m(10, ' ');
    const std::vector<std::string> esperados = {
        "<!font!>Courier New<!/font!>",
        "<!nHojas!>1<!/nHojas!>",
        "",
        "<!Orientacion!>V<!/Orientacion!>",
        "<!Color!>&H80000005&<!/Color!>",
        "",
        "",
        "",
        "",
        "",
        "",
        "",
        std::string(16, ' ') + "Resumen de Declaración Generada - Formulario 0787 ",
        "",
        m + "DOCUMENTO        : " + kRuc,
        m + "RAZON SOCIAL     : EMPRESA DE PRUEBA S.A. DEL NORTE",
        m + "FORMULARIO       : 0787-QVX UZQ",
        m + "PERIODO          : 05/2018",
        m + "RECTIFICATORIA   : UZQ 777",
        m + "FORMA DE PAGO    : CHEQUE",
        m + "NUMERO DE CHEQUE : 00451",
        m + "BANCO            : BANCO UNO DE PRUEBAS COMERCIALES SA",
        "",
        "",
        m + "TRIBUTO            IMP.RESULT.     MONTO PAGO",
        m + "UZQ CTA Propia " + sp(6) + "1,234,567" + sp(11) + "-250",
        m + "UZQ Retencion  " + sp(14) + "0",
        "",
        m + "TOTAL:" + std::string(24, ' ') + " 123,456,789,012,345",
        "",
        m + "NC A1234567        Fec.Generación: " + hoy,
        "",
        "",
        ""};
    EXPECT_EQ(Une(textos), Une(esperados));

    // The text copy: name and bank cut to 20 characters; the temporary name
    // is gone.
    const std::vector<std::string> txt = {"DOCUMENTO      : " + kRuc,
                                          "RAZON SOCIAL   : EMPRESA DE PRUEBA S.",
                                          "FORMULARIO     : 0787-QVX UZQ          ",
                                          "PERIODO        : 05/2018",
                                          "RECTIFICATORIA : UZQ 777",
                                          "FORMA DE PAGO  : CHEQUE",
                                          "NUMERO CHEQUE  : 00451",
                                          "BANCO          : BANCO UNO DE PRUEBAS",
                                          " ",
                                          "TRIBUTO        IMP.RESULT.   MONTO PAGO",
                                          "UZQ CTA Prop." + sp(4) + "1,234,567" + sp(9) + "-250",
                                          "UZQ Retencion" + sp(12) + "0",
                                          " ",
                                          "TOTAL:" + std::string(19, ' ') + " 123,456,789,012,345",
                                          " ",
                                          "NC A1234567  Fec.Generación: " + hoy};
    EXPECT_EQ(Une(Lineas(inst.tmp + kClave + ".txt")), Une(txt));
    EXPECT_EQ(Archivos(inst.tmp),
              (std::set<std::string>{"envuzq.txt", "paruzq.txt", std::string(kClave) + ".txt"}));
    EXPECT_EQ(Archivos(Rpt()),
              (std::set<std::string>{"00000001.PRN", std::string(kClave) + ".PRN"}));
}

// Lines that change with the declaration, in the text copy (the mark-up
// report takes the same values).
TEST_F(RecapperTest, PaymentRectificationNameAndBoxesByCase) {
    struct Caso {
        const char* que;
        Declaracion d;
        std::vector<std::string> esperadas;  // lines 2 and 5 on
    };
    auto con = [](std::string nombre, std::string cheque, std::string banco,
                  std::map<std::string, std::string> casillas, bool cabecera = true) {
        Declaracion d;
        d.nombre = std::move(nombre);
        d.cheque = std::move(cheque);
        d.banco = std::move(banco);
        d.casillas = std::move(casillas);
        d.cabecera = cabecera;
        return d;
    };
    const std::vector<Caso> casos = {
        {"cash, 871 another digit, name of 19",
         con("EMPRESA DE PRUEBA S", "", "91", {{"871", "2"}, {"005", "15"}, {"598", "100"}}),
         {"RAZON SOCIAL   : EMPRESA DE PRUEBA S", "RECTIFICATORIA :  15",
          "FORMA DE PAGO  : EFECTIVO", " ", "TRIBUTO        IMP.RESULT.   MONTO PAGO",
          "UZQ CTA Prop.", "UZQ Retencion", " ",
          "TOTAL:" + std::string(19, ' ') + "           100"}},
        {"unknown bank, 871 is 0, name of 20",
         con("EMPRESA DE PRUEBA SA", "77", "55", {{"871", "0"}, {"005", "15"}}),
         {"RAZON SOCIAL   : EMPRESA DE PRUEBA SA", "RECTIFICATORIA : NO ",
          "FORMA DE PAGO  : CHEQUE", "NUMERO CHEQUE  : 77", "BANCO          : ", " ",
          "TRIBUTO        IMP.RESULT.   MONTO PAGO", "UZQ CTA Prop.", "UZQ Retencion", " ",
          "TOTAL:" + std::string(19, ' ')}},
        {"no boxes at all, blank cheque, name of 21",
         con("EMPRESA DE PRUEBA SAC", "   ", "91", {}),
         {"RAZON SOCIAL   : EMPRESA DE PRUEBA SA", "RECTIFICATORIA : NO ",
          "FORMA DE PAGO  : EFECTIVO", " ", "TRIBUTO        IMP.RESULT.   MONTO PAGO",
          "UZQ CTA Prop.", "UZQ Retencion", " ", "TOTAL:" + std::string(19, ' ')}},
        {"no header row, values as wide as the column",
         con("EMPRESA DE PRUEBA", "", "", {{"312", "123456789"}, {"332", "1234567890"}}, false),
         {"RAZON SOCIAL   : EMPRESA DE PRUEBA", "RECTIFICATORIA : NO ", "FORMA DE PAGO  : EFECTIVO",
          " ", "TRIBUTO        IMP.RESULT.   MONTO PAGO", "UZQ CTA Prop.  123,456,789",
          "UZQ Retencion 1,234,567,890", " ", "TOTAL:" + std::string(19, ' ')}},
    };
    int n = 0;
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.que);
        Prepara("/host" + std::to_string(++n));
        Graba(caso.d);
        Corrida c = Corre(Linea());
        ASSERT_EQ(c.codigo, 0) << c.errores;
        std::vector<std::string> txt = Lineas(inst.tmp + kClave + ".txt");
        ASSERT_GE(txt.size(), 3u);
        std::vector<std::string> obtenidas = {txt[1]};
        obtenidas.insert(obtenidas.end(), txt.begin() + 4, txt.end() - 2);
        EXPECT_EQ(Une(obtenidas), Une(caso.esperadas));
        // The mark-up report shows the whole name.
        const std::string rpt = LeeTodo(Rpt() + "00000001.PRN");
        EXPECT_NE(rpt.find("RAZON SOCIAL     : " + caso.d.nombre + "|"), std::string::npos);
    }
}

TEST_F(RecapperTest, SpoolNumbersContinueAndTwoRunsAtOnceGetDistinctNames) {
    {
        auto db = hostkit::AbreHost(inst);
        db->Execute(
            "INSERT INTO SPOOL (CodRep, Secuencia, Archivo, Usuario, tip_doc_d, Doc_id_d) "
            "VALUES ('UZQ002','000004','00000050.PRN','HOST',6,'1')",
            jet::dbFailOnError);
        db->Execute(
            "INSERT INTO SPOOL (CodRep, Secuencia, Archivo, Usuario, tip_doc_d, Doc_id_d) "
            "VALUES ('UZQ001','000009','00000070.PRN','HOST',6,'1')",
            jet::dbFailOnError);
    }
    Graba(Declaracion{});
    const std::string a = carpeta.Ruta() + "/a.txt", b = carpeta.Ruta() + "/b.txt";
    pid_t pa = Lanza(Linea(), a), pb = Lanza(Linea(), b);
    int ea = 0, eb = 0;
    ::waitpid(pa, &ea, 0);
    ::waitpid(pb, &eb, 0);
    EXPECT_TRUE(WIFEXITED(ea) && WEXITSTATUS(ea) == 0) << LeeTodo(a);
    EXPECT_TRUE(WIFEXITED(eb) && WEXITSTATUS(eb) == 0) << LeeTodo(b);
    EXPECT_EQ(Spool(), (std::vector<std::string>{"000004 00000050.PRN HOST 6 1",
                                                 "000005 00000071.PRN USUARIO1 6 " + kRuc,
                                                 "000006 00000072.PRN USUARIO1 6 " + kRuc}));
    EXPECT_EQ(Archivos(Rpt()), (std::set<std::string>{"00000071.PRN", "00000072.PRN",
                                                      std::string(kClave) + ".PRN"}));
    EXPECT_EQ(Archivos(inst.tmp),
              (std::set<std::string>{"envuzq.txt", "paruzq.txt", std::string(kClave) + ".txt"}));
}

// Runs that fail before writing leave no spool row and no file: a taxpayer
// that is not registered (a quote in the number included) ends with both
// messages, a damaged box row with the technical one.
TEST_F(RecapperTest, NoTaxpayerWritesNothing) {
    Graba(Declaracion{});
    for (const std::string numero : {"20999999999", "2010'000001"}) {
        SCOPED_TRACE(numero);
        Corrida c = Corre(Linea(numero));
        EXPECT_EQ(c.codigo, 1);
        EXPECT_EQ(c.errores,
                  "Error: No existe data para Generar Reporte de Envio!!!\r\n\n\n"
                  "Mensaje: Error tecnico:  53\nArchivo no encontrado\n"
                  "Intente nuevamente por favor.\n");
        EXPECT_TRUE(Spool().empty());
        EXPECT_TRUE(Archivos(Rpt()).empty());
        EXPECT_EQ(Archivos(inst.tmp), (std::set<std::string>{"envuzq.txt", "paruzq.txt"}));
    }
    // A stored box number outside both box tables is a damaged declaration:
    // the technical message, and still nothing written.
    for (const std::string casilla : {"000", "-5", "X"}) {
        SCOPED_TRACE(casilla);
        Prepara("/host-" + casilla);
        Declaracion d;
        d.casillas = {{"312", "100"}, {casilla, "5"}};
        Graba(d);
        Corrida c = Corre(Linea());
        EXPECT_EQ(c.codigo, 1);
        EXPECT_EQ(c.errores,
                  "Mensaje: Error tecnico:  9\nEl subíndice está fuera del intervalo\n"
                  "Intente nuevamente por favor.\n");
        EXPECT_TRUE(Spool().empty());
        EXPECT_TRUE(Archivos(Rpt()).empty());
        EXPECT_EQ(Archivos(inst.tmp), (std::set<std::string>{"envuzq.txt", "paruzq.txt"}));
    }
    // A database that cannot be opened: its own message only.
    ASSERT_TRUE(profile::WritePrivateProfileString("Options", "DBName", "OTRA.MDB", inst.ini));
    Corrida c = Corre(Linea());
    EXPECT_EQ(c.codigo, 1);
    EXPECT_TRUE(c.errores.starts_with("Mensaje: \n") &&
                c.errores.ends_with("\nIntente nuevamente por favor.\n") &&
                c.errores.find("Error tecnico") == std::string::npos)
        << c.errores;
}

}  // namespace
