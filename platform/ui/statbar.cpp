#include "ui/statbar.h"

#include <QPainter>

namespace ui {

namespace {

// The name panel takes the room the other panels leave; a name longer than
// that ends in "..." on screen (its text and tool tip stay whole), so the
// number, period and form number are never the ones cut.
class PanelNombre : public QLabel {
  public:
    using QLabel::QLabel;
    QSize minimumSizeHint() const override {
        return {fontMetrics().averageCharWidth() * 4 + frameWidth() * 2,
                QLabel::minimumSizeHint().height()};
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        drawFrame(&p);
        const QRect r = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
        p.setPen(palette().color(foregroundRole()));
        p.drawText(r, static_cast<int>(alignment()),
                   fontMetrics().elidedText(text(), Qt::ElideRight, r.width()));
    }
};

QLabel* Panel(QStatusBar* barra, const char* nombre, int estirar, bool recorta = false) {
    QLabel* l = recorta ? new PanelNombre(barra) : new QLabel(barra);
    l->setObjectName(QString::fromLatin1(nombre));
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setTextInteractionFlags(Qt::NoTextInteraction);
    barra->addPermanentWidget(l, estirar);
    return l;
}

}  // namespace

BarradeEstadoQVX::BarradeEstadoQVX(QWidget* parent) : QStatusBar(parent) {
    setSizeGripEnabled(false);
    lblDoc_ = Panel(this, "numdoc", 0);
    lblRazon_ = Panel(this, "razonsocial", 1, true);
    lblPeriodo_ = Panel(this, "periodo_ejercicio", 0);
    lblFormulario_ = Panel(this, "formulario", 0);
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
    lblRazon_->setToolTip(razonsocial_);
    lblPeriodo_->setText(QStringLiteral("Periodo: ") + periodo_);
    lblFormulario_->setText(QStringLiteral("Formulario: ") + formulario_);
    lblSemana_->setText(semana_);
    lblSemana_->setVisible(!semana_.isEmpty());
}

}  // namespace ui
