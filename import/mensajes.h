// The error file beside a data file: the messages of its codes, the writing
// of its lines, and telling the user that a line could not be written.
#pragma once

#include <string>
#include <string_view>

#include "import/entorno.h"

namespace vb {
class VbError;
}

namespace importacion {

// The message GraboLog appends for a code ("" for a code not in the table).
std::string_view MensajeError(std::string_view codigo);

// Opens the file for appending (creating it) on the next free file number.
int Abroarchivo(std::string_view ArcPla);
// Appends the message of NumErr to Linea and writes Linea as one line to
// file number Filelog. A failed write shows its message box and calls
// `habilitaMarcos` of the environment when given.
void GraboLog(int Filelog, std::string& Linea, std::string_view NumErr,
              const EntornoImportacion* entorno = nullptr);

}  // namespace importacion

namespace importacion::detalle {

// A write to the error file failed: the message box, then the form's frames
// are enabled again; the import goes on.
void AvisaFalloLog(const vb::VbError& err, const EntornoImportacion* entorno);

}  // namespace importacion::detalle
