#include "validator/validator.h"

#include <array>

#include "vb/error.h"
#include "vb/files.h"

namespace validator {

namespace {

// Byte classes for the ASCII range; the letter n with tilde is handled apart.
constexpr std::uint8_t kFiltro = 1;        // kept by the text-file filter
constexpr std::uint8_t kAlfanumerico = 2;  // allowed in document numbers

constexpr std::array<std::uint8_t, 128> MakeClasses() {
    std::array<std::uint8_t, 128> t{};
    for (int c = '0'; c <= '9'; ++c) t[c] = kFiltro | kAlfanumerico;
    for (int c = 'A'; c <= 'Z'; ++c) t[c] = kFiltro | kAlfanumerico;
    for (int c = 'a'; c <= 'z'; ++c) t[c] = kFiltro | kAlfanumerico;
    for (char c : {' ', '-', '.', '/'}) t[static_cast<unsigned char>(c)] = kFiltro | kAlfanumerico;
    for (char c : {'(', ')', ',', ':', ';', '|'}) t[static_cast<unsigned char>(c)] = kFiltro;
    return t;
}
constexpr std::array<std::uint8_t, 128> kClases = MakeClasses();

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// Length of an n with tilde at s[i] (UTF-8 pair or single 1252 byte), or 0.
std::size_t EnieAt(std::string_view s, std::size_t i) {
    const auto b = static_cast<unsigned char>(s[i]);
    const bool hasNext = i + 1 < s.size();
    const auto next = hasNext ? static_cast<unsigned char>(s[i + 1]) : 0;
    if (b == 0xC3 && hasNext && (next == 0x91 || next == 0xB1)) return 2;
    if ((b == 0xD1 || b == 0xF1) && !(hasNext && IsContinuation(next))) return 1;
    return 0;
}

bool OnlyClass(std::string_view s, std::uint8_t cls) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            if ((kClases[b] & cls) == 0) return false;
            ++i;
            continue;
        }
        const std::size_t n = EnieAt(s, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

int Digits(std::string_view s, std::size_t pos, std::size_t count) {
    int v = 0;
    for (std::size_t i = pos; i < pos + count; ++i) v = v * 10 + (s[i] - '0');
    return v;
}

bool IsLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

// "DD/MM/YYYY" as yyyymmdd, or -1 when the shape or the date is wrong.
long ParseFecha(std::string_view s) {
    if (s.size() != 10 || s[2] != '/' || s[5] != '/') return -1;
    for (std::size_t i : {0, 1, 3, 4, 6, 7, 8, 9}) {
        if (!IsDigit(s[i])) return -1;
    }
    const int d = Digits(s, 0, 2);
    const int m = Digits(s, 3, 2);
    const int y = Digits(s, 6, 4);
    if (y < 1 || m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m)) return -1;
    return static_cast<long>(y) * 10000 + m * 100 + d;
}

// "MM/YYYY" as yyyymm, or -1.
long ParsePeriodo(std::string_view s) {
    if (s.size() != 7 || s[2] != '/') return -1;
    for (std::size_t i : {0, 1, 3, 4, 5, 6}) {
        if (!IsDigit(s[i])) return -1;
    }
    const int m = Digits(s, 0, 2);
    const int y = Digits(s, 3, 4);
    if (y < 1 || m < 1 || m > 12) return -1;
    return static_cast<long>(y) * 100 + m;
}

long BoundOrRaise(long parsed) {
    if (parsed < 0) vb::Raise(vb::kInvalidCall);
    return parsed;
}

}  // namespace

bool cValidador::ExisteArchivo(std::string_view path) const {
    return vb::FileExists(path);
}

bool cValidador::ValidaRuc(std::string_view ruc) const {
    if (ruc.size() != 11) return false;
    static constexpr int kPesos[10] = {5, 4, 3, 2, 7, 6, 5, 4, 3, 2};  // left to right
    int suma = 0;
    for (std::size_t i = 0; i < 10; ++i) {
        if (!IsDigit(ruc[i])) return false;
        suma += (ruc[i] - '0') * kPesos[i];
    }
    if (!IsDigit(ruc[10])) return false;
    int d = 11 - suma % 11;
    if (d == 11) d = 1;
    if (d == 10) d = 0;
    return ruc[10] - '0' == d;
}

bool cValidador::ValidaFechaRango(std::string_view fecha, std::string_view desde,
                                  std::string_view hasta) const {
    const long lo = BoundOrRaise(ParseFecha(desde));
    const long hi = BoundOrRaise(ParseFecha(hasta));
    const long f = ParseFecha(fecha);
    return f >= 0 && f >= lo && f <= hi;
}

bool cValidador::ValidaAlfanumerico(std::string_view texto) const {
    return OnlyClass(texto, kAlfanumerico);
}

bool cValidador::FiltraTecla(std::int16_t keyAscii) const {
    return keyAscii == 8 || (keyAscii >= '0' && keyAscii <= '9');
}

bool cValidador::ValidaNumero(std::string_view texto, bool decimales) const {
    std::size_t b = 0;
    std::size_t e = texto.size();
    while (b < e && texto[b] == ' ') ++b;
    while (e > b && texto[e - 1] == ' ') --e;
    bool digito = false;
    bool punto = false;
    for (std::size_t i = b; i < e; ++i) {
        const char c = texto[i];
        if (IsDigit(c)) {
            digito = true;
        } else if (c == '.' && decimales && !punto) {
            punto = true;
        } else {
            return false;
        }
    }
    return digito;
}

bool cValidador::ValidaPeriodo(std::string_view periodo, std::string_view desde,
                               vb::Date hoy) const {
    const long lo = BoundOrRaise(ParsePeriodo(desde));
    const long hi = static_cast<long>(vb::Year(hoy)) * 100 + vb::Month(hoy);
    const long p = ParsePeriodo(periodo);
    return p >= 0 && p >= lo && p <= hi;
}

bool cValidador::ValidaCaracteres(std::string_view texto) const {
    return OnlyClass(texto, kFiltro);
}

std::string cValidador::ReemplazaEnie(std::string_view texto) const {
    std::string out;
    out.reserve(texto.size());
    std::size_t i = 0;
    while (i < texto.size()) {
        const std::size_t n = EnieAt(texto, i);
        if (n == 0) {
            out += texto[i++];
            continue;
        }
        const auto b = static_cast<unsigned char>(texto[i + n - 1]);
        out += (b == 0x91 || b == 0xD1) ? 'N' : 'n';
        i += n;
    }
    return out;
}

}  // namespace validator
