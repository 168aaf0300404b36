#include "shell/spool.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <set>
#include <string>

#include "host/hostkit.h"
#include "pruebas/host.h"
#include "jet/database.h"
#include "shell/state.h"
#include "vb/error.h"
#include "vb/variant.h"

namespace {

using namespace shell;

class SpoolTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetState();
        inst_ = hostkit::CreaHost(carpeta_.Ruta() + "/host");
        db_ = hostkit::AbreHost(inst_);
        db_->Execute("DELETE * FROM SPOOL", jet::dbFailOnError);
        G().gdbBase = db_.get();
        G().gsUsuario = "USUARIO1";
    }
    void TearDown() override {
        if (db_) db_->Close();
        ResetState();
    }
    void Fila(const std::string& cod, const std::string& sec, const std::string& archivo) {
        db_->Execute(
            "INSERT INTO SPOOL (CodRep, Secuencia, Archivo, Usuario, tip_doc_d, Doc_id_d) "
            "VALUES ('" +
                cod + "','" + sec + "','" + archivo + "','HOST',6,'20100000001')",
            jet::dbFailOnError);
    }
    long Filas() {
        auto rs = db_->OpenRecordset("SELECT count(*) AS n FROM SPOOL", jet::dbOpenSnapshot);
        return vb::CLng(rs->Fields(0).Value());
    }

    pruebas::CarpetaTemporal carpeta_;
    hostkit::Instalacion inst_;
    std::unique_ptr<jet::Database> db_;
};

TEST_F(SpoolTest, SequencePerCodeAndFileNumberAcrossAllCodes) {
    EXPECT_EQ(RegistraSpool("UZQ001", 6, "20100000001"), "00000001.PRN");
    Fila("UZQ001", "000007", "00000005.PRN");
    Fila("AC0001", "000031", "00000123.PRN");
    EXPECT_EQ(RegistraSpool("UZQ001", 6, "20100000001"), "00000124.PRN");
    EXPECT_EQ(RegistraSpool("UZQ002", 6, "20100000001"), "00000125.PRN");

    auto rs = db_->OpenRecordset(
        "SELECT * FROM SPOOL WHERE Archivo IN ('00000001.PRN','00000124.PRN','00000125.PRN') "
        "ORDER BY Archivo",
        jet::dbOpenSnapshot);
    const char* esperadas[][2] = {{"UZQ001", "000001"}, {"UZQ001", "000008"}, {"UZQ002", "000001"}};
    for (auto& e : esperadas) {
        ASSERT_FALSE(rs->Eof());
        EXPECT_EQ(vb::CStr(rs->Fields("CodRep").Value()), e[0]);
        EXPECT_EQ(vb::CStr(rs->Fields("Secuencia").Value()), e[1]);
        EXPECT_EQ(vb::CStr(rs->Fields("Usuario").Value()), "USUARIO1");
        EXPECT_EQ(vb::CLng(rs->Fields("tip_doc_d").Value()), 6);
        EXPECT_EQ(vb::CStr(rs->Fields("Doc_id_d").Value()), "20100000001");
        EXPECT_FALSE(rs->Fields("Fecha").IsNull());
        rs->MoveNext();
    }
}

TEST_F(SpoolTest, QuoteInValuesIsStoredAsTyped) {
    EXPECT_EQ(RegistraSpool("O'R", 6, "A' OR '1"), "00000001.PRN");
    EXPECT_EQ(RegistraSpool("O'R", 6, "X"), "00000002.PRN");
    auto rs = db_->OpenRecordset("SELECT max(Secuencia) FROM SPOOL WHERE CodRep = 'O''R'",
                                 jet::dbOpenSnapshot);
    EXPECT_EQ(vb::CStr(rs->Fields(0).Value()), "000002");
}

// Failures leave no row: a stored name that is no number, and the end of the
// 8-digit series (a ninth digit would let names repeat).
TEST_F(SpoolTest, FailuresAddNoRow) {
    Fila("UZQ001", "000001", "ABCDEFGH.PRN");
    EXPECT_THROW(RegistraSpool("UZQ001", 6, "1"), vb::VbError);
    EXPECT_EQ(Filas(), 1);
    db_->Execute("DELETE * FROM SPOOL", jet::dbFailOnError);
    Fila("UZQ001", "000001", "99999999.PRN");
    try {
        RegistraSpool("UZQ001", 6, "1");
        ADD_FAILURE() << "no error at the end of the series";
    } catch (const vb::VbError& e) {
        EXPECT_EQ(e.Number(), vb::kOverflow);
    }
    EXPECT_EQ(Filas(), 1);
}

TEST_F(SpoolTest, TwoProcessesRegisteringAtOnceGetDistinctNames) {
    db_->Close();
    db_.reset();
    G().gdbBase = nullptr;
    constexpr int kPorProceso = 200;
    pid_t hijos[2];
    for (int p = 0; p < 2; ++p) {
        hijos[p] = fork();
        ASSERT_GE(hijos[p], 0);
        if (hijos[p] == 0) {
            int rc = 0;
            try {
                auto db = hostkit::AbreHost(inst_);
                for (int i = 0; i < kPorProceso; ++i)
                    RegistraSpool(*db, "USUARIO1", p == 0 ? "UZQ001" : "UZQ002", 6, "1");
                db->Close();
            } catch (...) {
                rc = 1;
            }
            _exit(rc);
        }
    }
    for (pid_t h : hijos) {
        int estado = 0;
        ASSERT_EQ(waitpid(h, &estado, 0), h);
        EXPECT_TRUE(WIFEXITED(estado) && WEXITSTATUS(estado) == 0);
    }
    db_ = hostkit::AbreHost(inst_);
    auto rs = db_->OpenRecordset("SELECT Archivo FROM SPOOL", jet::dbOpenSnapshot);
    std::set<std::string> nombres;
    long n = 0;
    for (; !rs->Eof(); rs->MoveNext(), ++n) nombres.insert(vb::CStr(rs->Fields(0).Value()));
    EXPECT_EQ(n, 2 * kPorProceso);
    EXPECT_EQ(nombres.size(), static_cast<size_t>(2 * kPorProceso));
    EXPECT_EQ(*nombres.rbegin(), "00000400.PRN");
}

}  // namespace
