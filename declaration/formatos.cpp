#include "declaration/formatos.h"

namespace declaracion {

bool vacio(std::string_view) { return true; }
std::optional<double> LeeImporte(std::string_view) { return std::nullopt; }
double Vale(int, std::string_view) { return 0; }
std::string Forma(std::string_view) { return {}; }
Grupo GrupoDe(int) { return Grupo::Otra; }
std::string TextoAlEntrar(int, std::string_view t) { return std::string(t); }
int LargoAlEntrar(int) { return 12; }
std::string TextoAlSalir(int, std::string_view t) { return std::string(t); }
int LargoAlSalir(int) { return 15; }
Tecla TeclaOrden(std::int16_t) { return Tecla::Rechaza; }
Tecla TeclaVerifica(std::int16_t) { return Tecla::Rechaza; }

}  // namespace declaracion
