// frmImprimir: the print dialog behind "&Imprimir" of both declaration menus.
// It lists the user's stored (or sent) declarations; for the chosen one it
// loads the boxes, registers a report file in the spool, writes the
// declaration report into it and previews it by page range or prints it.
#pragma once

#include <QDialog>
#include <QGroupBox>
#include <QPushButton>

#include "shell/forms/modelorecordset.h"

namespace reportes::forms {

class frmImprimir : public QDialog {
    Q_OBJECT
    // Read by the main window's F1 handling.
    Q_PROPERTY(int HelpContextID READ HelpContextID)
  public:
    explicit frmImprimir(QWidget* parent = nullptr);

    void Form_Load();
    void Form_Activate();
    void grdContrib_RowColChange();
    // 0 "&Preliminar", 1 "&Imprimir", 2 "&Salir".
    void CmdImprimir_Click(int indice);
    // The boxes and payment values of the current declaration.
    void CargarCasillas();
    int HelpContextID() const { return helpContext_; }

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    void Imprime(int indice);

    // Controls, named as the form's own (their object names too; the buttons
    // as CmdImprimir0 to CmdImprimir2).
    QPushButton* CmdImprimir[3];
    QGroupBox* Frame2;
    shell::forms::GridRecordset* grdContrib;
    shell::forms::ModeloRecordset* Dta1;

    int helpContext_ = 0;
    bool activado_ = false;
};

// Registers the dialog under the name the main window's commands open.
void RegistraFrmImprimir();

}  // namespace reportes::forms
