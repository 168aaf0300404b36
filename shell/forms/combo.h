// Window helpers the forms share: the taxpayer combo, the width of a combo's
// drop-down list, Enter as Tab, and the status bar of the main window.
#pragma once

#include <QComboBox>
#include <QString>
#include <QWidget>

#include "ui/statbar.h"

namespace shell::forms {

// Adds the taxpayers the host user may see, in the query's order (the combo
// is not emptied first).
void CargaComboContribuyentes(QComboBox* combo);

// Average width in pixels of the 52 letters in the form's font (whole division).
long CalculaAnchoCaracter(QWidget* form);

// Drop-down width: average character width times (longest item - 2); with
// FijaAnchoCombo, times (n - 2). A negative width leaves it unchanged.
void AjustaAnchoCombo(QWidget* form, QComboBox* combo);
void FijaAnchoCombo(QWidget* form, QComboBox* combo, int n);
// The width in pixels asked of the drop-down list by the last call (tests).
int AnchoListaCombo(QComboBox* combo);

// Moves the focus to the next control when s is exactly "TAB".
void EnviaTab(const QString& s);

// The status bar of the main window (null while there is none).
ui::BarradeEstadoQVX* BarraEstado();
void FijaBarraEstado(ui::BarradeEstadoQVX* barra);

// Writes esruc 1 and the four texts into the status bar.
void MuestraBarraEstado(const QString& ruc, const QString& razon, const QString& periodo,
                        const QString& formulario);

}  // namespace shell::forms
