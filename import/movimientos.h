// Record checks of the movements file (16 fields). Each record is checked against
// the parameter catalogue and the rules of the declaration period; rejected
// records go with their messages to the error file beside the data file;
// accepted records are totalled apart for the declarant's own records and
// those of other holders.
#pragma once

#include <string>

#include "import/entorno.h"
#include "import/leelistas.h"
#include "vb/currency.h"

namespace importacion {

// What the checks of a movements file give back. `resultado` is "True" when
// no record was rejected and "False" otherwise; `dTotTupla` counts the
// accepted records.
struct TotalesMov {
    std::string resultado;
    double dTotTupla = 0;
    vb::Currency dMto402, dMto422, dMto302, dMto322;
};

// The movements file, with the lists given by the caller; the overload
// without them reads the catalogue.
TotalesMov ImportoMov(const EntornoImportacion& e, const Listas& l, const std::string& RutArc);
TotalesMov ImportoMov(const EntornoImportacion& e, const std::string& RutArc);

}  // namespace importacion
