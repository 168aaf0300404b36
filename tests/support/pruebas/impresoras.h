// No test reaches a printer of the machine it runs on: the print system is
// sent to look for its server at a socket in a scratch folder of the test,
// where nothing listens. What a test prints goes to the PDF file it names;
// a case that wants no printer finds none, whatever the machine has.
// Called before the application object is made: the print library keeps the
// first server it is told of for the rest of the process.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace pruebas {

inline void SinImpresoras() {
    struct Carpeta {
        std::string ruta;
        Carpeta() {
            const std::filesystem::path tmp = std::filesystem::temp_directory_path();
            std::string plantilla = (tmp / "sin-impresoras-XXXXXX").string();
            // Without a folder of its own, one that is never made.
            ruta = mkdtemp(plantilla.data()) != nullptr
                       ? plantilla
                       : (tmp / ("sin-impresoras-" + std::to_string(getpid()))).string();
        }
        ~Carpeta() {
            std::error_code e;
            std::filesystem::remove_all(ruta, e);
        }
    };
    static const Carpeta carpeta;
    setenv("CUPS_SERVER", (carpeta.ruta + "/cups.sock").c_str(), 1);
}

}  // namespace pruebas
