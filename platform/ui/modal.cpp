#include "ui/modal.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>

namespace ui {

namespace {

// Enter on a command button that has the focus presses it, as Space does.
// Forms keep their buttons from becoming the window's default (Enter typed in
// a text box presses nothing), and such a button ignores Enter by itself.
class EnterPulsaBoton : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* objeto, QEvent* e) override {
        if (e->type() != QEvent::KeyPress) return false;
        auto* tecla = static_cast<QKeyEvent*>(e);
        if (tecla->key() != Qt::Key_Return && tecla->key() != Qt::Key_Enter) return false;
        if ((tecla->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
        auto* boton = qobject_cast<QPushButton*>(objeto);
        // A default button presses itself.
        if (!boton || boton->autoDefault() || boton->isDefault()) return false;
        if (!boton->isEnabled() || !boton->isVisible()) return false;
        if (!tecla->isAutoRepeat()) boton->click();
        return true;
    }
};

void InstalaEnterPulsaBoton() {
    static QPointer<EnterPulsaBoton> filtro;
    if (filtro || !qApp) return;
    filtro = new EnterPulsaBoton(qApp);
    qApp->installEventFilter(filtro);
}

ModalHook& Hook() {
    static ModalHook hook;
    return hook;
}

}  // namespace

void SetModalHook(ModalHook hook) {
    Hook() = std::move(hook);
}

int ShowModal(QDialog* form) {
    if (!form) return 0;
    InstalaEnterPulsaBoton();
    if (Hook()) {
        QPointer<QDialog> f(form);
        f->setWindowModality(Qt::ApplicationModal);
        f->show();
        // The hook may press the form's buttons, which can close it or even
        // destroy it; a form the hook leaves open is closed here.
        ModalHook hook = Hook();
        hook(f);
        if (!f) return 0;
        if (f->isVisible()) f->done(QDialog::Rejected);
        return f->result();
    }
    return form->exec();
}

void Unload(QPointer<QDialog>& slot) {
    if (slot) {
        QDialog* f = slot;
        slot = nullptr;
        f->hide();
        delete f;
    }
}

int ShowFresh(QPointer<QDialog>& slot, const std::function<QDialog*()>& make) {
    Unload(slot);
    QDialog* f = make ? make() : nullptr;
    if (!f) return 0;
    slot = f;
    const int r = ShowModal(f);
    Unload(slot);
    return r;
}

}  // namespace ui
