// The value kinds of the record checks (VCad), and inside them the raw
// single-byte line (one byte is one
// character) and the value kinds of its fields, amounts and periods, decided
// quickly for the shapes most fields have and by the general rule otherwise.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "vb/text.h"

namespace validator {
class cValidador;
}

namespace importacion {

// Value kinds of VCad: "8" amount above zero, "11" amount of zero or more,
// "10" period of an operation. result receives the value or "".
void VCad(const validator::cValidador& val, std::string_view value, std::string_view kind,
          int maxLen, std::string_view opCode, std::string_view periodo, std::string& result);

}  // namespace importacion

namespace importacion::detalle {

using SV = std::string_view;

inline SV Trim(SV s) {
    std::size_t b = 0, e = s.size();
    while (b < e && s[b] == ' ') ++b;
    while (e > b && s[e - 1] == ' ') --e;
    return s.substr(b, e - b);
}

inline bool TieneAltos(SV s) {
    for (unsigned char c : s)
        if (c >= 0x80) return true;
    return false;
}

// The text as the component and the error file see it: UTF-8.
inline std::string Texto(SV raw) {
    return TieneAltos(raw) ? vb::Cp1252ToUtf8(raw) : std::string(raw);
}

// The same as a view: the raw text itself when it is plain ASCII, else its
// UTF-8 form kept in buf.
inline SV TextoV(SV raw, std::string& buf) {
    if (!TieneAltos(raw)) return raw;
    buf = vb::Cp1252ToUtf8(raw);
    return buf;
}

inline bool EsDigito(char c) {
    return c >= '0' && c <= '9';
}

inline bool TieneEnie(SV s) {
    for (unsigned char c : s)
        if (c == 0xD1 || c == 0xF1) return true;
    return false;
}

// Amount kinds "8" (mayorQueCero) and "11". raw receives the value in
// ten-thousandths.
bool Monto(const validator::cValidador& val, SV v, bool mayorQueCero, int maxLen,
           std::int64_t& raw);

// Kind "10": period of an operation.
bool Periodo(const validator::cValidador& val, SV v, int maxLen, SV opCode, SV periodo);

}  // namespace importacion::detalle
