// The host's report spool: every report file is registered as one SPOOL row,
// which gives the file its name in the report folder.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace jet {
class Database;
}

namespace shell {

// Adds the SPOOL row of a new report and returns its file name ("00000124.PRN",
// without folder): Secuencia is the highest of the same code + 1 ("000001"
// first), the file number the highest over every row of the table + 1. The
// maxima are read and the row added in one write transaction, so two programs
// registering at once never get the same name. Database errors pass to the
// caller (no row is added then); error 6 once the 8-digit series is used up.
std::string RegistraSpool(jet::Database& db, std::string_view usuario, std::string_view codRep,
                          std::int16_t tipDoc, std::string_view docId);

// The same over the program's database gdbBase and user gsUsuario.
std::string RegistraSpool(std::string_view codRep, std::int16_t tipDoc, std::string_view docId);

}  // namespace shell
