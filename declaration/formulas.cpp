#include "declaration/formulas.h"

namespace declaracion {

void Calcular307317(Declaracion&) {}
void Calcular327337(Declaracion&) {}
void Calcular312(Declaracion&) {}
void Calcular332(Declaracion&) {}
void CalcularImporteTotal(Declaracion&) {}
std::string SaldoaPagar(std::string_view, std::string_view, std::string_view) { return {}; }

}  // namespace declaracion
