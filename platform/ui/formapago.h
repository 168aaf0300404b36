// The family's payment-details control on the declaration form: payment type
// ("C" cheque, "E" cash, "XX" none chosen), bank code, cheque number, the
// amount to pay, and whether it takes input. All values are text.
#pragma once

#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QString>

namespace ui {

class FormaDePagoQVX : public QGroupBox {
    Q_OBJECT
    Q_PROPERTY(QString formapago READ formapago WRITE setFormapago)
    Q_PROPERTY(QString banco READ banco WRITE setBanco)
    Q_PROPERTY(QString numcheque READ numcheque WRITE setNumcheque)
    Q_PROPERTY(QString importe READ importe WRITE setImporte)
    Q_PROPERTY(QString habilitado READ habilitado WRITE setHabilitado)

  public:
    explicit FormaDePagoQVX(QWidget* parent = nullptr);

    QString formapago() const;
    QString banco() const { return txtBanco_->text(); }
    QString numcheque() const { return txtCheque_->text(); }
    QString importe() const { return txtImporte_->text(); }
    // "True" or "False", as the system writes a Boolean as text.
    QString habilitado() const;

    // Anything but "C" or "E" means no type chosen.
    void setFormapago(const QString& v);
    void setBanco(const QString& v) { txtBanco_->setText(v); }
    void setNumcheque(const QString& v) { txtCheque_->setText(v); }
    void setImporte(const QString& v) { txtImporte_->setText(v); }
    // "False" or "0" (any letter case, blanks aside) disables; anything else enables.
    void setHabilitado(const QString& v);

    // Lays the control out in two rows, for a form that has more width than
    // height for it: the type and the amount, then the bank and the cheque.
    void EnDosFilas();

  signals:
    // The user changed the type, the bank or the cheque number.
    void Cambio();

  private:
    void Habilita();

    QRadioButton* optCheque_;
    QRadioButton* optEfectivo_;
    QLineEdit* txtBanco_;
    QLineEdit* txtCheque_;
    QLineEdit* txtImporte_;
    QWidget* lblBanco_;
    QWidget* lblCheque_;
    QWidget* lblImporte_;
    bool habilitado_ = true;
};

}  // namespace ui
