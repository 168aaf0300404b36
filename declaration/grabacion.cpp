#include "declaration/grabacion.h"

#include "declaration/almacen.h"
#include "jet/database.h"
#include "shell/cnumero.h"
#include "shell/state.h"
#include "vb/datetime.h"
#include "vb/msgbox_values.h"
#include "vb/numeric.h"
#include "vb/strings.h"

namespace declaracion {

namespace {

Mensaje Aviso(std::string texto, int estilo) {
    return Mensaje{std::move(texto), estilo, std::string(kTituloForm)};
}

ResultadoGrabacion GrabaOrden(jet::Database& db, Declaracion& d) {
    ResultadoGrabacion r;
    if (vb::Len(d.orden) < 8) {
        r.avisos.push_back(Aviso("     El número de orden no es válido", vb::vbCritical));
        r.focoVerifica = true;
        return r;
    }
    std::string control = d.numControl;
    if (!shell::ValidaCodigoVerificacion(control, d.orden, d.verifica)) {
        r.avisos.push_back(Aviso("     El digito Verificador es incorrecto", vb::vbCritical));
        r.focoVerifica = true;
        return r;
    }
    const Clave& k = d.clave;
    auto rs =
        db.OpenRecordset("SELECT * FROM HCAB WHERE DOC_ID_D='" + jet::Q(k.ruc) + "'" +
                             " AND TIP_DOC_D=6" + " AND PERIODO='" + jet::Q(k.periodo) + "'" +
                             " AND FORMULARIO='" + jet::Q(k.formulario) + "'" + " AND CORREL='" +
                             jet::Q(k.correl) + "'" + " AND SEMANA=" + std::to_string(k.semana),
                         jet::dbOpenDynaset);
    if (rs->Eof()) {
        // Nothing was recorded: saying it was would lose the number unseen.
        rs->Close();
        r.avisos.push_back(
            Aviso("No se encontró la declaración enviada; el número de orden no fue grabado.",
                  vb::vbCritical));
        return r;
    }
    rs->Edit();
    rs->Fields("norden") = vb::Variant(d.orden);
    rs->Fields("cNumero") = vb::Variant(shell::CalculaCNumero(*rs, 6));
    rs->Update();
    rs->Close();
    r.grabado = true;
    r.avisos.push_back(
        Aviso("El número de orden fue grabado satisfactoriamente.", vb::vbExclamation));
    d.modificado = false;
    return r;
}

}  // namespace

ResultadoGrabacion GrabarForm(jet::Database& db, Declaracion& d, const Entorno& e,
                              std::string hoy) {
    if (d.registraOrden) return GrabaOrden(db, d);

    ResultadoGrabacion r;
    Resultado ident = ValIdent(d, "1", e);
    if (!ident.ok) {
        r.avisos = std::move(ident.avisos);
        r.vaAIdentificacion = true;
        return r;
    }
    d.clave.ruc = d.numRuc;
    shell::G().gsRuc = d.numRuc;

    // Checked before the write, so that no message box waits for an answer
    // while the database is held.
    Resultado valida = ValidaTodo(d, "2", e);
    r.avisos = std::move(valida.avisos);
    r.consistente = valida.ok;

    if (hoy.empty()) hoy = vb::Format(vb::Variant(vb::Today()), "dd/mm/yyyy");
    {
        jet::Transaction t(db);
        GrabaCabecera(db, d, hoy);
        BorraCasillas(db, d.clave);
        GrabaCasillas(db, d);
        GrabaEstado(db, d.clave, r.consistente);
        t.Commit();
    }
    r.grabado = true;
    r.avisos.push_back(
        r.consistente ? Aviso("Toda la información del formulario fue grabada satisfactoriamente.",
                              vb::vbExclamation)
                      : Aviso("La información del formulario fue grabada con inconsistencias.\n"
                              "En estas condiciones no podrá ser enviado a KORAL.",
                              vb::vbExclamation));
    d.modificado = false;
    return r;
}

}  // namespace declaracion
