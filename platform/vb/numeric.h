// Number <-> text conversions with VB semantics: Str, Val, IsNumeric, the
// CDbl-family parser, rounding, and Format for numbers, numeric text and dates.
// Regional settings are fixed: decimal ".", grouping ",", dates day/month/year.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "vb/variant.h"

namespace vb {

// Str: leading blank for non-negative numbers, "." decimal, no grouping,
// 15 significant digits for Double (7 for Single), exponent form as VB prints it.
std::string Str(double value);
std::string Str(const Variant& v);  // Null -> 94

// Val: skips blanks, tabs and line feeds anywhere; reads sign, digits, one ".",
// digits, exponent; &H / &O forms; stops at the first misfit; nothing -> 0.
double Val(std::string_view s);

// The parser shared by CDbl, IsNumeric, Format and implicit coercion.
std::optional<double> ParseNumber(std::string_view s);
bool IsNumeric(const Variant& v);
bool IsNumeric(std::string_view s);

// Rounding
double Int(double x);                    // toward -infinity
double Fix(double x);                    // toward zero
double Round(double x, int digits = 0);  // half to even; digits < 0 -> 5
double RoundHalfEven(double x);

// 16-bit and 32-bit checked arithmetic: results out of range raise 6.
std::int16_t AddInteger(std::int32_t a, std::int32_t b);
std::int16_t SubInteger(std::int32_t a, std::int32_t b);
std::int16_t MulInteger(std::int32_t a, std::int32_t b);
std::int32_t AddLong(std::int64_t a, std::int64_t b);
std::int32_t MulLong(std::int64_t a, std::int64_t b);

// Format / Format$ with a number format ("###,###,###,##0", "0#/####",
// "000", "##############0", two and three sections, ...) or a date format
// ("dd/mm/yyyy", "hh:mm:ss", "ddmmyyyy", "yyyymmdd", ...). Numeric text is
// parsed first; text that does not parse comes back unchanged. Null gives "".
std::string Format(const Variant& v, std::string_view fmt);
std::string Format(double v, std::string_view fmt);
std::string Format(std::string_view numericText, std::string_view fmt);
// Format with no format string (as Format(x) does).
std::string Format(const Variant& v);

}  // namespace vb
