#include "import/valores.h"

#include "validator/validator.h"
#include "vb/currency.h"
#include "vb/numeric.h"
#include "vb/strings.h"

namespace importacion {

namespace detalle {

bool Monto(const validator::cValidador& val, SV v, bool mayorQueCero, int maxLen,
           std::int64_t& raw) {
    if (static_cast<long>(v.size()) > maxLen || v.empty()) return false;
    // The shape every valid amount has: digits, one point, two decimals. Text
    // of that shape is decided here exactly as the general rule decides it.
    // One pass: the value of the digits (unsigned, so that a long text cannot
    // overflow; it is used only when the point leaves at most 14 digits).
    std::size_t punto = SV::npos;
    std::uint64_t r = 0;
    bool forma = true;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const unsigned d = static_cast<unsigned char>(v[i]) - unsigned('0');
        if (d <= 9) {
            r = r * 10 + d;
        } else if (v[i] == '.' && punto == SV::npos) {
            punto = i;
        } else {
            forma = false;
            break;
        }
    }
    if (forma) {
        if (punto == SV::npos || punto < 1 || punto > 12 || v.size() - punto - 1 != 2) return false;
        if (v[0] == '0' && punto != 1) return false;
        const auto valor = static_cast<std::int64_t>(r * 100);  // two decimals -> four
        if (mayorQueCero ? valor <= 0 : valor < 0) return false;
        // Digits with at most one point and a digit before it: the component's
        // ValidaNumero (decimals allowed) accepts every such text, so it is not
        // asked again for each amount.
        raw = valor;
        return true;
    }
    // Any other text: the general rule, step by step.
    if (!val.ValidaNumero(Texto(v), true)) return false;
    if (!vb::IsNumeric(std::string_view(Texto(v)))) return false;
    if (v[0] == '0' && (v.size() < 2 || v[1] != '.')) return false;
    if (v.front() == ' ' || v.back() == ' ') return false;
    const std::size_t p = v.find('.');
    if (p == SV::npos || p + 1 < 2 || p + 1 > 13) return false;
    if (v.size() - (p + 1) != 2) return false;
    const double d = vb::Val(v);
    if (mayorQueCero ? !(d > 0) : d < 0) return false;
    raw = vb::Currency::FromDouble(d).Raw();
    return true;
}

namespace {

double ValCorto(SV s) {
    bool digitos = !s.empty();
    for (char c : s) digitos = digitos && EsDigito(c);
    if (digitos) {
        double r = 0;
        for (char c : s) r = r * 10 + (c - '0');
        return r;
    }
    return vb::Val(s);
}

}  // namespace

bool Periodo(const validator::cValidador& val, SV v, int maxLen, SV opCode, SV periodo) {
    if (static_cast<long>(v.size()) > maxLen) return false;
    double anio, mes;
    if (v.size() == 6 && maxLen == 6 && EsDigito(v[0]) && EsDigito(v[1]) && EsDigito(v[2]) &&
        EsDigito(v[3]) && EsDigito(v[4]) && EsDigito(v[5])) {
        // Six digits: a number for the component, read here directly.
        anio = (v[0] - '0') * 1000 + (v[1] - '0') * 100 + (v[2] - '0') * 10 + (v[3] - '0');
        mes = (v[4] - '0') * 10 + (v[5] - '0');
    } else {
        std::string buf;
        if (!val.ValidaNumero(TextoV(v, buf), true)) return false;
        if (static_cast<long>(v.size()) != maxLen) return false;
        anio = ValCorto(v.substr(0, 4));
        mes = ValCorto(v.substr(v.size() >= 2 ? v.size() - 2 : 0));
    }
    if (anio < 2004) return false;
    if (v.substr(0, 4) == "2004" && mes < 3) return false;
    if (mes < 1 || mes > 12) return false;
    if (!opCode.empty()) {
        if ((opCode[0] == '1' || opCode[0] == '2') && v > periodo) return false;
        if ((opCode[0] == '3' || opCode[0] == '4') && !(v < periodo)) return false;
    }
    if (opCode.size() >= 2) {
        SV fin = opCode.substr(opCode.size() - 2);
        if ((fin == "01" || fin == "05" || fin == "06") && !(v < "200712")) return false;
    }
    return true;
}

}  // namespace detalle

void VCad(const validator::cValidador& val, std::string_view value, std::string_view kind,
          int maxLen, std::string_view opCode, std::string_view periodo, std::string& result) {
    bool ok = false;
    std::int64_t raw = 0;
    if (kind == "8") {
        ok = detalle::Monto(val, value, true, maxLen, raw);
    } else if (kind == "11") {
        ok = detalle::Monto(val, value, false, maxLen, raw);
    } else if (kind == "10") {
        ok = detalle::Periodo(val, value, maxLen, opCode, periodo);
    }
    result = ok ? std::string(value) : std::string();
}

}  // namespace importacion
