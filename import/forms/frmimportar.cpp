#include "import/forms/frmimportar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <functional>

#include "import/control.h"
#include "import/transferencia.h"
#include "jet/database.h"
#include "shell/forms/combo.h"
#include "shell/forms/registro.h"
#include "shell/state.h"
#include "ui/listas.h"
#include "ui/msgbox.h"
#include "ui/pointer.h"
#include "validator/validator.h"
#include "vb/datetime.h"
#include "vb/error.h"
#include "vb/files.h"
#include "vb/numeric.h"
#include "vb/strings.h"

namespace importacion::forms {
namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}
std::string S(const QString& s) {
    return s.toStdString();
}

// The message of a failed change of drive, lines joined by line feeds.
std::string MensajeUnidad(int err, const std::string& d) {
    switch (err) {
        case 5:
            return "Llamada a función equivocada.\nSiga correctamente los pasos que se le "
                   "indica.\nIntente nuevamente por favor.";
        case 53:
            return "Archivo no existente.\nIntente nuevamente por favor.";
        case 57:
            return "Driver esta protegido contra escritura.\nRetire el disquete , desprotéjalo y "
                   "coloquelo en el driver .\nIntente nuevamente por favor.";
        case 61:
            return "El disquete del Driver " + d +
                   " esta lleno.\nRetire el disquete y cámbielo por otro disquete en "
                   "blanco.\nIntente nuevamente por favor.";
        case 68:
            return "Driver " + d +
                   " seleccionado no esta disponible.\nEsta seleccionando un driver que no "
                   "existe.\nIntente nuevamente por favor.";
        case 70:
            return "El disquete " + d +
                   " esta protegido contra escritura. \nVerifique la correcta disposición del "
                   "disquete.\nIntente nuevamente por favor.";
        case 71:
            return "El disquete no esta listo. Verifique.";
        case 76:
            return "Ruta de Directorio no encontrado en Driver:" + d +
                   "\nVerifique el correcto colocado del disquete.\nIntente nuevamente por favor.";
        default:
            return "Error tecnico: " + std::to_string(err) + "\n" + vb::ErrorText(err) +
                   "\nIntente nuevamente por favor.";
    }
}

}  // namespace

// The form's part in an import: its stage label, progress bar, accept
// button and check boxes.
class FrmImportar::Vista : public VistaImportacion {
  public:
    explicit Vista(FrmImportar& f) : f_(f) {}
    bool Marcado(int i) const override {
        return i >= 0 && i < 5 && f_.chkOpc[static_cast<std::size_t>(i)]->isChecked();
    }
    void Etapa(const std::string& t) override {
        f_.lblbar1->setText(Q(t));
        f_.lblbar1->repaint();
    }
    void Progreso(int v) override { f_.pbar1->setValue(v); }
    void HabilitaGrabar(bool h) override { f_.CmdGrabar->setEnabled(h); }
    // After a failed write of an error file the import goes on: the taxpayer
    // and the period stay locked until it ends, for the kinds still to come
    // are checked against them and recorded under them.
    void HabilitaMarcos() override { f_.fraBar->setEnabled(true); }
    void ProcesaEventos() override { QCoreApplication::processEvents(); }
    std::string Titulo() const override { return S(f_.windowTitle()); }

  private:
    FrmImportar& f_;
};

std::string NombreBase(const std::string& carpeta, const std::string& archivo) {
    std::string base = carpeta;
    if (base.empty() || base.back() != '/') base += "/";
    const long n = static_cast<long>(vb::Len(archivo));
    return base + vb::Left(archivo, n > 4 ? n - 4 : 0) + ".";
}

FrmImportar::FrmImportar(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmImportar"));
    setWindowTitle(QStringLiteral("Validar Archivos"));
    auto nombre = [](QWidget* w, const char* n) {
        w->setObjectName(QString::fromLatin1(n));
        return w;
    };
    static const char* kEtiquetas[8] = {
        "Número de RUC",
        "Nombre o razón social",
        "Período",
        "Unidades de Disco :",
        "Directorios :",
        "Archivos a Importar :",
        "Seleccione la unidad y el directorio desde el que desea importar la información",
        "Número de orden"};
    for (std::size_t i = 0; i < Label1.size(); ++i) {
        Label1[i] = new QLabel(QString::fromUtf8(kEtiquetas[i]), this);
        Label1[i]->setObjectName(QStringLiteral("Label1_%1").arg(i));
    }
    Label1[7]->setVisible(false);

    fraDec = new QGroupBox(QStringLiteral("Declarante"), this);
    nombre(fraDec, "fraDec");
    CmbRuc = new QComboBox(fraDec);
    nombre(CmbRuc, "CmbRuc");
    txtNombre = new QLineEdit(fraDec);
    nombre(txtNombre, "txtNombre");
    mkePeriodo = new QLineEdit(fraDec);
    nombre(mkePeriodo, "mkePeriodo");
    mkePeriodo->setInputMask(QStringLiteral("99/9999;_"));
    auto* gDec = new QGridLayout(fraDec);
    gDec->addWidget(Label1[0], 0, 0);
    gDec->addWidget(CmbRuc, 0, 1);
    gDec->addWidget(Label1[1], 1, 0);
    gDec->addWidget(txtNombre, 1, 1);
    gDec->addWidget(Label1[2], 2, 0);
    gDec->addWidget(mkePeriodo, 2, 1, Qt::AlignLeft);
    gDec->addWidget(Label1[7], 3, 0);

    fraOpc = new QGroupBox(this);
    nombre(fraOpc, "fraOpc");
    static const char* kOpciones[5] = {
        "Contribuyentes nacionales", "Contribuyentes Extranjeros", "Movimientos Acumulados",
        "Movimientos de contra asiento por error", "Exoneración, Convenios e Inafectación"};
    auto* vOpc = new QVBoxLayout(fraOpc);
    for (std::size_t i = 0; i < chkOpc.size(); ++i) {
        chkOpc[i] = new QCheckBox(QString::fromUtf8(kOpciones[i]), fraOpc);
        chkOpc[i]->setObjectName(QStringLiteral("chkOpc_%1").arg(i));
        vOpc->addWidget(chkOpc[i]);
        if (i != 2 && i != 3) chkOpc[i]->setVisible(false);
        connect(chkOpc[i], &QCheckBox::clicked, this, [this] { chkOpc_Click(); });
    }

    fraArc = new QGroupBox(QStringLiteral("Archivo"), this);
    nombre(fraArc, "fraArc");
    DrvLst = new ui::ListaUnidades(fraArc);
    nombre(DrvLst, "DrvLst");
    DirList = new ui::ListaCarpetas(fraArc);
    nombre(DirList, "DirList");
    flListaFiles = new ui::ListaArchivos(fraArc);
    nombre(flListaFiles, "flListaFiles");
    auto* gArc = new QGridLayout(fraArc);
    gArc->addWidget(Label1[6], 0, 0, 1, 2);
    gArc->addWidget(Label1[3], 1, 0);
    gArc->addWidget(DrvLst, 2, 0);
    gArc->addWidget(Label1[4], 3, 0);
    gArc->addWidget(DirList, 4, 0);
    gArc->addWidget(Label1[5], 1, 1);
    gArc->addWidget(flListaFiles, 2, 1, 3, 1);

    CmdGrabar = new QPushButton(QStringLiteral("&Aceptar"), this);
    nombre(CmdGrabar, "CmdGrabar");
    CmdCancelar = new QPushButton(QStringLiteral("&Salir"), this);
    nombre(CmdCancelar, "CmdCancelar");
    CmdGrabar->setAutoDefault(false);
    CmdCancelar->setAutoDefault(false);

    fraBar = new QGroupBox(this);
    nombre(fraBar, "fraBar");
    pbar1 = new QProgressBar(fraBar);
    nombre(pbar1, "pbar1");
    lblbar1 = new QLabel(fraBar);
    nombre(lblbar1, "lblbar1");
    auto* vBar = new QVBoxLayout(fraBar);
    vBar->addWidget(lblbar1);
    vBar->addWidget(pbar1);
    pbar1->setTextVisible(false);
    // The stage names the data file with its whole path: a deep folder is cut
    // at the frame's edge rather than widening the form during the import.
    lblbar1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    // The progress area keeps its place while hidden, so showing it does not
    // squeeze the folder and file lists.
    QSizePolicy sp = fraBar->sizePolicy();
    sp.setRetainSizeWhenHidden(true);
    fraBar->setSizePolicy(sp);
    fraBar->setVisible(false);

    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(CmdGrabar);
    botones->addWidget(CmdCancelar);
    auto* arriba = new QHBoxLayout;
    arriba->addWidget(fraDec, 1);
    arriba->addWidget(fraOpc);
    auto* caja = new QVBoxLayout(this);
    caja->addLayout(arriba);
    caja->addWidget(fraArc, 1);
    caja->addWidget(fraBar);
    caja->addLayout(botones);

    connect(CmbRuc, qOverload<int>(&QComboBox::currentIndexChanged), this,
            [this] { CmbRuc_Click(); });
    connect(mkePeriodo, &QLineEdit::textChanged, this, [this] { mkePeriodo_Change(); });
    connect(DrvLst, &ui::ListaUnidades::Change, this, [this] { DrvLst_Change(); });
    connect(DirList, &ui::ListaCarpetas::Change, this, [this] { DirList_Change(); });
    connect(DirList, &QListWidget::itemClicked, this, [this] { DirList_Change(); });
    connect(CmdGrabar, &QPushButton::clicked, this, [this] { CmdGrabar_Click(); });
    connect(CmdCancelar, &QPushButton::clicked, this, [this] { CmdCancelar_Click(); });
    for (QWidget* w : {static_cast<QWidget*>(CmbRuc), static_cast<QWidget*>(DrvLst),
                       static_cast<QWidget*>(mkePeriodo), static_cast<QWidget*>(DirList)})
        w->installEventFilter(this);

    Form_Load();
}

FrmImportar::~FrmImportar() = default;

void FrmImportar::Form_Load() {
    const ui::PunteroOcupado ocupado;
    txtNombre->clear();
    txtNombre->setEnabled(false);
    const std::string programa = S(QCoreApplication::applicationDirPath());
    DrvLst->SetDrive(ui::UnidadDe(programa));
    DirList->SetPath(programa);
    flListaFiles->SetPath(DirList->Path());
    try {
        const QSignalBlocker bloqueo(CmbRuc);
        shell::forms::CargaComboContribuyentes(CmbRuc);
        CmbRuc->setCurrentIndex(-1);
    } catch (const vb::VbError& e) {
        ui::MsgBox(e.Description() + "\n" + vb::Str(static_cast<double>(e.Number())),
                   ui::vbCritical, S(windowTitle()));
    }
    shell::forms::AjustaAnchoCombo(this, CmbRuc);
    shell::forms::FijaAnchoCombo(this, CmbRuc, 40);
}

QString FrmImportar::PeriodoTexto() const {
    return mkePeriodo->displayText();
}

std::string FrmImportar::TextoBase() const {
    const std::string p = S(PeriodoTexto());
    const std::string item = S(CmbRuc->currentText());
    return "0787" + vb::Right(p, 4) + vb::Left(p, 2) + vb::Trim(vb::Left(item, 11));
}

void FrmImportar::CmbRuc_Click() {
    if (CmbRuc->currentIndex() < 0) return;
    const std::string item = S(CmbRuc->currentText());
    shell::G().gsRuc = vb::Trim(vb::Left(item, 11));
    txtNombre->setText(Q(vb::Trim(vb::Mid(item, 12, 31))));
    std::string base = TextoBase();
    ArmaPatron(base);
    if (mkePeriodo->isEnabled()) mkePeriodo->setFocus();
}

void FrmImportar::ArmaPatron(std::string& base) {
    const long n = static_cast<long>(vb::Len(base));
    for (int i = 0; i < 5; ++i) {
        const char* ext = i == 2 ? ".mov;" : i == 3 ? ".ext;" : nullptr;
        if (!ext || !chkOpc[static_cast<std::size_t>(i)]->isChecked()) continue;
        const std::string previo = static_cast<long>(vb::Len(base)) > n ? base : std::string();
        base = previo + vb::Left(base, n) + ext;
    }
    if (!base.empty() && base.back() == ';') base.pop_back();
    flListaFiles->SetPattern(base);
    flListaFiles->SetPath(DirList->Path());
}

void FrmImportar::mkePeriodo_Change() {
    static bool dentro = false;  // the message box takes the focus away
    if (dentro) return;
    dentro = true;
    auto& g = shell::G();
    const std::string p = S(PeriodoTexto());
    if (p.find('_') == std::string::npos && g.gnModo != 2) {
        const bool ok = g.goValidador && g.goValidador->ValidaPeriodo(p, "03/2004", vb::Today());
        if (!ok) {
            ui::MsgBox("¡El Periodo tributario no es válido!", ui::vbCritical, S(windowTitle()));
            dentro = false;
            return;
        }
    }
    std::string base = TextoBase();
    g.gsPeriodo = vb::Right(p, 4) + vb::Left(p, 2);
    ArmaPatron(base);
    dentro = false;
}

void FrmImportar::chkOpc_Click() {
    std::string base = TextoBase();
    ArmaPatron(base);
}

void FrmImportar::DrvLst_Change() {
    const std::string unidad = DrvLst->Drive();
    const int err = DirList->TrySetPath(unidad);
    if (err == 0) {
        DirList_Change();
        return;
    }
    vb::CloseAll();
    ui::SetMousePointer(ui::vbArrow);
    ui::MsgBox(MensajeUnidad(err, vb::UCase(vb::Left(unidad, 1))), ui::vbCritical,
               S(windowTitle()));
    // Back to the drive of the folder still shown.
    DrvLst->SetDrive(ui::UnidadDe(DirList->Path()));
}

void FrmImportar::DirList_Change() {
    flListaFiles->SetPath(DirList->Path());
}

void FrmImportar::CmdGrabar_Click() {
    auto& g = shell::G();
    const std::string titulo = S(windowTitle());
    try {
        g.gnModo = 0;
        const std::string carpeta = DirList->Path();
        if (carpeta.find("Ñ") != std::string::npos || carpeta.find("ñ") != std::string::npos) {
            ui::MsgBox(
                "El nombre del directorio que contiene los archivos a importar presenta un "
                "carácter no permitido (ñ).\rPor favor modifique el nombre del directorio o "
                "copie los archivos en otro directorio para poder generar su envío  KORAL.",
                ui::vbCritical, titulo);
            return;
        }
        const std::string periodo = S(PeriodoTexto());
        if (!(g.goValidador && g.goValidador->ValidaPeriodo(periodo, "03/2004", vb::Today()))) {
            ui::MsgBox("¡El Periodo tributario no es válido!", ui::vbCritical, titulo);
            return;
        }
        if (CmbRuc->currentIndex() < 0) {
            ui::MsgBox("Debe seleccionar algún número de RUC", ui::vbExclamation, titulo);
            CmbRuc->setFocus();
            return;
        }
        const std::string archivo = flListaFiles->FileName();
        if (archivo.empty()) {
            ui::MsgBox("No se ha encontrado el archivo de información para el RUC seleccionado",
                       ui::vbExclamation, titulo);
            lblbar1->clear();
            return;
        }
        if (ExisteDeclaracion()) {
            ui::MsgBox(
                "Ya existe una declaración para este contribuyente en este período si desea "
                "validar los archivos debe eliminarla",
                ui::vbCritical, titulo);
            return;
        }
        const std::string previo =
            VerificoTablaControl(chkOpc[2]->isChecked(), chkOpc[3]->isChecked());
        if (!previo.empty()) {
            if (ui::MsgBox(previo + " ¿Desea continuar?", ui::vbInformation + ui::vbOKCancel,
                           titulo) == ui::vbCancel)
                return;
        }
        bool paso = false, cabecera = false;
        {
            // Window events run during the import: the taxpayer, period,
            // kinds and files it works on must not change under it, nor may
            // the form close (which clears the period) before it ends.
            struct Importando {
                FrmImportar& f;
                explicit Importando(FrmImportar& f) : f(f) {
                    f.importando_ = true;
                    for (QWidget* w :
                         {static_cast<QWidget*>(f.fraDec), static_cast<QWidget*>(f.fraOpc),
                          static_cast<QWidget*>(f.fraArc)})
                        w->setEnabled(false);
                }
                ~Importando() {
                    f.importando_ = false;
                    for (QWidget* w :
                         {static_cast<QWidget*>(f.fraDec), static_cast<QWidget*>(f.fraOpc),
                          static_cast<QWidget*>(f.fraArc)})
                        w->setEnabled(true);
                }
            } importando(*this);
            ui::SetMousePointer(ui::vbArrow);
            fraBar->setVisible(true);
            pbar1->setMinimum(0);
            pbar1->setMaximum(2);
            pbar1->setValue(1);
            fraBar->repaint();
            QCoreApplication::processEvents();

            std::string base = NombreBase(carpeta, archivo);
            const std::string elegido =
                (carpeta.empty() || carpeta.back() != '/' ? carpeta + "/" : carpeta) + archivo;

            // While another program holds the database, the window keeps
            // painting and answering (its choices stay locked).
            struct EsperaConEventos {
                std::function<void()> previo;
                EsperaConEventos()
                    : previo(jet::SetBusyHook([] { QCoreApplication::processEvents(); })) {}
                ~EsperaConEventos() { jet::SetBusyHook(std::move(previo)); }
            } espera;

            Vista vista(*this);
            paso = Transferencia(base, vista, elegido);
            if (paso && VerificoArch()) {
                GraboCabecera();
                cabecera = true;
            }
        }
        if (cabecera) {
            ui::MsgBox(
                "La validación ha terminado satisfactoriamente. Puede ver su declaración "
                "en la opción Declaraciones/Modificar.",
                ui::vbInformation, titulo);
        } else if (paso) {
            ui::MsgBox("La validación ha terminado satisfactoriamente", ui::vbInformation, titulo);
        }
    } catch (const vb::VbError& e) {
        // A database or file error outside the import's own handling.
        ui::MsgBox("Error tecnico: " + vb::Str(static_cast<double>(e.Number())) + "\n" +
                       e.Description() + "\nIntente nuevamente por favor.",
                   ui::vbCritical, titulo);
    } catch (const std::exception& e) {
        // Anything else (memory, the file system) is said the same way rather
        // than ending the program.
        ui::MsgBox(std::string("Error tecnico: ") + e.what() + "\nIntente nuevamente por favor.",
                   ui::vbCritical, titulo);
    }
    CmdGrabar->setEnabled(true);
    pbar1->setValue(0);
    lblbar1->clear();
    fraBar->setTitle(QString());
    ui::SetMousePointer(ui::vbDefault);
    if (cierre_) {
        // "&Salir" or the close box was pressed during the import.
        const int r = *cierre_;
        cierre_.reset();
        done(r);
    }
}

void FrmImportar::CmdCancelar_Click() {
    reject();
}

void FrmImportar::done(int r) {
    if (importando_) {
        cierre_ = r;  // closes once the import has ended
        return;
    }
    shell::G().gsPeriodo.clear();
    QDialog::done(r);
}

bool FrmImportar::eventFilter(QObject* obj, QEvent* ev) {
    if (ev->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(ev);
        const bool enter = k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
        if (obj == DirList && k->key() == Qt::Key_Space) {
            if (auto* it = DirList->currentItem()) emit DirList->itemActivated(it);
            return true;
        }
        if (enter) {
            focusNextChild();
            return true;
        }
    } else if (ev->type() == QEvent::MouseButtonRelease && obj == mkePeriodo) {
        // A click past what was typed would leave the cursor where no digit
        // can go: take it back to the first blank of the mask.
        const int blanco = mkePeriodo->displayText().indexOf(QLatin1Char('_'));
        if (blanco >= 0 && mkePeriodo->cursorPosition() > blanco && !mkePeriodo->hasSelectedText())
            mkePeriodo->setCursorPosition(blanco);
    } else if (ev->type() == QEvent::FocusOut && obj == mkePeriodo) {
        mkePeriodo_Change();
    }
    return QDialog::eventFilter(obj, ev);
}

void RegistraFrmImportar() {
    shell::forms::RegistraFormulario("FrmImportar",
                                     [](QWidget* padre) { return new FrmImportar(padre); });
}

}  // namespace importacion::forms
