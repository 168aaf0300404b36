// Whatever text a caller hands the engine, it answers with one of its own
// errors or a result: statements glued from random pieces of the dialect must
// never crash it, corrupt the file or raise anything but vb::VbError.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "jet_fixture.h"
#include "vb/error.h"

namespace jettest {
namespace {

const std::vector<std::string> kPieces = {"SELECT",
                                          "select",
                                          "*",
                                          "FROM",
                                          "WHERE",
                                          "AND",
                                          "OR",
                                          "NOT",
                                          "ORDER BY",
                                          "GROUP BY",
                                          "DESC",
                                          "ASC",
                                          "AS",
                                          "INSERT INTO",
                                          "VALUES",
                                          "UPDATE",
                                          "SET",
                                          "DELETE",
                                          "DELETE * FROM",
                                          "CREATE TABLE",
                                          "CREATE INDEX",
                                          "CREATE UNIQUE INDEX",
                                          "ON",
                                          "ALTER TABLE",
                                          "ADD",
                                          "CONSTRAINT",
                                          "PRIMARY KEY",
                                          "UNIQUE",
                                          "DROP TABLE",
                                          "DROP",
                                          "COLUMN",
                                          "DEFAULT",
                                          "NULL",
                                          "IS NULL",
                                          "LIKE",
                                          "IN",
                                          "BETWEEN",
                                          "True",
                                          "False",
                                          "DISTINCT",
                                          "TOP",
                                          "UNION",
                                          "JOIN",
                                          "INNER JOIN",
                                          "HAVING",
                                          "CONT",
                                          "CLAVES",
                                          "PARAM",
                                          "SPOOL",
                                          "CAB",
                                          "DET",
                                          "EFCONTROL",
                                          "[error]",
                                          "envio_t",
                                          "X",
                                          "A",
                                          "B",
                                          "A.DOC_ID_D",
                                          "B.NOMBRE",
                                          "Doc_id_d",
                                          "Usuario",
                                          "Tipo",
                                          "Numero",
                                          "Argumento",
                                          "Funcion",
                                          "Archivo",
                                          "nomarc",
                                          "tamarc",
                                          "semana",
                                          "tip_doc_d",
                                          "[My Field]",
                                          "[",
                                          "]",
                                          "(",
                                          ")",
                                          "(",
                                          ")",
                                          ",",
                                          ",",
                                          ";",
                                          ".",
                                          "&",
                                          "&",
                                          "+",
                                          "-",
                                          "/",
                                          "\\",
                                          "=",
                                          "<>",
                                          "<",
                                          ">=",
                                          "'",
                                          "\"",
                                          "''",
                                          "'abc'",
                                          "'ÑANDÚ'",
                                          "\"x\"\"y\"",
                                          "'a''b'",
                                          "'*'",
                                          "'[a-c]*'",
                                          "0",
                                          "1",
                                          "6",
                                          "-1",
                                          "1e308",
                                          "99999999999999999999",
                                          "3.5",
                                          ".5",
                                          "#03/05/2004#",
                                          "mid$(",
                                          "Mid(",
                                          "left(",
                                          "Right(",
                                          "Len(",
                                          "trim(",
                                          "LTrim(",
                                          "RTrim(",
                                          "UCase(",
                                          "LCase(",
                                          "Val(",
                                          "CStr(",
                                          "CInt(",
                                          "CLng(",
                                          "CDbl(",
                                          "Int(",
                                          "Fix(",
                                          "IIf(",
                                          "InStr(",
                                          "Format(",
                                          "Str$(",
                                          "max(",
                                          "min(",
                                          "count(",
                                          "sum(",
                                          "Nz(",
                                          "text(15)",
                                          "text",
                                          "Byte",
                                          "Short",
                                          "integer",
                                          "long",
                                          "counter",
                                          "currency",
                                          "datetime",
                                          "memo",
                                          "yesno",
                                          "single",
                                          "double",
                                          "Text (4)",
                                          "WITH COMPRESSION",
                                          "-- ",
                                          "/*",
                                          "*/",
                                          "\t",
                                          "\r\n",
                                          " ",
                                          "  ",
                                          "é",
                                          "\xc3",
                                          "\xff",
                                          std::string(1, '\0'),
                                          "$",
                                          "?",
                                          "@a",
                                          ":b",
                                          "!",
                                          "|",
                                          "||",
                                          "%",
                                          "^",
                                          "~"};

std::string RandomStatement(std::mt19937& rng) {
    static const std::vector<std::string> kStarts = {"SELECT * FROM CONT WHERE ",
                                                     "SELECT ",
                                                     "INSERT INTO CLAVES VALUES (",
                                                     "UPDATE CLAVES SET ",
                                                     "DELETE * FROM CLAVES WHERE ",
                                                     "CREATE TABLE Z (",
                                                     "ALTER TABLE CONT ",
                                                     "",
                                                     "SELECT A.",
                                                     "Select * from EFCONTROL  WHERE DOC_ID_D='"};
    std::uniform_int_distribution<std::size_t> start(0, kStarts.size() - 1);
    std::uniform_int_distribution<std::size_t> piece(0, kPieces.size() - 1);
    std::uniform_int_distribution<int> length(0, 24);
    std::uniform_int_distribution<int> blank(0, 2);
    std::string s = kStarts[start(rng)];
    for (int n = length(rng); n > 0; --n) {
        s += kPieces[piece(rng)];
        if (blank(rng)) s += ' ';
    }
    return s;
}

TEST_F(JetTest, RandomStatementsGiveEngineErrorsOnly) {
    std::mt19937 rng(0x0787);
    int refused = 0;
    for (int i = 0; i < 4000; ++i) {
        const std::string sql = RandomStatement(rng);
        SCOPED_TRACE(sql);
        try {
            jet::TranslateSql(sql);
        } catch (const vb::VbError&) {
        }
        try {
            if (i % 2) {
                auto rs =
                    db_->OpenRecordset(sql, i % 4 == 1 ? jet::dbOpenDynaset : jet::dbOpenSnapshot);
                if (!rs->Eof()) {
                    rs->MoveLast();
                    for (int f = 0; f < rs->FieldCount(); ++f) rs->Fields(f).Value();
                }
            } else {
                db_->Execute(sql, i % 3 ? 0 : jet::dbFailOnError);
            }
        } catch (const vb::VbError& e) {
            EXPECT_GT(e.Number(), 0);
            ++refused;
        }
    }
    EXPECT_GT(refused, 0);
    // The file stays sound and usable.
    auto rs = db_->OpenRecordset("SELECT * FROM sqlite_master WHERE 1=0", jet::dbOpenSnapshot);
    EXPECT_TRUE(rs->Eof());
    db_->Execute("CREATE TABLE CHECKED ([k] text(5))");
    db_->Execute("INSERT INTO CHECKED VALUES ('ok')");
    EXPECT_EQ(Count("SELECT * FROM CHECKED WHERE k='OK'"), 1);
}

// Deep nesting is refused as too complex instead of exhausting the stack.
TEST_F(JetTest, DeeplyNestedTextIsRefused) {
    const std::string deep =
        "SELECT " + std::string(100000, '(') + "1" + std::string(100000, ')') + " FROM CLAVES";
    EXPECT_EQ(ErrorOf([&] { jet::TranslateSql(deep); }), 3360);
    EXPECT_EQ(ErrorOf([&] { Count(deep); }), 3360);
    const std::string fine =
        "SELECT " + std::string(50, '(') + "1" + std::string(50, ')') + " AS n FROM CLAVES";
    EXPECT_EQ(Count(fine), 2);
}

// Text after a zero byte is part of the statement: it is never cut off and the
// shorter statement run in its place.
TEST_F(JetTest, ZeroByteDoesNotShortenTheStatement) {
    const std::string sql = std::string("DELETE * FROM CLAVES") + '\0' + " WHERE Usuario='nadie'";
    EXPECT_NE(ErrorOf([&] { db_->Execute(sql); }), 0);
    EXPECT_EQ(Count("SELECT * FROM CLAVES"), 2);
    const std::string sel = std::string("SELECT * FROM CLAVES") + '\0' + " WHERE Tipo='0'";
    EXPECT_NE(ErrorOf([&] { Count(sel); }), 0);
}

}  // namespace
}  // namespace jettest
