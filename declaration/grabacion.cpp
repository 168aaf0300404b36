#include "declaration/grabacion.h"

namespace declaracion {

ResultadoGrabacion GrabarForm(jet::Database&, Declaracion&, const Entorno&, std::string) {
    return {};
}

}  // namespace declaracion
