#include "declaration/almacen.h"

namespace declaracion {

std::string Entero(std::string_view t) { return std::string(t); }
bool SeGuardaSinCambio(std::string_view) { return false; }
std::optional<std::string> ValorAlmacenado(std::string_view, std::string_view,
                                           std::string_view) {
    return std::nullopt;
}
Declaracion AbreDeclaracion(jet::Database&, const Clave& clave, const ModoApertura&) {
    return Declaracion(clave);
}
void CargoCasillas(jet::Database&, Declaracion&) {}
void CargarCab(jet::Database&, Declaracion&) {}
void CargaCasillasGrabadas(jet::Database&, Declaracion&) {}
bool GrabarCasilla(jet::Database&, const Clave&, std::string_view, std::string_view) {
    return false;
}
void GrabaCasillaParam(jet::Database&, const Clave&) {}
void GrabaCabecera(jet::Database&, const Declaracion&, std::string_view) {}
void GrabaEstado(jet::Database&, const Clave&, bool) {}
void BorraCasillas(jet::Database&, const Clave&) {}
void GrabaCasillas(jet::Database&, const Declaracion&) {}

}  // namespace declaracion
