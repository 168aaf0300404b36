// Record checks of the reversals file (18 fields). Each record is checked against
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

// What the checks of a reversals file give back (see TotalesMov), the totals
// by modality.
struct TotalesExt {
    std::string resultado;
    double dTotTupla = 0;
    vb::Currency dMto303, dMto323, dMto306, dMto326, dMto324, dMto403, dMto423, dMto424, dMto406,
        dMto426, dMto350, dMto450;
};

// The reversals file (see ImportoMov in import/movimientos.h).
TotalesExt ImportoExt(const EntornoImportacion& e, const Listas& l, const std::string& RutArc);
TotalesExt ImportoExt(const EntornoImportacion& e, const std::string& RutArc);

}  // namespace importacion
