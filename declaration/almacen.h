// The declaration store: header (CAB, or HCAB when sent) and boxes (DET,
// HDET) in the host database, read into a Declaracion and written from it.
// Every text value goes into SQL through jet::Q. Database errors are
// vb::VbError with the engine's numbers and reach the caller.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "declaration/declaracion.h"

namespace jet {
class Database;
}

namespace declaracion {

// ---- Value encodings ----------------------------------------------------------

// Whole-number rule of stored amounts ("###########0"): a text that reads as
// a number ("1,234", "(1,234)", "-1234.6") becomes the rounded whole number
// with a leading minus and no separators ("1234", "-1234", "-1235"); any
// other text ("C", "E", "XX", a date) comes back unchanged.
std::string Entero(std::string_view texto);

// The boxes stored as given (002, 005, 012, 025, 028, 721, 790, 871).
bool SeGuardaSinCambio(std::string_view casilla);

// The I_VALOR a box is stored with, or nothing when it has no row: empty,
// "________" or "__/__/____" values; boxes 300, 301, 320 and 321 from period
// "201710" on.
std::optional<std::string> ValorAlmacenado(std::string_view periodo, std::string_view casilla,
                                           std::string_view valor);

// ---- Opening --------------------------------------------------------------------

// How the declaration is opened (the current command's flags).
struct ModoApertura {
    bool enviadas = false;       // works on sent declarations: no control-record totals
    bool registraOrden = false;  // order-number registration: HCAB/HDET with correl
    std::string numOrden;        // stored order number (gsNumOrden)
    std::string numControl;      // control number of the sending (gsNumControl)
};

// The whole data side of opening: control-record totals (unless enviadas),
// payment data and order number from the header, the 200403 layout's closed
// boxes emptied, the stored boxes, the four balances; in order-number mode
// the check code when the stored order number has 8 characters or more.
// The result is not loading and not modified. A stored box code without a box
// on the form, or a stored amount that is no number, leaves that box alone.
Declaracion AbreDeclaracion(jet::Database& db, const Clave& clave, const ModoApertura& modo);

// AbreDeclaracion for the current declaration of the program state, as the
// pickers leave it: G().gnSemana := 0; key from gsRuc, gsPeriodo,
// gsFormulario, gsCorrel; mode from gbEnviadas, gbRegistraOrden, gsNumOrden,
// gsNumControl; the name from gsNombre.
Declaracion AbreDeclaracionActual(jet::Database& db);

// The steps, in the order AbreDeclaracion runs them.
void CargoCasillas(jet::Database& db, Declaracion& d);  // EFCONTROL totals
// Payment data, order number, and the rectification option from the
// header's rectifica (a stored box 871 read later still decides).
void CargarCab(jet::Database& db, Declaracion& d);
void CargaCasillasGrabadas(jet::Database& db, Declaracion& d);  // DET or HDET rows

// ---- Writing ----------------------------------------------------------------------

// Writes box casilla of the declaration (adds or updates its row with
// idcasilla, estado 0 and a fresh cNumero). False, writing nothing, when
// ValorAlmacenado gives nothing. No transaction of its own.
bool GrabarCasilla(jet::Database& db, const Clave& clave, std::string_view casilla,
                   std::string_view valor);

// Writes the box that the version parameter (856 of the form) names, with
// its version date unchanged. Nothing when the parameter names no box.
void GrabaCasillaParam(jet::Database& db, const Clave& clave);

// Header: adds or updates the CAB row with fec_pro (hoy, "dd/mm/yyyy"), the
// payment columns, rectifica, and cNumero; estado 9 for a new row.
void GrabaCabecera(jet::Database& db, const Declaracion& d, std::string_view hoy);
// Sets estado (0 consistent, 9 not) and cNumero of the existing CAB row.
void GrabaEstado(jet::Database& db, const Clave& clave, bool consistente);
// Deletes every DET row of the declaration.
void BorraCasillas(jet::Database& db, const Clave& clave);
// Writes the boxes of the saved list, then 015/012 (cheque), 599, 002, 007,
// 721, 598 and the version-parameter box, in this order.
void GrabaCasillas(jet::Database& db, const Declaracion& d);

}  // namespace declaracion
