// frmImpxPag: asks which pages of a freshly written report to preview, stores
// them as the page range in force and shows the report through the previewer;
// it stays open for another range until the user cancels.
#pragma once

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <string>

namespace reportes::forms {

class frmImpxPag : public QDialog {
    Q_OBJECT
  public:
    explicit frmImpxPag(QWidget* parent = nullptr);

    void Form_Load();
    // 0 previews the range, 1 closes the dialog.
    void cmdAccion_Click(int indice);

    // The report file's name in the report folder, set by the opener.
    std::string Tag;

    // Controls, named as the form's own.
    QLineEdit* Text1;
    QLineEdit* txtTotPaginas;
    QGroupBox* Frame1;
    QLineEdit* txtPagDesde;
    QLineEdit* txtPagHasta;
    QPushButton* cmdAccion[2];

  protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

  private:
    void Aviso(const char* texto);
};

}  // namespace reportes::forms
