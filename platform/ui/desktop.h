// Opening an address or the help file with the desktop's own handler.
#pragma once

#include <functional>
#include <string>

namespace ui {

// Asks the desktop to open the address. When no program can open it (the
// desktop's handler is missing or fails) a message titled `titulo` names it.
void AbreDireccion(const std::string& url, const std::string& titulo = {});

// Opens the program's help file, at the part of help context `contexto` when
// it is above 0. `ruta` may lack its extension: the file is also looked for in
// its folder by name, letter case aside. A help file that cannot be found, or
// that no program can open, gets a message titled `titulo`; the result is
// false only when the file was not found.
bool MuestraAyuda(const std::string& ruta, const std::string& titulo, int contexto = 0);

// The file MuestraAyuda would open; empty when there is none.
std::string BuscaArchivoAyuda(const std::string& ruta);

// Tests: called with the local file (and "#" and the help context, if any) or
// the address instead of the desktop handler.
void SetDesktopHook(std::function<void(const std::string&)> hook);

}  // namespace ui
