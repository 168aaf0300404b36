// cValidador: the family's validation component. One instance lives for the
// whole run; every operation answers one small question.
//
// Character classes:
// - ValidaCaracteres accepts exactly what the text-file filter keeps: blank,
//   ( ) , - . / digits : ; A-Z a-z | and the letter n with tilde (Ñ ñ).
// - ValidaAlfanumerico (document numbers other than a RUC) accepts letters
//   A-Z a-z Ñ ñ, digits, blank and the signs - . / (the ones seen in
//   passport and identity-card numbers); no field separators or brackets.
// Both take Ñ and ñ in UTF-8 and also as single Windows-1252 bytes, since raw
// lines of the data files may reach them undecoded.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "vb/datetime.h"

namespace validator {

class cValidador {
  public:
    // The file exists (a regular file; the path is resolved without regard to case).
    bool ExisteArchivo(std::string_view path) const;

    // Eleven digits whose last is the modulus-11 check digit of the first ten
    // (weights 2, 3, 4, 5, 6, 7, 2, 3, 4, 5 from the right).
    bool ValidaRuc(std::string_view ruc) const;

    // fecha is "DD/MM/YYYY" exactly, a real calendar date, and lies within
    // desde..hasta inclusive (both in the same shape; a malformed bound raises 5).
    bool ValidaFechaRango(std::string_view fecha, std::string_view desde,
                          std::string_view hasta) const;

    // Only letters, digits and the permitted signs (see above). Empty is true.
    bool ValidaAlfanumerico(std::string_view texto) const;

    // The key may be typed into an amount box: digits and Backspace (8).
    // Enter and everything else are refused, so the box moves the focus on.
    bool FiltraTecla(std::int16_t keyAscii) const;

    // A number: at least one digit, only digits, and (when decimales is true)
    // at most one decimal point. Blanks around it are allowed, no sign, no
    // grouping. Callers that must refuse surrounding blanks check them apart.
    bool ValidaNumero(std::string_view texto, bool decimales) const;

    // periodo is "MM/YYYY" exactly with a month 1-12, not before desde (same
    // shape; a malformed bound raises 5) and not after the month of hoy.
    bool ValidaPeriodo(std::string_view periodo, std::string_view desde, vb::Date hoy) const;

    // Only the characters the text-file filter keeps (see above). Empty is true.
    bool ValidaCaracteres(std::string_view texto) const;

    // "Ñ" becomes "N" and "ñ" becomes "n"; nothing else changes.
    std::string ReemplazaEnie(std::string_view texto) const;
};

}  // namespace validator
