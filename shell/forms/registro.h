// Forms that the main window's commands open but that live in other parts of
// the program (the declaration pickers, the data-file form, the print dialog,
// the declaration form). Each part registers a factory under the form's name;
// a command whose form is not registered does nothing.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

namespace shell::forms {

using FabricaFormulario = std::function<QDialog*(QWidget* padre)>;

// Registers (or replaces, or with an empty factory removes) a form.
void RegistraFormulario(const std::string& nombre, FabricaFormulario fabrica);
bool FormularioRegistrado(const std::string& nombre);

// Opens the form as a fresh instance (unload the previous one, create, show
// modally) and returns when it has closed, with its result; 0 and nothing
// shown when the form is not registered.
int AbreFormulario(const std::string& nombre, QWidget* padre);

// Unloads the form if an instance of it is loaded.
void DescargaFormulario(const std::string& nombre);

}  // namespace shell::forms
