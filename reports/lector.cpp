#include "reports/lector.h"

#include <cmath>

#include "vb/error.h"
#include "vb/files.h"
#include "vb/numeric.h"
#include "vb/strings.h"
#include "vb/variant.h"

namespace reportes {

namespace {

bool TerminaEn(std::string_view s, std::string_view fin) {
    return s.size() >= fin.size() && s.substr(s.size() - fin.size()) == fin;
}

// Scans a line left to right, as the reader keeps its scan position.
class Cursor {
  public:
    explicit Cursor(std::string_view linea) : linea_(linea) {}

    // The record kind: characters up to the first point where the collected
    // text ends with "|" (dropped), "!>" or "aHoja".
    std::string Clase() {
        for (std::size_t i = 0; i < linea_.size(); ++i) {
            const std::string_view hecho = linea_.substr(0, i + 1);
            if (hecho.back() == '|') {
                pos_ = i + 1;
                return vb::Trim(hecho.substr(0, i));
            }
            if (TerminaEn(hecho, "!>") || TerminaEn(hecho, "aHoja")) {
                pos_ = i + 1;
                return vb::Trim(hecho);
            }
        }
        vb::Raise(vb::kInvalidCall);
    }

    std::string_view Campo() {
        const std::size_t fin = linea_.find('|', pos_);
        if (fin == std::string_view::npos) vb::Raise(vb::kInvalidCall);
        const std::string_view campo = linea_.substr(pos_, fin - pos_);
        pos_ = fin + 1;
        return campo;
    }

    std::int16_t Entero() {
        const double v = ValorRedondeado(Campo());
        if (!(v >= -32768 && v <= 32767)) vb::Raise(vb::kOverflow);
        return static_cast<std::int16_t>(v);
    }

    bool Booleano() {
        const std::string t = vb::Trim(Campo());
        const std::string m = vb::UCase(t);
        if (m == "TRUE") return true;
        if (m == "FALSE") return false;
        const std::optional<double> n = vb::ParseNumber(t);
        if (!n) vb::Raise(vb::kTypeMismatch);
        return *n != 0;
    }

    // A tag's value: up to the closing tag, searched from the scan position.
    std::string_view Valor(std::string_view cierre) const {
        const std::size_t fin = linea_.find(cierre, pos_);
        if (fin == std::string_view::npos) vb::Raise(vb::kInvalidCall);
        return linea_.substr(pos_, fin - pos_);
    }

  private:
    std::string_view linea_;
    std::size_t pos_ = 0;
};

void LeeTexto(Cursor& c, Registro& r) {
    r.x = c.Entero();
    r.y = c.Entero();
    r.texto = std::string(c.Campo());
    r.negrita = c.Booleano();
    r.tamano = c.Entero();
    r.pagina = c.Entero();
}

std::uint32_t LeeColor(std::string_view valor) {
    // The text less its final "&", read in the "&H" notation and taken as
    // the Long a colour is; a value past a Long's range overflows (6).
    if (valor.empty()) vb::Raise(vb::kInvalidCall);
    const std::string hex = vb::Trim(valor.substr(0, valor.size() - 1));
    return static_cast<std::uint32_t>(vb::CLng(vb::Variant(vb::Val(hex))));
}

}  // namespace

double ValorRedondeado(std::string_view campo) {
    return vb::RoundHalfEven(vb::Val(campo));
}

Registro LeeRegistro(std::string_view linea) {
    Cursor c(linea);
    Registro r;
    r.clase = c.Clase();
    if (r.clase == "pPos") {
        r.tipo = TipoRegistro::Texto;
        LeeTexto(c, r);
    } else if (r.clase == "pPosVerti") {
        r.tipo = TipoRegistro::TextoVertical;
        LeeTexto(c, r);
    } else if (r.clase == "pCuadro") {
        r.tipo = TipoRegistro::Cuadro;
        r.x = c.Entero();
        r.y = c.Entero();
        r.x2 = c.Entero();
        r.y2 = c.Entero();
        r.pagina = c.Entero();
    } else if (r.clase == "pNuevaHoja") {
        r.tipo = TipoRegistro::NuevaHoja;
    } else if (r.clase == "<!font!>") {
        r.tipo = TipoRegistro::Fuente;
        r.texto = std::string(c.Valor("<!/font!>"));
    } else if (r.clase == "<!nHojas!>") {
        r.tipo = TipoRegistro::Hojas;
    } else if (r.clase == "<!Orientacion!>") {
        r.tipo = TipoRegistro::Orientacion;
        r.texto = vb::Trim(c.Valor("<!/Orientacion!>"));
    } else if (r.clase == "<!Color!>") {
        r.tipo = TipoRegistro::Color;
        r.color = LeeColor(c.Valor("<!/Color!>"));
    }
    return r;
}

ArchivoReporte::ArchivoReporte(const std::string& ruta) {
    numero_ = vb::FreeFile();
    vb::Open(ruta, vb::OpenMode::Input, numero_);
}

ArchivoReporte::~ArchivoReporte() {
    try {
        vb::Close(numero_);
    } catch (...) {
    }
}

bool ArchivoReporte::Siguiente(Registro& registro) {
    if (vb::Eof(numero_)) return false;
    const std::string linea = vb::LineInput(numero_);
    ++linea_;
    registro = LeeRegistro(linea);
    return true;
}

}  // namespace reportes
