#include "import/catalogo.h"

#include <cmath>

#include "jet/database.h"
#include "shell/avisos.h"
#include "shell/state.h"
#include "vb/error.h"
#include "vb/numeric.h"
#include "vb/strings.h"
#include "vb/variant.h"

namespace importacion {

namespace {

jet::Database& BaseAbierta() {
    jet::Database* db = shell::G().gdbBase;
    if (db == nullptr) vb::Raise(vb::kObjectNotSet);
    return *db;
}

std::string SqlCatalogo(std::string_view sNumero) {
    return "SELECT * " + std::string("FROM PARAM ") + "WHERE numero='" + jet::Q(sNumero) + "'";
}

// Argumento of a flagged row as an index of the array.
int IndiceTipo(const std::string& argumento, std::string_view sNumero) {
    auto numero = vb::ParseNumber(argumento);
    if (!numero || *numero != std::floor(*numero)) {
        vb::Raise(vb::kTypeMismatch, "El catálogo " + std::string(sNumero) +
                                         " tiene un Argumento que no es un número entero: '" +
                                         argumento + "'");
    }
    if (*numero < 0 || *numero > 99) {
        vb::Raise(vb::kSubscript, "El catálogo " + std::string(sNumero) +
                                      " tiene un Argumento fuera del intervalo 0 a 99: '" +
                                      argumento + "'");
    }
    return static_cast<int>(*numero);
}

// The answer of Existe_TipoND to any error: the message, then "it exists".
bool AvisoExisteTipoND(int numero, const std::string& descripcion) {
    shell::Aviso().MsgBox(descripcion + "\n" + "Error producido en función Existe_TipoND ",
                          shell::vbCritical, " Error crítico: " + std::to_string(numero));
    return true;
}

}  // namespace

std::string CadPar2(jet::Database& db, std::string_view sNumero) {
    std::string lista;
    auto rs = db.OpenRecordset(SqlCatalogo(sNumero), jet::dbOpenSnapshot);
    while (!rs->Eof()) {
        lista += "|" + vb::Trim(vb::ToText(rs->Fields("Argumento").Value()));
        rs->MoveNext();
    }
    rs->Close();
    return lista;
}

std::string CadPar2(std::string_view sNumero) {
    return CadPar2(BaseAbierta(), sNumero);
}

ArregloTipos CadPar(jet::Database& db, std::string_view sNumero, std::string_view sPos) {
    ArregloTipos tipos;
    // The position comes as text; text that is no number is a type mismatch.
    long posicion = vb::CLng(vb::Variant(std::string(sPos)));
    auto rs = db.OpenRecordset(SqlCatalogo(sNumero), jet::dbOpenSnapshot);
    while (!rs->Eof()) {
        std::string funcion = vb::ToText(rs->Fields("Funcion").Value());
        if (vb::Mid(funcion, posicion, 1) == "1") {
            int indice = IndiceTipo(vb::ToText(rs->Fields("Argumento").Value()), sNumero);
            tipos[static_cast<std::size_t>(indice)] = funcion;
        }
        rs->MoveNext();
    }
    rs->Close();
    return tipos;
}

ArregloTipos CadPar(std::string_view sNumero, std::string_view sPos) {
    return CadPar(BaseAbierta(), sNumero, sPos);
}

bool Existe_TipoND(jet::Database& db, std::string_view sparam, std::string_view sDato1) {
    try {
        std::string sql = " SELECT * " + std::string(" FROM Param ") + " WHERE Numero = '" +
                          jet::Q(sparam) + "' " + " AND Argumento = '" + jet::Q(sDato1) + "' ";
        auto rs = db.OpenRecordset(sql, jet::dbOpenSnapshot);
        bool existe = !(rs->BOF() && rs->Eof());
        rs->Close();
        return existe;
    } catch (const vb::VbError& e) {
        return AvisoExisteTipoND(e.Number(), e.Description());
    } catch (const std::exception& e) {
        return AvisoExisteTipoND(vb::kInvalidCall, e.what());
    }
}

bool Existe_TipoND(std::string_view sparam, std::string_view sDato1) {
    jet::Database* db = shell::G().gdbBase;
    if (db == nullptr)
        return AvisoExisteTipoND(vb::kObjectNotSet, vb::ErrorText(vb::kObjectNotSet));
    return Existe_TipoND(*db, sparam, sDato1);
}

}  // namespace importacion
