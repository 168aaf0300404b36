// Currency arithmetic: exact in ten-thousandths, overflow raises error 6.
#include "vb/currency.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "vb/error.h"

namespace vb {

namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

}  // namespace

Currency Currency::FromLong(std::int64_t units) {
    if (units > kMax / kScale || units < kMin / kScale) Raise(kOverflow);
    return FromRaw(units * kScale);
}

Currency Currency::FromDouble(double value) {
    if (!std::isfinite(value)) Raise(kOverflow);
    const double r = value * static_cast<double>(kScale);
    const double fl = std::floor(r);
    const double diff = r - fl;
    // Away from a half the product rounds as it is. Near a half the value is
    // read as the shortest decimal that gives this Double back, so 0.00015 is
    // the half it was written as and goes to the even 0.0002, while an amount
    // of 16 or 17 digits keeps them all (15 would move it by a few
    // ten-thousandths).
    if (std::fabs(r) >= 4503599627370496.0) {
        // Large amounts: the exact binary value times 10000, half to even.
        int exp2 = 0;
        const double m = std::frexp(std::fabs(value), &exp2);  // m in [0.5, 1)
        const auto mant = static_cast<std::int64_t>(std::ldexp(m, 53));
        const int shift = exp2 - 53;  // |value| = mant * 2^shift
        __int128 q = static_cast<__int128>(mant) * kScale;
        if (shift >= 0) {
            if (shift > 20) Raise(kOverflow);
            q <<= shift;
        } else {
            const int k = -shift;
            const __int128 rem = q & ((static_cast<__int128>(1) << k) - 1);
            const __int128 half = static_cast<__int128>(1) << (k - 1);
            q >>= k;
            if (rem > half || (rem == half && (q & 1))) ++q;
        }
        const bool neg = value < 0;
        if (q > static_cast<__int128>(kMax) + (neg ? 1 : 0)) Raise(kOverflow);
        return FromRaw(static_cast<std::int64_t>(neg ? -q : q));
    }
    if (std::fabs(diff - 0.5) > 1e-6) {
        return FromRaw(static_cast<std::int64_t>(diff > 0.5 ? fl + 1.0 : fl));
    }
    char buf[40];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific);
    // buf: d[.ddd]e[+-]XX, at most 17 digits
    const char* e = static_cast<const char*>(std::memchr(buf, 'e', res.ptr - buf));
    char digits[20];
    int nd = 0;
    digits[nd++] = buf[0];
    for (const char* p = buf + 2; p < e && nd < 20; ++p) digits[nd++] = *p;
    int exp10 = 0;
    std::from_chars(e + (e[1] == '+' ? 2 : 1), res.ptr, exp10);
    // value * 10^4 = 0.digits * 10^(exp10 + 5): the first exp10 + 5 digits are whole.
    const int whole = exp10 + 5;
    if (whole > 19) Raise(kOverflow);
    unsigned __int128 q = 0;
    for (int i = 0; i < whole; ++i)
        q = q * 10 + static_cast<unsigned>(i < nd ? digits[i] - '0' : 0);
    if (whole >= 0 && whole < nd) {
        const int first = digits[whole] - '0';
        bool rest = false;
        for (int i = whole + 1; i < nd; ++i) rest = rest || digits[i] != '0';
        if (first > 5 || (first == 5 && (rest || (q & 1)))) ++q;
    }
    const bool neg = value < 0;
    if (q > (neg ? static_cast<unsigned __int128>(kMax) + 1 : static_cast<unsigned __int128>(kMax)))
        Raise(kOverflow);
    return FromRaw(neg ? static_cast<std::int64_t>(-static_cast<__int128>(q))
                       : static_cast<std::int64_t>(q));
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
