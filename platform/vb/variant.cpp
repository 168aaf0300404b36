// Variant sub-types and the conversion functions (CStr, CDbl, CInt, ...).
#include "vb/variant.h"

#include <cmath>

#include "vb/error.h"
#include "vb/numeric.h"
#include "vb/numeric_detail.h"

namespace vb {

VarType Variant::Type() const {
    switch (v_.index()) {
        case 0:
            return VarType::Empty;
        case 1:
            return VarType::Null;
        case 2:
            return VarType::Boolean;
        case 3:
            return VarType::Byte;
        case 4:
            return VarType::Integer;
        case 5:
            return VarType::Long;
        case 6:
            return VarType::Single;
        case 7:
            return VarType::Double;
        case 8:
            return VarType::Currency;
        case 9:
            return VarType::Date;
        default:
            return VarType::String;
    }
}

bool Variant::IsNumber() const {
    const std::size_t i = v_.index();
    return i >= 3 && i <= 8;
}

double Variant::NumberValue() const {
    switch (v_.index()) {
        case 2:
            return AsBoolean() ? -1.0 : 0.0;
        case 3:
            return AsByte();
        case 4:
            return AsInteger();
        case 5:
            return AsLong();
        case 6:
            return AsSingle();
        case 7:
            return AsDouble();
        case 8:
            return AsCurrency().ToDouble();
        case 9:
            return AsDate().serial;
        default:
            return 0.0;
    }
}

namespace {

std::string TwoDigits(int v) {
    std::string s(2, '0');
    s[0] = static_cast<char>('0' + v / 10 % 10);
    s[1] = static_cast<char>('0' + v % 10);
    return s;
}

// The system's short date and long time forms: "dd/mm/yyyy" and "hh:mm:ss".
// A date on day 0 shows only the time; a time of midnight is left out.
std::string DateText(Date d) {
    const DateParts p = Split(d);
    const bool noDay = std::trunc(d.serial) == 0.0;
    const bool noTime = p.hour == 0 && p.minute == 0 && p.second == 0;
    std::string out;
    if (!noDay || noTime) {
        if (!noDay || !noTime) {
            out = TwoDigits(p.day) + "/" + TwoDigits(p.month) + "/";
            std::string y = std::to_string(p.year);
            if (y.size() < 4) y.insert(0, 4 - y.size(), '0');
            out += y;
        }
    }
    if (!noTime || noDay) {
        if (!out.empty()) out.push_back(' ');
        out += TwoDigits(p.hour) + ":" + TwoDigits(p.minute) + ":" + TwoDigits(p.second);
    }
    return out;
}

// The numeric value of a Variant for the conversion functions.
double ConvertNumber(const Variant& v) {
    switch (v.Type()) {
        case VarType::Null:
            Raise(kInvalidUseOfNull);
        case VarType::Empty:
            return 0.0;
        case VarType::String: {
            bool overflow = false;
            const auto n = detail::ParseDouble(v.Str(), &overflow);
            if (!n) Raise(overflow ? kOverflow : kTypeMismatch);
            return *n;
        }
        default:
            return v.NumberValue();
    }
}

// Rounds half to even and checks the range after rounding.
std::int64_t ToWhole(const Variant& v, double lo, double hi) {
    if (v.Type() == VarType::Currency) {
        // Exact: round the ten-thousandths half to even.
        const std::int64_t raw = v.AsCurrency().Raw();
        std::int64_t q = raw / 10000;
        const std::int64_t rem = raw % 10000;
        const std::int64_t twice = rem < 0 ? -2 * rem : 2 * rem;
        if (twice > 10000 || (twice == 10000 && q % 2 != 0)) q += raw < 0 ? -1 : 1;
        if (static_cast<double>(q) < lo || static_cast<double>(q) > hi) Raise(kOverflow);
        return q;
    }
    const double r = RoundHalfEven(ConvertNumber(v));
    if (!(r >= lo && r <= hi)) Raise(kOverflow);
    return static_cast<std::int64_t>(r);
}

}  // namespace

std::string CStr(const Variant& v) {
    switch (v.Type()) {
        case VarType::Null:
            Raise(kInvalidUseOfNull);
        case VarType::Empty:
            return {};
        case VarType::Boolean:
            // Spanish regional settings name the Boolean values in Spanish.
            return v.AsBoolean() ? "Verdadero" : "Falso";
        case VarType::Byte:
            return std::to_string(v.AsByte());
        case VarType::Integer:
            return std::to_string(v.AsInteger());
        case VarType::Long:
            return std::to_string(v.AsLong());
        case VarType::Single:
            return detail::NumberText(v.AsSingle(), 7, true);
        case VarType::Double:
            return detail::NumberText(v.AsDouble(), 15, true);
        case VarType::Currency:
            return detail::CurrencyText(v.AsCurrency());
        case VarType::Date:
            return DateText(v.AsDate());
        case VarType::String:
            return v.Str();
    }
    return {};
}

std::string ToText(const Variant& v) {
    if (v.IsNull() || v.IsEmpty()) return {};
    return CStr(v);
}

double CDbl(const Variant& v) {
    return ConvertNumber(v);
}

std::int16_t CInt(const Variant& v) {
    return static_cast<std::int16_t>(ToWhole(v, -32768.0, 32767.0));
}

std::int32_t CLng(const Variant& v) {
    return static_cast<std::int32_t>(ToWhole(v, -2147483648.0, 2147483647.0));
}

std::uint8_t CByte(const Variant& v) {
    return static_cast<std::uint8_t>(ToWhole(v, 0.0, 255.0));
}

Currency CCur(const Variant& v) {
    if (v.Type() == VarType::Currency) return v.AsCurrency();
    if (v.Type() == VarType::String) {
        bool overflow = false;
        const auto c = detail::ParseCurrency(v.Str(), &overflow);
        if (!c) Raise(overflow ? kOverflow : kTypeMismatch);
        return *c;
    }
    return Currency::FromDouble(ConvertNumber(v));
}

bool CBool(const Variant& v) {
    switch (v.Type()) {
        case VarType::Null:
            Raise(kInvalidUseOfNull);
        case VarType::Boolean:
            return v.AsBoolean();
        case VarType::String: {
            const std::string& s = v.Str();
            if (const auto n = ParseNumber(s)) return *n != 0.0;
            std::string t;
            for (char c : s) {
                if (c != ' ') t.push_back(static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c));
            }
            if (t == "TRUE" || t == "VERDADERO") return true;
            if (t == "FALSE" || t == "FALSO") return false;
            Raise(kTypeMismatch);
        }
        default:
            return v.NumberValue() != 0.0;
    }
}

Date CDate(const Variant& v) {
    switch (v.Type()) {
        case VarType::Null:
            Raise(kInvalidUseOfNull);
        case VarType::Date:
            return v.AsDate();
        case VarType::String: {
            if (const auto d = ParseDate(v.Str())) return *d;
            if (const auto n = ParseNumber(v.Str())) return Date{*n};
            Raise(kTypeMismatch);
        }
        default: {
            const double x = v.NumberValue();
            if (x < -657434.0 || x >= 2958466.0) Raise(kOverflow);
            return Date{x};
        }
    }
}

}  // namespace vb
