// Generator of valid movement and reversal records for the import's tests,
// benchmarks and sample data. The records agree with the catalogue lists of
// CatalogoMuestra() (the same rows the sample host installation carries).
#pragma once

#include <cstdint>
#include <cstdio>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace gen {

// A RUC with a valid check digit (modulus 11, weights 2..7 from the right):
// the prefix, then eight digits from n.
inline std::string Ruc(std::uint64_t n, const char* prefijo = "10") {
    char b[16];
    std::snprintf(b, sizeof b, "%s%08llu", prefijo,
                  static_cast<unsigned long long>(n % 100000000ull));
    std::string s = b;
    static constexpr int kPesos[10] = {5, 4, 3, 2, 7, 6, 5, 4, 3, 2};
    int suma = 0;
    for (int i = 0; i < 10; ++i) suma += (s[i] - '0') * kPesos[i];
    int d = 11 - suma % 11;
    if (d == 11) d = 1;
    if (d == 10) d = 0;
    return s + static_cast<char>('0' + d);
}

// The catalogue lists the generated records rely on.
struct Catalogo {
    std::string tiposOperacion = "|01|02";
    std::string tiposMovimiento = "|01|02|03|04";
    std::string codigos819, codigos312;
    std::string modalidades = "|1|2|3|4";
    std::string paises = "|8801|8802|8803|8804|8805|8806|8807|8808|8809|8810|9589|8811";
    std::string tiposDocExtranjero = "|01|02|03";
    std::string tiposDireccion = "|01|02|03|04";
    // Funcion texts of catalogue 044 by type; position 102 admits the type in
    // movements, 103 in reversals; 46-47 the length, 128 class, 130 exactness.
    std::vector<std::pair<int, std::string>> tiposDocumento;

    Catalogo() {
        // As the sample host installation carries them: "312" with 0101-0115
        // and 0201-0212, the installer's "819" with 0101-0115 and 0201-0210.
        char b[24];
        for (int c = 1; c <= 15; ++c) {
            std::snprintf(b, sizeof b, "|01%02d", c);
            codigos312 += b;
            codigos819 += b;
        }
        for (int c = 1; c <= 12; ++c) {
            std::snprintf(b, sizeof b, "|02%02d", c);
            codigos312 += b;
            if (c <= 10) codigos819 += b;
        }
        tiposDocumento = {{1, Funcion("DOC. NACIONAL DE IDENTIDAD", "DNI", 8, '1', '1')},
                          {4, Funcion("CARNET DE EXTRANJERIA", "CE", 12, '0', '0')},
                          {6, Funcion("REG. UNICO DE CONTRIBUYENTES", "RUC", 11, '5', '1')},
                          {7, Funcion("PASAPORTE", "PASAPORTE", 12, '0', '0')}};
    }

    static std::string Funcion(const std::string& nombre, const std::string& corto, int largo,
                               char clase, char exacto) {
        std::string f(130, ' ');
        f.replace(0, nombre.size(), nombre);
        f.replace(30, corto.size(), corto);
        char b[16];
        std::snprintf(b, sizeof b, "%02d", largo);
        f.replace(45, 2, b);
        f[101] = '1';
        f[102] = '1';
        f[127] = clase;
        f[129] = exacto;
        return f;
    }
};

class Generador {
  public:
    Generador(std::string ruc, std::string periodo, std::uint64_t semilla = 1)
        : ruc_(std::move(ruc)), periodo_(std::move(periodo)), rng_(semilla) {}

    // Share of records that belong to the declarant (own records).
    double partePropia = 0.1;

    std::string Movimiento() {
        Doc d = Documento();
        const char* mov[] = {"01", "02", "03", "04"};
        std::string m = mov[Dado(4)];
        std::string c = Codigo(m, d.propio);
        // The declarant appears once per movement and code: repeat the key
        // and the record would be a duplicate.
        if (d.propio && !propias_.insert(m + c).second) {
            d = Otro();
            c = Codigo(m, false);
        }
        std::string r = d.tipo + "|" + d.numero + "|" + d.pais + "|01|" + m + "|" + c + "|";
        r += PaisOperacion(c) + "|" + MontoSiCorresponde(c) + "|" + Monto(false) + "|";
        r += Acumulado() + "|";
        r += "||||||";
        return r;
    }

    std::string Extorno() {
        Doc d = Documento();
        std::string mod = std::to_string(1 + Dado(d.propio ? 3 : 4));
        const char* mov[] = {"01", "02", "03", "04"};
        std::string m = mov[Dado(4)];
        std::string c = Codigo(m, d.propio, true);
        // Exonerated operations exist only for codes up to 10.
        std::string to = (Dado(10) == 0 && c <= "10") ? "02" : "01";
        std::string per = PeriodoOperacion(mod);
        if (d.propio && !propias_.insert(per + to + m + c + mod).second) {
            d = Otro();
            mod = std::to_string(1 + Dado(4));
            c = Codigo(m, false, true);
            per = PeriodoOperacion(mod);
            if (c > "10") to = "01";
        }
        std::string r = d.tipo + "|" + d.numero + "|" + d.pais + "|" + per + "|" + to + "|" + m +
                        "|" + c + "|" + PaisOperacion(c) + "|" + mod + "|" + MontoSiCorresponde(c) +
                        "|" + (to == "02" ? std::string("0.00") : Monto(false)) + "|" +
                        Acumulado() + "|||||||";
        return r;
    }

    unsigned Dado(unsigned n) { return static_cast<unsigned>(rng_() % n); }

    std::string Monto(bool mayorQueCero) {
        std::uint64_t entero = rng_() % (Dado(20) == 0 ? 100000000ull : 100000ull);
        unsigned cent = Dado(100);
        if (mayorQueCero && entero == 0 && cent == 0) cent = 1;
        char b[32];
        std::snprintf(b, sizeof b, "%llu.%02u", static_cast<unsigned long long>(entero), cent);
        return b;
    }

  private:
    struct Doc {
        std::string tipo, numero, pais;
        bool propio;
    };

    Doc Documento() {
        std::uniform_real_distribution<double> u(0, 1);
        if (u(rng_) < partePropia) return {"06", ruc_, "", true};
        return Otro();
    }

    // Every other holder appears once: its number comes from a counter.
    Doc Otro() {
        const std::uint64_t i = ++contador_;
        if (i % 2 == 0) return {"06", Ruc(i * 7919ull), "", false};
        char b[16];
        std::snprintf(b, sizeof b, "%08llu",
                      static_cast<unsigned long long>((i * 7919ull + 12345678ull) % 100000000ull));
        return {"01", b, "", false};
    }

    std::string Codigo(const std::string& m, bool propio, bool extorno = false) {
        const bool antes = periodo_ < "200712";
        // Codes 01, 05 and 06 need a period of the operation before 12/2007;
        // leave them out of reversals so any period of the operation fits.
        if (m == "04") {
            const char* l4[] = {"12", "13", "14", "15"};
            return l4[Dado(4)];
        }
        std::vector<std::string> l;
        for (int c : {2, 3, 4, 7, 10, 11}) l.push_back(Dos(c));
        if (antes && !extorno) {
            l.push_back("05");
            l.push_back("06");
        }
        if (propio) {
            l.push_back("08");
            l.push_back("09");
        }
        if (m != "03") {
            for (int c : {12, 13, 14, 15}) l.push_back(Dos(c));
        }
        return l[Dado(static_cast<unsigned>(l.size()))];
    }

    static std::string Dos(int c) {
        char b[16];
        std::snprintf(b, sizeof b, "%02d", c);
        return b;
    }

    std::string PaisOperacion(const std::string& c) {
        if (c == "12" || c == "14" || c == "16" || c == "18" || c == "20") return "8809";
        return "";
    }

    std::string MontoSiCorresponde(const std::string& c) {
        if (c == "01" || c == "12" || c == "13" || c == "14" || c == "15") return "";
        return Monto(true);
    }

    std::string Acumulado() { return periodo_ >= "201104" ? Monto(false) : std::string(); }

    // A period of the operation that the modality admits: not later than the
    // declaration period (1, 2) or earlier than it (3, 4), never before 03/2004.
    std::string PeriodoOperacion(const std::string& mod) {
        if (mod == "1" && Dado(2) == 0) return "";
        int anio = std::stoi(periodo_.substr(0, 4)), mes = std::stoi(periodo_.substr(4, 2));
        int total = anio * 12 + (mes - 1);
        int minimo = 2004 * 12 + 2;
        int atras = (mod == "3" || mod == "4") ? 1 + static_cast<int>(Dado(12))
                                               : static_cast<int>(Dado(12));
        int t = total - atras;
        if (t < minimo) t = minimo;
        if ((mod == "3" || mod == "4") && t >= total) return "";
        char b[32];
        std::snprintf(b, sizeof b, "%04d%02d", t / 12, t % 12 + 1);
        return b;
    }

    std::string ruc_, periodo_;
    std::mt19937_64 rng_;
    std::uint64_t contador_ = 0;
    std::set<std::string> propias_;
};

// Writes n records to a file with CR LF line ends; true on success.
template <typename F>
bool EscribeArchivo(const std::string& ruta, std::uint64_t n, F&& registro) {
    std::FILE* f = std::fopen(ruta.c_str(), "wb");
    if (!f) return false;
    std::string buf;
    buf.reserve(1 << 20);
    for (std::uint64_t i = 0; i < n; ++i) {
        buf += registro();
        buf += "\r\n";
        if (buf.size() > (1 << 20) - 512) {
            std::fwrite(buf.data(), 1, buf.size(), f);
            buf.clear();
        }
    }
    std::fwrite(buf.data(), 1, buf.size(), f);
    return std::fclose(f) == 0;
}

}  // namespace gen
