// What the two declaration pickers (frmModFor and frmAbrirEnv) share: the
// frame with its label over the grid and the buttons CmdOpciones below it,
// and the current declaration as the grid's row gives it.
#pragma once

#include <QString>
#include <functional>

class QDialog;
class QGroupBox;
class QLabel;
class QPushButton;
class QWidget;

namespace shell::forms {

class GridRecordset;

// Lays the picker out: the frame, holding the label over the grid, above a
// row with the buttons CmdOpciones (made here: 0 `aceptar`, 1 "&Salir") at its
// right and `izquierda`, when there is one, at its left. A click on a button calls
// alPulsar with its index, a double click on the grid calls it with 0; a new
// current row of the grid calls alCambiarFila.
void ArmaSelector(QDialog* dialogo, QGroupBox* marco, QLabel* etiqueta, GridRecordset* grid,
                  QPushButton* (&botones)[2], const QString& aceptar, QWidget* izquierda,
                  const std::function<void(int)>& alPulsar,
                  const std::function<void()>& alCambiarFila);

// gsRuc, gsPeriodo ("yyyymm") and gsNombre from the grid's current row, whose
// first three columns are the taxpayer number, the period "mmyyyy" and the
// name.
void TomaDeclaracion(const GridRecordset& grid);

}  // namespace shell::forms
