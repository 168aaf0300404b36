// The host stand-in: the installation makehost lays out and the host's sending
// of a stored declaration.
#include "host/hostkit.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "pruebas/host.h"
#include "jet/database.h"
#include "profile/profile.h"
#include "shell/cnumero.h"
#include "shell/cuenta.h"
#include "vb/numeric.h"
#include "vb/strings.h"
#include "vb/variant.h"

namespace fs = std::filesystem;
using pruebas::CarpetaTemporal;

namespace {

int Ejecuta(const std::string& linea) {
    int estado = std::system(linea.c_str());
    return WIFEXITED(estado) ? WEXITSTATUS(estado) : -1;
}

std::string Makehost() {
    return std::string(FD_BIN_DIR) + "/makehost";
}

long Cuenta(jet::Database& db, const std::string& sql) {
    auto rs = db.OpenRecordset(sql, jet::dbOpenSnapshot);
    long n = 0;
    for (; !rs->Eof(); rs->MoveNext()) ++n;
    return n;
}

TEST(Makehost, CreaUnaInstalacionCompletaYNoPisaOtra) {
    CarpetaTemporal tmp;
    const std::string carpeta = tmp.Ruta() + "/sample";
    ASSERT_EQ(Ejecuta(Makehost() + " '" + carpeta + "' >/dev/null"), 0);
    hostkit::Instalacion inst = hostkit::Rutas(carpeta);

    for (const std::string& d :
         {inst.windows, inst.sysPath + "RPT", inst.tmp, inst.sysPath + "0787"}) {
        EXPECT_TRUE(fs::is_directory(d)) << d;
    }
    for (const std::string& f : {inst.ini, inst.grupo, inst.base, inst.tmp + "paruzq.txt",
                                 inst.tmp + "envuzq.txt", inst.sysPath + "0787/formdesk.html"}) {
        EXPECT_TRUE(fs::is_regular_file(f)) << f;
    }
    auto clave = [&](const char* k) { return profile::LeeClave("Options", k, inst.ini); };
    EXPECT_EQ(clave("SysPath"), inst.sysPath);
    EXPECT_EQ(clave("SysPath").back(), '/');
    EXPECT_EQ(clave("DBPath") + clave("DBName"), inst.base);
    EXPECT_EQ(clave("SysUser"), hostkit::kUsuarioSistema);
    EXPECT_FALSE(clave("SysVersion").empty());
    EXPECT_FALSE(clave("SysMenu").empty());

    auto db = hostkit::AbreHost(inst);
    std::set<std::string> tablas;
    for (const std::string& t : db->TableDefs()) tablas.insert(vb::UCase(t));
    for (const char* t : {"CONT", "CLAVES", "PARAM", "SPOOL", "CAB", "DET", "HCAB", "HDET", "ERROR",
                          "ENVIO_T", "REPORTES"}) {
        EXPECT_TRUE(tablas.count(t)) << t;
    }
    EXPECT_FALSE(tablas.count("EFCONTROL"));  // the installer's
    db->Close();

    // A second run leaves the first installation alone.
    EXPECT_NE(Ejecuta(Makehost() + " '" + carpeta + "' 2>/dev/null >/dev/null"), 0);
    EXPECT_NE(Ejecuta(Makehost() + " 2>/dev/null"), 0);
}

// An option the program does not know is not taken for the folder to install in.
TEST(Makehost, UnaOpcionNoEsUnaCarpeta) {
    CarpetaTemporal tmp;
    for (const char* opcion : {"--help", "-h", "--send"}) {
        EXPECT_EQ(Ejecuta("cd '" + tmp.Ruta() + "' && " + Makehost() + " " + opcion +
                          " >/dev/null 2>&1"),
                  2)
            << opcion;
        EXPECT_FALSE(fs::exists(tmp.Ruta() + "/" + opcion)) << opcion;
    }
}

// The columns other programs read by position or compute codes over.
TEST(Makehost, OrdenDeColumnas) {
    CarpetaTemporal tmp;
    auto inst = hostkit::CreaHost(tmp.Ruta());
    auto db = hostkit::AbreHost(inst);
    struct Caso {
        const char* tabla;
        std::vector<std::string> primeras;
        std::size_t total;
    };
    const std::vector<Caso> casos = {
        {"CONT", {"Tip_doc_d", "Doc_id_d", "Cod_dep", "Nombre", "Usuario"}, 6},
        {"PARAM", {"Numero", "Argumento", "Funcion", "Correl_Param"}, 4},
        {"CAB", {"DOC_ID_D", "TIP_DOC_D", "PERIODO", "FORMULARIO", "SEMANA"}, 13},
        {"DET", {"DOC_ID_D", "TIP_DOC_D", "PERIODO", "FORMULARIO", "SEMANA", "CASILLA"}, 10},
        {"HCAB", {"DOC_ID_D", "TIP_DOC_D", "PERIODO", "FORMULARIO", "SEMANA", "CORREL"}, 17},
        {"HDET",
         {"DOC_ID_D", "TIP_DOC_D", "PERIODO", "FORMULARIO", "SEMANA", "CASILLA", "CORREL"},
         11},
        // The installer's insert names no columns: all thirteen, in this order.
        {"envio_t",
         {"formulario", "tabla_o", "tabla_d", "tabla_ext", "indice", "obliga", "c_tip_doc_d",
          "c_doc_id_d", "c_Formulario", "c_periodo", "c_estado", "c_envio", "c_semana"},
         13},
        {"Reportes", {"CodRep", "DescRep"}, 3},
        {"SPOOL",
         {"CodRep", "Secuencia", "Archivo", "Fecha", "Usuario", "tip_doc_d", "Doc_id_d"},
         7},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.tabla);
        auto rs = db->OpenRecordset(std::string("SELECT * FROM ") + c.tabla, jet::dbOpenSnapshot);
        ASSERT_EQ(static_cast<std::size_t>(rs->FieldCount()), c.total);
        for (std::size_t i = 0; i < c.primeras.size(); ++i) {
            EXPECT_EQ(vb::UCase(rs->Fields(static_cast<int>(i)).Name()), vb::UCase(c.primeras[i]));
        }
        if (std::string(c.tabla).find("CAB") != std::string::npos ||
            std::string(c.tabla).find("DET") != std::string::npos) {
            EXPECT_EQ(vb::UCase(rs->Fields(rs->FieldCount() - 1).Name()), "CNUMERO");
        }
    }
}

TEST(Makehost, DatosDeMuestra) {
    CarpetaTemporal tmp;
    auto inst = hostkit::CreaHost(tmp.Ruta());
    auto db = hostkit::AbreHost(inst);
    // Every RUC of the register carries its modulus-11 check digit.
    for (const auto& c : hostkit::Contribuyentes()) {
        if (c.tipo != 6) continue;
        std::string diez = c.numero.substr(0, 10);
        EXPECT_EQ(shell::AgregaDigitoVerificador(diez), c.numero);
    }
    EXPECT_GT(Cuenta(*db, "SELECT * FROM CLAVES WHERE Tipo='0'"), 0);
    EXPECT_GT(Cuenta(*db, "SELECT * FROM CLAVES WHERE Tipo='1'"), 0);
    EXPECT_GT(Cuenta(*db, "SELECT * FROM CONT WHERE Usuario='" +
                              std::string(hostkit::kUsuarioSistema) + "'"),
              0);

    // Document types: fixed positions.
    auto rs = db->OpenRecordset("SELECT Funcion FROM PARAM WHERE Numero='044' AND Argumento='1'",
                                jet::dbOpenSnapshot);
    ASSERT_FALSE(rs->Eof());
    std::string f = vb::ToText(rs->Fields(0).Value());
    EXPECT_EQ(vb::Mid(f, 46, 2), "08");
    EXPECT_EQ(vb::Mid(f, 102, 2), "11");
    EXPECT_EQ(vb::Mid(f, 128, 1), "5");
    EXPECT_EQ(vb::Mid(f, 130, 1), "1");
    rs = db->OpenRecordset("SELECT Funcion FROM PARAM WHERE Numero='044' AND Argumento='6'",
                           jet::dbOpenSnapshot);
    f = vb::ToText(rs->Fields(0).Value());
    EXPECT_EQ(vb::Len(f), 130u);
    EXPECT_EQ(vb::Mid(f, 46, 2), "11");
    rs = db->OpenRecordset("SELECT Funcion FROM PARAM WHERE Numero='856' AND Argumento='0787'",
                           jet::dbOpenSnapshot);
    f = vb::ToText(rs->Fields(0).Value());
    EXPECT_EQ(vb::Mid(f, 1, 3), "1.9");
    EXPECT_EQ(vb::Mid(f, 5, 10), "01/03/2004");
    EXPECT_EQ(vb::Mid(f, 20, 3), "722");
}

TEST(Makehost, CuentaDeGrupo) {
    auto cuenta = shell::ArmaCuentaGrupo();
    EXPECT_EQ(cuenta.usuario.size(), 8u);
    EXPECT_EQ(cuenta.clave.size(), 9u);
    EXPECT_EQ(shell::ArmaCuentaGrupo().clave, cuenta.clave);
}

TEST(Envio, CopiaLaDeclaracionConCorrelativoYCodigos) {
    CarpetaTemporal tmp;
    auto inst = hostkit::CreaHost(tmp.Ruta());
    auto db = hostkit::AbreHost(inst);
    const std::string ruc = "20100123453";
    db->Execute("INSERT INTO CAB VALUES ('" + ruc +
                    "',6,'200405','0787',0,'10/06/2004',0,' ',' ',' ','1500','0','123456')",
                jet::dbFailOnError);
    for (const char* casilla : {"002", "313", "598"}) {
        db->Execute("INSERT INTO DET VALUES ('" + ruc + "',6,'200405','0787',0,'" + casilla +
                        "','1500','01',0,'000000')",
                    jet::dbFailOnError);
    }
    EXPECT_THROW(hostkit::EnviaDeclaracion(*db, ruc, "200406"), std::runtime_error);

    auto e1 = hostkit::EnviaDeclaracion(*db, ruc, "200405");
    auto e2 = hostkit::EnviaDeclaracion(*db, ruc, "200405");
    EXPECT_EQ(e1.correl, "001");
    EXPECT_EQ(e2.correl, "002");
    EXPECT_EQ(e1.casillas, 3);
    EXPECT_EQ(e1.control.size(), 8u);
    EXPECT_NE(e1.control, e2.control);

    auto h = db->OpenRecordset("SELECT * FROM HCAB WHERE CORREL='001'", jet::dbOpenSnapshot);
    ASSERT_FALSE(h->Eof());
    EXPECT_EQ(vb::CInt(h->Fields("estado").Value()), 1);
    EXPECT_TRUE(h->Fields("norden").IsNull());
    EXPECT_FALSE(h->Fields("fec_env").IsNull());
    EXPECT_EQ(vb::ToText(h->Fields("efectivo").Value()), "1500");
    auto fila = h->CurrentRow();
    EXPECT_EQ(vb::ToText(fila.back()), shell::CalculaCNumero(fila, 6));
    EXPECT_EQ(Cuenta(*db, "SELECT * FROM HDET WHERE CORREL='002'"), 3);
    auto d = db->OpenRecordset("SELECT * FROM HDET", jet::dbOpenSnapshot);
    for (; !d->Eof(); d->MoveNext()) {
        auto f = d->CurrentRow();
        EXPECT_EQ(vb::ToText(f.back()), shell::CalculaCNumero(f, 7));
    }
}

TEST(Envio, DesdeLaLineaDeOrdenes) {
    CarpetaTemporal tmp;
    const std::string carpeta = tmp.Ruta() + "/h";
    ASSERT_EQ(Ejecuta(Makehost() + " '" + carpeta + "' >/dev/null"), 0);
    {
        auto db = hostkit::AbreHost(hostkit::Rutas(carpeta));
        db->Execute(
            "INSERT INTO CAB VALUES ('20555666773',6,'200601','0787',0,'10/02/2006',0,' ',' ',"
            "' ','0','0','000000')",
            jet::dbFailOnError);
        db->Close();
    }
    const std::string salida = tmp.Ruta() + "/salida.txt";
    EXPECT_EQ(Ejecuta(Makehost() + " '" + carpeta + "' --send 20555666773 200601 >" + salida), 0);
    EXPECT_NE(Ejecuta(Makehost() + " '" + carpeta + "' --send 20555666773 200602 2>/dev/null"), 0);
    auto db = hostkit::AbreHost(hostkit::Rutas(carpeta));
    EXPECT_EQ(Cuenta(*db, "SELECT * FROM HCAB WHERE DOC_ID_D='20555666773'"), 1);

    // It tells an order number and the check code that the declaration form
    // takes for the control number of this sending.
    std::stringstream dicho;
    dicho << std::ifstream(salida).rdbuf();
    const std::string texto = dicho.str();
    const std::string marca = "número de orden ";
    const std::size_t p = texto.find(marca);
    ASSERT_NE(p, std::string::npos) << texto;
    const std::string orden = texto.substr(p + marca.size(), 8);
    const std::size_t c = texto.find("código de verificación ");
    ASSERT_NE(c, std::string::npos) << texto;
    const std::string codigo = texto.substr(c + std::string("código de verificación ").size(), 2);
    auto h = db->OpenRecordset("SELECT control FROM HCAB", jet::dbOpenSnapshot);
    std::string control = vb::ToText(h->Fields(0).Value());
    EXPECT_NE(texto.find("control " + control), std::string::npos) << texto;
    EXPECT_EQ(vb::Len(orden), 8);
    EXPECT_TRUE(shell::ValidaCodigoVerificacion(control, orden, codigo)) << orden << " " << codigo;
}

// Two sendings at the same time, from two processes: each gets its own
// control number.
TEST(Envio, EnviosSimultaneosNoRepitenElControl) {
    CarpetaTemporal tmp;
    auto inst = hostkit::CreaHost(tmp.Ruta());
    constexpr int kPeriodos = 12;
    const std::string rucs[2] = {"20100123453", "20555666773"};
    {
        auto db = hostkit::AbreHost(inst);
        for (const std::string& ruc : rucs) {
            for (int m = 1; m <= kPeriodos; ++m) {
                db->Execute("INSERT INTO CAB VALUES ('" + ruc + "',6,'2005" + vb::Format(m, "00") +
                                "','0787',0,'10/06/2005',0,' ',' ',' ','0','0','000000')",
                            jet::dbFailOnError);
            }
        }
        db->Close();
    }
    pid_t hijos[2];
    for (int p = 0; p < 2; ++p) {
        hijos[p] = ::fork();
        ASSERT_GE(hijos[p], 0);
        if (hijos[p] == 0) {
            int codigo = 0;
            try {
                auto db = hostkit::AbreHost(inst);
                for (int m = 1; m <= kPeriodos; ++m) {
                    hostkit::EnviaDeclaracion(*db, rucs[p], "2005" + vb::Format(m, "00"));
                }
                db->Close();
            } catch (...) {
                codigo = 1;
            }
            ::_exit(codigo);
        }
    }
    for (pid_t h : hijos) {
        int estado = 0;
        ASSERT_EQ(::waitpid(h, &estado, 0), h);
        EXPECT_TRUE(WIFEXITED(estado) && WEXITSTATUS(estado) == 0);
    }
    auto db = hostkit::AbreHost(inst);
    std::set<std::string> controles;
    auto rs = db->OpenRecordset("SELECT control FROM HCAB", jet::dbOpenSnapshot);
    long filas = 0;
    for (; !rs->Eof(); rs->MoveNext(), ++filas) controles.insert(vb::ToText(rs->Fields(0).Value()));
    EXPECT_EQ(filas, 2 * kPeriodos);
    EXPECT_EQ(controles.size(), static_cast<std::size_t>(2 * kPeriodos));
}

// A folder whose program folder the settings file could not keep whole is
// refused before anything is made; a run cut short half-way can be run again.
TEST(Makehost, CarpetaDemasiadoLargaYCorridaInterrumpida) {
    CarpetaTemporal tmp;
    // sysPath = carpeta & "/QVX/": 255 characters, one too many.
    std::string larga = tmp.Ruta() + "/";
    larga += std::string(255 - larga.size() - 5, 'c');
    ASSERT_EQ(hostkit::Rutas(larga).sysPath.size(), 255u);
    try {
        hostkit::CreaHost(larga);
        ADD_FAILURE() << "carpeta aceptada";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("254"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(fs::exists(larga));
    EXPECT_NE(Ejecuta(Makehost() + " '" + larga + "' 2>/dev/null >/dev/null"), 0);
    EXPECT_FALSE(fs::exists(larga));

    // The settings file cannot be written (a folder stands in its place): the
    // run fails after the database was built.
    const std::string carpeta = tmp.Ruta() + "/h";
    hostkit::Instalacion inst = hostkit::Rutas(carpeta);
    fs::create_directories(inst.ini);
    EXPECT_THROW(hostkit::CreaHost(carpeta), std::runtime_error);
    fs::remove(inst.ini);
    ASSERT_EQ(Ejecuta(Makehost() + " '" + carpeta + "' >/dev/null"), 0);
    EXPECT_EQ(profile::LeeClave("Options", "SysPath", inst.ini), inst.sysPath);
    auto db = hostkit::AbreHost(inst);
    EXPECT_GT(Cuenta(*db, "SELECT * FROM PARAM"), 0);
    for (const auto& e : fs::directory_iterator(inst.sysPath)) {
        EXPECT_EQ(e.path().string().find(".nueva"), std::string::npos) << e.path();
    }
}

}  // namespace
