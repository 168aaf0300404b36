#include "shell/cnumero.h"

#include <cstdint>
#include <cstdio>

#include "vb/datetime.h"
#include "vb/error.h"
#include "vb/numeric.h"
#include "vb/strings.h"
#include "vb/text.h"

namespace shell {

namespace {

constexpr std::string_view kFormatoVeinte = "00000000000000000000";

// Weights of the check digit, from the rightmost character leftwards.
constexpr int kPesos[17] = {2, 3, 4, 5, 6, 7, 2, 3, 4, 5, 6, 7, 2, 3, 4, 5, 6};

std::string UltimosTres(double value) {
    std::string s = vb::Format(value, kFormatoVeinte);
    return s.size() <= 3 ? s : s.substr(s.size() - 3);
}

// Next character of a UTF-8 text as its Windows-1252 code ('?' when the code
// page has no such character, as the run-time converts it).
int SiguienteCodigo(std::string_view s, std::size_t& i) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
        ++i;
        return b;
    }
    std::size_t len = 1;
    if ((b & 0xE0) == 0xC0)
        len = 2;
    else if ((b & 0xF0) == 0xE0)
        len = 3;
    else if ((b & 0xF8) == 0xF0)
        len = 4;
    if (len == 1 || i + len > s.size()) {
        ++i;  // a stray byte is a 1252 byte already
        return b;
    }
    for (std::size_t k = 1; k < len; ++k) {
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) {
            ++i;
            return b;
        }
    }
    std::u32string cp = vb::Utf8ToU32(s.substr(i, len));
    i += len;
    int code = cp.empty() ? -1 : vb::UnicodeToCp1252(cp[0]);
    return code < 0 ? '?' : code;
}

}  // namespace

std::string TextoCampo(const vb::Variant& v) {
    switch (v.Type()) {
        case vb::VarType::Byte:
        case vb::VarType::Integer:
        case vb::VarType::Long:
        case vb::VarType::Single:
        case vb::VarType::Double:
        case vb::VarType::Currency:
            return vb::Trim(vb::Str(v));
        case vb::VarType::Date: {
            vb::DateParts p = vb::Split(v.AsDate());
            char buf[16];
            std::snprintf(buf, sizeof buf, "%04d%02d%02d", p.year, p.month, p.day);
            return buf;
        }
        case vb::VarType::String:
            return vb::Trim(v.Str());
        default:
            return {};
    }
}

std::string CalculaCNumero(std::span<const vb::Variant> fields, int nClave) {
    if (nClave < 0 || static_cast<std::size_t>(nClave) > fields.size()) vb::Raise(vb::kSubscript);

    double a = 0;
    for (int i = 0; i < nClave; ++i) {
        const std::string t = TextoCampo(fields[static_cast<std::size_t>(i)]);
        if (vb::IsNumeric(std::string_view(t))) a += vb::Val(t);
    }

    double b = 0;
    const std::size_t ultimo = fields.empty() ? 0 : fields.size() - 1;  // the code column
    for (std::size_t i = static_cast<std::size_t>(nClave); i < ultimo; ++i) {
        const std::string t = TextoCampo(fields[i]);
        std::size_t pos = 0;
        std::int32_t j = 0;
        while (pos < t.size()) {
            ++j;
            const int code = SiguienteCodigo(t, pos);
            b += vb::MulInteger(j, code);  // 16-bit product: above 32767 raises 6
        }
    }
    return UltimosTres(a) + UltimosTres(b);
}

std::string AgregaDigitoVerificador(std::string& s) {
    s = vb::Trim(vb::Left(s, 17));
    if (s.empty()) return {};
    // Only ASCII digits carry a value, so walking bytes from the right counts
    // the characters correctly as long as each character is stepped whole.
    int suma = 0;
    int k = 0;
    std::size_t i = s.size();
    while (i > 0) {
        std::size_t start = i - 1;
        while (start > 0 && (static_cast<unsigned char>(s[start]) & 0xC0) == 0x80) --start;
        const char c = s[start];
        if (c >= '0' && c <= '9' && start == i - 1) suma += (c - '0') * kPesos[k];
        ++k;
        i = start;
    }
    int d = 11 - suma % 11;
    if (d == 11) d = 1;
    if (d == 10) d = 0;
    return s + static_cast<char>('0' + d);
}

std::string GeneraCodigoVerificacion(std::string& p, const std::string& q) {
    const std::string conDigito = AgregaDigitoVerificador(p);
    const std::string d1 = vb::Len(conDigito) >= 9 ? vb::Mid(conDigito, 9, 1) : std::string();
    std::string t = p + q + d1;
    const std::string conDigito2 = AgregaDigitoVerificador(t);
    const std::string d2 = conDigito2.empty() ? std::string() : vb::Right(conDigito2, 1);
    return d1 + d2;
}

bool ValidaCodigoVerificacion(std::string& p, const std::string& q, const std::string& codigo) {
    return GeneraCodigoVerificacion(p, q) == codigo;
}

}  // namespace shell
