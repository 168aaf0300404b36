#include "shell/forms/combo.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPointer>

#include "shell/contribuyentes.h"

namespace shell::forms {

namespace {

QPointer<ui::BarradeEstadoQVX>& Barra() {
    static QPointer<ui::BarradeEstadoQVX> b;
    return b;
}

const char* kPropiedadAncho = "fdAnchoLista";

void FijaAnchoLista(QWidget* form, QComboBox* combo, int caracteres) {
    if (!combo) return;
    const long ancho = CalculaAnchoCaracter(form) * (caracteres - 2);
    // The window system ignores a negative width.
    if (ancho < 0) return;
    combo->setProperty(kPropiedadAncho, static_cast<int>(ancho));
    combo->view()->setMinimumWidth(static_cast<int>(ancho));
}

}  // namespace

void CargaComboContribuyentes(QComboBox* combo) {
    for (const std::string& item : ItemsContribuyentes()) {
        combo->addItem(QString::fromStdString(item));
    }
}

// Measured in the form's font rather than a platform stock font: the list is
// drawn in that font, so the width fits what the user sees.
long CalculaAnchoCaracter(QWidget* form) {
    static const QString letras =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const QFontMetrics fm(form ? form->font() : QApplication::font());
    return fm.horizontalAdvance(letras) / 52;
}

void AjustaAnchoCombo(QWidget* form, QComboBox* combo) {
    if (!combo) return;
    int m = 0;
    for (int i = 0; i < combo->count(); ++i)
        m = std::max(m, static_cast<int>(combo->itemText(i).size()));
    FijaAnchoLista(form, combo, m);
}

void FijaAnchoCombo(QWidget* form, QComboBox* combo, int n) {
    FijaAnchoLista(form, combo, n);
}

int AnchoListaCombo(QComboBox* combo) {
    const QVariant v = combo->property(kPropiedadAncho);
    return v.isValid() ? v.toInt() : -1;
}

void EnviaTab(const QString& s) {
    if (s != QLatin1String("TAB")) return;
    QWidget* foco = QApplication::focusWidget();
    if (!foco) return;
    QKeyEvent pulsa(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
    QKeyEvent suelta(QEvent::KeyRelease, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
    QApplication::sendEvent(foco, &pulsa);
    if (QApplication::focusWidget()) QApplication::sendEvent(QApplication::focusWidget(), &suelta);
}

ui::BarradeEstadoQVX* BarraEstado() {
    return Barra();
}

void FijaBarraEstado(ui::BarradeEstadoQVX* barra) {
    Barra() = barra;
}

void MuestraBarraEstado(const QString& ruc, const QString& razon, const QString& periodo,
                        const QString& formulario) {
    ui::BarradeEstadoQVX* b = Barra();
    if (!b) return;
    b->setEsruc(QStringLiteral("1"));
    b->setNumdoc(ruc);
    b->setRazonsocial(razon);
    b->setPeriodo_ejercicio(periodo);
    b->setFormulario(formulario);
}

}  // namespace shell::forms
