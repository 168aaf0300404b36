// The formulas of the boxes: the balances of both columns, the total tax
// debt of each, the total amount to pay, and the sentence that compares a
// debt with the amount declared to pay. Amounts are read with Vale (numeric,
// parentheses negative), never compared as text.
#pragma once

#include <string>
#include <string_view>

#include "declaration/declaracion.h"

namespace declaracion {

// 307/317 from 302 - 306: positive to 307, zero or negative to 317 in
// parentheses (zero as "0"); 302 and 306 both empty empty both.
void Calcular307317(Declaracion& d);
// 327/337 from 322 - 326 - 350, the same way.
void Calcular327337(Declaracion& d);
// 312 := 307 - 317 - 308 - 309 - 310 + 311 - 351, "0" when not above 0,
// empty when all seven are empty.
void Calcular312(Declaracion& d);
// 332 from 327, 337, 328, 329, 330, 331, 352, the same way.
void Calcular332(Declaracion& d);
// Payment amount := 313 + 333 in display form; empty when both are empty or
// when the whole amount would need more than 15 characters.
void CalcularImporteTotal(Declaracion& d);

// Compares a debt with an amount to pay (the display texts of 312/313 or
// 332/333): the excess sentence when the amount is greater, the order of
// payment sentence when it is smaller, "" when equal or not numeric. An
// empty debt with an amount above 0 is an excess. Each sentence ends in a
// line feed.
std::string SaldoaPagar(std::string_view deuda, std::string_view pago, std::string_view mensaje);

}  // namespace declaracion
