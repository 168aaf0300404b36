#include "shell/cnumero.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vb/datetime.h"
#include "vb/error.h"

namespace {

using vb::Variant;

std::string Code(const std::vector<Variant>& row, int nClave) {
    return shell::CalculaCNumero(row, nClave);
}

int OverflowNumber(const std::vector<Variant>& row, int nClave) {
    try {
        shell::CalculaCNumero(row, nClave);
    } catch (const vb::VbError& e) {
        return e.Number();
    }
    return 0;
}

TEST(CalculaCNumero, WorkedExample) {
    const std::vector<Variant> row = {Variant("20"), Variant(std::int16_t{6}),
                                      Variant("AB"), Variant(vb::DateSerial(2004, 3, 1)),
                                      Variant(""),   Variant("999999")};
    EXPECT_EQ(Code(row, 2), "026969");
}

TEST(CalculaCNumero, FieldTexts) {
    // Each value alone in the weighted part (nClave 0, then the code column).
    struct Row {
        Variant value;
        const char* texto;
    };
    const Row rows[] = {
        {Variant(std::int16_t{-12}), "-12"},
        {Variant(std::int32_t{123456}), "123456"},
        {Variant(std::uint8_t{7}), "7"},
        {Variant(2.5), "2.5"},
        {Variant(1.1f), "1.1"},  // single precision, as Str shows it
        {Variant(-0.25), "-.25"},
        {Variant(0.5), ".5"},
        {Variant(vb::Currency::FromRaw(15000)), "1.5"},
        {Variant(vb::DateSerial(1999, 12, 31)), "19991231"},
        {Variant("  a b  "), "a b"},
        {Variant(vb::Null), ""},
        {Variant(true), ""},
        {Variant(), ""},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(shell::TextoCampo(r.value), r.texto) << r.texto;
        EXPECT_EQ(Code({r.value, Variant("code")}, 0),
                  Code({Variant(std::string(r.texto)), Variant("code")}, 0))
            << r.texto;
    }
}

TEST(CalculaCNumero, KeySum) {
    struct Row {
        std::vector<Variant> key;
        const char* prefix;
    };
    const Row rows[] = {
        {{Variant(""), Variant("ABC"), Variant(vb::Null)}, "000"},  // nothing numeric
        {{Variant(std::int16_t{6}), Variant("20100079705")}, "711"},
        {{Variant("  12 "), Variant(2.5)}, "015"},  // 14.5 rounds up
        {{Variant("1,234")}, "001"},                // numeric text, but Val stops at the comma
        {{Variant("12abc")}, "000"},                // not numeric: adds nothing
        {{Variant(std::int16_t{-5})}, "005"},       // the minus stays in front of the zeros
        {{Variant(std::int32_t{123456789})}, "789"},
    };
    for (const Row& r : rows) {
        std::vector<Variant> row = r.key;
        row.push_back(Variant("code"));
        EXPECT_EQ(Code(row, static_cast<int>(r.key.size())).substr(0, 3), r.prefix) << r.prefix;
    }
}

TEST(CalculaCNumero, CodeColumnNeverCounts) {
    std::vector<Variant> row = {Variant("20100079705"), Variant("200403"), Variant("Z"),
                                Variant("000000")};
    const std::string first = Code(row, 2);
    row.back() = Variant(first);
    EXPECT_EQ(Code(row, 2), first);
    row.back() = Variant(vb::Null);
    EXPECT_EQ(Code(row, 2), first);
    EXPECT_EQ(first.size(), 6u);
}

TEST(CalculaCNumero, WeightedSumUsesAnsiCodes) {
    // "Ñ" is 209 in Windows-1252: 1 x 209; "€" is 128: 2 x 128.
    EXPECT_EQ(Code({Variant("Ñ€"), Variant("")}, 0), "000465");
}

TEST(CalculaCNumero, SixteenBitOverflow) {
    // 128 x 255 = 32640 fits; 129 x 255 = 32895 does not.
    std::string fits(127, 'a');
    fits += "\xc3\xbf";  // ÿ, code 255, at position 128
    EXPECT_EQ(OverflowNumber({Variant(fits), Variant("")}, 0), 0);
    std::string over(128, 'a');
    over += "\xc3\xbf";  // at position 129
    EXPECT_EQ(OverflowNumber({Variant(over), Variant("")}, 0), vb::kOverflow);
    // Key fields take no part in the weighted sum.
    EXPECT_EQ(OverflowNumber({Variant(over), Variant("")}, 1), 0);
    // 300 x 109 ("m") = 32700 fits, 301 x 109 does not.
    EXPECT_EQ(OverflowNumber({Variant(std::string(300, 'm')), Variant("")}, 0), 0);
    EXPECT_EQ(OverflowNumber({Variant(std::string(301, 'm')), Variant("")}, 0), vb::kOverflow);
}

TEST(CalculaCNumero, BadKeyCountRaises) {
    EXPECT_THROW(Code({Variant("1")}, 2), vb::VbError);
    EXPECT_THROW(Code({Variant("1")}, -1), vb::VbError);
    EXPECT_EQ(Code({}, 0), "000000");
}

TEST(AgregaDigitoVerificador, Examples) {
    struct Row {
        const char* in;
        const char* out;
        const char* writtenBack;
    };
    const Row rows[] = {
        {"1234567890", "12345678903", "1234567890"},
        {"00000000", "000000001", "00000000"},
        {"12345678", "123456785", "12345678"},
        {"  12345678  ", "123456785", "12345678"},
        {"1234A678", "1234A6788", "1234A678"},  // letters count 0
        {"", "", ""},
        {"   ", "", ""},
        // Cut to 17 characters before trimming.
        {"123456789012345678", "123456789012345673", "12345678901234567"},
        {"          123456789", "12345674", "1234567"},
    };
    for (const Row& r : rows) {
        std::string s = r.in;
        EXPECT_EQ(shell::AgregaDigitoVerificador(s), r.out) << "'" << r.in << "'";
        EXPECT_EQ(s, r.writtenBack) << "'" << r.in << "'";
    }
}

TEST(CodigoVerificacion, Examples) {
    struct Row {
        const char* p;
        const char* q;
        const char* codigo;
    };
    const Row rows[] = {
        {"12345678", "87654321", "57"},
        {" 12345678 ", "87654321", "57"},
        {"1234567", "87654321", "4"},  // short control number: one character
    };
    for (const Row& r : rows) {
        std::string p = r.p;
        EXPECT_EQ(shell::GeneraCodigoVerificacion(p, r.q), r.codigo) << r.p;
    }

    std::string p = " 12345678 ";
    EXPECT_TRUE(shell::ValidaCodigoVerificacion(p, "87654321", "57"));
    EXPECT_EQ(p, "12345678");
    p = "12345678";
    EXPECT_FALSE(shell::ValidaCodigoVerificacion(p, "87654321", "75"));
    EXPECT_FALSE(shell::ValidaCodigoVerificacion(p, "87654321", "57 "));
    p = "1234567";
    EXPECT_FALSE(shell::ValidaCodigoVerificacion(p, "87654321", "40"));
}

TEST(CodigoVerificacion, OnlySeventeenCharactersReachTheSecondDigit) {
    // With an eight-digit control number only the first nine characters of
    // the order number count, and d1 falls outside.
    std::string p1 = "12345678";
    std::string p2 = "12345678";
    EXPECT_EQ(shell::GeneraCodigoVerificacion(p1, "8765432190"),
              shell::GeneraCodigoVerificacion(p2, "8765432199999"));
}

}  // namespace
