#include "shell/avisos.h"

#include <cstdio>
#include <cstdlib>

namespace shell {

int AvisosConsola::MsgBox(const std::string& texto, int estilo, const std::string& titulo) {
    std::fprintf(stderr, "%s: %s\n", titulo.c_str(), texto.c_str());
    std::fflush(stderr);
    // Nobody can answer: take the first button.
    int botones = estilo & 7;
    if (botones == vbYesNo || botones == 3) return vbYes;
    return vbOK;
}

void AvisosConsola::Termina(int codigo) {
    std::fflush(stdout);
    std::fflush(stderr);
    std::exit(codigo);
}

namespace {
AvisosConsola& Consola() {
    static AvisosConsola consola;
    return consola;
}
Avisos* gAvisos = nullptr;
}  // namespace

Avisos& Aviso() {
    return gAvisos ? *gAvisos : Consola();
}

void FijaAvisos(Avisos* avisos) {
    gAvisos = avisos;
}

}  // namespace shell
