#include "import/registros.h"

#include <algorithm>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <chrono>
#include <cstring>
#include <memory>
#include <unordered_map>
#include <vector>

#include "import/catalogo.h"
#include "shell/avisos.h"
#include "shell/contribuyentes.h"
#include "validator/validator.h"
#include "vb/error.h"
#include "vb/files.h"
#include "vb/numeric.h"
#include "vb/strings.h"
#include "vb/text.h"

namespace importacion {
namespace {

// ---------------------------------------------------------------------------
// Messages of the error file.

struct Mensaje {
    const char* codigo;
    const char* texto;
};

// The whole table; 111-116, 120, 121, 123-125, 132, 147, 148, 150 and 151 are
// kept for the other programs of the family and not logged by our checks.
constexpr Mensaje kMensajes[] = {
    {"001", " El número de campos no es correcto"},
    {"100", " El Tipo de documento no es válido"},
    {"101", " El tipo y/o número de documento no es válido"},
    {"102", " El número de RUC no es válido"},
    {"103", " El código del país no existe o no corresponde al Tipo de Documento"},
    {"104", " Tipo de operación inválida"},
    {"105", " Tipo de movimiento inválido"},
    {"106", " El código de operación no es válido"},
    {"107", " El monto acumulado de la operación no es válido"},
    {"108", " El monto acumulado del impuesto retenido o percibido no es válido"},
    {"109",
     " El período de la operación no es válido ó para  períodos de operación  mayores o "
     "iguales al 12/2007 no puede utilizar los códigos de operación 01, 05 y 06"},
    {"110", " La modalidad de operación no es válida"},
    {"111", " El tipo de documento no corresponde a este archivo"},
    {"112", " El número de documento no corresponde al tipo de documento"},
    {"113", " La fecha de la operación no es válida"},
    {"114", " El período de la operación no puede ser posterior al período tributario"},
    {"115", " El código de moneda no es válido"},
    {"116", " El tipo de cambio no es válido"},
    {"117", " Para esta modalidad debe ingresar el período"},
    {"118", " Para las operaciones exoneradas el impuesto debe ser cero"},
    {"119", " Este tipo de modalidad no existe para cuenta propia"},
    {"120", " El registro se encuentra duplicado"},
    {"121", " El archivo no contiene registros"},
    {"122",
     " La linea debe acabar en | sin espacios en blanco y/o debe eliminar las lineas en "
     "blanco"},
    {"123", " La línea excede la longitud permitida"},
    {"124", " El registro contiene caracteres no permitidos"},
    {"125", " Los importes no deben ser negativos"},
    {"126",
     " El total de la suma de los importes de la base imponible  o del impuesto son "
     "demasiado grandes"},
    {"127", " Para este tipo de movimiento no se debe utilizar este código de operación"},
    {"128",
     "Si el código de operación es '08' ó '09' el tipo y número de documento deben ser "
     "iguales a los del declarante del QVX"},
    {"129", "Para este tipo de operación no debe ingresar el código de país"},
    {"130", " El Monto de la operación no es válido"},
    {"131", " El Monto del impuesto no es válido"},
    {"132", " El monto acumulado no es válido"},
    {"135", "Para este periodo el Monto acumulado debe mayo e igual a cero"},
    {"136", "Para este periodo el Monto acumulado debe estar en blanco"},
    {"137", "Para este periodo debe ingresar el tipo de documento del extranjero"},
    {"138", "Para este periodo el tipo de documento del extranjero debe estar en blanco"},
    {"139", "Para este periodo debe ingresar el número de documento del extranjero"},
    {"140", "Para este periodo el número de documento del extranjero debe estar en blanco"},
    {"141", "Para este periodo debe ingresar la fecha de nacimiento del extranjero"},
    {"142", "Para este periodo la fecha de nacimiento del extranjero debe estar en blanco"},
    {"143", "Para este periodo debe ingresar el tipo de dirección del extranjero"},
    {"144", "Para este periodo el tipo de dirección del extranjero debe estar en blanco"},
    {"145", "Para este periodo debe ingresar la dirección del extranjero"},
    {"146", "Para este periodo la dirección del extranjero debe estar en blanco"},
    {"147", "Para este periodo el país del documento del extranjero debe estar en blanco"},
    {"148", "Para este periodo debe ingresar el país del documento del extranjero"},
    {"149", "Fecha de nacimiento del extranjero debe estar en blanco"},
    {"150", "La fecha de nacimiento del extranjero no puede ser posterior a la fecha actual"},
    {"151", "El número de documento del extranjero no corresponde a su tipo de documento"},
    {"152",
     "No cumple con condiciones de No domiciliado. Los campos del No domiciliado deben "
     "estar en blanco"},
    {"160", "tipo de documento del extranjero debe ser 01, 02, 03"},
    {"161", "caracteres no permitidos en número de documento del extranjero"},
    {"162", "fecha de nacimiento invalida"},
    {"163", "tipo de domicilio no existe"},
    {"164", "caracteres no permitidos en dirección del extranjero"},
    {"165", "El número de documento del extranjero debe ser maximo de 20 caracteres"},
    {"166", "La dirección del extranjero debe ser maximo de 40 caracteres"},
    {"167", "Ingresar el indicador de operación de no domiciliado 0=pasiva  1=activa"},
    {"168",
     "Si indicador de operación de no domiciliados es 0 (pasiva), no debe ingresar "
     "información de no domiciliados"},
    {"169", "Para este periodo el indicador de operación debe estar en blanco"},
    {"170", " El código del país del contribuyente extranjero debe estar vacio (sin espacios)"},
};
static_assert(sizeof(kMensajes) / sizeof(kMensajes[0]) == 63);

// ---------------------------------------------------------------------------
// Small helpers over the raw single-byte line (one byte is one character).

using SV = std::string_view;

SV Trim(SV s) {
    std::size_t b = 0, e = s.size();
    while (b < e && s[b] == ' ') ++b;
    while (e > b && s[e - 1] == ' ') --e;
    return s.substr(b, e - b);
}

// A list searched by substring, with the answers for the short needles the
// checks use (one, two and four characters) worked out once: every window of
// the text of that length is a match, so the result is the same as InStr's.
class Lista {
  public:
    Lista() = default;
    explicit Lista(std::string texto) : texto_(std::move(texto)) {
        const auto* b = reinterpret_cast<const unsigned char*>(texto_.data());
        const std::size_t n = texto_.size();
        for (std::size_t i = 0; i < n; ++i) uno_[b[i]] = true;
        dos_.assign(65536 / 64, 0);
        for (std::size_t i = 0; i + 2 <= n; ++i) {
            const unsigned k = b[i] << 8 | b[i + 1];
            dos_[k >> 6] |= std::uint64_t(1) << (k & 63);
        }
        // Four-character windows in an open-addressed table at most a quarter full.
        std::size_t tam = 16;
        while (tam < 4 * n) tam *= 2;
        bits_ = 0;
        while ((std::size_t(1) << bits_) < tam) ++bits_;
        cuatro_.assign(tam, 0);
        for (std::size_t i = 0; i + 4 <= n; ++i) {
            const std::uint64_t clave = Clave4(b + i) | kOcupado;
            for (std::size_t j = Casilla(Clave4(b + i));; j = (j + 1) & (tam - 1)) {
                if (cuatro_[j] == clave) break;
                if (cuatro_[j] == 0) {
                    cuatro_[j] = clave;
                    break;
                }
            }
        }
    }
    bool Ocurre(SV v) const {
        if (texto_.empty()) return false;
        const auto* b = reinterpret_cast<const unsigned char*>(v.data());
        switch (v.size()) {
            case 0:
                return true;
            case 1:
                return uno_[b[0]];
            case 2: {
                const unsigned k = b[0] << 8 | b[1];
                return dos_[k >> 6] >> (k & 63) & 1;
            }
            case 4: {
                const std::uint32_t k = Clave4(b);
                const std::size_t mascara = cuatro_.size() - 1;
                for (std::size_t j = Casilla(k);; j = (j + 1) & mascara) {
                    if (cuatro_[j] == (k | kOcupado)) return true;
                    if (cuatro_[j] == 0) return false;
                }
            }
            default:
                return texto_.find(v) != SV::npos;
        }
    }

  private:
    static std::uint32_t Clave4(const unsigned char* p) {
        return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 |
               p[3];
    }
    static constexpr std::uint64_t kOcupado = std::uint64_t(1) << 32;
    std::size_t Casilla(std::uint32_t k) const {
        return static_cast<std::size_t>((k * std::uint64_t(0x9E3779B97F4A7C15)) >> (64 - bits_));
    }
    std::string texto_;
    std::array<bool, 256> uno_{};
    std::vector<std::uint64_t> dos_;
    std::vector<std::uint64_t> cuatro_;
    int bits_ = 0;
};

bool Ocurre(const Lista& l, SV v) {
    return l.Ocurre(v);
}

// The fixed lists of the checks.
const Lista& ListaFija(int cual) {
    static const Lista listas[] = {
        Lista("12-13-14-15-01"),                                   // 0 L4 movements before 200712
        Lista("12-13-14-15"),                                      // 1 L4 movements from 200712
        Lista("02-03-04-05-06-07-08-09-10-11-16-17-18-19-20-21"),  // 2 L3 long
        Lista("02-03-04-07-08-09-10-11-16-17-18-19-20-21"),        // 3 L3 movements from 200712
        Lista("01-12-13-14-15"),                                   // 4 L4 reversals; no amount
        Lista("12-14-16-18-20"),                                   // 5 country required
    };
    return listas[cual];
}

bool TieneAltos(SV s) {
    for (unsigned char c : s)
        if (c >= 0x80) return true;
    return false;
}

// The text as the component and the error file see it: UTF-8.
std::string Texto(SV raw) {
    return TieneAltos(raw) ? vb::Cp1252ToUtf8(raw) : std::string(raw);
}

// The same as a view: the raw text itself when it is plain ASCII, else its
// UTF-8 form kept in buf.
SV TextoV(SV raw, std::string& buf) {
    if (!TieneAltos(raw)) return raw;
    buf = vb::Cp1252ToUtf8(raw);
    return buf;
}

bool EsDigito(char c) {
    return c >= '0' && c <= '9';
}

bool TieneEnie(SV s) {
    for (unsigned char c : s)
        if (c == 0xD1 || c == 0xF1) return true;
    return false;
}

// Amount kinds "8" and "11". raw receives the value in ten-thousandths.
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

// Kind "10": period of an operation.
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

// ---------------------------------------------------------------------------
// The reading of one data file, shared by both kinds.

constexpr int kMaxCampos = 40;

// Splits a line that ends in "|" into its fields (their ends), one pass over the bytes, sixteen at
// a time where the processor allows. `altos` tells whether the line holds any byte outside ASCII.
int Divide(SV linea, std::array<std::uint32_t, kMaxCampos + 1>& fines, bool& demasiados,
           bool& altos) {
    int n = 0;
    const char* d = linea.data();
    const std::size_t largo = linea.size();
    // fines[k] is one past the "|" that ends field k (fines[0] is 0): field k
    // runs from fines[k-1] to fines[k]-1.
    fines[0] = 0;
    if (largo >= 0xFFFFFFFFu) {  // beyond what the ends can hold: refused as malformed
        demasiados = altos = true;
        return 0;
    }
#if defined(__SSE2__)
    const __m128i barra = _mm_set1_epi8('|');
    __m128i o = _mm_setzero_si128();
    char cola[16];
    for (std::size_t i = 0; i < largo; i += 16) {
        const char* p = d + i;
        if (largo - i < 16) {  // the last bytes, padded with zeros (no bar, no high byte)
            std::memset(cola, 0, sizeof cola);
            std::memcpy(cola, p, largo - i);
            p = cola;
        }
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        o = _mm_or_si128(o, b);
        auto mascara = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(b, barra)));
        const bool cerca = n > kMaxCampos - 16;  // this block might exceed the store
        while (mascara) {
            if (cerca && n == kMaxCampos) {
                demasiados = altos = true;  // the record is refused; not looked at further
                return n;
            }
            fines[static_cast<std::size_t>(++n)] = static_cast<std::uint32_t>(
                i + static_cast<std::size_t>(__builtin_ctz(mascara)) + 1);
            mascara &= mascara - 1;
        }
    }
    altos = _mm_movemask_epi8(o) != 0;
#else
    altos = false;
    for (std::size_t i = 0; i < largo; ++i) {
        altos = altos || static_cast<unsigned char>(d[i]) >= 0x80;
        if (d[i] != '|') continue;
        if (n == kMaxCampos) {
            demasiados = altos = true;
            return n;
        }
        fines[static_cast<std::size_t>(++n)] = static_cast<std::uint32_t>(i + 1);
    }
#endif
    return n;
}

// A write to the error file failed: the message box, then the form's frames
// are enabled again; the import goes on.
void AvisaFalloLog(const vb::VbError& err, const Entorno* entorno) {
    std::string texto;
    if (err.Number() == vb::kPermissionDenied) {
        texto = err.Description() + "\nCierre el Archivo \nIntente nuevamente por favor.";
    } else {
        texto = "Error tecnico: " + vb::Str(static_cast<double>(err.Number())) + "\n" +
                err.Description() + "\nIntente nuevamente por favor.";
    }
    shell::Aviso().MsgBox(texto, shell::vbCritical, "Error");
    if (entorno && entorno->habilitaMarcos) entorno->habilitaMarcos();
}

enum class Resultado { Ok, Monto, Pais, Impuesto };

class Verificador {
  public:
    Verificador(const Entorno& e, const Listas& l, bool reversos)
        : e_(e), l_(l), val_(*e.validador), reversos_(reversos) {
        periodo_ = e.periodo;
        desde201104_ = periodo_ >= "201104";
        antes201610_ = periodo_ < "201610";
        despues201701_ = periodo_ > "201701";
        ruc_ = vb::Utf8ToCp1252(e.ruc);
        for (std::size_t i = 0; i < reglas_.size(); ++i)
            reglas_[i] = shell::LeeReglaDocumento(l.tiposDocumento[i]);
        // The lists come from the database in UTF-8; lines are compared raw.
        tiposOp_ = Lista(vb::Utf8ToCp1252(l.tiposOperacion));
        tiposMov_ = Lista(vb::Utf8ToCp1252(l.tiposMovimiento));
        codigos_ = Lista(vb::Utf8ToCp1252(l.codigosOperacion));
        modalidades_ = Lista(vb::Utf8ToCp1252(l.modalidades));
        paises_ = Lista(vb::Utf8ToCp1252(l.paises));
    }

    // Reads the whole file; false when a total overflowed (the remaining lines
    // are not read). `registro` is called for each record of the right size.
    template <typename F>
    std::string Recorre(const std::string& ruta, int nCampos, F&& registro) {
        log_ = Abroarchivo(ruta + "err");
        const int arch = vb::FreeFile();
        try {
            vb::Open(ruta, vb::OpenMode::Input, arch);
        } catch (...) {
            Cierra(ruta, -1);
            throw;
        }
        try {
            if (vb::Lof(arch) > 0) {
                auto ultimo = std::chrono::steady_clock::now();
                unsigned cuenta = 0;
                while (!vb::Eof(arch)) {
                    if (e_.procesaEventos && (++cuenta & 255) == 0) {
                        auto ahora = std::chrono::steady_clock::now();
                        if (ahora - ultimo > std::chrono::milliseconds(5)) {
                            e_.procesaEventos();
                            ultimo = ahora;
                        }
                    }
                    const std::string& linea = vb::LineInputRaw(arch);
                    linea_ = linea;
                    copiaLista_ = false;
                    if (linea_.empty() || linea_.back() != '|') {
                        Rechaza("122");
                        continue;
                    }
                    bool demasiados = false;
                    nCampos_ = Divide(linea_, fines_, demasiados, altos_);
                    if (demasiados || nCampos_ != nCampos) {
                        Rechaza("001");
                        continue;
                    }
                    try {
                        registro();
                    } catch (const vb::VbError& err) {
                        if (err.Number() != vb::kOverflow) throw;
                        Rechaza("126");
                        Cierra(ruta, arch);
                        return "False";
                    }
                }
            }
        } catch (...) {
            Cierra(ruta, arch);
            throw;
        }
        Cierra(ruta, arch);
        return fallo_ ? "False" : "True";
    }

    // Field i (1-based) of the current record.
    SV C(int i) const {
        const std::uint32_t desde = fines_[static_cast<std::size_t>(i - 1)];
        return SV(linea_.data() + desde, fines_[static_cast<std::size_t>(i)] - 1 - desde);
    }

    // A piece of the current line as the component takes it (UTF-8): the raw
    // bytes themselves when the line is plain ASCII.
    SV Utf(SV raw, std::string& buf) const { return altos_ ? TextoV(raw, buf) : raw; }

    void Rechaza(const char* codigo) {
        if (!copiaLista_) {
            copia_ = Texto(linea_);
            copiaLista_ = true;
        }
        fallo_ = true;
        GraboLog(log_, copia_, codigo, &e_);
    }

    bool Propio() const { return C(1) == "06" && C(2) == ruc_; }

    // Group A on fields 1 to 3. `n` receives the type's number.
    bool GrupoA(long& n) {
        SV tipo = C(1);
        bool numerico;
        double valor = 0;
        if (tipo.size() == 2 && EsDigito(tipo[0]) && EsDigito(tipo[1])) {
            numerico = true;
            valor = (tipo[0] - '0') * 10 + (tipo[1] - '0');
        } else if (tipo.size() == 2) {
            const std::string t = Texto(tipo);
            numerico = vb::IsNumeric(std::string_view(t));
            if (numerico) valor = vb::ParseNumber(t).value_or(0);
        } else {
            numerico = false;
        }
        if (!numerico) {
            Rechaza("100");
            return false;
        }
        const double r = tipo.size() == 2 && EsDigito(tipo[0]) && EsDigito(tipo[1])
                             ? valor
                             : vb::RoundHalfEven(valor);
        n = (r >= -1e9 && r <= 1e9) ? static_cast<long>(r) : -1;

        SV numero = C(2);
        bool ok;
        if (tipo == "06") {
            SV medido = reversos_ ? Trim(numero) : numero;
            // The reversals file measures and checks the number without its blanks.
            ok = medido.size() == 11 && val_.ValidaRuc(medido);
        } else {
            // A type outside the catalogue's 0..99 cannot name a rule: the
            // record is refused as malformed.
            if (n < 0 || n > 99) {
                Rechaza("001");
                return false;
            }
            std::string buf;
            ok = shell::ValidaNumeroDocumentoParam(reglas_[static_cast<std::size_t>(n)],
                                                   Utf(numero, buf), val_);
        }
        if (!ok) {
            Rechaza(tipo == "06" ? "102" : "101");
            return false;
        }

        SV pais = C(3);
        const bool sinPais = n == 1 || n == 6 || n == 11;
        const bool paisOk =
            sinPais ? (Trim(pais).empty() && pais.size() <= 4)
                    : (pais.size() == 4 && Ocurre(paises_, pais) && Trim(pais) != "9589");
        if (!paisOk) {
            Rechaza("103");
            return false;
        }
        return true;
    }

    // Group B. True when compatible.
    static bool GrupoB(SV t, SV m, SV c, const Lista& l4, const Lista& l3) {
        if (t != "01") return true;
        if (m == "04" && !Ocurre(l4, c)) return false;
        if (m == "03" && !Ocurre(l3, c)) return false;
        return true;
    }

    // Group C: amount A, country K, tax X, code C; amount and tax in raw units.
    Resultado GrupoC(int a, int k, int x, SV c, const char* codMonto, const char* codImpuesto,
                     std::int64_t& monto, std::int64_t& impuesto) {
        monto = 0;
        SV sa = C(a);
        if (Ocurre(sinMonto_, c)) {
            if (!sa.empty()) {
                Rechaza(codMonto);
                return Resultado::Monto;
            }
        } else if (!Monto(val_, sa, true, 15, monto)) {
            Rechaza(codMonto);
            return Resultado::Monto;
        }
        SV pais = C(k);
        if (Ocurre(conPais_, c)) {
            if (!(pais.size() == 4 && Ocurre(paises_, pais))) {
                Rechaza("103");
                return Resultado::Pais;
            }
        } else if (!(Trim(pais).empty() && pais.size() <= 4)) {
            Rechaza("129");
            return Resultado::Pais;
        }
        if (!Monto(val_, C(x), false, 15, impuesto)) {
            Rechaza(codImpuesto);
            return Resultado::Impuesto;
        }
        return Resultado::Ok;
    }

    void GrupoD(int i) {
        if (desde201104_) {
            if (C(i).empty()) Rechaza("135");
        } else if (!C(i).empty()) {
            Rechaza("136");
        }
    }

    // Group E on the six fields from i.
    void GrupoE(int i, bool prueba152) {
        static constexpr const char* kAntes[6] = {"169", "138", "140", "142", "144", "146"};
        // Six fields are all empty when their bars are side by side.
        const bool vacios =
            fines_[static_cast<std::size_t>(i + 5)] - fines_[static_cast<std::size_t>(i - 1)] == 6;
        if (antes201610_) {
            if (vacios) return;
            for (int j = 0; j < 6; ++j) {
                if (!C(i + j).empty()) {
                    Rechaza(kAntes[j]);
                    return;
                }
            }
            return;
        }
        if (vacios && !despues201701_) return;

        SV tipoDoc = Trim(C(1));
        SV pais = Trim(C(3));
        const bool califica = (tipoDoc == "04" || tipoDoc == "07" || tipoDoc == "00") &&
                              pais != "9589" && !pais.empty();
        if (!califica) {
            if (!prueba152) return;
            for (int j = 0; j < 6; ++j) {
                if (!C(i + j).empty()) {
                    Rechaza("152");
                    return;
                }
            }
            return;
        }

        SV ind = C(i), tipo = C(i + 1), num = C(i + 2), fecha = C(i + 3), tipoDir = C(i + 4),
           dir = C(i + 5);
        const bool activo = ind == "1";
        // 1. Indicator.
        if (!(ind == "1" || ind == "0")) {
            Rechaza("167");
            return;
        }
        // 2. Foreign document type.
        if (!tipo.empty()) {
            if (!activo) {
                Rechaza("168");
                return;
            }
            bool ok = tipo.size() == 2 && vb::IsNumeric(std::string_view(Texto(tipo))) &&
                      l_.existeTipoND && l_.existeTipoND("875", Texto(Trim(tipo)));
            if (!ok) {
                Rechaza("160");
                return;
            }
        } else if (activo) {
            Rechaza("137");
            return;
        }
        // 3. Foreign document number.
        if (!num.empty()) {
            if (!activo) {
                Rechaza("168");
                return;
            }
            bool algo = false;
            if (Trim(num).size() > 20) {
                Rechaza("165");
                algo = true;
            }
            if (!Caracteres(num)) {
                Rechaza("161");
                algo = true;
            }
            if (algo) return;
        } else if (activo) {
            Rechaza("139");
            return;
        }
        // 4. Birth date.
        if (!fecha.empty()) {
            if (!activo) {
                Rechaza("168");
                return;
            }
            if (tipo == "02") {
                Rechaza("149");
                return;
            }
            if (!val_.ValidaFechaRango(Texto(fecha), "01/01/1850", "01/01/2500")) {
                Rechaza("162");
                return;
            }
        } else if (activo && tipo != "02") {
            Rechaza("141");
            return;
        }
        // 5. Address type.
        if (!tipoDir.empty()) {
            if (!activo) {
                Rechaza("168");
                return;
            }
            if (!(l_.existeTipoND && l_.existeTipoND("876", Texto(Trim(tipoDir))))) {
                Rechaza("163");
                return;
            }
        } else if (activo) {
            Rechaza("143");
            return;
        }
        // 6. Address.
        if (!dir.empty()) {
            if (activo) {
                if (Trim(dir).size() > 40) Rechaza("166");
                if (!Caracteres(dir)) Rechaza("164");
            } else {
                Rechaza("168");
            }
        } else if (activo) {
            Rechaza("145");
        }
    }

    // ValidaCaracteres, after replacing Ñ and ñ of the trimmed text.
    bool Caracteres(SV s) {
        if (TieneEnie(s)) return val_.ValidaCaracteres(val_.ReemplazaEnie(Texto(Trim(s))));
        return val_.ValidaCaracteres(Texto(s));
    }

    void Suma(vb::Currency& total, std::int64_t raw) { total += vb::Currency::FromRaw(raw); }

    const Entorno& e_;
    const Listas& l_;
    const validator::cValidador& val_;
    bool reversos_;
    std::string periodo_, ruc_;
    bool desde201104_ = false, antes201610_ = false, despues201701_ = false;
    std::array<shell::ReglaDocumento, 100> reglas_;
    const Lista& sinMonto_ = ListaFija(4);  // codes without an amount
    const Lista& conPais_ = ListaFija(5);   // codes that need a country of the operation
    Lista tiposOp_, tiposMov_, codigos_, modalidades_, paises_;

  private:
    void Cierra(const std::string& ruta, int arch) {
        try {
            vb::Close(log_);
        } catch (const vb::VbError& err) {
            // The run-time writes the error file in blocks, so a failed write of
            // its last lines shows only here: told as any failed write is, rather
            // than leaving a failed file with a short or missing error file.
            AvisaFalloLog(err, &e_);
        }
        try {
            const std::string err = ruta + "err";
            if (vb::FileExists(err) && vb::FileLen(err) == 0) vb::Kill(err);
        } catch (const vb::VbError&) {
            // The empty error file could not be removed: nothing to add.
        }
        if (arch > 0) {
            try {
                vb::Close(arch);
            } catch (const vb::VbError&) {
            }
        }
    }

    int log_ = 0;
    bool fallo_ = false;
    SV linea_;
    std::string copia_;
    bool copiaLista_ = false;
    bool altos_ = true;
    std::array<std::uint32_t, kMaxCampos + 1> fines_{};
    int nCampos_ = 0;
};

}  // namespace

std::string_view MensajeError(std::string_view codigo) {
    for (const auto& m : kMensajes)
        if (codigo == m.codigo) return m.texto;
    return {};
}

int Abroarchivo(std::string_view ArcPla) {
    const int n = vb::FreeFile();
    vb::Open(ArcPla, vb::OpenMode::Append, n);
    return n;
}

void GraboLog(int Filelog, std::string& Linea, std::string_view NumErr, const Entorno* entorno) {
    Linea += MensajeError(NumErr);
    try {
        vb::PrintLine(Filelog, Linea);
    } catch (const vb::VbError& err) {
        AvisaFalloLog(err, entorno);
    }
}

void VCad(const validator::cValidador& val, std::string_view value, std::string_view kind,
          int maxLen, std::string_view opCode, std::string_view periodo, std::string& result) {
    bool ok = false;
    std::int64_t raw = 0;
    if (kind == "8") {
        ok = Monto(val, value, true, maxLen, raw);
    } else if (kind == "11") {
        ok = Monto(val, value, false, maxLen, raw);
    } else if (kind == "10") {
        ok = Periodo(val, value, maxLen, opCode, periodo);
    }
    result = ok ? std::string(value) : std::string();
}

Listas LeeListas(std::string_view tipo, std::string_view periodo) {
    Listas l;
    try {
        if (tipo == "MOV") {
            l.tiposDocumento = CadPar("044", "102");
            l.tiposMovimiento = CadPar2("818");
            l.codigosOperacion =
                periodo < std::string_view("200712") ? CadPar2("819") : CadPar2("312");
            l.paises = CadPar2("976");
        } else {
            l.tiposDocumento = CadPar("044", "103");
            l.tiposOperacion = CadPar2("817");
            l.tiposMovimiento = CadPar2("818");
            l.codigosOperacion = CadPar2("819") + "-" + CadPar2("312");
            l.modalidades = CadPar2("820");
            l.paises = CadPar2("976");
        }
    } catch (const vb::VbError& err) {
        throw ErrorCatalogo("El catálogo de parámetros no se pudo leer: " + err.Description() +
                            " (" + std::to_string(err.Number()) + ")");
    } catch (const std::exception& err) {
        throw ErrorCatalogo(std::string("El catálogo de parámetros no se pudo leer: ") +
                            err.what());
    }
    // Existe_TipoND asks the database; within one file the answer for a key
    // does not change, so it is asked once per key (a bounded memo).
    auto memo = std::make_shared<std::unordered_map<std::string, bool>>();
    l.existeTipoND = [memo](std::string_view cat, std::string_view clave) {
        std::string k = std::string(cat) + '\x1f' + std::string(clave);
        if (auto it = memo->find(k); it != memo->end()) return it->second;
        const bool r = Existe_TipoND(cat, clave);
        if (memo->size() < 4096) memo->emplace(std::move(k), r);
        return r;
    };
    return l;
}

std::string ImportoMov(const Entorno& e, const Listas& l, const std::string& RutArc,
                       double& dTotTupla, vb::Currency& dMto402, vb::Currency& dMto422,
                       vb::Currency& dMto302, vb::Currency& dMto322) {
    dTotTupla = 0;
    dMto402 = dMto422 = dMto302 = dMto322 = vb::Currency();
    Verificador v(e, l, false);
    const bool antes200712 = v.periodo_ < "200712";
    const Lista& l4 = ListaFija(antes200712 ? 0 : 1);
    const Lista& l3 = ListaFija(antes200712 ? 2 : 3);
    return v.Recorre(RutArc, 16, [&] {
        long n = 0;
        if (!v.GrupoA(n)) return;
        SV t = v.C(4), m = v.C(5), c = v.C(6);
        if (!(t.size() == 2 && t == "01")) return v.Rechaza("104");
        if (!(m.size() == 2 && Ocurre(v.tiposMov_, m))) return v.Rechaza("105");
        char par[64];
        const bool parCorto = t.size() + c.size() == 4;
        if (parCorto) {
            std::memcpy(par, t.data(), 2);
            std::memcpy(par + 2, c.data(), 2);
        }
        if (!(parCorto && Ocurre(v.codigos_, SV(par, 4)))) return v.Rechaza("106");
        const bool propio = v.Propio();
        if ((c == "08" || c == "09") && !propio) return v.Rechaza("128");
        if (!Verificador::GrupoB(t, m, c, l4, l3)) return v.Rechaza("127");

        std::int64_t monto = 0, impuesto = 0;
        const Resultado r = v.GrupoC(8, 7, 9, c, "107", "108", monto, impuesto);
        if (r == Resultado::Ok) {
            SV pais = v.C(3);
            if (!pais.empty() && Trim(pais).empty()) v.Rechaza("170");
            if (propio) {
                v.Suma(dMto302, impuesto);
                v.Suma(dMto402, monto);
            } else {
                v.Suma(dMto322, impuesto);
                v.Suma(dMto422, monto);
            }
            dTotTupla += 1;
        }
        v.GrupoD(10);
        v.GrupoE(11, r != Resultado::Pais);
    });
}

std::string ImportoExt(const Entorno& e, const Listas& l, const std::string& RutArc,
                       double& dTotTupla, TotalesExt& t) {
    dTotTupla = 0;
    t = TotalesExt{};
    Verificador v(e, l, true);
    const Lista& l4 = ListaFija(4);
    const Lista& l3 = ListaFija(2);
    return v.Recorre(RutArc, 18, [&] {
        long n = 0;
        if (!v.GrupoA(n)) return;
        SV per = v.C(4), to = v.C(5), m = v.C(6), c = v.C(7), mod = v.C(9);
        if (!per.empty()) {
            // The modality followed by the operation code; on the stack when short.
            char corto[8];
            std::string largo;
            SV op;
            if (mod.size() + c.size() <= sizeof corto) {
                std::memcpy(corto, mod.data(), mod.size());
                std::memcpy(corto + mod.size(), c.data(), c.size());
                op = SV(corto, mod.size() + c.size());
            } else {
                largo.append(mod).append(c);
                op = largo;
            }
            if (!Periodo(v.val_, per, 6, op, v.periodo_)) return v.Rechaza("109");
        }
        if (!(to.size() == 2 && Ocurre(v.tiposOp_, to))) return v.Rechaza("104");
        if (!(m.size() == 2 && Ocurre(v.tiposMov_, m))) return v.Rechaza("105");
        SV pais = v.C(3);
        if (!pais.empty() && Trim(pais).empty()) v.Rechaza("170");
        const bool propio = v.Propio();
        if (!Verificador::GrupoB(to, m, c, l4, l3)) return v.Rechaza("127");
        if ((c == "08" || c == "09") && !propio) return v.Rechaza("128");
        char par[4];
        const bool parCorto = to.size() + c.size() == 4;
        if (parCorto) {
            std::memcpy(par, to.data(), 2);
            std::memcpy(par + 2, c.data(), 2);
        }
        if (!(parCorto && Ocurre(v.codigos_, SV(par, 4)))) return v.Rechaza("106");
        if (!(mod.size() == 1 && Ocurre(v.modalidades_, mod))) return v.Rechaza("110");
        if (v.periodo_ == "200403" && (mod == "3" || mod == "4")) return v.Rechaza("117");
        if (mod != "1" && per.empty()) return v.Rechaza("117");

        std::int64_t monto = 0, impuesto = 0;
        if (v.GrupoC(10, 8, 11, c, "130", "131", monto, impuesto) == Resultado::Ok) {
            if (to == "02" && impuesto > 0) {
                v.Rechaza("118");
            } else {
                if (mod == "1") {
                    v.Suma(propio ? t.dMto306 : t.dMto326, impuesto);
                    v.Suma(propio ? t.dMto406 : t.dMto426, monto);
                } else if (mod == "2") {
                    if (!propio) {
                        v.Suma(t.dMto350, impuesto);
                        v.Suma(t.dMto450, monto);
                    }
                } else if (mod == "3") {
                    v.Suma(propio ? t.dMto303 : t.dMto323, impuesto);
                    v.Suma(propio ? t.dMto403 : t.dMto423, monto);
                } else if (mod == "4") {
                    if (propio) {
                        v.Rechaza("119");
                    } else {
                        v.Suma(t.dMto324, impuesto);
                        v.Suma(t.dMto424, monto);
                    }
                }
                dTotTupla += 1;
            }
        }
        v.GrupoD(12);
        v.GrupoE(13, true);
    });
}

std::string ImportoMov(const Entorno& e, const std::string& RutArc, double& dTotTupla,
                       vb::Currency& dMto402, vb::Currency& dMto422, vb::Currency& dMto302,
                       vb::Currency& dMto322) {
    const Listas l = LeeListas("MOV", e.periodo);
    return ImportoMov(e, l, RutArc, dTotTupla, dMto402, dMto422, dMto302, dMto322);
}

std::string ImportoExt(const Entorno& e, const std::string& RutArc, double& dTotTupla,
                       TotalesExt& t) {
    const Listas l = LeeListas("EXT", e.periodo);
    return ImportoExt(e, l, RutArc, dTotTupla, t);
}

}  // namespace importacion
