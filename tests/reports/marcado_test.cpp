// The report mark-up file: what the writers put in it and how the reader
// takes it apart, and where the previewer puts each page under a page range.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../platform/vb/error_of.h"
#include "pruebas/host.h"
#include "reports/implinea.h"
#include "reports/lector.h"
#include "reports/recorrido.h"
#include "shell/state.h"
#include "vb/files.h"

namespace {

using namespace reportes;
using vb::ErrorOf;

std::string Bytes(const std::string& ruta) {
    std::ifstream f(ruta, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// A report file open as gnArchivoRep, its writer state as a report generator
// sets it up.
class Escritor : public ::testing::Test {
  protected:
    void SetUp() override { Abre(); }
    void Abre() {
        shell::ResetState();
        ruta_ = carpeta_.Ruta() + "/00000001.PRN";
        auto& g = shell::G();
        g.gnArchivoRep = static_cast<std::int16_t>(vb::FreeFile());
        vb::Open(ruta_, vb::OpenMode::Output, g.gnArchivoRep);
        g.gnPagina = 1;
        g.gnLinea = 0;
        g.gnAnchoRep = 104;
    }
    void TearDown() override {
        vb::CloseAll();
        shell::ResetState();
    }
    std::vector<std::string> Lineas() {
        vb::Close(shell::G().gnArchivoRep);
        std::vector<std::string> v;
        std::string t = Bytes(ruta_);
        for (std::size_t p; (p = t.find("\r\n")) != std::string::npos; t.erase(0, p + 2)) {
            v.push_back(t.substr(0, p));
        }
        EXPECT_EQ(t, "") << "every line ends in CR LF";
        return v;
    }
    pruebas::CarpetaTemporal carpeta_;
    std::string ruta_;
};

TEST_F(Escritor, PlainLinesAdvanceAndCarryTheirPage) {
    shell::G().gnPosY = 350;
    std::string l = "Total";
    ImprimeLinea(l);
    EXPECT_EQ(l, "pPos|10|525|Total|False|8|0|");  // the caller's line is the record
    std::string vacia;
    ImprimeLinea(vacia);
    shell::G().gnPagina = 2;
    std::string segunda = "x";
    ImprimeLinea(segunda);
    ImprimePosicion(-5, 0, "Año", true, 9, 3);
    ImprimeCuadro(150, 300, 1700, 1640, 0);
    EXPECT_EQ(Lineas(),
              (std::vector<std::string>{"pPos|10|525|Total|False|8|0|", "pPos|10|700||False|8|0|",
                                        "pPos|10|875|x|False|8|1|", "pPos|-5|0|A\xF1o|True|9|3|",
                                        "pCuadro|150|300|1700|1640|0|"}));
}

TEST_F(Escritor, PageLengthFollowsTheWidth) {
    struct Caso {
        std::int16_t ancho;
        std::size_t largo;
    };
    for (Caso c : {Caso{104, 83}, Caso{83, 83}, Caso{82, 85}}) {
        vb::CloseAll();
        Abre();
        shell::G().gnAnchoRep = c.ancho;
        for (std::size_t i = 0; i < c.largo + 1; ++i) {
            std::string l = "l";
            ImprimeLinea(l);
        }
        const std::vector<std::string> v = Lineas();
        ASSERT_EQ(v.size(), c.largo + 2) << c.ancho;
        EXPECT_EQ(v[c.largo - 1].substr(v[c.largo - 1].size() - 3), "|0|");
        EXPECT_EQ(v[c.largo], "pNuevaHoja");
        EXPECT_EQ(v[c.largo + 1].substr(v[c.largo + 1].size() - 3), "|1|");
        EXPECT_EQ(shell::G().gnPagina, 2);
        EXPECT_EQ(shell::G().gnLinea, 1);
    }
}

TEST_F(Escritor, HeaderTagsOnTheFirstPageOnly) {
    auto& g = shell::G();
    std::string tag = "<!font!>Courier New<!/font!>";
    ImprimeLinea(tag);  // counts as a line of the page
    ImprimePosicion(0, 0, "<!nHojas!>1<!/nHojas!>", false, 8, 0);
    ImprimePosicion(0, 0, "pNuevaHoja", false, 8, 0);  // counters untouched
    EXPECT_EQ(g.gnLinea, 1);
    EXPECT_EQ(g.gnPagina, 1);
    g.gnPagina = 2;
    tag = "<!Color!>&H00FFFFC0&<!/Color!>";
    ImprimeLinea(tag);
    ImprimePosicion(0, 0, "<!Orientacion!>H<!/Orientacion!>", false, 8, 1);
    EXPECT_EQ(g.gnLinea, 1);
    EXPECT_EQ(Lineas(), (std::vector<std::string>{"<!font!>Courier New<!/font!>",
                                                  "<!nHojas!>1<!/nHojas!>", "pNuevaHoja"}));
}

TEST_F(Escritor, CountersPastTheirRangeOverflow) {
    auto& g = shell::G();
    g.gnPosY = 32700;
    std::string l = "x";
    EXPECT_EQ(ErrorOf([&] { ImprimeLinea(l); }), 6);
    g.gnPosY = 0;
    g.gnPagina = 32767;
    g.gnLinea = 82;
    EXPECT_EQ(ErrorOf([&] { ImprimeLinea(l); }), 6);
}

TEST(LeeRegistro, FieldsAndKinds) {
    struct Caso {
        const char* linea;
        TipoRegistro tipo;
        int x, y, tamano, pagina;
        const char* texto;
        bool negrita;
    };
    const Caso casos[] = {
        {"pPos|10|350|Total|False|8|0|", TipoRegistro::Texto, 10, 350, 8, 0, "Total", false},
        {"  pPos  |1|2|   |true|8|1|", TipoRegistro::Texto, 1, 2, 8, 1, "   ", true},
        {"pPos|12.5|13.5|a b |FALSE|-0.5|1.5|", TipoRegistro::Texto, 12, 14, 0, 2, "a b ", false},
        {"pPos| 1 2|1e3|x| 0 |abc||", TipoRegistro::Texto, 12, 1000, 0, 0, "x", false},
        {"pPos|-32768|32767|x|-1|8|0|", TipoRegistro::Texto, -32768, 32767, 8, 0, "x", true},
        {"pPosVerti|100|200|ABC|True|10|2|", TipoRegistro::TextoVertical, 100, 200, 10, 2, "ABC",
         true},
        {"ppos|10|350|Total|False|8|0|", TipoRegistro::Otro, 0, 0, 0, 0, "", false},
        {"pNuevaHoja", TipoRegistro::NuevaHoja, 0, 0, 0, 0, "", false},
        {" pNuevaHoja|resto", TipoRegistro::NuevaHoja, 0, 0, 0, 0, "", false},
        {"<!font!>Courier New <!/font!>", TipoRegistro::Fuente, 0, 0, 0, 0, "Courier New ", false},
        {"<!nHojas!>algo", TipoRegistro::Hojas, 0, 0, 0, 0, "", false},
        {"<!Orientacion!> H <!/Orientacion!>", TipoRegistro::Orientacion, 0, 0, 0, 0, "H", false},
        {"cualquier|cosa", TipoRegistro::Otro, 0, 0, 0, 0, "", false},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.linea);
        const Registro r = LeeRegistro(c.linea);
        EXPECT_EQ(r.tipo, c.tipo);
        EXPECT_EQ(r.x, c.x);
        EXPECT_EQ(r.y, c.y);
        EXPECT_EQ(r.tamano, c.tamano);
        EXPECT_EQ(r.pagina, c.pagina);
        EXPECT_EQ(r.texto, c.texto);
        EXPECT_EQ(r.negrita, c.negrita);
    }
    const Registro caja = LeeRegistro("pCuadro|150|300|1700|1640|0|");
    EXPECT_EQ(caja.tipo, TipoRegistro::Cuadro);
    EXPECT_EQ((std::vector<int>{caja.x, caja.y, caja.x2, caja.y2, caja.pagina}),
              (std::vector<int>{150, 300, 1700, 1640, 0}));
    EXPECT_EQ(LeeRegistro("<!Color!>&H00FFFFC0&<!/Color!>").color, 0xFFFFC0u);
    EXPECT_EQ(LeeRegistro("<!Color!> &H80000005& <!/Color!>").color, 0x80000005u);
}

TEST(LeeRegistro, MalformedLinesStopTheReading) {
    struct Caso {
        const char* linea;
        int error;
    };
    for (Caso c : {Caso{"", 5}, Caso{"sin fin de clase", 5}, Caso{"pPos|10|350|Total|False|8|0", 5},
                   Caso{"pCuadro|1|2|3|", 5}, Caso{"<!font!>Courier New", 5},
                   Caso{"<!Color!><!/Color!>", 5}, Caso{"pPos|32768|0|x|False|8|0|", 6},
                   Caso{"pPos|0|0|x|False|8|-32768.6|", 6}, Caso{"pCuadro|1e9|0|0|0|0|", 6},
                   Caso{"<!Color!>1e30&<!/Color!>", 6}, Caso{"<!Color!>-1e10&<!/Color!>", 6},
                   Caso{"pPos|0|0|x|Falso|8|0|", 13}, Caso{"pPos|0|0|x||8|0|", 13}}) {
        EXPECT_EQ(ErrorOf([&] { LeeRegistro(c.linea); }), c.error) << c.linea;
    }
}

TEST_F(Escritor, WhatIsWrittenReadsBack) {
    // The final CR LF ends the last record; it is no empty line after it.
    ImprimePosicion(300, 350, "Período 10-2017 ñ", true, 16, 0);
    ImprimeCuadro(-1, 2, 3, 4, 5);
    std::string l = "   ";
    ImprimeLinea(l);
    vb::Close(shell::G().gnArchivoRep);
    ArchivoReporte archivo(ruta_);
    std::vector<Registro> leidos;
    Registro r;
    while (archivo.Siguiente(r)) leidos.push_back(r);
    ASSERT_EQ(leidos.size(), 3u);
    EXPECT_EQ(leidos[0].texto, "Período 10-2017 ñ");
    EXPECT_EQ(leidos[1].x, -1);
    EXPECT_EQ(leidos[1].pagina, 5);
    EXPECT_EQ(leidos[2].texto, "   ");
    EXPECT_EQ(leidos[2].y, 175);
    EXPECT_EQ(ErrorOf([] { ArchivoReporte falta("/nonexistent/00000009.PRN"); }), 76);
}

// The surface (preview) or the fate (print) of the records of a report whose
// pages are listed in file order, each page given by one record.
std::vector<int> Superficies(RangoPaginas rango, std::vector<std::int16_t> paginas) {
    RecorridoReporte r(true, rango);
    r.Hojas();
    std::vector<int> v;
    for (std::int16_t p : paginas) {
        const auto d = r.Dibujable(p);
        v.push_back(d.dibuja ? d.superficie : -1);
    }
    return v;
}

TEST(Recorrido, PreviewSurfacesUnderARange) {
    const std::vector<std::int16_t> cinco = {0, 0, 1, 2, 2, 3, 4};
    EXPECT_EQ(Superficies({}, {0, 1, 1, 2}), (std::vector<int>{0, 1, 1, 2}));
    EXPECT_EQ(Superficies({true, 2, 3}, cinco), (std::vector<int>{-1, -1, 0, 1, 1, -1, -1}));
    EXPECT_EQ(Superficies({true, 1, 1}, cinco), (std::vector<int>{0, 0, -1, -1, -1, -1, -1}));
    EXPECT_EQ(Superficies({true, 1, 9}, cinco), (std::vector<int>{0, 0, 1, 2, 2, 3, 4}));
    EXPECT_EQ(Superficies({true, 4, 5}, cinco), (std::vector<int>{-1, -1, -1, -1, -1, 0, 1}));
    EXPECT_EQ(Superficies({true, 7, 9}, cinco), (std::vector<int>(7, -1)));
    // A gap in the pages still gives every surface up to the highest.
    RecorridoReporte r(true, {});
    EXPECT_EQ(r.Dibujable(2).superficie, 2);
    EXPECT_EQ(r.UltimaSuperficie(), 2);
    EXPECT_EQ(r.Dibujable(-1).superficie, -1);
}

TEST(Recorrido, PrintBreaksPagesOnlyInsideTheRange) {
    // Pages 0..3, each followed by its new-page record; range 2 to 3.
    RecorridoReporte r(false, {true, 2, 3});
    std::vector<bool> dibuja, nueva;
    for (std::int16_t p = 0; p < 4; ++p) {
        dibuja.push_back(r.Dibujable(p).dibuja);
        nueva.push_back(r.NuevaHoja());
    }
    EXPECT_EQ(dibuja, (std::vector<bool>{false, true, true, false}));
    EXPECT_EQ(nueva, (std::vector<bool>{false, true, true, false}));
    RecorridoReporte todo(false, {});
    EXPECT_TRUE(todo.NuevaHoja());
    EXPECT_FALSE(RecorridoReporte(true, {}).NuevaHoja()) << "a preview ignores new pages";
}

}  // namespace
