#include "host/launcher/nexador.h"

int main(int argc, char** argv) {
    return launcher::Main(argc, argv);
}
