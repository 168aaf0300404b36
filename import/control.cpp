#include "import/control.h"

#include <climits>
#include <cstdint>
#include <vector>

#include "jet/database.h"
#include "shell/cnumero.h"
#include "shell/filtro.h"
#include "shell/state.h"
#include "vb/datetime.h"
#include "vb/error.h"
#include "vb/files.h"
#include "vb/numeric.h"
#include "vb/strings.h"

namespace importacion {
namespace {

using shell::FiltroDeclaracion;

jet::Database& Base() {
    jet::Database* db = shell::G().gdbBase;
    if (!db) vb::Raise(vb::kObjectNotSet);
    return *db;
}

// The declaration of the current command, as every control-record query
// names it.
void Cnumero(jet::Recordset& rs, int nClave) {
    std::vector<vb::Variant> fila = rs.CurrentRow();
    rs("cNumero") = vb::Variant(shell::CalculaCNumero(fila, nClave));
}

}  // namespace

std::string FormatoTotal(vb::Currency c) {
    // Halves go up: floor(x + 0.5) in ten-thousandths, without passing through
    // a double.
    std::int64_t r = c.Raw();
    std::int64_t q = r / 10000;
    std::int64_t resto = r % 10000;
    if (resto < 0) {
        resto += 10000;
        --q;
    }
    if (resto >= 5000) ++q;
    // "##############0" shows digits only: a negative total loses its sign.
    if (q < 0) q = -q;
    return std::to_string(q);
}

void GraboControlF787(const std::string& Ruta, const std::string& sHash, double dNumTupla,
                      const TotalesMov& mov, const TotalesExt& ext) {
    const auto& g = shell::G();
    const std::string nombre = vb::Trim(vb::Right(Ruta, 25));
    auto rs = Base().OpenRecordset(
        "Select * from EFCONTROL " + FiltroDeclaracion() + " AND NOMARC='" + jet::Q(nombre) + "'",
        jet::dbOpenDynaset);
    try {
        std::string copia = nombre;
        if (rs->RecordCount() < 1) {
            rs->AddNew();
            rs->Fields("tip_doc_d") = vb::Variant(static_cast<std::uint8_t>(6));
            rs->Fields("doc_id_d") = vb::Variant(g.gsRuc);
            rs->Fields("periodo") = vb::Variant(g.gsPeriodo);
            rs->Fields("formulario") = vb::Variant(g.gsFormulario);
            rs->Fields("semana") = vb::Variant(g.gnSemana);
            rs->Fields("tab_d") = vb::Variant(NomEnv(copia));
            rs->Fields("nomarc") = vb::Variant(vb::UCase(nombre));
        } else {
            rs->MoveFirst();
            rs->Edit();
            rs->Fields("tab_d") = vb::Variant(NomEnv(copia));
        }
        const long largo = static_cast<long>(vb::Len(Ruta));
        rs->Fields("rutarc") = vb::Variant(vb::UCase(vb::Left(Ruta, largo > 25 ? largo - 25 : 0)));
        // The column holds a 32-bit length: a larger file is an overflow,
        // never a wrapped size that no later check could match.
        const std::int64_t tam = vb::FileLen(Ruta);
        if (tam > INT32_MAX) vb::Raise(vb::kOverflow);
        rs->Fields("tamarc") = vb::Variant(static_cast<std::int32_t>(tam));
        rs->Fields("marca") = vb::Variant(sHash);
        rs->Fields("indice") = vb::Variant(static_cast<std::uint8_t>(1));
        rs->Fields("num_tuplas") =
            vb::Variant(std::to_string(static_cast<std::int64_t>(dNumTupla)));
        rs->Fields("mto_302") = vb::Variant(FormatoTotal(mov.dMto302));
        rs->Fields("mto_322") = vb::Variant(FormatoTotal(mov.dMto322));
        rs->Fields("mto_303") = vb::Variant(FormatoTotal(ext.dMto303));
        rs->Fields("mto_323") = vb::Variant(FormatoTotal(ext.dMto323));
        rs->Fields("mto_324") = vb::Variant(FormatoTotal(ext.dMto324));
        rs->Fields("mto_306") = vb::Variant(FormatoTotal(ext.dMto306));
        rs->Fields("mto_326") = vb::Variant(FormatoTotal(ext.dMto326));
        rs->Fields("mto_402") = vb::Variant(FormatoTotal(mov.dMto402));
        rs->Fields("mto_422") = vb::Variant(FormatoTotal(mov.dMto422));
        rs->Fields("mto_403") = vb::Variant(FormatoTotal(ext.dMto403));
        rs->Fields("mto_423") = vb::Variant(FormatoTotal(ext.dMto423));
        rs->Fields("mto_424") = vb::Variant(FormatoTotal(ext.dMto424));
        rs->Fields("mto_406") = vb::Variant(FormatoTotal(ext.dMto406));
        rs->Fields("mto_426") = vb::Variant(FormatoTotal(ext.dMto426));
        rs->Fields("mto_305") = vb::Variant(FormatoTotal(ext.dMto303));
        // mto_325 adds the two stored texts; each is below 10^15, so the sum
        // is exact (a 16-digit sum is refused by the column: 3163).
        const double s = vb::Val(rs->Fields("mto_323").Value().Str()) +
                         vb::Val(rs->Fields("mto_324").Value().Str());
        rs->Fields("mto_325") = vb::Variant(std::to_string(static_cast<std::int64_t>(s)));
        // A reversal file, whatever capitals its extension is written in.
        if (vb::LCase(vb::Right(nombre, 3)) == "ext") {
            rs->Fields("mto_302") = vb::Variant(FormatoTotal(ext.dMto350));
            rs->Fields("mto_322") = vb::Variant(FormatoTotal(ext.dMto450));
        }
        rs->Fields("cnum") = vb::Variant(std::string("1.9"));
        Cnumero(*rs, 6);
        rs->Update();
    } catch (...) {
        try {
            if (rs->EditMode() != 0) rs->CancelUpdate();
            rs->Close();
        } catch (...) {
        }
        throw;
    }
    rs->Close();
}

std::string NomEnv(std::string& Nombre) {
    Nombre = vb::UCase(vb::Right(Nombre, 3));
    auto rs =
        Base().OpenRecordset("Select * from ENVIO_T WHERE FORMULARIO='" + shell::G().gsFormulario +
                                 "'" + " AND tabla_o='" + Nombre + "'",
                             jet::dbOpenDynaset);
    std::string r;
    if (rs->RecordCount() > 0) {
        const vb::Variant& v = rs->Fields("tabla_d").Value();
        r = v.IsString() ? vb::Trim(v.Str()) : std::string();
    }
    rs->Close();
    return r;
}

bool VerificoArch() {
    auto rs =
        Base().OpenRecordset("Select * from EFCONTROL " + FiltroDeclaracion(), jet::dbOpenSnapshot);
    bool r = false;
    if (rs->RecordCount() > 0) {
        rs->MoveLast();
        rs->MoveFirst();
        r = rs->RecordCount() == 2;
    }
    rs->Close();
    return r;
}

std::string VerificoTablaControl(bool movimientos, bool extornos) {
    std::string texto;
    struct Tipo {
        bool marcado;
        const char* clase;
        const char* aviso;
    };
    const Tipo tipos[] = {
        {movimientos, "MOV", "El archivo de movimientos ya ha sido validado anteriormente"},
        {extornos, "EXT", "El archivo de extornos ya ha sido validado anteriormente"},
    };
    for (const Tipo& t : tipos) {
        if (!t.marcado) continue;
        auto rs = Base().OpenRecordset("Select * from EFCONTROL " + FiltroDeclaracion() +
                                           " AND UCASE(RIGHT(NOMARC,3))='" + t.clase + "'",
                                       jet::dbOpenDynaset);
        if (rs->RecordCount() > 0) {
            texto += t.aviso;
            texto += '\r';
        }
        rs->Close();
    }
    return vb::Trim(texto);
}

bool ExisteDeclaracion() {
    const auto& g = shell::G();
    auto rs = Base().OpenRecordset(std::string("SELECT * FROM CAB") + " WHERE DOC_ID_D='" +
                                       jet::Q(g.gsRuc) + "'" + " AND TIP_DOC_D=6" +
                                       " AND PERIODO='" + jet::Q(g.gsPeriodo) + "'" +
                                       " AND FORMULARIO='" + jet::Q(g.gsFormulario) + "'",
                                   jet::dbOpenSnapshot);
    const bool r = !rs->Eof();
    rs->Close();
    return r;
}

void GraboCabecera() {
    const auto& g = shell::G();
    auto rs = Base().OpenRecordset("Select * from  cab " + FiltroDeclaracion(), jet::dbOpenDynaset);
    if (rs->RecordCount() < 1) {
        rs->AddNew();
        rs->Fields("tip_doc_d") = vb::Variant(static_cast<std::uint8_t>(6));
        rs->Fields("Doc_id_d") = vb::Variant(g.gsRuc);
        rs->Fields("periodo") = vb::Variant(g.gsPeriodo);
        rs->Fields("Formulario") = vb::Variant(g.gsFormulario);
        rs->Fields("Semana") = vb::Variant(g.gnSemana);
        rs->Fields("fec_pro") = vb::Variant(vb::Format(vb::Variant(vb::Today()), "dd/mm/yyyy"));
        rs->Fields("estado") = vb::Variant(static_cast<std::int16_t>(9));
    } else {
        rs->MoveFirst();
        rs->Edit();
        rs->Fields("estado") = vb::Variant(static_cast<std::int16_t>(9));
    }
    Cnumero(*rs, 5);
    rs->Update();
    rs->Close();
}

void BorroErr(const std::string& sArc) {
    try {
        if (vb::FileExists(sArc)) vb::Kill(sArc);
    } catch (const vb::VbError&) {
        // A file that cannot be removed is left as it is.
    }
}

}  // namespace importacion
