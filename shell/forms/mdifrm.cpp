#include "shell/forms/mdifrm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPainter>
#include <QStyle>

#include "jet/database.h"
#include "shell/conexion.h"
#include "shell/forms/combo.h"
#include "shell/forms/frmacercade.h"
#include "shell/forms/frmbancos.h"
#include "shell/forms/registro.h"
#include "shell/settings.h"
#include "shell/state.h"
#include "ui/desktop.h"
#include "ui/modal.h"
#include "ui/msgbox.h"
#include "ui/pointer.h"
#include "ui/twips.h"
#include "vb/error.h"
#include "vb/numeric.h"
#include "vb/strings.h"
#include "vb/variant.h"

namespace shell::forms {

namespace {

using ui::kTwipsPorPixel;

QAction* Item(QMenu* menu, const char* nombre, const QString& leyenda) {
    QAction* a = menu->addAction(leyenda);
    a->setObjectName(QString::fromLatin1(nombre));
    return a;
}

void Raya(QMenu* menu, const char* nombre) {
    QAction* a = menu->addSeparator();
    a->setObjectName(QString::fromLatin1(nombre));
}

// A small printer for the print button, drawn here.
QIcon IconoImpresora() {
    QPixmap p(24, 24);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(Qt::black, 1));
    g.setBrush(Qt::white);
    g.drawRect(7, 2, 10, 8);  // sheet
    g.setBrush(QColor(160, 160, 160));
    g.drawRoundedRect(2, 9, 20, 9, 2, 2);  // body
    g.setBrush(Qt::white);
    g.drawRect(6, 15, 12, 7);  // printed sheet
    g.drawLine(8, 18, 16, 18);
    return QIcon(p);
}

QPointer<QDialog>& InstanciaBancos() {
    static QPointer<QDialog> f;
    return f;
}

QPointer<QDialog>& InstanciaAcercade() {
    static QPointer<QDialog> f;
    return f;
}

}  // namespace

void PosicionaForm(QWidget* form, int left, int top, int height, int width) {
    form->setWindowState(Qt::WindowNoState);
    // Left and top place the outer frame; height and width are the outer
    // measures, so the frame's own border comes off the inside.
    const QRect fuera = form->frameGeometry();
    const QRect dentro = form->geometry();
    const int bordeAncho = form->isVisible() ? fuera.width() - dentro.width() : 0;
    const int bordeAlto = form->isVisible() ? fuera.height() - dentro.height() : 0;
    form->move(left / kTwipsPorPixel, top / kTwipsPorPixel);
    form->resize(std::max(0, width / kTwipsPorPixel - bordeAncho),
                 std::max(0, height / kTwipsPorPixel - bordeAlto));
}

void MuestraErrorNoAtrapado(int numero, const std::string& descripcion) {
    ui::SetMousePointer(ui::vbDefault);
    ui::MsgBox("Se ha producido el error '" + std::to_string(numero) +
                   "' en tiempo de ejecución:\n\n" + descripcion,
               ui::vbCritical);
}

void IniciaVersion() {
    ProgramState& g = G();
    auto rs = g.gdbBase->OpenRecordset(
        "Select * from param where numero = '856'  and argumento='0787'", jet::dbOpenSnapshot);
    if (!rs->Eof()) {
        const std::string funcion = vb::ToText(rs->Fields("Funcion").Value());
        g.gsVersion = vb::Mid(funcion, 1, 3);
        g.gsFechaVersion = vb::Mid(funcion, 5, 10);
    }
    rs->Close();
}

std::string DireccionVersion(const std::string& version, const std::string& fechaVersion) {
    std::string fecha;
    if (!fechaVersion.empty()) {
        try {
            fecha = vb::Format(vb::Variant(vb::CDate(vb::Variant(fechaVersion))), "ddmmyyyy");
        } catch (const vb::VbError&) {
            // Not a date: it goes as it is, as Format leaves such text.
            fecha = fechaVersion;
        }
    }
    return std::string(kServidorDescargas) +
           "/qvx/qvxdown/vezavuzuzevero/vezavuzuzevero.htm?p=0787&v=" + version + "&f=" + fecha +
           "#p787";
}

MDIFrm::MDIFrm(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("MDIFrm"));
    setWindowTitle(QStringLiteral("0787 Olvarico v 1.9"));
    mdi_ = new QMdiArea(this);
    mdi_->setObjectName(QStringLiteral("MDIClient"));
    setCentralWidget(mdi_);
    CreaMenus();
    CreaBarraHerramientas();
    BarradeEstadoQVX1 = new ui::BarradeEstadoQVX(this);
    BarradeEstadoQVX1->setObjectName(QStringLiteral("BarradeEstadoQVX1"));
    setStatusBar(BarradeEstadoQVX1);
    FijaBarraEstado(BarradeEstadoQVX1);
}

MDIFrm::~MDIFrm() {
    if (BarraEstado() == BarradeEstadoQVX1) FijaBarraEstado(nullptr);
    if (rsError_) {
        try {
            rsError_->Close();
        } catch (const vb::VbError&) {
        }
    }
}

void MDIFrm::CreaMenus() {
    QMenuBar* barra = menuBar();
    auto menu = [&](const char* nombre, const QString& leyenda) {
        QMenu* m = barra->addMenu(leyenda);
        m->setObjectName(QString::fromLatin1(nombre));
        return m;
    };
    auto une = [&](QAction* a, void (MDIFrm::*comando)()) {
        connect(a, &QAction::triggered, this, [this, comando] { Ejecuta(comando); });
    };

    QMenu* mnuDeclara = menu("mnuDeclara", QStringLiteral("&Declaraciones"));
    une(Item(mnuDeclara, "mnuModificar", QStringLiteral("&Modificar")),
        &MDIFrm::mnuModificar_Click);
    une(Item(mnuDeclara, "mnuEliminar", QStringLiteral("&Eliminar")), &MDIFrm::mnuEliminar_Click);
    Raya(mnuDeclara, "Rayita1");
    une(Item(mnuDeclara, "mnuValidar", QStringLiteral("&Validar Archivos")),
        &MDIFrm::mnuValidar_Click);
    Raya(mnuDeclara, "rayita2");
    une(Item(mnuDeclara, "mnuImprimir", QStringLiteral("&Imprimir")), &MDIFrm::mnuImprimir_Click);
    Raya(mnuDeclara, "rayita");
    une(Item(mnuDeclara, "mnuSalir", QStringLiteral("&Salir")), &MDIFrm::mnuSalir_Click);

    QMenu* mnuDeclaraE = menu("mnuDeclaraE", QStringLiteral("Declaraciones &Enviadas"));
    une(Item(mnuDeclaraE, "mnuRegistrar", QStringLiteral("&Registrar número de orden")),
        &MDIFrm::mnuRegistrar_Click);
    une(Item(mnuDeclaraE, "mnuEliminarE", QStringLiteral("&Eliminar")),
        &MDIFrm::mnuEliminarE_Click);
    Raya(mnuDeclaraE, "Raya");
    une(Item(mnuDeclaraE, "mnuImprimirE", QStringLiteral("&Imprimir")),
        &MDIFrm::mnuImprimirE_Click);

    QMenu* mnuConsultas = menu("mnuConsultas", QStringLiteral("&Consultas"));
    QAction* pro = Item(mnuConsultas, "mnuPro", QStringLiteral("&Codigos de profesión"));
    une(pro, &MDIFrm::mnuPro_Click);
    une(Item(mnuConsultas, "mnuBancos", QStringLiteral("&Bancos")), &MDIFrm::mnuBancos_Click);
    QAction* uit = Item(mnuConsultas, "mnuUit", QStringLiteral("&Consulta de UIT"));
    une(uit, &MDIFrm::mnuUit_Click);
    // Designed switched off: the professions and tax-unit lists stay out of
    // the menu; their commands remain.
    pro->setVisible(false);
    uit->setVisible(false);

    QMenu* mnuayuda = menu("mnuayuda", QStringLiteral("&Ayuda"));
    une(Item(mnuayuda, "mnuContenido", QStringLiteral("&Contenido de la Ayuda")),
        &MDIFrm::mnuContenido_Click);
    Raya(mnuayuda, "mnuRaya");
    une(Item(mnuayuda, "mnuAcerca", QStringLiteral("&Acerca de ...")), &MDIFrm::mnuAcerca_Click);
    une(Item(mnuayuda, "verificar", QStringLiteral("&Verificar Versión")),
        &MDIFrm::verificar_Click);
}

void MDIFrm::CreaBarraHerramientas() {
    Toolbar1 = addToolBar(QStringLiteral("Toolbar1"));
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setMovable(false);
    Toolbar1->setFloatable(false);
    QStyle* s = style();
    struct Boton {
        QIcon icono;
        const char* ayuda;
        bool activo;
    };
    const Boton lista[9] = {
        {s->standardIcon(QStyle::SP_FileDialogContentsView), "Modifcar", true},
        {s->standardIcon(QStyle::SP_TrashIcon), "Eliminar", true},
        {IconoImpresora(), "Imprimir", true},
        {s->standardIcon(QStyle::SP_DialogCloseButton), "Salir", true},
        {{}, "", false},
        {s->standardIcon(QStyle::SP_FileDialogListView), "Numero de orden", true},
        {{}, "", false},
        {{}, "", false},
        {s->standardIcon(QStyle::SP_DialogHelpButton), "", true},
    };
    for (int i = 0; i < 9; ++i) {
        QAction* a = nullptr;
        if (lista[i].activo) {
            a = Toolbar1->addAction(lista[i].icono, QString());
            a->setToolTip(QString::fromUtf8(lista[i].ayuda));
        } else {
            // Buttons 5, 7 and 8 separate the groups and do nothing.
            a = Toolbar1->addSeparator();
        }
        a->setObjectName(QStringLiteral("Button%1").arg(i + 1));
        const int indice = i + 1;
        connect(a, &QAction::triggered, this, [this, indice] {
            try {
                Toolbar1_ButtonClick(indice);
            } catch (const vb::VbError& e) {
                MuestraErrorNoAtrapado(e.Number(), e.Description());
            } catch (const std::exception& e) {
                MuestraErrorNoAtrapado(vb::kPathFileAccess, e.what());
            }
        });
    }
}

bool MDIFrm::MDIForm_Load() {
    ProgramState& g = G();
    // The frame keeps its place and cannot be minimised or maximised.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    PosicionaForm(this, 0, 0, 7320, 9555);
    // Showing it activates it, and activation squares it up, even where no
    // window manager hands out activation.
    show();
    pCuadra();
    if (!LeeConfiguracion()) return false;
    if (!AbreBaseDatos()) return false;
    g.gsFormulario = "0787";
    helpFile_ = g.gsSysPath + "0787" + "/" + "formdesk";
    helpContext_ = 1008;
    // F1 in any window of the program, modal forms included.
    qApp->installEventFilter(this);
    try {
        // Nothing reads it, but the host's table must be there for the run.
        rsError_ = g.gdbBase->OpenRecordset("error", jet::dbOpenTable);
        BarradeEstadoQVX1->setNumdoc(QString());
        BarradeEstadoQVX1->setRazonsocial(QString());
        BarradeEstadoQVX1->setFormulario(QString::fromStdString(g.gsFormulario));
        BarradeEstadoQVX1->setPeriodo_ejercicio(QString::fromStdString(g.gsPeriodo));
        BarradeEstadoQVX1->setEsruc(QStringLiteral("1"));
        IniciaVersion();
    } catch (const vb::VbError& e) {
        MuestraErrorNoAtrapado(e.Number(), e.Description());
        return false;
    }
    return true;
}

bool MDIFrm::eventFilter(QObject* objeto, QEvent* e) {
    if (e->type() != QEvent::KeyPress || helpFile_.empty()) return false;
    auto* tecla = static_cast<QKeyEvent*>(e);
    if (tecla->key() != Qt::Key_F1 || tecla->modifiers() != Qt::NoModifier) return false;
    auto* widget = qobject_cast<QWidget*>(objeto);
    if (widget == nullptr) return false;
    // The help context of the focused control, else of its window; a window
    // without one opens the help at its contents.
    int contexto = 0;
    for (QWidget* w = widget; w != nullptr && contexto == 0; w = w->parentWidget()) {
        contexto = w->property("HelpContextID").toInt();
        if (w->isWindow()) break;
    }
    ui::MuestraAyuda(helpFile_, widget->window()->windowTitle().toStdString(), contexto);
    return true;
}

bool MDIFrm::event(QEvent* e) {
    const bool r = QMainWindow::event(e);
    if (e->type() == QEvent::WindowActivate) pCuadra();
    return r;
}

void MDIFrm::changeEvent(QEvent* e) {
    QMainWindow::changeEvent(e);
    if (e->type() != QEvent::WindowStateChange) return;
    // The frame has no minimise or maximise box, but a window manager may
    // ignore that and offer both: any state it is given goes back to the
    // normal one, with the place and size it had. Back in the event loop,
    // once the window system has done with the change: undone from inside
    // it, the change's own late report would undo the return.
    if ((windowState() & ~Qt::WindowActive) == Qt::WindowNoState || aNormal_) return;
    aNormal_ = true;
    const QRect puesto = normalGeometry();
    QMetaObject::invokeMethod(
        this,
        [this, puesto] {
            aNormal_ = false;
            setWindowState(Qt::WindowNoState);
            // The inner rectangle, not pCuadra's outer measures: those would
            // take the borders of the maximised frame, which has none at the
            // sides.
            if (puesto.isValid()) {
                setGeometry(puesto);
            } else {
                pCuadra();
            }
        },
        Qt::QueuedConnection);
}

void MDIFrm::closeEvent(QCloseEvent* e) {
    // The frame's close box ends the program as "&Salir" does.
    if (!terminando_) {
        terminando_ = true;
        if (rsError_) {
            try {
                rsError_->Close();
            } catch (const vb::VbError&) {
            }
            rsError_.reset();
        }
        CierraBaseDatos();
    }
    QMainWindow::closeEvent(e);
}

void MDIFrm::pCuadra() {
    PosicionaForm(this, -60, -60, 7390, 9720);
}

void MDIFrm::CierraFormularios() {
    // One child at a time, while one is active.
    while (QMdiSubWindow* hijo = mdi_->activeSubWindow()) {
        mdi_->removeSubWindow(hijo);
        delete hijo;
    }
}

void MDIFrm::Ejecuta(void (MDIFrm::*comando)()) {
    try {
        (this->*comando)();
    } catch (const vb::VbError& e) {
        MuestraErrorNoAtrapado(e.Number(), e.Description());
    } catch (const std::exception& e) {
        MuestraErrorNoAtrapado(vb::kPathFileAccess, e.what());
    }
}

void MDIFrm::Termina() {
    if (fin_) {
        fin_();
    } else {
        QApplication::exit(0);
    }
}

void MDIFrm::mnuModificar_Click() {
    ProgramState& g = G();
    g.gbEnviadas = false;
    g.gbRegistraOrden = false;
    g.gbOrdenModificado = false;
    CierraFormularios();
    g.gnModo = 2;
    AbreFormulario("frmModFor", this);
}

void MDIFrm::mnuEliminar_Click() {
    ProgramState& g = G();
    g.gbRegistraOrden = false;
    g.gbOrdenModificado = false;
    g.gbEnviadas = false;
    g.gnModo = 3;
    AbreFormulario("frmModFor", this);
}

void MDIFrm::mnuValidar_Click() {
    ProgramState& g = G();
    g.gbRegistraOrden = false;
    g.gbOrdenModificado = false;
    g.gbEnviadas = false;
    g.gnModo = 3;
    AbreFormulario("FrmImportar", this);
}

void MDIFrm::mnuImprimir_Click() {
    ProgramState& g = G();
    g.gbRegistraOrden = false;
    g.gbEnviadas = false;
    AbreFormulario("frmImprimir", this);
    ui::SetMousePointer(ui::vbDefault);
}

void MDIFrm::mnuSalir_Click() {
    // Unload the frame, then close and release the database, then end.
    terminando_ = true;
    close();
    if (rsError_) {
        rsError_->Close();
        rsError_.reset();
    }
    CierraBaseDatos();
    Termina();
}

void MDIFrm::mnuRegistrar_Click() {
    ProgramState& g = G();
    g.gbRegistraOrden = true;
    g.gnModo = 2;
    g.gbOrdenModificado = false;
    const ui::PunteroOcupado ocupado;
    AbreFormulario("frmAbrirEnv", this);
}

void MDIFrm::mnuEliminarE_Click() {
    ProgramState& g = G();
    g.gnModo = 3;
    g.gbRegistraOrden = false;
    g.gbEnviadas = true;
    CierraFormularios();
    AbreFormulario("frmModFor", this);
}

void MDIFrm::mnuImprimirE_Click() {
    ProgramState& g = G();
    g.gbRegistraOrden = false;
    g.gbEnviadas = true;
    AbreFormulario("frmImprimir", this);
    ui::SetMousePointer(ui::vbDefault);
}

void MDIFrm::AbreConsulta(std::uint8_t tipo) {
    CierraFormularios();
    ui::Unload(InstanciaBancos());
    G().gnTipoConsulta = tipo;
    const ui::PunteroOcupado ocupado;
    ui::ShowFresh(InstanciaBancos(), [this] { return new frmBancos(this); });
}

void MDIFrm::mnuPro_Click() {
    AbreConsulta(1);
}
void MDIFrm::mnuBancos_Click() {
    AbreConsulta(2);
}
void MDIFrm::mnuUit_Click() {
    AbreConsulta(3);
}

void MDIFrm::mnuContenido_Click() {
    ui::MuestraAyuda(helpFile_, windowTitle().toStdString());
}

void MDIFrm::mnuAcerca_Click() {
    ui::ShowFresh(InstanciaAcercade(), [this] { return new frmAcercade(this); });
}

void MDIFrm::verificar_Click() {
    ui::AbreDireccion(DireccionVersion(G().gsVersion, G().gsFechaVersion),
                      windowTitle().toStdString());
}

void MDIFrm::Toolbar1_ButtonClick(int index) {
    ProgramState& g = G();
    switch (index) {
        case 1:
            mnuModificar_Click();
            break;
        case 2:
            g.gbRegistraOrden = false;
            g.gbOrdenModificado = false;
            g.gbEnviadas = false;
            g.gnModo = 3;
            CierraFormularios();
            AbreFormulario("frmModFor", this);
            break;
        case 3:
            mnuImprimir_Click();
            break;
        case 4:
            // Database first, then the frame.
            if (rsError_) {
                rsError_->Close();
                rsError_.reset();
            }
            CierraBaseDatos();
            terminando_ = true;
            close();
            Termina();
            break;
        case 6:
            mnuRegistrar_Click();
            break;
        case 9:
            mnuContenido_Click();
            break;
        default:
            // 5, 7 and 8 do nothing.
            break;
    }
}

}  // namespace shell::forms
