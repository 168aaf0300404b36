#include "declaration/forms/frm787.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QPalette>
#include <QTabBar>
#include <algorithm>
#include <tuple>

#include "declaration/almacen.h"
#include "declaration/casillas.h"
#include "declaration/formatos.h"
#include "declaration/grabacion.h"
#include "declaration/validacion.h"
#include "shell/cnumero.h"
#include "shell/forms/registro.h"
#include "shell/state.h"
#include "ui/msgbox.h"
#include "ui/pointer.h"
#include "ui/twips.h"
#include "validator/validator.h"
#include "vb/error.h"
#include "vb/numeric.h"
#include "vb/strings.h"

namespace declaracion::forms {
namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}
std::string S(const QString& s) {
    return s.toStdString();
}

constexpr int Px(int twips) {
    return twips / ui::kTwipsPorPixel;
}
void Pon(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(Px(left), Px(top), Px(width), Px(height));
}
void Arriba(QWidget* w, int top) {
    w->move(w->x(), Px(top));
}

// Frames of the box tab, twips: the grids, and the columns inside them from
// the left edge of the description column to the right edge of the
// retention column. How that room is shared is measured (Columnas).
constexpr int kMarcoLeft = 120, kMarcoWidth = 8980, kMarcoHeight = 3500;
constexpr int kColIzquierda = 60, kColDerecha = 8920;
constexpr int kColHeight = 3360;
// The row descriptions keep at least this much before the boxes' letter is
// made narrower (twips).
constexpr int kDescripcionMinima = 3600;
// A row description stands this far in from its column's left edge and ends
// this far before the box numbers (twips).
constexpr int kSangriaDescripcion = 60, kHolguraDescripcion = 60;
// Rows stand 240 twips apart: a box is never taller than its row.
constexpr int kAltoMaximo = 225;

// A closed box or field keeps its value readable: the style's own disabled
// text all but vanishes, the more so on a grey background.
void Legible(QWidget* w) {
    QPalette p = w->palette();
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(0x40, 0x40, 0x40));
    w->setPalette(p);
}

// The background of a box or field, open or closed.
void Fondo(QWidget* w, const QColor& c) {
    QPalette p = w->palette();
    p.setColor(QPalette::Base, c);
    p.setColor(QPalette::Disabled, QPalette::Base, c);
    w->setPalette(p);
    Legible(w);
}

// A row description too long for its place is set narrower, then smaller,
// so that it is read whole.
void Ajusta(QLabel* e) {
    e->ensurePolished();  // the font the label is drawn with
    QFont letra = e->font();
    const int ancho = e->width();
    const auto cabe = [&] { return QFontMetrics(letra).horizontalAdvance(e->text()) <= ancho; };
    if (!cabe()) letra.setStretch(QFont::SemiCondensed);
    if (!cabe()) letra.setStretch(QFont::Condensed);
    while (!cabe() && letra.pointSizeF() > 6) letra.setPointSizeF(letra.pointSizeF() - 0.5);
    if (letra != e->font()) e->setFont(letra);
}

// The longest texts a box shows when it does not have the focus: a large
// amount of 15 digits; one in parentheses of 12; any other box that takes the
// focus, 12; a box the system fills, an import total or a balance of 15
// digits in parentheses, or a total debt of 16 (a 15-digit balance plus a
// 15-digit interest). Each digit is the letter's widest.
int AnchoMasLargo(const QFontMetrics& fm) {
    QChar ancha = u'0';
    for (char16_t d = u'1'; d <= u'9'; ++d)
        if (fm.horizontalAdvance(QChar(d)) > fm.horizontalAdvance(ancha)) ancha = QChar(d);
    int ancho = 0;
    for (const char* t : {"999,999,999,999,999", "(999,999,999,999)", "999,999,999,999",
                          "(999,999,999,999,999)", "9,999,999,999,999,999"})
        ancho = std::max(ancho, fm.horizontalAdvance(QString::fromLatin1(t).replace(u'9', ancha)));
    return ancho;
}

// The columns of a box grid, pixels: the description column, then the
// own-account and retention columns, each a number label and a box.
struct Columnas {
    int descripcion;   // width of the description column
    int izquierda[2];  // left edge of the own-account and retention columns
    int ancho;         // width of each of those two
    int etiqueta;      // width of a box's number label
    int caja;          // width of a box; it stands after its label and a gap
    static constexpr int kHueco = 2;
};

}  // namespace

Frm787::Frm787(QWidget* parent) : QDialog(parent) {
    Construye();
    Form_Load();
}

Frm787::~Frm787() = default;

std::string Frm787::Titulo() const {
    return S(windowTitle());
}

void Frm787::Construye() {
    setObjectName(QStringLiteral("Frm787"));
    setWindowTitle(Q(std::string(kTituloForm)));
    QFont letra = font();
    letra.setPointSize(8);
    setFont(letra);

    tab0787 = new QTabWidget(this);
    tab0787->setObjectName(QStringLiteral("tab0787"));
    Pon(tab0787, 60, 60, 9495, 5880);
    tabIdent = new QWidget;
    tabIdent->setObjectName(QStringLiteral("tabIdent"));
    tabDeterm = new QWidget;
    tabDeterm->setObjectName(QStringLiteral("tabDeterm"));
    tab0787->addTab(tabIdent, QString::fromUtf8("&Identificación"));
    tab0787->addTab(tabDeterm, QString::fromUtf8("&Determinación del Impuesto"));
    ConstruyeIdentificacion();
    ConstruyeCasillas();

    static const char* kBotones[3] = {"V&alidar", "&Grabar", "&Salir"};
    for (int i = 0; i < 3; ++i) {
        auto* b = new QPushButton(QString::fromUtf8(kBotones[i]), this);
        b->setObjectName(QStringLiteral("Cmdgeneral_%1").arg(i));
        b->setAutoDefault(false);
        Pon(b, 5535 + 1320 * i, 6030, 1215, 375);
        connect(b, &QPushButton::clicked, this, [this, i] { Cmdgeneral_Click(i); });
        Cmdgeneral[static_cast<std::size_t>(i)] = b;
    }
    TxtAyuda1 = new QLabel(this);
    TxtAyuda1->setObjectName(QStringLiteral("TxtAyuda1"));
    Pon(TxtAyuda1, 120, 6030, 5300, 240);
    TxtAyuda = new QLabel(this);
    TxtAyuda->setObjectName(QStringLiteral("TxtAyuda"));
    Pon(TxtAyuda, 120, 6300, 5300, 240);

    connect(tab0787, &QTabWidget::currentChanged, this, [this](int) {
        const int previo = tabPrevio_;
        tabPrevio_ = tab0787->currentIndex();
        tab0787_Click(previo);
    });
}

void Frm787::ConstruyeIdentificacion() {
    auto etiqueta = [](QWidget* padre, const char* t, int l, int top, int w) {
        auto* e = new QLabel(QString::fromUtf8(t), padre);
        Pon(e, l, top, w, 285);
        return e;
    };
    fraDatos = new QGroupBox(QString::fromUtf8("Datos básicos del Contribuyente"), tabIdent);
    fraDatos->setObjectName(QStringLiteral("fraDatos"));
    Pon(fraDatos, 240, 360, 8880, 1560);
    etiqueta(fraDatos, "RUC :", 240, 360, 1400);
    TxtNumRuc = new QLineEdit(fraDatos);
    TxtNumRuc->setObjectName(QStringLiteral("TxtNumRuc"));
    Pon(TxtNumRuc, 1800, 330, 1800, 315);
    CmbRuc = new QComboBox(fraDatos);
    CmbRuc->setObjectName(QStringLiteral("CmbRuc"));
    Pon(CmbRuc, 1800, 330, 6000, 315);
    etiqueta(fraDatos, "Razón Social :", 240, 750, 1400);
    TxtRazon = new QLineEdit(fraDatos);
    TxtRazon->setObjectName(QStringLiteral("TxtRazon"));
    Pon(TxtRazon, 1800, 720, 6600, 315);
    etiqueta(fraDatos, "Periodo :", 240, 1140, 1400);
    mkePeriodo = new QLineEdit(fraDatos);
    mkePeriodo->setObjectName(QStringLiteral("mkePeriodo"));
    mkePeriodo->setInputMask(QStringLiteral("99/9999;_"));
    Pon(mkePeriodo, 1800, 1110, 1000, 315);

    fraRectifica = new QGroupBox(QStringLiteral("Rectificatoria"), tabIdent);
    fraRectifica->setObjectName(QStringLiteral("fraRectifica"));
    Pon(fraRectifica, 240, 2040, 8880, 1080);
    etiqueta(fraRectifica, "¿La presente declaración rectifica o sustituye a otra?", 240, 300,
             6000);
    static const char* kOpciones[2] = {"&No", "&Si"};
    for (int i = 0; i < 2; ++i) {
        auto* o = new QRadioButton(QString::fromUtf8(kOpciones[i]), fraRectifica);
        o->setObjectName(QStringLiteral("OptRectifica_%1").arg(i));
        Pon(o, 1800 + 1500 * i, 660, 1200, 285);
        connect(o, &QRadioButton::clicked, this, [this, i] { OptRectifica_Click(i); });
        OptRectifica[static_cast<std::size_t>(i)] = o;
    }
    OptRectifica[0]->setChecked(true);

    frmOrden = new QGroupBox(QString::fromUtf8("Número de Orden"), tabIdent);
    frmOrden->setObjectName(QStringLiteral("frmOrden"));
    Pon(frmOrden, 240, 3240, 4200, 900);
    txtOrden = new CajaTexto(frmOrden);
    txtOrden->setObjectName(QStringLiteral("txtOrden"));
    txtOrden->setMaxLength(10);
    Pon(txtOrden, 240, 360, 1800, 315);
    auto* guion = etiqueta(frmOrden, "--", 2130, 375, 300);
    guion->setObjectName(QStringLiteral("lblGuion"));
    txtVerifica = new CajaTexto(frmOrden);
    txtVerifica->setObjectName(QStringLiteral("txtVerifica"));
    txtVerifica->setMaxLength(2);
    Pon(txtVerifica, 2490, 360, 600, 315);
    frmOrden->setVisible(false);

    txtOrden->FijaFiltro([this](int k) {
        shell::G().gbOrdenModificado = true;
        switch (TeclaOrden(static_cast<std::int16_t>(k))) {
            case Tecla::Pasa:
                return k;
            case Tecla::SiguienteCampo:
                txtVerifica->setFocus(Qt::TabFocusReason);
                return 0;
            case Tecla::Rechaza:
                break;
        }
        return 0;
    });
    txtVerifica->FijaFiltro(
        [](int k) { return TeclaVerifica(static_cast<std::int16_t>(k)) == Tecla::Pasa ? k : 0; });
    for (CajaTexto* c : {txtOrden, txtVerifica}) {
        connect(c, &CajaTexto::BotonPulsado, this, [](int b) {
            if (b == 2) VaciaPortapapeles();
        });
        connect(c, &CajaTexto::TeclaAbajo, this, [](int key, int shift) {
            if (key == Qt::Key_Insert && shift == 1) VaciaPortapapeles();
        });
    }
    connect(mkePeriodo, &QLineEdit::textChanged, this, [this] { d_.modificado = true; });
    // Shown, never typed: the declaration's taxpayer and period.
    for (QWidget* w : {static_cast<QWidget*>(TxtNumRuc), static_cast<QWidget*>(TxtRazon),
                       static_cast<QWidget*>(mkePeriodo)})
        Legible(w);
}

void Frm787::ConstruyeCasillas() {
    // Each box wide enough to show the longest amount it can hold, whole,
    // when the focus is elsewhere; the descriptions take the rest, and are
    // set narrower where they need it (Ajusta). A letter so wide that the
    // descriptions would keep too little gives the boxes a narrower face of
    // the same family, then a smaller one.
    int margenCaja = 0;  // the box's width beyond what it gives its text
    {
        CajaTexto sonda(this);
        sonda.resize(200, Px(kAltoMaximo));
        sonda.ensurePolished();
        margenCaja = sonda.width() - sonda.AnchoTexto();
    }
    const int etiqueta = fontMetrics().horizontalAdvance(QStringLiteral("000")) + 1;
    const auto mide = [&](const QFont& letra) {
        Columnas c{};
        c.etiqueta = etiqueta;
        // One pixel more: the line edit lays its text out with room for the cursor.
        c.caja = AnchoMasLargo(QFontMetrics(letra)) + 1 + margenCaja;
        c.ancho = c.etiqueta + Columnas::kHueco + c.caja + 1;
        c.izquierda[1] = Px(kColDerecha) - c.ancho;
        c.izquierda[0] = c.izquierda[1] - c.ancho;
        c.descripcion = c.izquierda[0] - Px(kColIzquierda);
        return c;
    };
    QFont letraCajas = font();
    Columnas col = mide(letraCajas);
    if (col.descripcion < Px(kDescripcionMinima)) {
        letraCajas.setStretch(QFont::Condensed);
        col = mide(letraCajas);
    }
    while (col.descripcion < Px(kDescripcionMinima) && letraCajas.pointSizeF() > 6) {
        letraCajas.setPointSizeF(letraCajas.pointSizeF() - 0.5);
        col = mide(letraCajas);
    }

    lblTitulo = new QLabel(QStringLiteral("DATOS DEL PERIODO"), tabDeterm);
    lblTitulo->setObjectName(QStringLiteral("lblTitulo"));
    lblTitulo->setAlignment(Qt::AlignCenter);
    QFont negrita = lblTitulo->font();
    negrita.setBold(true);
    lblTitulo->setFont(negrita);
    Pon(lblTitulo, 120, 90, 8700, 285);
    static const char* kCabeceras[2] = {"              Cta Propia", "                Retenciones"};
    for (int i = 0; i < 2; ++i) {
        auto* c = new QLabel(QString::fromUtf8(kCabeceras[i]), tabDeterm);
        c->setObjectName(QStringLiteral("Text1_%1").arg(i));
        c->setGeometry(Px(kMarcoLeft) + col.izquierda[i], Px(480), col.ancho, Px(285));
        Text1[static_cast<std::size_t>(i)] = c;
    }

    // Each grid: a frame holding a description frame on the left, an
    // own-account frame and a retention frame.
    // The inner frames are borderless: plain containers, which keep the
    // form's font (a style sheet would put the application's back).
    auto grilla = [this, &col](const char* nombre, std::array<QWidget*, 3>& marcos) {
        auto* f = new QGroupBox(tabDeterm);
        f->setObjectName(QString::fromLatin1(nombre));
        Pon(f, kMarcoLeft, kTopMarcos, kMarcoWidth, kMarcoHeight);
        static const char* kCol[3] = {"Desc", "Propia", "Reten"};
        const int top[3] = {kTopMarcoDescripcion, kTopMarcoColumnas, kTopMarcoColumnas};
        const int left[3] = {Px(kColIzquierda), col.izquierda[0], col.izquierda[1]};
        const int width[3] = {col.descripcion, col.ancho, col.ancho};
        for (std::size_t i = 0; i < 3; ++i) {
            auto* c = new QWidget(f);
            c->setObjectName(QString::fromLatin1(nombre) + QString::fromLatin1(kCol[i]));
            c->setGeometry(left[i], Px(top[i]), width[i], Px(kColHeight));
            marcos[i] = c;
        }
        return f;
    };
    fraActual = grilla("fraActual", fraActualCol);
    fraAnterior = grilla("fraAnterior", fraAnteriorCol);

    for (const Descripcion& d : Descripciones()) {
        QWidget* marco = d.marco == Marco::Anterior ? fraAnteriorCol[0] : fraActualCol[0];
        auto* e = new QLabel(Q(d.texto), marco);
        e->setObjectName(QStringLiteral("txtdescas_%1").arg(d.indice));
        // Indented in its column, and clear of the box numbers after it.
        e->setGeometry(Px(kSangriaDescripcion), Px(d.top),
                       col.descripcion - Px(kSangriaDescripcion) - Px(kHolguraDescripcion),
                       Px(225));
        Ajusta(e);
        txtdescas[d.indice] = e;
    }
    const QColor cara = palette().color(QPalette::Button);
    for (const declaracion::Casilla& k : Casillas()) {
        std::array<QWidget*, 3>& marcos =
            k.marco == Marco::Anterior ? fraAnteriorCol : fraActualCol;
        QWidget* padre = k.columna == Columna::Retencion ? marcos[2] : marcos[1];
        auto* num = new QLabel(QString::number(k.numero), padre);
        num->setObjectName(QStringLiteral("txtnumcas_%1").arg(k.numero));
        num->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        const int alto = std::min(k.height, kAltoMaximo);
        num->setGeometry(0, Px(k.labelTop), col.etiqueta, Px(alto));
        txtnumcas[k.numero] = num;
        auto* c = new CajaTexto(padre);
        c->setObjectName(QStringLiteral("txtValor_%1").arg(k.numero));
        c->setAlignment(Qt::AlignRight);
        c->setProperty("Tag", QString::number(k.numero));
        if (letraCajas != font()) c->setFont(letraCajas);
        c->setGeometry(col.etiqueta + Columnas::kHueco, Px(k.top), col.caja, Px(alto));
        if (k.bloqueada) {
            c->setReadOnly(true);
            c->setFocusPolicy(Qt::ClickFocus);
            Fondo(c, cara);
        }
        // The designed view: the two-fortnight layout; hidden boxes never show.
        const bool visible = k.marco != Marco::Oculto && Visible(k.numero, Diseno::DosQuincenas);
        num->setVisible(visible);
        c->setVisible(visible);
        txtValor[k.numero] = c;
        Conecta(k.numero);
    }
    if (auto it = txtValor.find(303); it != txtValor.end()) it->second->setEnabled(false);
    // Tab walks down the own-account column, then down the retention column.
    std::vector<const declaracion::Casilla*> orden;
    for (const declaracion::Casilla& k : Casillas())
        if (k.marco != Marco::Oculto) orden.push_back(&k);
    std::stable_sort(orden.begin(), orden.end(), [](const auto* a, const auto* b) {
        return std::tuple(a->marco, a->columna, a->fila) <
               std::tuple(b->marco, b->columna, b->fila);
    });
    for (std::size_t i = 1; i < orden.size(); ++i)
        QWidget::setTabOrder(txtValor.at(orden[i - 1]->numero), txtValor.at(orden[i]->numero));

    vsVertical = new QScrollBar(Qt::Vertical, tabDeterm);
    vsVertical->setObjectName(QStringLiteral("vsVertical"));
    vsVertical->setRange(0, 1);
    vsVertical->setPageStep(1);
    Pon(vsVertical, kMarcoLeft + kMarcoWidth + 30, kTopMarcos, 255, kMarcoHeight);
    connect(vsVertical, &QScrollBar::valueChanged, this, [this](int v) { Subeframe(v); });

    FormaDePagoQVX1 = new ui::FormaDePagoQVX(tabDeterm);
    FormaDePagoQVX1->setObjectName(QStringLiteral("FormaDePagoQVX1"));
    FormaDePagoQVX1->EnDosFilas();
    // Payment data typed by the user is an edit the exit question asks about.
    connect(FormaDePagoQVX1, &ui::FormaDePagoQVX::Cambio, this, [this] { d_.modificado = true; });
    // Below the grids, as high as its two rows need.
    Pon(FormaDePagoQVX1, 120, 4350, 9015, 900);
    FormaDePagoQVX1->resize(
        FormaDePagoQVX1->width(),
        std::max(FormaDePagoQVX1->height(), FormaDePagoQVX1->sizeHint().height()));
}

void Frm787::Conecta(int n) {
    CajaTexto* c = txtValor.at(n);
    c->FijaFiltro([this, n](int k) { return txtValor_KeyPress(n, k); });
    connect(c, &CajaTexto::Entra, this, [this, n] { txtValor_GotFocus(n); });
    connect(c, &CajaTexto::Sale, this, [this, n] { txtValor_LostFocus(n); });
    connect(c, &QLineEdit::textChanged, this, [this, n] { txtValor_Change(n); });
    connect(c, &CajaTexto::BotonPulsado, this, [this, n](int b) {
        tagActual_ = S(txtValor.at(n)->property("Tag").toString());  // Click: untrimmed
        if (b == 2) VaciaPortapapeles();
    });
    connect(c, &CajaTexto::TeclaAbajo, this, [](int key, int shift) {
        if (key == Qt::Key_Insert && shift == 1) VaciaPortapapeles();
    });
}

CajaTexto* Frm787::Caja(int n) const {
    auto it = txtValor.find(n);
    if (it == txtValor.end()) vb::Raise(340);
    return it->second;
}

bool Frm787::Bloqueada(int n) const {
    return Caja(n)->isReadOnly();
}

// ---------------------------------------------------------------------------
// Layout

void Frm787::Descasilla(int box) {
    CajaTexto* c = Caja(box);
    c->clear();
    c->setEnabled(false);
    Fondo(c, palette().color(QPalette::Button));
    c->setReadOnly(true);
}

void Frm787::CasQuincena() {
    if (auto it = txtdescas.find(306); it != txtdescas.end()) it->second->setVisible(false);
    for (int n : {300, 301, 320, 321}) txtnumcas.at(n)->setVisible(false);
    for (int n : {300, 320, 301, 321}) Caja(n)->setVisible(false);
    for (int n : {353, 373}) {
        txtnumcas.at(n)->setVisible(true);
        Caja(n)->setVisible(true);
    }
    Arriba(fraActualCol[0], kTopMarcoDescripcionUnPeriodo);
    Arriba(fraActualCol[1], kTopMarcoColumnasUnPeriodo);
    Arriba(fraActualCol[2], kTopMarcoColumnasUnPeriodo);
    for (int n : {353, 373}) {
        Arriba(txtnumcas.at(n), kTop353UnPeriodo);
        Arriba(Caja(n), kTop353UnPeriodo);
    }
    if (auto it = txtdescas.find(305); it != txtdescas.end()) {
        it->second->setText(Q(std::string(kTextoDescripcion305UnPeriodo)));
        Ajusta(it->second);
        Arriba(it->second, kTopDescripcion305UnPeriodo);
    }
}

void Frm787::DesTodo() {
    const QColor gris(0xC0, 0xC0, 0xC0);
    for (int n : ListaGrabar()) {
        CajaTexto* c = Caja(n);
        c->setEnabled(false);
        Fondo(c, gris);
    }
    mkePeriodo->setEnabled(false);
    Fondo(mkePeriodo, gris);
    Fondo(TxtRazon, gris);
    OptRectifica[0]->setEnabled(false);
    OptRectifica[1]->setEnabled(false);
    frmOrden->setVisible(true);
    txtOrden->setVisible(true);
    Fondo(TxtNumRuc, gris);
    Cmdgeneral[0]->setEnabled(false);
    FormaDePagoQVX1->setHabilitado(QStringLiteral("False"));
}

void Frm787::Subeframe(int posicion) {
    if (posicion != 0) {
        lblTitulo->setText(QStringLiteral("DATOS DE PERIODOS ANTERIORES"));
        fraActual->setVisible(false);
        fraAnterior->setVisible(true);
    } else {
        lblTitulo->setText(QStringLiteral("DATOS DEL PERIODO"));
        fraActual->setVisible(true);
        fraAnterior->setVisible(false);
    }
}

// ---------------------------------------------------------------------------
// Opening

void Frm787::Form_Load() {
    auto& g = shell::G();
    g.gnSemana = 0;
    Arriba(fraActual, kTopMarcos);
    Arriba(fraAnterior, kTopMarcos);
    fraAnterior->setVisible(false);
    sRuc = g.gsRuc;
    FormaDePagoQVX1->setFormapago(QStringLiteral("XX"));
    tab0787->setCurrentIndex(0);
    grabarAlSalir_ = false;
    g.gbCargando = true;
    // Left 0, top 0, 9615 twips wide and 6900 high.
    move(0, 0);
    setFixedSize(Px(9615), Px(6900));

    if (!g.gdbBase) vb::Raise(91);
    try {
        d_ = AbreDeclaracionActual(*g.gdbBase);
    } catch (...) {
        g.gbCargando = false;  // the load ends here, for whoever opened the form
        throw;
    }
    d_.cargando = true;

    CargaIdent();
    const Diseno diseno = DisenoDe(g.gsPeriodo);
    if (diseno == Diseno::Inicial) {
        Descasilla(309);
        Descasilla(329);
        vsVertical->setVisible(false);
    } else if (diseno == Diseno::UnPeriodo) {
        CasQuincena();
    }
    MuestraCasillas();
    if (!d_.numRuc.empty()) TxtNumRuc->setText(Q(d_.numRuc));
    ActivaBotonesForm("871", d_.rectifica ? "1" : "0");
    FormaDePagoQVX1->setFormapago(Q(d_.pago.tipo));
    FormaDePagoQVX1->setBanco(Q(d_.pago.banco));
    FormaDePagoQVX1->setNumcheque(Q(d_.pago.cheque));
    FormaDePagoQVX1->setImporte(Q(d_.pago.importe));
    version_ = d_.version;

    if (g.gbRegistraOrden) {
        DesTodo();
        txtOrden->setText(Q(d_.orden));
        txtVerifica->setVisible(true);
        txtVerifica->setText(Q(d_.verifica));
    }
    FijaAyuda(1016);
    d_.modificado = false;
    d_.cargando = false;
    g.gbCargando = false;
}

void Frm787::ActivaBotonesForm(const std::string& NumCas, const std::string& valor) {
    if (NumCas != "871") return;
    OptRectifica[valor != "0" ? 1 : 0]->setChecked(true);
}

void Frm787::MuestraCasilla(int n) {
    CajaTexto* c = Caja(n);
    const QString t = Q(d_.Valor(n));
    if (c->text() == t) return;
    // A value longer than the box's present limit is shown whole.
    if (c->maxLength() < t.size()) c->setMaxLength(static_cast<int>(t.size()));
    c->setText(t);
}

void Frm787::MuestraCasillas() {
    const bool antes = mostrando_;
    mostrando_ = true;
    for (const auto& [n, c] : txtValor) MuestraCasilla(n);
    mostrando_ = antes;
    FormaDePagoQVX1->setImporte(Q(d_.pago.importe));
}

void Frm787::Form_Activate() {
    // Only the first activation: a return from a message box or from the
    // inconsistency list keeps the edits the exit question must ask about.
    if (activado_) return;
    activado_ = true;
    if (!d_.modificado && shell::G().gnModo == 0 && mkePeriodo->isEnabled()) mkePeriodo->setFocus();
    d_.modificado = false;
}

bool Frm787::event(QEvent* e) {
    const bool r = QDialog::event(e);
    if (e->type() == QEvent::WindowActivate) Form_Activate();
    return r;
}

// ---------------------------------------------------------------------------
// Box entry

int Frm787::txtValor_KeyPress(int n, int KeyAscii) {
    CajaTexto* c = Caja(n);
    if (c->isReadOnly()) return KeyAscii;
    tagActual_ = vb::Trim(S(c->property("Tag").toString()));
    if (KeyAscii >= 'a' && KeyAscii <= 'z')
        KeyAscii = KeyAscii - 'a' + 'A';
    else if (KeyAscii > 127)
        KeyAscii = QChar(KeyAscii).toUpper().unicode();
    const validator::cValidador val;
    const validator::cValidador* v = shell::G().goValidador ? shell::G().goValidador : &val;
    if (!v->FiltraTecla(static_cast<std::int16_t>(KeyAscii > 32767 ? 0 : KeyAscii))) {
        if (KeyAscii == 13) focusNextChild();  // Enter moves to the next box
        KeyAscii = 0;
    }
    d_.modificado = true;
    return KeyAscii;
}

void Frm787::txtValor_GotFocus(int n) {
    CajaTexto* c = Caja(n);
    tagActual_ = vb::Trim(S(c->property("Tag").toString()));
    if (c->isReadOnly()) {
        tab0787->setFocus();
        return;
    }
    // The plain number first, then the limit, so the limit never cuts a value.
    const QString t = Q(TextoAlEntrar(n, S(c->text())));
    if (t != c->text()) c->setText(t);
    c->setMaxLength(std::max(LargoAlEntrar(n), static_cast<int>(t.size())));
}

void Frm787::txtValor_LostFocus(int n) {
    CajaTexto* c = Caja(n);
    if (c->isReadOnly()) return;
    const QString t = Q(TextoAlSalir(n, S(c->text())));
    c->setMaxLength(std::max(LargoAlSalir(n), static_cast<int>(t.size())));
    if (t != c->text()) c->setText(t);
}

void Frm787::txtValor_Change(int n) {
    if (mostrando_) return;
    d_.FijaValor(n, S(Caja(n)->text()));
    d_.cargando = shell::G().gbCargando;
    if (d_.AlCambiar(n)) MuestraCasillas();
}

// ---------------------------------------------------------------------------
// Identification

void Frm787::CargaIdent() {
    const auto& g = shell::G();
    CmbRuc->setVisible(false);
    TxtNumRuc->setEnabled(false);
    TxtRazon->setEnabled(false);
    TxtNumRuc->setText(Q(g.gsRuc));
    TxtRazon->setText(Q(g.gsNombre));
    TxtNumRuc->setVisible(true);
    mkePeriodo->setEnabled(false);
    mkePeriodo->setText(Q(PeriodoMostrado(g.gsPeriodo)));
}

void Frm787::Recoge() {
    d_.numRuc = S(TxtNumRuc->text());
    d_.nombre = S(TxtRazon->text());
    d_.rectifica = OptRectifica[1]->isChecked();
    d_.pago.tipo = S(FormaDePagoQVX1->formapago());
    d_.pago.banco = S(FormaDePagoQVX1->banco());
    d_.pago.cheque = S(FormaDePagoQVX1->numcheque());
    d_.pago.importe = S(FormaDePagoQVX1->importe());
    d_.orden = S(txtOrden->text());
    d_.verifica = S(txtVerifica->text());
    d_.version = version_;
}

void Frm787::Muestra(const std::vector<Mensaje>& avisos) {
    for (const Mensaje& m : avisos) ui::MsgBox(m.texto, m.estilo, m.titulo);
}

bool Frm787::ValIdent(const std::string& modo) {
    Recoge();
    const Resultado r = declaracion::ValIdent(d_, modo);
    if (r.vaAIdentificacion) tab0787->setCurrentIndex(0);
    Muestra(r.avisos);
    return r.ok;
}

void Frm787::OptRectifica_Click(int Index) {
    d_.modificado = true;
    if (Index == 1 && !shell::G().gbCargando) {
        ui::MsgBox(
            "Recuerde que solo debe consignar información en todas las casillas asociadas a los "
            "tributos que esta rectificando, inclusive en las de determinación de la deuda",
            ui::vbExclamation, Titulo());
    }
}

void Frm787::tab0787_Click(int PreviousTab) {
    const auto& g = shell::G();
    if (g.gbRegistraOrden) return;
    if (PreviousTab == 0 && tab0787->currentIndex() != 0 && !ValIdent("1")) return;
    if (tab0787->currentIndex() == 0) {
        FijaAyuda(1016);
    } else {
        FijaAyuda(1015);
        if (DisenoDe(g.gsPeriodo) == Diseno::UnPeriodo) CasQuincena();
    }
}

// F1 opens the help at the context of the focused control's nearest
// container that has one: every box of the tabs finds the tab strip's.
void Frm787::FijaAyuda(int contexto) {
    tabHelp_ = contexto;
    tab0787->setProperty("HelpContextID", contexto);
}

// ---------------------------------------------------------------------------
// Commands

void Frm787::Cmdgeneral_Click(int Index) {
    try {
        switch (Index) {
            case 0:
                ValidaTodo("0");
                return;
            case 1: {
                Recoge();
                if (auto m = VerificaVersion(d_)) {
                    ui::MsgBox(m->texto, m->estilo, m->titulo);
                    return;
                }
                GrabarForm();
                return;
            }
            case 2:
                Salir();
                return;
        }
    } catch (const vb::VbError& e) {
        // A database or file error: said, and the form stays as it was.
        ui::SetMousePointer(ui::vbDefault);
        ui::MsgBox(e.Description() + "\n" + vb::Str(static_cast<double>(e.Number())),
                   ui::vbCritical, Titulo());
    }
}

void Frm787::Salir() {
    auto& g = shell::G();
    const std::string titulo = Titulo();
    if (g.gbRegistraOrden) {
        if (!g.gbOrdenModificado) {
            Cierra();
            return;
        }
        if (ui::MsgBox(" El número de orden ha cambiado. ¿Desea guardar los cambios?",
                       ui::vbQuestion + ui::vbYesNo, titulo) == ui::vbNo) {
            Cierra();
            return;
        }
        const std::string orden = S(txtOrden->text());
        if (vb::Len(orden) < 8) {
            ui::MsgBox("El número de orden es incorrecto", ui::vbCritical, titulo);
            return;
        }
        std::string control = g.gsNumControl;
        if (!shell::ValidaCodigoVerificacion(control, orden, S(txtVerifica->text()))) {
            ui::MsgBox("Digito verificador incorrecto", ui::vbCritical, titulo);
            return;
        }
        if (GrabarForm()) Cierra();
        return;
    }
    if (!d_.modificado) {
        Cierra();
        return;
    }
    const int r = ui::MsgBox("¿El formulario ha sido modificado, desea guardar los cambios?",
                             ui::vbQuestion + ui::vbYesNoCancel, titulo);
    if (r == ui::vbCancel) return;
    if (r == ui::vbNo) {
        Cierra();
        return;
    }
    grabarAlSalir_ = true;
    GrabarForm();
}

bool Frm787::ValidaTodo(const std::string& Tipo) {
    Recoge();
    const Resultado r = declaracion::ValidaTodo(d_, Tipo);
    if (r.vaAIdentificacion) tab0787->setCurrentIndex(0);
    Muestra(r.avisos);
    if (r.muestraInconsistencias) shell::forms::AbreFormulario("FrmConsist", this);
    return r.ok;
}

bool Frm787::GrabarForm() {
    auto& g = shell::G();
    Recoge();
    ResultadoGrabacion r;
    {
        ui::PunteroOcupado ocupado;
        if (!g.gdbBase) vb::Raise(91);
        try {
            r = declaracion::GrabarForm(*g.gdbBase, d_);
        } catch (...) {
            grabarAlSalir_ = false;
            throw;
        }
    }
    if (r.vaAIdentificacion) tab0787->setCurrentIndex(0);
    Muestra(r.avisos);
    if (r.focoVerifica) txtVerifica->setFocus();
    if (!r.grabado) {
        // Nothing was saved: a later "&Grabar" keeps the form open.
        grabarAlSalir_ = false;
        return false;
    }
    Termina();
    return true;
}

void Frm787::Termina() {
    auto& g = shell::G();
    d_.modificado = false;
    if (grabarAlSalir_) {
        g.gsPeriodo.clear();
        Cierra();
        return;
    }
    g.gnModo = 2;
    CargaIdent();
    d_.modificado = false;
}

// ---------------------------------------------------------------------------
// Closing

void Frm787::Cierra() {
    cerrando_ = true;
    QDialog::done(QDialog::Rejected);
}

void Frm787::reject() {
    // Escape and the close box ask as "&Salir" does.
    if (cerrando_) {
        QDialog::reject();
        return;
    }
    Cmdgeneral_Click(2);
}

void RegistraFrm787() {
    shell::forms::RegistraFormulario("Frm787", [](QWidget* padre) { return new Frm787(padre); });
}

}  // namespace declaracion::forms
