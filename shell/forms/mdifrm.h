// The main window: an MDI frame with the menus, the toolbar and the family's
// status bar. Every command sets the current-command state and opens its form
// modally as a fresh instance.
#pragma once

#include <QAction>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QToolBar>
#include <functional>
#include <memory>
#include <string>

#include "ui/statbar.h"

namespace jet {
class Recordset;
}

namespace shell::forms {

class MDIFrm : public QMainWindow {
    Q_OBJECT
    // F1 opens the help at the context of the window that has the focus: any
    // window that has one offers it as this property.
    Q_PROPERTY(int HelpContextID READ HelpContextID)
  public:
    explicit MDIFrm(QWidget* parent = nullptr);
    ~MDIFrm() override;

    // The loading steps: place the frame, show it, read the settings, open
    // the database, and the rest. False when the program must end (the user
    // has been told why).
    bool MDIForm_Load();

    // Commands.
    void mnuModificar_Click();
    void mnuEliminar_Click();
    void mnuValidar_Click();
    void mnuImprimir_Click();
    void mnuSalir_Click();
    void mnuRegistrar_Click();
    void mnuEliminarE_Click();
    void mnuImprimirE_Click();
    void mnuPro_Click();
    void mnuBancos_Click();
    void mnuUit_Click();
    void mnuContenido_Click();
    void mnuAcerca_Click();
    void verificar_Click();
    // Buttons are numbered from 1.
    void Toolbar1_ButtonClick(int index);

    // Closes every open child window.
    void CierraFormularios();
    // Back to the frame's fixed place and size.
    void pCuadra();

    const std::string& HelpFile() const { return helpFile_; }
    int HelpContextID() const { return helpContext_; }

    // How the program ends after "&Salir" (the default quits the event loop).
    void FijaFin(std::function<void()> fin) { fin_ = std::move(fin); }

  protected:
    bool event(QEvent* e) override;
    void changeEvent(QEvent* e) override;
    bool eventFilter(QObject* objeto, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

  private:
    void CreaMenus();
    void CreaBarraHerramientas();
    void AbreConsulta(std::uint8_t tipo);
    void Termina();
    // A command runs to completion; a run-time error it does not handle is
    // reported and the main window goes on.
    void Ejecuta(void (MDIFrm::*comando)());

    // The family's status bar (object name BarradeEstadoQVX1); the forms
    // write it through BarraEstado().
    ui::BarradeEstadoQVX* BarradeEstadoQVX1;
    // The toolbar; its buttons are its actions Button1 to Button9.
    QToolBar* Toolbar1;
    // The client area the child windows live in (object name MDIClient).
    QMdiArea* mdi_;
    std::string helpFile_;
    int helpContext_ = 0;
    std::unique_ptr<jet::Recordset> rsError_;
    std::function<void()> fin_;
    bool terminando_ = false;
    // A return to the normal state is on its way (see changeEvent).
    bool aNormal_ = false;
};

// Places a form: normal state, then left, top, height and width in twips.
void PosicionaForm(QWidget* form, int left, int top, int height, int width);

// Reads the program's version row into gsVersion and gsFechaVersion.
void IniciaVersion();

// The address of the version-check page for a version and its date text.
inline constexpr const char* kServidorDescargas = "https://descargas.koral.example";
std::string DireccionVersion(const std::string& version, const std::string& fechaVersion);

// The run-time's report of an error nobody handled.
void MuestraErrorNoAtrapado(int numero, const std::string& descripcion);

}  // namespace shell::forms
