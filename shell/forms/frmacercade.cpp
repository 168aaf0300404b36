#include "shell/forms/frmacercade.h"

#include <QGridLayout>
#include <QLabel>
#include <QStyle>

#include "shell/state.h"
#include "ui/pointer.h"

namespace shell::forms {

namespace {

// Room in pixels beyond the text, for the box's own inner margin and cursor.
constexpr int kHolgura = 8;

QLineEdit* Texto(QWidget* padre, const char* nombre, const QString& texto) {
    auto* t = new QLineEdit(texto, padre);
    t->setObjectName(QString::fromLatin1(nombre));
    t->setReadOnly(true);
    t->setFrame(false);
    return t;
}

}  // namespace

frmAcercade::frmAcercade(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAcercade"));
    setWindowTitle(QStringLiteral("Acerca de Telvarin "));
    auto* imagen = new QLabel(this);
    imagen->setObjectName(QStringLiteral("Image1"));
    imagen->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(48, 48));
    auto* producto = new QLabel(QStringLiteral("Telvarin"), this);
    producto->setObjectName(QStringLiteral("lblProducto"));
    QFont f = producto->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.5);
    producto->setFont(f);
    auto* formulario = new QLabel(QStringLiteral("Formulario 0787"), this);
    formulario->setObjectName(QStringLiteral("lblFormulario"));
    Text1 = Texto(this, "Text1", QString());
    txtVersion = Texto(this, "txtVersion", QString());
    Text2 = Texto(this, "Text2", QStringLiteral("Actualización al"));
    cmdAceptar = new QPushButton(QStringLiteral("&Aceptar"), this);
    cmdAceptar->setObjectName(QStringLiteral("cmdAceptar"));
    cmdAceptar->setDefault(true);

    auto* rejilla = new QGridLayout(this);
    rejilla->addWidget(imagen, 0, 0, 3, 1, Qt::AlignTop);
    rejilla->addWidget(producto, 0, 1);
    rejilla->addWidget(formulario, 1, 1);
    rejilla->addWidget(Text1, 2, 1);
    rejilla->addWidget(txtVersion, 3, 1);
    rejilla->addWidget(Text2, 4, 1);
    rejilla->addWidget(cmdAceptar, 5, 1, Qt::AlignRight);
    connect(cmdAceptar, &QPushButton::clicked, this, &frmAcercade::cmdAceptar_Click);
    Form_Load();
}

void frmAcercade::Form_Load() {
    const ProgramState& g = G();
    const QString version = QStringLiteral("Versión ") + QString::fromStdString(g.gsVersion);
    Text1->setText(version);
    txtVersion->setText(version);
    Text2->setText(Text2->text() + QStringLiteral(" ") + QString::fromStdString(g.gsFechaVersion));
    // Each box is wide enough for its whole text and shows it from its start.
    for (QLineEdit* t : {Text1, txtVersion, Text2}) {
        const QMargins m = t->textMargins() + t->contentsMargins();
        t->setMinimumWidth(t->fontMetrics().horizontalAdvance(t->text()) + m.left() + m.right() +
                           kHolgura);
        t->setCursorPosition(0);
    }
    ui::SetMousePointer(ui::vbDefault);
}

void frmAcercade::cmdAceptar_Click() {
    accept();
}

}  // namespace shell::forms
