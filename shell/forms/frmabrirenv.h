// frmAbrirEnv: the sent declarations (HCAB) of the user's taxpayers, every
// state of them; "&Registrar" opens the chosen one in the declaration form to
// record the order number that KORAL assigned to it.
#pragma once

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <string>

#include "shell/forms/modelorecordset.h"

namespace shell::forms {

class frmAbrirEnv : public QDialog {
    Q_OBJECT
    // F1 in the dialog opens the help at this context.
    Q_PROPERTY(int HelpContextID READ HelpContextID CONSTANT)
  public:
    explicit frmAbrirEnv(QWidget* parent = nullptr);

    int HelpContextID() const { return 1014; }

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    // The list's query, as load (week "a.semana") and activation ("A.SEMANA")
    // write it.
    std::string ArmaSql(const char* semana) const;
    void Form_Load();
    void Form_Activate();
    void grdContrib_RowColChange();
    void CmdOpciones_Click(int Index);
    // An error of activation or of a button, as the dialog reports it.
    void MuestraError(int numero, const std::string& descripcion);

    QGroupBox* Frame1;
    QLabel* Label1;
    QPushButton* CmdOpciones[2];
    GridRecordset* grdContrib;
    ModeloRecordset* DtaNew;
};

// Registers the dialog under its name for the main window's commands.
void RegistraFrmAbrirEnv();

}  // namespace shell::forms
