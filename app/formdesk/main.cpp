#include "declaration/forms/frm787.h"
#include "import/forms/frmimportar.h"
#include "shell/forms/arranque.h"

int main(int argc, char** argv) {
    // The commands of the main window open these forms by name.
    importacion::forms::RegistraFrmImportar();
    declaracion::forms::RegistraFrm787();
    return shell::forms::Main(argc, argv);
}
