#include "shell/spool.h"

#include "jet/database.h"
#include "shell/state.h"
#include "vb/datetime.h"
#include "vb/error.h"
#include "vb/numeric.h"
#include "vb/variant.h"

namespace shell {

namespace {

// The single value of a one-row maximum query: 0 when Null (no rows).
std::int32_t Maximo(jet::Database& db, const std::string& sql) {
    auto rs = db.OpenRecordset(sql, jet::dbOpenSnapshot);
    std::int32_t n = 0;
    if (!rs->Eof()) {
        const vb::Variant& v = rs->Fields(0).Value();
        if (!v.IsNull()) n = vb::CLng(v);
    }
    rs->Close();
    return n;
}

constexpr std::int32_t kUltimoArchivo = 99999999;

}  // namespace

std::string RegistraSpool(jet::Database& db, std::string_view usuario, std::string_view codRep,
                          std::int16_t tipDoc, std::string_view docId) {
    // The write lock is taken before the maxima are read: a second program
    // registering meanwhile waits until this row is committed.
    jet::Transaction tx(db);
    const std::string codigo = jet::Q(codRep);
    const std::int32_t s =
        Maximo(db, "SELECT max(Secuencia) as SecTipo FROM SPOOL Where CodRep = '" + codigo + "'");
    const std::int32_t r = Maximo(db, "SELECT max(left(Archivo,8)) as SecRep FROM SPOOL");
    // A ninth digit would drop out of the maximum and names would repeat,
    // overwriting earlier reports.
    if (r >= kUltimoArchivo) vb::Raise(vb::kOverflow);

    const std::string secuencia = vb::Format(static_cast<double>(s + 1), "000000");
    const std::string archivo = vb::Format(static_cast<double>(r + 1), "00000000") + ".PRN";

    // An empty set of the table to add the row through.
    auto rs = db.OpenRecordset(
        "SELECT * FROM SPOOL WHERE CodRep = '" + codigo + "' AND Secuencia = '" + secuencia + "'",
        jet::dbOpenDynaset);
    rs->AddNew();
    rs->Fields("CodRep") = vb::Variant(std::string(codRep));
    rs->Fields("Secuencia") = vb::Variant(secuencia);
    rs->Fields("Archivo") = vb::Variant(archivo);
    rs->Fields("Fecha") = vb::Variant(vb::Now());
    rs->Fields("Usuario") = vb::Variant(std::string(usuario));
    rs->Fields("tip_doc_d") = vb::Variant(tipDoc);
    rs->Fields("Doc_id_d") = vb::Variant(std::string(docId));
    rs->Update();
    rs->Close();
    tx.Commit();
    return archivo;
}

std::string RegistraSpool(std::string_view codRep, std::int16_t tipDoc, std::string_view docId) {
    if (G().gdbBase == nullptr) vb::Raise(vb::kObjectNotSet);
    return RegistraSpool(*G().gdbBase, G().gsUsuario, codRep, tipDoc, docId);
}

}  // namespace shell
