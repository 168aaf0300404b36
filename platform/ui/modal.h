// Modal forms. A command unloads the form it is about to show, releases it,
// creates a fresh instance and shows it modally; it goes on when the form has
// closed. Tests put a hook in place of the modal loop to look at the form.
#pragma once

#include <QDialog>
#include <QPointer>
#include <functional>
#include <string>
#include <vector>

namespace ui {

// Called instead of the modal loop while installed; the form is shown and
// closed after the hook returns.
using ModalHook = std::function<void(QDialog*)>;
void SetModalHook(ModalHook hook);

// Shows the form modally and returns when it has closed (its result).
int ShowModal(QDialog* form);

// Unloads the form held in `slot` if it is loaded (closes it and destroys it).
void Unload(QPointer<QDialog>& slot);

// Opens a form as a fresh instance: unload the previous one, create a new one
// with `make`, show it modally; once it has closed the instance is released.
// Returns the form's result (0 when `make` gave nothing).
int ShowFresh(QPointer<QDialog>& slot, const std::function<QDialog*()>& make);

}  // namespace ui
