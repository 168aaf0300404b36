#include "declaration/validacion.h"

#include "declaration/formatos.h"
#include "declaration/formulas.h"
#include "shell/contribuyentes.h"
#include "shell/state.h"
#include "validator/validator.h"
#include "vb/msgbox_values.h"
#include "vb/numeric.h"
#include "vb/strings.h"
#include "vb/wholefile.h"

namespace declaracion {

namespace {

constexpr std::string_view kMensajeVersion =
    "Los archivos han sido validados con una versión anterior de este QVX, debe eliminar esta "
    "declaración y volver a validar los archivos";

const validator::cValidador& Validador(const Entorno& e) {
    static const validator::cValidador porDefecto;
    if (e.validador) return *e.validador;
    if (shell::G().goValidador) return *shell::G().goValidador;
    return porDefecto;
}

// The log replaced whole under a temporary name of its own, so a failure
// leaves no half log and no file open, and two runs never share one.
void EscribeLog(const std::string& ruta, const std::vector<std::string>& lineas) {
    vb::ReplaceWholeFile(ruta, vb::TextFileBytes(lineas));
}

}  // namespace

std::optional<Mensaje> VerificaVersion(const Declaracion& d, const Entorno& e) {
    const bool otraVersion = !vb::Trim(d.version).empty() && d.version != kVersion;
    if (otraVersion || !(e.verificaVersion ? e.verificaVersion(kVersion)
                                           : shell::VerificaVersionArchivos(kVersion)))
        return Mensaje{std::string(kMensajeVersion), vb::vbCritical, ""};
    return std::nullopt;
}

Resultado ValIdent(const Declaracion& d, std::string_view modo, const Entorno& e) {
    Resultado r;
    const bool registra = modo == "0";
    auto falla = [&](std::string texto) {
        shell::G().gsMensaje = texto;
        r.ok = false;
        r.vaAIdentificacion = true;
        if (registra)
            r.lineas.push_back(std::move(texto));
        else
            r.avisos.push_back({std::move(texto), vb::vbCritical, std::string(kTituloForm)});
        return !registra;  // interactive: the first failure ends the checks
    };
    if (!Validador(e).ValidaRuc(vb::Trim(d.numRuc)) && falla("¡El RUC no es válido!")) return r;
    if (vb::Trim(d.nombre).empty() && falla("¡Ingrese la Razón Social!")) return r;
    return r;
}

std::vector<std::string> ReglasCasillas(const Declaracion& d, bool primera) {
    std::vector<std::string> fallas;
    // Adds the message when the rule fails; true when the checks must stop.
    auto regla = [&](bool falla, const char* mensaje) {
        if (falla) fallas.emplace_back(mensaje);
        return falla && primera;
    };
    const std::string& periodo = d.clave.periodo;
    if (periodo < std::string_view("201710")) {
        if (regla(d.Vacio(300), "Ingrese la casilla 300")) return fallas;
        if (regla(d.Vacio(301), "Ingrese la casilla 301")) return fallas;
        if (regla(d.Vale(301) + d.Vale(300) != d.Vale(302),
                  "La casilla 302 debe ser igual a la suma de la casilla 300 y 301"))
            return fallas;
        if (regla(d.Vacio(320), "Ingrese la casilla 320")) return fallas;
        if (regla(d.Vacio(321), "Ingrese la casilla 321")) return fallas;
        if (regla(d.Vale(321) + d.Vale(320) != d.Vale(322),
                  "La casilla 322 debe ser igual a la suma de la casilla 320 y 321"))
            return fallas;
    } else {
        if (regla(d.Vacio(353), "Ingrese la casilla 353")) return fallas;
        if (regla(!d.Vacio(353) && d.Vale(353) != d.Vale(302),
                  "La casilla 302 debe ser igual a la casilla 353"))
            return fallas;
        if (regla(d.Vacio(373), "Ingrese la casilla 373")) return fallas;
        if (regla(!d.Vacio(373) && d.Vale(373) != d.Vale(322),
                  "La casilla 322 debe ser igual a la casilla 373"))
            return fallas;
    }
    if (regla(d.Vacio(313), "Ingrese el importe a pagar de Cta. Propia")) return fallas;
    if (regla(d.Vacio(333), "Ingrese el importe a pagar de retenciones")) return fallas;
    const std::string importe = vb::Trim(d.pago.importe);
    if (regla(importe.empty(), "Ingrese el importe total a pagar")) return fallas;
    const std::string& tipo = d.pago.tipo;
    if (regla(tipo != "C" && tipo != "E", "Ingrese la Forma de pago")) return fallas;
    if (tipo == "C") {
        const std::string banco = vb::Trim(d.pago.banco);
        if (regla(banco == "XX" || banco.empty(), "Ingrese el banco")) return fallas;
        if (regla(vb::Trim(d.pago.cheque).empty(), "Ingrese el Número del cheque")) return fallas;
        const auto monto = LeeImporte(importe);
        if (regla(importe.empty() || (monto && *monto == 0),
                  "No puede girar un cheque con monto cero"))
            return fallas;
        const auto numero = vb::ParseNumber(d.pago.cheque);
        if (regla(numero && *numero == 0, "El número de cheque no puede ser cero")) return fallas;
    }
    return fallas;
}

Resultado ValidaTodo(const Declaracion& d, std::string_view tipo, const Entorno& e) {
    Resultado r;
    if (auto m = VerificaVersion(d, e)) {
        r.ok = false;
        r.avisos.push_back(std::move(*m));
        return r;
    }
    const std::string saldo = SaldoaPagar(d.Valor(312), d.Valor(313), "por UZQ Cta.Propia") +
                              SaldoaPagar(d.Valor(332), d.Valor(333), "por UZQ Retención");
    if (!vb::Trim(saldo).empty())
        r.avisos.push_back({saldo, vb::vbInformation, std::string(kTituloForm)});

    const bool rapida = tipo == "2";
    if (!rapida) {
        Resultado ident = ValIdent(d, "0", e);
        r.ok = ident.ok;
        r.vaAIdentificacion = ident.vaAIdentificacion;
        r.lineas = std::move(ident.lineas);
    }
    std::vector<std::string> reglas = ReglasCasillas(d, rapida);
    if (!reglas.empty()) {
        r.ok = false;
        shell::G().gsMensaje = reglas.back();
        for (auto& l : reglas) r.lineas.push_back(std::move(l));
    }
    if (rapida) return r;

    const std::string carpeta = e.sysPath.empty() ? shell::G().gsSysPath : e.sysPath;
    shell::G().gsArchivoRep = carpeta + "Mens.txt";
    EscribeLog(shell::G().gsArchivoRep, r.lineas);
    if (r.ok)
        r.avisos.push_back({"La información de la declaración no presenta inconsistencias.",
                            vb::vbExclamation, "Mensaje"});
    else
        r.muestraInconsistencias = true;
    return r;
}

}  // namespace declaracion
