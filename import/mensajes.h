// Inside the record checks: telling the user that a line could not be written
// to the error file. The error file's own functions are declared in
// import/registros.h.
#pragma once

#include "import/registros.h"

namespace vb {
class VbError;
}

namespace importacion::detalle {

// A write to the error file failed: the message box, then the form's frames
// are enabled again; the import goes on.
void AvisaFalloLog(const vb::VbError& err, const Entorno* entorno);

}  // namespace importacion::detalle
