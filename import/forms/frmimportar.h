// FrmImportar: the "Validar Archivos" form. The user picks the taxpayer, the
// period, the file kinds and one of the taxpayer's data files; "&Aceptar"
// checks the choices, imports the ticked files and, when the declaration then
// has both control records, writes its header.
#pragma once

#include <QDialog>
#include <array>
#include <optional>
#include <string>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace ui {
class ListaArchivos;
class ListaCarpetas;
class ListaUnidades;
}  // namespace ui

namespace importacion::forms {

class FrmImportar : public QDialog {
    Q_OBJECT
    Q_PROPERTY(int HelpContextID READ HelpContextID CONSTANT)
  public:
    explicit FrmImportar(QWidget* parent = nullptr);
    ~FrmImportar() override;

    void Form_Load();
    void CmbRuc_Click();
    void mkePeriodo_Change();
    void chkOpc_Click();
    void DrvLst_Change();
    void DirList_Change();
    void CmdGrabar_Click();
    void CmdCancelar_Click();

    // The base text becomes the file-list pattern.
    void ArmaPatron(std::string& base);
    // "0787", the year and month of the period text and the chosen RUC.
    std::string TextoBase() const;
    int HelpContextID() const { return 1002; }

  protected:
    bool eventFilter(QObject* obj, QEvent* ev) override;
    void done(int r) override;

  private:
    class Vista;
    QString PeriodoTexto() const;

    // Controls, named as the form's own (their object names too; the control
    // arrays as name_index).
    QGroupBox* fraDec;
    QComboBox* CmbRuc;
    QLineEdit* txtNombre;
    QLineEdit* mkePeriodo;
    std::array<QLabel*, 8> Label1{};
    QGroupBox* fraOpc;
    std::array<QCheckBox*, 5> chkOpc{};
    QGroupBox* fraArc;
    ui::ListaUnidades* DrvLst;
    ui::ListaCarpetas* DirList;
    ui::ListaArchivos* flListaFiles;
    QPushButton* CmdGrabar;
    QPushButton* CmdCancelar;
    QGroupBox* fraBar;
    QProgressBar* pbar1;
    QLabel* lblbar1;

    bool importando_ = false;    // Transferencia is running
    std::optional<int> cierre_;  // a close asked for while it ran
};

// The base name of a declaration's data files: the folder, a "/" unless it
// ends in one, and the chosen file's name without its extension, the point
// kept.
std::string NombreBase(const std::string& carpeta, const std::string& archivo);

// Registers the form under "FrmImportar" with the main window's commands.
void RegistraFrmImportar();

}  // namespace importacion::forms
