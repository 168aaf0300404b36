// recapper: writes the summary of one generated declaration. The host passes
// the companion command line as one argument.
#include <string>

#include "profile/profile.h"
#include "tools/recapper/resumen.h"

int main(int argc, char** argv) {
    profile::AnchorWindowsDirectory();
    // The settings folder when WINDIR is unset, shared with the other programs.
    profile::SetDefaultSubfolder("form0787");
    std::string linea;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) linea += ' ';
        linea += argv[i];
    }
    recapper::Resumidor resumidor;
    return resumidor.Main(linea);
}
