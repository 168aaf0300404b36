// DAO recordset semantics over the engine: positions and counts, editing,
// field types, sizes and ranges.
#include <gtest/gtest.h>

#include "jet_fixture.h"
#include "vb/error.h"

namespace jettest {
namespace {

using jet::dbOpenDynaset;
using jet::dbOpenSnapshot;
using jet::dbOpenTable;

TEST_F(JetTest, RecordCountCountsVisitedRowsUntilMoveLast) {
    for (int type : {dbOpenDynaset, dbOpenSnapshot}) {
        auto rs = db_->OpenRecordset("SELECT * FROM PARAM ORDER BY Numero, Argumento", type);
        EXPECT_EQ(rs->RecordCount(), 1);
        EXPECT_EQ(rs->AbsolutePosition(), 0);
        rs->MoveNext();
        EXPECT_EQ(rs->RecordCount(), 2);
        rs->MoveLast();
        EXPECT_EQ(rs->RecordCount(), 10);
        EXPECT_EQ(rs->AbsolutePosition(), 9);
        rs->MoveFirst();
        EXPECT_EQ(rs->RecordCount(), 10);
        EXPECT_EQ(vb::ToText(rs->Fields("Numero").Value()), "004");
    }
    // Table-type knows its total at once.
    auto t = db_->OpenRecordset("PARAM");
    EXPECT_EQ(t->RecordCount(), 10);
    auto t2 = db_->OpenRecordset("param", dbOpenTable);
    EXPECT_EQ(t2->RecordCount(), 10);
}

TEST_F(JetTest, MovesStopAtTheEnds) {
    auto rs = db_->OpenRecordset("SELECT * FROM CLAVES ORDER BY Usuario", dbOpenSnapshot);
    EXPECT_FALSE(rs->BOF());
    EXPECT_FALSE(rs->Eof());
    rs->MovePrevious();
    EXPECT_TRUE(rs->BOF());
    EXPECT_FALSE(rs->Eof());
    EXPECT_EQ(rs->AbsolutePosition(), -1);
    EXPECT_EQ(ErrorOf([&] { rs->Fields("Usuario").Value(); }), 3021);
    EXPECT_EQ(ErrorOf([&] { rs->MovePrevious(); }), 3021);
    rs->MoveNext();
    EXPECT_EQ(vb::ToText(rs->Fields("Usuario").Value()), "ADMIN");
    rs->MoveNext();
    EXPECT_EQ(vb::ToText(rs->Fields("Usuario").Value()), "JPEREZ");
    rs->MoveNext();
    EXPECT_TRUE(rs->Eof());
    EXPECT_EQ(ErrorOf([&] { rs->MoveNext(); }), 3021);
    EXPECT_EQ(ErrorOf([&] { rs->CurrentRow(); }), 3021);
    rs->MovePrevious();
    EXPECT_EQ(vb::ToText(rs->Fields(0).Value()), "JPEREZ");
    rs->SetAbsolutePosition(0);
    EXPECT_EQ(vb::ToText(rs->Fields(0).Value()), "ADMIN");
    EXPECT_EQ(ErrorOf([&] { rs->SetAbsolutePosition(2); }), 3001);

    auto empty = db_->OpenRecordset("SELECT * FROM CLAVES WHERE Usuario='nadie'", dbOpenDynaset);
    EXPECT_TRUE(empty->BOF());
    EXPECT_TRUE(empty->Eof());
    EXPECT_EQ(empty->RecordCount(), 0);
    EXPECT_EQ(empty->AbsolutePosition(), -1);
    EXPECT_EQ(ErrorOf([&] { empty->MoveFirst(); }), 3021);
    EXPECT_EQ(ErrorOf([&] { empty->MoveLast(); }), 3021);
    EXPECT_EQ(ErrorOf([&] { empty->MoveNext(); }), 3021);
    EXPECT_EQ(ErrorOf([&] { empty->Edit(); }), 3021);
}

TEST_F(JetTest, AddNewAppendsAndKeepsTheCurrentRow) {
    auto rs = db_->OpenRecordset("SELECT * FROM SPOOL", dbOpenDynaset);
    ASSERT_EQ(rs->RecordCount(), 1);
    const std::string before = vb::ToText(rs->Fields("Archivo").Value());
    rs->AddNew();
    EXPECT_EQ(rs->EditMode(), 2);
    rs->Fields("CodRep") = vb::Variant("UZQ001");
    rs->Fields("secuencia") = vb::Variant("000008");
    rs->Fields("Archivo") = vb::Variant("00000124.PRN");
    rs->Fields("Fecha") = vb::Variant(vb::Date{38200.25});
    rs->Fields("tip_doc_d") = vb::Variant(std::int16_t{6});
    // The record control code reads the row being written, in column order.
    auto pending = rs->CurrentRow();
    ASSERT_EQ(pending.size(), 7u);
    EXPECT_EQ(pending[2].Str(), "00000124.PRN");
    EXPECT_TRUE(pending[4].IsNull());
    rs->Update();
    EXPECT_EQ(rs->EditMode(), 0);
    EXPECT_EQ(vb::ToText(rs->Fields("Archivo").Value()), before);
    EXPECT_EQ(rs->RecordCount(), 2);
    rs->MoveLast();
    EXPECT_EQ(rs->RecordCount(), 3);
    EXPECT_EQ(vb::ToText(rs->Fields("Archivo").Value()), "00000124.PRN");
    EXPECT_TRUE(rs->Fields("Usuario").IsNull());
    EXPECT_EQ(rs->Fields("Fecha").Value().AsDate().serial, 38200.25);
    EXPECT_EQ(rs->Fields("tip_doc_d").Value().AsInteger(), 6);
    EXPECT_EQ(Count("SELECT * FROM SPOOL WHERE Archivo='00000124.PRN'"), 1);

    // A table opened only to add a row; the row is there when the rows are read.
    auto t = db_->OpenRecordset("CLAVES", dbOpenTable);
    t->AddNew();
    t->Fields("Usuario") = vb::Variant("TABLA");
    t->Update();
    EXPECT_EQ(t->RecordCount(), 3);
    t->MoveLast();
    EXPECT_EQ(vb::ToText(t->Fields("Usuario").Value()), "TABLA");

    // Adding to an empty set.
    auto e = db_->OpenRecordset("SELECT * FROM CLAVES WHERE Usuario='NUEVO'", dbOpenDynaset);
    e->AddNew();
    e->Fields("Usuario") = vb::Variant("NUEVO");
    e->Update();
    e->MoveFirst();
    EXPECT_EQ(vb::ToText(e->Fields("Usuario").Value()), "NUEVO");
}

TEST_F(JetTest, EditWritesBackByRow) {
    const std::string sql = "Select * from EFCONTROL  WHERE DOC_ID_D='" + std::string(kRuc) +
                            "' AND NOMARC='" + kMov + "'";
    auto rs = db_->OpenRecordset(sql, dbOpenDynaset);
    ASSERT_EQ(rs->RecordCount(), 1);
    rs->Edit();
    rs->Fields("tamarc") = vb::Variant(std::int32_t{2048});
    rs->Fields("NOMARC") = vb::Variant("OTRO.MOV");  // no longer matches the filter
    rs->Fields("mto_325") = vb::Variant("1000");
    rs->Update();
    EXPECT_EQ(rs->Fields("tamarc").Value().AsLong(), 2048);
    EXPECT_EQ(vb::ToText(rs->Fields("nomarc").Value()), "OTRO.MOV");
    EXPECT_EQ(First("SELECT * FROM EFCONTROL WHERE nomarc='otro.mov'", "mto_325"), "1000");
    EXPECT_EQ(Count("SELECT * FROM EFCONTROL"), 2);

    // CancelUpdate and moving away drop the edit.
    rs->Edit();
    rs->Fields("tamarc") = vb::Variant(std::int32_t{1});
    rs->CancelUpdate();
    EXPECT_EQ(rs->Fields("tamarc").Value().AsLong(), 2048);
    EXPECT_EQ(ErrorOf([&] { rs->CancelUpdate(); }), 3020);
    rs->Edit();
    rs->Fields("tamarc") = vb::Variant(std::int32_t{1});
    rs->MoveFirst();
    EXPECT_EQ(rs->EditMode(), 0);
    EXPECT_EQ(First("SELECT tamarc FROM EFCONTROL WHERE nomarc='OTRO.MOV'", "tamarc"), "2048");
}

TEST_F(JetTest, EditingNeedsAnUpdatableSetAndAnEditCycle) {
    auto snap = db_->OpenRecordset("SELECT * FROM CLAVES", dbOpenSnapshot);
    EXPECT_EQ(ErrorOf([&] { snap->Edit(); }), 3027);
    EXPECT_EQ(ErrorOf([&] { snap->AddNew(); }), 3027);
    auto join = db_->OpenRecordset(
        "SELECT A.DOC_ID_D, B.NOMBRE FROM CAB AS A, CONT AS B WHERE A.DOC_ID_D=B.DOC_ID_D",
        dbOpenDynaset);
    EXPECT_EQ(ErrorOf([&] { join->AddNew(); }), 3027);
    auto grouped = db_->OpenRecordset("SELECT max(Secuencia) AS s FROM SPOOL", dbOpenDynaset);
    EXPECT_EQ(ErrorOf([&] { grouped->Edit(); }), 3027);

    auto rs = db_->OpenRecordset("SELECT Usuario, Tipo & 'x' AS t FROM CLAVES", dbOpenDynaset);
    EXPECT_EQ(ErrorOf([&] { rs->Fields("Usuario") = vb::Variant("X"); }), 3020);
    EXPECT_EQ(ErrorOf([&] { rs->Update(); }), 3020);
    rs->Edit();
    EXPECT_EQ(ErrorOf([&] { rs->Fields("t") = vb::Variant("X"); }), 3164);
    EXPECT_EQ(ErrorOf([&] { rs->Fields("nada"); }), 3265);
    EXPECT_EQ(ErrorOf([&] { rs->Fields(2); }), 3265);
}

TEST_F(JetTest, AssignmentChecksSizeAndRange) {
    auto rs = db_->OpenRecordset("EFCONTROL", dbOpenTable);
    rs->AddNew();
    // A total of 16 digits does not fit text(15): refused at once.
    EXPECT_EQ(ErrorOf([&] { rs->Fields("mto_325") = vb::Variant("1234567890123456"); }), 3163);
    rs->Fields("mto_325") = vb::Variant("123456789012345");
    EXPECT_EQ(ErrorOf([&] { rs->Fields("tip_doc_d") = vb::Variant(std::int32_t{256}); }), 6);
    EXPECT_EQ(ErrorOf([&] { rs->Fields("tip_doc_d") = vb::Variant(std::int32_t{-1}); }), 6);
    EXPECT_EQ(ErrorOf([&] { rs->Fields("tip_doc_d") = vb::Variant("abc"); }), 3421);
    // Jet DDL "integer" is the 32-bit Long.
    rs->Fields("semana") = vb::Variant(std::int32_t{40000});
    EXPECT_EQ(ErrorOf([&] { rs->Fields("tamarc") = vb::Variant(3e9); }), 6);
    // Characters count, not bytes.
    rs->Fields("cnumero") = vb::Variant("ñññññÑ");
    rs->CancelUpdate();

    auto spool = db_->OpenRecordset("SPOOL");
    spool->AddNew();
    EXPECT_EQ(ErrorOf([&] { spool->Fields("tip_doc_d") = vb::Variant(std::int32_t{32768}); }), 6);
    spool->Fields("tip_doc_d") = vb::Variant(std::int32_t{-32768});
}

TEST_F(JetTest, UpdateRaisesKeyViolationsAndKeepsTheEdit) {
    auto rs = db_->OpenRecordset("CLAVES");
    rs->AddNew();
    rs->Fields("Usuario") = vb::Variant("jperez");  // 'JPEREZ' exists: keys ignore case
    EXPECT_EQ(ErrorOf([&] { rs->Update(); }), 3022);
    EXPECT_EQ(rs->EditMode(), 2);
    rs->Fields("Usuario") = vb::Variant(vb::Null);
    EXPECT_EQ(ErrorOf([&] { rs->Update(); }), 3058);
    rs->Fields("Usuario") = vb::Variant("OTRO");
    rs->Update();
    EXPECT_EQ(Count("SELECT * FROM CLAVES"), 3);
}

TEST_F(JetTest, FieldsCarryTheirDaoTypes) {
    auto rs = db_->OpenRecordset("SELECT * FROM EFCONTROL", dbOpenSnapshot);
    struct Row {
        const char* name;
        int type;
        int size;
    } rows[] = {
        {"tip_doc_d", jet::dbByte, 0}, {"DOC_ID_D", jet::dbText, 15}, {"semana", jet::dbLong, 0},
        {"tamarc", jet::dbLong, 0},    {"rutarc", jet::dbText, 255},  {"cnumero", jet::dbText, 6},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(rs->Fields(r.name).Type(), r.type) << r.name;
        EXPECT_EQ(rs->Fields(r.name).Size(), r.size) << r.name;
    }
    EXPECT_EQ(rs->FieldCount(), 30);
    EXPECT_EQ(rs->Fields(0).Name(), "tip_doc_d");
    EXPECT_EQ(rs->Fields("TIP_DOC_D").Value().Type(), vb::VarType::Byte);
    EXPECT_EQ(rs->Fields("semana").Value().Type(), vb::VarType::Long);

    auto s = db_->OpenRecordset("SELECT Fecha, tip_doc_d, max(Secuencia) AS m FROM SPOOL",
                                dbOpenSnapshot);
    EXPECT_EQ(s->Fields("Fecha").Type(), jet::dbDate);
    EXPECT_EQ(s->Fields("Fecha").Value().Type(), vb::VarType::Date);
    EXPECT_EQ(s->Fields("tip_doc_d").Type(), jet::dbInteger);
    EXPECT_EQ(s->Fields("tip_doc_d").Value().Type(), vb::VarType::Integer);
    EXPECT_EQ(s->Fields("m").Type(), jet::dbText);
}

TEST_F(JetTest, EveryJetTypeRoundTrips) {
    db_->Execute(
        "CREATE TABLE TIPOS ([id] counter, [b] yesno, [y] byte, [s] smallint, [l] int, "
        "[c] money, [f] single, [d] double, [t] datetime, [x] text(5), [m] memo, "
        "CONSTRAINT pk PRIMARY KEY ([id]))",
        jet::dbFailOnError);
    auto rs = db_->OpenRecordset("TIPOS");
    rs->AddNew();
    rs->Fields("b") = vb::Variant(true);
    rs->Fields("y") = vb::Variant(std::int32_t{255});
    rs->Fields("s") = vb::Variant("-32768");
    rs->Fields("l") = vb::Variant(2147483647.0);
    rs->Fields("c") = vb::Variant(12.34565);
    rs->Fields("f") = vb::Variant(1.5);
    rs->Fields("d") = vb::Variant(0.1);
    rs->Fields("t") = vb::Variant(vb::Date{38000.5});
    rs->Fields("x") = vb::Variant(std::int32_t{12345});
    rs->Fields("m") = vb::Variant(std::string(1000, 'z'));
    rs->Update();
    rs->AddNew();
    rs->Update();  // all defaults
    rs->MoveFirst();
    EXPECT_EQ(rs->Fields("id").Value(), vb::Variant(std::int32_t{1}));
    EXPECT_EQ(rs->Fields("b").Value(), vb::Variant(true));
    EXPECT_EQ(rs->Fields("y").Value(), vb::Variant(std::uint8_t{255}));
    EXPECT_EQ(rs->Fields("s").Value(), vb::Variant(std::int16_t{-32768}));
    EXPECT_EQ(rs->Fields("l").Value(), vb::Variant(std::int32_t{2147483647}));
    EXPECT_EQ(rs->Fields("c").Value(), vb::Variant(vb::Currency::FromRaw(123456)));
    EXPECT_EQ(rs->Fields("f").Value(), vb::Variant(1.5f));
    EXPECT_EQ(rs->Fields("d").Value(), vb::Variant(0.1));
    EXPECT_EQ(rs->Fields("t").Value(), vb::Variant(vb::Date{38000.5}));
    EXPECT_EQ(rs->Fields("x").Value(), vb::Variant("12345"));
    EXPECT_EQ(rs->Fields("m").Value().Str().size(), 1000u);
    EXPECT_EQ(rs->Fields("c").Type(), jet::dbCurrency);
    EXPECT_EQ(rs->Fields("m").Type(), jet::dbMemo);
    EXPECT_EQ(rs->Fields("b").Type(), jet::dbBoolean);
    rs->MoveNext();
    EXPECT_EQ(rs->Fields("id").Value(), vb::Variant(std::int32_t{2}));
    EXPECT_EQ(rs->Fields("b").Value(), vb::Variant(false));  // Yes/No is never Null
    EXPECT_TRUE(rs->Fields("x").IsNull());
}

TEST_F(JetTest, RequeryAndClose) {
    auto rs = db_->OpenRecordset("SELECT * FROM CLAVES", dbOpenSnapshot);
    db_->Execute("INSERT INTO CLAVES (Usuario,Tipo) VALUES ('NUEVO','1')");
    rs->MoveLast();
    EXPECT_EQ(rs->RecordCount(), 2);
    rs->Requery();
    rs->MoveLast();
    EXPECT_EQ(rs->RecordCount(), 3);
    rs->Close();
    EXPECT_EQ(ErrorOf([&] { rs->MoveFirst(); }), 3420);
    auto other = db_->OpenRecordset("CLAVES");
    db_->Close();
    EXPECT_EQ(ErrorOf([&] { other->MoveFirst(); }), 3420);
    EXPECT_EQ(ErrorOf([&] { db_->Execute("DELETE * FROM CLAVES"); }), 3420);
}

}  // namespace
}  // namespace jettest

namespace jettest {
namespace {

// An amount written by a statement reads back the same through a recordset,
// and one written through a recordset is found and added up by statements.
TEST_F(JetTest, CurrencyMeansTheSameToStatementsAndRecordsets) {
    db_->Execute("CREATE TABLE PAGOS ([n] short, [c] currency)", jet::dbFailOnError);
    db_->Execute("INSERT INTO PAGOS VALUES (1, 12.34)", jet::dbFailOnError);
    db_->Execute("INSERT INTO PAGOS VALUES (2, 7)", jet::dbFailOnError);
    auto rs = db_->OpenRecordset("PAGOS");
    rs->AddNew();
    rs->Fields("n") = vb::Variant(std::int16_t{3});
    rs->Fields("c") = vb::Variant(vb::Currency::FromRaw(-5000));  // -0.5
    rs->Update();
    rs->AddNew();
    rs->Fields("n") = vb::Variant(std::int16_t{4});
    rs->Fields("c") = vb::Variant(100.0);
    rs->Update();
    struct Row {
        int n;
        std::int64_t raw;
    } rows[] = {{1, 123400}, {2, 70000}, {3, -5000}, {4, 1000000}};
    auto all = db_->OpenRecordset("SELECT * FROM PAGOS ORDER BY n", jet::dbOpenSnapshot);
    for (const auto& r : rows) {
        ASSERT_FALSE(all->Eof());
        EXPECT_EQ(all->Fields("c").Value(), vb::Variant(vb::Currency::FromRaw(r.raw))) << r.n;
        all->MoveNext();
    }
    EXPECT_EQ(Count("SELECT * FROM PAGOS WHERE c = 12.34"), 1);
    EXPECT_EQ(Count("SELECT * FROM PAGOS WHERE c = -0.5"), 1);
    EXPECT_EQ(Count("SELECT * FROM PAGOS WHERE c > 10"), 2);
    EXPECT_EQ(First("SELECT sum(c) AS s FROM PAGOS WHERE n <> 1", "s"), "106.5");
}

}  // namespace
}  // namespace jettest
