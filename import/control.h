// Control records of validated data files (table EFCONTROL) and the
// declaration header that a complete import writes. They work on the current
// declaration of the program state (gsRuc, gsPeriodo, gsFormulario, gnSemana)
// and the program's database.
#pragma once

#include <string>

#include "vb/currency.h"

namespace importacion {

// Writes or rewrites the control record of the accepted data file Ruta.
// Database errors (3163 for a total too long for its column) reach the caller;
// the pending record is then abandoned.
void GraboControlF787(const std::string& Ruta, const std::string& sHash, double dNumTupla,
                      vb::Currency dMto302, vb::Currency dMto322, vb::Currency dMto306,
                      vb::Currency dMto326, vb::Currency dMto303, vb::Currency dMto323,
                      vb::Currency dMto324, vb::Currency dMto402, vb::Currency dMto422,
                      vb::Currency dMto403, vb::Currency dMto423, vb::Currency dMto424,
                      vb::Currency dMto406, vb::Currency dMto426, vb::Currency dMto350,
                      vb::Currency dMto450);

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
