#include "ui/statbar.h"

namespace ui {

namespace {

QLabel* Panel(QStatusBar* barra, const char* nombre, int estirar) {
    auto* l = new QLabel(barra);
    l->setObjectName(QString::fromLatin1(nombre));
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setTextInteractionFlags(Qt::NoTextInteraction);
    barra->addPermanentWidget(l, estirar);
    return l;
}

}  // namespace

BarradeEstadoQVX::BarradeEstadoQVX(QWidget* parent) : QStatusBar(parent) {
    setSizeGripEnabled(false);
    lblDoc_ = Panel(this, "numdoc", 2);
    lblRazon_ = Panel(this, "razonsocial", 5);
    lblPeriodo_ = Panel(this, "periodo_ejercicio", 1);
    lblFormulario_ = Panel(this, "formulario", 1);
    lblSemana_ = Panel(this, "semana", 0);
    Pinta();
}

void BarradeEstadoQVX::setEsruc(const QString& v) {
    esruc_ = v;
    Pinta();
}
void BarradeEstadoQVX::setNumdoc(const QString& v) {
    numdoc_ = v;
    Pinta();
}
void BarradeEstadoQVX::setRazonsocial(const QString& v) {
    razonsocial_ = v;
    Pinta();
}
void BarradeEstadoQVX::setPeriodo_ejercicio(const QString& v) {
    periodo_ = v;
    Pinta();
}
void BarradeEstadoQVX::setFormulario(const QString& v) {
    formulario_ = v;
    Pinta();
}
void BarradeEstadoQVX::setSemana(const QString& v) {
    semana_ = v;
    Pinta();
}

void BarradeEstadoQVX::Pinta() {
    // The flag tells whether the number shown is a taxpayer number (RUC).
    const QString tipo =
        esruc_.trimmed() == QLatin1String("1") ? QStringLiteral("RUC: ") : QStringLiteral("Doc.: ");
    lblDoc_->setText(tipo + numdoc_);
    lblRazon_->setText(razonsocial_);
    lblPeriodo_->setText(QStringLiteral("Periodo: ") + periodo_);
    lblFormulario_->setText(QStringLiteral("Formulario: ") + formulario_);
    lblSemana_->setText(semana_);
    lblSemana_->setVisible(!semana_.isEmpty());
}

}  // namespace ui
