// frmModFor: the list of stored (CAB) or sent (HCAB) declarations of the
// user's taxpayers. "&Modificar" opens the chosen one in the declaration form;
// in delete mode (gnModo 3) "&Eliminar" removes it with all its rows.
#pragma once

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <cstdint>
#include <string>
#include <vector>

#include "shell/forms/modelorecordset.h"

namespace jet {
class Database;
}

namespace shell::forms {

// The statements that delete one declaration, in their order: boxes, header
// and, for a stored declaration, the control records of its data files; a
// sent one is told apart by its correlative.
std::vector<std::string> SentenciasEliminacion(bool enviadas, const std::string& ruc,
                                               const std::string& periodo,
                                               const std::string& formulario, std::int16_t semana,
                                               const std::string& correl);

// Runs them in one transaction: either every row goes or, when a statement
// fails, none does and the engine's error (vb::VbError) reaches the caller.
void EliminaDeclaracion(jet::Database& db, const std::vector<std::string>& sentencias);

class frmModFor : public QDialog {
    Q_OBJECT
    // F1 in the dialog opens the help at this context.
    Q_PROPERTY(int HelpContextID READ HelpContextID)
  public:
    explicit frmModFor(QWidget* parent = nullptr);
    ~frmModFor() override;

    int HelpContextID() const { return helpContext_; }

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    void Form_Load();
    void Form_Activate();
    void CmdOpciones_Click(int Index);
    void grdContrib_RowColChange();
    void MuestraBarra();
    void Elimina();
    void Abre();

    QGroupBox* fradecreg;
    QLabel* Label1;
    QLabel* LblAbrir;
    QPushButton* CmdOpciones[2];
    GridRecordset* grdContrib;
    ModeloRecordset* Dta1;
    int helpContext_ = 0;
};

// Registers the dialog under its name for the main window's commands.
void RegistraFrmModFor();

}  // namespace shell::forms
