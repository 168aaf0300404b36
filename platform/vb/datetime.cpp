// Date serials: whole days since 1899-12-30 plus the time as a fraction of a
// day. Before 1899-12-30 the whole part is negative while the time still
// counts forward from midnight: -1.25 is 1899-12-29 06:00, as VB keeps it.
#include "vb/datetime.h"

#include <cmath>
#include <ctime>
#include <utility>

#include "vb/datetime_detail.h"
#include "vb/error.h"

namespace vb {

namespace detail {

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's method).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& year, int& month, int& day) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long y = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    year = static_cast<int>(y + (m <= 2));
    month = static_cast<int>(m);
    day = static_cast<int>(d);
}

const long long kEpochDays = DaysFromCivil(1899, 12, 30);

long long SerialDay(int year, int month, int day) {
    return DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
           kEpochDays;
}

double MakeSerial(long long days, long long secondsOfDay) {
    const double t = static_cast<double>(secondsOfDay) / 86400.0;
    return days >= 0 ? static_cast<double>(days) + t : static_cast<double>(days) - t;
}

bool ValidDate(int year, int month, int day) {
    if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int dim = kDays[month - 1];
    if (month == 2 && (year % 4 == 0 && (year % 100 != 0 || year % 400 == 0))) dim = 29;
    return day <= dim;
}

}  // namespace detail

Date DateSerial(int year, int month, int day) {
    // Two-digit years as the run-time reads them.
    if (year >= 0 && year <= 29) {
        year += 2000;
    } else if (year >= 30 && year <= 99) {
        year += 1900;
    }
    // Months and days out of range roll over into neighbouring months/years.
    long long m0 = static_cast<long long>(month) - 1;
    long long y = year + (m0 >= 0 ? m0 / 12 : -((11 - m0) / 12));
    m0 -= (y - year) * 12;
    if (y < 100 || y > 9999) Raise(kInvalidCall);
    const long long days =
        detail::SerialDay(static_cast<int>(y), static_cast<int>(m0) + 1, 1) + (day - 1LL);
    // 100-01-01 .. 9999-12-31
    if (days < detail::SerialDay(100, 1, 1) || days > detail::SerialDay(9999, 12, 31))
        Raise(kInvalidCall);
    return Date{static_cast<double>(days)};
}

Date TimeSerial(int hour, int minute, int second) {
    const long long total = hour * 3600LL + minute * 60LL + second;
    long long days = total >= 0 ? total / 86400 : -((86399 - total) / 86400);
    const long long rest = total - days * 86400;
    return Date{detail::MakeSerial(days, rest)};
}

namespace {

// Serials outside 100-01-01 .. 9999-12-31 are no date.
void CheckSerial(double serial) {
    if (!(serial > -657435.0 && serial < 2958466.0)) Raise(kOverflow);
}

}  // namespace

DateParts Split(Date d) {
    DateParts p;
    CheckSerial(d.serial);
    double whole = std::trunc(d.serial);
    const double frac = std::fabs(d.serial - whole);
    long long secs = std::llround(frac * 86400.0);
    long long days = static_cast<long long>(whole);
    if (secs >= 86400) {
        secs -= 86400;
        days += 1;
    }
    detail::CivilFromDays(days + detail::kEpochDays, p.year, p.month, p.day);
    p.hour = static_cast<int>(secs / 3600);
    p.minute = static_cast<int>(secs / 60 % 60);
    p.second = static_cast<int>(secs % 60);
    return p;
}

Date Now() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    const long long days = detail::SerialDay(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
    return Date{detail::MakeSerial(days, tm.tm_hour * 3600LL + tm.tm_min * 60LL + tm.tm_sec)};
}

Date Today() {
    return Date{std::trunc(Now().serial)};
}

int Year(Date d) {
    return Split(d).year;
}
int Month(Date d) {
    return Split(d).month;
}
int Day(Date d) {
    return Split(d).day;
}

}  // namespace vb

namespace vb {

int Hour(Date d) {
    return Split(d).hour;
}
int Minute(Date d) {
    return Split(d).minute;
}
int Second(Date d) {
    return Split(d).second;
}

int Weekday(Date d) {
    CheckSerial(d.serial);
    const long long days = static_cast<long long>(std::trunc(d.serial));
    // Day 0, 1899-12-30, was a Saturday.
    return static_cast<int>(((days % 7) + 7 + 6) % 7) + 1;
}

namespace {

bool AllDigits(std::string_view s) {
    if (s.empty() || s.size() > 9) return false;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

int ToInt(std::string_view s) {
    int v = 0;
    for (char c : s) v = v * 10 + (c - '0');
    return v;
}

bool Upper(std::string_view s, std::string_view what) {
    if (s.size() != what.size()) return false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        if (c != what[i]) return false;
    }
    return true;
}

}  // namespace

std::optional<Date> ParseDate(std::string_view text) {
    // Cut into blank-separated words.
    std::string_view words[4];
    int count = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
        if (i >= text.size()) break;
        std::size_t j = i;
        while (j < text.size() && text[j] != ' ' && text[j] != '\t') ++j;
        if (count == 4) return std::nullopt;
        words[count++] = text.substr(i, j - i);
        i = j;
    }
    if (count == 0) return std::nullopt;

    bool haveDate = false, haveTime = false;
    int ampm = 0;  // 1 = AM, 2 = PM
    long long days = 0, seconds = 0;
    for (int w = 0; w < count; ++w) {
        const std::string_view word = words[w];
        if (Upper(word, "AM") || Upper(word, "A.M.")) {
            if (ampm || !haveTime) return std::nullopt;
            ampm = 1;
            continue;
        }
        if (Upper(word, "PM") || Upper(word, "P.M.")) {
            if (ampm || !haveTime) return std::nullopt;
            ampm = 2;
            continue;
        }
        if (word.find(':') != std::string_view::npos) {
            if (haveTime) return std::nullopt;
            std::string_view f[3];
            int nf = 0;
            std::size_t a = 0;
            for (;;) {
                const std::size_t b = word.find(':', a);
                if (nf == 3) return std::nullopt;
                f[nf++] = word.substr(a, b == std::string_view::npos ? b : b - a);
                if (b == std::string_view::npos) break;
                a = b + 1;
            }
            if (nf < 2) return std::nullopt;
            for (int k = 0; k < nf; ++k) {
                if (!AllDigits(f[k])) return std::nullopt;
            }
            const int h = ToInt(f[0]), m = ToInt(f[1]), s = nf == 3 ? ToInt(f[2]) : 0;
            if (h > 23 || m > 59 || s > 59) return std::nullopt;
            seconds = h * 3600LL + m * 60LL + s;
            haveTime = true;
            continue;
        }
        if (haveDate) return std::nullopt;
        char sep = 0;
        for (char c : word) {
            if (c == '/' || c == '-' || c == '.') {
                sep = c;
                break;
            }
        }
        if (!sep) return std::nullopt;
        std::string_view f[3];
        int nf = 0;
        std::size_t a = 0;
        for (;;) {
            const std::size_t b = word.find(sep, a);
            if (nf == 3) return std::nullopt;
            f[nf++] = word.substr(a, b == std::string_view::npos ? b : b - a);
            if (b == std::string_view::npos) break;
            a = b + 1;
        }
        for (int k = 0; k < nf; ++k) {
            if (!AllDigits(f[k])) return std::nullopt;
        }
        int y, m, d;
        if (nf == 3 && f[0].size() >= 3) {  // year first
            y = ToInt(f[0]);
            m = ToInt(f[1]);
            d = ToInt(f[2]);
        } else if (nf == 3) {
            d = ToInt(f[0]);
            m = ToInt(f[1]);
            y = ToInt(f[2]);
            if (f[2].size() <= 2) y += y < 30 ? 2000 : 1900;
        } else if (nf == 2 && sep != '.') {  // "1.5" is a number, not 1 May
            d = ToInt(f[0]);
            m = ToInt(f[1]);
            y = Year(Today());
        } else {
            return std::nullopt;
        }
        // A day-first reading that cannot be a date is tried month first.
        if (!detail::ValidDate(y, m, d) && detail::ValidDate(y, d, m)) std::swap(m, d);
        if (!detail::ValidDate(y, m, d)) return std::nullopt;
        days = detail::SerialDay(y, m, d);
        haveDate = true;
    }
    if (ampm) {
        long long h = seconds / 3600;
        if (h < 1 || h > 12) return std::nullopt;
        if (ampm == 1 && h == 12) seconds -= 12 * 3600;
        if (ampm == 2 && h != 12) seconds += 12 * 3600;
    }
    if (!haveDate && !haveTime) return std::nullopt;
    return Date{detail::MakeSerial(days, seconds)};
}

}  // namespace vb
