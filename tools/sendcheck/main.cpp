// sendcheck: checks a declaration's data files before it is sent. The host
// passes the companion command line as one argument.
#include <string>

#include "tools/sendcheck/verificacion.h"

int main(int argc, char** argv) {
    std::string linea;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) linea += ' ';
        linea += argv[i];
    }
    sendcheck::Verificador verificador;
    return verificador.Main(linea);
}
