#include "reports/forms/frmimpxpag.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>
#include <algorithm>

#include "reports/forms/frmpreview.h"
#include "reports/lector.h"
#include "shell/forms/combo.h"
#include "shell/state.h"
#include "ui/msgbox.h"
#include "vb/numeric.h"
#include "vb/strings.h"

namespace reportes::forms {

namespace {

// A page number as the fields are read; beyond the 16-bit range the last
// possible page stands for it (a range past the report's end shows its end).
std::int16_t Pagina(double valor) {
    return static_cast<std::int16_t>(std::clamp(valor, -32768.0, 32767.0));
}

}  // namespace

frmImpxPag::frmImpxPag(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmImpxPag"));

    Text1 = new QLineEdit(QStringLiteral("El reporte generado contiene          páginas."), this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    Text1->setFocusPolicy(Qt::NoFocus);
    Text1->setFrame(false);
    Text1->setMinimumWidth(Text1->fontMetrics().horizontalAdvance(Text1->text()) + 16);
    // The page count sits in the gap of the sentence.
    txtTotPaginas = new QLineEdit(Text1);
    txtTotPaginas->setObjectName(QStringLiteral("txtTotPaginas"));
    txtTotPaginas->setReadOnly(true);
    txtTotPaginas->setFocusPolicy(Qt::NoFocus);
    txtTotPaginas->setAlignment(Qt::AlignCenter);
    const QFontMetrics fm = Text1->fontMetrics();
    txtTotPaginas->setGeometry(
        fm.horizontalAdvance(QStringLiteral("El reporte generado contiene ")) + 4, 0,
        fm.horizontalAdvance(QStringLiteral("        ")), Text1->sizeHint().height());

    Frame1 = new QGroupBox(QStringLiteral("Imprimir por Páginas"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    txtPagDesde = new QLineEdit(Frame1);
    txtPagDesde->setObjectName(QStringLiteral("txtPagDesde"));
    txtPagHasta = new QLineEdit(Frame1);
    txtPagHasta->setObjectName(QStringLiteral("txtPagHasta"));
    auto* lblDesde = new QLabel(QStringLiteral("&Desde :"), Frame1);
    lblDesde->setBuddy(txtPagDesde);
    auto* lblHasta = new QLabel(QStringLiteral("&Hasta :"), Frame1);
    lblHasta->setBuddy(txtPagHasta);
    auto* rejilla = new QGridLayout(Frame1);
    rejilla->addWidget(lblDesde, 0, 0);
    rejilla->addWidget(txtPagDesde, 0, 1);
    rejilla->addWidget(lblHasta, 0, 2);
    rejilla->addWidget(txtPagHasta, 0, 3);
    for (QLineEdit* e : {txtPagDesde, txtPagHasta}) e->installEventFilter(this);

    const char* textos[2] = {"&Preliminar", "&Cancelar"};
    auto* botones = new QHBoxLayout;
    botones->addStretch();
    for (int i = 0; i < 2; ++i) {
        cmdAccion[i] = new QPushButton(QString::fromUtf8(textos[i]), this);
        cmdAccion[i]->setObjectName(QStringLiteral("cmdAccion%1").arg(i));
        cmdAccion[i]->setAutoDefault(false);
        connect(cmdAccion[i], &QPushButton::clicked, this, [this, i] { cmdAccion_Click(i); });
        botones->addWidget(cmdAccion[i]);
    }
    auto* caja = new QVBoxLayout(this);
    caja->addWidget(Text1);
    caja->addWidget(Frame1);
    caja->addLayout(botones);
    Form_Load();
}

void frmImpxPag::Form_Load() {
    txtPagDesde->setText(QStringLiteral("1"));
    txtPagHasta->setText(QStringLiteral("1"));
}

void frmImpxPag::FijaTotalPaginas(const QString& paginas) {
    txtTotPaginas->setText(paginas);
}

bool frmImpxPag::eventFilter(QObject* objeto, QEvent* evento) {
    if (evento->type() != QEvent::KeyPress || (objeto != txtPagDesde && objeto != txtPagHasta)) {
        return QDialog::eventFilter(objeto, evento);
    }
    auto* tecla = static_cast<QKeyEvent*>(evento);
    if (tecla->key() == Qt::Key_Return || tecla->key() == Qt::Key_Enter) {
        shell::forms::EnviaTab(QStringLiteral("TAB"));
        return true;
    }
    const QString t = tecla->text();
    // Keys that type nothing (arrows, Delete, Tab) are no key presses here.
    if (t.isEmpty() || tecla->key() == Qt::Key_Tab || tecla->key() == Qt::Key_Backtab) {
        return false;
    }
    const QChar c = t.at(0);
    const bool vale =
        t.size() == 1 && (c == QChar(8) || (c >= u'0' && c <= u'9') || c == u'.' || c == u' ');
    return !vale && tecla->key() != Qt::Key_Backspace;
}

void frmImpxPag::Aviso(const char* texto) {
    ui::MsgBox(texto, ui::vbCritical, windowTitle().toStdString());
}

void frmImpxPag::cmdAccion_Click(int indice) {
    if (indice == 1) {
        reject();
        return;
    }
    const std::string desde = vb::Trim(txtPagDesde->text().toStdString());
    const std::string hasta = vb::Trim(txtPagHasta->text().toStdString());
    if (desde.empty()) return Aviso("Ingrese página de inicio.");
    const double nDesde = vb::Val(desde);
    if (!(nDesde > 0)) return Aviso("Página inicial debe ser a partir de 1.");
    if (hasta.empty()) return Aviso("Ingrese página de Fin.");
    const double nHasta = vb::Val(hasta);
    if (nHasta < nDesde) return Aviso("Página final no puede ser menor que la página inicial.");
    shell::ProgramState& g = shell::G();
    g.gnPaginaDesde = Pagina(ValorRedondeado(desde));
    g.gnPaginaHasta = Pagina(ValorRedondeado(hasta));
    MuestraReporte(Tag, "Vprevia");
}

}  // namespace reportes::forms
