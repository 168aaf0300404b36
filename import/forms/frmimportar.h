// FrmImportar: the "Validar Archivos" form. The user picks the taxpayer, the
// period, the file kinds and one of the taxpayer's data files; "&Aceptar"
// checks the choices, imports the ticked files and, when the declaration then
// has both control records, writes its header.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <array>
#include <optional>
#include <string>

namespace importacion::forms {

// The folder list: the folders from the drive down to the one shown, then its
// subfolders; activating one (double click, space) shows it.
class ListaCarpetas : public QListWidget {
    Q_OBJECT
  public:
    explicit ListaCarpetas(QWidget* parent = nullptr);
    const std::string& Path() const { return path_; }
    // Points the list at a folder; false (nothing changed) when it cannot be read.
    bool SetPath(const std::string& path);
  signals:
    void Change();

  private:
    std::string path_;
};

// The file list: the files of a folder that match its pattern ("a;b", with
// * and ?, without regard to case), in name order.
class ListaArchivos : public QListWidget {
    Q_OBJECT
  public:
    explicit ListaArchivos(QWidget* parent = nullptr);
    void SetPattern(const std::string& pattern);
    const std::string& Pattern() const { return pattern_; }
    void SetPath(const std::string& path);
    const std::string& Path() const { return path_; }
    void Refresh();
    // The selected file's name, "" when none.
    std::string FileName() const;

  private:
    std::string pattern_ = "*.DJT";
    std::string path_;
};

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

    // Controls, named as the form's own.
    QGroupBox* fraDec;
    QComboBox* CmbRuc;
    QLineEdit* txtNombre;
    QLineEdit* mkePeriodo;
    std::array<QLabel*, 8> Label1{};
    QGroupBox* fraOpc;
    std::array<QCheckBox*, 5> chkOpc{};
    QGroupBox* fraArc;
    QComboBox* DrvLst;
    ListaCarpetas* DirList;
    ListaArchivos* flListaFiles;
    QPushButton* CmdGrabar;
    QPushButton* CmdCancelar;
    QGroupBox* fraBar;
    QProgressBar* pbar1;
    QLabel* lblbar1;

  protected:
    bool eventFilter(QObject* obj, QEvent* ev) override;
    void done(int r) override;

  private:
    QString PeriodoTexto() const;
    std::string unidad_;         // the drive shown before a change
    bool importando_ = false;    // Transferencia is running
    std::optional<int> cierre_;  // a close asked for while it ran
};

// The base name of a declaration's data files: the folder, a "/" unless it
// ends in one, and the chosen file's name without its extension, the point
// kept.
std::string NombreBase(const std::string& carpeta, const std::string& archivo);

// The drives of this system: "/" and the mounted volumes.
QStringList Unidades();

// Registers the form under "FrmImportar" with the main window's commands.
void RegistraFrmImportar();

}  // namespace importacion::forms
