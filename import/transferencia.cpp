#include "import/transferencia.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>

#include "dupcheck/dupcheck.h"
#include "import/control.h"
#include "import/registros.h"
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
    if (::stat(f.c_str(), &st) != 0) return "\n El archivo no existe.";
    if (!S_ISREG(st.st_mode)) return "\n El nombre no corresponde a un archivo de datos.";
    if (::access(f.c_str(), R_OK) != 0) return "\n El archivo no se puede leer.";
    const std::size_t barra = f.rfind('/');
    const std::string carpeta = barra == std::string::npos ? "." : f.substr(0, barra + 1);
    if (::access(carpeta.c_str(), W_OK) != 0)
        return "\n No se puede escribir en la carpeta " + carpeta + ".";
    for (const char* sufijo : {"err", "out"}) {
        if (::stat((f + sufijo).c_str(), &st) == 0 && !S_ISREG(st.st_mode))
            return "\n No se puede crear el archivo " + F + sufijo + ".";
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

}  // namespace

int Depurar(const std::string& entrada, const std::string& log, const std::string& salida,
            std::string& error) {
    Enlace& e = EnlaceDepurar();
    if (!e.fn) {
        error = e.error;
        return 0;
    }
    return e.fn(Ansi(entrada).c_str(), Ansi(log).c_str(), Ansi(salida).c_str());
}

void TraDatos(const std::string& RutArc, std::string& sCadErr, VistaImportacion* vista) {
    const auto& g = shell::G();
    Entorno e;
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
            GraboControlF787(RutArc, marca.IsString() ? marca.Str() : std::string(), tuplas,
                             m.dMto302, m.dMto322, t.dMto306, t.dMto326, t.dMto303, t.dMto323,
                             t.dMto324, m.dMto402, m.dMto422, t.dMto403, t.dMto423, t.dMto424,
                             t.dMto406, t.dMto426, t.dMto350, t.dMto450);
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

bool Transferencia(const std::string& RutArc, VistaImportacion& vista) {
    vista.Etapa("Verificando registros duplicados en los archivos ");
    vista.HabilitaGrabar(false);
    std::string acumulado;
    for (const Clase& c : kClases) {
        if (!vista.Marcado(c.casilla)) continue;
        vista.Progreso(c.progreso);
        const std::string F = RutArc + c.extension;
        const std::string err = F + "err";
        const std::string out = F + "out";
        const std::string trabajo = RutArc + "db" + c.extension;
        BorroErr(err);
        std::string errorEnlace;
        const int r = Depurar(F, err, out, errorEnlace);
        if (!errorEnlace.empty()) {
            acumulado += errorEnlace + ". No se pudo procesar el archivo " + F + "\r";
            continue;
        }
        const auto* val = shell::G().goValidador;
        if (val ? val->ExisteArchivo(out) : vb::FileExists(out)) {
            try {
                // Moving the cleaned copy into place leaves the same file as
                // copying it over and deleting it, without writing it again.
                const std::string desde = vb::ResolvePath(out), hacia = vb::ResolvePath(F);
                if (std::rename(desde.c_str(), hacia.c_str()) != 0) vb::FileCopy(out, F);
            } catch (const vb::VbError& e) {
                // The data file stays as it was; nothing of it is checked.
                acumulado += "Ocurrió un error al procesar el archivo " + F +
                             "\n No se pudo reemplazar el archivo por su copia depurada: " +
                             e.Description() + "\r";
                BorroErr(out);
                BorroErr(err);
                continue;
            }
        }
        BorroErr(out);
        BorroErr(err);
        if (r == 1) {
            BorroErr(trabajo);
            const std::int16_t d =
                dupcheck::ValidaDuplicado(Ansi(F), Ansi(trabajo), c.campos, Ansi(err));
            if (d != 0) {
                acumulado += "El archivo " + F + " tiene duplicados " + "\n" +
                             " verifique los duplicados en: " + F + "err" + "\r";
            } else {
                BorroErr(err);
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
