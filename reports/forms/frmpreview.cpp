#include "reports/forms/frmpreview.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QGridLayout>
#include <QPainter>
#include <QPalette>
#include <QPointer>
#include <QStyle>
#include <QVBoxLayout>

#include "reports/forms/trazos.h"
#include "reports/lector.h"
#include "reports/recorrido.h"
#include "shell/state.h"
#include "ui/modal.h"
#include "ui/msgbox.h"
#include "ui/pointer.h"
#include "ui/printer.h"
#include "ui/twips.h"
#include "validator/validator.h"
#include "vb/error.h"
#include "vb/files.h"
#include "vb/numeric.h"
#include "vb/text.h"

namespace reportes::forms {

namespace {

constexpr int kAncho = 17000;  // page surface, twips
constexpr int kAlto = 30000;
constexpr int kPasoVertical = 190;  // between the characters of a vertical text

// The report font on screen: Courier New, or the fixed-pitch face standing in
// for it, so the blanks of the report keep its columns aligned.
QFont FuenteReporte(const char* nombre, bool negrita, int tamano) {
    QFont f(QString::fromLatin1(nombre));
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    f.setBold(negrita);
    // Sizes in twips, 20 to the point, as the surface is drawn in twips.
    f.setPixelSize(std::max(1, tamano * 20));
    return f;
}

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

void MensajeError(const vb::VbError& e) {
    ui::MsgBox("Error tecnico: " + vb::Str(static_cast<double>(e.Number())) + "\n" +
                   e.Description() + "\n" + "Intente nuevamente por favor.",
               ui::vbCritical, "Error");
}

}  // namespace

QColor ColorVB(std::uint32_t color) {
    if (color & 0x80000000u) {
        const QPalette p = QApplication::palette();
        switch (color & 0xFFu) {
            case 0x05:
                return p.color(QPalette::Base);
            case 0x08:
                return p.color(QPalette::Text);
            case 0x0D:
                return p.color(QPalette::Highlight);
            case 0x0E:
                return p.color(QPalette::HighlightedText);
            case 0x10:
                return p.color(QPalette::Mid);
            case 0x11:
                return p.color(QPalette::Disabled, QPalette::Text);
            case 0x12:
                return p.color(QPalette::ButtonText);
            case 0x14:
                return p.color(QPalette::Light);
            case 0x15:
                return p.color(QPalette::Shadow);
            case 0x16:
                return p.color(QPalette::Midlight);
            case 0x17:
                return p.color(QPalette::ToolTipText);
            case 0x18:
                return p.color(QPalette::ToolTipBase);
            default:
                return p.color(QPalette::Button);
        }
    }
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

SuperficiePagina::SuperficiePagina(QWidget* parent) : QWidget(parent) {
    setFixedSize(kAncho / ui::kTwipsPorPixel, kAlto / ui::kTwipsPorPixel);
}

void SuperficiePagina::Texto(double x, double y, const QString& texto, const QFont& fuente) {
    trazos_.push_back({false, x, y, 0, 0, texto, fuente});
    update();
}

void SuperficiePagina::Linea(double x1, double y1, double x2, double y2) {
    trazos_.push_back({true, x1, y1, x2, y2, {}, {}});
    update();
}

void SuperficiePagina::SetBackColor(const QColor& c) {
    fondo_ = c;
    update();
}

void SuperficiePagina::SetTop(int twips) {
    top_ = twips;
    move(left_ / ui::kTwipsPorPixel, top_ / ui::kTwipsPorPixel);
}

void SuperficiePagina::SetLeft(int twips) {
    left_ = twips;
    move(left_ / ui::kTwipsPorPixel, top_ / ui::kTwipsPorPixel);
}

void SuperficiePagina::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), fondo_);
    p.scale(1.0 / ui::kTwipsPorPixel, 1.0 / ui::kTwipsPorPixel);
    QPen pluma(Qt::black);
    pluma.setCosmetic(true);
    pluma.setWidth(1);
    p.setPen(pluma);
    for (const Trazo& t : trazos_) {
        if (t.linea) {
            p.drawLine(QPointF(t.x1, t.y1), QPointF(t.x2, t.y2));
        } else {
            p.setFont(t.fuente);
            p.drawText(QPointF(t.x1, t.y1 + QFontMetricsF(t.fuente).ascent()), t.texto);
        }
    }
}

frmPreview::frmPreview(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmPreview"));
    setWindowTitle(QStringLiteral("Presentación Preliminar"));
    resize(12600 / ui::kTwipsPorPixel, 9000 / ui::kTwipsPorPixel);

    tlbPrevia = new QToolBar(this);
    tlbPrevia->setObjectName(QStringLiteral("tlbPrevia"));
    QStyle* s = style();
    const struct {
        QStyle::StandardPixmap icono;
        const char* ayuda;
    } botones[5] = {
        {QStyle::SP_FileIcon, ""},
        {QStyle::SP_ArrowLeft, "Pag Anterior"},
        {QStyle::SP_ArrowRight, "Pag Sgt"},
        {QStyle::SP_DialogSaveButton, "Imprimir"},
        {QStyle::SP_DialogCloseButton, "Salir"},
    };
    for (int i = 0; i < 5; ++i) {
        QAction* a = tlbPrevia->addAction(s->standardIcon(botones[i].icono), QString());
        a->setToolTip(QString::fromUtf8(botones[i].ayuda));
        a->setObjectName(QStringLiteral("Button%1").arg(i + 1));
        const int boton = i + 1;
        connect(a, &QAction::triggered, this, [this, boton] { tlbPrevia_ButtonClick(boton); });
    }

    picFondo = new QWidget(this);
    picFondo->setObjectName(QStringLiteral("picFondo"));
    picFondo->setAutoFillBackground(true);
    QPalette fondo = picFondo->palette();
    fondo.setColor(QPalette::Window, QColor(128, 128, 128));
    picFondo->setPalette(fondo);
    picFondo->setMinimumSize(200, 200);

    for (int i = 0; i < 2; ++i) {
        vsbPic[i] = new QScrollBar(Qt::Vertical, this);
        vsbPic[i]->setObjectName(QStringLiteral("vsbPic%1").arg(i));
        vsbPic[i]->setRange(0, 11000);
        vsbPic[i]->setSingleStep(150);
        vsbPic[i]->setPageStep(1500);
        connect(vsbPic[i], &QScrollBar::valueChanged, this, [this, i] { vsbPic_Change(i); });
    }
    HScroll1 = new QScrollBar(Qt::Horizontal, this);
    HScroll1->setObjectName(QStringLiteral("HScroll1"));
    HScroll1->setRange(0, 6900);
    HScroll1->setSingleStep(150);
    HScroll1->setPageStep(1500);
    connect(HScroll1, &QScrollBar::valueChanged, this, [this] { HScroll1_Change(); });

    auto* rejilla = new QGridLayout;
    rejilla->setSpacing(0);
    rejilla->addWidget(vsbPic[1], 0, 0);
    rejilla->addWidget(picFondo, 0, 1);
    rejilla->addWidget(vsbPic[0], 0, 2);
    rejilla->addWidget(HScroll1, 1, 1);
    auto* caja = new QVBoxLayout(this);
    caja->setContentsMargins(0, 0, 0, 0);
    caja->addWidget(tlbPrevia);
    caja->addLayout(rejilla, 1);

    auto* cero = new SuperficiePagina(picFondo);
    cero->setObjectName(QStringLiteral("picPrevia0"));
    picPrevia.push_back(cero);
}

void frmPreview::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!cargado_) {
        cargado_ = true;
        Form_Load();
    }
}

void frmPreview::Form_Load() {
    sObject = "PresPrevia";
    try {
        pDesencripta(sRut, sObject);
    } catch (const vb::VbError& e) {
        ui::SetMousePointer(ui::vbArrow);
        MensajeError(e);
    }
    pMostrar(0);
}

SuperficiePagina* frmPreview::Superficie(int indice) {
    if (indice < 0) vb::Raise(vb::kSubscript);
    while (static_cast<int>(picPrevia.size()) <= indice) {
        auto* s = new SuperficiePagina(picFondo);
        s->setObjectName(QStringLiteral("picPrevia%1").arg(picPrevia.size()));
        s->SetBackColor(picPrevia[0]->BackColor());
        s->hide();
        picPrevia.push_back(s);
    }
    return picPrevia[static_cast<std::size_t>(indice)];
}

bool frmPreview::pDesencripta(const std::string& archivo, const std::string& modo) {
    const bool previa = modo == "PresPrevia";
    if (!previa) sObject = "IMPRIMIR";
    const shell::ProgramState& g = shell::G();
    const std::string ruta = g.gsRutaRpt + "/" + archivo;
    const bool existe = g.goValidador ? g.goValidador->ExisteArchivo(ruta) : vb::FileExists(ruta);
    if (!existe) {
        ui::MsgBox("Archivo Físico del Reporte no Existe", ui::vbCritical, "Error al Imprimir");
        return false;
    }
    if (previa) {
        Lee(ruta, true);
        ui::SetMousePointer(ui::vbArrow);
        return true;
    }
    try {
        Lee(ruta, false);
    } catch (const vb::VbError& e) {
        // Nothing of a job cut short goes to the printer.
        FinImpresion(true);
        if (e.Number() == vb::kPrinterError) {
            ui::MsgBox("No existe una impresora seleccionada.Verifique.", ui::vbCritical,
                       "Impresión");
        } else {
            MensajeError(e);
        }
        return false;
    }
    FinImpresion(false);
    return true;
}

void frmPreview::FinImpresion(bool abandona) {
    ui::Printer& p = ui::ThePrinter();
    try {
        if (abandona) {
            p.KillDoc();
        } else {
            p.EndDoc();
        }
    } catch (const vb::VbError&) {
        p.KillDoc();
    }
    p.SetOrientation(ui::vbPRORPortrait);
    ui::SetMousePointer(ui::vbArrow);
}

void frmPreview::Lee(const std::string& ruta, bool previa) {
    const shell::ProgramState& g = shell::G();
    RecorridoReporte recorrido(previa, {g.gbPorPagina, g.gnPaginaDesde, g.gnPaginaHasta});
    ArchivoReporte archivo(ruta);
    Registro r;
    while (archivo.Siguiente(r)) {
        switch (r.tipo) {
            case TipoRegistro::Hojas:
                recorrido.Hojas();
                // While printing, iNroHoja is the page on show: a print from
                // the toolbar leaves the user where he was.
                if (previa) iNroHoja = 0;
                break;
            case TipoRegistro::Color:
                if (previa) {
                    const QColor c = ColorVB(r.color);
                    if (c != picPrevia[0]->BackColor()) picPrevia[0]->SetBackColor(c);
                }
                break;
            case TipoRegistro::Orientacion:
                if (!previa) {
                    orientacion_ = r.texto;
                    if (r.texto == "H") ui::ThePrinter().SetOrientation(ui::vbPRORLandscape);
                }
                break;
            case TipoRegistro::Texto:
            case TipoRegistro::Cuadro:
            case TipoRegistro::TextoVertical: {
                const RecorridoReporte::Destino d = recorrido.Dibujable(r.pagina);
                if (!d.dibuja) break;
                std::int16_t pagina = r.pagina;
                if (previa) {
                    iNroHoja = recorrido.iNroHoja();
                    pagina = static_cast<std::int16_t>(d.superficie);
                }
                if (r.tipo == TipoRegistro::Texto) {
                    ppos(r.x, r.y, r.texto, r.negrita, r.tamano, pagina);
                } else if (r.tipo == TipoRegistro::Cuadro) {
                    pCuadro(r.x, r.y, r.x2, r.y2, pagina);
                } else {
                    pPosVerti(r.x, r.y, r.texto, r.negrita, r.tamano, pagina);
                }
                break;
            }
            case TipoRegistro::NuevaHoja:
                if (recorrido.NuevaHoja()) ui::ThePrinter().NewPage();
                break;
            default:
                break;
        }
    }
}

void frmPreview::ppos(std::int16_t x, std::int16_t y, const std::string& texto, bool negrita,
                      std::int16_t tamano, std::int16_t pagina) {
    if (sObject != "IMPRIMIR") {
        try {
            Superficie(pagina)->Texto(x, y, Q(texto),
                                      FuenteReporte("Courier New", negrita, tamano));
        } catch (const vb::VbError&) {
            // A text that cannot be drawn (a page without a surface) is left out.
        }
        return;
    }
    try {
        TextoImpreso("Courier New", x, y, texto, negrita, tamano);
    } catch (const vb::VbError& e) {
        // A text that cannot be drawn is left out; a printer that is not
        // there stops the job.
        if (e.Number() == vb::kPrinterError) throw;
    }
}

void frmPreview::pCuadro(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2,
                         std::int16_t pagina) {
    if (sObject != "IMPRIMIR") {
        SuperficiePagina* s = Superficie(pagina);
        LadosCuadro(x1, y1, x2, y2,
                    [s](double xa, double ya, double xb, double yb) { s->Linea(xa, ya, xb, yb); });
        return;
    }
    CuadroImpreso("Courier", x1, y1, x2, y2);
}

void frmPreview::pPosVerti(std::int16_t x, std::int16_t y, const std::string& texto, bool negrita,
                           std::int16_t tamano, std::int16_t pagina) {
    const std::u32string caracteres = vb::Utf8ToU32(texto);
    if (sObject != "IMPRIMIR") {
        SuperficiePagina* s = Superficie(pagina);
        const QFont f = FuenteReporte("Courier new", negrita, tamano);
        for (std::size_t i = 0; i < caracteres.size(); ++i) {
            s->Texto(x, y + static_cast<double>(i) * kPasoVertical,
                     QString::fromUcs4(&caracteres[i], 1), f);
        }
        return;
    }
    ui::Printer& p = ui::ThePrinter();
    p.FontBold = negrita;
    p.FontSize = tamano;
    for (std::size_t i = 0; i < caracteres.size(); ++i) {
        p.CurrentX = x;
        p.CurrentY = y + static_cast<double>(i) * kPasoVertical;
        p.Print(vb::U32ToUtf8(std::u32string_view(&caracteres[i], 1)));
    }
}

void frmPreview::pMostrar(int cual) {
    const int ultima = static_cast<int>(picPrevia.size()) - 1;
    int mostrar = -1;
    if (cual == 0) {
        mostrar = 0;
    } else if (cual == -2 && iNroHoja > 0) {
        mostrar = iNroHoja - 1;
    } else if (cual == -1 && iNroHoja < ultima) {
        mostrar = iNroHoja + 1;
    }
    if (mostrar >= 0) {
        iNroHoja = static_cast<std::int16_t>(mostrar);
        SuperficiePagina* s = picPrevia[static_cast<std::size_t>(mostrar)];
        s->SetTop(0);
        s->show();
        for (SuperficiePagina* otra : picPrevia) {
            if (otra != s) otra->hide();
        }
    }
    vsbPic[0]->setValue(0);
    vsbPic[1]->setValue(0);
}

void frmPreview::tlbPrevia_ButtonClick(int boton) {
    switch (boton) {
        case 2:
            pMostrar(-2);
            break;
        case 3:
            pMostrar(-1);
            break;
        case 4:
            sObject = "IMPRIMIR";
            pDesencripta(sRut, "IMPRIMIR");
            break;
        case 5:
            close();
            break;
        default:
            break;
    }
}

void frmPreview::vsbPic_Change(int indice) {
    if (iNroHoja >= 0 && iNroHoja < static_cast<int>(picPrevia.size())) {
        picPrevia[static_cast<std::size_t>(iNroHoja)]->SetTop(-vsbPic[0]->value());
    }
    const int valor = vsbPic[indice]->value();
    vsbPic[1]->setValue(valor);
    vsbPic[0]->setValue(valor);
}

void frmPreview::HScroll1_Change() {
    if (iNroHoja >= 0 && iNroHoja < static_cast<int>(picPrevia.size())) {
        picPrevia[static_cast<std::size_t>(iNroHoja)]->SetLeft(-HScroll1->value());
    }
}

void MuestraReporte(const std::string& archivo, const std::string& modo) {
    QPointer<frmPreview> goPreview = new frmPreview(QApplication::activeWindow());
    goPreview->sRut = archivo;
    if (modo == "Vprevia") {
        ui::ShowModal(goPreview);
    } else {
        goPreview->pDesencripta(archivo, modo);
    }
    delete goPreview.data();
}

}  // namespace reportes::forms
