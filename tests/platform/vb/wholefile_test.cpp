// Whole-file writes: exclusive creation, replacement through a renamed
// temporary file, and what each leaves behind when it fails.
#include "vb/wholefile.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "error_of.h"
#include "vb/error.h"

namespace vb {
namespace {

namespace fs = std::filesystem;

class WholeFile : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/vbwholeXXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::set<std::string> Names() const {
        std::set<std::string> n;
        for (const auto& e : fs::directory_iterator(dir_)) n.insert(e.path().filename());
        return n;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::string dir_;
};

TEST_F(WholeFile, NewFilesNeverTakeAnExistingNameAndReplacementsLeaveNoTemporary) {
    std::ofstream(dir_ + "/11111111") << "earlier run";
    std::vector<std::string> names = {"11111111", "22222222"};
    std::size_t next = 0;
    const std::string made = CreateNewFile(
        dir_, [&] { return names[next++]; }, TextFileBytes({"Año", ""}));
    EXPECT_EQ(made, dir_ + "/22222222");
    EXPECT_EQ(Read(made), "A\xF1o\r\n\r\n");
    EXPECT_EQ(Read(dir_ + "/11111111"), "earlier run");

    // Replaced whole through a path with Windows separators.
    ReplaceWholeFile(dir_ + "\\11111111", "new");
    ReplaceWholeFile(dir_ + "\\NUEVO.TXT", "");
    EXPECT_EQ(ReadWholeFile(dir_ + "/11111111"), "new");
    EXPECT_EQ(Names(), (std::set<std::string>{"11111111", "22222222", "NUEVO.TXT"}));
}

// New files get what the user's umask allows; a rewritten file keeps the
// permissions it had, however they were set.
TEST_F(WholeFile, PermissionsFollowTheUmaskAndSurviveARewrite) {
    auto mode = [&](const std::string& name) {
        return fs::status(dir_ + "/" + name).permissions() & fs::perms::all;
    };
    const mode_t old = ::umask(077);
    CreateNewFile(dir_, [] { return "NUEVO"; }, "a");
    ReplaceWholeFile(dir_ + "/Mens.txt", "a");
    std::ofstream(dir_ + "/ABIERTO") << "x";
    fs::permissions(dir_ + "/ABIERTO", fs::perms::owner_read | fs::perms::owner_write |
                                           fs::perms::group_read | fs::perms::others_read);
    ReplaceWholeFile(dir_ + "/ABIERTO", "b");
    ::umask(022);
    ReplaceWholeFile(dir_ + "/Mens.txt", "b");
    ReplaceWholeFile(dir_ + "/OTRO", "b");
    ::umask(old);
    const auto rw = fs::perms::owner_read | fs::perms::owner_write;
    const auto r = fs::perms::group_read | fs::perms::others_read;
    EXPECT_EQ(mode("NUEVO"), rw);
    EXPECT_EQ(mode("Mens.txt"), rw);
    EXPECT_EQ(mode("ABIERTO"), rw | r);
    EXPECT_EQ(mode("OTRO"), rw | r);
    EXPECT_EQ(ReadWholeFile(dir_ + "/ABIERTO"), "b");
}

TEST_F(WholeFile, FailuresRaiseTheirNumberAndLeaveNothing) {
    const std::string missing = dir_ + "/no/such";
    EXPECT_EQ(ErrorOf([&] { CreateNewFile(missing, [] { return "x"; }, "a"); }), kPathNotFound);
    EXPECT_EQ(ErrorOf([&] { ReplaceWholeFile(missing + "/x", "a"); }), kPathNotFound);
    EXPECT_EQ(ErrorOf([&] { ReadWholeFile(dir_ + "/x"); }), kFileNotFound);
    // A folder standing where the file should be: the old entry stays.
    fs::create_directory(dir_ + "/carpeta");
    EXPECT_NE(ErrorOf([&] { ReplaceWholeFile(dir_ + "/carpeta", "a"); }), 0);
    EXPECT_EQ(Names(), (std::set<std::string>{"carpeta"}));
    EXPECT_TRUE(fs::is_directory(dir_ + "/carpeta"));
}

}  // namespace
}  // namespace vb
