// The About box, with the program version read at start-up.
#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

namespace shell::forms {

class frmAcercade : public QDialog {
    Q_OBJECT
  public:
    explicit frmAcercade(QWidget* parent = nullptr);

  private:
    void Form_Load();
    void cmdAceptar_Click();

    // Controls, named as the form's own (their object names too).
    QLineEdit* Text1;
    QLineEdit* txtVersion;
    QLineEdit* Text2;
    QPushButton* cmdAceptar;
};

}  // namespace shell::forms
