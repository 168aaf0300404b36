// seeder: prepares the host database for form 0787. Takes no arguments and
// ignores any it is given.
#include "profile/profile.h"
#include "tools/seeder/instalador.h"

int main() {
    profile::AnchorWindowsDirectory();
    // The settings folder when WINDIR is unset, shared with the main program.
    profile::SetDefaultSubfolder("form0787");
    seeder::Instalador instalador;
    return instalador.Main();
}
