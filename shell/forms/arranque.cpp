#include "shell/forms/arranque.h"

#include <QApplication>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "profile/profile.h"
#include "shell/avisos.h"
#include "shell/conexion.h"
#include "shell/forms/mdifrm.h"
#include "shell/state.h"
#include "ui/display.h"
#include "ui/instance.h"
#include "ui/msgbox.h"
#include "ui/programa.h"
#include "ui/windows.h"
#include "validator/validator.h"

namespace shell::forms {

namespace {

// The program's name: the title of its boxes, its application object and print
// jobs, and its previous-instance lock. Its settings folder when WINDIR is unset.
constexpr const char* kPrograma = "formdesk";
constexpr const char* kCarpetaPropia = "form0787";

// The Qt-free services show their boxes through the window facade; ending
// the program leaves the process at once, as the system's End does.
class AvisosVentana : public Avisos {
  public:
    int MsgBox(const std::string& texto, int estilo, const std::string& titulo) override {
        return ui::MsgBox(texto, estilo, titulo);
    }
    void Termina(int codigo) override {
        std::fflush(nullptr);
        std::exit(codigo);
    }
};

}  // namespace

int Main(int argc, char** argv) {
    ui::SetProgramName(kPrograma);
    ui::SetAppTitle(kPrograma);
    profile::SetDefaultSubfolder(kCarpetaPropia);

    // Without a window system the boxes below go to standard error.
    ui::PrefiereX11();
    std::unique_ptr<QApplication> app;
    if (ui::QtPuedeArrancar()) {
        app = std::make_unique<QApplication>(argc, argv);
        // Qt takes the desktop's locale for the C library too; amounts are
        // written and read with a decimal point whatever the desktop says.
        std::setlocale(LC_NUMERIC, "C");
        QApplication::setApplicationName(QString::fromUtf8(kPrograma));
    } else {
        // The launcher check below cannot find a window either; say why first.
        std::fprintf(
            stderr, "%s\n",
            ui::MensajeSinPantalla("formdesk", "xvfb-run -a launcher, y formdesk desde su botón")
                .c_str());
    }

    ProgramState& g = G();
    ui::cWindows ventanas;
    static validator::cValidador validador;  // lives for the whole run
    g.goValidador = &validador;
    g.gnSemana = 0;

    if (!ventanas.CorreApp(kTituloLanzador)) {
        ui::MsgBox("Debe ejecutar este módulo desde el Nexador del QVX",
                   ui::vbCritical + ui::vbOKOnly, "Error al ejecutar el módulo");
        return 1;
    }
    if (ui::PrevInstance(kPrograma)) {
        ui::MsgBox("La Aplicación ya se encuentra en ejecución", ui::vbInformation + ui::vbOKOnly,
                   "Dornival");
        return 1;
    }
    if (!app) {
        // The launcher was found on a display Qt cannot use.
        ui::MsgBox("No se puede abrir la ventana principal: no hay pantalla disponible.",
                   ui::vbCritical, kPrograma);
        return 1;
    }

    static AvisosVentana avisos;
    FijaAvisos(&avisos);
    int codigo = 1;
    {
        MDIFrm principal;
        if (principal.MDIForm_Load()) {
            codigo = app->exec();
        }
    }
    CierraBaseDatos();
    FijaAvisos(nullptr);
    return codigo;
}

}  // namespace shell::forms
