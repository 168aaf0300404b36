// The host's settings file KV000.INI (section "Options"): where the programs
// find their folders, the database and the host user.
#pragma once

#include <string>
#include <string_view>

namespace shell {

inline constexpr std::string_view kArchivoIni = "KV000.INI";
inline constexpr std::string_view kSeccionOpciones = "Options";

// One key of section "Options": a 255-character buffer, the characters the
// profile function copied, blanks trimmed at both ends. A missing key or file
// gives "".
std::string LeeOpcion(std::string_view clave);

// Fills gsSysPath, gsRutaBase (DBPath & DBName, nothing between), gsRutaRpt
// (gsSysPath & "RPT") and gsUsuario, and makes gsSysPath the current folder.
// An empty SysPath, or one that names no folder, cannot become the current
// folder: the user is told so and the program ends; the result is then false
// (seen only when the message interface does not end the process).
bool LeeConfiguracion();

}  // namespace shell
