#include "import/forms/frmimportar.h"
#include "reports/forms/frmimprimir.h"
#include "shell/forms/arranque.h"

int main(int argc, char** argv) {
    // The commands of the main window open these forms by name.
    importacion::forms::RegistraFrmImportar();
    reportes::forms::RegistraFrmImprimir();
    return shell::forms::Main(argc, argv);
}
