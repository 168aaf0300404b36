// Checks of the whole declaration and of its identification data, with the
// message log "Mens.txt" that the inconsistency list shows. The checks show
// nothing themselves: they return the message boxes the form must show, in
// order, and what the form must do next.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "declaration/declaracion.h"

namespace validator {
class cValidador;
}

namespace declaracion {

// What the checks need from the running program. Empty members take the
// program's own: the validation component G().goValidador (a default one
// when none is set), shell::VerificaVersionArchivos over the current
// declaration of G(), and the program folder G().gsSysPath.
struct Entorno {
    const validator::cValidador* validador = nullptr;
    std::function<bool(std::string_view version)> verificaVersion;
    std::string sysPath;  // folder of Mens.txt, with its final separator
};

struct Resultado {
    bool ok = true;
    std::vector<Mensaje> avisos;      // to show, in this order
    std::vector<std::string> lineas;  // failures, in order (the log's lines in mode "0")
    bool vaAIdentificacion = false;   // the form switches to the identification tab
    bool muestraInconsistencias =
        false;  // after the avisos, show the inconsistency list of Mens.txt
};

// The version message of "&Grabar" and of the checks, when the declaration
// was saved by another version, or (no version stored) its data files were
// validated by another one. Nothing when the declaration may be saved.
std::optional<Mensaje> VerificaVersion(const Declaracion& d, const Entorno& e = {});

// Identification checks (RUC by the validation component, then the name).
// modo "0": every failure becomes a line; any other mode: the first failure
// becomes a critical message titled with the form's caption and ends the
// checks. G().gsMensaje holds the last failure.
Resultado ValIdent(const Declaracion& d, std::string_view modo, const Entorno& e = {});

// The whole declaration. tipo "0" (the "V&alidar" command): every rule runs,
// each failure is a line of the log G().gsArchivoRep = sysPath + "Mens.txt"
// (replaced whole, Windows-1252, CR LF), and the result ends with the
// all-clear message or muestraInconsistencias. tipo "2" (before saving): no
// log, no all-clear, the identification is not checked and the first failed
// rule ends the check. Both modes start with the version message (which ends
// the check, ok false) and the payment summary (SaldoaPagar of 312/313 and
// 332/333, information icon) when there is one. Log file errors are
// vb::VbError and reach the caller; the file is never left open.
Resultado ValidaTodo(const Declaracion& d, std::string_view tipo, const Entorno& e = {});

// The box and payment rules alone, in their order: the messages of the
// failed ones (stops after the first when primera is true).
std::vector<std::string> ReglasCasillas(const Declaracion& d, bool primera = false);

}  // namespace declaracion
