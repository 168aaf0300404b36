#include "jet_fixture.h"

#include <stdlib.h>

#include <filesystem>

#include "host/esquema.h"
#include "vb/error.h"

namespace jettest {

int ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const vb::VbError& e) {
        return e.Number();
    }
    return 0;
}

void JetTest::SetUp() {
    char tmpl[] = "/tmp/jet_test_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    path_ = dir_ + "/HOST.MDB";
    jet::DBEngine() = jet::EngineSettings{"", "admin", "", ""};
    db_ = jet::Database::Create(path_);
    CreateHostTables(*db_);
    LoadSample(*db_);
    db_->RefreshTableDefs();
}

void JetTest::TearDown() {
    if (db_) db_->Close();
    db_.reset();
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
}

long JetTest::Count(const std::string& sql) {
    auto rs = db_->OpenRecordset(sql, jet::dbOpenSnapshot);
    if (rs->Eof()) return 0;
    rs->MoveLast();
    return rs->RecordCount();
}

std::string JetTest::First(const std::string& sql, const std::string& field) {
    auto rs = db_->OpenRecordset(sql, jet::dbOpenSnapshot);
    if (rs->Eof()) return "<no row>";
    return vb::ToText(rs->Fields(field).Value());
}

void CreateHostTables(jet::Database& db) {
    for (const std::string& sql : hostkit::EsquemaHost()) db.Execute(sql, jet::dbFailOnError);
    const char* ddl[] = {
        // The installer's two statements for the control records, as it builds them.
        "CREATE TABLE EFCONTROL([tip_doc_d] Byte, [doc_id_d] text(15),[periodo] Text(6), "
        " [formulario] Text (4),[semana] integer, [nomarc] text(50), "
        " [rutarc] text(255), [tamarc] long,[tab_d] text(50), "
        " [marca] text(255), [cnum] text(20), [indice] byte,"
        " [num_tuplas] text(15),"
        " [mto_302] text(15), [mto_322] text(15),"
        " [mto_306] text(15), [mto_326] text(15),"
        " [mto_305] text(15), [mto_325] text(15),"
        " [mto_303] text(15), [mto_323] text(15), [mto_324] text(15),"
        " [mto_402] text(15),"
        " [mto_422] text(15), [mto_403] text(15), [mto_423] text(15),"
        " [mto_424] text(15), [mto_406] text(15), [mto_426] text(15),"
        " [cnumero] text(6));",
        "ALTER TABLE EFCONTROL ADD CONSTRAINT PK_EFCONTROL PRIMARY KEY ([tip_doc_d],[doc_id_d], "
        " [periodo],[Formulario], [semana],[nomarc])",
    };
    for (const char* sql : ddl) db.Execute(sql, jet::dbFailOnError);
}

void LoadSample(jet::Database& db) {
    const std::string funcion044 =
        "REG. UNICO DE CONTRIBUYENTES   RUC           11 000110 01 000001000001100111011111"
        "                                           0 5 1";
    // Version row: version at 1-3, date at 5-14, box number at 20-22.
    const std::string funcion856 = "1.9 01/03/2004     311";
    const std::string banco = std::string("BANCO DOS") + std::string(28, ' ') + "B.DOS";
    const std::string rows[] = {
        "INSERT INTO CONT (Tip_doc_d,Doc_id_d,Nombre,Usuario,Direccion) VALUES "
        "(6,'20100100100','ACME SA','JPEREZ','Av 1')",
        "INSERT INTO CONT (Tip_doc_d,Doc_id_d,Nombre,Usuario,Direccion) VALUES "
        "(6,'20200200200','BETA SRL','OTRO','Av 2')",
        "INSERT INTO CONT (Tip_doc_d,Doc_id_d,Nombre,Usuario,Direccion) VALUES (6,'12345678','PEPE "
        "LUCHO','JPEREZ','Av 3')",
        "INSERT INTO CONT (Tip_doc_d,Doc_id_d,Nombre,Usuario,Direccion) VALUES "
        "(1,'40404040','PERSONA DNI','JPEREZ','Av 4')",
        "INSERT INTO CLAVES (Usuario,Tipo) VALUES ('JPEREZ','1')",
        "INSERT INTO CLAVES (Usuario,Tipo) VALUES ('ADMIN','0')",
        "INSERT INTO PARAM VALUES ('044','6','" + funcion044 + "','000')",
        "INSERT INTO PARAM VALUES ('856','0787','" + funcion856 + "','000')",
        "INSERT INTO PARAM VALUES ('979','00','PROFESIONES','000')",
        "INSERT INTO PARAM VALUES ('979','01','ABOGADO','000')",
        "INSERT INTO PARAM VALUES ('979','02','MEDICO','000')",
        "INSERT INTO PARAM VALUES ('004','00','BANCOS','000')",
        "INSERT INTO PARAM VALUES ('004','03','" + banco + "','000')",
        "INSERT INTO PARAM VALUES ('404','20030101','2100','000')",
        "INSERT INTO PARAM VALUES ('404','20040101',' 1000 ','000')",
        "INSERT INTO PARAM VALUES ('817','01','OLD','000')",
        "INSERT INTO SPOOL VALUES "
        "('UZQ001','000007','00000123.PRN',38000.5,'JPEREZ',6,'20100100100')",
        "INSERT INTO SPOOL VALUES "
        "('AC0001','000002','00000100.PRN',38000.5,'JPEREZ',6,'20100100100')",
        "INSERT INTO CAB (DOC_ID_D,TIP_DOC_D,PERIODO,FORMULARIO,SEMANA,fec_pro,estado,cheque) "
        "VALUES ('20100100100',6,'200405','0787',0,'01/06/2004',9,' ')",
        "INSERT INTO DET VALUES ('20100100100',6,'200405','0787',0,'598','1500','01',0,'A1')",
        "INSERT INTO DET VALUES ('20100100100',6,'200405','0787',0,'599','E','01',0,'A2')",
        "INSERT INTO DET VALUES ('20100100100',6,'200405','0787',0,'592','125','01',0,'A3')",
        "INSERT INTO HCAB (DOC_ID_D,TIP_DOC_D,PERIODO,FORMULARIO,SEMANA,CORREL,estado,norden,"
        "fec_env,control) VALUES ('20100100100',6,'200404','0787',0,'001',1,'12345678',38100,"
        "'00001234')",
        "INSERT INTO HCAB (DOC_ID_D,TIP_DOC_D,PERIODO,FORMULARIO,SEMANA,CORREL,estado) "
        "VALUES ('20100100100',6,'200404','0787',0,'002',0)",
        "INSERT INTO HDET VALUES ('20100100100',6,'200404','0787',0,'598','001','900','01',0,'B1')",
        "INSERT INTO HDET VALUES ('20100100100',6,'200404','0787',0,'598','002','950','01',0,'B2')",
        "INSERT INTO EFCONTROL (tip_doc_d,doc_id_d,periodo,formulario,semana,nomarc,rutarc,"
        "tamarc,tab_d,marca,cnum,indice,num_tuplas,mto_302) VALUES (6,'20100100100','200405',"
        "'0787',0,'078720040520100100100.MOV','/DATA/',1000,'T_MOV','abc','1.9',1,'125','10')",
        "INSERT INTO EFCONTROL (tip_doc_d,doc_id_d,periodo,formulario,semana,nomarc,rutarc,"
        "tamarc,tab_d,marca,cnum,indice,num_tuplas,mto_302) VALUES (6,'20100100100','200405',"
        "'0787',0,'078720040520100100100.EXT','/DATA/',500,'T_EXT','def','1.9',1,'7','20')",
        "INSERT INTO envio_t VALUES ('0787','MOV','T_MOV','X',1,1,1,1,1,1,1,1,1)",
        "INSERT INTO envio_t VALUES ('0999','MOV','OTHER','X',1,1,1,1,1,1,1,1,1)",
        "INSERT INTO Reportes VALUES ('UZQ002','viejo',1)",
    };
    for (const auto& sql : rows) db.Execute(sql, jet::dbFailOnError);
}

}  // namespace jettest
