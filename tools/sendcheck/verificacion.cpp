#include "tools/sendcheck/verificacion.h"

#include <cmath>
#include <functional>
#include <optional>

#include "jet/database.h"
#include "shell/avisos.h"
#include "shell/conexion.h"
#include "shell/digest.h"
#include "shell/settings.h"
#include "shell/state.h"
#include "tools/sendcheck/instancia.h"
#include "vb/datetime.h"
#include "vb/error.h"
#include "vb/files.h"
#include "vb/numeric.h"
#include "vb/strings.h"
#include "vb/variant.h"
#include "vb/wholefile.h"

namespace sendcheck {

namespace {

using shell::Aviso;

std::string Texto(const vb::Variant& v) {
    return v.IsNull() ? std::string() : vb::ToText(v);
}

bool SoloDigitos(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

// The fields name the report and flag files: a separator in them would put
// the files elsewhere.
std::string ParaNombre(std::string s) {
    for (char& c : s) {
        if (c == '/' || c == '\\') c = '_';
    }
    return s;
}

// The fields of the companion command line that the check uses (positions
// from 1): document type 1-2, document number 3-17 (trimmed), form 18-21,
// period 22-27, week 28.
struct Campos {
    std::string tipo, numero, formulario, periodo, semana;
};

Campos PartirLinea(std::string_view linea) {
    return {vb::Mid(linea, 1, 2), vb::Trim(vb::Mid(linea, 3, 15)), vb::Mid(linea, 18, 4),
            vb::Mid(linea, 22, 6), vb::Mid(linea, 28, 1)};
}

// The report's lines: its header, then the numbered findings.
class Reporte {
  public:
    Reporte() {
        const vb::Date ahora = vb::Now();
        lineas_.push_back(vb::Format(vb::Variant(ahora), "dd/mm/yyyy") + vb::Space(70) +
                          vb::Format(vb::Variant(ahora), "hh:mm:ss"));
        lineas_.push_back(" ");
        lineas_.push_back(" ");
        lineas_.push_back(vb::Space(20) +
                          "Resumen de Inconsistencias en Información a Enviar - Formulario 0787");
    }
    void Hallazgo(const std::string& texto) {
        ++hallazgos_;
        lineas_.push_back(vb::Format(static_cast<double>(hallazgos_), "000") + texto);
    }
    int Hallazgos() const { return hallazgos_; }
    const std::vector<std::string>& Lineas() const { return lineas_; }

  private:
    std::vector<std::string> lineas_;
    int hallazgos_ = 0;
};

std::string NoVerificado(const std::string& que, const vb::VbError& e) {
    return ") No se pudo verificar " + que + ": " + e.Description() + " (" +
           vb::Trim(vb::Str(static_cast<double>(e.Number()))) + ")";
}

// A file of the run that could not be written, as the user is told of it.
std::string NoGrabado(const std::string& ruta, const vb::VbError& e) {
    return "No se pudo grabar el archivo " + ruta + ": " + e.Description() + " (" +
           vb::Trim(vb::Str(static_cast<double>(e.Number()))) + ").";
}

// Writes a whole file of the run; the error that refused it, if any.
std::optional<vb::VbError> Graba(const std::string& ruta, const std::vector<std::string>& lineas) {
    try {
        vb::ReplaceWholeFile(ruta, vb::TextFileBytes(lineas));
        return std::nullopt;
    } catch (const vb::VbError& e) {
        return e;
    }
}

// Writes the error flag; a failing step is skipped, and its error given back.
std::optional<vb::VbError> GrabaArchivoError(const std::string& ruta) {
    return Graba(ruta, {"0787 ERROR"});
}

// The error flag of a run with findings: an earlier flag is deleted, then
// the new one written.
std::optional<vb::VbError> DejaBandera(const std::string& ruta) {
    if (ExisteFichero(ruta)) {
        try {
            vb::Kill(ruta);
        } catch (const vb::VbError&) {
        }
    }
    return GrabaArchivoError(ruta);
}

// The message interface in force, with one more step when it ends the run.
class AvisosAlTerminar : public shell::Avisos {
  public:
    AvisosAlTerminar(shell::Avisos& base, std::function<void()> antes)
        : base_(base), antes_(std::move(antes)) {
        shell::FijaAvisos(this);
    }
    ~AvisosAlTerminar() override { shell::FijaAvisos(&base_); }
    AvisosAlTerminar(const AvisosAlTerminar&) = delete;
    AvisosAlTerminar& operator=(const AvisosAlTerminar&) = delete;
    int MsgBox(const std::string& texto, int estilo, const std::string& titulo) override {
        return base_.MsgBox(texto, estilo, titulo);
    }
    void Termina(int codigo) override {
        antes_();
        base_.Termina(codigo);
    }

  private:
    shell::Avisos& base_;
    std::function<void()> antes_;
};

}  // namespace

bool ExisteFichero(const std::string& ruta) {
    const std::string r = vb::ResolvePath(ruta);
    const auto p = r.find_last_of('/');
    if (p != std::string::npos && !vb::DirExists(p == 0 ? "/" : r.substr(0, p))) return false;
    return vb::FileExists(r);
}

VerificadorEnvio::VerificadorEnvio() = default;
VerificadorEnvio::~VerificadorEnvio() = default;

int VerificadorEnvio::Main(std::string_view linea) {
    auto cerrojo = CerrojoInstancia::Toma("sendcheck");
    if (!cerrojo) {
        Aviso().MsgBox("La aplicación ya se encuentra en Ejecución", shell::vbInformation,
                       "Remesil");
        // Nothing was checked: the host must not take this run for a pass.
        return 1;
    }
    // Settings and current folder; a failure has been told and ends the run.
    if (!shell::LeeConfiguracion()) return 1;
    // The temporary folder as it lies on disk, so the message names the file
    // the user will find.
    tmp_ = vb::ResolvePath(shell::G().gsSysPath + "TMP") + "/";

    const Campos l = PartirLinea(linea);
    // A line too short or with fields of the wrong kind cannot be checked.
    const bool valida = vb::Len(linea) >= 28 && SoloDigitos(vb::Trim(l.tipo)) &&
                        !l.numero.empty() && SoloDigitos(l.periodo);
    const std::string nombre = ParaNombre(l.tipo + l.numero + l.formulario + l.periodo + l.semana);
    const std::string reporte = tmp_ + nombre + ".ERR";
    const std::string bandera = tmp_ + nombre + ".TXT";

    // The database as the host's programs open it. One that cannot be opened
    // is a check not made: after the connection message, and before the run
    // ends, the report says so and the flag is left.
    shell::OpcionesConexion opciones;
    opciones.rutaBase = shell::G().gsRutaBase;
    opciones.sistemaDB = shell::G().gsSysPath + "KV000.MDW";
    opciones.escribeSystemDB = true;
    opciones.textoBloqueo = "- Base esta bloqueda";
    opciones.textoDelMotor = true;
    {
        AvisosAlTerminar avisos(Aviso(), [&] {
            Reporte r;
            r.Hallazgo(") No se pudo verificar: no se pudo abrir la base de datos.");
            Graba(reporte, r.Lineas());
            DejaBandera(bandera);
        });
        db_ = shell::AbreConexion(opciones);
    }
    if (!db_) return 1;

    // A line that names no declaration checks nothing: its report says so,
    // and the run is no pass either.
    int codigo = valida ? 0 : 1;
    if (VerificaEnvio(l.tipo, l.numero, l.formulario, l.periodo, l.semana, reporte, valida)) {
        if (ExisteFichero(reporte)) {
            try {
                vb::Kill(reporte);
            } catch (const vb::VbError&) {
            }
        }
    } else {
        // Findings or a flag not recorded must not look like a clean check to
        // the host: the user is told what could not be written and why, and
        // the run ends with a failure.
        constexpr const char* kTitulo = "Error en la información a enviar";
        if (!fallaReporte_) {
            Aviso().MsgBox(std::string(kTextoInconsistente) + reporte, shell::vbCritical, kTitulo);
            if (const std::optional<vb::VbError> falla = DejaBandera(bandera)) {
                Aviso().MsgBox(NoGrabado(bandera, *falla), shell::vbCritical, kTitulo);
                codigo = 1;
            }
        } else {
            // No report to point to: the flag is tried first, so that one
            // message tells all that could not be written.
            std::string texto = std::string(kTextoSinReporte) + NoGrabado(reporte, *fallaReporte_);
            if (const std::optional<vb::VbError> falla = DejaBandera(bandera))
                texto += "\n" + NoGrabado(bandera, *falla);
            Aviso().MsgBox(texto, shell::vbCritical, kTitulo);
            codigo = 1;
        }
    }
    db_->Close();
    db_.reset();
    return codigo;
}

bool VerificadorEnvio::VerificaEnvio(std::string_view tipo, std::string_view numero,
                                std::string_view formulario, std::string_view periodo,
                                std::string_view semana, const std::string& rutaReporte,
                                bool lineaValida) {
    Reporte reporte;
    bool completo = lineaValida;
    if (!lineaValida) {
        reporte.Hallazgo(
            ") No se pudo verificar: la línea de órdenes no tiene el formato "
            "esperado.");
    } else {
        struct Conteo {
            const char* extension;
            const char* casilla;
            const char* texto;
        };
        const Conteo conteos[] = {
            {"MOV", "592",
             ") El valor de la casilla 592 no coincide con la cantidad de registros de TABLA MOV."},
            {"EXT", "593",
             ") El valor de la casilla 593 no coincide con la cantidad de registros de TABLA EXT."},
        };
        for (const Conteo& c : conteos) {
            try {
                const double registros =
                    LeeNumeroRegistros("EFCONTROL", periodo, numero, c.extension);
                const double casilla = std::fabs(vb::Val(
                    LeeValorCasilla(c.casilla, tipo, numero, periodo, formulario, semana, false)));
                if (registros != casilla) reporte.Hallazgo(c.texto);
            } catch (const vb::VbError& e) {
                completo = false;
                reporte.Hallazgo(NoVerificado(
                    std::string("la casilla ") + c.casilla + " con TABLA " + c.extension, e));
            }
        }
        try {
            switch (VerificaMarcas(numero, periodo)) {
                case 1:
                    reporte.Hallazgo(") El archivo de movimientos ha sido modificado ");
                    break;
                case 2:
                    reporte.Hallazgo(") El archivo de extornos ha sido modificado ");
                    break;
                default:
                    break;
            }
        } catch (const vb::VbError& e) {
            completo = false;
            reporte.Hallazgo(NoVerificado("los archivos de la declaración", e));
        }
    }
    // Nothing found needs no report (it would be deleted at once); findings
    // that could not be written are told by Main.
    fallaReporte_ = Graba(rutaReporte, reporte.Lineas());
    return completo && reporte.Hallazgos() == 0;
}

double VerificadorEnvio::LeeNumeroRegistros(std::string_view tabla, std::string_view periodo,
                                       std::string_view numero, std::string_view extension) {
    const std::string archivo =
        "0787" + std::string(periodo) + std::string(numero) + "." + std::string(extension);
    auto rs =
        db_->OpenRecordset(std::string("SELECT num_tuplas FROM ") + std::string(tabla) + " WHERE " +
                               "tip_doc_d=6 and " + "doc_id_d ='" + jet::Q(numero) + "' and " +
                               "periodo='" + jet::Q(periodo) + "' and " + "formulario='0787' and " +
                               "semana=0 " + " and " + "nomarc='" + jet::Q(archivo) + "'",
                           jet::dbOpenSnapshot);
    double n = 0;
    if (!rs->Eof()) n = vb::Val(Texto(rs->Fields("num_tuplas").Value()));
    rs->Close();
    return n;
}

std::string VerificadorEnvio::LeeValorCasilla(std::string_view casilla, std::string_view tipo,
                                         std::string_view numero, std::string_view periodo,
                                         std::string_view formulario, std::string_view semana,
                                         bool usaSemana) {
    // The document type goes in bare, so only as the number it reads as.
    std::string sql =
        "Select i_valor from det where tip_doc_d = " + vb::Trim(vb::Str(vb::Val(tipo))) +
        " and doc_id_d ='" + jet::Q(numero) + "' and periodo='" + jet::Q(periodo) +
        "' and formulario='" + jet::Q(formulario) + "'";
    if (usaSemana) sql += " and semana =" + vb::Trim(vb::Str(vb::Val(semana)));
    sql += " and casilla ='" + jet::Q(casilla) + "'";
    auto rs = db_->OpenRecordset(sql, jet::dbOpenSnapshot);
    std::string valor;
    if (!rs->Eof()) valor = Texto(rs->Fields("i_valor").Value());
    rs->Close();
    return valor;
}

int VerificadorEnvio::VerificaMarcas(std::string_view numero, std::string_view periodo) {
    auto rs =
        db_->OpenRecordset(std::string("SELECT * FROM EFCONTROL ") + " Where tip_doc_d=6 And " +
                               " doc_id_d='" + jet::Q(numero) + "' And periodo='" +
                               jet::Q(periodo) + "' And " + " formulario='0787' And  semana=0",
                           jet::dbOpenSnapshot);
    int resultado = 0;
    for (; !rs->Eof() && resultado == 0; rs->MoveNext()) {
        const std::string nombre = Texto(rs->Fields("nomArc").Value());
        const std::string extension = vb::Right(nombre, 3);
        if (extension != "MOV" && extension != "EXT") continue;
        std::string marca;
        try {
            marca = vb::ToText(
                shell::CalculaMarcaArchivo(Texto(rs->Fields("RutArc").Value()) + nombre));
        } catch (const vb::VbError&) {
            // A file that cannot be read no longer matches its digest.
            marca.clear();
        }
        const std::string guardada = Texto(rs->Fields("MARCA").Value());
        if (marca.empty() || marca != guardada) resultado = extension == "MOV" ? 1 : 2;
    }
    rs->Close();
    return resultado;
}

}  // namespace sendcheck
