#include "declaration/formatos.h"

#include <charconv>
#include <cmath>

#include "vb/numeric.h"
#include "vb/strings.h"

namespace declaracion {

namespace {

bool EsDigito(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

bool vacio(std::string_view texto) {
    return vb::TrimView(texto).empty();
}

std::optional<double> LeeImporte(std::string_view texto) {
    std::string_view t = vb::TrimView(texto);
    bool negativo = false;
    if (t.size() >= 2 && t.front() == '(' && t.back() == ')') {
        negativo = true;
        t = vb::TrimView(t.substr(1, t.size() - 2));
    } else if (!t.empty() && (t.front() == '-' || t.front() == '+')) {
        negativo = t.front() == '-';
        t = vb::TrimView(t.substr(1));
    }
    // Digits, "," between them (never first), then an optional "." and digits.
    std::string limpio;
    std::size_t i = 0;
    bool digitos = false;
    for (; i < t.size() && t[i] != '.'; ++i) {
        if (EsDigito(t[i])) {
            limpio += t[i];
            digitos = true;
        } else if (t[i] != ',' || !digitos) {
            return std::nullopt;
        }
    }
    if (i < t.size()) {
        limpio += '.';
        for (++i; i < t.size(); ++i) {
            if (!EsDigito(t[i])) return std::nullopt;
            limpio += t[i];
            digitos = true;
        }
    }
    if (!digitos) return std::nullopt;
    // Read with "." whatever the process locale says (a window system may
    // have set one whose decimal separator is ",").
    double v = 0;
    std::from_chars(limpio.data(), limpio.data() + limpio.size(), v);
    return negativo ? -v : v;
}

double Vale(int n, std::string_view texto) {
    auto v = LeeImporte(texto);
    if (!v) return 0;
    // As the amount shows in whole units: the text through "##############0".
    double x = vb::Fix(*v + (*v < 0 ? -0.5 : 0.5));
    if (x == 0) x = 0;  // no negative zero
    return EnListaAbsoluta(n) ? std::fabs(x) : x;
}

std::string Forma(std::string_view texto) {
    auto v = LeeImporte(texto);
    if (!v) return {};
    if (*v >= 0) return vb::Format(*v, "###,###,###,##0");
    return vb::Format(-*v, "(###,###,###,##0)");
}

Grupo GrupoDe(int n) {
    const Casilla* c = BuscaCasilla(n);
    return c ? c->grupo : Grupo::Otra;
}

std::string TextoAlEntrar(int n, std::string_view texto) {
    auto v = LeeImporte(texto);
    switch (GrupoDe(n)) {
        case Grupo::Grande:
            if (vacio(texto) || !v) return std::string(texto);
            return vb::Format(*v, "##############0");
        case Grupo::Parentesis:
            if (!v) return std::string(texto);
            return vb::Format(std::fabs(*v), "###########0");
        case Grupo::Otra:
            if (vacio(texto) || !v) return std::string(texto);
            return vb::Format(*v, "###########0");
    }
    return std::string(texto);
}

int LargoAlEntrar(int n) {
    return GrupoDe(n) == Grupo::Grande ? 15 : 12;
}

std::string TextoAlSalir(int n, std::string_view texto) {
    auto v = LeeImporte(texto);
    if (vacio(texto) || !v) return std::string(texto);
    switch (GrupoDe(n)) {
        case Grupo::Grande:
            return vb::Format(std::fabs(*v), "#,###,###,##0");
        case Grupo::Parentesis:
            if (vb::Trim(texto) == "0") return std::string(texto);
            return vb::Format(std::fabs(*v), "(#,###,###,##0)");
        case Grupo::Otra:
            return vb::Format(*v, "###,###,###,##0");
    }
    return std::string(texto);
}

int LargoAlSalir(int n) {
    switch (GrupoDe(n)) {
        case Grupo::Grande:
            return 19;
        case Grupo::Parentesis:
            return 17;
        case Grupo::Otra:
            return 15;
    }
    return 15;
}

Tecla TeclaOrden(std::int16_t k) {
    if (k == 13) return Tecla::SiguienteCampo;
    return TeclaVerifica(k);
}

Tecla TeclaVerifica(std::int16_t k) {
    return (k == 8 || (k >= '0' && k <= '9')) ? Tecla::Pasa : Tecla::Rechaza;
}

}  // namespace declaracion
