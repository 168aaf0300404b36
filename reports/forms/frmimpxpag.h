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
    // The report's number of pages, as the opener shows it in txtTotPaginas.
    void FijaTotalPaginas(const QString& paginas);

  protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

  private:
    void Aviso(const char* texto);

    // Controls, named as the form's own (their object names too; the buttons
    // as cmdAccion0 and cmdAccion1).
    QLineEdit* Text1;
    QLineEdit* txtTotPaginas;
    QGroupBox* Frame1;
    QLineEdit* txtPagDesde;
    QLineEdit* txtPagHasta;
    QPushButton* cmdAccion[2];
};

}  // namespace reportes::forms
