#include "ui/instance.h"

#include <unistd.h>

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>
#include <map>
#include <memory>

namespace ui {

namespace {

struct Cerrojo {
    pid_t pid = 0;  // the process that took it
    std::unique_ptr<QLockFile> archivo;
};

std::map<std::string, Cerrojo>& Cerrojos() {
    static std::map<std::string, Cerrojo> c;
    return c;
}

QString CarpetaDelUsuario(const std::string& programa) {
    // XDG_RUNTIME_DIR is the user's own; without it a folder of the user's in /tmp.
    const QByteArray xdg = qgetenv("XDG_RUNTIME_DIR");
    if (!xdg.isEmpty() && QDir(QString::fromLocal8Bit(xdg)).exists()) {
        return QString::fromLocal8Bit(xdg);
    }
    const QString d = QDir::tempPath() + QLatin1Char('/') + QString::fromStdString(programa) +
                      QLatin1Char('-') + QString::number(getuid());
    QDir().mkpath(d);
    QFile::setPermissions(d,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return d;
}

}  // namespace

bool PrevInstanceIn(const std::string& carpeta, const std::string& programa) {
    auto& c = Cerrojos();
    auto it = c.find(programa);
    if (it != c.end()) {
        if (it->second.pid == getpid() && it->second.archivo->isLocked()) return false;  // ours
        // Copied into a forked child: the parent holds it; forget it without
        // giving it up.
        if (it->second.pid != getpid()) (void)it->second.archivo.release();
        c.erase(it);
    }
    const QString ruta = QString::fromStdString(carpeta) + QLatin1Char('/') +
                         QString::fromStdString(programa) + QStringLiteral(".lock");
    auto cerrojo = std::make_unique<QLockFile>(ruta);
    // A running holder keeps it however old it is.
    cerrojo->setStaleLockTime(0);
    if (cerrojo->tryLock(0)) {
        c[programa] = Cerrojo{getpid(), std::move(cerrojo)};
        return false;
    }
    return cerrojo->error() == QLockFile::LockFailedError;
}

bool PrevInstance(const std::string& programa) {
    return PrevInstanceIn(CarpetaDelUsuario(programa).toStdString(), programa);
}

void ReleaseInstance(const std::string& programa) {
    auto& c = Cerrojos();
    auto it = c.find(programa);
    if (it == c.end()) return;
    if (it->second.pid != getpid()) (void)it->second.archivo.release();
    c.erase(it);
}

}  // namespace ui
