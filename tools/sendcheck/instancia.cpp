#include "tools/sendcheck/instancia.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace sendcheck {

namespace {

// XDG_RUNTIME_DIR is the user's own; without it a folder of the user's in
// /tmp (the one the windowed programs use too).
std::string CarpetaDelUsuario() {
    const char* xdg = std::getenv("XDG_RUNTIME_DIR");
    struct stat st {};
    if (xdg != nullptr && *xdg != '\0' && ::stat(xdg, &st) == 0 && S_ISDIR(st.st_mode)) {
        return xdg;
    }
    const std::string d = "/tmp/formdesk-" + std::to_string(::getuid());
    ::mkdir(d.c_str(), 0700);
    return d;
}

}  // namespace

CerrojoInstancia::~CerrojoInstancia() {
    if (fd_ >= 0) ::close(fd_);
}

std::unique_ptr<CerrojoInstancia> CerrojoInstancia::Toma(const std::string& programa) {
    const std::string ruta = CarpetaDelUsuario() + "/" + programa + ".lock";
    int fd = ::open(ruta.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return std::unique_ptr<CerrojoInstancia>(new CerrojoInstancia(-1));
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        const bool ocupado = errno == EWOULDBLOCK;
        ::close(fd);
        if (ocupado) return nullptr;
        return std::unique_ptr<CerrojoInstancia>(new CerrojoInstancia(-1));
    }
    return std::unique_ptr<CerrojoInstancia>(new CerrojoInstancia(fd));
}

}  // namespace sendcheck
