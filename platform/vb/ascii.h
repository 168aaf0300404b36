// Character classes and case mapping of the ASCII range, the same under any
// locale. SQL keywords, type names and field names are ASCII and compare the
// same on every machine; the C library's toupper and isalpha follow the
// user's locale instead (under Turkish, "i" has no ASCII capital).
#pragma once

#include <string>
#include <string_view>

namespace vb {

constexpr bool EsLetraAscii(unsigned char c) noexcept {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
constexpr bool EsDigitoAscii(unsigned char c) noexcept {
    return c >= '0' && c <= '9';
}
constexpr bool EsAlfanumericoAscii(unsigned char c) noexcept {
    return EsLetraAscii(c) || EsDigitoAscii(c);
}
// Blank, tab, line feed, vertical tab, form feed, carriage return.
constexpr bool EsEspacioAscii(unsigned char c) noexcept {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
constexpr char MayusculaAscii(char c) noexcept {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The text with its ASCII letters in capitals; every other byte unchanged.
inline std::string MayusculasAscii(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = MayusculaAscii(c);
    return r;
}

// Whether two texts are equal but for the case of their ASCII letters.
constexpr bool IgualesAscii(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (MayusculaAscii(a[i]) != MayusculaAscii(b[i])) return false;
    return true;
}

}  // namespace vb
