#include "ui/modal.h"

namespace ui {

namespace {

ModalHook& Hook() {
    static ModalHook hook;
    return hook;
}

}  // namespace

void SetModalHook(ModalHook hook) {
    Hook() = std::move(hook);
}

bool HasModalHook() {
    return static_cast<bool>(Hook());
}

int ShowModal(QDialog* form) {
    if (!form) return 0;
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
