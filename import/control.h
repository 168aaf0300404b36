// Control records of validated data files (table EFCONTROL) and the
// declaration header that a complete import writes. They work on the current
// declaration of the program state (gsRuc, gsPeriodo, gsFormulario, gnSemana)
// and the program's database.
#pragma once

#include <string>

#include "import/movimientos.h"
#include "import/reversiones.h"
#include "vb/currency.h"

namespace importacion {

// Writes or rewrites the control record of the accepted data file Ruta with
// its record count and the totals of its checks: those of a movements file
// in `mov`, those of a reversals file in `ext` (the other kind's are zero).
// Database errors (3163 for a total too long for its column) reach the caller;
// the pending record is then abandoned.
void GraboControlF787(const std::string& Ruta, const std::string& sHash, double dNumTupla,
                      const TotalesMov& mov, const TotalesExt& ext);

// The submission table of a file kind: Nombre becomes the capitals of its last
// three characters; the result is tabla_d of ENVIO_T or "".
std::string NomEnv(std::string& Nombre);

// True when the current declaration has exactly two control records.
bool VerificoArch();

// The warning for the ticked kinds already validated, or "".
std::string VerificoTablaControl(bool movimientos, bool extornos);

// A total as whole units with the format "##############0": cents rounded to
// the nearest unit, halves upwards.
std::string FormatoTotal(vb::Currency c);

// A declaration header of the taxpayer, period and form exists in any week.
bool ExisteDeclaracion();
// Writes the declaration header with estado 9.
void GraboCabecera();
// Deletes the file when it exists; a failed deletion is ignored.
void BorroErr(const std::string& sArc);

}  // namespace importacion
