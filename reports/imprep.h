// The declaration report: the taxpayer's one-page copy of the declaration
// chosen in the print dialog, written as a report mark-up file. Inputs: the
// box tables (CasillasImpresion()), the payment values gsBanco, gsNroCheque,
// gsEfectivo, and the current declaration (gsRuc, gsNombre, gsPeriodo,
// gsNumOrden, gsNumControl) of the program state; the file is gsArchivoRep;
// the bank names come from the parameter catalogue of gdbBase.
#pragma once

#include <cstdint>
#include <string>

namespace reportes {

struct ResultadoReporte {
    // The whole report reached its file. False after any error: the file
    // holds what was written before it.
    bool completo = true;
    int error = 0;  // the run-time error that cut the report short
};

// Writes the report of type gnTipoRep (2, the declaration report) into
// gsArchivoRep, with one copy and a width of 104 columns. Every run-time error
// is caught here and told as its number asks ("Impresión", critical icon):
// 20545, 482, 380 and any other number have a message, 53, 55 and 2055 none;
// then the report file is closed.
ResultadoReporte ImprimeReporte(const std::string& = {});

// Opens gsArchivoRep (created or truncated), writes the copies and closes it.
// Errors pass to the caller.
void ReporteDeclaracion(const std::string& = {});

// Writes the one-page layout into the open report file gnArchivoRep.
void ImprimeDeclaracion();

// The short name of a bank (list 004 of the catalogue), trimmed; empty text
// when no row has exactly that code.
std::string BuscaDescripcion(const std::string& codigo);

// n - Len(text) blanks and the text, when shorter than n; else the text whole.
std::string AlineaDerecha(const std::string& texto, std::int16_t n);

// A box value as the report prints it: thousands separators, negatives in
// parentheses, right-aligned in 15 characters (16 for a negative value, so the
// parenthesis stands one place right of the last digit of a positive amount);
// an empty value gives 15 blanks.
std::string TextoMonto(const std::string& valor);

}  // namespace reportes
