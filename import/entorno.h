// What the data-file import needs from the current declaration and from the
// program around it, handed to the record checks of both file kinds.
#pragma once

#include <functional>
#include <string>

namespace validator {
class cValidador;
}

namespace importacion {

struct EntornoImportacion {
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

}  // namespace importacion
