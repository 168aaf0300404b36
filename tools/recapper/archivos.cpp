#include "tools/recapper/archivos.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "vb/error.h"
#include "vb/files.h"
#include "vb/text.h"

namespace recapper {

namespace {

// The run-time error for a failed system call (its errno).
[[noreturn]] void FallaSistema(int err) {
    int numero = vb::kPathFileAccess;
    if (err == ENOENT || err == ENOTDIR) numero = vb::kPathNotFound;
    if (err == EACCES || err == EPERM || err == EROFS) numero = vb::kPermissionDenied;
    if (err == ENOSPC) numero = vb::kDiskFull;
    vb::Raise(numero);
}

void EscribeTodo(int fd, const std::string& contenido) {
    std::size_t hecho = 0;
    while (hecho < contenido.size()) {
        ssize_t n = ::write(fd, contenido.data() + hecho, contenido.size() - hecho);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int err = errno;
            ::close(fd);
            FallaSistema(err);
        }
        hecho += static_cast<std::size_t>(n);
    }
    const int sincronizado = ::fsync(fd) == 0 ? 0 : errno;
    if (::close(fd) != 0 && sincronizado == 0) FallaSistema(errno);
    if (sincronizado != 0) FallaSistema(sincronizado);
}

std::string Carpeta(const std::string& ruta) {
    const auto p = ruta.find_last_of('/');
    return p == std::string::npos ? std::string(".") : ruta.substr(0, p);
}

}  // namespace

std::string TextoArchivo(const std::vector<std::string>& lineas) {
    std::string texto;
    for (const std::string& l : lineas) {
        texto += vb::Utf8ToCp1252(l);
        texto += "\r\n";
    }
    return texto;
}

std::string CreaArchivoNuevo(const std::string& carpeta, const std::function<std::string()>& nombre,
                             const std::string& contenido) {
    const std::string base = vb::ResolvePath(carpeta);
    for (int intento = 0; intento < 1000; ++intento) {
        const std::string ruta = base + "/" + nombre();
        int fd = ::open(ruta.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) {
            if (errno == EEXIST || errno == EINTR) continue;
            FallaSistema(errno);
        }
        try {
            EscribeTodo(fd, contenido);
        } catch (...) {
            ::unlink(ruta.c_str());
            throw;
        }
        return ruta;
    }
    FallaSistema(EEXIST);
}

void ReemplazaArchivo(const std::string& ruta, const std::string& contenido) {
    const std::string destino = vb::ResolvePath(ruta);
    std::string plantilla = Carpeta(destino) + "/.nuevo.XXXXXX";
    int fd = ::mkostemp(plantilla.data(), O_CLOEXEC);
    if (fd < 0) FallaSistema(errno);
    ::fchmod(fd, 0644);
    try {
        EscribeTodo(fd, contenido);
        if (::rename(plantilla.c_str(), destino.c_str()) != 0) FallaSistema(errno);
    } catch (...) {
        ::unlink(plantilla.c_str());
        throw;
    }
}

std::string LeeArchivo(const std::string& ruta) {
    const std::string origen = vb::ResolvePath(ruta);
    if (!vb::FileExists(origen)) {
        vb::Raise(vb::kFileNotFound);
    }
    std::ifstream in(origen, std::ios::binary);
    if (!in) FallaSistema(errno);
    std::ostringstream s;
    s << in.rdbuf();
    if (in.bad()) FallaSistema(EIO);
    return s.str();
}

}  // namespace recapper
