// Opening (files, workgroup, exclusive holders, several processes), Execute's
// two error modes, DDL and transactions.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <functional>

#include "jet_fixture.h"
#include "vb/error.h"

namespace jettest {
namespace {

TEST_F(JetTest, ExecuteSkipsBadRowsUnlessFailOnError) {
    db_->Execute("CREATE TABLE COPIA ([Usuario] text(6), [Tipo] text(1))", jet::dbFailOnError);
    db_->Execute("ALTER TABLE COPIA ADD CONSTRAINT PK_COPIA PRIMARY KEY ([Usuario])",
                 jet::dbFailOnError);
    db_->Execute("INSERT INTO COPIA VALUES ('admin','9')", jet::dbFailOnError);
    // ADMIN breaks the key (letter case does not count), JPEREZ fits.
    db_->Execute("INSERT INTO COPIA SELECT Usuario, Tipo FROM CLAVES", jet::dbInconsistent);
    EXPECT_EQ(db_->RecordsAffected(), 1);
    EXPECT_EQ(Count("SELECT * FROM COPIA"), 2);

    db_->Execute("DELETE * FROM COPIA WHERE Usuario='JPEREZ'");
    EXPECT_EQ(ErrorOf([&] {
                  db_->Execute("INSERT INTO COPIA SELECT Usuario, Tipo FROM CLAVES",
                               jet::dbFailOnError);
              }),
              3022);
    EXPECT_EQ(Count("SELECT * FROM COPIA"), 1);  // the statement rolled back whole

    // Over-long text and numbers out of range: skipped, or refused with the option.
    db_->Execute("INSERT INTO COPIA VALUES ('MUYLARGO','1')", 0);
    EXPECT_EQ(db_->RecordsAffected(), 0);
    EXPECT_EQ(ErrorOf([&] { db_->Execute("INSERT INTO COPIA VALUES ('MUYLARGO','1')", 128); }),
              3163);
    const char* byteGrande =
        "INSERT INTO CONT (Tip_doc_d,Doc_id_d,Nombre,Usuario,Direccion) VALUES "
        "(300,'1','x','y','z')";
    db_->Execute(byteGrande, 0);
    EXPECT_EQ(db_->RecordsAffected(), 0);
    EXPECT_EQ(ErrorOf([&] { db_->Execute(byteGrande, 128); }), 3349);
    // Updates too.
    db_->Execute("UPDATE CLAVES SET Usuario='JPEREZ' WHERE Usuario='ADMIN'", 16);
    EXPECT_EQ(db_->RecordsAffected(), 0);
    EXPECT_EQ(ErrorOf([&] {
                  db_->Execute("UPDATE CLAVES SET Usuario='jperez' WHERE Usuario='ADMIN'", 128);
              }),
              3022);
    EXPECT_EQ(ErrorOf([&] { db_->Execute("INSERT INTO CLAVES (Tipo) VALUES ('1')", 128); }), 3058);
}

TEST_F(JetTest, DdlErrorsAndTableDefs) {
    EXPECT_EQ(ErrorOf([&] { db_->Execute("CREATE TABLE cont ([a] text(1))", 16); }), 3010);
    EXPECT_EQ(ErrorOf([&] {
                  db_->Execute("ALTER TABLE EFCONTROL ADD CONSTRAINT PK2 PRIMARY KEY ([nomarc])",
                               16);
              }),
              3283);
    // The installer's table exists with its key: the key refuses a second row.
    EXPECT_EQ(ErrorOf([&] {
                  db_->Execute(
                      "INSERT INTO EFCONTROL (tip_doc_d,doc_id_d,periodo,formulario,semana,nomarc) "
                      "VALUES (6,'20100100100','200405','0787',0,'" +
                          std::string(kMov) + "')",
                      128);
              }),
              3022);

    const auto before = db_->TableDefs();
    EXPECT_EQ(before.size(), 12u);
    db_->Execute("CREATE TABLE NUEVA ([a] text(2), [b] short)", 16);
    EXPECT_EQ(db_->TableDefs().size(), 12u);  // until refreshed
    db_->RefreshTableDefs();
    auto after = db_->TableDefs();
    EXPECT_EQ(after.size(), 13u);
    EXPECT_NE(std::find(after.begin(), after.end(), "NUEVA"), after.end());

    // A key over rows that repeat, or over a Null, is refused; the table stays.
    db_->Execute("INSERT INTO NUEVA VALUES ('a',1)", 128);
    db_->Execute("INSERT INTO NUEVA VALUES ('A',2)", 128);
    EXPECT_EQ(ErrorOf([&] { db_->Execute("ALTER TABLE NUEVA ADD CONSTRAINT pk PRIMARY KEY (a)"); }),
              3022);
    db_->Execute("DELETE FROM NUEVA WHERE b=2");
    db_->Execute("INSERT INTO NUEVA (b) VALUES (3)", 128);
    EXPECT_EQ(ErrorOf([&] { db_->Execute("ALTER TABLE NUEVA ADD CONSTRAINT pk PRIMARY KEY (a)"); }),
              3058);
    EXPECT_EQ(Count("SELECT * FROM NUEVA"), 2);
    db_->Execute("DELETE FROM NUEVA WHERE a IS NULL");
    db_->Execute("ALTER TABLE NUEVA ADD CONSTRAINT pk PRIMARY KEY (a)");
    EXPECT_EQ(Count("SELECT * FROM NUEVA WHERE a='A'"), 1);
    EXPECT_EQ(ErrorOf([&] { db_->Execute("INSERT INTO NUEVA VALUES ('A',4)", 128); }), 3022);
    db_->Execute("DROP TABLE NUEVA");
    EXPECT_EQ(ErrorOf([&] { Count("SELECT * FROM NUEVA"); }), 3078);
}

TEST_F(JetTest, AddingAKeyKeepsRowsCountersAndIndexes) {
    db_->Execute("CREATE TABLE T ([id] counter, [a] text(3), [b] text(3) UNIQUE, [c] short)", 128);
    db_->Execute("CREATE INDEX ix_c ON T ([c] DESC)", 128);
    db_->Execute("INSERT INTO T (a, b, c) VALUES ('x','p',1)", 128);
    db_->Execute("INSERT INTO T (a, b, c) VALUES ('y','q',2)", 128);
    db_->Execute("ALTER TABLE T ADD CONSTRAINT PK_T PRIMARY KEY ([a])", 128);
    EXPECT_EQ(Count("SELECT * FROM T"), 2);
    db_->Execute("INSERT INTO T (a, b, c) VALUES ('z','r',3)", 128);
    EXPECT_EQ(First("SELECT id FROM T WHERE a='Z'", "id"), "3");
    EXPECT_EQ(ErrorOf([&] { db_->Execute("INSERT INTO T (a, b) VALUES ('w','P')", 128); }), 3022);
    EXPECT_EQ(ErrorOf([&] { db_->Execute("INSERT INTO T (b) VALUES ('s')", 128); }), 3058);
    auto rs = db_->OpenRecordset("T");
    EXPECT_EQ(rs->Fields("c").Type(), jet::dbInteger);
    EXPECT_EQ(rs->Fields("a").Size(), 3);
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(
        sqlite3_prepare_v2(db_->Handle(), "SELECT count(*) FROM sqlite_master WHERE name='ix_c'",
                           -1, &st, nullptr),
        SQLITE_OK);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(st, 0), 1);
    sqlite3_finalize(st);
    db_->RefreshTableDefs();
    for (const auto& t : db_->TableDefs()) EXPECT_EQ(t.find("__jet"), std::string::npos);
}

TEST_F(JetTest, TransactionsCommitAndRollBack) {
    db_->BeginTrans();
    db_->Execute("DELETE * FROM DET");
    db_->Rollback();
    EXPECT_EQ(Count("SELECT * FROM DET"), 3);
    {
        jet::Transaction tx(*db_);
        db_->Execute("DELETE * FROM DET");
    }
    EXPECT_EQ(Count("SELECT * FROM DET"), 3);
    {
        jet::Transaction tx(*db_);
        db_->Execute("DELETE * FROM DET WHERE CASILLA='598'");
        db_->BeginTrans();
        db_->Execute("DELETE * FROM DET");
        db_->Rollback();
        tx.Commit();
    }
    EXPECT_EQ(Count("SELECT * FROM DET"), 2);
    EXPECT_EQ(ErrorOf([&] { db_->CommitTrans(); }), 3034);
    EXPECT_EQ(ErrorOf([&] { db_->Rollback(); }), 3034);
}

class OpenTest : public JetTest {
  protected:
    void SetUp() override {
        JetTest::SetUp();
        db_->Close();
        db_.reset();
    }
    int OpenError(const std::string& path, bool exclusive = false, bool readOnly = false) {
        return ErrorOf([&] { jet::Database::Open(path, exclusive, readOnly); });
    }
};

TEST_F(OpenTest, FilesThatAreNoDatabase) {
    EXPECT_EQ(OpenError(dir_ + "/NADA.MDB"), 3024);
    EXPECT_EQ(OpenError(dir_ + "/nocarpeta/HOST.MDB"), 3044);
    std::ofstream(dir_ + "/TEXTO.MDB") << "esto no es una base de datos, solo texto\r\n";
    try {
        jet::Database::Open(dir_ + "/TEXTO.MDB");
        FAIL();
    } catch (const vb::VbError& e) {
        EXPECT_EQ(e.Number(), 3343);
        EXPECT_NE(e.Description().find("TEXTO.MDB"), std::string::npos);
    }
    std::ofstream(dir_ + "/VACIO.MDB").close();
    EXPECT_EQ(OpenError(dir_ + "/VACIO.MDB"), 3343);
    EXPECT_EQ(ErrorOf([&] { jet::Database::Create(path_); }), 3204);
    // Stored names in capitals are found without regard to case.
    auto db = jet::Database::Open(dir_ + "/host.mdb");
    EXPECT_EQ(db->TableDefs().size(), 12u);
}

TEST_F(OpenTest, ReadOnlyRefusesWrites) {
    auto db = jet::Database::Open(path_, false, true);
    EXPECT_EQ(db->TableDefs().size(), 12u);
    EXPECT_EQ(ErrorOf([&] { db->Execute("DELETE * FROM DET", 128); }), 3027);
    auto rs = db->OpenRecordset("SELECT * FROM DET", jet::dbOpenDynaset);
    EXPECT_EQ(ErrorOf([&] { rs->Edit(); }), 3027);
}

TEST_F(OpenTest, WorkgroupAccount) {
    const std::string mdw = dir_ + "/KV000.MDW";
    jet::WriteWorkgroupFile(mdw, "usuario8", "clave9xyz");
    std::ifstream in(mdw);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text.find("usuario8"), std::string::npos);
    EXPECT_EQ(text.find("clave9xyz"), std::string::npos);

    jet::DBEngine() = jet::EngineSettings{mdw, "USUARIO8", "clave9xyz", "KV000.INI"};
    EXPECT_NO_THROW(jet::Database::Open(path_));
    jet::DBEngine().defaultPassword = "CLAVE9XYZ";
    EXPECT_EQ(OpenError(path_), 3029);
    jet::DBEngine().defaultPassword = "clave9xyz";
    jet::DBEngine().systemDB = dir_ + "/OTRO.MDW";
    try {
        jet::Database::Open(path_);
        FAIL();
    } catch (const vb::VbError& e) {
        EXPECT_EQ(e.Number(), 3028);
        EXPECT_NE(e.Description().find("grupo de trabajo"), std::string::npos);
        EXPECT_EQ(e.Description().find("usuario8"), std::string::npos);
    }
    // A workgroup file named with another letter case, or after a doubled
    // separator (the installer joins "\\KV000.MDW" to a folder ending in one), is found.
    jet::DBEngine().systemDB = dir_ + "//kv000.mdw";
    EXPECT_NO_THROW(jet::Database::Open(path_));
    // Without a workgroup file only the engine's default account enters.
    jet::DBEngine() = jet::EngineSettings{"", "usuario8", "clave9xyz", ""};
    EXPECT_EQ(OpenError(path_), 3029);
    jet::DBEngine() = jet::EngineSettings{"", "admin", "", ""};
    EXPECT_NO_THROW(jet::Database::Open(path_));
}

// Runs `body` in a child process; its exit status is the result.
pid_t Child(const std::function<int()>& body) {
    pid_t pid = fork();
    if (pid == 0) {
        int rc = 99;
        try {
            rc = body();
        } catch (...) {
            rc = 98;
        }
        _exit(rc);
    }
    return pid;
}

int Wait(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(OpenTest, ExclusiveHolderLocksOthersOut) {
    int ready[2], done[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(done), 0);
    pid_t holder = Child([&] {
        auto db = jet::Database::Open(path_, true);
        char c = 'r';
        if (write(ready[1], &c, 1) != 1) return 2;
        if (read(done[0], &c, 1) != 1) return 3;
        return 0;
    });
    char c;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    try {
        jet::Database::Open(path_);
        ADD_FAILURE() << "opened a database held exclusively";
    } catch (const vb::VbError& e) {
        EXPECT_EQ(e.Number(), 3051);
        EXPECT_NE(e.Description().find("HOST.MDB"), std::string::npos);
    }
    c = 'd';
    ASSERT_EQ(write(done[1], &c, 1), 1);
    EXPECT_EQ(Wait(holder), 0);
    // Free again once the holder has gone; and an exclusive opening is
    // refused while another connection has the file open.
    auto shared = jet::Database::Open(path_);
    pid_t other = Child([&] {
        try {
            jet::Database::Open(path_, true);
        } catch (const vb::VbError& e) {
            return e.Number() == 3051 ? 0 : 1;
        }
        return 2;
    });
    EXPECT_EQ(Wait(other), 0);
}

TEST_F(OpenTest, TwoProcessesWriteAtOnce) {
    {
        auto db = jet::Database::Open(path_);
        db->Execute("CREATE TABLE CARGA ([quien] short, [n] long)", 128);
    }
    auto writer = [&](int who) {
        return Child([&, who] {
            auto db = jet::Database::Open(path_);
            for (int i = 0; i < 500; ++i)
                db->Execute("INSERT INTO CARGA VALUES (" + std::to_string(who) + "," +
                                std::to_string(i) + ")",
                            jet::dbFailOnError);
            return 0;
        });
    };
    pid_t a = writer(1);
    pid_t b = writer(2);
    EXPECT_EQ(Wait(a), 0);
    EXPECT_EQ(Wait(b), 0);
    db_ = jet::Database::Open(path_);
    EXPECT_EQ(Count("SELECT * FROM CARGA"), 1000);
    EXPECT_EQ(Count("SELECT DISTINCT quien FROM CARGA"), 2);
}

// A statement that waits for another connection's lock calls the busy hook
// between short slices and goes on as soon as the lock is freed.
TEST_F(OpenTest, WaitingForALockCallsTheHook) {
    auto holder = jet::Database::Open(path_);
    auto waiter = jet::Database::Open(path_);
    ASSERT_EQ(sqlite3_exec(holder->Handle(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr),
              SQLITE_OK);
    int calls = 0;
    struct Restore {
        std::function<void()> previous;
        ~Restore() { jet::SetBusyHook(std::move(previous)); }
    } restore{jet::SetBusyHook([&] {
        if (++calls == 5) sqlite3_exec(holder->Handle(), "COMMIT", nullptr, nullptr, nullptr);
    })};
    const auto start = std::chrono::steady_clock::now();
    waiter->Execute("CREATE TABLE ESPERA ([n] long)", jet::dbFailOnError);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(calls, 5);
}

}  // namespace
}  // namespace jettest
