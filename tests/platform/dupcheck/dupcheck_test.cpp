// The duplicate check: which records count as repeated and how they are listed.
#include "dupcheck/dupcheck.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

class Duplicados : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("dupcheck_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        datos_ = (dir_ / "datos.mov").string();
        lista_ = datos_ + "err";
        trabajo_ = (dir_ / "datos.dbmov").string();
    }
    void TearDown() override { fs::remove_all(dir_); }

    void Escribe(const std::string& contenido) {
        std::ofstream(datos_, std::ios::binary) << contenido;
        fs::remove(lista_);
    }
    std::vector<std::string> Lista() {
        std::vector<std::string> r;
        std::ifstream f(lista_, std::ios::binary);
        std::string l;
        while (std::getline(f, l)) {
            if (!l.empty() && l.back() == '\r') l.pop_back();
            r.push_back(l);
        }
        return r;
    }

    fs::path dir_;
    std::string datos_, lista_, trabajo_;
};

TEST_F(Duplicados, ClaveDeLosCamposAntesDeLosMontos) {
    struct Caso {
        const char* nombre;
        std::string contenido;
        std::int16_t campos;
        std::int16_t resultado;
        std::vector<std::string> lista;
    };
    const std::string a = "06|20100123453||01|01|02||100.00|18.00|";
    const std::string a2 = "06|20100123453||01|01|02||999.00|1.00|";  // same key, other amounts
    const std::string b = "06|20100123453||01|01|03||100.00|18.00|";
    const std::vector<Caso> casos = {
        {"sin duplicados", a + "\r\n" + b + "\r\n", 7, 0, {}},
        {"vacio", "", 7, 0, {}},
        {"mismos campos clave",
         a + "\r\n" + b + "\r\n" + a2 + "\r\n",
         7,
         1,
         {"Registro duplicado en las lineas 1, 3: 06|20100123453||01|01|02||"}},
        {"con nueve campos ya no", a + "\r\n" + a2 + "\r\n", 9, 0, {}},
        {"finales de linea mezclados",
         a + "\n" + b + "\r" + a + "\r\n" + b,
         7,
         1,
         {"Registro duplicado en las lineas 1, 3: 06|20100123453||01|01|02||",
          "Registro duplicado en las lineas 2, 4: 06|20100123453||01|01|03||"}},
        {"lineas cortas iguales",
         "x|\r\nx|\r\ny\r\n",
         7,
         1,
         {"Registro duplicado en las lineas 1, 2: x|"}},
        {"tres veces",
         a + "\r\n" + a + "\r\n" + b + "\r\n" + a2 + "\r\n",
         7,
         1,
         {"Registro duplicado en las lineas 1, 2, 4: 06|20100123453||01|01|02||"}},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.nombre);
        Escribe(c.contenido);
        EXPECT_EQ(dupcheck::ValidaDuplicado(datos_, trabajo_, c.campos, lista_), c.resultado);
        if (c.resultado != 0) {
            EXPECT_EQ(Lista(), c.lista);
        }
        EXPECT_FALSE(fs::exists(trabajo_));
    }
}

TEST_F(Duplicados, ArchivoAusente) {
    EXPECT_EQ(dupcheck::ValidaDuplicado((dir_ / "no.mov").string(), trabajo_, 7, lista_), -1);
}

// Many records with a few repeated far apart, and one very long line.
TEST_F(Duplicados, ArchivoGrande) {
    std::ostringstream s;
    for (int i = 0; i < 200000; ++i) s << "01|" << i << "||01|01|02||1.00|0.10|\r\n";
    s << std::string(3 << 20, 'z') << "|\r\n";
    s << "01|77||01|01|02||5.00|0.10|\r\n";
    s << "01|199999||01|01|02||5.00|0.10|";
    Escribe(s.str());
    EXPECT_EQ(dupcheck::ValidaDuplicado(datos_, trabajo_, 7, lista_), 1);
    EXPECT_EQ(Lista(),
              (std::vector<std::string>{
                  "Registro duplicado en las lineas 78, 200002: 01|77||01|01|02||",
                  "Registro duplicado en las lineas 200000, 200003: 01|199999||01|01|02||"}));
}

}  // namespace
