#include "ui/desktop.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QUrl>
#include <cerrno>
#include <csignal>

#include "ui/msgbox.h"

namespace ui {

namespace {

std::function<void(const std::string&)>& Hook() {
    static std::function<void(const std::string&)> h;
    return h;
}

// Starts `programa argumento` away from this process (a session of its own, so
// that ending the program leaves the browser open) and calls `falla` on this
// thread when it could not be run or ended with an error. False when it could
// not even be started.
bool LanzaVigilado(const QString& programa, const QByteArray& argumento,
                   const std::function<void()>& falla) {
    QByteArray ruta = QFile::encodeName(programa);
    QByteArray arg = argumento;
    int tubo[2];
    if (::pipe2(tubo, O_CLOEXEC) != 0) return false;
    const pid_t medio = ::fork();
    if (medio < 0) {
        ::close(tubo[0]);
        ::close(tubo[1]);
        return false;
    }
    if (medio == 0) {
        // Only calls that are safe after fork in a program with threads.
        ::close(tubo[0]);
        ::setsid();
        ::signal(SIGPIPE, SIG_IGN);
        unsigned char resultado = 127;
        const pid_t hijo = ::fork();
        if (hijo == 0) {
            char* const argv[] = {ruta.data(), arg.data(), nullptr};
            ::execv(ruta.constData(), argv);
            ::_exit(127);
        }
        if (hijo > 0) {
            int estado = 0;
            while (::waitpid(hijo, &estado, 0) < 0 && errno == EINTR) {
            }
            resultado = WIFEXITED(estado) ? static_cast<unsigned char>(WEXITSTATUS(estado)) : 128;
        }
        (void)!::write(tubo[1], &resultado, 1);
        ::_exit(0);
    }
    ::close(tubo[1]);
    const int fd = tubo[0];
    auto* aviso = new QSocketNotifier(fd, QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(aviso, &QSocketNotifier::activated, aviso, [aviso, fd, medio, falla] {
        unsigned char resultado = 255;
        const ssize_t n = ::read(fd, &resultado, 1);
        aviso->setEnabled(false);
        ::close(fd);
        ::waitpid(medio, nullptr, 0);
        aviso->deleteLater();
        if (n != 1 || resultado != 0) falla();
    });
    return true;
}

// Hands the address or file to the desktop's handler (xdg-open); when no
// program can open it the user is told, naming what could not be opened.
void Abre(const QUrl& url, const std::string& mensaje, const std::string& titulo) {
    if (Hook()) {
        std::string destino =
            url.isLocalFile() ? url.toLocalFile().toStdString() : url.toString().toStdString();
        if (url.isLocalFile() && url.hasFragment()) destino += "#" + url.fragment().toStdString();
        Hook()(destino);
        return;
    }
    auto falla = [mensaje, titulo] { MsgBox(mensaje, vbExclamation, titulo); };
    const QString abridor = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!abridor.isEmpty() && QCoreApplication::instance() != nullptr) {
        // A file goes as its path, unless it must open at a part of it.
        const QByteArray argumento = url.isLocalFile() && !url.hasFragment()
                                         ? QFile::encodeName(url.toLocalFile())
                                         : url.toEncoded();
        if (LanzaVigilado(abridor, argumento, falla)) return;
    }
    if (!QDesktopServices::openUrl(url)) falla();
}

}  // namespace

void SetDesktopHook(std::function<void(const std::string&)> hook) {
    Hook() = std::move(hook);
}

void AbreDireccion(const std::string& url, const std::string& titulo) {
    Abre(QUrl(QString::fromStdString(url)),
         "No se pudo abrir la dirección " + url + ": no hay un programa que la abra.", titulo);
}

std::string BuscaArchivoAyuda(const std::string& ruta) {
    if (ruta.empty()) return {};
    const QFileInfo fi(QString::fromStdString(ruta));
    if (fi.isFile()) return fi.absoluteFilePath().toStdString();
    // The folder may be written in other capitals, and the file may carry an
    // extension (ayuda.html, ayuda.pdf ...).
    QDir dir(QStringLiteral("/"));
    const QStringList partes = fi.absolutePath().split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString& p : partes) {
        if (dir.exists(p)) {
            dir.cd(p);
            continue;
        }
        bool hallado = false;
        for (const QString& e : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            if (e.compare(p, Qt::CaseInsensitive) == 0) {
                dir.cd(e);
                hallado = true;
                break;
            }
        }
        if (!hallado) return {};
    }
    const QString nombre = fi.fileName();
    QString conExtension;
    for (const QFileInfo& e : dir.entryInfoList(QDir::Files, QDir::Name)) {
        if (e.fileName().compare(nombre, Qt::CaseInsensitive) == 0) {
            return e.absoluteFilePath().toStdString();
        }
        if (conExtension.isEmpty() &&
            e.completeBaseName().compare(nombre, Qt::CaseInsensitive) == 0) {
            conExtension = e.absoluteFilePath();
        }
    }
    return conExtension.toStdString();
}

bool MuestraAyuda(const std::string& ruta, const std::string& titulo, int contexto) {
    const std::string archivo = BuscaArchivoAyuda(ruta);
    if (archivo.empty()) {
        MsgBox("No se encuentra el archivo de ayuda " + ruta + ".", vbExclamation, titulo);
        return false;
    }
    QUrl url = QUrl::fromLocalFile(QString::fromStdString(archivo));
    // The help page marks the part of each window with its help context.
    if (contexto > 0) url.setFragment(QString::number(contexto));
    Abre(url,
         "No se pudo abrir el archivo de ayuda " + archivo + ": no hay un programa que lo abra.",
         titulo);
    return true;
}

}  // namespace ui
