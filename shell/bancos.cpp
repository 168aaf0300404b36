#include "shell/bancos.h"

#include "jet/database.h"
#include "vb/strings.h"
#include "vb/variant.h"

namespace shell {

std::string BuscaNombreBanco(jet::Database& db, const std::string& codigo, NombreBanco nombre) {
    const char* columna = nombre == NombreBanco::Corto ? "mid(FUNCION,38,12)" : "mid(FUNCION,1,36)";
    auto rs = db.OpenRecordset(
        std::string("SELECT MID(ARGUMENTO,1,2) as codigo,") + columna + " as descrip " +
            "FROM PARAM " + "WHERE NUMERO='004' AND TRIM(ARGUMENTO)= '" + jet::Q(codigo) + "'",
        jet::dbOpenSnapshot);
    std::string texto;
    if (!rs->Eof()) texto = vb::Trim(vb::ToText(rs->Fields("Descrip").Value()));
    rs->Close();
    return texto;
}

}  // namespace shell
