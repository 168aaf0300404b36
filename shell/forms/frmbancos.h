// The look-up lists of the parameter catalogue: professions, banks, or the
// tax-unit values by date, as gnTipoConsulta asks. Read only.
#pragma once

#include <QDialog>
#include <QPushButton>
#include <QTableWidget>

namespace shell::forms {

class frmBancos : public QDialog {
    Q_OBJECT
  public:
    explicit frmBancos(QWidget* parent = nullptr);

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    void Form_Load();
    void Form_Activate();
    void CmdSalir_Click();

    // Controls, named as the form's own (their object names too).
    QTableWidget* grdBancos;
    QPushButton* CmdSalir;
};

}  // namespace shell::forms
