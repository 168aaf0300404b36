#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "jet/database.h"
#include "shell/cnumero.h"
#include "vb/datetime.h"

namespace {

namespace fs = std::filesystem;

TEST(CalculaCNumeroRecordset, CodeOfTheRowBeingAdded) {
    std::string tmpl = (fs::temp_directory_path() / "cnumero_rs_XXXXXX").string();
    ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
    const fs::path dir = tmpl;
    {
        const jet::EngineSettings saved = jet::DBEngine();
        jet::DBEngine() = {};
        auto db = jet::Database::Create((dir / "t.mdb").string());
        jet::DBEngine() = saved;
        db->Execute(
            "CREATE TABLE T (a TEXT(15), b SHORT, c TEXT(10), d DATETIME, e TEXT(5), "
            "cNumero TEXT(6))");
        auto rs = db->OpenRecordset("T", jet::dbOpenDynaset);
        rs->AddNew();
        rs->Fields("a") = vb::Variant("20");
        rs->Fields("b") = vb::Variant(std::int16_t{6});
        rs->Fields("c") = vb::Variant("AB");
        rs->Fields("d") = vb::Variant(vb::DateSerial(2004, 3, 1));
        rs->Fields("cNumero") = vb::Variant(shell::CalculaCNumero(*rs, 2));
        rs->Update();
        rs->Close();

        auto check = db->OpenRecordset("SELECT * FROM T", jet::dbOpenSnapshot);
        ASSERT_FALSE(check->Eof());
        EXPECT_EQ(check->Fields("cNumero").Value(), vb::Variant("026969"));
        // Recomputing over the stored row gives the stored code.
        EXPECT_EQ(shell::CalculaCNumero(*check, 2), "026969");
        check->Close();
        db->Close();
    }
    fs::remove_all(dir);
}

}  // namespace
