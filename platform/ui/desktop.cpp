#include "ui/desktop.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "ui/msgbox.h"

namespace ui {

namespace {

std::function<void(const std::string&)>& Hook() {
    static std::function<void(const std::string&)> h;
    return h;
}

void Abre(const QUrl& url) {
    if (Hook()) {
        Hook()(url.isLocalFile() ? url.toLocalFile().toStdString() : url.toString().toStdString());
        return;
    }
    QDesktopServices::openUrl(url);
}

}  // namespace

void SetDesktopHook(std::function<void(const std::string&)> hook) {
    Hook() = std::move(hook);
}

void AbreDireccion(const std::string& url) {
    Abre(QUrl(QString::fromStdString(url)));
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

bool MuestraAyuda(const std::string& ruta, const std::string& titulo) {
    const std::string archivo = BuscaArchivoAyuda(ruta);
    if (archivo.empty()) {
        MsgBox("No se encuentra el archivo de ayuda " + ruta + ".", vbExclamation, titulo);
        return false;
    }
    Abre(QUrl::fromLocalFile(QString::fromStdString(archivo)));
    return true;
}

}  // namespace ui
