#include "ui/msgbox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <clocale>
#include <iostream>

#include "ui/display.h"
#include "ui/programa.h"

namespace ui {

namespace {

ScriptedAnswers* gScript = nullptr;

std::string& TituloPrograma() {
    static std::string titulo;
    return titulo;
}

const char* Leyenda(int resultado) {
    switch (resultado) {
        case vbOK:
            return "Aceptar";
        case vbCancel:
            return "Cancelar";
        case vbAbort:
            return "Anular";
        case vbRetry:
            return "Reintentar";
        case vbIgnore:
            return "Omitir";
        case vbYes:
            return "Sí";
        case vbNo:
            return "No";
    }
    return "";
}

QMessageBox::ButtonRole Papel(int resultado) {
    switch (resultado) {
        case vbOK:
            return QMessageBox::AcceptRole;
        case vbCancel:
            return QMessageBox::RejectRole;
        case vbAbort:
            return QMessageBox::RejectRole;
        case vbRetry:
            return QMessageBox::AcceptRole;
        case vbIgnore:
            return QMessageBox::AcceptRole;
        case vbYes:
            return QMessageBox::YesRole;
        case vbNo:
            return QMessageBox::NoRole;
    }
    return QMessageBox::AcceptRole;
}

QMessageBox::Icon Icono(int flags) {
    switch (flags & 0x70) {
        case vbCritical:
            return QMessageBox::Critical;
        case vbQuestion:
            return QMessageBox::Question;
        case vbExclamation:
            return QMessageBox::Warning;
        case vbInformation:
            return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

// A message box whose Esc key and close box obey the button set: with Yes/No
// or Abort/Retry/Ignore the user must press one of the buttons.
class CajaMensaje : public QMessageBox {
  public:
    explicit CajaMensaje(bool escapePermitido) : escape_(escapePermitido) {
        if (!escape_) setWindowFlag(Qt::WindowCloseButtonHint, false);
    }

  protected:
    void keyPressEvent(QKeyEvent* e) override {
        if (!escape_ && e->key() == Qt::Key_Escape) {
            e->accept();
            return;
        }
        QMessageBox::keyPressEvent(e);
    }
    void closeEvent(QCloseEvent* e) override {
        if (!escape_ && !clickedButton()) {
            e->ignore();
            return;
        }
        QMessageBox::closeEvent(e);
    }

  private:
    bool escape_;
};

int MuestraEnPantalla(std::string_view text, int flags, std::string_view title) {
    const int escape = BotonEscape(flags);
    CajaMensaje caja(escape != 0);
    caja.setWindowTitle(QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())));
    caja.setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    caja.setIcon(Icono(flags));
    if (flags & vbSystemModal) caja.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    const int porDefecto = BotonPorDefecto(flags);
    std::vector<std::pair<QAbstractButton*, int>> botones;
    for (int r : BotonesDe(flags)) {
        QPushButton* b = caja.addButton(QString::fromUtf8(Leyenda(r)), Papel(r));
        botones.emplace_back(b, r);
        if (r == porDefecto) caja.setDefaultButton(b);
        if (r == escape) caja.setEscapeButton(b);
    }
    caja.exec();
    QAbstractButton* pulsado = caja.clickedButton();
    for (auto& [b, r] : botones) {
        if (b == pulsado) return r;
    }
    return escape ? escape : porDefecto;
}

int ASalidaDeError(std::string_view text, int flags, std::string_view title) {
    std::cerr << title << ": " << text << std::endl;
    return BotonPorDefecto(flags);
}

// Programs without a window of their own still show their box on a display.
bool AseguraAplicacion() {
    if (HayAplicacion()) return true;
    if (QCoreApplication::instance() || !HayPantalla()) return false;
    static int argc = 1;
    static std::string nombre = ProgramName();
    static char* argv[] = {nombre.data(), nullptr};
    // Kept reachable for the rest of the run; tearing it down among the
    // static destructors is not safe.
    static QApplication* app = new QApplication(argc, argv);
    // Qt takes the desktop's locale for the C library too; keep numbers in
    // the C locale, as the rest of the program reads and writes them.
    std::setlocale(LC_NUMERIC, "C");
    return app != nullptr;
}

}  // namespace

void SetAppTitle(std::string title) {
    TituloPrograma() = std::move(title);
}

const std::string& AppTitle() {
    std::string& t = TituloPrograma();
    if (t.empty() && QCoreApplication::instance()) {
        t = QCoreApplication::applicationName().toStdString();
    }
    return t;
}

std::vector<int> BotonesDe(int flags) {
    switch (flags & 0x0F) {
        case vbOKCancel:
            return {vbOK, vbCancel};
        case vbAbortRetryIgnore:
            return {vbAbort, vbRetry, vbIgnore};
        case vbYesNoCancel:
            return {vbYes, vbNo, vbCancel};
        case vbYesNo:
            return {vbYes, vbNo};
        case vbRetryCancel:
            return {vbRetry, vbCancel};
    }
    return {vbOK};
}

int BotonPorDefecto(int flags) {
    const std::vector<int> b = BotonesDe(flags);
    std::size_t i = 0;
    if ((flags & 0xF00) == vbDefaultButton2) i = 1;
    if ((flags & 0xF00) == vbDefaultButton3) i = 2;
    return i < b.size() ? b[i] : b[0];
}

int BotonEscape(int flags) {
    const std::vector<int> b = BotonesDe(flags);
    for (int r : b) {
        if (r == vbCancel) return vbCancel;
    }
    return b.size() == 1 ? b[0] : 0;
}

int MsgBox(std::string_view text, int flags, std::string_view title) {
    const std::string titulo = title.empty() ? AppTitle() : std::string(title);
    if (gScript) return gScript->Answer(text, flags, titulo);
    if (AseguraAplicacion()) return MuestraEnPantalla(text, flags, titulo);
    return ASalidaDeError(text, flags, titulo);
}

ScriptedAnswers::ScriptedAnswers(std::vector<int> answers, bool echo)
    : answers_(std::move(answers)), echo_(echo), previous_(gScript) {
    gScript = this;
}

ScriptedAnswers::~ScriptedAnswers() {
    if (gScript == this) gScript = previous_;
}

void ScriptedAnswers::Push(int answer) {
    answers_.push_back(answer);
}

int ScriptedAnswers::Answer(std::string_view text, int flags, std::string_view title) {
    int r = BotonPorDefecto(flags);
    if (next_ < answers_.size()) r = answers_[next_++];
    shown_.push_back({std::string(text), std::string(title), flags, r});
    if (echo_) {
        std::cerr << "MsgBox [" << title << "] (" << flags << ") " << text << " -> " << r
                  << std::endl;
    }
    return r;
}

ScriptedAnswers* ScriptInForce() {
    return gScript;
}

}  // namespace ui
