#include "host/launcher/nexador.h"
#include "profile/profile.h"

int main(int argc, char** argv) {
    profile::AnchorWindowsDirectory();
    return launcher::Main(argc, argv);
}
