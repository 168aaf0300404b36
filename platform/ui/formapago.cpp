#include "ui/formapago.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QLabel>

namespace ui {

namespace {

QLineEdit* Campo(QWidget* padre, const char* nombre, int largo) {
    auto* t = new QLineEdit(padre);
    t->setObjectName(QString::fromLatin1(nombre));
    if (largo > 0) t->setMaxLength(largo);
    return t;
}

}  // namespace

FormaDePagoQVX::FormaDePagoQVX(QWidget* parent)
    : QGroupBox(QStringLiteral("Forma de pago"), parent) {
    optCheque_ = new QRadioButton(QStringLiteral("Cheque"), this);
    optCheque_->setObjectName(QStringLiteral("optCheque"));
    optEfectivo_ = new QRadioButton(QStringLiteral("Efectivo"), this);
    optEfectivo_->setObjectName(QStringLiteral("optEfectivo"));
    // Both off means no type chosen, so the buttons are not exclusive by themselves.
    auto* grupo = new QButtonGroup(this);
    grupo->setExclusive(false);
    grupo->addButton(optCheque_);
    grupo->addButton(optEfectivo_);
    connect(grupo, &QButtonGroup::buttonToggled, this, [this](QAbstractButton* b, bool on) {
        if (!on) return;
        (b == optCheque_ ? optEfectivo_ : optCheque_)->setChecked(false);
        Habilita();
    });
    txtBanco_ = Campo(this, "txtBanco", 2);
    txtCheque_ = Campo(this, "txtCheque", 20);
    txtImporte_ = Campo(this, "txtImporte", 0);
    txtImporte_->setReadOnly(true);
    connect(optCheque_, &QRadioButton::clicked, this, &FormaDePagoQVX::Cambio);
    connect(optEfectivo_, &QRadioButton::clicked, this, &FormaDePagoQVX::Cambio);
    connect(txtBanco_, &QLineEdit::textEdited, this, &FormaDePagoQVX::Cambio);
    connect(txtCheque_, &QLineEdit::textEdited, this, &FormaDePagoQVX::Cambio);
    txtImporte_->setAlignment(Qt::AlignRight);

    lblBanco_ = new QLabel(QStringLiteral("Banco:"), this);
    lblCheque_ = new QLabel(QStringLiteral("Nro. cheque:"), this);
    lblImporte_ = new QLabel(QStringLiteral("Importe a pagar:"), this);
    auto* r = new QGridLayout(this);
    r->addWidget(optCheque_, 0, 0);
    r->addWidget(optEfectivo_, 0, 1);
    r->addWidget(lblBanco_, 1, 0);
    r->addWidget(txtBanco_, 1, 1);
    r->addWidget(lblCheque_, 2, 0);
    r->addWidget(txtCheque_, 2, 1);
    r->addWidget(lblImporte_, 3, 0);
    r->addWidget(txtImporte_, 3, 1);
    Habilita();
}

void FormaDePagoQVX::EnDosFilas() {
    delete layout();
    auto* r = new QGridLayout(this);
    r->setContentsMargins(6, 2, 6, 2);
    r->setVerticalSpacing(2);
    r->addWidget(optCheque_, 0, 0);
    r->addWidget(optEfectivo_, 0, 1);
    r->addWidget(lblImporte_, 0, 2);
    r->addWidget(txtImporte_, 0, 3);
    r->addWidget(lblBanco_, 1, 0);
    r->addWidget(txtBanco_, 1, 1);
    r->addWidget(lblCheque_, 1, 2);
    r->addWidget(txtCheque_, 1, 3);
    r->setColumnStretch(3, 1);
}

QString FormaDePagoQVX::formapago() const {
    if (optCheque_->isChecked()) return QStringLiteral("C");
    if (optEfectivo_->isChecked()) return QStringLiteral("E");
    return QStringLiteral("XX");
}

void FormaDePagoQVX::setFormapago(const QString& v) {
    const QString t = v.trimmed().toUpper();
    optCheque_->setChecked(t == QLatin1String("C"));
    optEfectivo_->setChecked(t == QLatin1String("E"));
    Habilita();
}

QString FormaDePagoQVX::habilitado() const {
    return habilitado_ ? QStringLiteral("True") : QStringLiteral("False");
}

void FormaDePagoQVX::setHabilitado(const QString& v) {
    const QString t = v.trimmed();
    habilitado_ =
        !(t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0 || t == QLatin1String("0"));
    Habilita();
}

void FormaDePagoQVX::Habilita() {
    optCheque_->setEnabled(habilitado_);
    optEfectivo_->setEnabled(habilitado_);
    // Bank and cheque number belong to a cheque.
    const bool cheque = habilitado_ && optCheque_->isChecked();
    txtBanco_->setEnabled(cheque);
    txtCheque_->setEnabled(cheque);
}

}  // namespace ui
