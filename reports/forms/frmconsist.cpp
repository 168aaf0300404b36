#include "reports/forms/frmconsist.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdint>
#include <fstream>
#include <iterator>

#include "reports/forms/trazos.h"
#include "shell/forms/registro.h"
#include "shell/state.h"
#include "ui/msgbox.h"
#include "ui/pointer.h"
#include "ui/printer.h"
#include "ui/twips.h"
#include "vb/datetime.h"
#include "vb/error.h"
#include "vb/files.h"
#include "vb/numeric.h"
#include "vb/strings.h"
#include "vb/text.h"
#include "vb/variant.h"

namespace reportes::forms {

namespace {

using ui::kTwipsPorPixel;
constexpr int kErrorImpresionCancelada = 20545;
constexpr double kAltoFila = 270;
constexpr std::int16_t kFilasPorPagina = 40;

// A numbered file closed on every way out.
class Archivo {
  public:
    explicit Archivo(const std::string& ruta) : n_(vb::FreeFile()) {
        vb::Open(ruta, vb::OpenMode::Input, n_);
    }
    ~Archivo() {
        try {
            vb::Close(n_);
        } catch (const vb::VbError&) {
        }
    }
    Archivo(const Archivo&) = delete;
    Archivo& operator=(const Archivo&) = delete;
    int Numero() const { return n_; }

  private:
    int n_;
};

// The number as the list writes it: a blank in the sign's place.
std::string Numero(std::int16_t n) {
    return vb::Str(static_cast<double>(n));
}

}  // namespace

FrmConsist::FrmConsist(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmConsist"));
    setWindowTitle(QStringLiteral("Inconsistencias detectadas"));
    Label1 = new QLabel(
        QStringLiteral("En su declaración se han detectado las siguientes inconsistencias :"),
        this);
    Label1->setObjectName(QStringLiteral("Label1"));
    TxtPreliminar = new QPlainTextEdit(this);
    TxtPreliminar->setObjectName(QStringLiteral("TxtPreliminar"));
    TxtPreliminar->setFont(QFont(QStringLiteral("Courier New")));
    TxtPreliminar->setLineWrapMode(QPlainTextEdit::NoWrap);
    cmdImprimir = new QPushButton(QStringLiteral("&Imprimir"), this);
    cmdImprimir->setObjectName(QStringLiteral("cmdImprimir"));
    CmdGrabar = new QPushButton(QStringLiteral("&Aceptar"), this);
    CmdGrabar->setObjectName(QStringLiteral("CmdGrabar"));
    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(cmdImprimir);
    botones->addWidget(CmdGrabar);
    auto* caja = new QVBoxLayout(this);
    caja->addWidget(Label1);
    caja->addWidget(TxtPreliminar);
    caja->addLayout(botones);
    resize(9000 / kTwipsPorPixel, 6000 / kTwipsPorPixel);
    connect(cmdImprimir, &QPushButton::clicked, this, &FrmConsist::RepInconsist);
    connect(CmdGrabar, &QPushButton::clicked, this, &QDialog::accept);
    Form_Load();
}

void FrmConsist::Form_Load() {
    ui::SetMousePointer(ui::vbDefault);
    const std::string& ruta = shell::G().gsArchivoRep;
    // The whole log as one text, as the file layer would open it.
    Archivo log(ruta);
    std::ifstream f(vb::ResolvePath(ruta), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
    TxtPreliminar->setPlainText(QString::fromStdString(vb::Cp1252ToUtf8(bytes)));
}

void FrmConsist::pPosImprime(double x, double y, const std::string& texto, bool negrita,
                             double tamano) {
    TextoImpreso("Courier new", x, y, texto, negrita, tamano);
}

void FrmConsist::pImprimeCuadro(double x1, double y1, double x2, double y2) {
    CuadroImpreso("Courier new", x1, y1, x2, y2);
}

void FrmConsist::RepInconsist() {
    ui::Printer& p = ui::ThePrinter();
    int error = 0;
    std::string descripcion;
    {
        const ui::PunteroOcupado ocupado;
        try {
            const vb::Date ahora = vb::Now();
            const std::string fecha = vb::CStr(
                vb::Variant(vb::CDate(vb::Variant(vb::Format(vb::Variant(ahora), "dd/mm/yyyy")))));
            const std::string hora = vb::CStr(
                vb::Variant(vb::CDate(vb::Variant(vb::Format(vb::Variant(ahora), "hh:mm:ss")))));
            pPosImprime(400, 30, "KORAL", true, 8);
            pPosImprime(400, 300, fecha, true, 8);
            pPosImprime(9000, 300, "PAG. 1 ", true, 8);
            pPosImprime(4000, 300, "INCONSISTENCIAS DETECTADAS ", true, 8);
            pPosImprime(400, 570, hora, true, 8);
            pPosImprime(3000, 570, "0787 QVX Olvarico - v 1.6", true, 8);

            Archivo log(shell::G().gsArchivoRep);
            std::int16_t mensaje = 0;
            std::int16_t fila = 0;
            auto y = [&fila] { return 1000 + kAltoFila * (fila - 1); };
            while (!vb::Eof(log.Numero())) {
                const std::string linea = vb::LineInput(log.Numero());
                mensaje = vb::AddInteger(mensaje, 1);
                fila = vb::AddInteger(fila, 1);
                const std::string etiqueta = Numero(mensaje) + ". ";
                if (vb::CharCount(vb::Trim(linea)) <= 90) {
                    pPosImprime(400, y(), etiqueta + linea, false, 8);
                } else {
                    pPosImprime(400, y(), etiqueta + vb::Left(linea, 89) + "-", false, 8);
                    pPosImprime(400, y() + kAltoFila, "    " + vb::RTrim(vb::Mid(linea, 90)), false,
                                8);
                    fila = vb::AddInteger(fila, 1);
                }
                if (fila >= kFilasPorPagina) {
                    p.NewPage();
                    fila = 0;
                }
            }
            fila = vb::AddInteger(fila, 1);
            pPosImprime(500, y(), " Inconsistencias Detectadas : " + Numero(mensaje), false, 8);
            pImprimeCuadro(300, 900, 10000, 1270 + kAltoFila * (fila - 1));
            p.EndDoc();
        } catch (const vb::VbError& e) {
            error = e.Number();
            descripcion = e.Description();
            // What was drawn of a failed list is not sent, nor left to open
            // the next printing.
            p.KillDoc();
        }
    }
    if (error == 0) {
        QCoreApplication::processEvents();
        return;
    }
    std::string texto;
    switch (error) {
        case vb::kFileAlreadyOpen:
            return;
        case vb::kInvalidPropertyValue:
            texto = "No Existe Información a Imprimir.Verifique.";
            break;
        case vb::kPrinterError:
            texto = "No existe una impresora seleccionada.Verifique.";
            break;
        case kErrorImpresionCancelada:
            texto = "La Impresión ha sido Cancelada.";
            break;
        default:
            texto = "Error Técnico : (" + vb::Str(static_cast<double>(error)) + ") " + descripcion;
            break;
    }
    ui::MsgBox(texto, ui::vbCritical, "Impresión");
}

void RegistraFrmConsist() {
    shell::forms::RegistraFormulario("FrmConsist",
                                     [](QWidget* padre) { return new FrmConsist(padre); });
}

}  // namespace reportes::forms
