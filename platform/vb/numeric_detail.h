// Internal number-to-text helpers shared by Str, CStr and Format.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "vb/currency.h"

namespace vb::detail {

// The shortest text of |x| with `precision` significant digits in the style of
// the run-time ("%G": fixed notation unless the exponent is below -4 or at
// least `precision`; exponent as E+XX). leadingZero: "0.5" rather than ".5".
std::string NumberText(double x, int precision, bool leadingZero);
// Exact Currency text with "." and up to four decimals, no trailing zeros.
std::string CurrencyText(Currency c);
// The CDbl parser: nullopt when the text is not a number, with *overflow set
// when it is one, but beyond the Double range.
std::optional<double> ParseDouble(std::string_view s, bool* overflow);
// Text read by the CDbl parser straight into Currency, rounded half to even to
// four places: nullopt when the text is not a number (with *overflow set when
// it is one, but outside the Currency range).
std::optional<Currency> ParseCurrency(std::string_view s, bool* overflow);

}  // namespace vb::detail
