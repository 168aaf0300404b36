// Opening an address or the help file with the desktop's own handler.
#pragma once

#include <functional>
#include <string>

namespace ui {

// Asks the desktop to open the address; the answer is not examined.
void AbreDireccion(const std::string& url);

// Opens the program's help file. `ruta` may lack its extension: the file is
// also looked for in its folder by name, letter case aside. A help file that
// cannot be found gets a message titled `titulo`; returns false then.
bool MuestraAyuda(const std::string& ruta, const std::string& titulo);

// The file MuestraAyuda would open; empty when there is none.
std::string BuscaArchivoAyuda(const std::string& ruta);

// Tests: called with the local file or address instead of the desktop handler.
void SetDesktopHook(std::function<void(const std::string&)> hook);

}  // namespace ui
