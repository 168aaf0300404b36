// A top-level window with the title given, to stand where the host launcher
// would: ventana_falsa TITLE [--oculta] [--listo FILE]. With --oculta the
// window exists on the display but is never shown. FILE is written once the
// window is on the X server as asked (shown and exposed, or created and
// titled), so a script can wait for it instead of sleeping.
#include <QApplication>
#include <QFile>
#include <QTimer>
#include <QWidget>
#include <QWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 2) return 2;
    const bool oculta = args.contains(QStringLiteral("--oculta"));
    const int i = args.indexOf(QStringLiteral("--listo"));
    const QString listo = i > 0 && i + 1 < args.size() ? args[i + 1] : QString();
    QWidget w;
    w.setWindowTitle(args[1]);
    w.resize(200, 80);
    if (oculta) {
        w.winId();  // a real window on the server, unmapped
        w.setWindowTitle(args[1]);
    } else {
        w.show();
    }
    // Polled from the event loop, so the requests above have reached the
    // server (the loop flushes the connection) before the file appears.
    QTimer sondeo;
    QObject::connect(&sondeo, &QTimer::timeout, [&] {
        if (!oculta && !(w.windowHandle() && w.windowHandle()->isExposed())) return;
        sondeo.stop();
        QApplication::sync();
        if (!listo.isEmpty()) {
            QFile f(listo);
            if (!f.open(QIODevice::WriteOnly)) QCoreApplication::exit(3);
        }
    });
    sondeo.start(20);
    return app.exec();
}
