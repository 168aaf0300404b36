// Currency: a signed 64-bit count of ten-thousandths. + and - are exact and
// raise overflow (error 6); conversions round half to even as CCur does.
#pragma once

#include <compare>
#include <cstdint>
#include <string>

namespace vb {

class Currency {
  public:
    static constexpr std::int64_t kScale = 10000;

    constexpr Currency() = default;
    static constexpr Currency FromRaw(std::int64_t raw) {
        Currency c;
        c.raw_ = raw;
        return c;
    }
    // Whole units; raises 6 when out of range.
    static Currency FromLong(std::int64_t units);
    // Rounds to four places, half to even; raises 6 when out of range.
    static Currency FromDouble(double value);

    constexpr std::int64_t Raw() const { return raw_; }
    double ToDouble() const;

    Currency operator+(Currency o) const;  // raises 6 on overflow
    Currency operator-(Currency o) const;  // raises 6 on overflow
    Currency operator-() const;            // raises 6 on overflow
    Currency& operator+=(Currency o) { return *this = *this + o; }
    Currency& operator-=(Currency o) { return *this = *this - o; }
    // Currency x Currency rounds to four places (half to even).
    Currency operator*(Currency o) const;

    constexpr auto operator<=>(const Currency&) const = default;

  private:
    std::int64_t raw_ = 0;
};

}  // namespace vb
