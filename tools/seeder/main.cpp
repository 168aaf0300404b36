// seeder: prepares the host database for form 0787. Takes no arguments and
// ignores any it is given.
#include "tools/seeder/instalador.h"

int main() {
    seeder::Instalador instalador;
    return instalador.Main();
}
