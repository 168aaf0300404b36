// sendcheck: checks a declaration's data files before it is sent. The host
// passes the companion command line as one argument.
#include <string>

#include "profile/profile.h"
#include "tools/sendcheck/verificacion.h"

int main(int argc, char** argv) {
    profile::AnchorWindowsDirectory();
    // The settings folder when WINDIR is unset, shared with the other programs.
    profile::SetDefaultSubfolder("form0787");
    std::string linea;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) linea += ' ';
        linea += argv[i];
    }
    sendcheck::VerificadorEnvio verificador;
    return verificador.Main(linea);
}
