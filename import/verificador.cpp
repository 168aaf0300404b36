#include "import/verificador.h"

#include <chrono>

#include "import/mensajes.h"
#include "validator/validator.h"
#include "vb/error.h"
#include "vb/files.h"
#include "vb/numeric.h"
#include "vb/strings.h"

namespace importacion::detalle {

VerificadorRegistros::VerificadorRegistros(const EntornoImportacion& e, const Listas& l, bool reversos)
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

std::string VerificadorRegistros::Recorre(const std::string& ruta, int nCampos,
                                 const std::function<void()>& registro) {
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

void VerificadorRegistros::Rechaza(const char* codigo) {
    if (!copiaLista_) {
        copia_ = Texto(linea_);
        copiaLista_ = true;
    }
    fallo_ = true;
    GraboLog(log_, copia_, codigo, &e_);
}

bool VerificadorRegistros::GrupoA(long& n) {
    SV tipo = C(kTipoDocumento);
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

    SV numero = C(kNumeroDocumento);
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

    SV pais = C(kPaisDocumento);
    const bool sinPais = n == 1 || n == 6 || n == 11;
    const bool paisOk = sinPais
                            ? (Trim(pais).empty() && pais.size() <= 4)
                            : (pais.size() == 4 && Ocurre(paises_, pais) && Trim(pais) != "9589");
    if (!paisOk) {
        Rechaza("103");
        return false;
    }
    return true;
}

bool VerificadorRegistros::GrupoB(SV t, SV m, SV c, const Lista& l4, const Lista& l3) {
    if (t != "01") return true;
    if (m == "04" && !Ocurre(l4, c)) return false;
    if (m == "03" && !Ocurre(l3, c)) return false;
    return true;
}

ResultadoGrupoC VerificadorRegistros::GrupoC(const CamposGrupoC& campos, SV c) {
    ResultadoGrupoC r;
    SV monto = C(campos.monto);
    if (Ocurre(sinMonto_, c)) {
        if (!monto.empty()) {
            Rechaza(campos.codMonto);
            r.fallo = ResultadoGrupoC::Monto;
            return r;
        }
    } else if (!Monto(val_, monto, true, 15, r.monto)) {
        Rechaza(campos.codMonto);
        r.fallo = ResultadoGrupoC::Monto;
        return r;
    }
    SV pais = C(campos.pais);
    if (Ocurre(conPais_, c)) {
        if (!(pais.size() == 4 && Ocurre(paises_, pais))) {
            Rechaza("103");
            r.fallo = ResultadoGrupoC::Pais;
            return r;
        }
    } else if (!(Trim(pais).empty() && pais.size() <= 4)) {
        Rechaza("129");
        r.fallo = ResultadoGrupoC::Pais;
        return r;
    }
    if (!Monto(val_, C(campos.impuesto), false, 15, r.impuesto)) {
        Rechaza(campos.codImpuesto);
        r.fallo = ResultadoGrupoC::Impuesto;
        return r;
    }
    return r;
}

void VerificadorRegistros::GrupoD(int i) {
    if (desde201104_) {
        if (C(i).empty()) Rechaza("135");
    } else if (!C(i).empty()) {
        Rechaza("136");
    }
}

void VerificadorRegistros::GrupoE(int i, bool prueba152) {
    static constexpr const char* kAntes[kCamposNoDomiciliado] = {"169", "138", "140",
                                                                 "142", "144", "146"};
    // The six fields are all empty when their bars are side by side.
    const bool vacios = fines_[static_cast<std::size_t>(i + kDireccion)] -
                            fines_[static_cast<std::size_t>(i - 1)] ==
                        kCamposNoDomiciliado;
    if (antes201610_) {
        if (vacios) return;
        for (int j = 0; j < kCamposNoDomiciliado; ++j) {
            if (!C(i + j).empty()) {
                Rechaza(kAntes[j]);
                return;
            }
        }
        return;
    }
    if (vacios && !despues201701_) return;

    SV tipoDoc = Trim(C(kTipoDocumento));
    SV pais = Trim(C(kPaisDocumento));
    const bool califica =
        (tipoDoc == "04" || tipoDoc == "07" || tipoDoc == "00") && pais != "9589" && !pais.empty();
    if (!califica) {
        if (!prueba152) return;
        for (int j = 0; j < kCamposNoDomiciliado; ++j) {
            if (!C(i + j).empty()) {
                Rechaza("152");
                return;
            }
        }
        return;
    }

    SV ind = C(i + kIndicador), tipo = C(i + kTipoDocExtranjero), num = C(i + kNumDocExtranjero),
       fecha = C(i + kFechaNacimiento), tipoDir = C(i + kTipoDireccion), dir = C(i + kDireccion);
    const bool activo = ind == "1";
    // 1. Indicator.
    if (!(ind == "1" || ind == "0")) {
        Rechaza("167");
        return;
    }
    // Steps 2 to 5: a field given with the indicator "0" logs 168 and is then
    // checked as any given field is; a step that logged anything ends the block.
    // 2. Foreign document type.
    if (!tipo.empty()) {
        bool algo = false;
        if (!activo) {
            Rechaza("168");
            algo = true;
        }
        bool ok = tipo.size() == 2 && vb::IsNumeric(std::string_view(Texto(tipo))) &&
                  l_.existeTipoND && l_.existeTipoND("875", Texto(Trim(tipo)));
        if (!ok) {
            Rechaza("160");
            algo = true;
        }
        if (algo) return;
    } else if (activo) {
        Rechaza("137");
        return;
    }
    // 3. Foreign document number.
    if (!num.empty()) {
        bool algo = false;
        if (!activo) {
            Rechaza("168");
            algo = true;
        }
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
        bool algo = false;
        if (!activo) {
            Rechaza("168");
            algo = true;
        }
        if (tipo == "02") {
            Rechaza("149");
            algo = true;
        } else if (!val_.ValidaFechaRango(Texto(fecha), "01/01/1850", "01/01/2500")) {
            Rechaza("162");
            algo = true;
        }
        if (algo) return;
    } else if (activo && tipo != "02") {
        Rechaza("141");
        return;
    }
    // 5. Address type.
    if (!tipoDir.empty()) {
        bool algo = false;
        if (!activo) {
            Rechaza("168");
            algo = true;
        }
        if (!(l_.existeTipoND && l_.existeTipoND("876", Texto(Trim(tipoDir))))) {
            Rechaza("163");
            algo = true;
        }
        if (algo) return;
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

bool VerificadorRegistros::Caracteres(SV s) const {
    if (TieneEnie(s)) return val_.ValidaCaracteres(val_.ReemplazaEnie(Texto(Trim(s))));
    return val_.ValidaCaracteres(Texto(s));
}

void VerificadorRegistros::Cierra(const std::string& ruta, int arch) {
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

}  // namespace importacion::detalle
