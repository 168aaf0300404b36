// Reading the settings and opening the host database, against real host
// installations made in temporary folders.
#include "shell/conexion.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "host/hostkit.h"
#include "pruebas/host.h"
#include "jet/database.h"
#include "profile/profile.h"
#include "shell/settings.h"
#include "shell/state.h"
#include "vb/error.h"
#include "vb/files.h"

namespace fs = std::filesystem;
using pruebas::AvisosGrabados;
using pruebas::CarpetaTemporal;
using hostkit::Instalacion;

namespace {

class ConexionTest : public ::testing::Test {
  public:
    void SetUp() override {
        shell::ResetState();
        inst = hostkit::CreaHost(carpeta.Ruta() + "/host");
        pruebas::FijaWindir(inst);
    }
    void TearDown() override {
        shell::CierraBaseDatos();
        fs::current_path(fs::temp_directory_path());
    }
    void Opcion(const char* clave, const std::string& valor) {
        ASSERT_TRUE(profile::WritePrivateProfileString("Options", clave, valor, inst.ini));
    }
    std::string Leida(const char* clave) { return profile::LeeClave("Options", clave, inst.ini); }

    CarpetaTemporal carpeta;
    Instalacion inst;
};

TEST_F(ConexionTest, InstalacionDeMakehostSeAbre) {
    AvisosGrabados avisos;
    ASSERT_TRUE(shell::LeeConfiguracion());
    EXPECT_EQ(shell::G().gsSysPath, inst.sysPath);
    EXPECT_EQ(shell::G().gsRutaBase, inst.base);
    EXPECT_EQ(shell::G().gsRutaRpt, inst.sysPath + "RPT");
    EXPECT_EQ(shell::G().gsUsuario, hostkit::kUsuarioSistema);
    EXPECT_EQ(fs::current_path().string() + "/", inst.sysPath);

    ASSERT_TRUE(shell::AbreBaseDatos()) << (avisos.avisos.empty() ? "" : avisos.avisos[0].texto);
    ASSERT_NE(shell::G().gdbBase, nullptr);
    EXPECT_TRUE(avisos.avisos.empty());
    auto rs = shell::G().gdbBase->OpenRecordset("SELECT * FROM CONT", jet::dbOpenSnapshot);
    EXPECT_FALSE(rs->Eof());
    EXPECT_EQ(Leida("SystemDB"), inst.sysPath + "KV000.MDW");
}

TEST_F(ConexionTest, ValoresRecortadosConservanBlancosInteriores) {
    // A database file whose name has an inner blank, named with blanks around it.
    fs::copy_file(inst.base, inst.sysPath + "mi base.mdb");
    Opcion("SysPath", "   " + inst.sysPath + "   ");
    Opcion("DBName", "  mi base.mdb  ");
    Opcion("SysUser", "  ADMIN  ");
    AvisosGrabados avisos;
    ASSERT_TRUE(shell::LeeConfiguracion());
    EXPECT_EQ(shell::G().gsSysPath, inst.sysPath);
    EXPECT_EQ(shell::G().gsRutaBase, inst.sysPath + "mi base.mdb");
    EXPECT_EQ(shell::G().gsUsuario, "ADMIN");
    EXPECT_TRUE(shell::AbreBaseDatos());
    EXPECT_TRUE(avisos.avisos.empty());
}

// Failures of the opening: the message, its form, and the settings key left
// behind whatever happened.
TEST_F(ConexionTest, AperturaFallidaDaMensajeGenericoYDejaSystemDB) {
    struct Caso {
        const char* nombre;
        std::function<void(ConexionTest&)> prepara;
        const char* numero;  // as Str renders it
    };
    const std::vector<Caso> casos = {
        {"DBPath sin separador final",
         [](ConexionTest& t) {
             std::string sinBarra = t.inst.sysPath.substr(0, t.inst.sysPath.size() - 1);
             t.Opcion("DBPath", sinBarra);
         },
         " 3024"},
        {"DBName vacío", [](ConexionTest& t) { t.Opcion("DBName", ""); }, " 3024"},
        {"no es una base de datos",
         [](ConexionTest& t) {
             std::ofstream(t.inst.sysPath + "texto.mdb") << "esto no es una base de datos\n";
             t.Opcion("DBName", "texto.mdb");
         },
         " 3343"},
        {"archivo de grupo ausente", [](ConexionTest& t) { fs::remove(t.inst.grupo); }, " 3028"},
        {"archivo de grupo dañado",
         [](ConexionTest& t) { std::ofstream(t.inst.grupo, std::ios::trunc) << "x"; }, " 3028"},
        {"archivo de grupo de otra cuenta",
         [](ConexionTest& t) { jet::WriteWorkgroupFile(t.inst.grupo, "OTROUSER", "otraclave"); },
         " 3029"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        TearDown();
        fs::remove_all(inst.carpeta);
        SetUp();
        c.prepara(*this);
        AvisosGrabados avisos;
        ASSERT_TRUE(shell::LeeConfiguracion());
        EXPECT_FALSE(shell::AbreBaseDatos());
        EXPECT_EQ(shell::G().gdbBase, nullptr);
        ASSERT_EQ(avisos.avisos.size(), 1u);
        const auto& a = avisos.avisos[0];
        EXPECT_EQ(a.titulo, "Error de Conección");
        EXPECT_EQ(a.estilo, 0);  // OK only, no icon
        // The engine's text, a line feed, the number with its leading blank.
        auto salto = a.texto.find('\n');
        ASSERT_NE(salto, std::string::npos) << a.texto;
        EXPECT_GT(salto, 0u);
        EXPECT_NE(a.texto.substr(0, salto), vb::ErrorText(12345))
            << "a text that says what is wrong";
        EXPECT_EQ(a.texto.substr(salto + 1), c.numero) << a.texto;
        EXPECT_EQ(avisos.codigoFin, 1);
        EXPECT_EQ(Leida("SystemDB"), inst.sysPath + "KV000.MDW");
    }
}

TEST_F(ConexionTest, BaseTomadaEnExclusivaDa3051) {
    pruebas::BloqueoExclusivo bloqueo(inst);
    ASSERT_TRUE(bloqueo.Activo());
    AvisosGrabados avisos;
    ASSERT_TRUE(shell::LeeConfiguracion());
    EXPECT_FALSE(shell::AbreBaseDatos());
    ASSERT_EQ(avisos.avisos.size(), 1u);
    EXPECT_EQ(avisos.avisos[0].texto, " 3051- Base esta bloqueda");
    EXPECT_EQ(avisos.avisos[0].titulo, "Error de Conección");
    EXPECT_EQ(avisos.avisos[0].estilo, 0);
    EXPECT_EQ(avisos.codigoFin, 1);
}

TEST_F(ConexionTest, CarpetaDelSistemaInvalidaSeInformaYTermina) {
    struct Caso {
        const char* nombre;
        std::function<void(ConexionTest&)> prepara;
    };
    const std::vector<Caso> casos = {
        {"sin archivo de configuración", [](ConexionTest& t) { fs::remove(t.inst.ini); }},
        {"SysPath vacío", [](ConexionTest& t) { t.Opcion("SysPath", "   "); }},
        {"SysPath no existe", [](ConexionTest& t) { t.Opcion("SysPath", "/no/existe/QVX/"); }},
        {"SysPath es un archivo", [](ConexionTest& t) { t.Opcion("SysPath", t.inst.base); }},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        shell::ResetState();
        pruebas::FijaWindir(inst);
        ASSERT_TRUE(
            profile::WritePrivateProfileString("Options", "SysPath", inst.sysPath, inst.ini));
        c.prepara(*this);
        AvisosGrabados avisos;
        EXPECT_FALSE(shell::LeeConfiguracion());
        ASSERT_EQ(avisos.avisos.size(), 1u);
        EXPECT_NE(avisos.avisos[0].texto.find("SysPath"), std::string::npos);
        EXPECT_EQ(avisos.avisos[0].estilo, shell::vbCritical);
        EXPECT_EQ(avisos.codigoFin, 1);
    }
}

TEST_F(ConexionTest, ProgramaCompanero) {
    AvisosGrabados avisos;
    // Opens base & DBName through base & "/KV000.MDW"; leaves the settings
    // alone. DBPath is not read: one that names no folder changes nothing.
    Opcion("DBPath", "/no/existe/");
    auto db = shell::AbreBaseDatos(inst.sysPath);
    ASSERT_NE(db, nullptr) << (avisos.avisos.empty() ? "" : avisos.avisos[0].texto);
    EXPECT_EQ(Leida("SystemDB"), "");
    EXPECT_EQ(jet::DBEngine().iniPath, "KV000.INI");
    db->Close();
    db.reset();

    {
        pruebas::BloqueoExclusivo bloqueo(inst);
        ASSERT_TRUE(bloqueo.Activo());
        EXPECT_EQ(shell::AbreBaseDatos(inst.sysPath), nullptr);
    }
    Opcion("DBName", "otra.mdb");
    EXPECT_EQ(shell::AbreBaseDatos(inst.sysPath), nullptr);
    ASSERT_EQ(avisos.avisos.size(), 2u);
    EXPECT_EQ(avisos.avisos[0].texto, " 3051- Base de datos esta bloqueda");
    EXPECT_EQ(avisos.avisos[1].titulo, "Error de Conección");
    // The engine's own text names the missing file.
    EXPECT_NE(avisos.avisos[1].texto.find("otra.mdb"), std::string::npos) << avisos.avisos[1].texto;
    EXPECT_EQ(Leida("SystemDB"), "");
}

}  // namespace
