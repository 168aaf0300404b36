// frmAbrirEnv: the sent declarations (HCAB) of the user's taxpayers, every
// state of them; "&Registrar" opens the chosen one in the declaration form to
// record the order number that KORAL assigned to it.
#pragma once

#include <QDialog>
#include <string>

class QGroupBox;
class QLabel;
class QPushButton;
class QTableView;

namespace shell::forms {

class ModeloRecordset;

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
    void Form_Load();
    void Form_Activate();
    void CmdOpciones_Click(int Index);
    void grdContrib_RowColChange();
    std::string ArmaSql(const char* semana) const;
    std::string Columna(int col) const;
    int FilaActual() const;
    void IrAFila(int fila);
    void MuestraError(int numero, const std::string& descripcion);

    QGroupBox* Frame1;
    QLabel* Label1;
    QPushButton* CmdOpciones[2];
    QTableView* grdContrib;
    ModeloRecordset* DtaNew;
};

// Registers the dialog under its name for the main window's commands.
void RegistraFrmAbrirEnv();

}  // namespace shell::forms
