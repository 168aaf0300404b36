// The host launcher: a window titled "Telvarin" from which the main program
// of form 0787 is started.
#include "host/launcher/nexador.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QVBoxLayout>
#include <QWidget>
#include <cstdio>

#include "ui/display.h"
#include "ui/msgbox.h"
#include "ui/programa.h"
#include "ui/windows.h"

namespace launcher {

namespace {

constexpr const char* kTitulo = "Telvarin";
constexpr const char* kTituloFormdesk = "0787 Olvarico v 1.9";

QString RutaFormdesk() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/formdesk");
}

void AbreFormdesk() {
    const QString programa = RutaFormdesk();
    if (!QFileInfo(programa).isExecutable()) {
        ui::MsgBox("No se encuentra el programa " + programa.toStdString() + ".", ui::vbCritical,
                   kTitulo);
        return;
    }
    if (!QProcess::startDetached(programa, {}, QDir::currentPath())) {
        ui::MsgBox("No se pudo iniciar " + programa.toStdString() + ".", ui::vbCritical, kTitulo);
    }
}

// On the screen now, so that it shows in the picture.
bool VentanaEnPantalla(const std::string& titulo) {
    for (const ui::VentanaX& v : ui::VentanasDelEscritorio()) {
        if (v.mapeada && v.titulo == titulo) return true;
    }
    return false;
}

int Captura(const QString& archivo, const QString& titulo, int segundos) {
    const std::string t = titulo.toStdString();
    for (int i = 0; !VentanaEnPantalla(t); ++i) {
        if (i >= segundos * 10) {
            std::fprintf(stderr, "launcher: no apareció la ventana \"%s\"\n", t.c_str());
            return 1;
        }
        QThread::msleep(100);
    }
    // Let the window paint itself before the picture is taken.
    QThread::msleep(1500);
    QScreen* pantalla = QGuiApplication::primaryScreen();
    if (!pantalla || !pantalla->grabWindow(0).save(archivo, "PNG")) {
        std::fprintf(stderr, "launcher: no se pudo guardar %s\n", qPrintable(archivo));
        return 1;
    }
    return 0;
}

}  // namespace

int Main(int argc, char** argv) {
    // Its window must be one the family's programs can find on the X server.
    ui::PrefiereX11();
    if (!ui::QtPuedeArrancar()) {
        std::fprintf(stderr, "%s\n",
                     ui::MensajeSinPantalla("launcher", "xvfb-run -a launcher").c_str());
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("launcher"));
    ui::SetProgramName("launcher");
    ui::SetAppTitle(kTitulo);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() >= 3 && args[1] == QLatin1String("--screenshot")) {
        const QString titulo = args.size() >= 4 ? args[3] : QString::fromUtf8(kTituloFormdesk);
        const int segundos = args.size() >= 5 ? args[4].toInt() : 30;
        return Captura(args[2], titulo, segundos > 0 ? segundos : 30);
    }

    QWidget ventana;
    ventana.setObjectName(QStringLiteral("Nexador"));
    ventana.setWindowTitle(QString::fromUtf8(kTitulo));
    auto* caja = new QVBoxLayout(&ventana);
    auto* rotulo = new QLabel(QStringLiteral("Nexador del QVX"), &ventana);
    QFont f = rotulo->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.4);
    rotulo->setFont(f);
    caja->addWidget(rotulo);
    auto* boton = new QPushButton(QStringLiteral("Formulario &0787"), &ventana);
    boton->setObjectName(QStringLiteral("cmdFormdesk"));
    caja->addWidget(boton);
    QObject::connect(boton, &QPushButton::clicked, &AbreFormdesk);
    ventana.resize(320, 120);
    ventana.move(700, 40);
    ventana.show();
    return app.exec();
}

}  // namespace launcher
