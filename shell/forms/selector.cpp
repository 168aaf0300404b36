#include "shell/forms/selector.h"

#include <QDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/forms/modelorecordset.h"
#include "shell/state.h"
#include "vb/strings.h"

namespace shell::forms {

void ArmaSelector(QDialog* dialogo, QGroupBox* marco, QLabel* etiqueta, GridRecordset* grid,
                  QPushButton* (&botones)[2], const QString& aceptar, QWidget* izquierda,
                  const std::function<void(int)>& alPulsar,
                  const std::function<void()>& alCambiarFila) {
    auto* dentro = new QVBoxLayout(marco);
    dentro->addWidget(etiqueta);
    dentro->addWidget(grid);

    const QString textos[2] = {aceptar, QStringLiteral("&Salir")};
    auto* fila = new QHBoxLayout;
    if (izquierda) fila->addWidget(izquierda);
    fila->addStretch();
    for (int i = 0; i < 2; ++i) {
        botones[i] = new QPushButton(textos[i], dialogo);
        botones[i]->setObjectName(QStringLiteral("CmdOpciones_%1").arg(i));
        // No button takes Enter as the dialog's default.
        botones[i]->setAutoDefault(false);
        fila->addWidget(botones[i]);
        QObject::connect(botones[i], &QPushButton::clicked, dialogo,
                         [alPulsar, i] { alPulsar(i); });
    }
    auto* caja = new QVBoxLayout(dialogo);
    caja->addWidget(marco);
    caja->addLayout(fila);

    QObject::connect(grid, &QTableView::doubleClicked, dialogo, [alPulsar] { alPulsar(0); });
    QObject::connect(grid->selectionModel(), &QItemSelectionModel::currentRowChanged, dialogo,
                     [alCambiarFila] { alCambiarFila(); });
}

void TomaDeclaracion(const GridRecordset& grid) {
    ProgramState& g = G();
    const std::string periodo = grid.Columna(2);
    g.gsRuc = vb::Trim(grid.Columna(0));
    g.gsPeriodo = vb::Right(periodo, 4) + vb::Left(periodo, 2);
    g.gsNombre = vb::Trim(grid.Columna(1));
}

}  // namespace shell::forms
