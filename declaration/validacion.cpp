#include "declaration/validacion.h"

namespace declaracion {

std::optional<Mensaje> VerificaVersion(const Declaracion&, const Entorno&) { return std::nullopt; }
Resultado ValIdent(const Declaracion&, std::string_view, const Entorno&) { return {}; }
Resultado ValidaTodo(const Declaracion&, std::string_view, const Entorno&) { return {}; }
std::vector<std::string> ReglasCasillas(const Declaracion&, bool) { return {}; }

}  // namespace declaracion
