#include "validator/validator.h"

#include <gtest/gtest.h>

#include <utility>

#include "vb/error.h"

namespace {

const validator::cValidador v;

TEST(ValidaRuc, CheckDigitAndShape) {
    struct Row {
        const char* ruc;
        bool ok;
    };
    const Row rows[] = {
        {"20100079705", true},
        {"20513866276", true},
        {"10123456781", true},
        {"20100000050", true},   // 11 - r = 10 gives 0
        {"20100000131", true},   // 11 - r = 11 gives 1
        {"20100079704", false},  // wrong check digit
        {"20100079706", false},
        {"2010007970", false},    // 10 digits
        {"201000797050", false},  // 12 digits
        {"2010007970 ", false},
        {" 2010007970", false},
        {"2O100079705", false},  // letter O
        {"", false},
        {"-0100079705", false},
    };
    for (const Row& r : rows) EXPECT_EQ(v.ValidaRuc(r.ruc), r.ok) << r.ruc;
}

TEST(ValidaFechaRango, ShapeCalendarAndBounds) {
    struct Row {
        const char* fecha;
        bool ok;
    };
    const Row rows[] = {
        {"01/01/1850", true},  // lower bound included
        {"01/01/2500", true},  // upper bound included
        {"31/12/1849", false},  {"02/01/2500", false}, {"29/02/2000", true},  // leap year by 400
        {"29/02/1900", false},                                                // not leap by 100
        {"29/02/2004", true},   {"29/02/2003", false}, {"31/04/2004", false}, {"00/01/2004", false},
        {"15/13/2004", false},  {"15/00/2004", false}, {"1/1/2004", false},   {"01-01-2004", false},
        {"01/01/2004 ", false}, {"01/01/20O4", false}, {"", false},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(v.ValidaFechaRango(r.fecha, "01/01/1850", "01/01/2500"), r.ok) << r.fecha;
    }
    EXPECT_THROW(v.ValidaFechaRango("01/01/2000", "1850", "01/01/2500"), vb::VbError);
}

TEST(ValidaPeriodo, MonthBetweenEarliestAndToday) {
    const vb::Date hoy = vb::DateSerial(2026, 3, 15);
    struct Row {
        const char* periodo;
        const char* desde;
        bool ok;
    };
    const Row rows[] = {
        {"03/2004", "03/2004", true},  // earliest included
        {"02/2004", "03/2004", false}, {"12/2003", "03/2004", false}, {"07/1999", "07/1999", true},
        {"06/1999", "07/1999", false}, {"03/2026", "03/2004", true},  // month of today included
        {"04/2026", "03/2004", false}, {"01/2027", "03/2004", false}, {"13/2010", "03/2004", false},
        {"00/2010", "03/2004", false}, {"3/2010", "03/2004", false},  {"03-2010", "03/2004", false},
        {"__/____", "03/2004", false}, {"", "03/2004", false},
    };
    for (const Row& r : rows)
        EXPECT_EQ(v.ValidaPeriodo(r.periodo, r.desde, hoy), r.ok) << r.periodo;
    EXPECT_THROW(v.ValidaPeriodo("03/2010", "2004", hoy), vb::VbError);
}

TEST(ValidaNumero, DigitsAndOnePointWhenAsked) {
    struct Row {
        const char* texto;
        bool decimales;
        bool ok;
    };
    const Row rows[] = {
        {"0", false, true},         {"12345678", false, true}, {"12.50", false, false},
        {"12.50", true, true},      {".5", true, true},        {"5.", true, true},
        {"1.2.3", true, false},     {".", true, false},        {"", true, false},
        {"   ", false, false},      {" 12 ", false, true},     {"1 2", false, false},
        {"-5", true, false},        {"+5", true, false},       {"1,000", true, false},
        {"1e3", true, false},       {"12a", false, false},     {"\t12", false, false},
        {"\xd9\xa3", false, false},  // a non-Latin digit
    };
    for (const Row& r : rows) {
        EXPECT_EQ(v.ValidaNumero(r.texto, r.decimales), r.ok)
            << "'" << r.texto << "' " << r.decimales;
    }
}

TEST(CharacterClasses, FilterSetAndDocumentNumbers) {
    struct Row {
        const char* texto;
        bool caracteres;
        bool alfanumerico;
    };
    const Row rows[] = {
        {"", true, true},
        {"ABC xyz 0123456789", true, true},
        {"A-1.2/3", true, true},
        {"CALLE (2), LOTE: 3; MZ|4", true, false},
        {"MU\xc3\x91OZ", true, true},  // Ñ in UTF-8
        {"pe\xc3\xb1"
         "a",
         true, true},              // ñ in UTF-8
        {"MU\xd1OZ", true, true},  // Ñ as a single 1252 byte
        {"pe\xf1"
         "a",
         true, true},
        {"JOS\xc3\x89", false, false},  // É
        {"caf\xe9", false, false},      // é as a 1252 byte
        {"\xd1\x80", false, false},     // Cyrillic, not a 1252 Ñ
        {"A#B", false, false},
        {"A_B", false, false},
        {"A\tB", false, false},
        {"A@B", false, false},
        {"A'B", false, false},
        {"A\"B", false, false},
        {"A\r\nB", false, false},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(v.ValidaCaracteres(r.texto), r.caracteres) << r.texto;
        EXPECT_EQ(v.ValidaAlfanumerico(r.texto), r.alfanumerico) << r.texto;
    }
    EXPECT_FALSE(v.ValidaCaracteres(std::string_view("A\0B", 3)));
}

TEST(ReemplazaEnie, ReplacesOnlyTheLetter) {
    struct Row {
        const char* texto;
        const char* esperado;
    };
    const Row rows[] = {
        {"MU\xc3\x91OZ", "MUNOZ"},
        {"pe\xc3\xb1"
         "a",
         "pena"},
        {"\xc3\x91\xc3\xb1", "Nn"},
        {"MU\xd1OZ pe\xf1"
         "a",
         "MUNOZ pena"},
        {"JOS\xc3\x89", "JOS\xc3\x89"},
        {"", ""},
    };
    for (const Row& r : rows) EXPECT_EQ(v.ReemplazaEnie(r.texto), r.esperado) << r.texto;
    // What the import does: replace, then check.
    EXPECT_TRUE(
        v.ValidaCaracteres(v.ReemplazaEnie("AV. PE\xc3\x91"
                                           "A 123")));
}

TEST(FiltraTecla, AmountBoxKeys) {
    // Enter is refused so that the box sends a Tab instead.
    const std::pair<int, bool> rows[] = {{'0', true},  {'9', true},  {8, true},    {13, false},
                                         {'.', false}, {'-', false}, {',', false}, {'A', false},
                                         {' ', false}, {0, false}};
    for (const auto& [key, ok] : rows)
        EXPECT_EQ(v.FiltraTecla(static_cast<std::int16_t>(key)), ok) << key;
}

}  // namespace
