#include "import/transferencia.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <memory>
#include <vector>

#include "dupcheck/dupcheck.h"
#include "import/control.h"
#include "import/movimientos.h"
#include "import/reversiones.h"
#include "linefilter/linefilter.h"
#include "shell/avisos.h"
#include "shell/digest.h"
#include "shell/state.h"
#include "validator/validator.h"
#include "vb/error.h"
#include "vb/files.h"
#include "vb/strings.h"

namespace importacion {
namespace {

struct Enlace {
    DepurarFn fn = nullptr;
    std::string error;
    bool intentado = false;
};

// The folder of the running program: the library is looked for beside it
// when the loader's own search does not find it.
std::string CarpetaPrograma() {
    char buf[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return {};
    std::string s(buf, static_cast<std::size_t>(n));
    return s.substr(0, s.rfind('/') + 1);
}

Enlace& EnlaceDepurar() {
    static Enlace e;
    if (e.intentado) return e;
    e.intentado = true;
    void* h = ::dlopen(kLinefilterLibrary, RTLD_NOW | RTLD_LOCAL);
    if (!h) h = ::dlopen((CarpetaPrograma() + kLinefilterLibrary).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!h) {
        const char* d = ::dlerror();
        e.error = std::string("No se pudo cargar la biblioteca ") + kLinefilterLibrary +
                  (d ? std::string(": ") + d : std::string());
        return e;
    }
    e.fn = reinterpret_cast<DepurarFn>(::dlsym(h, "depurar"));
    if (!e.fn)
        e.error =
            std::string("La biblioteca ") + kLinefilterLibrary + " no ofrece la función depurar";
    return e;
}

// Paths go to the libraries as the system names files: here the system's
// own encoding is UTF-8, so the resolved path passes unchanged.
std::string Ansi(const std::string& s) {
    return vb::ResolvePath(s);
}

// Why the filter could not copy a data file, as a second line of its message
// ("" when nothing plain explains it): the user sees a file that looks fine
// in its folder and needs to know what to mend.
std::string MotivoFiltro(const std::string& F) {
    const std::string f = vb::ResolvePath(F);
    struct stat st;
    if (::stat(f.c_str(), &st) != 0) {
        // A path longer than the system takes names no file it can look for.
        if (errno == ENAMETOOLONG) return "\n El nombre del archivo es demasiado largo.";
        return "\n El archivo no existe.";
    }
    if (!S_ISREG(st.st_mode)) return "\n El nombre no corresponde a un archivo de datos.";
    const auto tamano = static_cast<unsigned long long>(st.st_size);
    if (::access(f.c_str(), R_OK) != 0) return "\n El archivo no se puede leer.";
    const std::size_t barra = f.rfind('/');
    const std::string carpeta = barra == std::string::npos ? "." : f.substr(0, barra + 1);
    if (::access(carpeta.c_str(), W_OK) != 0)
        return "\n No se puede escribir en la carpeta " + carpeta + ".";
    for (const char* sufijo : {"err", "out"}) {
        if (::stat((f + sufijo).c_str(), &st) == 0 && !S_ISREG(st.st_mode))
            return "\n No se puede crear el archivo " + F + sufijo + ".";
    }
    // The cleaned copy, as large as the data file at most, is written beside
    // it (and the filter has removed what it had written of it): a disk with
    // less room than the data file, or with no file left to make, cannot
    // take it. The reserve of the file system is this program's too when it
    // runs as the administrator.
    struct statvfs disco;
    if (::statvfs(carpeta.c_str(), &disco) == 0) {
        const bool administrador = ::geteuid() == 0;
        const unsigned long long libres =
            static_cast<unsigned long long>(administrador ? disco.f_bfree : disco.f_bavail) *
            disco.f_frsize;
        const bool sinArchivos =
            disco.f_files != 0 && (administrador ? disco.f_ffree : disco.f_favail) == 0;
        if (sinArchivos || libres < tamano) return "\n " + vb::ErrorText(vb::kDiskFull) + ".";
    }
    return {};
}

struct Clase {
    int casilla;
    const char* extension;
    std::int16_t campos;
    int progreso;
};

constexpr Clase kClases[] = {{2, "mov", 7, 1}, {3, "ext", 9, 2}};

// The data file of one kind: the file the user picked when it is of this
// kind (its name exactly, for a folder may hold "X.MOV" and "X.mov" side by
// side), else the base name and the extension as the file system finds it.
std::string ArchivoDeClase(const std::string& base, const char* extension,
                           const std::string& elegido) {
    const std::string propio = base + extension;
    if (elegido.size() == propio.size() && elegido.compare(0, base.size(), base) == 0 &&
        vb::UCase(elegido.substr(base.size())) == vb::UCase(extension))
        return elegido;
    return vb::ResolvePath(propio);
}

// Deletes the file of exactly this name (the filter's own files are named
// after the data file; a file that differs only in capitals is another
// file's); a failure leaves it.
void Borra(const std::string& ruta) {
    struct stat st;
    if (::lstat(ruta.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) ::unlink(ruta.c_str());
}

// The run-time's text for a failed file operation.
std::string TextoError(int numero) {
    switch (numero) {
        case ENOENT:
            return vb::ErrorText(vb::kFileNotFound);
        case ENOSPC:
        case EDQUOT:
            return vb::ErrorText(vb::kDiskFull);
        case EIO:
            return vb::ErrorText(vb::kDeviceIO);
        case EACCES:
        case EPERM:
        case EROFS:
            return vb::ErrorText(vb::kPermissionDenied);
        default:
            return vb::ErrorText(vb::kPathFileAccess);
    }
}

// Whether two files hold the same bytes.
bool MismoContenido(const std::string& a, const std::string& b) {
    std::FILE* fa = std::fopen(a.c_str(), "rb");
    std::FILE* fb = fa ? std::fopen(b.c_str(), "rb") : nullptr;
    bool igual = fa && fb;
    std::vector<char> ba(1 << 20), bb(1 << 20);
    while (igual) {
        const std::size_t na = std::fread(ba.data(), 1, ba.size(), fa);
        const std::size_t nb = std::fread(bb.data(), 1, bb.size(), fb);
        if (na != nb || std::memcmp(ba.data(), bb.data(), na) != 0 || std::ferror(fa) ||
            std::ferror(fb))
            igual = false;
        else if (na == 0)
            break;
    }
    if (fa) std::fclose(fa);
    if (fb) std::fclose(fb);
    return igual;
}

// Whether the data file is still the one the filter read: another program
// may have saved a new version (or added lines) meanwhile, and the copy of
// the old one must not take its place.
bool MismoArchivoQue(const struct stat& antes, const struct stat& ahora) {
    return antes.st_dev == ahora.st_dev && antes.st_ino == ahora.st_ino &&
           antes.st_size == ahora.st_size && antes.st_mtim.tv_sec == ahora.st_mtim.tv_sec &&
           antes.st_mtim.tv_nsec == ahora.st_mtim.tv_nsec;
}

constexpr const char* kCambioDurante = "El archivo cambió mientras se depuraba.";
constexpr const char* kCopiaAjena = "Otro programa reemplazó la copia depurada.";

bool MismoNodo(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether `ruta` names the file open as `fd` (device and inode).
bool NombraA(const std::string& ruta, int fd) {
    struct stat a, b;
    return fd >= 0 && ::fstat(fd, &a) == 0 && ::lstat(ruta.c_str(), &b) == 0 && MismoNodo(a, b);
}

// Another import (another session, another user) validating the same data
// file would share its filter's copy, error file and work file. Each import
// holds an exclusive lock on the file F & "lck" beside the data file while it
// validates F; the lock is named like the filter's copy, so any two imports
// that would share F & "out" share it too. The data file itself is not
// locked: an exclusive lock on a shared Windows folder stops this very
// program's reads of it, and one over NFS needs the file open for writing.
// The system lets the lock go when the process ends, however it ends; a lock
// file left by a killed import is simply taken again. Without a lock file (a
// folder that cannot take one, a file system without locks) the import goes
// on unlocked, as before.
class CerrojoValidacion {
  public:
    enum class Estado { Tomado, Ocupado, SinCerrojo };

    // `datos` is the data file as found (nullptr when it is not there): a
    // new lock file takes its permissions, so that whoever may validate the
    // data file can take the lock.
    CerrojoValidacion(const std::string& F, const struct stat* datos) : ruta_(F + "lck") {
        for (int intento = 0; intento < 100; ++intento) {
            bool nuevo = true;
            int fd =
                ::open(ruta_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
            if (fd < 0 && errno == EEXIST) {
                nuevo = false;
                constexpr int kModo = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
                fd = ::open(ruta_.c_str(), O_RDWR | kModo);
                if (fd < 0 && errno == EACCES) fd = ::open(ruta_.c_str(), O_RDONLY | kModo);
                if (fd < 0 && errno == ENOENT) continue;  // its holder just removed it
            }
            if (fd < 0) return;
            if (nuevo && datos) ::fchmod(fd, datos->st_mode & 0666);
            int r;
            while ((r = ::flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
            }
            if (r != 0) {
                if (errno == EWOULDBLOCK) estado_ = Estado::Ocupado;
                if (nuevo && estado_ == Estado::SinCerrojo) ::unlink(ruta_.c_str());
                ::close(fd);
                return;
            }
            struct stat st;
            if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
                ::close(fd);
                return;
            }
            // The holder removes the file before it lets the lock go: a lock
            // on a file no longer of this name guards nothing.
            if (NombraA(ruta_, fd)) {
                fd_ = fd;
                estado_ = Estado::Tomado;
                return;
            }
            ::close(fd);
        }
        estado_ = Estado::Ocupado;
    }
    ~CerrojoValidacion() {
        if (fd_ < 0) return;
        if (NombraA(ruta_, fd_)) ::unlink(ruta_.c_str());
        ::close(fd_);
    }
    CerrojoValidacion(const CerrojoValidacion&) = delete;
    CerrojoValidacion& operator=(const CerrojoValidacion&) = delete;

    Estado estado() const { return estado_; }

  private:
    std::string ruta_;
    int fd_ = -1;
    Estado estado_ = Estado::SinCerrojo;
};

// Puts the filter's cleaned copy `out` (written whole beside the data file)
// in the place of the data file F with one rename, so that F is at every
// moment either the whole original or the whole copy. `fd` is the copy this
// run made (open since before the filter wrote it): only that file, by
// device and inode, is put in place. The copy takes F's permissions (and
// owner, where allowed). A copy that changed nothing is not put in place.
// `antes` is F as it was before the filter read it. "" when done, else why
// not; the data file is then untouched.
std::string PoneCopiaDepurada(const std::string& F, const std::string& out, int fd,
                              const std::string& log, const struct stat& antes) {
    struct stat datos, copia, cambios;
    if (::stat(F.c_str(), &datos) != 0) return TextoError(errno);
    if (!MismoArchivoQue(antes, datos)) return kCambioDurante;
    if (fd < 0) return "No se pudo crear el archivo " + out + ".";
    if (::fstat(fd, &copia) != 0) return TextoError(errno);
    if (!NombraA(out, fd)) return kCopiaAjena;
    // No line logged means no byte removed; left-out empty lines or a final
    // line end may still change the file, so the bytes decide.
    const bool sinCambios = ::stat(log.c_str(), &cambios) == 0 && cambios.st_size == 0;
    if (sinCambios && copia.st_size == datos.st_size && MismoContenido(F, out)) return {};

    if ((copia.st_uid != datos.st_uid || copia.st_gid != datos.st_gid) &&
        ::fchown(fd, datos.st_uid, datos.st_gid) != 0) {
        // Not allowed to give the copy the file's owner: it keeps this
        // program's user, as a copied file would.
    }
    std::string motivo;
    if (::fchmod(fd, datos.st_mode & 07777) != 0 || ::fsync(fd) != 0) motivo = TextoError(errno);
    if (motivo.empty() && (::stat(F.c_str(), &datos) != 0 || !MismoArchivoQue(antes, datos)))
        motivo = kCambioDurante;
    if (motivo.empty() && !NombraA(out, fd)) motivo = kCopiaAjena;
    if (motivo.empty() && ::rename(out.c_str(), F.c_str()) != 0) motivo = TextoError(errno);
    return motivo;
}

// The filter's copy F & "out" made by this run: created empty before the
// filter opens it by name (and cuts it, keeping the file), and held open, so
// that the run knows the file it wrote and puts no other in the data file's
// place.
class CopiaPropia {
  public:
    explicit CopiaPropia(const std::string& ruta)
        : ruta_(ruta),
          fd_(::open(ruta.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666)) {}
    ~CopiaPropia() {
        if (fd_ >= 0) ::close(fd_);
    }
    CopiaPropia(const CopiaPropia&) = delete;
    CopiaPropia& operator=(const CopiaPropia&) = delete;

    int fd() const { return fd_; }
    // Deletes the copy unless the name now holds another program's file.
    void Borra() const {
        if (fd_ < 0 || NombraA(ruta_, fd_)) importacion::Borra(ruta_);
    }

  private:
    std::string ruta_;
    int fd_;
};

}  // namespace

int Depurar(const std::string& entrada, const std::string& log, const std::string& salida,
            std::string& error) {
    Enlace& e = EnlaceDepurar();
    if (!e.fn) {
        error = e.error;
        return 0;
    }
    // The names go as given: the log and the copy are new files named after
    // the data file, never another file that matches them without regard to
    // case.
    return e.fn(entrada.c_str(), log.c_str(), salida.c_str());
}

void TraDatos(const std::string& RutArc, std::string& sCadErr, VistaImportacion* vista) {
    const auto& g = shell::G();
    EntornoImportacion e;
    e.periodo = g.gsPeriodo;
    e.ruc = g.gsRuc;
    e.validador = g.goValidador;
    if (vista) {
        e.procesaEventos = [vista] { vista->ProcesaEventos(); };
        e.habilitaMarcos = [vista] { vista->HabilitaMarcos(); };
    }
    try {
        if (!e.validador) vb::Raise(vb::kObjectNotSet);
        const std::string tipo = vb::UCase(vb::Right(RutArc, 3));
        double tuplas = 0;
        TotalesMov m;
        TotalesExt t;
        std::string r = "False";
        if (tipo == "MOV") {
            m = ImportoMov(e, RutArc);
            r = m.resultado;
            tuplas = m.dTotTupla;
        } else if (tipo == "EXT") {
            t = ImportoExt(e, RutArc);
            r = t.resultado;
            tuplas = t.dTotTupla;
        }
        if (r == "True") {
            const vb::Variant marca = shell::CalculaMarcaArchivo(RutArc);
            GraboControlF787(RutArc, marca.IsString() ? marca.Str() : std::string(), tuplas, m, t);
            return;
        }
        sCadErr += "El archivo " + RutArc + " tiene errores " +
                   " verifique los errores en: " + RutArc + "err" + "\r";
    } catch (const ErrorCatalogo& err) {
        sCadErr += "El archivo " + RutArc + " no se pudo validar. " + err.what() + "\r";
    } catch (const vb::VbError& err) {
        switch (err.Number()) {
            case 3163:
                // The folder column holds 255 characters; a deeper folder
                // (the system allows far longer paths) is refused the same
                // way, and blaming the totals would send the user astray.
                if (vb::Len(RutArc) > 25 + 255) {
                    sCadErr += "La ruta del archivo " + RutArc +
                               " es demasiado larga para su registro de control (más de 255 "
                               "caracteres): copie los archivos en una carpeta más corta.\r";
                    break;
                }
                sCadErr += "Los montos totales del archivo " + RutArc + " son demasiados grandes " +
                           " verifiquelos." + "\r";
                break;
            case 3022:
            case 3058:
            case 3315:
                // The engine refused the control record. Going on quietly
                // would end the import as a success for a file that was never
                // recorded (and the header would then wait for it in vain).
                sCadErr += "No se pudo grabar el registro de control del archivo " + RutArc + ": " +
                           err.Description() + "\r";
                break;
            default:
                // Ending quietly here would let the import report success for
                // a file that was never recorded: say what happened.
                sCadErr += "Ocurrió un error al validar el archivo " + RutArc + ": " +
                           err.Description() + "\r";
                break;
        }
    } catch (const std::exception& err) {
        sCadErr += "Ocurrió un error al validar el archivo " + RutArc + ": " + err.what() + "\r";
    }
}

bool Transferencia(const std::string& RutArc, VistaImportacion& vista, const std::string& elegido) {
    vista.Etapa("Verificando registros duplicados en los archivos ");
    vista.HabilitaGrabar(false);
    std::string acumulado;
    constexpr std::size_t kNumClases = std::size(kClases);
    std::array<std::string, kNumClases> archivos;
    // The locks of every ticked kind are taken before any kind is touched,
    // always in the order of the kinds, and the first one busy ends the
    // import: two imports of the same pair of files then never hold one kind
    // each, which failed them both, and the one that cannot have them all
    // waits for no one and touches nothing. It tries no further kind: taking
    // that lock even for a moment could make the other import fail as well.
    std::array<std::unique_ptr<CerrojoValidacion>, kNumClases> cerrojos;
    bool ocupado = false;
    for (std::size_t i = 0; i < kNumClases && !ocupado; ++i) {
        if (!vista.Marcado(kClases[i].casilla)) continue;
        const std::string& F = archivos[i] = ArchivoDeClase(RutArc, kClases[i].extension, elegido);
        struct stat datos {};
        const bool existe = ::stat(F.c_str(), &datos) == 0;
        cerrojos[i] = std::make_unique<CerrojoValidacion>(F, existe ? &datos : nullptr);
        if (cerrojos[i]->estado() == CerrojoValidacion::Estado::Ocupado) {
            ocupado = true;
            acumulado += "El archivo " + F +
                         " está siendo validado por otro programa. Espere a que termine y "
                         "vuelva a intentarlo.\r";
            for (auto& tomado : cerrojos) tomado.reset();  // not held while the box waits
        }
    }
    for (std::size_t i = 0; i < kNumClases && !ocupado; ++i) {
        if (!cerrojos[i]) continue;
        // Held until this kind is done (filter, replacement, duplicate check,
        // records, control record), then let go for whoever waits for it.
        const std::unique_ptr<CerrojoValidacion> cerrojo = std::move(cerrojos[i]);
        const Clase& c = kClases[i];
        vista.Progreso(c.progreso);
        const std::string& F = archivos[i];
        const std::string err = F + "err";
        const std::string out = F + "out";
        const std::string trabajo = RutArc + "db" + c.extension;
        Borra(err);
        // A cleaned copy left by an earlier run must never stand in for the
        // data file: only the copy this call makes is used.
        Borra(out);
        struct stat antes {};
        const bool existia = ::stat(F.c_str(), &antes) == 0;  // as the filter will find it
        const CopiaPropia copia(out);
        std::string errorEnlace;
        const int r = Depurar(F, err, out, errorEnlace);
        if (!errorEnlace.empty()) {
            acumulado += errorEnlace + ". No se pudo procesar el archivo " + F + "\r";
            copia.Borra();
            continue;
        }
        const auto* val = shell::G().goValidador;
        if (r == 1 && (val ? val->ExisteArchivo(out) : vb::FileExists(out))) {
            // A data file that appeared only while the filter ran was not
            // the one it read either.
            const std::string motivo = existia ? PoneCopiaDepurada(F, out, copia.fd(), err, antes)
                                               : std::string(kCambioDurante);
            if (!motivo.empty()) {
                // The data file stays as it was; nothing of it is checked.
                acumulado +=
                    "Ocurrió un error al procesar el archivo " + F +
                    "\n No se pudo reemplazar el archivo por su copia depurada: " + motivo + "\r";
                copia.Borra();
                Borra(err);
                continue;
            }
        }
        copia.Borra();
        Borra(err);
        if (r == 1) {
            BorroErr(trabajo);
            const std::int16_t d = dupcheck::ValidaDuplicado(F, Ansi(trabajo), c.campos, err);
            if (d != 0) {
                acumulado += "El archivo " + F + " tiene duplicados " + "\n" +
                             " verifique los duplicados en: " + F + "err" + "\r";
            } else {
                Borra(err);
                vista.Etapa("Verificando la estructura del archivo " + F);
                BorroErr(trabajo);
                TraDatos(F, acumulado, &vista);
            }
            BorroErr(trabajo);
        } else {
            acumulado += "Ocurrió un error al procesar el archivo " + F + MotivoFiltro(F) + "\r";
        }
    }
    vista.Progreso(2);
    vista.Etapa("");
    if (!vb::Trim(acumulado).empty()) {
        shell::Aviso().MsgBox(acumulado, shell::vbCritical, vista.Titulo());
        return false;
    }
    return true;
}

}  // namespace importacion
