// String functions: character counting on UTF-8, 1252 case mapping, Like,
// the text comparison of the database, and the 1252 tables.
#include "error_of.h"
#include "vb/strings.h"

#include <gtest/gtest.h>

#include "vb/error.h"
#include "vb/text.h"

namespace vb {
namespace {

TEST(Slicing, CountsCharactersNotBytes) {
    const struct {
        std::string got, expected;
    } rows[] = {
        {Mid("abc", 2), "bc"},
        {Mid("abc", 4), ""},
        {Mid("abc", 2, 5), "bc"},
        {Mid("abc", 1, 0), ""},
        {Mid("añoé€x", 2, 3), "ñoé"},
        {Mid("añoé€x", 5), "€x"},
        {Left("añob", 2), "añ"},
        {Left("abc", 9), "abc"},
        {Left("abc", 0), ""},
        {Right("añob", 3), "ñob"},
        {Right("abc", 9), "abc"},
        {Right("xyz", 1), "z"},
        {Trim("  a b  "), "a b"},
        {LTrim("  a "), "a "},
        {RTrim(" a  "), " a"},
        {Trim("\t a \r"), "\t a \r"},       // only Chr(32) goes
        {Trim("\xC2\xA0x "), "\xC2\xA0x"},  // no-break space stays
        {Space(3), "   "},
        {String(3, "xy"), "xxx"},
        {String(3, 65), "AAA"},
        {String(2, "ñu"), "ññ"},
        {Replace("a.b.c", ".", ""), "abc"},
        {Replace("aaa", "a", "bb"), "bbbbbb"},
        {Replace("abc", "", "x"), "abc"},
    };
    for (const auto& r : rows) EXPECT_EQ(r.got, r.expected);
    EXPECT_EQ(MidView("añoé€x", 2, 3), "ñoé");
    EXPECT_EQ(TrimView("  a b  "), "a b");
    EXPECT_EQ(LTrimView("  a "), "a ");
    EXPECT_EQ(RTrimView(" a  "), " a");
    EXPECT_EQ(Len("añoé€"), 5u);
    EXPECT_EQ(Len(""), 0u);
    EXPECT_EQ(Len("\xE1"
                  "bc"),
              3u);  // a raw 1252 byte is one character
}

TEST(Slicing, BadArgumentsRaise5) {
    EXPECT_EQ(ErrorOf([] { Mid("abc", 0); }), kInvalidCall);
    EXPECT_EQ(ErrorOf([] { Mid("abc", 1, -1); }), kInvalidCall);
    EXPECT_EQ(ErrorOf([] { Left("abc", -1); }), kInvalidCall);
    EXPECT_EQ(ErrorOf([] { Right("abc", -1); }), kInvalidCall);
    EXPECT_EQ(ErrorOf([] { Space(-1); }), kInvalidCall);
    EXPECT_EQ(ErrorOf([] { String(2, ""); }), kInvalidCall);
    EXPECT_EQ(ErrorOf([] { Chr(256); }), kInvalidCall);
    EXPECT_EQ(ErrorOf([] { Asc(""); }), kInvalidCall);
    EXPECT_EQ(ErrorOf([] { InStr(0, "abc", "b"); }), kInvalidCall);
}

TEST(InStr, PositionsInCharacters) {
    EXPECT_EQ(InStr("abcabc", "c"), 3);
    EXPECT_EQ(InStr(4, "abcabc", "c"), 6);
    EXPECT_EQ(InStr("ñandú", "dú"), 4);
    EXPECT_EQ(InStr("", "a"), 0);
    EXPECT_EQ(InStr(2, "abc", ""), 2);
    EXPECT_EQ(InStr(9, "abc", "a"), 0);
    EXPECT_EQ(InStr("abc", "B"), 0);
    EXPECT_EQ(InStr(1, "abc", "B", true), 2);
    EXPECT_EQ(InStr(1, "AÑO", "ño", true), 2);
}

TEST(CaseMapping, StaysWithinWindows1252) {
    const struct {
        const char* in;
        const char* upper;
        const char* lower;
    } rows[] = {
        {"ñáéü", "ÑÁÉÜ", "ñáéü"},
        {"œšžÿ", "ŒŠŽŸ", "œšžÿ"},
        {"ßµ", "ßµ", "ßµ"},  // no upper-case form in 1252: unchanged, length kept
        {"AbC 1-z", "ABC 1-Z", "abc 1-z"},
        {"÷×", "÷×", "÷×"},
        {"ĳ", "ĳ", "ĳ"},  // not a 1252 letter
        {"\xE1"
         "b",
         "\xC1"
         "B",
         "\xE1"
         "b"},  // raw 1252 bytes map in place
    };
    for (const auto& r : rows) {
        EXPECT_EQ(UCase(r.in), r.upper) << r.in;
        EXPECT_EQ(LCase(r.upper), r.lower) << r.in;
    }
}

TEST(CompareText, FoldsCaseButNotAccents) {
    EXPECT_EQ(CompareText("abc", "ABC"), 0);
    EXPECT_EQ(CompareText("Ñandú", "ñANDÚ"), 0);
    EXPECT_EQ(CompareText("ÿ", "Ÿ"), 0);
    EXPECT_NE(CompareText("a", "á"), 0);
    EXPECT_LT(CompareText("abc", "ABD"), 0);
    EXPECT_GT(CompareText("abcd", "ABC"), 0);
    EXPECT_LT(CompareText("", "a"), 0);
    EXPECT_LT(CompareText("_", "a"), 0);  // folds to lower case, as the text collation sorts
    EXPECT_LT(CompareText("z", "ñ"), 0);
    // Long texts go eight ASCII bytes at a time; the letters' neighbours must not fold.
    EXPECT_EQ(CompareText("ABCDEFGHIJKLMNOPQRSTUVWXYZ", "abcdefghijklmnopqrstuvwxyz"), 0);
    EXPECT_NE(CompareText("@@@@@@@@[[[[", "````````{{{{"), 0);
    EXPECT_LT(CompareText("abcdefgh_ijk", "ABCDEFGHaijk"), 0);
    EXPECT_GT(CompareText("abcdefghZ", "ABCDEFGHa"), 0);
    EXPECT_LT(CompareText("abcdefgh[xyzwvuts", "ABCDEFGHZxyzwvuts"), 0);
    EXPECT_EQ(CompareText("12345678ñandú", "12345678ÑANDÚ"), 0);
    EXPECT_GT(CompareText("12345678abcdefgh1", "12345678ABCDEFGH"), 0);
    EXPECT_EQ(CompareText("\xD1"
                          "A",
                          "ña"),
              0);  // raw 1252 byte against UTF-8
}

TEST(Like, PatternsAsTheRunTimeReadsThem) {
    const struct {
        const char* text;
        const char* pattern;
        bool matches;
    } rows[] = {
        {"ABC", "a*", false},     {"ABC", "A*", true},      {"a1", "a#", true},
        {"ab", "a#", false},      {"abc", "a?c", true},     {"ac", "a?c", false},
        {"b", "[a-c]", true},     {"d", "[a-c]", false},    {"d", "[!a-c]", true},
        {"*", "[*]", true},       {"x", "[*]", false},      {"-", "[a-]", true},
        {"-", "[-a]", true},      {"ñu", "ñ?", true},       {"", "*", true},
        {"", "?", false},         {"abcabd", "*abd", true}, {"aXbXc", "a*b*c", true},
        {"12-34", "##-##", true}, {"[", "[[]", true},
    };
    for (const auto& r : rows)
        EXPECT_EQ(Like(r.text, r.pattern), r.matches) << r.text << " " << r.pattern;
    EXPECT_TRUE(Like("ABC", "a*", true));
    EXPECT_TRUE(Like("ÑU", "[ñ]u", true));
    EXPECT_EQ(ErrorOf([] { Like("a", "[a"); }), 93);
}

TEST(Cp1252, BothDirections) {
    EXPECT_EQ(Chr(128), "€");
    EXPECT_EQ(Asc("€"), 128);
    EXPECT_EQ(Asc("ñ"), 241);
    EXPECT_EQ(Asc("A"), 65);
    EXPECT_EQ(Asc("ĳ"), 63);           // no 1252 byte: "?"
    EXPECT_EQ(Chr(0x81), "\xC2\x81");  // undefined bytes keep their C1 control
    EXPECT_EQ(Cp1252ToUtf8("\xF1\xE1\xE9\x80"), "ñáé€");
    EXPECT_EQ(Utf8ToCp1252("ñáé€"), "\xF1\xE1\xE9\x80");
    EXPECT_EQ(Utf8ToCp1252("日本"), "??");
    EXPECT_EQ(Utf8ToCp1252("\xF1x"), "\xF1x");  // stray raw bytes pass through
    for (int b = 0; b < 256; ++b) {
        EXPECT_EQ(UnicodeToCp1252(Cp1252ToUnicode(static_cast<std::uint8_t>(b))), b);
        const std::string one(1, static_cast<char>(b));
        EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(one)), one);
    }
    EXPECT_EQ(UnicodeToCp1252(0x80), -1);
    EXPECT_EQ(CharCount("ñ€𝄞a"), 4u);
    EXPECT_EQ(U32ToUtf8(Utf8ToU32("añ€")), "añ€");
}

}  // namespace
}  // namespace vb
