// Variant with the VB sub-types the system uses. Numeric sub-types keep their
// width (Integer is 16-bit, Long 32-bit) because formatting, the record
// control code and overflow depend on it.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "vb/currency.h"
#include "vb/datetime.h"

namespace vb {

// Numbers as VarType returns them.
enum class VarType : int {
    Empty = 0,
    Null = 1,
    Integer = 2,
    Long = 3,
    Single = 4,
    Double = 5,
    Currency = 6,
    Date = 7,
    String = 8,
    Boolean = 11,
    Byte = 17,
};

struct NullT {
    friend bool operator==(NullT, NullT) { return true; }
};
inline constexpr NullT Null{};

class Variant {
  public:
    Variant() = default;  // Empty
    Variant(NullT) : v_(NullT{}) {}
    Variant(bool b) : v_(b) {}
    Variant(std::uint8_t b) : v_(b) {}
    Variant(std::int16_t i) : v_(i) {}
    Variant(std::int32_t l) : v_(l) {}
    Variant(float f) : v_(f) {}
    Variant(double d) : v_(d) {}
    Variant(Currency c) : v_(c) {}
    Variant(Date d) : v_(d) {}
    Variant(std::string s) : v_(std::move(s)) {}
    Variant(const char* s) : v_(std::string(s)) {}

    VarType Type() const;
    bool IsEmpty() const { return v_.index() == 0; }
    bool IsNull() const { return std::holds_alternative<NullT>(v_); }
    bool IsString() const { return std::holds_alternative<std::string>(v_); }
    bool IsNumber() const;  // Byte, Integer, Long, Single, Double, Currency
    bool IsDate() const { return std::holds_alternative<Date>(v_); }
    bool IsBoolean() const { return std::holds_alternative<bool>(v_); }

    // Direct access; the caller has checked the type.
    const std::string& Str() const { return std::get<std::string>(v_); }
    std::int16_t AsInteger() const { return std::get<std::int16_t>(v_); }
    std::int32_t AsLong() const { return std::get<std::int32_t>(v_); }
    std::uint8_t AsByte() const { return std::get<std::uint8_t>(v_); }
    float AsSingle() const { return std::get<float>(v_); }
    double AsDouble() const { return std::get<double>(v_); }
    Currency AsCurrency() const { return std::get<Currency>(v_); }
    Date AsDate() const { return std::get<Date>(v_); }
    bool AsBoolean() const { return std::get<bool>(v_); }

    // The numeric value of a number, date or Boolean (True = -1) as a double.
    double NumberValue() const;

    const auto& Raw() const { return v_; }
    friend bool operator==(const Variant& a, const Variant& b) { return a.v_ == b.v_; }

  private:
    std::variant<std::monostate, NullT, bool, std::uint8_t, std::int16_t, std::int32_t, float,
                 double, Currency, Date, std::string>
        v_;
};

// Implicit VB conversions of a Variant (errors: Null -> 94, bad text -> 13,
// out of range -> 6). Strings are parsed as CDbl does (see numeric.h).
std::string CStr(const Variant& v);  // Null -> 94; Empty -> ""; numbers as Str without the blank
double CDbl(const Variant& v);
std::int16_t CInt(const Variant& v);   // half to even, range -32768..32767
std::int32_t CLng(const Variant& v);   // half to even
std::uint8_t CByte(const Variant& v);  // half to even, 0..255
Currency CCur(const Variant& v);       // half to even to four places
bool CBool(const Variant& v);
Date CDate(const Variant& v);
// "" & v: Null and Empty give "".
std::string ToText(const Variant& v);

}  // namespace vb
