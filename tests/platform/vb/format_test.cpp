// Format with the number and date formats the system uses, plus the rules
// behind them. Rows resting on less certain run-time behaviour say which rule
// they pin.
#include <gtest/gtest.h>

#include <cstdint>

#include "vb/numeric.h"

namespace vb {
namespace {

struct FormatRow {
    Variant value;
    const char* format;
    const char* expected;
};

class NumberFormat : public ::testing::TestWithParam<FormatRow> {};

TEST_P(NumberFormat, Formats) {
    const FormatRow& r = GetParam();
    EXPECT_EQ(Format(r.value, r.format), r.expected) << "format " << r.format;
}

INSTANTIATE_TEST_SUITE_P(
    Formats, NumberFormat,
    ::testing::Values(
        // amounts
        FormatRow{1234567.0, "###,###,###,##0", "1,234,567"},
        FormatRow{0.0, "###,###,###,##0", "0"}, FormatRow{0.0, "##############0", "0"},
        FormatRow{0.0, "###############", ""}, FormatRow{1234567.0, "###############", "1234567"},
        FormatRow{1500.0, "(###,###,###,##0)", "(1,500)"},
        // one-section negative: minus before everything, literals included
        FormatRow{-1500.0, "(###,###,###,##0)", "-(1,500)"}, FormatRow{-5.0, "$0", "-$5"},
        FormatRow{-1500.0, "###,###,###,##0;(###,###,###,##0)", "(1,500)"},
        FormatRow{1500.0, "###,###,###,##0;(###,###,###,##0)", "1,500"},
        FormatRow{0.0, "###,###,###,##0;(###,###,###,##0)", "0"}, FormatRow{-1.0, "#;-#", "-1"},
        FormatRow{1234.5, "###,###", "1,235"}, FormatRow{0.0, "###,###", ""},
        FormatRow{987654321.0, "###########0", "987654321"},
        FormatRow{-25.0, "##############0", "-25"},
        FormatRow{12345678.0, "##,###,###,###0", "12,345,678"},
        FormatRow{-1234.0, "(#,###,###,##0)", "-(1,234)"},
        // masks on numeric text
        FormatRow{"052008", "0#/####", "05/2008"},
        FormatRow{"01012004", "0#/0#/####", "01/01/2004"}, FormatRow{"5", "0#/####", "00/0005"},
        FormatRow{"122008", "##/####", "12/2008"}, FormatRow{" 12 ", "000", "012"},
        FormatRow{"7", "000", "007"}, FormatRow{"122008", "0#/####", "12/2008"},
        FormatRow{"31122004", "0#/0#/####", "31/12/2004"},
        FormatRow{"20041231", "0#/0#/####", "20/04/1231"},  // a mask, not a date
        FormatRow{Variant(52008.0), "0#/####", "05/2008"},
        FormatRow{Variant(std::int32_t(12)), "000000", "000012"},
        FormatRow{Variant(std::int32_t(3)), "00000000", "00000003"},
        FormatRow{123.0, "000000000000000", "000000000000123"},
        FormatRow{1969.0, "00000000000000000000", "00000000000000001969"},
        FormatRow{26.4, "00000000000000000000", "00000000000000000026"},
        // text the parser reads as CDbl does; text it rejects comes back unchanged
        FormatRow{"(1,500)", "#,##0", "-1,500"}, FormatRow{"1,234", "0.00", "1234.00"},
        FormatRow{"", "0#/####", ""}, FormatRow{"ABC", "0.00", "ABC"},
        FormatRow{"12ab", "000", "12ab"}, FormatRow{"  ", "000", "  "},
        FormatRow{"1 234", "0", "1 234"},  // a blank inside is no grouping sign
        FormatRow{" ( 1,500 ) ", "###,###,###,##0;(###,###,###,##0)", "(1,500)"},
        FormatRow{" -1500 ", "###,###,###,##0;(###,###,###,##0)", "(1,500)"},
        FormatRow{"1500-", "##############0", "-1500"}, FormatRow{"-0", "0;(0);Z", "Z"},
        FormatRow{"1,234,567.5", "###,###,###,##0", "1,234,568"},
        // placeholder rules
        FormatRow{17.0, "#3", "173"}, FormatRow{4711.0, "#0", "4711"},
        FormatRow{1.0, "#00##00#0", "00000001"}, FormatRow{1.0, "000###", "000001"},
        FormatRow{0.0, "#.##", "."}, FormatRow{0.5, "#.##", ".5"}, FormatRow{0.0, "#,##0", "0"},
        FormatRow{5.0, "##/##", "/5"},  // literals print even beside empty placeholders
        FormatRow{123456789.0, "#,#.#", "123,456,789."}, FormatRow{1.0, "#.##", "1."},
        FormatRow{1900000.0, "0,,", "2"},  // trailing commas scale by a thousand
        FormatRow{0.5, "0%", "50%"}, FormatRow{1.5, "0.0#", "1.5"}, FormatRow{1.05, "0.#0", "1.05"},
        FormatRow{1234.5, "0.00E+00", "1.23E+03"},
        // sections are picked before rounding
        FormatRow{-0.4, "0;(0)", "(0)"}, FormatRow{0.4, "0;(0);Z", "0"},
        FormatRow{0.0, "0;(0);Z", "Z"},
        FormatRow{-3.0, "0;;Z", "-3"},  // empty section reuses the first one
        // the sign survives rounding to zero
        FormatRow{-0.4, "0", "-0"}, FormatRow{-0.001, "0.00", "-0.00"},
        FormatRow{-0.4, "#", "-"},  // minus alone when nothing else prints (least certain)
        // half away from zero on 15 significant digits
        FormatRow{2.5, "0", "3"}, FormatRow{-2.5, "0", "-3"}, FormatRow{0.125, "0.00", "0.13"},
        FormatRow{1.005, "0.00", "1.01"}, FormatRow{2.675, "0.00", "2.68"},
        FormatRow{9.9999999, "#0.000000", "10.000000"}, FormatRow{0.0995, "#.##", ".1"},
        FormatRow{123456789012345678.0, "0", "123456789012346000"},
        // whole units from Double and Currency totals: halves go up for
        // positive amounts, away from zero for negative ones
        FormatRow{0.5, "##############0", "1"}, FormatRow{1234567.5, "##############0", "1234568"},
        FormatRow{-0.5, "##############0", "-1"},
        FormatRow{Variant(Currency::FromRaw(5000)), "##############0", "1"},
        FormatRow{Variant(Currency::FromRaw(4999)), "##############0", "0"},
        FormatRow{Variant(Currency::FromRaw(-25000)), "##############0", "-3"},
        FormatRow{Variant(Currency::FromRaw(123456789012345000)), "##############0",
                  "12345678901235"},  // exact: no Double on the way
        FormatRow{Variant(Currency::FromRaw(INT64_MAX)), "##############0", "922337203685478"},
        FormatRow{Variant(Currency::FromRaw(INT64_MIN)), "###,###,###,##0;(###,###,###,##0)",
                  "(922,337,203,685,478)"},
        FormatRow{Variant(Currency::FromRaw(INT64_MIN)), "0.0000", "-922337203685477.5808"},
        // exact sub-types
        FormatRow{Variant(std::int16_t(-3)), "000", "-003"},
        FormatRow{Variant(Currency::FromRaw(12345)), "0.000", "1.235"},  // 1.2345 exact half
        FormatRow{Variant(true), "0", "-1"},
        // named formats
        FormatRow{1234.5, "Standard", "1,234.50"}, FormatRow{0.256, "Percent", "25.60%"},
        FormatRow{-2.5, "Fixed", "-2.50"},
        // Null gives the empty text; Empty formats like 0
        FormatRow{Variant(Null), "###,###,###,##0", ""}, FormatRow{Variant(), "0", "0"}));

class DateFormat : public ::testing::TestWithParam<FormatRow> {};

TEST_P(DateFormat, Formats) {
    const FormatRow& r = GetParam();
    EXPECT_EQ(Format(r.value, r.format), r.expected) << "format " << r.format;
}

// 2004-03-05 14:05:09 is serial 38051 + 50709/86400.
const Variant kMoment = Date{38051.0 + 50709.0 / 86400.0};

INSTANTIATE_TEST_SUITE_P(
    Formats, DateFormat,
    ::testing::Values(
        FormatRow{kMoment, "dd/mm/yyyy", "05/03/2004"}, FormatRow{kMoment, "hh:mm:ss", "14:05:09"},
        FormatRow{kMoment, "ddmmyyyy", "05032004"}, FormatRow{kMoment, "yyyymmdd", "20040305"},
        FormatRow{kMoment, "d/m/yy", "5/3/04"}, FormatRow{kMoment, "yyyymm", "200403"},
        FormatRow{kMoment, "mmyyyy", "032004"}, FormatRow{kMoment, "nn:ss", "05:09"},
        FormatRow{kMoment, "mm:ss", "03:09"},  // m after anything but h is the month
        FormatRow{kMoment, "y", "65"},         // y alone is the day of the year
        FormatRow{kMoment, "h:nn AM/PM", "2:05 PM"},
        FormatRow{kMoment, "dddd d \"de\" mmmm", "viernes 5 de marzo"},
        FormatRow{0.0, "dd/mm/yyyy", "30/12/1899"},
        FormatRow{Variant(Date{}), "dd/mm/yyyy", "30/12/1899"},
        FormatRow{Variant(Date{-1.25}), "dd/mm/yyyy hh:nn", "29/12/1899 06:00"},
        FormatRow{Variant(std::int32_t(38051)), "dd/mm/yyyy", "05/03/2004"},
        // date text is read day first; numeric text is a serial
        FormatRow{"05/03/2004", "yyyymmdd", "20040305"},
        FormatRow{"38051", "dd/mm/yyyy", "05/03/2004"},
        // an eight-digit text is a serial past 9999: returned unchanged (least certain)
        FormatRow{"20040305", "dd/mm/yyyy", "20040305"}, FormatRow{"xyz", "dd/mm/yyyy", "xyz"},
        FormatRow{Variant(Null), "dd/mm/yyyy", ""}));

TEST(FormatNoFormat, ShowsTheValueAsText) {
    EXPECT_EQ(Format(Variant(0.5)), "0.5");
    EXPECT_EQ(Format(Variant(-1234.25)), "-1234.25");
    EXPECT_EQ(Format(Variant(Date{38051.0})), "05/03/2004");
    EXPECT_EQ(Format(Variant(Null)), "");
    EXPECT_EQ(Format(Variant()), "");
    EXPECT_EQ(Format(Variant("abc"), ""), "abc");
}

}  // namespace
}  // namespace vb
