#include "tests/declaration/base_prueba.h"

#include "jet/database.h"
#include "shell/state.h"
#include "tools/seeder/instalador.h"
#include "vb/variant.h"

namespace prueba {

void BaseDeclaracion::SetUp() {
    auto host = pruebas::PreparaHost(carpeta_.Ruta(), val_);
    inst_ = host.inst;
    db_ = std::move(host.db);
    avisos_.avisos.clear();
    auto& g = shell::G();
    g.gsSysPath = inst_.sysPath;
    g.gsRuc = kRuc;
}

void BaseDeclaracion::TearDown() {
    shell::G().gdbBase = nullptr;
    shell::G().goValidador = nullptr;
    db_.reset();
}

declaracion::Clave BaseDeclaracion::Clave(const std::string& periodo) const {
    declaracion::Clave k;
    k.ruc = kRuc;
    k.periodo = periodo;
    return k;
}

void BaseDeclaracion::Control(const std::string& periodo, const std::string& clase,
                              const std::map<std::string, std::string>& columnas) {
    auto rs = db_->OpenRecordset("EFCONTROL", jet::dbOpenTable);
    rs->AddNew();
    rs->Fields("tip_doc_d") = vb::Variant(std::uint8_t{6});
    rs->Fields("doc_id_d") = vb::Variant(kRuc);
    rs->Fields("periodo") = vb::Variant(periodo);
    rs->Fields("formulario") = vb::Variant("0787");
    rs->Fields("semana") = vb::Variant(std::int16_t{0});
    rs->Fields("nomarc") = vb::Variant("0787" + periodo + kRuc + "." + clase);
    rs->Fields("cnum") = vb::Variant("1.9");
    for (const auto& [c, v] : columnas) rs->Fields(c) = vb::Variant(v);
    rs->Update();
}

void BaseDeclaracion::Cabecera(const std::string& periodo,
                               const std::map<std::string, std::string>& columnas) {
    auto rs = db_->OpenRecordset("CAB", jet::dbOpenTable);
    rs->AddNew();
    rs->Fields("DOC_ID_D") = vb::Variant(kRuc);
    rs->Fields("TIP_DOC_D") = vb::Variant(std::int16_t{6});
    rs->Fields("PERIODO") = vb::Variant(periodo);
    rs->Fields("FORMULARIO") = vb::Variant("0787");
    rs->Fields("SEMANA") = vb::Variant(std::int16_t{0});
    rs->Fields("fec_pro") = vb::Variant("01/02/2018");
    rs->Fields("estado") = vb::Variant(std::int16_t{9});
    for (const auto& [c, v] : columnas) rs->Fields(c) = vb::Variant(v);
    rs->Update();
}

void BaseDeclaracion::Casilla(const std::string& periodo, const std::string& casilla,
                              const std::string& valor) {
    db_->Execute(
        "INSERT INTO DET (DOC_ID_D, TIP_DOC_D, PERIODO, FORMULARIO, SEMANA, CASILLA, "
        "I_VALOR, idcasilla, estado) VALUES ('" +
            kRuc + "', 6, '" + periodo + "', '0787', 0, '" + casilla + "', '" + valor +
            "', '01', 0)",
        jet::dbFailOnError);
}

std::map<std::string, std::string> BaseDeclaracion::Casillas(const std::string& periodo) {
    std::map<std::string, std::string> r;
    auto rs = db_->OpenRecordset("SELECT CASILLA, I_VALOR FROM DET WHERE PERIODO='" + periodo + "'",
                                 jet::dbOpenSnapshot);
    for (; !rs->Eof(); rs->MoveNext())
        r[vb::ToText(rs->Fields(0).Value())] = vb::ToText(rs->Fields(1).Value());
    return r;
}

std::map<std::string, std::string> BaseDeclaracion::FilaCab(const std::string& periodo) {
    std::map<std::string, std::string> r;
    auto rs = db_->OpenRecordset("SELECT * FROM CAB WHERE PERIODO='" + periodo + "'",
                                 jet::dbOpenSnapshot);
    if (rs->Eof()) return r;
    for (int i = 0; i < rs->FieldCount(); ++i) {
        const vb::Variant& v = rs->Fields(i).Value();
        r[rs->Fields(i).Name()] = v.IsNull() ? "<null>" : vb::ToText(v);
    }
    return r;
}

long BaseDeclaracion::Cuenta(const std::string& sql) {
    auto rs = db_->OpenRecordset(sql, jet::dbOpenSnapshot);
    return static_cast<long>(rs->Fields(0).Value().NumberValue());
}

}  // namespace prueba
