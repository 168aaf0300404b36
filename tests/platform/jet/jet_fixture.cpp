#include "jet_fixture.h"

#include <stdlib.h>

#include <filesystem>

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
    if (rs->EOF()) return 0;
    rs->MoveLast();
    return rs->RecordCount();
}

std::string JetTest::First(const std::string& sql, const std::string& field) {
    auto rs = db_->OpenRecordset(sql, jet::dbOpenSnapshot);
    if (rs->EOF()) return "<no row>";
    return vb::ToText(rs->Fields(field).Value());
}

void CreateHostTables(jet::Database& db) {
    const char* ddl[] = {
        "CREATE TABLE CONT ([Tip_doc_d] Byte, [Doc_id_d] text(15), [Nombre] text(100), "
        "[Usuario] text(20), [Direccion] text(100))",
        "ALTER TABLE CONT ADD CONSTRAINT PK_CONT PRIMARY KEY ([Tip_doc_d],[Doc_id_d])",
        "CREATE TABLE CLAVES ([Usuario] text(20), [Tipo] text(1))",
        "ALTER TABLE CLAVES ADD CONSTRAINT PK_CLAVES PRIMARY KEY ([Usuario])",
        "CREATE TABLE PARAM ([Numero] text(3), [Argumento] text(20), [Funcion] text(255), "
        "[Correl_Param] text(3))",
        "ALTER TABLE PARAM ADD CONSTRAINT PK_PARAM PRIMARY KEY ([Numero],[Argumento])",
        "CREATE TABLE SPOOL ([CodRep] text(6), [Secuencia] text(6), [Archivo] text(12), "
        "[Fecha] DateTime, [Usuario] text(20), [tip_doc_d] Short, [Doc_id_d] text(15))",
        "ALTER TABLE SPOOL ADD CONSTRAINT PK_SPOOL PRIMARY KEY ([CodRep],[Secuencia])",
        "CREATE TABLE CAB ([DOC_ID_D] text(15), [TIP_DOC_D] Short, [PERIODO] text(6), "
        "[FORMULARIO] text(4), [SEMANA] Short, [fec_pro] text(10), [estado] Short, "
        "[bcolibrad] text(3), [nrocheque] text(20), [cheque] text(15), [efectivo] text(15), "
        "[rectifica] text(1), [cNumero] text(6))",
        "ALTER TABLE CAB ADD CONSTRAINT PK_CAB PRIMARY KEY ([DOC_ID_D],[TIP_DOC_D],[PERIODO],"
        "[FORMULARIO],[SEMANA])",
        "CREATE TABLE DET ([DOC_ID_D] text(15), [TIP_DOC_D] Short, [PERIODO] text(6), "
        "[FORMULARIO] text(4), [SEMANA] Short, [CASILLA] text(3), [I_VALOR] text(50), "
        "[idcasilla] text(2), [estado] Short, [cNumero] text(6))",
        "ALTER TABLE DET ADD CONSTRAINT PK_DET PRIMARY KEY ([DOC_ID_D],[TIP_DOC_D],[PERIODO],"
        "[FORMULARIO],[SEMANA],[CASILLA])",
        "CREATE TABLE HCAB ([DOC_ID_D] text(15), [TIP_DOC_D] Short, [PERIODO] text(6), "
        "[FORMULARIO] text(4), [SEMANA] Short, [CORREL] text(3), [estado] Short, "
        "[bcolibrad] text(3), [nrocheque] text(20), [cheque] text(15), [efectivo] text(15), "
        "[rectifica] text(1), [norden] text(20), [fec_env] DateTime, [control] text(8), "
        "[cNumero] text(6))",
        "ALTER TABLE HCAB ADD CONSTRAINT PK_HCAB PRIMARY KEY ([DOC_ID_D],[TIP_DOC_D],[PERIODO],"
        "[FORMULARIO],[SEMANA],[CORREL])",
        "CREATE TABLE HDET ([DOC_ID_D] text(15), [TIP_DOC_D] Short, [PERIODO] text(6), "
        "[FORMULARIO] text(4), [SEMANA] Short, [CASILLA] text(3), [CORREL] text(3), "
        "[I_VALOR] text(50), [idcasilla] text(2), [estado] Short, [cNumero] text(6))",
        "ALTER TABLE HDET ADD CONSTRAINT PK_HDET PRIMARY KEY ([DOC_ID_D],[TIP_DOC_D],[PERIODO],"
        "[FORMULARIO],[SEMANA],[CASILLA],[CORREL])",
        "CREATE TABLE [error] ([Codigo] text(6), [Descripcion] text(255))",
        "CREATE TABLE envio_t ([formulario] text(4), [tabla_o] text(10), [tabla_d] text(50), "
        "[tabla_ext] text(10), [indice] Byte, [obliga] Byte, [c_tip_doc_d] Byte, "
        "[c_doc_id_d] Long, [c_Formulario] Long, [c_periodo] Long, [c_estado] Long, "
        "[c_envio] Long, [c_semana] Long)",
        "ALTER TABLE envio_t ADD CONSTRAINT PK_ENVIO_T PRIMARY KEY ([formulario],[tabla_o])",
        "CREATE TABLE Reportes ([CodRep] text(6), [DescRep] text(60), [Activo] Short)",
        "ALTER TABLE Reportes ADD CONSTRAINT PK_REPORTES PRIMARY KEY ([CodRep])",
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
        "INSERT INTO CONT VALUES (6,'20100100100','ACME SA','JPEREZ','Av 1')",
        "INSERT INTO CONT VALUES (6,'20200200200','BETA SRL','OTRO','Av 2')",
        "INSERT INTO CONT VALUES (6,'12345678','PEPE LUCHO','JPEREZ','Av 3')",
        "INSERT INTO CONT VALUES (1,'40404040','PERSONA DNI','JPEREZ','Av 4')",
        "INSERT INTO CLAVES VALUES ('JPEREZ','1')",
        "INSERT INTO CLAVES VALUES ('ADMIN','0')",
        "INSERT INTO PARAM VALUES ('044','6','" + funcion044 + "','000')",
        "INSERT INTO PARAM VALUES ('856','0787','" + funcion856 + "','000')",
        "INSERT INTO PARAM VALUES ('979','00','PROFESIONES','000')",
        "INSERT INTO PARAM VALUES ('979','01','ABOGADO','000')",
        "INSERT INTO PARAM VALUES ('979','02','MEDICO','000')",
        "INSERT INTO PARAM VALUES ('004','00','BANCOS','000')",
        "INSERT INTO PARAM VALUES ('004','03','" + banco + "','000')",
        "INSERT INTO PARAM VALUES ('404','20030101','3100','000')",
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
