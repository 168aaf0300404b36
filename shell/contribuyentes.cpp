#include "shell/contribuyentes.h"

#include "jet/database.h"
#include "shell/filtro.h"
#include "shell/state.h"
#include "validator/validator.h"
#include "vb/error.h"
#include "vb/numeric.h"
#include "vb/strings.h"
#include "vb/variant.h"

namespace shell {

namespace {

jet::Database& Base() {
    if (!G().gdbBase) vb::Raise(vb::kObjectNotSet);
    return *G().gdbBase;
}

validator::cValidador& Validador() {
    if (!G().goValidador) vb::Raise(vb::kObjectNotSet);
    return *G().goValidador;
}

// The number a piece of the Funcion text reads as (characters counted from 1).
double Numero(std::string_view funcion, long desde, long largo) {
    return vb::Val(vb::Mid(funcion, desde, largo));
}

}  // namespace

std::string TipoUsuario() {
    std::string tipo = "1";
    auto rs = Base().OpenRecordset(
        "SELECT * FROM CLAVES" + std::string(" WHERE Usuario='") + jet::Q(G().gsUsuario) + "'",
        jet::dbOpenSnapshot);
    if (!rs->Eof()) tipo = vb::ToText(rs->Fields("Tipo").Value());
    rs->Close();
    return tipo;
}

std::string ArmaSqlContribuyentes(std::string_view formulario) {
    std::string funcion(kFuncionRucIncorporada);
    {
        auto rs = Base().OpenRecordset("SELECT * FROM PARAM WHERE Numero ='044' AND Argumento='6' ",
                                       jet::dbOpenSnapshot);
        if (!rs->Eof()) funcion = vb::ToText(rs->Fields("Funcion").Value());
        rs->Close();
    }
    std::string where = " WHERE Tip_doc_d=6 ";
    if (Numero(funcion, 46, 2) == 11 && Numero(funcion, 130, 1) == 1) {
        where += " AND len(trim(Doc_id_d))=11 ";
    }
    if (TipoUsuario() == "0") {
        where += " ORDER BY Tip_doc_d, doc_id_d ";
    } else {
        where += " AND Usuario ='" + jet::Q(G().gsUsuario) + "' Order by Tip_doc_d, doc_id_d ";
    }
    return " SELECT * FROM CONT " + where;
}

std::string ItemContribuyente(std::string_view docId, std::string_view nombre) {
    if (vb::Len(vb::Trim(docId)) == 8) {
        return vb::Left(docId, 8) + vb::Space(5) + std::string(nombre);
    }
    return vb::Left(docId, 11) + vb::Space(2) + std::string(nombre);
}

std::vector<std::string> ItemsContribuyentes() {
    G().gsSql = ArmaSqlContribuyentes(G().gsFormulario);
    std::vector<std::string> items;
    auto grsContribuyentes = Base().OpenRecordset(G().gsSql, jet::dbOpenSnapshot);
    if (grsContribuyentes->RecordCount() > 0) {
        grsContribuyentes->MoveFirst();
        while (!grsContribuyentes->Eof()) {
            const std::string d = vb::ToText(grsContribuyentes->Fields(1).Value());
            const std::string n = vb::ToText(grsContribuyentes->Fields(3).Value());
            items.push_back(ItemContribuyente(d, n));
            grsContribuyentes->MoveNext();
        }
    }
    grsContribuyentes->Close();
    return items;
}

ReglaDocumento LeeReglaDocumento(std::string_view funcion) {
    ReglaDocumento r;
    r.vacia = vb::Trim(funcion).empty();
    if (r.vacia) return r;
    r.largo = Numero(funcion, 46, 2);
    r.digitos = Numero(funcion, 128, 1) != 0;
    r.exacto = Numero(funcion, 130, 1) != 0;
    return r;
}

bool ValidaNumeroDocumentoParam(const ReglaDocumento& regla, std::string_view numero,
                                const validator::cValidador& val) {
    std::size_t b = 0, e = numero.size();
    while (b < e && numero[b] == ' ') ++b;
    while (e > b && numero[e - 1] == ' ') --e;
    if (b == e || regla.vacia) return false;
    // Plain ASCII (the common case) needs no character counting or case tables.
    bool ascii = true, minusculas = false;
    for (char c : numero) {
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
        minusculas = minusculas || (c >= 'a' && c <= 'z');
    }
    const std::string_view limpio = numero.substr(b, e - b);
    const double n = static_cast<double>(ascii ? limpio.size() : vb::Len(limpio));
    bool valido = true;
    if (!regla.exacto) {
        if (n > regla.largo) valido = false;
    } else if (n != regla.largo) {
        valido = false;
    }
    // The component gets the number as typed, blanks and all.
    if (regla.digitos) {
        if (!val.ValidaNumero(numero, false)) valido = false;
    } else {
        if (!val.ValidaAlfanumerico(numero)) valido = false;
        if (ascii ? minusculas : numero != vb::UCase(numero)) {
            valido = false;
        }
    }
    return valido;
}

bool ValidaNumeroDocumentoParam(std::string_view funcion, std::string_view numero) {
    const ReglaDocumento regla = LeeReglaDocumento(funcion);
    // The component is asked only when there is something to judge.
    if (regla.vacia || vb::Trim(numero).empty()) return false;
    return ValidaNumeroDocumentoParam(regla, numero, Validador());
}

bool VerificaVersionArchivos(std::string_view version) {
    const std::string sql = "Select * from EFCONTROL " + FiltroDeclaracion();
    // Every error here means the files cannot be shown to be of this version.
    try {
        auto rs = Base().OpenRecordset(sql);
        bool iguales = true;
        while (!rs->Eof()) {
            try {
                const vb::Variant nomarc = rs->Fields("nomarc").Value();
                if (!nomarc.IsNull()) {
                    const std::string fin = vb::UCase(vb::Right(vb::ToText(nomarc), 3));
                    if (fin == "MOV" || fin == "EXT") {
                        const vb::Variant cnum = rs->Fields("cnum").Value();
                        if (cnum.IsNull() || vb::Trim(vb::ToText(cnum)) != version) {
                            iguales = false;
                            break;
                        }
                    }
                }
            } catch (const vb::VbError&) {
                iguales = false;
                break;
            }
            rs->MoveNext();
        }
        rs->Close();
        return iguales;
    } catch (const vb::VbError&) {
        return false;
    }
}

std::string SumaPosicion(std::int16_t& p, std::int16_t q) {
    p = vb::AddInteger(p, q);
    return std::to_string(p);
}

}  // namespace shell
