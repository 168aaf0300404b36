// Str, Val, the CDbl-family parser, rounding and checked integer arithmetic.
// Str and Val always use "." whatever the regional settings; the parser uses
// the system's fixed settings, which are "." and "," as well.
#include "vb/numeric.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "vb/error.h"
#include "vb/numeric_detail.h"

namespace vb {

namespace detail {

std::string NumberText(double x, int precision, bool leadingZero) {
    if (x == 0.0) return "0";
    // Infinities and NaN cannot come from VB arithmetic (it raises); should
    // one arrive from outside it prints as the run-time shows it.
    if (std::isnan(x)) return "-1.#IND";
    if (std::isinf(x)) return x > 0 ? "1.#INF" : "-1.#INF";
    const bool neg = x < 0;
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(x), std::chars_format::scientific,
                           precision - 1);
    // buf: d[.ddd]e[+-]XX
    const char* e = static_cast<const char*>(std::memchr(buf, 'e', r.ptr - buf));
    std::string digits;
    digits.push_back(buf[0]);
    for (const char* p = buf + 2; p < e; ++p) digits.push_back(*p);
    int exp10 = 0;
    std::from_chars(e + (e[1] == '+' ? 2 : 1), r.ptr, exp10);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string out;
    if (neg) out.push_back('-');
    if (exp10 < -4 || exp10 >= precision) {
        out.push_back(digits[0]);
        if (digits.size() > 1) {
            out.push_back('.');
            out.append(digits, 1);
        }
        out.push_back('E');
        out.push_back(exp10 < 0 ? '-' : '+');
        const int a = exp10 < 0 ? -exp10 : exp10;
        if (a < 10) out.push_back('0');
        out.append(std::to_string(a));
    } else if (exp10 < 0) {
        if (leadingZero) out.push_back('0');
        out.push_back('.');
        out.append(static_cast<std::size_t>(-exp10 - 1), '0');
        out.append(digits);
    } else {
        const auto whole = static_cast<std::size_t>(exp10) + 1;
        if (digits.size() <= whole) {
            out.append(digits);
            out.append(whole - digits.size(), '0');
        } else {
            out.append(digits, 0, whole);
            out.push_back('.');
            out.append(digits, whole);
        }
    }
    return out;
}

std::string CurrencyText(Currency c) {
    const std::int64_t raw = c.Raw();
    const bool neg = raw < 0;
    // Work on the magnitude as unsigned so the lowest value does not overflow.
    const std::uint64_t mag = neg ? 0 - static_cast<std::uint64_t>(raw) : raw;
    std::string out = neg ? "-" : "";
    out.append(std::to_string(mag / 10000));
    unsigned frac = static_cast<unsigned>(mag % 10000);
    if (frac) {
        char f[5] = {char('0' + frac / 1000), char('0' + frac / 100 % 10),
                     char('0' + frac / 10 % 10), char('0' + frac % 10), 0};
        int len = 4;
        while (f[len - 1] == '0') --len;
        out.push_back('.');
        out.append(f, static_cast<std::size_t>(len));
    }
    return out;
}

}  // namespace detail

namespace {

// A small growable digit buffer that stays on the stack for ordinary numbers.
class NumBuf {
  public:
    void push(char c) {
        if (len_ < sizeof stack_) {
            stack_[len_++] = c;
        } else {
            if (heap_.empty()) heap_.assign(stack_, len_);
            heap_.push_back(c);
            ++len_;
        }
    }
    const char* data() const { return len_ <= sizeof stack_ ? stack_ : heap_.data(); }
    std::size_t size() const { return len_; }

  private:
    char stack_[80];
    std::size_t len_ = 0;
    std::string heap_;
};

inline bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// &H / &O literal digits already collected: value and digit count give the
// run-time's typing: up to four hex digits (or an octal value up to &O177777)
// is a 16-bit Integer, so &HFFFF is -1; up to eight hex digits a 32-bit Long.
double RadixValue(std::uint64_t value, int digits, bool hex, bool* overflow) {
    *overflow = false;
    if (hex ? digits <= 4 : value <= 0xFFFF) {
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
    }
    if (value <= 0xFFFFFFFFULL) {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    }
    *overflow = true;
    return 0;
}

// True when the decimal text "[-]digits[.digits][e[-]digits]" stands for a
// number below 1 in magnitude (its first significant digit lies right of the
// point), which tells an underflow from an overflow.
bool BelowOne(std::string_view t) {
    if (!t.empty() && t[0] == '-') t.remove_prefix(1);
    const std::size_t ePos = t.find('e');
    const std::string_view mant = t.substr(0, ePos);
    long long order = 0;  // power of ten of the first significant digit
    bool found = false, afterPoint = false;
    long long whole = 0, zerosAfterPoint = 0;
    for (char c : mant) {
        if (c == '.') {
            afterPoint = true;
        } else if (!found && c == '0') {
            if (afterPoint) ++zerosAfterPoint;
        } else {
            if (!found) found = true;
            if (!afterPoint) ++whole;
        }
    }
    if (!found) return true;
    order = whole > 0 ? whole - 1 : -zerosAfterPoint - 1;
    if (ePos != std::string_view::npos) {
        std::string_view ex = t.substr(ePos + 1);
        const bool neg = !ex.empty() && ex[0] == '-';
        if (neg) ex.remove_prefix(1);
        long long x = 0;
        for (char c : ex) x = std::min<long long>(x * 10 + (c - '0'), 1000000000LL);
        order += neg ? -x : x;
    }
    return order < 0;
}

// A number too small for a Double reads as 0, as the run-time's conversion
// gives; one too large is not read (*ok false: the callers raise overflow).
double ToDouble(const NumBuf& buf, bool* ok) {
    double v = 0;
    auto r = std::from_chars(buf.data(), buf.data() + buf.size(), v);
    if (r.ec == std::errc::result_out_of_range && BelowOne({buf.data(), buf.size()})) {
        *ok = true;
        return buf.size() > 0 && buf.data()[0] == '-' ? -0.0 : 0.0;
    }
    *ok = r.ec == std::errc() && std::isfinite(v);
    return v;
}

}  // namespace

double Val(std::string_view s) {
    const std::size_t n = s.size();
    std::size_t i = 0;
    auto blank = [&](std::size_t k) { return s[k] == ' ' || s[k] == '\t' || s[k] == '\n'; };
    auto skip = [&] {
        while (i < n && blank(i)) ++i;
    };
    skip();
    if (i < n && s[i] == '&') {
        ++i;
        skip();
        if (i >= n) return 0;
        const char kind = s[i];
        const bool hex = kind == 'H' || kind == 'h';
        if (!hex && kind != 'O' && kind != 'o') return 0;
        ++i;
        std::uint64_t value = 0;
        int digits = 0;
        bool tooLong = false;
        for (;; ++i) {
            skip();
            if (i >= n) break;
            const int d = hex ? HexValue(s[i]) : (s[i] >= '0' && s[i] <= '7' ? s[i] - '0' : -1);
            if (d < 0) break;
            if (value == 0 && d == 0) continue;  // leading zeros do not widen the type
            value = value * (hex ? 16 : 8) + static_cast<unsigned>(d);
            if (value > 0xFFFFFFFFULL) tooLong = true;
            ++digits;
        }
        bool overflow = false;
        const double v = RadixValue(value, digits, hex, &overflow);
        if (overflow || tooLong) Raise(kOverflow);
        return v;
    }

    NumBuf buf;
    if (i < n && (s[i] == '-' || s[i] == '+')) {
        if (s[i] == '-') buf.push('-');
        ++i;
    }
    bool any = false, dot = false;
    for (; i < n; ++i) {
        const char c = s[i];
        if (IsDigit(c)) {
            buf.push(c);
            any = true;
        } else if (c == '.' && !dot) {
            buf.push('.');
            dot = true;
        } else if (!blank(i)) {
            break;
        }
    }
    if (!any) return 0;
    bool expo = false;
    if (i < n && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
        std::size_t k = i + 1;
        while (k < n && blank(k)) ++k;
        char sign = 0;
        if (k < n && (s[k] == '-' || s[k] == '+')) sign = s[k++];
        while (k < n && blank(k)) ++k;
        if (k < n && IsDigit(s[k])) {
            buf.push('e');
            if (sign == '-') buf.push('-');
            for (; k < n; ++k) {
                if (IsDigit(s[k])) {
                    buf.push(s[k]);
                } else if (!blank(k)) {
                    break;
                }
            }
            i = k;
            expo = true;
        }
    }
    // A type suffix for a whole type after a fraction is a type mismatch.
    if (i < n && (s[i] == '%' || s[i] == '&') && (dot || expo)) {
        Raise(kTypeMismatch);
    }
    bool ok = false;
    const double v = ToDouble(buf, &ok);
    if (!ok) Raise(kOverflow);
    return v;
}

namespace {

// What the shared parser read: a radix literal's value, or the sign and the
// decimal text "digits[.digits][e[-]digits]" of the number.
struct Scanned {
    bool radix = false;
    double radixValue = 0;
    bool negative = false;
    NumBuf text;
};

bool Scan(std::string_view s, Scanned& out) {
    auto ws = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    std::size_t b = 0, e = s.size();
    while (b < e && ws(s[b])) ++b;
    while (e > b && ws(s[e - 1])) --e;
    if (b == e) return false;

    if (s[b] == '&') {
        if (e - b < 3) return false;
        const char kind = s[b + 1];
        const bool hex = kind == 'H' || kind == 'h';
        if (!hex && kind != 'O' && kind != 'o') return false;
        std::uint64_t value = 0;
        int digits = 0;
        for (std::size_t k = b + 2; k < e; ++k) {
            const int d = hex ? HexValue(s[k]) : (s[k] >= '0' && s[k] <= '7' ? s[k] - '0' : -1);
            if (d < 0) return false;
            if (value == 0 && d == 0) continue;
            value = value * (hex ? 16 : 8) + static_cast<unsigned>(d);
            if (value > 0xFFFFFFFFULL) return false;
            ++digits;
        }
        bool overflow = false;
        const double v = RadixValue(value, digits, hex, &overflow);
        if (overflow) return false;
        out.radix = true;
        out.radixValue = v;
        return true;
    }

    bool neg = false, paren = false, signSeen = false, currency = false;
    if (s[b] == '(') {
        if (s[e - 1] != ')') return false;
        paren = true;
        neg = true;
        ++b;
        --e;
        while (b < e && ws(s[b])) ++b;
        while (e > b && ws(s[e - 1])) --e;
    }
    std::size_t i = b;
    // Leading sign and currency sign, each at most once, in either order.
    for (; i < e; ++i) {
        const char c = s[i];
        if ((c == '-' || c == '+') && !signSeen && !paren) {
            signSeen = true;
            neg = c == '-';
        } else if (c == '$' && !currency) {
            currency = true;
        } else {
            break;
        }
    }
    NumBuf& buf = out.text;
    bool any = false, dot = false;
    for (; i < e; ++i) {
        const char c = s[i];
        if (IsDigit(c)) {
            buf.push(c);
            any = true;
        } else if (c == ',' && any && !dot) {
            // grouping sign: anywhere after the first digit
        } else if (c == '.' && !dot) {
            buf.push('.');
            dot = true;
        } else {
            break;
        }
    }
    if (!any) return false;
    if (i < e && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        std::size_t k = i + 1;
        bool expNeg = false;
        if (k < e && (s[k] == '-' || s[k] == '+')) expNeg = s[k++] == '-';
        if (k >= e || !IsDigit(s[k])) return false;
        buf.push('e');
        if (expNeg) buf.push('-');
        while (k < e && IsDigit(s[k])) buf.push(s[k++]);
        i = k;
    }
    // Trailing currency signs and one trailing sign.
    for (; i < e; ++i) {
        const char c = s[i];
        if (c == '$') {
            currency = true;
        } else if ((c == '-' || c == '+') && !signSeen && !paren) {
            signSeen = true;
            neg = c == '-';
        } else {
            return false;
        }
    }
    out.negative = neg;
    return true;
}

}  // namespace

std::optional<double> ParseNumber(std::string_view s) {
    bool overflow = false;
    return detail::ParseDouble(s, &overflow);
}

namespace detail {

std::optional<double> ParseDouble(std::string_view s, bool* overflow) {
    *overflow = false;
    Scanned n;
    if (!Scan(s, n)) return std::nullopt;
    if (n.radix) return n.radixValue;
    bool ok = false;
    const double v = ToDouble(n.text, &ok);
    if (!ok) {
        *overflow = true;
        return std::nullopt;
    }
    return n.negative ? -v : v;
}

// The decimal text is turned into ten-thousandths directly, so every amount
// Currency can hold, its extremes included, reads back exactly (through a
// Double, 922337203685477.5807 would come out above the maximum).
std::optional<Currency> ParseCurrency(std::string_view s, bool* overflow) {
    *overflow = false;
    Scanned n;
    if (!Scan(s, n)) return std::nullopt;
    if (n.radix) return Currency::FromDouble(n.radixValue);
    const std::string_view t(n.text.data(), n.text.size());
    const std::size_t ePos = t.find('e');
    const std::string_view mant = t.substr(0, ePos);
    long long exp10 = 0;
    if (ePos != std::string_view::npos) {
        std::string_view ex = t.substr(ePos + 1);
        const bool expNeg = !ex.empty() && ex[0] == '-';
        if (expNeg) ex.remove_prefix(1);
        for (char c : ex) {
            exp10 = exp10 * 10 + (c - '0');
            if (exp10 > 100000) break;  // far beyond any amount either way
        }
        if (expNeg) exp10 = -exp10;
    }
    // Significant digits and the power of ten of the last one.
    std::string digits;
    long long scale = 0;  // value = digits x 10^(scale + exp10)
    bool afterPoint = false;
    for (char c : mant) {
        if (c == '.') {
            afterPoint = true;
            continue;
        }
        if (digits.empty() && c == '0') {
            if (afterPoint) --scale;
            continue;
        }
        digits.push_back(c);
        if (afterPoint) --scale;
    }
    // Ten-thousandths: digits x 10^(shift), rounded half to even.
    const long long shift = scale + exp10 + 4;
    unsigned __int128 q = 0;
    const unsigned __int128 limit = static_cast<unsigned __int128>(INT64_MAX) + 1;
    auto tooBig = [&] {
        *overflow = true;
        return std::nullopt;
    };
    const long long keep = static_cast<long long>(digits.size()) + (shift < 0 ? shift : 0);
    for (long long k = 0; k < keep; ++k) {
        q = q * 10 + static_cast<unsigned>(digits[static_cast<std::size_t>(k)] - '0');
        if (q > limit) return tooBig();
    }
    if (shift > 0 && !digits.empty()) {
        for (long long k = 0; k < shift; ++k) {
            q *= 10;
            if (q > limit) return tooBig();
        }
    }
    if (shift < 0 && keep >= 0) {
        const std::size_t first = static_cast<std::size_t>(keep);
        const int d = digits[first] - '0';
        bool rest = false;
        for (std::size_t k = first + 1; k < digits.size(); ++k) rest = rest || digits[k] != '0';
        if (d > 5 || (d == 5 && (rest || (q & 1)))) ++q;
    }
    if (q > limit || (q == limit && !n.negative)) return tooBig();
    const auto mag = static_cast<__int128>(q);
    return Currency::FromRaw(static_cast<std::int64_t>(n.negative ? -mag : mag));
}

}  // namespace detail

bool IsNumeric(std::string_view s) {
    return ParseNumber(s).has_value();
}

bool IsNumeric(const Variant& v) {
    if (v.IsNumber() || v.IsEmpty() || v.IsBoolean()) return true;
    if (v.IsString()) return IsNumeric(std::string_view(v.Str()));
    return false;  // Null, dates
}

std::string Str(double value) {
    std::string t = detail::NumberText(value, 15, false);
    if (value >= 0 || std::isnan(value)) t.insert(t.begin(), ' ');
    return t;
}

std::string Str(const Variant& v) {
    switch (v.Type()) {
        case VarType::Null:
            Raise(kInvalidUseOfNull);
        case VarType::Empty:
            return " 0";
        case VarType::Single: {
            std::string t = detail::NumberText(v.AsSingle(), 7, false);
            if (v.AsSingle() >= 0) t.insert(t.begin(), ' ');
            return t;
        }
        case VarType::Currency: {
            std::string t = detail::CurrencyText(v.AsCurrency());
            if (t.rfind("0.", 0) == 0) t.erase(0, 1);
            if (t.rfind("-0.", 0) == 0) t.erase(1, 1);
            if (v.AsCurrency().Raw() >= 0) t.insert(t.begin(), ' ');
            return t;
        }
        case VarType::Date:
            return CStr(v);
        case VarType::String:
            return Str(CDbl(v));
        default:
            return Str(v.NumberValue());
    }
}

double Int(double x) {
    return std::floor(x);
}
double Fix(double x) {
    return std::trunc(x);
}

double RoundHalfEven(double x) {
    const double fl = std::floor(x);
    const double diff = x - fl;
    if (diff > 0.5) return fl + 1.0;
    if (diff < 0.5) return fl;
    return std::fmod(fl, 2.0) == 0.0 ? fl : fl + 1.0;
}

double Round(double x, int digits) {
    if (digits < 0) Raise(kInvalidCall);
    if (!std::isfinite(x)) return x;
    if (digits == 0) return RoundHalfEven(x);
    if (digits > 22) return x;
    const double scale = std::pow(10.0, digits);
    const double scaled = x * scale;
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 4503599627370496.0) return x;  // 2^52
    // Halves are judged on the binary value: 2.675 is 2.67499.. in binary, and
    // its product with 100 rounds up to 267.5, so the residual of the product
    // (exact through fma) decides which side of the half it lies.
    const double fl = std::floor(scaled);
    if (scaled - fl == 0.5) {
        const double residual = std::fma(x, scale, -scaled);
        if (residual > 0) return (fl + 1.0) / scale;
        if (residual < 0) return fl / scale;
    }
    return RoundHalfEven(scaled) / scale;
}

namespace {

std::int16_t CheckInteger(std::int64_t r) {
    if (r < -32768 || r > 32767) Raise(kOverflow);
    return static_cast<std::int16_t>(r);
}

std::int32_t CheckLong(std::int64_t r) {
    if (r < std::numeric_limits<std::int32_t>::min() ||
        r > std::numeric_limits<std::int32_t>::max())
        Raise(kOverflow);
    return static_cast<std::int32_t>(r);
}

}  // namespace

std::int16_t AddInteger(std::int32_t a, std::int32_t b) {
    return CheckInteger(static_cast<std::int64_t>(a) + b);
}
std::int16_t SubInteger(std::int32_t a, std::int32_t b) {
    return CheckInteger(static_cast<std::int64_t>(a) - b);
}
std::int16_t MulInteger(std::int32_t a, std::int32_t b) {
    return CheckInteger(static_cast<std::int64_t>(a) * b);
}
std::int32_t AddLong(std::int64_t a, std::int64_t b) {
    std::int64_t r;
    if (__builtin_add_overflow(a, b, &r)) Raise(kOverflow);
    return CheckLong(r);
}
std::int32_t MulLong(std::int64_t a, std::int64_t b) {
    std::int64_t r;
    if (__builtin_mul_overflow(a, b, &r)) Raise(kOverflow);
    return CheckLong(r);
}

}  // namespace vb
