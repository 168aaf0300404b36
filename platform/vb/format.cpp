// Format / Format$ for numbers, numeric text and dates, with the system's
// regional settings ("." decimal, "," grouping, "/" and ":" separators,
// Spanish month and day names). Numbers are first turned into decimal digits
// (15 significant digits for a Double, 7 for a Single, exact for whole types
// and Currency) and every rounding works on those digits, half away from zero,
// so 2.675 formats as "2.68" and 1.005 as "1.01" as the run-time prints them.
#include <charconv>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "vb/datetime.h"
#include "vb/datetime_detail.h"
#include "vb/numeric.h"
#include "vb/numeric_detail.h"
#include "vb/utf8_detail.h"
#include "vb/variant.h"

namespace vb {

namespace {

// |value| = 0.digits x 10^point; digits has no leading zeros (empty for zero).
struct Decimal {
    std::string digits;
    int point = 0;
    bool negative = false;

    bool IsZero() const { return digits.empty(); }
    void Normalize() {
        std::size_t lead = 0;
        while (lead < digits.size() && digits[lead] == '0') ++lead;
        digits.erase(0, lead);
        point -= static_cast<int>(lead);
        while (!digits.empty() && digits.back() == '0') digits.pop_back();
        if (digits.empty()) point = 0;
    }
};

Decimal FromDouble(double x, int precision) {
    Decimal d;
    d.negative = x < 0;
    if (x == 0.0 || !std::isfinite(x)) return d;
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(x), std::chars_format::scientific,
                           precision - 1);
    const char* e = static_cast<const char*>(std::memchr(buf, 'e', r.ptr - buf));
    d.digits.push_back(buf[0]);
    for (const char* p = buf + 2; p < e; ++p) d.digits.push_back(*p);
    int exp10 = 0;
    std::from_chars(e + (e[1] == '+' ? 2 : 1), r.ptr, exp10);
    d.point = exp10 + 1;
    d.Normalize();
    return d;
}

Decimal FromInt(std::int64_t v, int decimals) {
    Decimal d;
    d.negative = v < 0;
    const std::uint64_t mag = v < 0 ? 0 - static_cast<std::uint64_t>(v) : v;
    d.digits = std::to_string(mag);
    d.point = static_cast<int>(d.digits.size()) - decimals;
    d.Normalize();
    return d;
}

Decimal FromVariant(const Variant& v) {
    switch (v.Type()) {
        case VarType::Byte:
            return FromInt(v.AsByte(), 0);
        case VarType::Integer:
            return FromInt(v.AsInteger(), 0);
        case VarType::Long:
            return FromInt(v.AsLong(), 0);
        case VarType::Boolean:
            return FromInt(v.AsBoolean() ? -1 : 0, 0);
        case VarType::Currency:
            return FromInt(v.AsCurrency().Raw(), 4);
        case VarType::Single:
            return FromDouble(v.AsSingle(), 7);
        default:
            return FromDouble(v.NumberValue(), 15);
    }
}

// Keeps `decimals` fraction digits, rounding half away from zero.
void RoundTo(Decimal& d, int decimals) {
    if (d.IsZero()) return;
    const long keep = static_cast<long>(d.point) + decimals;
    if (keep >= static_cast<long>(d.digits.size())) return;
    if (keep < 0) {
        d.digits.clear();
        d.point = 0;
        return;
    }
    const bool up = d.digits[static_cast<std::size_t>(keep)] >= '5';
    d.digits.resize(static_cast<std::size_t>(keep));
    if (up) {
        long k = keep - 1;
        while (k >= 0 && d.digits[static_cast<std::size_t>(k)] == '9') {
            d.digits[static_cast<std::size_t>(k)] = '0';
            --k;
        }
        if (k < 0) {
            d.digits.insert(d.digits.begin(), '1');
            ++d.point;
        } else {
            ++d.digits[static_cast<std::size_t>(k)];
        }
    }
    d.Normalize();
}

// Splits a format into its sections at ";" outside quotes and escapes.
std::vector<std::string_view> Sections(std::string_view fmt) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    bool quoted = false;
    for (std::size_t i = 0; i < fmt.size(); ++i) {
        const char c = fmt[i];
        if (quoted) {
            if (c == '"') quoted = false;
        } else if (c == '"') {
            quoted = true;
        } else if (c == '\\') {
            ++i;
        } else if (c == ';') {
            out.push_back(fmt.substr(start, i - start));
            start = i + 1;
        }
    }
    out.push_back(fmt.substr(start));
    return out;
}

struct Token {
    enum Kind { Zero, Hash, Point, Comma, Percent, Exponent, Literal } kind;
    bool fraction = false;  // placeholder or comma after the decimal point
    std::string text;       // literal text; for Exponent "E+" / "e-" ...
    int expZeros = 0;       // Exponent: minimum exponent digits
};

std::vector<Token> Tokenize(std::string_view sec) {
    std::vector<Token> toks;
    bool point = false, exponent = false;
    auto literal = [&](std::string_view t) {
        if (!toks.empty() && toks.back().kind == Token::Literal) {
            toks.back().text.append(t);
        } else {
            toks.push_back({Token::Literal, point, std::string(t)});
        }
    };
    for (std::size_t i = 0; i < sec.size();) {
        const char c = sec[i];
        if (c == '"') {
            const std::size_t close = sec.find('"', i + 1);
            const std::size_t end = close == std::string_view::npos ? sec.size() : close;
            literal(sec.substr(i + 1, end - i - 1));
            i = end + 1;
        } else if (c == '\\') {
            if (i + 1 < sec.size()) {
                const std::size_t len = detail::CharLen(sec, i + 1);
                literal(sec.substr(i + 1, len));
                i += 1 + len;
            } else {
                ++i;
            }
        } else if ((c == '0' || c == '#') && !exponent) {
            toks.push_back({c == '0' ? Token::Zero : Token::Hash, point, {}});
            ++i;
        } else if (c == '.' && !point && !exponent) {
            toks.push_back({Token::Point, false, {}});
            point = true;
            ++i;
        } else if (c == ',' && !exponent) {
            toks.push_back({Token::Comma, point, {}});
            ++i;
        } else if (c == '%') {
            toks.push_back({Token::Percent, point, "%"});
            ++i;
        } else if ((c == 'E' || c == 'e') && !exponent && i + 1 < sec.size() &&
                   (sec[i + 1] == '+' || sec[i + 1] == '-')) {
            Token t{Token::Exponent, point, std::string(sec.substr(i, 2))};
            i += 2;
            while (i < sec.size() && (sec[i] == '0' || sec[i] == '#')) {
                if (sec[i] == '0') ++t.expZeros;
                ++i;
            }
            toks.push_back(std::move(t));
            exponent = true;
        } else {
            literal(sec.substr(i, detail::CharLen(sec, i)));
            i += detail::CharLen(sec, i);
        }
    }
    return toks;
}

bool IsDigitToken(const Token& t) {
    return t.kind == Token::Zero || t.kind == Token::Hash;
}

enum CommaRole { Plain, Group, Scale };

// What a section asks for, worked out once per format text.
struct Layout {
    std::vector<Token> toks;
    std::vector<CommaRole> roles;
    int intCount = 0, fracCount = 0, firstZero = -1, percents = 0, scale = 0;
    bool grouping = false;
    bool exponent = false;
};

Layout MakeLayout(std::string_view sec) {
    Layout l;
    l.toks = Tokenize(sec);
    for (const Token& t : l.toks) {
        if (IsDigitToken(t)) {
            if (t.fraction) {
                ++l.fracCount;
            } else {
                if (t.kind == Token::Zero && l.firstZero < 0) l.firstZero = l.intCount;
                ++l.intCount;
            }
        } else if (t.kind == Token::Percent) {
            ++l.percents;
        } else if (t.kind == Token::Exponent) {
            l.exponent = true;
        }
    }
    // Commas among the whole-number placeholders: between two of them they
    // turn on grouping; after the last one each divides by a thousand; before
    // the first one they are plain text.
    l.roles.assign(l.toks.size(), Plain);
    int seen = 0;
    for (std::size_t k = 0; k < l.toks.size(); ++k) {
        const Token& t = l.toks[k];
        if (IsDigitToken(t) && !t.fraction) ++seen;
        if (t.kind != Token::Comma || t.fraction) continue;
        if (seen == 0) continue;
        if (seen < l.intCount) {
            l.roles[k] = Group;
            l.grouping = true;
        } else {
            l.roles[k] = Scale;
            ++l.scale;
        }
    }
    return l;
}

// A parsed number format: its sections and their layouts.
struct NumberFormat {
    std::string text;
    std::vector<bool> empty;  // per section
    std::vector<Layout> layouts;
};

// Formats are nearly always a handful of literals used over and over: keep
// the last few parsed ones (per thread).
const NumberFormat& ParsedFormat(std::string_view fmt) {
    thread_local std::vector<std::unique_ptr<NumberFormat>> cache;
    thread_local std::size_t next = 0;
    for (const auto& f : cache) {
        if (f->text == fmt) return *f;
    }
    auto f = std::make_unique<NumberFormat>();
    f->text = std::string(fmt);
    for (std::string_view sec : Sections(fmt)) {
        f->empty.push_back(sec.empty());
        f->layouts.push_back(MakeLayout(sec));
    }
    constexpr std::size_t kSlots = 32;
    if (cache.size() < kSlots) {
        cache.push_back(std::move(f));
        return *cache.back();
    }
    next = (next + 1) % kSlots;
    cache[next] = std::move(f);
    return *cache[next];
}

// Formats the magnitude of d with one section (no sign handling).
std::string FormatSection(const Layout& l, Decimal d) {
    const std::vector<Token>& toks = l.toks;
    const std::vector<CommaRole>& roles = l.roles;
    const int intCount = l.intCount, fracCount = l.fracCount, firstZero = l.firstZero;
    const bool grouping = l.grouping;
    d.point += 2 * l.percents - 3 * l.scale;

    int exponent = 0;
    if (l.exponent && !d.IsZero()) {
        const int target = intCount > 0 ? intCount : 1;
        exponent = d.point - target;
        d.point = target;
        RoundTo(d, fracCount);
        if (d.point > target) {
            exponent += d.point - target;
            d.point = target;
        }
    } else {
        RoundTo(d, fracCount);
    }

    // Whole digits, padded with zeros from the leftmost "0" placeholder on.
    std::string whole;
    if (d.point > 0) {
        const auto p = static_cast<std::size_t>(d.point);
        whole = d.digits.substr(0, std::min(p, d.digits.size()));
        if (p > d.digits.size()) whole.append(p - d.digits.size(), '0');
    }
    if (firstZero >= 0) {
        const auto width = static_cast<std::size_t>(intCount - firstZero);
        if (whole.size() < width) whole.insert(0, width - whole.size(), '0');
    }
    // Fraction digits.
    std::string frac(static_cast<std::size_t>(fracCount), '0');
    for (int j = 0; j < fracCount; ++j) {
        const long idx = static_cast<long>(d.point) + j;
        if (idx >= 0 && idx < static_cast<long>(d.digits.size()))
            frac[static_cast<std::size_t>(j)] = d.digits[static_cast<std::size_t>(idx)];
    }
    int lastShown = -1;
    {
        int j = 0;
        for (const Token& t : toks) {
            if (!IsDigitToken(t) || !t.fraction) continue;
            if (t.kind == Token::Zero || frac[static_cast<std::size_t>(j)] != '0') lastShown = j;
            ++j;
        }
    }

    std::string out;
    const std::size_t L = whole.size();
    out.reserve(toks.size() + L + L / 3 + 8);
    const std::size_t N = static_cast<std::size_t>(intCount);
    std::size_t next = 0;  // next digit of `whole` to print
    auto emitDigits = [&](std::size_t upto) {
        for (; next < upto; ++next) {
            out.push_back(whole[next]);
            const std::size_t rest = L - next - 1;
            if (grouping && rest > 0 && rest % 3 == 0) out.push_back(',');
        }
    };
    std::size_t intSeen = 0;
    int fracSeen = 0;
    bool wholeDone = N == 0 && L == 0;
    for (std::size_t k = 0; k < toks.size(); ++k) {
        const Token& t = toks[k];
        switch (t.kind) {
            case Token::Zero:
            case Token::Hash:
                if (!t.fraction) {
                    // Placeholder intSeen takes digit (L - N + intSeen); the
                    // first one also takes every surplus digit.
                    ++intSeen;
                    if (L + intSeen > N) emitDigits(L + intSeen - N);
                    if (intSeen == N) wholeDone = true;
                } else {
                    if (!wholeDone) {
                        emitDigits(L);
                        wholeDone = true;
                    }
                    if (fracSeen <= lastShown)
                        out.push_back(frac[static_cast<std::size_t>(fracSeen)]);
                    ++fracSeen;
                }
                break;
            case Token::Point:
                if (!wholeDone) {  // no whole placeholders: the digits go before the point
                    emitDigits(L);
                    wholeDone = true;
                }
                out.push_back('.');
                break;
            case Token::Comma:
                if (roles[k] == Plain) out.push_back(',');
                break;
            case Token::Percent:
                out.push_back('%');
                break;
            case Token::Exponent: {
                if (!wholeDone) {
                    emitDigits(L);
                    wholeDone = true;
                }
                out.push_back(t.text[0]);
                if (exponent < 0) {
                    out.push_back('-');
                } else if (t.text[1] == '+') {
                    out.push_back('+');
                }
                std::string e = std::to_string(exponent < 0 ? -exponent : exponent);
                if (e.size() < static_cast<std::size_t>(t.expZeros))
                    e.insert(0, static_cast<std::size_t>(t.expZeros) - e.size(), '0');
                out.append(e);
                break;
            }
            case Token::Literal:
                out.append(t.text);
                break;
        }
    }
    return out;
}

std::string FormatNumber(Decimal d, std::string_view fmt) {
    const NumberFormat& f = ParsedFormat(fmt);
    const std::size_t n = f.layouts.size();
    const bool negative = d.negative && !d.IsZero();
    d.negative = false;
    // The section is chosen on the value before rounding.
    if (d.IsZero()) {
        if (n >= 3 && !f.empty[2]) return FormatSection(f.layouts[2], d);
        return FormatSection(f.layouts[0], d);
    }
    if (negative) {
        if (n >= 2 && !f.empty[1]) return FormatSection(f.layouts[1], d);
        // One section: the minus goes before everything, literals included.
        return "-" + FormatSection(f.layouts[0], d);
    }
    return FormatSection(f.layouts[0], d);
}

// --- dates -----------------------------------------------------------------

constexpr const char* kMonthNames[] = {"enero",      "febrero", "marzo",     "abril",
                                       "mayo",       "junio",   "julio",     "agosto",
                                       "septiembre", "octubre", "noviembre", "diciembre"};
constexpr const char* kMonthShort[] = {"ene", "feb", "mar", "abr", "may", "jun",
                                       "jul", "ago", "sep", "oct", "nov", "dic"};
constexpr const char* kDayNames[] = {"domingo", "lunes",   "martes", "miércoles",
                                     "jueves",  "viernes", "sábado"};
constexpr const char* kDayShort[] = {"dom", "lun", "mar", "mié", "jue", "vie", "sáb"};

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool StartsWithNoCase(std::string_view s, std::size_t i, std::string_view what) {
    if (s.size() - i < what.size()) return false;
    for (std::size_t k = 0; k < what.size(); ++k) {
        if (Lower(s[i + k]) != Lower(what[k])) return false;
    }
    return true;
}

void AppendNum(std::string& out, int v, int width) {
    std::string s = std::to_string(v);
    if (static_cast<int>(s.size()) < width)
        s.insert(0, static_cast<std::size_t>(width) - s.size(), '0');
    out.append(s);
}

bool IsDateLetter(char c) {
    switch (Lower(c)) {
        case 'd':
        case 'm':
        case 'y':
        case 'h':
        case 'n':
        case 's':
        case 'w':
        case 'q':
        case 'c':
        case 't':
            return true;
        default:
            return false;
    }
}

std::string ShortDate(const DateParts& p) {
    std::string out;
    AppendNum(out, p.day, 2);
    out.push_back('/');
    AppendNum(out, p.month, 2);
    out.push_back('/');
    AppendNum(out, p.year, 4);
    return out;
}

std::string LongTime(const DateParts& p) {
    std::string out;
    AppendNum(out, p.hour, 2);
    out.push_back(':');
    AppendNum(out, p.minute, 2);
    out.push_back(':');
    AppendNum(out, p.second, 2);
    return out;
}

std::string FormatDate(Date date, std::string_view fmt) {
    const DateParts p = Split(date);
    // An AM/PM marker anywhere turns the hours to the 12-hour clock.
    bool twelve = false;
    {
        bool quoted = false;
        for (std::size_t i = 0; i < fmt.size(); ++i) {
            if (fmt[i] == '"') quoted = !quoted;
            if (!quoted && (StartsWithNoCase(fmt, i, "AM/PM") || StartsWithNoCase(fmt, i, "A/P") ||
                            StartsWithNoCase(fmt, i, "AMPM")))
                twelve = true;
        }
    }
    const long long dayNumber = static_cast<long long>(std::trunc(date.serial));
    std::string out;
    bool afterHour = false;
    for (std::size_t i = 0; i < fmt.size();) {
        const char c = fmt[i];
        if (c == '"') {
            const std::size_t close = fmt.find('"', i + 1);
            const std::size_t end = close == std::string_view::npos ? fmt.size() : close;
            out.append(fmt.substr(i + 1, end - i - 1));
            i = end + 1;
            continue;
        }
        if (c == '\\') {
            if (i + 1 < fmt.size()) {
                const std::size_t len = detail::CharLen(fmt, i + 1);
                out.append(fmt.substr(i + 1, len));
                i += 1 + len;
            } else {
                ++i;
            }
            continue;
        }
        if (StartsWithNoCase(fmt, i, "AM/PM") || StartsWithNoCase(fmt, i, "A/P")) {
            const bool full = StartsWithNoCase(fmt, i, "AM/PM");
            const bool pm = p.hour >= 12;
            const bool lower = fmt[i] == 'a' || fmt[i] == 'p';
            std::string mark = full ? (pm ? "PM" : "AM") : (pm ? "P" : "A");
            if (lower) {
                for (char& ch : mark) ch = Lower(ch);
            }
            out.append(mark);
            i += full ? 5 : 3;
            continue;
        }
        if (StartsWithNoCase(fmt, i, "AMPM")) {
            out.append(p.hour >= 12 ? "p.m." : "a.m.");
            i += 4;
            continue;
        }
        if (!IsDateLetter(c)) {
            const std::size_t len = detail::CharLen(fmt, i);
            out.append(fmt.substr(i, len));  // "/" and ":" are the system's own separators
            i += len;
            continue;
        }
        const char l = Lower(c);
        std::size_t run = 1;
        while (i + run < fmt.size() && Lower(fmt[i + run]) == l) ++run;
        i += run;
        switch (l) {
            case 'd':
                if (run == 1) {
                    AppendNum(out, p.day, 1);
                } else if (run == 2) {
                    AppendNum(out, p.day, 2);
                } else if (run == 3) {
                    out.append(kDayShort[Weekday(date) - 1]);
                } else if (run == 4) {
                    out.append(kDayNames[Weekday(date) - 1]);
                } else if (run == 5) {
                    out.append(ShortDate(p));
                } else {
                    out.append(kDayNames[Weekday(date) - 1]);
                    out.append(", ");
                    AppendNum(out, p.day, 1);
                    out.append(" de ");
                    out.append(kMonthNames[p.month - 1]);
                    out.append(" de ");
                    AppendNum(out, p.year, 4);
                }
                afterHour = false;
                break;
            case 'm':
                if (run <= 2 && afterHour) {
                    AppendNum(out, p.minute, static_cast<int>(run));
                } else if (run <= 2) {
                    AppendNum(out, p.month, static_cast<int>(run));
                } else if (run == 3) {
                    out.append(kMonthShort[p.month - 1]);
                } else {
                    out.append(kMonthNames[p.month - 1]);
                }
                afterHour = false;
                break;
            case 'y': {
                const int doy = static_cast<int>(dayNumber - detail::SerialDay(p.year, 1, 1) + 1);
                if (run == 1) {
                    AppendNum(out, doy, 1);
                } else if (run == 2) {
                    AppendNum(out, p.year % 100, 2);
                } else if (run == 3) {
                    AppendNum(out, p.year % 100, 2);
                    AppendNum(out, doy, 1);
                } else {
                    AppendNum(out, p.year, 4);
                }
                afterHour = false;
                break;
            }
            case 'h': {
                int h = p.hour;
                if (twelve) {
                    h %= 12;
                    if (h == 0) h = 12;
                }
                AppendNum(out, h, run >= 2 ? 2 : 1);
                afterHour = true;
                break;
            }
            case 'n':
                AppendNum(out, p.minute, run >= 2 ? 2 : 1);
                afterHour = false;
                break;
            case 's':
                AppendNum(out, p.second, run >= 2 ? 2 : 1);
                afterHour = false;
                break;
            case 'w':
                if (run == 1) {
                    AppendNum(out, Weekday(date), 1);
                } else {
                    // Week of the year, the week holding 1 January being week 1
                    // and weeks starting on Sunday.
                    const long long jan1 = detail::SerialDay(p.year, 1, 1);
                    const int jan1Weekday = Weekday(Date{static_cast<double>(jan1)});
                    AppendNum(out, static_cast<int>((dayNumber - jan1 + jan1Weekday - 1) / 7 + 1),
                              1);
                }
                afterHour = false;
                break;
            case 'q':
                AppendNum(out, (p.month - 1) / 3 + 1, 1);
                afterHour = false;
                break;
            case 'c':
                out.append(CStr(Variant(date)));
                afterHour = false;
                break;
            case 't':
                if (run >= 5) {
                    out.append(LongTime(p));
                } else {
                    out.append(fmt.substr(i - run, run));
                }
                afterHour = false;
                break;
        }
    }
    return out;
}

// A format is a date format when it does not start with a number placeholder
// and holds a date letter outside quotes, or starts with "/".
bool IsDateFormat(std::string_view fmt) {
    bool quoted = false;
    bool first = true;
    for (std::size_t i = 0; i < fmt.size(); ++i) {
        const char c = fmt[i];
        if (quoted) {
            if (c == '"') quoted = false;
            continue;
        }
        if (c == '"') {
            quoted = true;
            continue;
        }
        if (c == '\\') {
            ++i;
            continue;
        }
        if (first) {
            if (c == '0' || c == '#') return false;
            if (c == '/') return true;
        }
        first = false;
        if (c == 'E' || c == 'e') {
            if (i + 1 < fmt.size() && (fmt[i + 1] == '+' || fmt[i + 1] == '-')) {
                ++i;
                continue;
            }
        }
        if (IsDateLetter(c) || StartsWithNoCase(fmt, i, "AM/PM") || StartsWithNoCase(fmt, i, "A/P"))
            return true;
    }
    return false;
}

// The run-time's named formats.
std::string_view NamedFormat(std::string_view fmt) {
    struct Named {
        const char* name;
        const char* format;
    };
    static constexpr Named kNamed[] = {
        {"General Number", ""},
        {"Currency", "$#,##0.00;($#,##0.00)"},
        {"Fixed", "0.00"},
        {"Standard", "#,##0.00"},
        {"Percent", "0.00%"},
        {"Scientific", "0.00E+00"},
        {"Short Date", "dd/mm/yyyy"},
        {"Long Date", "dddddd"},
        {"Medium Date", "dd-mmm-yy"},
        {"Short Time", "hh:nn"},
        {"Medium Time", "hh:nn AM/PM"},
        {"Long Time", "hh:nn:ss"},
        {"General Date", "c"},
    };
    if (fmt.empty()) return fmt;
    switch (Lower(fmt[0])) {
        case 'c':
        case 'f':
        case 'g':
        case 'l':
        case 'm':
        case 'p':
        case 's':
            break;
        default:
            return fmt;
    }
    for (const auto& n : kNamed) {
        if (fmt.size() == std::strlen(n.name) && StartsWithNoCase(fmt, 0, n.name)) return n.format;
    }
    return fmt;
}

constexpr double kMinSerial = -657434.0;      // 100-01-01
constexpr double kMaxSerial = 2958465.99999;  // 9999-12-31 23:59:59

}  // namespace

std::string Format(double v, std::string_view fmt) {
    fmt = NamedFormat(fmt);
    if (fmt.empty()) return CStr(Variant(v));
    if (IsDateFormat(fmt)) {
        if (!(v >= kMinSerial && v <= kMaxSerial)) return CStr(Variant(v));
        return FormatDate(Date{v}, fmt);
    }
    return FormatNumber(FromDouble(v, 15), fmt);
}

std::string Format(std::string_view numericText, std::string_view fmt) {
    fmt = NamedFormat(fmt);
    if (fmt.empty()) return std::string(numericText);
    if (IsDateFormat(fmt)) {
        if (const auto d = ParseDate(numericText)) return FormatDate(*d, fmt);
        if (const auto n = ParseNumber(numericText)) {
            if (*n >= kMinSerial && *n <= kMaxSerial) return FormatDate(Date{*n}, fmt);
        }
        return std::string(numericText);
    }
    const auto n = ParseNumber(numericText);
    if (!n) return std::string(numericText);
    return FormatNumber(FromDouble(*n, 15), fmt);
}

std::string Format(const Variant& v, std::string_view fmt) {
    switch (v.Type()) {
        case VarType::Null:
            return {};
        case VarType::String:
            return Format(std::string_view(v.Str()), fmt);
        case VarType::Empty:
            if (NamedFormat(fmt).empty()) return {};
            return Format(0.0, fmt);
        case VarType::Date: {
            fmt = NamedFormat(fmt);
            if (fmt.empty()) return CStr(v);
            if (IsDateFormat(fmt)) return FormatDate(v.AsDate(), fmt);
            return FormatNumber(FromDouble(v.AsDate().serial, 15), fmt);
        }
        default: {
            fmt = NamedFormat(fmt);
            if (fmt.empty()) return CStr(v);
            if (IsDateFormat(fmt)) {
                const double x = v.NumberValue();
                if (!(x >= kMinSerial && x <= kMaxSerial)) return CStr(v);
                return FormatDate(Date{x}, fmt);
            }
            return FormatNumber(FromVariant(v), fmt);
        }
    }
}

std::string Format(const Variant& v) {
    return ToText(v);
}

}  // namespace vb
