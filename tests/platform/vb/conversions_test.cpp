// Number conversions, checked arithmetic, Currency and dates.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "error_of.h"
#include "vb/currency.h"
#include "vb/datetime.h"
#include "vb/error.h"
#include "vb/numeric.h"
#include "vb/variant.h"

namespace vb {
namespace {

struct ValRow {
    const char* text;
    double expected;
};

TEST(Val, ReadsTheLeadingNumber) {
    const ValRow rows[] = {
        {"12.5", 12.5},
        {" 1 2 3", 123},
        {"1,000", 1},
        {"-.5", -0.5},
        {"- 5", -5},  // blanks are skipped even after the sign
        {"1.2.3", 1.2},
        {"1e3", 1000},
        {"1D2", 100},
        {"&HFF", 255},
        {"&HFFFF", -1},  // up to four hex digits are a 16-bit Integer
        {"&H8000", -32768},
        {"&H10000", 65536},  // five hex digits make a Long
        {"&O17", 15},
        {"$12", 0},
        {"(12)", 0},
        {"abc", 0},
        {"", 0},
        {"12-", 12},
        {"24 and 57", 24},
        {"50%", 50},  // a type suffix ends the number
        {"1\t2\n3", 123},
        {"12\r3", 12},
        {"  -0012.50  ", -12.5},
        {"1e", 1},
        {".", 0},
        {"000000123456789012", 123456789012},
    };
    for (const auto& r : rows) EXPECT_EQ(Val(r.text), r.expected) << '"' << r.text << '"';
    EXPECT_EQ(ErrorOf([] { Val("50.5%"); }), kTypeMismatch);  // suffix of a whole type
    EXPECT_EQ(ErrorOf([] { Val("1e999"); }), kOverflow);
    // Too small for a Double: 0, not an overflow (rule: underflow reads as 0).
    EXPECT_EQ(Val("1e-999"), 0);
    EXPECT_EQ(Val("-0.1e-330"), 0);
    EXPECT_EQ(ParseNumber("1e-400"), 0.0);
    EXPECT_FALSE(ParseNumber("1e400"));
}

struct ParseRow {
    const char* text;
    bool numeric;
    double value;
};

TEST(ParseNumber, AcceptsWhatCDblAccepts) {
    const ParseRow rows[] = {
        {"12", true, 12},    {" 12 ", true, 12},       {"+5", true, 5},          {"5-", true, -5},
        {"(5)", true, -5},   {"1,234", true, 1234},    {"1,2,3", true, 123},     {"1.", true, 1},
        {".5", true, 0.5},   {"$5", true, 5},          {"-$5", true, -5},        {"&H1F", true, 31},
        {"1e3", true, 1000}, {"(1,500)", true, -1500}, {"\t7\t", true, 7},       {"", false, 0},
        {" ", false, 0},     {".", false, 0},          {"-", false, 0},          {"()", false, 0},
        {",12", false, 0},   {"1..2", false, 0},       {"12abc", false, 0},      {"$", false, 0},
        {"1/2", false, 0},   {"--5", false, 0},        {"-5-", false, 0},        {"(-5)", false, 0},
        {"1 2", false, 0},   {"1e", false, 0},         {"05/03/2004", false, 0},
    };
    for (const auto& r : rows) {
        const auto n = ParseNumber(r.text);
        EXPECT_EQ(n.has_value(), r.numeric) << '"' << r.text << '"';
        EXPECT_EQ(IsNumeric(std::string_view(r.text)), r.numeric) << '"' << r.text << '"';
        if (n && r.numeric) {
            EXPECT_EQ(*n, r.value) << r.text;
        }
    }
}

TEST(IsNumeric, DependsOnTheSubType) {
    EXPECT_TRUE(IsNumeric(Variant()));
    EXPECT_TRUE(IsNumeric(Variant(std::int16_t(3))));
    EXPECT_TRUE(IsNumeric(Variant(true)));
    EXPECT_FALSE(IsNumeric(Variant(Null)));
    EXPECT_FALSE(IsNumeric(Variant(Date{38051.0})));
    EXPECT_TRUE(IsNumeric(Variant("1,234.5")));
}

TEST(CDbl, ErrorsAndSubTypes) {
    EXPECT_EQ(CDbl(Variant("1,234.5")), 1234.5);
    EXPECT_EQ(CDbl(Variant()), 0);
    EXPECT_EQ(CDbl(Variant(true)), -1);
    EXPECT_EQ(ErrorOf([] { CDbl(Variant("")); }), kTypeMismatch);
    EXPECT_EQ(ErrorOf([] { CDbl(Variant("x")); }), kTypeMismatch);
    EXPECT_EQ(ErrorOf([] { CDbl(Variant(Null)); }), kInvalidUseOfNull);
    // A number beyond the Double range is an overflow, not a mismatch.
    EXPECT_EQ(ErrorOf([] { CDbl(Variant("1e400")); }), kOverflow);
    EXPECT_EQ(ErrorOf([] { CLng(Variant("-1e999")); }), kOverflow);
    EXPECT_EQ(CDbl(Variant("1e-400")), 0);
}

struct WholeRow {
    double value;
    int expected;  // or the error number when error is set
    bool error;
};

TEST(IntegerConversions, RoundHalfToEvenAndCheckTheRange) {
    const WholeRow cint[] = {
        {0.5, 0, false},
        {1.5, 2, false},
        {2.5, 2, false},
        {-2.5, -2, false},
        {3.5, 4, false},
        {32767.4, 32767, false},
        {32767.5, kOverflow, true},  // range checked after rounding
        {-32768.5, -32768, false},
        {-32769, kOverflow, true},
    };
    for (const auto& r : cint) {
        if (r.error) {
            EXPECT_EQ(ErrorOf([&] { CInt(Variant(r.value)); }), r.expected) << r.value;
        } else {
            EXPECT_EQ(CInt(Variant(r.value)), r.expected) << r.value;
        }
    }
    const WholeRow cbyte[] = {
        {255.5, kOverflow, true},
        {-0.5, 0, false},
        {-0.6, kOverflow, true},
        {254.5, 254, false},
    };
    for (const auto& r : cbyte) {
        if (r.error) {
            EXPECT_EQ(ErrorOf([&] { CByte(Variant(r.value)); }), r.expected) << r.value;
        } else {
            EXPECT_EQ(CByte(Variant(r.value)), r.expected) << r.value;
        }
    }
    EXPECT_EQ(CLng(Variant(2147483647.4)), 2147483647);
    EXPECT_EQ(ErrorOf([] { CLng(Variant(2147483647.5)); }), kOverflow);
    EXPECT_EQ(CLng(Variant(" (1,500) ")), -1500);
    EXPECT_EQ(CInt(Variant(Currency::FromRaw(25000))), 2);  // 2.5 exact: half to even
    EXPECT_EQ(CInt(Variant(Currency::FromRaw(35000))), 4);
    EXPECT_EQ(ErrorOf([] { CInt(Variant("abc")); }), kTypeMismatch);
    EXPECT_EQ(ErrorOf([] { CLng(Variant(Null)); }), kInvalidUseOfNull);
}

TEST(CheckedArithmetic, OverflowIsJudgedOnTheOperationType) {
    EXPECT_EQ(ErrorOf([] { AddInteger(32767, 1); }), kOverflow);
    EXPECT_EQ(ErrorOf([] { MulInteger(200, 200); }), kOverflow);  // 200 * 200 as Integer
    EXPECT_EQ(ErrorOf([] { SubInteger(-32768, 1); }), kOverflow);
    EXPECT_EQ(AddInteger(32766, 1), 32767);
    EXPECT_EQ(MulInteger(-128, 256), -32768);
    EXPECT_EQ(MulLong(200, 200), 40000);
    EXPECT_EQ(ErrorOf([] { MulInteger(2000, 365); }), kOverflow);
    EXPECT_EQ(ErrorOf([] { MulLong(2000 * 365, 3000); }), kOverflow);
    EXPECT_EQ(ErrorOf([] { AddLong(2147483647, 1); }), kOverflow);
    EXPECT_EQ(AddLong(-2147483647, -1), std::numeric_limits<std::int32_t>::min());
}

TEST(Currency, ExactSumsAndHalfEvenConversions) {
    const struct {
        double value;
        std::int64_t raw;
    } rows[] = {
        {1.5, 15000},
        {0.00005, 0},  // exact half of the last place: to even
        {0.00015, 2},
        {-0.00005, 0},
        {12.34565, 123456},
        {-2.5, -25000},
        {922337203685477.0, 9223372036854770000},
        // 16 digits whose product with 10000 falls on a half: all of them count
        {289637792734.97717, 2896377927349772},
        {-411270219564.32977, -4112702195643298},
    };
    for (const auto& r : rows) EXPECT_EQ(Currency::FromDouble(r.value).Raw(), r.raw) << r.value;
    EXPECT_EQ(ErrorOf([] { Currency::FromDouble(1e15); }), kOverflow);
    EXPECT_EQ(ErrorOf([] { Currency::FromLong(922337203685478); }), kOverflow);
    const Currency max = Currency::FromRaw(std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(ErrorOf([&] { (void)(max + Currency::FromRaw(1)); }), kOverflow);
    EXPECT_EQ(ErrorOf([&] { (void)(-max - Currency::FromRaw(2)); }), kOverflow);
    EXPECT_EQ((Currency::FromRaw(1) + Currency::FromRaw(2)).Raw(), 3);  // no binary drift
    // 0.0001 * 0.5 = 0.00005 -> 0 (half to even); 0.0003 * 0.5 -> 0.0002
    EXPECT_EQ((Currency::FromRaw(1) * Currency::FromRaw(5000)).Raw(), 0);
    EXPECT_EQ((Currency::FromRaw(3) * Currency::FromRaw(5000)).Raw(), 2);
    EXPECT_EQ((Currency::FromRaw(-3) * Currency::FromRaw(5000)).Raw(), -2);
    EXPECT_EQ(CCur(Variant("1,234.5678")).Raw(), 12345678);
    EXPECT_EQ(CStr(Variant(Currency::FromRaw(-12345000))), "-1234.5");
}

TEST(Currency, TextReadsExactlyUpToTheExtremes) {
    const struct {
        const char* text;
        std::int64_t raw;
    } rows[] = {
        {"922337203685477.5807", std::numeric_limits<std::int64_t>::max()},
        {"-922337203685477.5808", std::numeric_limits<std::int64_t>::min()},
        {"(922,337,203,685,477.5808)", std::numeric_limits<std::int64_t>::min()},
        {"123456789012.34565", 1234567890123456},  // 15 digits of a Double would give ...3460
        {"123456789012.34575", 1234567890123458},  // halves to even
        {"0.00005", 0},
        {"0.00015", 2},
        {"-0.00025", -2},
        {"0.000051", 1},
        {" 1,234.5 ", 12345000},
        {"1.5e3", 15000000},
        {"15e-5", 2},
        {"1e-400", 0},
        {"&H10", 160000},
        {"-0", 0},
    };
    for (const auto& r : rows) EXPECT_EQ(CCur(Variant(r.text)).Raw(), r.raw) << r.text;
    for (const char* over : {"922337203685477.5808", "-922337203685477.5809", "1e15", "1e99999"})
        EXPECT_EQ(ErrorOf([&] { CCur(Variant(over)); }), kOverflow) << over;
    for (const char* bad : {"", " ", "abc", "1..2", "$"})
        EXPECT_EQ(ErrorOf([&] { CCur(Variant(bad)); }), kTypeMismatch) << '"' << bad << '"';
}

TEST(Currency, RandomAmountsSurviveTextAndBack) {
    std::mt19937_64 gen(787);
    for (int i = 0; i < 20000; ++i) {
        std::int64_t raw = static_cast<std::int64_t>(gen());
        if (i % 2) raw >>= gen() % 60;  // small amounts as often as large ones
        const Variant c(Currency::FromRaw(raw));
        ASSERT_EQ(CCur(Variant(CStr(c))).Raw(), raw) << CStr(c);
        ASSERT_EQ(CCur(Variant(Str(c))).Raw(), raw) << Str(c);
        ASSERT_EQ(CCur(Variant(Format(c, "#,##0.0000;(#,##0.0000)"))).Raw(), raw) << raw;
        // Whole units: halves away from zero, on the exact amount.
        const std::int64_t units = raw / 10000;
        const std::int64_t rest = raw % 10000;
        const std::int64_t rounded = units + (rest >= 5000 ? 1 : rest <= -5000 ? -1 : 0);
        // A negative amount that rounds to zero keeps its sign ("-0").
        const std::string whole = (raw < 0 && rounded == 0 ? "-" : "") + std::to_string(rounded);
        ASSERT_EQ(Format(c, "##############0"), whole) << raw;
    }
}

TEST(Currency, RandomAmountsComeBackFromTheirDouble) {
    // Below 2^52 ten-thousandths the Double nearest an amount is closer to it
    // than to any other amount, so CCur gives the amount back.
    std::mt19937_64 gen(4102);
    for (int i = 0; i < 200000; ++i) {
        std::int64_t raw =
            static_cast<std::int64_t>(gen() % 9000000000000000ULL) - 4500000000000000LL;
        if (i % 2) raw >>= gen() % 50;
        const double d = static_cast<double>(raw) / 10000.0;
        ASSERT_EQ(Currency::FromDouble(d).Raw(), raw) << raw;
        ASSERT_EQ(CCur(Variant(d)).Raw(), raw) << raw;
    }
}

TEST(Str, RandomDoublesComeBackThroughVal) {
    // Str keeps 15 significant digits; Val (and CDbl of CStr) reads them back
    // as the Double nearest to those digits.
    std::mt19937_64 gen(1252);
    std::uniform_real_distribution<double> mant(1.0, 10.0);
    std::uniform_int_distribution<int> exp(-300, 300);
    for (int i = 0; i < 20000; ++i) {
        double x = mant(gen) * std::pow(10.0, exp(gen));
        if (i % 3 == 0) x = std::round(x * 1e4) / 1e4;  // amounts with few decimals
        if (i % 2) x = -x;
        char buf[40];
        const auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, 14);
        double expected = 0;
        std::from_chars(buf, r.ptr, expected);
        const std::string s = Str(x);
        ASSERT_EQ(s[0], x < 0 ? '-' : ' ') << s;
        ASSERT_EQ(s.find_first_of("e,"), std::string::npos) << s;
        ASSERT_EQ(Val(s), expected) << s;
        ASSERT_EQ(CDbl(Variant(CStr(Variant(x)))), expected) << CStr(Variant(x));
    }
}

TEST(Str, LeadingBlankAndPointDecimal) {
    const struct {
        double value;
        const char* text;
    } rows[] = {
        {5, " 5"},          {-5, "-5"},
        {0, " 0"},          {0.5, " .5"},  // no leading zero
        {-0.5, "-.5"},      {1e16, " 1E+16"},
        {1e15, " 1E+15"},   {123456789012345.0, " 123456789012345"},
        {1e-5, " 1E-05"},   {0.0001, " .0001"},
        {2.675, " 2.675"},  {1234567.891, " 1234567.891"},
        {0.1 + 0.2, " .3"},  // 15 significant digits
    };
    for (const auto& r : rows) EXPECT_EQ(Str(r.value), r.text) << r.value;
    EXPECT_EQ(Str(Variant(std::int16_t(6))), " 6");
    EXPECT_EQ(Str(Variant(Currency::FromRaw(5000))), " .5");
    EXPECT_EQ(Str(Variant(0.1f)), " .1");  // Single: 7 digits
    EXPECT_EQ(ErrorOf([] { Str(Variant(Null)); }), kInvalidUseOfNull);
}

TEST(CStr, UsesTheSystemSettings) {
    EXPECT_EQ(CStr(Variant(0.5)), "0.5");
    EXPECT_EQ(CStr(Variant(-1234.25)), "-1234.25");
    EXPECT_EQ(CStr(Variant(std::int32_t(-7))), "-7");
    EXPECT_EQ(CStr(Variant(Date{38051.0})), "05/03/2004");
    EXPECT_EQ(CStr(Variant(Date{38051.5})), "05/03/2004 12:00:00");
    EXPECT_EQ(CStr(Variant(Date{0.25})), "06:00:00");
    EXPECT_EQ(CStr(Variant()), "");
    EXPECT_EQ(ToText(Variant(Null)), "");
    EXPECT_EQ(ErrorOf([] { CStr(Variant(Null)); }), kInvalidUseOfNull);
}

TEST(Rounding, IntFixRound) {
    EXPECT_EQ(Int(-2.5), -3);
    EXPECT_EQ(Fix(-2.5), -2);
    EXPECT_EQ(Int(-2.5 + 0.5), -2);
    const struct {
        double x;
        int digits;
        double expected;
    } rows[] = {
        {2.5, 0, 2},        {3.5, 0, 4},      {-2.5, 0, -2},
        {0.125, 2, 0.12},   {2.675, 2, 2.67},  // binary value below the half (least certain)
        {1.005, 2, 1.0},                       // likewise
        {1.2345, 3, 1.234}, {-7.5, 0, -8},
    };
    for (const auto& r : rows) EXPECT_EQ(Round(r.x, r.digits), r.expected) << r.x;
    EXPECT_EQ(ErrorOf([] { Round(1.5, -1); }), kInvalidCall);
}

TEST(Dates, SerialsAndParts) {
    EXPECT_EQ(DateSerial(1899, 12, 30).serial, 0);
    EXPECT_EQ(DateSerial(2004, 3, 5).serial, 38051);
    EXPECT_EQ(DateSerial(1899, 12, 29).serial, -1);
    EXPECT_EQ(DateSerial(1900, 1, 1).serial, 2);
    EXPECT_EQ(DateSerial(2004, 13, 1).serial, DateSerial(2005, 1, 1).serial);  // roll-over
    EXPECT_EQ(DateSerial(2004, 3, 0).serial, DateSerial(2004, 2, 29).serial);
    EXPECT_EQ(DateSerial(4, 3, 5).serial, 38051);  // two-digit years
    EXPECT_EQ(ErrorOf([] { DateSerial(10000, 1, 1); }), kInvalidCall);

    const DateParts before = Split(Date{-1.25});  // time counts forward before day 0
    EXPECT_EQ(before.year, 1899);
    EXPECT_EQ(before.day, 29);
    EXPECT_EQ(before.hour, 6);
    const DateParts p = Split(Date{38051.0 + 50709.0 / 86400.0});
    EXPECT_EQ(p.month, 3);
    EXPECT_EQ(p.hour, 14);
    EXPECT_EQ(p.minute, 5);
    EXPECT_EQ(p.second, 9);
    EXPECT_EQ(Weekday(Date{38051.0}), 6);  // a Friday
    EXPECT_EQ(TimeSerial(14, 5, 9).serial, 50709.0 / 86400.0);
    EXPECT_EQ(Today().serial, std::trunc(Now().serial));
    EXPECT_EQ(ErrorOf([] { Split(Date{1e10}); }), kOverflow);  // no date at all
    EXPECT_EQ(ErrorOf([] { Format(Variant(Date{-1e300}), "dd/mm/yyyy"); }), kOverflow);
}

TEST(Dates, TextAsCDateReadsIt) {
    EXPECT_EQ(CDate(Variant("05/03/2004")).serial, 38051);  // day first
    EXPECT_EQ(CDate(Variant("5-3-04")).serial, 38051);
    EXPECT_EQ(CDate(Variant("2004/03/05")).serial, 38051);
    EXPECT_EQ(CDate(Variant("03/25/2004")).serial, DateSerial(2004, 3, 25).serial);
    EXPECT_EQ(CDate(Variant("14:05:09")).serial, 50709.0 / 86400.0);
    EXPECT_EQ(CDate(Variant("05/03/2004 12:00:00")).serial, 38051.5);
    EXPECT_EQ(CDate(Variant("2:05 PM")).serial, (14 * 60 + 5) / 1440.0);
    EXPECT_EQ(ErrorOf([] { CDate(Variant("31/02/2004")); }), kTypeMismatch);
    EXPECT_EQ(ErrorOf([] { CDate(Variant("hoy")); }), kTypeMismatch);
}

TEST(Errors, SpanishTextsFromOneTable) {
    EXPECT_EQ(ErrorText(6), "Desbordamiento");
    EXPECT_EQ(ErrorText(62), "Se sobrepasó el final del archivo");
    EXPECT_EQ(ErrorText(12345), "Error definido por la aplicación o por el objeto");
    try {
        Raise(53);
    } catch (const VbError& e) {
        EXPECT_EQ(e.Number(), 53);
        EXPECT_STREQ(e.what(), "Archivo no encontrado");
    }
    EXPECT_EQ(ErrorOf([] { Raise(20545, "Cancelado"); }), 20545);
}

}  // namespace
}  // namespace vb
