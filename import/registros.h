// Record checks of the two data files a declarant validates: the movements
// file (16 fields) and the reversals file (18 fields). Each record is checked
// against the parameter catalogue and the rules of the declaration period;
// rejected records go with their messages to the error file beside the data
// file; accepted records are totalled apart for the declarant's own records
// and those of other holders.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "vb/currency.h"

namespace validator {
class cValidador;
}

namespace importacion {

// The lists one file's checks read from the catalogue before the first line.
// Joined lists are kept as the catalogue gives them ("|01|02..."); membership
// is a substring search, as with the original lists.
struct Listas {
    std::array<std::string, 100> tiposDocumento;  // CadPar("044", "102" or "103")
    std::string tiposOperacion;                   // CadPar2("817"), reversals only
    std::string tiposMovimiento;                  // CadPar2("818")
    std::string codigosOperacion;                 // "819" / "312" (reversals: both joined)
    std::string modalidades;                      // CadPar2("820"), reversals only
    std::string paises;                           // CadPar2("976")
    // Existe_TipoND(catalogue, key) for "875" and "876".
    std::function<bool(std::string_view, std::string_view)> existeTipoND;
};

// What the importer needs from the current declaration and the program.
struct Entorno {
    std::string periodo;  // declaration period "yyyymm"
    std::string ruc;      // declarant's RUC
    const validator::cValidador* validador = nullptr;
    // Called every few milliseconds while a file is read, so the window system
    // can process its events.
    std::function<void()> procesaEventos;
    // A write to the error file failed: the message box has been shown; the
    // form enables its frames again.
    std::function<void()> habilitaMarcos;
};

// The lists could not be read from the catalogue: the file is not checked.
class ErrorCatalogo : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Reads the lists of one file kind ("MOV" or "EXT") from the catalogue of the
// program's database. Any fault becomes ErrorCatalogo with a clear text.
Listas LeeListas(std::string_view tipo, std::string_view periodo);

// The message GraboLog appends for a code ("" for a code not in the table).
std::string_view MensajeError(std::string_view codigo);

// Opens the file for appending (creating it) on the next free file number.
int Abroarchivo(std::string_view ArcPla);
// Appends the message of NumErr to Linea and writes Linea as one line to
// file number Filelog. A failed write shows its message box and calls
// `habilitaMarcos` of the environment when given.
void GraboLog(int Filelog, std::string& Linea, std::string_view NumErr,
              const Entorno* entorno = nullptr);

// Value kinds of VCad: "8" amount above zero, "11" amount of zero or more,
// "10" period of an operation. result receives the value or "".
void VCad(const validator::cValidador& val, std::string_view value, std::string_view kind,
          int maxLen, std::string_view opCode, std::string_view periodo, std::string& result);

// What a file's checks give back. `resultado` is "True" when no record was
// rejected and "False" otherwise; `dTotTupla` counts the accepted records.
struct TotalesMov {
    std::string resultado;
    double dTotTupla = 0;
    vb::Currency dMto402, dMto422, dMto302, dMto322;
};
struct TotalesExt {  // totals by modality
    std::string resultado;
    double dTotTupla = 0;
    vb::Currency dMto303, dMto323, dMto306, dMto326, dMto324, dMto403, dMto423, dMto424, dMto406,
        dMto426, dMto350, dMto450;
};

// The movements file, with the lists given by the caller; the overload
// without them reads the catalogue.
TotalesMov ImportoMov(const Entorno& e, const Listas& l, const std::string& RutArc);
TotalesMov ImportoMov(const Entorno& e, const std::string& RutArc);

// The reversals file (see ImportoMov).
TotalesExt ImportoExt(const Entorno& e, const Listas& l, const std::string& RutArc);
TotalesExt ImportoExt(const Entorno& e, const std::string& RutArc);

}  // namespace importacion
