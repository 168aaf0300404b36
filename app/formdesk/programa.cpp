#include "programa.h"

#include "declaration/forms/frm787.h"
#include "import/forms/frmimportar.h"
#include "profile/profile.h"
#include "reports/forms/frmconsist.h"
#include "reports/forms/frmimprimir.h"
#include "shell/forms/arranque.h"
#include "shell/forms/frmabrirenv.h"
#include "shell/forms/frmmodfor.h"

namespace formdesk {

int Principal(int argc, char** argv) {
    profile::AnchorWindowsDirectory();
    // The commands of the main window open these forms by name.
    importacion::forms::RegistraFrmImportar();
    reportes::forms::RegistraFrmImprimir();
    shell::forms::RegistraFrmModFor();
    shell::forms::RegistraFrmAbrirEnv();
    reportes::forms::RegistraFrmConsist();
    declaracion::forms::RegistraFrm787();
    return shell::forms::Main(argc, argv);
}

}  // namespace formdesk
