// makehost <folder>                          makes a host installation in <folder>
// makehost <folder> --send <ruc> <periodo>   sends a stored declaration, as the host does
#include <cstdio>
#include <exception>
#include <string>

#include "host/hostkit.h"
#include "jet/database.h"
#include "profile/profile.h"
#include "shell/cnumero.h"
#include "vb/error.h"

namespace {

int Uso() {
    std::fprintf(stderr,
                 "uso: makehost <carpeta>\n"
                 "     makehost <carpeta> --send <ruc> <periodo yyyymm>\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    profile::AnchorWindowsDirectory();
    // A first argument like "--help" is an option, never a folder to install in.
    if (argc < 2 || argv[1][0] == '-') return Uso();
    try {
        if (argc == 2) {
            hostkit::Instalacion inst = hostkit::CreaHost(argv[1]);
            std::printf("Instalación del QVX creada en %s\n", inst.carpeta.c_str());
            std::printf("  WINDIR          %s\n", inst.windows.c_str());
            std::printf("  KV000.INI       %s\n", inst.ini.c_str());
            std::printf("  SysPath         %s\n", inst.sysPath.c_str());
            std::printf("  base de datos   %s\n", inst.base.c_str());
            std::printf("  filas           %sparuzq.txt, %senvuzq.txt\n", inst.tmp.c_str(),
                        inst.tmp.c_str());
            return 0;
        }
        if (argc == 5 && std::string(argv[2]) == "--send") {
            hostkit::Instalacion inst = hostkit::Rutas(argv[1]);
            auto db = hostkit::AbreHost(inst);
            hostkit::Envio envio = hostkit::EnviaDeclaracion(*db, argv[3], argv[4]);
            db->Close();
            std::printf("Declaración %s %s enviada: correlativo %s, control %s, %d casillas\n",
                        argv[3], argv[4], envio.correl.c_str(), envio.control.c_str(),
                        envio.casillas);
            // KORAL assigns the order number later; a made-up one with the
            // check code the declaration form accepts for this control number
            // lets the sending be completed with "Registrar número de orden".
            const std::string periodo = argv[4];
            const std::string orden = "1" + periodo.substr(periodo.size() >= 4 ? 2 : 0, 4) +
                                      envio.correl;
            std::string control = envio.control;
            std::printf("  para registrarla: número de orden %s, código de verificación %s\n",
                        orden.c_str(), shell::GeneraCodigoVerificacion(control, orden).c_str());
            return 0;
        }
        return Uso();
    } catch (const vb::VbError& e) {
        std::fprintf(stderr, "makehost: error %d: %s\n", e.Number(), e.Description().c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "makehost: %s\n", e.what());
    }
    return 1;
}
