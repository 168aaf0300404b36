// Saving the declaration: header, boxes and final state in one transaction,
// or, for a sent declaration, its order number.
#pragma once

#include <string>
#include <vector>

#include "declaration/declaracion.h"
#include "declaration/validacion.h"

namespace jet {
class Database;
}

namespace declaracion {

struct ResultadoGrabacion {
    bool grabado = false;            // the rows were written (committed)
    bool consistente = false;        // estado 0 (all rules passed)
    std::vector<Mensaje> avisos;     // to show, in this order
    bool vaAIdentificacion = false;  // identification refused: to the identification tab
    bool focoVerifica = false;       // order number refused: focus to the check-code box
};

// The save of the "&Grabar" command and of the exit question.
// Normal mode: the identification checks (interactive; a failure writes
// nothing), then ValidaTodo("2") before anything is written (so no message
// box is open while the write runs), then in ONE transaction the header, the
// deletion of the stored boxes, every box and the final estado; then the
// completion message. The key's RUC becomes d.numRuc (and G().gsRuc). A
// database error rolls everything back and reaches the caller as vb::VbError:
// the previous declaration stays whole.
// Order-number mode (d.registraOrden): the order number must have 8
// characters or more and its check code must match; then norden and cNumero
// of the sent header. When no sent header matches, nothing is written and
// the result is a failure with a critical message instead of the completion
// message.
// hoy: date of processing "dd/mm/yyyy"; empty takes today's. On a completed
// save d.modificado is cleared; what follows (closing, or mode 2 and the
// identification shown again) is the form's.
ResultadoGrabacion GrabarForm(jet::Database& db, Declaracion& d, const Entorno& e = {},
                              std::string hoy = {});

}  // namespace declaracion
