// Sample data files for a host installation, as the program gendata writes
// them: for one taxpayer and period, a valid movements file and a valid
// reversals file named as the import expects ("0787" periodo ruc ".mov" and
// ".ext") in a folder, and, for the month after, a pair with faulty records of
// several kinds in <folder>/con_errores/ and a movements file with a repeated
// record in <folder>/duplicados/. The faulty files name another period so
// that they can be validated before or after the valid pair, whose header
// closes its own period to a second validation.
#pragma once

#include <string>

namespace gen {

// "yyyymm" of the month after a period.
std::string MesSiguiente(const std::string& periodo);

// The name of a data file of the period and RUC without its extension, the
// final point included.
std::string NombreDatos(const std::string& periodo, const std::string& ruc);

// Writes the sample files in carpeta with n records in each valid file. False
// when a file cannot be written.
bool EscribeMuestra(const std::string& carpeta, const std::string& ruc, const std::string& periodo,
                    long n);

}  // namespace gen
