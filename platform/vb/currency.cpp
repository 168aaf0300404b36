// Currency arithmetic: exact in ten-thousandths, overflow raises error 6.
#include "vb/currency.h"

#include <cmath>
#include <limits>

#include "vb/error.h"

namespace vb {

namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

// Rounds half to even without depending on the floating-point rounding mode.
double HalfEven(double x) {
    const double fl = std::floor(x);
    const double diff = x - fl;
    if (diff > 0.5) return fl + 1.0;
    if (diff < 0.5) return fl;
    return std::fmod(fl, 2.0) == 0.0 ? fl : fl + 1.0;
}

}  // namespace

Currency Currency::FromLong(std::int64_t units) {
    if (units > kMax / kScale || units < kMin / kScale) Raise(kOverflow);
    return FromRaw(units * kScale);
}

Currency Currency::FromDouble(double value) {
    if (std::isnan(value)) Raise(kOverflow);
    const double r = HalfEven(value * static_cast<double>(kScale));
    // 2^63 is exactly representable; anything at or beyond it does not fit.
    if (r >= 9223372036854775808.0 || r < -9223372036854775808.0) Raise(kOverflow);
    return FromRaw(static_cast<std::int64_t>(r));
}

double Currency::ToDouble() const {
    return static_cast<double>(raw_) / kScale;
}

Currency Currency::operator+(Currency o) const {
    std::int64_t r;
    if (__builtin_add_overflow(raw_, o.raw_, &r)) Raise(kOverflow);
    return FromRaw(r);
}

Currency Currency::operator-(Currency o) const {
    std::int64_t r;
    if (__builtin_sub_overflow(raw_, o.raw_, &r)) Raise(kOverflow);
    return FromRaw(r);
}

Currency Currency::operator-() const {
    if (raw_ == kMin) Raise(kOverflow);
    return FromRaw(-raw_);
}

Currency Currency::operator*(Currency o) const {
    const __int128 p = static_cast<__int128>(raw_) * o.raw_;
    __int128 q = p / kScale;
    const __int128 rem = p % kScale;  // same sign as p
    const __int128 twice = rem < 0 ? -2 * rem : 2 * rem;
    if (twice > kScale || (twice == kScale && (q % 2 != 0))) q += (p < 0 ? -1 : 1);
    if (q > kMax || q < kMin) Raise(kOverflow);
    return FromRaw(static_cast<std::int64_t>(q));
}

}  // namespace vb
