// The catalogue readers of the import form over a host installation.
#include "import/catalogo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "host/hostkit.h"
#include "pruebas/host.h"
#include "jet/database.h"
#include "shell/state.h"
#include "vb/error.h"
#include "vb/strings.h"

using pruebas::AvisosGrabados;
using pruebas::CarpetaTemporal;

namespace {

class CatalogoTest : public ::testing::Test {
  protected:
    void SetUp() override {
        shell::ResetState();
        inst = hostkit::CreaHost(carpeta.Ruta());
        db = hostkit::AbreHost(inst);
        shell::G().gdbBase = db.get();
    }
    void TearDown() override { shell::G().gdbBase = nullptr; }
    void Fila(const std::string& n, const std::string& a, const std::string& f,
              const std::string& c = "000") {
        db->Execute("insert into Param values ('" + jet::Q(n) + "','" + jet::Q(a) + "','" +
                        jet::Q(f) + "','" + c + "')",
                    jet::dbFailOnError);
    }
    static std::vector<std::string> Entradas(const std::string& lista) {
        std::vector<std::string> e;
        std::size_t i = 0;
        while (i < lista.size()) {
            EXPECT_EQ(lista[i], '|');
            std::size_t j = lista.find('|', i + 1);
            if (j == std::string::npos) j = lista.size();
            e.push_back(lista.substr(i + 1, j - i - 1));
            i = j;
        }
        std::sort(e.begin(), e.end());
        return e;
    }

    CarpetaTemporal carpeta;
    hostkit::Instalacion inst;
    std::unique_ptr<jet::Database> db;
};

TEST_F(CatalogoTest, CadPar2UneLasClavesRecortadas) {
    Fila("950", " 07 ", "");
    Fila("950", "08", "");
    EXPECT_EQ(Entradas(importacion::CadPar2("004")),
              (std::vector<std::string>{"00", "01", "02", "03", "04", "05", "06", "07"}));
    EXPECT_EQ(importacion::CadPar2("950").size(), 6u);
    EXPECT_EQ(Entradas(importacion::CadPar2("950")), (std::vector<std::string>{"07", "08"}));
    EXPECT_EQ(importacion::CadPar2("999"), "");
    // A quote in the catalogue number is a value, not SQL.
    EXPECT_EQ(importacion::CadPar2("9'9"), "");
    EXPECT_EQ(importacion::CadPar2(*db, "976").find("|9589"),
              importacion::CadPar2("976").find("|9589"));
}

TEST_F(CatalogoTest, CadParSoloLosTiposMarcados) {
    auto mov = importacion::CadPar("044", "102");
    auto ext = importacion::CadPar("044", "103");
    struct Caso {
        int tipo;
        bool enMov, enExt;
    };
    // Type 6 is the built-in RUC row with blanks at both flags; 11 is admitted
    // in reversals only.
    for (const Caso& c : {Caso{0, true, true}, Caso{1, true, true}, Caso{4, true, true},
                          Caso{6, false, false}, Caso{7, true, true}, Caso{11, false, true},
                          Caso{2, false, false}, Caso{99, false, false}}) {
        SCOPED_TRACE(c.tipo);
        EXPECT_EQ(!mov[c.tipo].empty(), c.enMov);
        EXPECT_EQ(!ext[c.tipo].empty(), c.enExt);
    }
    EXPECT_EQ(vb::Mid(mov[1], 46, 2), "08");
    // Unflagged rows are not read at all, whatever their key.
    Fila("044", "ZZ", hostkit::FuncionTipoDocumento("X", "X", 5, false, false, '0', '0'));
    EXPECT_NO_THROW(importacion::CadPar("044", "102"));
    // A position past the end of every Funcion flags nothing.
    auto nada = importacion::CadPar("044", "200");
    EXPECT_TRUE(
        std::all_of(nada.begin(), nada.end(), [](const std::string& s) { return s.empty(); }));
    // A position that is no number, or before the first character, is an error of the call.
    EXPECT_THROW(importacion::CadPar("044", "x"), vb::VbError);
    EXPECT_THROW(importacion::CadPar("044", "0"), vb::VbError);
}

TEST_F(CatalogoTest, CadParArgumentoQueNoEsIndiceDaErrorDeEjecucion) {
    struct Caso {
        const char* argumento;
        int numero;
    };
    for (const Caso& c : {Caso{"A", 13}, Caso{"1.5", 13}, Caso{"100", 9}, Caso{"-1", 9}}) {
        SCOPED_TRACE(c.argumento);
        db->Execute("delete from Param where numero='960'", jet::dbFailOnError);
        Fila("960", c.argumento, hostkit::FuncionTipoDocumento("X", "X", 5, true, true, '0', '0'));
        try {
            importacion::CadPar("960", "102");
            ADD_FAILURE() << "sin error";
        } catch (const vb::VbError& e) {
            EXPECT_EQ(e.Number(), c.numero);
            EXPECT_NE(e.Description().find("960"), std::string::npos) << e.Description();
        }
    }
    db->Execute("delete from Param where numero='960'", jet::dbFailOnError);
    Fila("960", " 5 ", hostkit::FuncionTipoDocumento("CINCO", "5", 5, true, true, '0', '0'));
    EXPECT_EQ(vb::Left(importacion::CadPar("960", "102")[5], 5), "CINCO");
}

TEST_F(CatalogoTest, ExisteTipoND) {
    AvisosGrabados avisos;
    Fila("875", " 07 ", "CON BLANCOS");
    struct Caso {
        const char* numero;
        const char* clave;
        bool existe;
    };
    for (const Caso& c :
         {Caso{"976", "9589", true}, Caso{"976", "0000", false}, Caso{"875", "07", false},
          Caso{"875", " 07 ", true}, Caso{"976", "9'1", false}, Caso{"999", "01", false}}) {
        SCOPED_TRACE(c.clave);
        EXPECT_EQ(importacion::Existe_TipoND(c.numero, c.clave), c.existe);
    }
    EXPECT_TRUE(avisos.avisos.empty());
}

TEST_F(CatalogoTest, ExisteTipoNDContestaSiCuandoLaConsultaFalla) {
    AvisosGrabados avisos;
    db->Execute("DROP TABLE PARAM", jet::dbFailOnError);
    EXPECT_TRUE(importacion::Existe_TipoND("875", "01"));
    ASSERT_EQ(avisos.avisos.size(), 1u);
    const auto& a = avisos.avisos[0];
    EXPECT_EQ(a.estilo, shell::vbCritical);
    // The number follows the title directly, without the blank Str would put.
    EXPECT_EQ(a.titulo, " Error crítico: 3078");
    const std::string cola = "\nError producido en función Existe_TipoND ";
    ASSERT_GT(a.texto.size(), cola.size());
    EXPECT_EQ(a.texto.substr(a.texto.size() - cola.size()), cola);
    EXPECT_EQ(a.texto.substr(0, a.texto.size() - cola.size()).find('\n'), std::string::npos);
    // CadPar2 leaves the error to its caller.
    EXPECT_THROW(importacion::CadPar2("875"), vb::VbError);

    // Without an open database.
    shell::G().gdbBase = nullptr;
    EXPECT_TRUE(importacion::Existe_TipoND("875", "01"));
    EXPECT_EQ(avisos.avisos.size(), 2u);
    EXPECT_THROW(importacion::CadPar("044", "102"), vb::VbError);
}

}  // namespace
