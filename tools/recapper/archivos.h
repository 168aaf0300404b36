// Whole files written so that no reader ever sees half of one and no two runs
// write into the same file: a new file is created exclusively (it must not
// exist yet) and a file replaced whole is written under a temporary name of
// its folder and renamed into place. Contents are UTF-8 lines, written in
// Windows-1252, each ended by CR LF.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace recapper {

// The lines joined as the file holds them (Windows-1252, CR LF after each).
std::string TextoArchivo(const std::vector<std::string>& lineas);

// Creates a file that did not exist, under the first name given by
// `nombre` (called again while the name is taken) in `carpeta`, writes
// `contenido` and returns its path. Errors: 76 folder missing, 70 refused,
// 75 other failures.
std::string CreaArchivoNuevo(const std::string& carpeta, const std::function<std::string()>& nombre,
                             const std::string& contenido);

// Replaces (or creates) `ruta` with `contenido`: written to a new temporary
// file of the same folder, then renamed over it. Same errors.
void ReemplazaArchivo(const std::string& ruta, const std::string& contenido);

// The bytes of a file; 53 when it does not exist.
std::string LeeArchivo(const std::string& ruta);

}  // namespace recapper
