// Every statement the programs write, with sample values, against the host
// tables: each must run in the engine's dialect and give the rows Jet gives.
#include <gtest/gtest.h>

#include "jet_fixture.h"
#include "vb/error.h"

namespace jettest {
namespace {

const std::string R = kRuc;
const std::string P = kPeriodo;
const std::string U = kUsuario;
const std::string FILTRO = " WHERE DOC_ID_D='" + R + "'" + " AND PERIODO='" + P + "'" +
                           " AND FORMULARIO='0787'" + " AND SEMANA=0" + " AND TIP_DOC_D=6";

// Rows come in key order when no order is asked for (the key index is read),
// so the reversal file's control record comes before the movement file's.
struct Query {
    const char* what;
    std::string sql;
    long rows;          // rows of the result
    const char* field;  // checked on the first row, when given
    const char* value;  // "" & value
};
void PrintTo(const Query& q, std::ostream* os) {
    *os << q.what;
}

class DialectQueries : public JetTest, public ::testing::WithParamInterface<Query> {};

TEST_P(DialectQueries, GivesJetRows) {
    const Query& q = GetParam();
    SCOPED_TRACE(q.sql);
    for (int type : {jet::dbOpenSnapshot, jet::dbOpenDynaset}) {
        auto rs = db_->OpenRecordset(q.sql, type);
        long n = 0;
        if (!rs->Eof()) {
            if (q.field) {
                EXPECT_EQ(vb::ToText(rs->Fields(q.field).Value()), q.value);
            }
            rs->MoveLast();
            n = rs->RecordCount();
        }
        EXPECT_EQ(n, q.rows);
    }
}

const Query kQueries[] = {
    {"version", "Select * from param where numero = '856'  and argumento='0787'", 1, "Funcion",
     "1.9 01/03/2004     311"},
    {"document type row", "SELECT * FROM PARAM WHERE Numero ='044' AND Argumento='6' ", 1, "Numero",
     "044"},
    {"taxpayers of a user",
     " SELECT * FROM CONT  WHERE Tip_doc_d=6  AND Usuario ='" + U +
         "' Order by Tip_doc_d, doc_id_d ",
     2, "Doc_id_d", "12345678"},
    {"taxpayers, 11 digits only",
     " SELECT * FROM CONT  WHERE Tip_doc_d=6  AND len(trim(Doc_id_d))=11  AND Usuario ='" + U +
         "' Order by Tip_doc_d, doc_id_d ",
     1, "Nombre", "ACME SA"},
    {"taxpayers, all", " SELECT * FROM CONT  WHERE Tip_doc_d=6  ORDER BY Tip_doc_d, doc_id_d ", 3,
     "Doc_id_d", "12345678"},
    {"user type, other case", "SELECT * FROM CLAVES WHERE Usuario='jperez'", 1, "Tipo", "1"},
    {"control records", "Select * from EFCONTROL " + FILTRO, 2, "cnum", "1.9"},
    {"highest sequence", "SELECT max(Secuencia) as SecTipo FROM SPOOL Where CodRep = 'UZQ001'", 1,
     "SecTipo", "000007"},
    {"sequence of a new code",
     "SELECT max(Secuencia) as SecTipo FROM SPOOL Where CodRep = 'UZQ002'", 1, "SecTipo", ""},
    {"highest file", "SELECT max(left(Archivo,8)) as SecRep FROM SPOOL", 1, "SecRep", "00000123"},
    {"spool", "SELECT * FROM SPOOL", 2, "CodRep", "UZQ001"},
    {"sent list to modify",
     "SELECT A.DOC_ID_D, B.NOMBRE, a.fec_env, mid$(A.PERIODO,5,2) & mid$(A.PERIODO,1,4) as "
     "PERIODO, A.FORMULARIO,a.correl,a.norden,a.control,a.estado,a.rectifica,a.semana FROM HCAB "
     "AS A, CONT AS B WHERE A.DOC_ID_D=B.DOC_ID_D AND A.TIP_DOC_D=6 AND B.TIP_DOC_D=6 AND "
     "A.FORMULARIO='0787' AND B.USUARIO='" +
         U + "' and a.estado=1 ORDER BY A.DOC_ID_D ASC",
     1, "PERIODO", "042004"},
    {"stored list to modify",
     "SELECT A.DOC_ID_D, B.NOMBRE, mid(A.PERIODO,5,2) & mid(A.PERIODO,1,4) as PERIODO, "
     "A.FORMULARIO, a.estado,a.semana FROM CAB AS A, CONT AS B WHERE A.DOC_ID_D=B.DOC_ID_D AND "
     "A.FORMULARIO= '0787' AND B.USUARIO='" +
         U + "' ORDER BY A.DOC_ID_D ASC, A.PERIODO DESC, A.FORMULARIO ASC",
     1, "PERIODO", "052004"},
    {"stored list, type 0 user",
     "SELECT A.DOC_ID_D, B.NOMBRE, mid(A.PERIODO,5,2) & mid(A.PERIODO,1,4) as PERIODO, "
     "A.FORMULARIO, a.estado,a.semana FROM CAB AS A, CONT AS B WHERE A.DOC_ID_D=B.DOC_ID_D AND "
     "A.FORMULARIO= '0787' ORDER BY A.DOC_ID_D ASC, A.PERIODO DESC, A.FORMULARIO ASC",
     1, "NOMBRE", "ACME SA"},
    {"order-number list",
     "SELECT A.DOC_ID_D, B.NOMBRE, A.PERIODO, A.FORMULARIO, A.NORDEN, A.FEC_ENV, A.CONTROL, "
     "A.CORREL, A.RECTIFICA,a.semana,mid$(A.PERIODO,5,2) & mid$(A.PERIODO,1,4) as PERIODOf FROM "
     "HCAB AS A, CONT AS B WHERE A.DOC_ID_D=B.DOC_ID_D AND A.TIP_DOC_D=6 AND B.TIP_DOC_D=6 AND "
     "A.FORMULARIO='0787' AND B.USUARIO='" +
         U + "' ORDER BY A.DOC_ID_D ASC, A.PERIODO",
     2, "PERIODOf", "042004"},
    {"professions",
     "SELECT MID(ARGUMENTO,1,2) as codigo,mid(FUNCION,1,36) as descrip FROM PARAM WHERE "
     "NUMERO='979' AND TRIM(ARGUMENTO)<> '00'",
     2, "descrip", "ABOGADO"},
    {"banks",
     "SELECT MID(ARGUMENTO,1,2) as codigo,mid(FUNCION,1,36) as descrip FROM PARAM WHERE "
     "NUMERO='004' AND TRIM(ARGUMENTO)<> '00'",
     1, "codigo", "03"},
    {"tax units, newest first",
     "SELECT MID(ARGUMENTO,7,2) &  MID(ARGUMENTO,5,2) & MID(ARGUMENTO,1,4) as codigo,  "
     "VAL(trim(FUNCION)) as Descrip FROM PARAM WHERE NUMERO='404' ORDER BY argumento desc  ",
     2, "codigo", "01012004"},
    {"tax unit value",
     "SELECT VAL(trim(FUNCION)) as Descrip FROM PARAM WHERE NUMERO='404' "
     "ORDER BY argumento desc",
     2, "Descrip", "1000"},
    {"sent boxes",
     "SELECT CASILLA, I_VALOR FROM HDET WHERE DOC_ID_D='" + R +
         "' AND PERIODO='200404' AND FORMULARIO='0787' AND SEMANA=0 AND Correl='001'",
     1, "I_VALOR", "900"},
    {"stored boxes",
     "SELECT CASILLA, I_VALOR FROM DET WHERE DOC_ID_D='" + R + "' AND PERIODO='" + P +
         "' AND SEMANA=0 AND FORMULARIO='0787'",
     3, nullptr, nullptr},
    {"control totals",
     "Select * from EFCONTROL  WHERE DOC_ID_D='" + R + "' AND PERIODO='" + P +
         "' AND FORMULARIO='0787' AND SEMANA=0 AND TIP_DOC_D=6",
     2, "mto_302", "20"},
    {"sent amount to pay",
     "SELECT  I_VALOR FROM hDET WHERE DOC_ID_D='" + R +
         "' AND PERIODO='200404' AND FORMULARIO='0787' AND SEMANA=0 AND CORREL='002' AND "
         "CASILLA='598'",
     1, "I_VALOR", "950"},
    {"stored amount to pay",
     "SELECT  I_VALOR FROM DET WHERE DOC_ID_D='" + R + "' AND PERIODO='" + P +
         "' AND FORMULARIO='0787' AND SEMANA=0 AND CASILLA='598'",
     1, "I_VALOR", "1500"},
    {"sent header",
     "SELECT * FROM HCAB WHERE DOC_ID_D='" + R +
         "' AND TIP_DOC_D=6 AND PERIODO='200404' AND FORMULARIO='0787' AND SEMANA=0 AND "
         "CORREL='001'",
     1, "norden", "12345678"},
    {"stored header",
     "SELECT * FROM CAB WHERE DOC_ID_D='" + R + "' AND TIP_DOC_D=6 AND PERIODO='" + P +
         "' AND SEMANA=0 AND FORMULARIO='0787'",
     1, "estado", "9"},
    {"sent header to record the order",
     "SELECT * FROM HCAB WHERE DOC_ID_D='" + R +
         "' AND TIP_DOC_D=6 AND PERIODO='200404' AND FORMULARIO='0787' AND CORREL='001' AND "
         "SEMANA=0",
     1, "control", "00001234"},
    {"header to save",
     "SELECT * FROM CAB WHERE DOC_ID_D='" + R + "' AND PERIODO='" + P +
         "' AND FORMULARIO='0787' AND SEMANA=0",
     1, "fec_pro", "01/06/2004"},
    {"header state", "Select * from  cab " + FILTRO, 1, "PERIODO", kPeriodo},
    {"one box",
     "SELECT * FROM DET WHERE DOC_ID_D='" + R + "' AND TIP_DOC_D=6 AND PERIODO='" + P +
         "' AND FORMULARIO='0787' AND SEMANA=0 AND CASILLA='598'",
     1, "I_VALOR", "1500"},
    {"catalogue list", "SELECT * FROM PARAM WHERE numero='979'", 3, nullptr, nullptr},
    {"catalogue entry", " SELECT *  FROM Param  WHERE Numero = '979'  AND Argumento = '01' ", 1,
     "Funcion", "ABOGADO"},
    {"control record of a file, other case",
     "Select * from EFCONTROL " + FILTRO + " AND NOMARC='078720040520100100100.mov'", 1, "tamarc",
     "1000"},
    {"submission table", "Select * from ENVIO_T WHERE FORMULARIO='0787' AND tabla_o='mov'", 1,
     "tabla_d", "T_MOV"},
    {"file kind validated before",
     "Select * from EFCONTROL " + FILTRO + " AND UCASE(RIGHT(NOMARC,3))='EXT'", 1, "num_tuplas",
     "7"},
    {"declaration exists",
     "SELECT * FROM CAB WHERE DOC_ID_D='" + R + "' AND TIP_DOC_D=6 AND PERIODO='" + P +
         "' AND FORMULARIO='0787'",
     1, nullptr, nullptr},
    {"print list, sent",
     "SELECT A.DOC_ID_D, B.NOMBRE, A.PERIODO,mid$(A.PERIODO,5,2) & mid$(A.PERIODO,1,4) as "
     "PERIODOf, A.FORMULARIO,a.estado,a.fec_env,a.correl,a.norden,a.control,a.rectifica,a.semana "
     "FROM HCAB AS A, CONT AS B WHERE A.DOC_ID_D=B.DOC_ID_D AND A.TIP_DOC_D=6 AND B.TIP_DOC_D=6 "
     "AND A.FORMULARIO='0787' AND B.USUARIO='" +
         U + "' and a.estado=1 ORDER BY A.DOC_ID_D ASC",
     1, "correl", "001"},
    {"print list, stored",
     "SELECT A.DOC_ID_D, B.NOMBRE, A.PERIODO,mid$(A.PERIODO,5,2) & mid$(A.PERIODO,1,4) as "
     "PERIODOf, A.FORMULARIO, a.estado,a.rectifica,a.semana FROM CAB AS A, CONT AS B WHERE "
     "A.DOC_ID_D=B.DOC_ID_D AND A.TIP_DOC_D=6 AND B.TIP_DOC_D=6 AND A.FORMULARIO='0787' AND "
     "B.USUARIO='" +
         U + "' ORDER BY A.DOC_ID_D ASC, a.periodo DESC",
     1, "PERIODOf", "052004"},
    {"print boxes, sent",
     "SELECT CASILLA, I_VALOR FROM HDET WHERE DOC_ID_D='" + R +
         "' AND PERIODO='200404' AND FORMULARIO='0787' AND SEMANA=0 AND Correl='002'",
     1, "CASILLA", "598"},
    {"print header, sent",
     "SELECT * FROM HCAB WHERE DOC_ID_D='" + R +
         "' AND TIP_DOC_D=6 AND PERIODO='200404' AND FORMULARIO='0787' AND SEMANA=0 AND "
         "correl='001'",
     1, "estado", "1"},
    {"bank name",
     "SELECT MID(ARGUMENTO,1,2) as codigo,mid(FUNCION,38,12) as descrip FROM PARAM WHERE "
     "NUMERO='004' AND TRIM(ARGUMENTO)= '03'",
     1, "descrip", "B.DOS"},
    {"summary bank",
     "SELECT MID(ARGUMENTO,1,2) as codigo,mid(FUNCION,1,36) as descrip FROM PARAM WHERE "
     "NUMERO='004' AND TRIM(ARGUMENTO)= '03'",
     1, "codigo", "03"},
    {"summary boxes",
     "SELECT CASILLA, I_VALOR FROM DET WHERE DOC_ID_D='" + R + "' AND PERIODO='" + P +
         "' AND FORMULARIO='0787'",
     3, nullptr, nullptr},
    {"summary name", "Select nombre from cont where doc_id_d= '" + R + "'and tip_doc_d=6", 1,
     "nombre", "ACME SA"},
    {"record count",
     "SELECT num_tuplas FROM EFCONTROL WHERE tip_doc_d=6 and doc_id_d ='" + R + "' and periodo='" +
         P + "' and formulario='0787' and semana=0  and nomarc='" + kMov + "'",
     1, "num_tuplas", "125"},
    {"box value, type as typed",
     "Select i_valor from det where tip_doc_d = 06 and doc_id_d ='" + R + "' and periodo='" + P +
         "' and formulario='0787' and casilla ='592'",
     1, "i_valor", "125"},
    {"digests",
     "SELECT * FROM EFCONTROL  Where tip_doc_d=6 And  doc_id_d='" + R + "' And periodo='" + P +
         "' And  formulario='0787' And  semana=0",
     2, "marca", "def"},
    {"installer: submission row", "Select * from envio_t Where formulario='0787' AND tabla_o='MOV'",
     1, "indice", "1"},
    {"installer: report", "Select * from Reportes Where CodRep='UZQ002'", 1, "DescRep", "viejo"},
    {"installer: parameter", "Select * from Param Where Numero='979' AND Argumento='02'", 1,
     "Funcion", "MEDICO"},
    {"installer: rows-file lookup", "Select * From PARAM where numero='979' and argumento= '01'", 1,
     "Correl_Param", "000"},
};

INSTANTIATE_TEST_SUITE_P(Piece, DialectQueries, ::testing::ValuesIn(kQueries),
                         [](const ::testing::TestParamInfo<Query>& i) {
                             std::string n;
                             for (char c : std::string(i.param.what))
                                 n += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return n;
                         });

// Action statements: rows changed, then what a check query counts.
struct Action {
    const char* what;
    std::string sql;
    int options;
    long affected;
    std::string check;  // SELECT whose row count follows
    long checkRows;
};

void PrintTo(const Action& a, std::ostream* os) {
    *os << a.what;
}

class DialectActions : public JetTest, public ::testing::WithParamInterface<Action> {};

TEST_P(DialectActions, ChangeTheRows) {
    const Action& a = GetParam();
    SCOPED_TRACE(a.sql);
    db_->Execute(a.sql, a.options);
    EXPECT_EQ(db_->RecordsAffected(), a.affected);
    EXPECT_EQ(Count(a.check), a.checkRows);
}

const std::string SENT = " WHERE DOC_ID_D='" + R + "' AND PERIODO='200404' AND FORMULARIO='0787'" +
                         " AND SEMANA=0 and CORREL ='001' AND TIP_DOC_D=6";

const Action kActions[] = {
    {"delete sent boxes", "DELETE * FROM hDET" + SENT, 16, 1, "SELECT * FROM HDET", 1},
    {"delete sent header", "DELETE * FROM hCAB" + SENT, 16, 1, "SELECT * FROM HCAB", 1},
    {"delete stored boxes", "DELETE * FROM DET" + FILTRO, 16, 3, "SELECT * FROM DET", 0},
    {"delete stored header", "DELETE * FROM CAB" + FILTRO, 16, 1, "SELECT * FROM CAB", 0},
    {"delete control records", "DELETE * FROM EFCONTROL" + FILTRO, 16, 2, "SELECT * FROM EFCONTROL",
     0},
    {"delete a list", "Delete from Param where numero='817'", 16, 1,
     "SELECT * FROM PARAM WHERE numero='817'", 0},
    {"clear submission rows", "delete * from envio_t where formulario='0787'", 16, 1,
     "SELECT * FROM envio_t", 1},
    {"insert submission row",
     "insert into envio_t values ( '0787','EXT','T_EXT','Y',2,1,1,1,1,1,1,1,0)", 16, 1,
     "SELECT * FROM envio_t WHERE tabla_o='EXT' AND indice=2", 1},
    {"update submission row",
     "Update envio_t set  tabla_d = 'T2', tabla_ext = 'X2', indice=2, obliga=0, c_tip_doc_d=1, "
     "c_doc_id_d =1, c_Formulario=1, c_periodo=1, c_estado=1, c_envio=1, c_semana=1 Where "
     "formulario='0787' AND tabla_o='MOV'",
     16, 1, "SELECT * FROM envio_t WHERE tabla_d='t2'", 1},
    {"report UZQ001", "insert into reportes values ('UZQ001','Reporte de UZQ',1)", 16, 1,
     "SELECT * FROM Reportes", 2},
    {"report UZQ002 again, key kept", "insert into reportes values ('UZQ002','otra',1)", 16, 0,
     "SELECT * FROM Reportes WHERE DescRep='viejo'", 1},
    {"report update",
     "Update Reportes Set DescRep='Resumen de declaración generada - 0787' Where CodRep='UZQ002'",
     16, 1, "SELECT * FROM Reportes WHERE DescRep='RESUMEN DE DECLARACIÓN GENERADA - 0787'", 1},
    {"parameter update",
     "Update Param Set Funcion='TIN - Doc Trib PP.NN.', Correl_param='000' Where Numero='979' "
     "AND Argumento='01'",
     16, 1, "SELECT * FROM PARAM WHERE Funcion='TIN - Doc Trib PP.NN.'", 1},
    {"parameter insert", "insert into Param values ('875','01','TIN - Doc Trib PP.NN.','000')", 16,
     1, "SELECT * FROM PARAM WHERE Numero='875'", 1},
    {"parameter with quote",
     "insert into Param values ('876','04','" + jet::Q("DOM OFICIAL CÍA, D'ASOC") + "','000')", 128,
     1, "SELECT * FROM PARAM WHERE Funcion='DOM OFICIAL CÍA, D''ASOC'", 1},
};

INSTANTIATE_TEST_SUITE_P(Piece, DialectActions, ::testing::ValuesIn(kActions),
                         [](const ::testing::TestParamInfo<Action>& i) {
                             std::string n;
                             for (char c : std::string(i.param.what))
                                 n += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return n;
                         });

// Texts the translation must produce (or keep) for the traps of the dialect.
TEST(TranslateSql, RewritesJetDialect) {
    struct Row {
        const char* jet;
        const char* sqlite;
    } rows[] = {
        {"DELETE * FROM hDET WHERE a=1", "DELETE FROM hDET WHERE a=1"},
        {"delete * from envio_t", "delete from envio_t"},
        {"SELECT [My Field] FROM [t]", "SELECT \"My Field\" FROM \"t\""},
        {"SELECT a FROM t WHERE b=\"x\"", "SELECT a FROM t WHERE b='x' COLLATE JETTEXT"},
        {"SELECT a & b FROM t", "SELECT jet_cat(a,b) COLLATE JETTEXT FROM t"},
        {"SELECT mid$(p,5,2) & mid$(p,1,4) as x FROM t",
         "SELECT jet_cat(jet_mid(p,5,2) COLLATE JETTEXT,jet_mid(p,1,4) COLLATE JETTEXT) COLLATE "
         "JETTEXT as x FROM t"},
        {"SELECT a FROM t WHERE x = 1 & 2 AND y",
         "SELECT a FROM t WHERE x = jet_cat(1,2) COLLATE JETTEXT AND y"},
        {"SELECT a+1 & b*2 FROM t", "SELECT jet_cat(a+1,b*2) COLLATE JETTEXT FROM t"},
        {"SELECT Len(a), Val(b) FROM t", "SELECT jet_len(a), jet_val(b) FROM t"},
        {"UPDATE t SET f = True, g = False", "UPDATE t SET f = -1, g = 0"},
        {"SELECT max(left(Archivo,8)) FROM SPOOL",
         "SELECT max(jet_left(Archivo,8) COLLATE JETTEXT) FROM SPOOL"},
        {"SELECT * FROM t WHERE UCASE(RIGHT(N,3))='MOV'",
         "SELECT * FROM t WHERE jet_ucase(jet_right(N,3) COLLATE JETTEXT) COLLATE JETTEXT='MOV' "
         "COLLATE JETTEXT"},
        {"SELECT * FROM a LEFT JOIN b ON a.x=b.x", "SELECT * FROM a LEFT JOIN b ON a.x=b.x"},
        {"SELECT 'it''s' FROM t", "SELECT 'it''s' COLLATE JETTEXT FROM t"},
        {"Select nombre from cont where d= '1'and t=6",
         "Select nombre from cont where d= '1' COLLATE JETTEXT and t=6"},
    };
    for (const auto& r : rows) EXPECT_EQ(jet::TranslateSql(r.jet), r.sqlite) << r.jet;
}

TEST(TranslateSql, JetDdlTypes) {
    const std::string s = jet::TranslateSql(
        "CREATE TABLE T ([a] Byte, [b] Short, [c] integer, [d] Long, [e] Text (4), [f] text, "
        "[g] Memo, [h] Currency, [i] DateTime, [j] YesNo, [k] Double, [l] Single)");
    for (const char* part :
         {"\"a\" BYTE_INT", "\"b\" SHORT_INT", "\"c\" LONG_INT", "\"d\" LONG_INT", "\"e\" TEXT(4)",
          "\"f\" TEXT(255)", "\"g\" MEMO_TEXT", "\"h\" CURRENCY_NUM", "\"i\" DATETIME_REAL",
          "\"j\" YESNO_INT", "\"k\" DOUBLE_REAL", "\"l\" SINGLE_REAL"})
        EXPECT_NE(s.find(part), std::string::npos) << part << " in " << s;
    EXPECT_EQ(ErrorOf([] { jet::TranslateSql("CREATE TABLE T ([a] Pointer)"); }), 3292);
}

TEST(Q, DoublesSingleQuotes) {
    EXPECT_EQ(jet::Q("20100100100"), "20100100100");
    EXPECT_EQ(jet::Q("D'ASOC"), "D''ASOC");
    EXPECT_EQ(jet::Q("''"), "''''");
    EXPECT_EQ(jet::Q(""), "");
}

// Jet functions keep the run-time's rules, Null passes through, & takes Null as "".
TEST_F(JetTest, FunctionsFollowTheRunTime) {
    struct Row {
        const char* expr;
        const char* text;
    } rows[] = {
        {"Mid('abc',2)", "bc"},        {"Mid('abc',4)", ""},
        {"Left('abcdef',3)", "abc"},   {"Right('abcdef',2)", "ef"},
        {"Len('ñandú')", "5"},         {"Trim('  a b  ')", "a b"},
        {"UCase('ñandú')", "ÑANDÚ"},   {"LCase('ÑANDÚ')", "ñandú"},
        {"Val(' 12 34x')", "1234"},    {"CStr(12)", "12"},
        {"CInt('2.5')", "2"},          {"CLng(3.5)", "4"},
        {"Int(-2.5)", "-3"},           {"IIf(1=1,'y','n')", "y"},
        {"InStr('abcabc','ca')", "3"}, {"Format(1234567,'###,###')", "1,234,567"},
        {"Null & 'x'", "x"},           {"'a' & 1 & 'b'", "a1b"},
        {"Mid(Null,1,2)", ""},
    };
    for (const auto& r : rows) {
        std::string sql =
            std::string("SELECT ") + r.expr + " AS v FROM CLAVES WHERE Usuario='ADMIN'";
        EXPECT_EQ(First(sql, "v"), r.text) << r.expr;
    }
    auto rs = db_->OpenRecordset("SELECT Null & Null AS v FROM CLAVES WHERE Usuario='ADMIN'",
                                 jet::dbOpenSnapshot);
    EXPECT_TRUE(rs->Fields("v").IsNull());
    // A run-time error inside a function keeps its number.
    EXPECT_EQ(ErrorOf([&] { Count("SELECT Mid('abc',0,1) AS v FROM CLAVES"); }), 5);
}

TEST_F(JetTest, TextComparesWithoutCase) {
    EXPECT_EQ(Count("SELECT * FROM CONT WHERE Nombre='acme sa'"), 1);
    EXPECT_EQ(Count("SELECT * FROM CONT WHERE Nombre<'b'"), 1);  // only ACME SA
    EXPECT_EQ(Count("SELECT * FROM CONT WHERE UCase(Nombre)='acme sa'"), 1);
    EXPECT_EQ(Count("SELECT * FROM CONT WHERE Nombre LIKE 'a*'"), 1);
    EXPECT_EQ(Count("SELECT * FROM CONT WHERE Nombre LIKE 'p?pe*'"), 1);
    db_->Execute("INSERT INTO CLAVES (Usuario,Tipo) VALUES ('maria','1')", 128);
    db_->Execute("INSERT INTO CLAVES (Usuario,Tipo) VALUES ('Zoe','1')", 128);
    EXPECT_EQ(First("SELECT * FROM CLAVES ORDER BY Usuario", "Usuario"), "ADMIN");
    EXPECT_EQ(First("SELECT max(Usuario) AS m FROM CLAVES", "m"), "Zoe");
    // Text made by functions and & compares the same way.
    EXPECT_EQ(First("SELECT max(Mid(Usuario,1,3)) AS m FROM CLAVES", "m"), "Zoe");
    EXPECT_EQ(First("SELECT Usuario FROM CLAVES ORDER BY Left(Usuario,2) & '' DESC", "Usuario"),
              "Zoe");
    EXPECT_EQ(Count("SELECT * FROM CLAVES WHERE Left(Usuario,3)='mar'"), 1);
    EXPECT_EQ(Count("SELECT DISTINCT UCase(Tipo) & LCase(Tipo) FROM CLAVES"), 2);
    EXPECT_EQ(Count("SELECT DISTINCT Tipo FROM CLAVES"), 2);
    EXPECT_EQ(Count("SELECT DISTINCT UCase(Usuario) FROM CLAVES WHERE Usuario IN ('MARIA','zoe')"),
              2);
    // A unique key refuses 'A' after 'a'.
    EXPECT_EQ(ErrorOf([&] {
                  db_->Execute("INSERT INTO CLAVES (Usuario,Tipo) VALUES ('MARIA','0')", 128);
              }),
              3022);
}

TEST_F(JetTest, UnknownNamesAndWrongStatements) {
    EXPECT_EQ(ErrorOf([&] { Count("SELECT Nada FROM CONT"); }), 3061);
    try {
        Count("SELECT * FROM CONT WHERE Nada=1 AND Otra=2");
        FAIL();
    } catch (const vb::VbError& e) {
        EXPECT_EQ(e.Number(), 3061);
        EXPECT_EQ(e.Description(), "Pocos parámetros. Se esperaba 2.");
    }
    EXPECT_EQ(ErrorOf([&] { Count("SELECT * FROM NOEXISTE"); }), 3078);
    EXPECT_EQ(ErrorOf([&] { db_->OpenRecordset("NOEXISTE"); }), 3078);
    EXPECT_EQ(ErrorOf([&] { db_->Execute("SELECT * FROM CONT"); }), 3065);
    EXPECT_EQ(ErrorOf([&] { db_->Execute("UPDATE CONT SET Nada=1"); }), 3061);
    EXPECT_EQ(ErrorOf([&] { db_->Execute("INSERT INTO CLAVES VALUES ('a')"); }), 3346);
    EXPECT_EQ(ErrorOf([&] { Count("SELECT Nz(Tipo,'') FROM CLAVES"); }), 3085);
    EXPECT_EQ(ErrorOf([&] {
                  Count(
                      "SELECT Nombre FROM CAB AS A, CONT AS B WHERE A.DOC_ID_D=B.DOC_ID_D "
                      "AND DOC_ID_D='1'");
              }),
              3079);
    db_->Execute("CREATE INDEX ix ON CONT (Nombre)");
    EXPECT_EQ(ErrorOf([&] { db_->Execute("CREATE UNIQUE INDEX ix ON CLAVES (Tipo)"); }), 3375);
    EXPECT_EQ(ErrorOf([&] { db_->Execute("CREATE UNIQUE INDEX ix2 ON CONT (Usuario)"); }), 3022);
    // Unclosed quotes, brackets and parentheses are refused, not closed.
    EXPECT_EQ(ErrorOf([&] { Count("SELECT * FROM CONT WHERE Nombre='ACME SA"); }), 3075);
    EXPECT_EQ(ErrorOf([&] { Count("SELECT * FROM CONT WHERE (Tip_doc_d=6"); }), 3075);
    EXPECT_EQ(ErrorOf([&] { Count("SELECT [Nombre FROM CONT"); }), 3075);
    EXPECT_EQ(ErrorOf([&] { db_->Execute("UPDATE CONT SET Nombre='x"); }), 3144);
    EXPECT_EQ(ErrorOf([&] { db_->Execute("DELETE FROM CONT WHERE Nombre='x' OR '1'='1"); }), 3075);
    EXPECT_EQ(Count("SELECT * FROM CONT"), 4);
    // One statement at a time: a second one is refused, not run.
    EXPECT_EQ(
        ErrorOf([&] { db_->Execute("DELETE FROM CLAVES WHERE Usuario='x'; DROP TABLE CONT"); }),
        3142);
    EXPECT_EQ(Count("SELECT * FROM CONT"), 4);
    db_->Execute("DELETE FROM CLAVES WHERE Usuario='x';\r\n");
    EXPECT_EQ(ErrorOf([&] { db_->Execute("   "); }), 3129);
}

}  // namespace
}  // namespace jettest

namespace jettest {
namespace {

// The stored-declaration list names its "mmyyyy" column PERIODO, like the
// table's column; the order by A.PERIODO is the table's "yyyymm", newest first.
TEST_F(JetTest, OrderByTheTableColumnNotTheSameNamedAlias) {
    for (const char* p : {"200312", "200511", "200402"})
        db_->Execute(std::string("INSERT INTO CAB (DOC_ID_D,TIP_DOC_D,PERIODO,FORMULARIO,SEMANA) "
                                 "VALUES ('20100100100',6,'") +
                         p + "','0787',0)",
                     jet::dbFailOnError);
    auto rs = db_->OpenRecordset(
        "SELECT A.DOC_ID_D, B.NOMBRE, mid(A.PERIODO,5,2) & mid(A.PERIODO,1,4) as PERIODO, "
        "A.FORMULARIO, a.estado,a.semana FROM CAB AS A, CONT AS B WHERE A.DOC_ID_D=B.DOC_ID_D AND "
        "A.FORMULARIO= '0787' ORDER BY A.DOC_ID_D ASC, A.PERIODO DESC, A.FORMULARIO ASC",
        jet::dbOpenDynaset);
    std::string order;
    for (; !rs->Eof(); rs->MoveNext()) order += vb::ToText(rs->Fields("PERIODO").Value()) + " ";
    EXPECT_EQ(order, "112005 052004 022004 122003 ");
}

}  // namespace
}  // namespace jettest
