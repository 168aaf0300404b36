// FrmConsist: the inconsistencies the declaration validation found, as its
// message log holds them (the file named by gsArchivoRep), shown and printed
// as a numbered list straight on the printer.
#pragma once

#include <QDialog>
#include <string>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace reportes::forms {

class FrmConsist : public QDialog {
    Q_OBJECT
  public:
    // Reads the log; an error reading it (vb::VbError, 53 for a missing
    // file) reaches whoever opens the form.
    explicit FrmConsist(QWidget* parent = nullptr);

    // Prints the list; errors are told to the user and the form stays open.
    void RepInconsist();

  private:
    void Form_Load();
    void pPosImprime(double x, double y, const std::string& texto, bool negrita, double tamano);
    void pImprimeCuadro(double x1, double y1, double x2, double y2);

    QLabel* Label1;
    QPlainTextEdit* TxtPreliminar;
    QPushButton* cmdImprimir;
    QPushButton* CmdGrabar;
};

// Registers the form under its name, for the validation that opens it.
void RegistraFrmConsist();

}  // namespace reportes::forms
