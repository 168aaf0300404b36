// Inside the record checks: the reading of one data file, line by line, and
// the check groups both file kinds share. The file walkers (movements and
// reversals) say which fields each group reads and what a record adds to the
// totals.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "import/campos.h"
#include "import/lista.h"
#include "import/entorno.h"
#include "import/leelistas.h"
#include "import/valores.h"
#include "shell/contribuyentes.h"
#include "vb/currency.h"

namespace importacion::detalle {

// Fields every record begins with (1-based, as the bars count them).
enum CampoComun : int { kTipoDocumento = 1, kNumeroDocumento = 2, kPaisDocumento = 3 };

// The six fields of the non-domiciled block, counted from its first.
enum CampoNoDomiciliado : int {
    kIndicador,
    kTipoDocExtranjero,
    kNumDocExtranjero,
    kFechaNacimiento,
    kTipoDireccion,
    kDireccion,
    kCamposNoDomiciliado
};

// Where group C finds its fields in one file kind, and the codes it logs.
struct CamposGrupoC {
    int monto;                // amount
    int pais;                 // country of the operation
    int impuesto;             // tax
    const char* codMonto;     // a bad amount
    const char* codImpuesto;  // a bad tax
};

// How group C ended: the field that failed, or Ok with the amount and the tax
// in ten-thousandths.
struct ResultadoGrupoC {
    enum Fallo { Ok, Monto, Pais, Impuesto } fallo = Ok;
    std::int64_t monto = 0;
    std::int64_t impuesto = 0;
};

class VerificadorRegistros {
  public:
    VerificadorRegistros(const EntornoImportacion& e, const Listas& l, bool reversos);

    // Reads the whole file and calls `registro` for each line with the right
    // number of fields; lines without the final bar or with another number of
    // fields are rejected here. A total that overflows rejects its line with
    // 126 and ends the reading. Returns "True" when no line was rejected,
    // "False" otherwise.
    std::string Recorre(const std::string& ruta, int nCampos,
                        const std::function<void()>& registro);

    // Field i (1-based) of the current record.
    SV C(int i) const {
        const std::uint32_t desde = fines_[static_cast<std::size_t>(i - 1)];
        return SV(linea_.data() + desde, fines_[static_cast<std::size_t>(i)] - 1 - desde);
    }

    // Logs the current line with the message of `codigo`; the file fails.
    void Rechaza(const char* codigo);

    // The declarant's own record: RUC type and the declarant's number.
    bool Propio() const { return C(kTipoDocumento) == "06" && C(kNumeroDocumento) == ruc_; }

    // Group A, document type, number and country. `n` receives the type's
    // number. False when the record was rejected.
    bool GrupoA(long& n);
    // Group B: true when movement type m is compatible with code c.
    static bool GrupoB(SV t, SV m, SV c, const Lista& l4, const Lista& l3);
    // Group C: amount, country of the operation and tax of code c.
    ResultadoGrupoC GrupoC(const CamposGrupoC& campos, SV c);
    // Group D: the accumulated amount in field i.
    void GrupoD(int i);
    // Group E: the non-domiciled block of six fields from field i. Without
    // prueba152 a record that does not qualify is not tested further.
    void GrupoE(int i, bool prueba152);

    static void Suma(vb::Currency& total, std::int64_t raw) { total += vb::Currency::FromRaw(raw); }

    const std::string& PeriodoDeclaracion() const { return periodo_; }
    const validator::cValidador& Validador() const { return val_; }
    const Lista& TiposOperacion() const { return tiposOp_; }
    const Lista& TiposMovimiento() const { return tiposMov_; }
    const Lista& Codigos() const { return codigos_; }
    const Lista& Modalidades() const { return modalidades_; }

  private:
    // A piece of the current line as the component takes it (UTF-8): the raw
    // bytes themselves when the line is plain ASCII.
    SV Utf(SV raw, std::string& buf) const { return altos_ ? TextoV(raw, buf) : raw; }
    // ValidaCaracteres, after replacing Ñ and ñ of the trimmed text.
    bool Caracteres(SV s) const;
    void Cierra(const std::string& ruta, int arch);

    const EntornoImportacion& e_;
    const Listas& l_;
    const validator::cValidador& val_;
    bool reversos_;
    std::string periodo_, ruc_;
    bool desde201104_ = false, antes201610_ = false, despues201701_ = false;
    std::array<shell::ReglaDocumento, 100> reglas_;
    const Lista& sinMonto_ = ListaFija(Fija::kSinMonto);
    const Lista& conPais_ = ListaFija(Fija::kConPais);
    Lista tiposOp_, tiposMov_, codigos_, modalidades_, paises_;

    int log_ = 0;
    bool fallo_ = false;
    SV linea_;
    std::string copia_;
    bool copiaLista_ = false;
    bool altos_ = true;
    FinesCampos fines_{};
    int nCampos_ = 0;
};

}  // namespace importacion::detalle
