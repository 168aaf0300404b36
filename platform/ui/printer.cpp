#include "ui/printer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPen>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <cstdlib>

#include "ui/programa.h"
#include "vb/error.h"

namespace ui {

struct Printer::Impl {
    std::unique_ptr<QPrinter> printer;
    QPainter painter;
    bool enTrabajo = false;
    bool paginaPendiente = false;
    std::vector<PageRecord> trabajo;
    std::vector<PageRecord> ultimo;
    std::string pdf;

    double ATwips(double dots) const { return dots * 1440.0 / printer->resolution(); }
    double APuntos(double twips) const { return twips * printer->resolution() / 1440.0; }
};

namespace {

QPageLayout::Orientation Orientacion(int o) {
    return o == vbPRORLandscape ? QPageLayout::Landscape : QPageLayout::Portrait;
}

QFont Fuente(const Printer& p) {
    QFont f(QString::fromStdString(p.FontName));
    // Where the Courier faces are not installed, another fixed-pitch face
    // keeps the columns that blanks align.
    if (f.family().startsWith(QLatin1String("Courier"), Qt::CaseInsensitive)) {
        f.setStyleHint(QFont::TypeWriter);
    }
    f.setPointSizeF(p.FontSize > 0 ? p.FontSize : 10);
    f.setBold(p.FontBold);
    return f;
}

}  // namespace

Printer::Printer() : impl_(std::make_unique<Impl>()) {
    if (const char* pdf = std::getenv("PRINTER_PDF_OUTPUT")) impl_->pdf = pdf;
}

Printer::~Printer() {
    if (impl_->enTrabajo) impl_->painter.end();
}

void Printer::SetOrientation(int orientation) {
    if (orientation != vbPRORPortrait && orientation != vbPRORLandscape) {
        vb::Raise(vb::kInvalidPropertyValue);
    }
    orientation_ = orientation;
}

void Printer::SetPdfOutput(std::string path) {
    impl_->pdf = std::move(path);
}

const std::vector<Printer::PageRecord>& Printer::LastJob() const {
    return impl_->ultimo;
}

int Printer::Page() const {
    if (!impl_->enTrabajo) return 0;
    return static_cast<int>(impl_->trabajo.size()) + (impl_->paginaPendiente ? 1 : 0);
}

void Printer::AseguraPagina() {
    Impl& d = *impl_;
    if (!d.enTrabajo) {
        // Fonts and print engines need the window system's application object.
        if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
            vb::Raise(vb::kPrinterError);
        }
        d.printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        if (d.pdf.empty()) {
            const QPrinterInfo info = QPrinterInfo::defaultPrinter();
            if (info.isNull()) vb::Raise(vb::kPrinterError);
            d.printer->setPrinterName(info.printerName());
        } else {
            d.printer->setOutputFormat(QPrinter::PdfFormat);
            d.printer->setOutputFileName(QString::fromStdString(d.pdf));
        }
        d.printer->setPageOrientation(Orientacion(orientation_));
        d.printer->setDocName(QString::fromStdString(ProgramName()));
        if (!d.painter.begin(d.printer.get())) {
            d.printer.reset();
            vb::Raise(vb::kPrinterError);
        }
        d.enTrabajo = true;
        d.paginaPendiente = false;
        d.trabajo.clear();
        d.trabajo.push_back({{}, 0, orientation_});
        return;
    }
    if (d.paginaPendiente) {
        d.printer->setPageOrientation(Orientacion(orientation_));
        if (!d.printer->newPage()) vb::Raise(vb::kPrinterError);
        d.paginaPendiente = false;
        d.trabajo.push_back({{}, 0, orientation_});
    }
}

void Printer::Print(std::string_view text) {
    AseguraPagina();
    Impl& d = *impl_;
    const QFont f = Fuente(*this);
    d.painter.setFont(f);
    d.painter.setPen(QPen(Qt::black));
    const QFontMetricsF fm(f, d.printer.get());
    const QString t = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    d.painter.drawText(QPointF(d.APuntos(CurrentX), d.APuntos(CurrentY) + fm.ascent()), t);
    d.trabajo.back().texts.emplace_back(text);
    CurrentX = 0;
    CurrentY += d.ATwips(fm.height());
}

void Printer::Line(double x1, double y1, double x2, double y2) {
    AseguraPagina();
    Impl& d = *impl_;
    QPen pen(Qt::black);
    pen.setWidthF(DrawWidth > 0 ? DrawWidth : 1);
    d.painter.setPen(pen);
    d.painter.drawLine(QPointF(d.APuntos(x1), d.APuntos(y1)),
                       QPointF(d.APuntos(x2), d.APuntos(y2)));
    d.trabajo.back().lines++;
    CurrentX = x2;
    CurrentY = y2;
}

void Printer::NewPage() {
    if (!impl_->enTrabajo) return;
    impl_->paginaPendiente = true;
    CurrentX = 0;
    CurrentY = 0;
}

void Printer::EndDoc() {
    Impl& d = *impl_;
    if (!d.enTrabajo) return;
    d.painter.end();
    d.enTrabajo = false;
    d.paginaPendiente = false;
    d.ultimo = std::move(d.trabajo);
    d.trabajo.clear();
    d.printer.reset();
    CurrentX = 0;
    CurrentY = 0;
}

void Printer::KillDoc() {
    Impl& d = *impl_;
    if (!d.enTrabajo) return;
    d.printer->abort();
    d.painter.end();
    d.enTrabajo = false;
    d.paginaPendiente = false;
    d.trabajo.clear();
    d.printer.reset();
    CurrentX = 0;
    CurrentY = 0;
}

double Printer::TextHeight(std::string_view text) const {
    const QFont f = Fuente(*this);
    if (impl_->enTrabajo) return impl_->ATwips(QFontMetricsF(f, impl_->printer.get()).height());
    // Outside a job the screen's measure stands in; without a window system,
    // the font's size (20 twips a point).
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return FontSize * 20;
    const QFontMetricsF fm(f);
    const double dpi = QGuiApplication::primaryScreen()
                           ? QGuiApplication::primaryScreen()->logicalDotsPerInch()
                           : 96.0;
    return fm.height() * 1440.0 / dpi;
}

double Printer::TextWidth(std::string_view text) const {
    const QFont f = Fuente(*this);
    const QString t = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if (impl_->enTrabajo) {
        return impl_->ATwips(QFontMetricsF(f, impl_->printer.get()).horizontalAdvance(t));
    }
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return 0;
    const QFontMetricsF fm(f);
    const double dpi = QGuiApplication::primaryScreen()
                           ? QGuiApplication::primaryScreen()->logicalDotsPerInch()
                           : 96.0;
    return fm.horizontalAdvance(t) * 1440.0 / dpi;
}

Printer& ThePrinter() {
    static Printer printer;
    return printer;
}

}  // namespace ui
