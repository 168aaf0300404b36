#include "profile/profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

// Every test gets its own Windows directory.
class ProfileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "profile_test_XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        dir_ = tmpl;
        if (const char* old = std::getenv("WINDIR")) oldWindir_ = old;
        ::setenv("WINDIR", dir_.c_str(), 1);
    }
    void TearDown() override {
        if (oldWindir_) {
            ::setenv("WINDIR", oldWindir_->c_str(), 1);
        } else {
            ::unsetenv("WINDIR");
        }
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    void WriteRaw(const std::string& name, const std::string& bytes) {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
    }
    std::string ReadRaw(const std::string& name) {
        std::ifstream in(dir_ / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::string Get(std::string_view section, std::string_view key, std::string_view def = "",
                    long size = 255, std::string_view file = "TEST.INI") {
        return profile::GetPrivateProfileString(section, key, def, size, file).text;
    }

    fs::path dir_;
    std::optional<std::string> oldWindir_;
};

TEST_F(ProfileTest, ReadsValuesAsTheWindowsFunctionDoes) {
    WriteRaw("TEST.INI",
             "Before=ignored\r\n"
             "[Paths]\r\n"
             "Root =  \"C:\\data\"  \r\n"
             "Name='  x  '\r\n"
             "Mix='abc\"\r\n"
             "Opt=a ;b\r\n"
             "; Hidden=comment\r\n"
             "  ;Indented=comment\r\n"
             "Dup=first\r\n"
             "dup=second\r\n"
             "Hash=#not a comment\r\n"
             "Tabbed=\t value \t\r\n"
             "Empty=\r\n"
             "Quotes=\"\"\r\n"
             "[ Other ] trailing text\r\n"
             "Key=other\r\n"
             "[PATHS]\r\n"
             "Root=repeated section\r\n"
             "Late=repeated section\r\n");
    struct Row {
        const char* section;
        const char* key;
        const char* expected;
    };
    const Row rows[] = {
        {"paths", "ROOT", "C:\\data"},
        {"Paths", "Name", "  x  "},
        {"Paths", "Mix", "'abc\""},
        {"Paths", "Opt", "a ;b"},
        {"Paths", "Hidden", "dflt"},
        {"Paths", ";Hidden", "dflt"},
        {"Paths", "Indented", "dflt"},
        {"Paths", "Dup", "first"},
        {"Paths", "Hash", "#not a comment"},
        {"Paths", "Tabbed", "value"},
        {"Paths", "Empty", ""},
        {"Paths", "Quotes", ""},
        {" Paths ", "  Root ", "C:\\data"},
        {"Other", "key", "other"},
        {"Paths", "Late", "dflt"},  // a repeated section is not searched
        {"Paths", "Before", "dflt"},
        {"Nowhere", "Root", "dflt"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(Get(r.section, r.key, "dflt"), r.expected) << r.section << "/" << r.key;
    }
}

TEST_F(ProfileTest, CountsAndDefaults) {
    WriteRaw("TEST.INI", "[S]\nK=hello\n");  // LF-only lines read as well
    auto r = profile::GetPrivateProfileString("S", "K", "", 255, "TEST.INI");
    EXPECT_EQ(r.text, "hello");
    EXPECT_EQ(r.count, 5);

    r = profile::GetPrivateProfileString("S", "Missing", "  none  ", 255, "TEST.INI");
    EXPECT_EQ(r.text, "  none");
    EXPECT_EQ(r.count, 6);

    r = profile::GetPrivateProfileString("S", "K", "x", 255, "NOFILE.INI");
    EXPECT_EQ(r.text, "x");

    r = profile::GetPrivateProfileString("S", "K", "", 0, "TEST.INI");
    EXPECT_EQ(r.text, "");
    EXPECT_EQ(r.count, 0);

    r = profile::GetPrivateProfileString("S", "K", "", 3, "TEST.INI");
    EXPECT_EQ(r.text, "he");
    EXPECT_EQ(r.count, 2);
}

TEST_F(ProfileTest, LongValuesAreCutTo254Characters) {
    const std::string longValue(300, 'v');
    WriteRaw("TEST.INI", "[S]\r\nK=" + longValue + "\r\n");
    auto r = profile::GetPrivateProfileString("S", "K", "", 255, "TEST.INI");
    EXPECT_EQ(r.count, 254);
    EXPECT_EQ(r.text, std::string(254, 'v'));
    EXPECT_EQ(profile::LeeClave("S", "K", "TEST.INI"), std::string(254, 'v'));
}

TEST_F(ProfileTest, FileIsWindows1252OnDiskAndUtf8Here) {
    WriteRaw("TEST.INI",
             "[Opci\xf3n]\r\nA\xf1o=Espa\xf1"
             "a \x80\r\n");
    EXPECT_EQ(Get("OPCIÓN", "AÑO"), "España €");
    // Cutting counts characters, not bytes.
    EXPECT_EQ(Get("Opción", "Año", "", 7), "España");

    ASSERT_TRUE(profile::WritePrivateProfileString("Opción", "Ñandú", "Pingüino", "TEST.INI"));
    EXPECT_NE(ReadRaw("TEST.INI")
                  .find("\xd1"
                        "and\xfa=Ping\xfci"
                        "no\r\n"),
              std::string::npos);
    EXPECT_EQ(Get("Opción", "ñANDÚ"), "Pingüino");
}

TEST_F(ProfileTest, LeeClaveTrimsBlanksAndGivesEmptyWhenMissing) {
    WriteRaw("TEST.INI", "[Options]\r\nSysPath='  /srv/host/  '\r\nInner= a  b \r\n");
    EXPECT_EQ(profile::LeeClave("Options", "SysPath", "TEST.INI"), "/srv/host/");
    EXPECT_EQ(profile::LeeClave("Options", "Inner", "TEST.INI"), "a  b");
    EXPECT_EQ(profile::LeeClave("Options", "DBName", "TEST.INI"), "");
    EXPECT_EQ(profile::LeeClave("Options", "SysPath", "MISSING.INI"), "");
}

TEST_F(ProfileTest, BareNamesLieInTheWindowsDirectoryWhateverTheirCase) {
    EXPECT_EQ(profile::WindowsDirectory(), dir_.string());
    WriteRaw("kv000.ini", "[Options]\r\nDBName=host.mdb\r\n");
    EXPECT_EQ(profile::LeeClave("Options", "DBName"), "host.mdb");
    // A name with a folder part is taken as given.
    EXPECT_EQ(profile::LeeClave("Options", "DBName", (dir_ / "KV000.INI").string()), "host.mdb");
}

TEST_F(ProfileTest, DefaultFolderWithoutWindir) {
    ::unsetenv("WINDIR");
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::optional<std::string> oldXdg = xdg ? std::optional<std::string>(xdg) : std::nullopt;
    ::setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
    profile::SetDefaultSubfolder("form0787");
    EXPECT_EQ(profile::WindowsDirectory(), (dir_ / "form0787").string());
    EXPECT_TRUE(profile::WritePrivateProfileString("Options", "SysUser", "ana", "KV000.INI"));
    EXPECT_TRUE(fs::exists(dir_ / "form0787" / "KV000.INI"));
    EXPECT_EQ(profile::LeeClave("Options", "SysUser"), "ana");
    if (oldXdg) {
        ::setenv("XDG_CONFIG_HOME", oldXdg->c_str(), 1);
    } else {
        ::unsetenv("XDG_CONFIG_HOME");
    }
}

TEST_F(ProfileTest, WritingCreatesFileAndSection) {
    ASSERT_TRUE(
        profile::WritePrivateProfileString("Options", "SystemDB", "/srv/KV000.MDW", "NEW.INI"));
    EXPECT_EQ(ReadRaw("NEW.INI"), "[Options]\r\nSystemDB=/srv/KV000.MDW\r\n");
    ASSERT_TRUE(profile::WritePrivateProfileString(" Second ", " K ", "v", "NEW.INI"));
    EXPECT_EQ(Get("Second", "K", "", 255, "NEW.INI"), "v");
    EXPECT_EQ(Get("Options", "SystemDB", "", 255, "NEW.INI"), "/srv/KV000.MDW");
}

TEST_F(ProfileTest, WritingLeavesTheFileNoMoreReadableThanTheUserAllows) {
    const mode_t old = ::umask(077);
    const bool nuevo = profile::WritePrivateProfileString("S", "K", "1", "NUEVO.INI");
    WriteRaw("PRIVADO.INI", "[S]\r\n");
    fs::permissions(dir_ / "PRIVADO.INI", fs::perms::owner_read | fs::perms::owner_write);
    ::umask(022);
    const bool privado = profile::WritePrivateProfileString("S", "K", "2", "PRIVADO.INI");
    ::umask(old);
    ASSERT_TRUE(nuevo && privado);
    const auto rw = fs::perms::owner_read | fs::perms::owner_write;
    EXPECT_EQ(fs::status(dir_ / "NUEVO.INI").permissions() & fs::perms::all, rw);
    EXPECT_EQ(fs::status(dir_ / "PRIVADO.INI").permissions() & fs::perms::all, rw);
    EXPECT_EQ(ReadRaw("PRIVADO.INI"), "[S]\r\nK=2\r\n");
}

TEST_F(ProfileTest, WritingKeepsOtherLinesAndTheFilesCasing) {
    WriteRaw("TEST.INI",
             "; host settings\r\n"
             "[OPTIONS]\r\n"
             "SysPath=/srv/host/\r\n"
             "; the workgroup file\r\n"
             "SYSTEMDB = old\r\n"
             "DBName=host.mdb\r\n"
             "\r\n"
             "[Other]\r\n"
             "X=1\r\n");
    ASSERT_TRUE(profile::WritePrivateProfileString("options", "systemdb", "new value", "TEST.INI"));
    ASSERT_TRUE(profile::WritePrivateProfileString("options", "SysUser", "ana", "TEST.INI"));
    EXPECT_EQ(ReadRaw("TEST.INI"),
              "; host settings\r\n"
              "[OPTIONS]\r\n"
              "SysPath=/srv/host/\r\n"
              "; the workgroup file\r\n"
              "SYSTEMDB=new value\r\n"
              "DBName=host.mdb\r\n"
              "SysUser=ana\r\n"
              "\r\n"
              "[Other]\r\n"
              "X=1\r\n");
}

TEST_F(ProfileTest, ValuesAreWrittenVerbatim) {
    ASSERT_TRUE(profile::WritePrivateProfileString("S", "Quoted", "\" padded \"", "TEST.INI"));
    ASSERT_TRUE(profile::WritePrivateProfileString("S", "Blank", "", "TEST.INI"));
    EXPECT_EQ(ReadRaw("TEST.INI"), "[S]\r\nQuoted=\" padded \"\r\nBlank=\r\n");
    EXPECT_EQ(Get("S", "Quoted"), " padded ");
    EXPECT_EQ(Get("S", "Blank", "dflt"), "");
}

TEST_F(ProfileTest, NoValueDeletesTheKeyNoKeyDeletesTheSection) {
    WriteRaw("TEST.INI",
             "[A]\r\n"
             "K1=1\r\n"
             "; kept comment\r\n"
             "K2=2\r\n"
             "[B]\r\n"
             "K3=3\r\n");
    ASSERT_TRUE(profile::WritePrivateProfileString("a", "k1", std::nullopt, "TEST.INI"));
    EXPECT_EQ(Get("A", "K1", "gone"), "gone");
    EXPECT_EQ(Get("A", "K2"), "2");

    ASSERT_TRUE(profile::WritePrivateProfileString("A", std::nullopt, std::nullopt, "TEST.INI"));
    EXPECT_EQ(ReadRaw("TEST.INI"), "; kept comment\r\n[B]\r\nK3=3\r\n");

    // Deleting what is not there changes nothing and creates no file.
    ASSERT_TRUE(profile::WritePrivateProfileString("Z", "K", std::nullopt, "TEST.INI"));
    EXPECT_EQ(ReadRaw("TEST.INI"), "; kept comment\r\n[B]\r\nK3=3\r\n");
    EXPECT_TRUE(profile::WritePrivateProfileString("Z", std::nullopt, std::nullopt, "NONE.INI"));
    EXPECT_FALSE(fs::exists(dir_ / "NONE.INI"));
}

TEST_F(ProfileTest, WriteFailureLeavesNoPartialFile) {
    const std::string missingFolder = (dir_ / "no" / "such" / "T.INI").string();
    EXPECT_FALSE(profile::WritePrivateProfileString("S", "K", "v", missingFolder));
    EXPECT_FALSE(fs::exists(missingFolder));

    // Only the finished file is ever visible: no temporary is left behind
    // (the writers' lock file stays, empty).
    ASSERT_TRUE(profile::WritePrivateProfileString("S", "K", "v", "TEST.INI"));
    int files = 0;
    for (const auto& e : fs::directory_iterator(dir_)) {
        if (e.path().extension() != ".lock") ++files;
    }
    EXPECT_EQ(files, 1);
}

// Two programs writing keys of one file at the same time: every key is kept.
TEST_F(ProfileTest, WritersOfTwoProcessesLoseNothing) {
    constexpr int kKeys = 150;
    ASSERT_TRUE(profile::WritePrivateProfileString("Options", "SysUser", "ana", "KV000.INI"));
    pid_t children[2];
    for (int p = 0; p < 2; ++p) {
        children[p] = ::fork();
        ASSERT_GE(children[p], 0);
        if (children[p] == 0) {
            bool ok = true;
            for (int k = 0; k < kKeys; ++k) {
                ok = profile::WritePrivateProfileString(
                         "Options", "P" + std::to_string(p) + "K" + std::to_string(k),
                         std::to_string(k), "KV000.INI") &&
                     ok;
            }
            ::_exit(ok ? 0 : 1);
        }
    }
    for (pid_t c : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(c, &status, 0), c);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    int kept = 0;
    for (int p = 0; p < 2; ++p) {
        for (int k = 0; k < kKeys; ++k) {
            kept += profile::LeeClave("Options", "P" + std::to_string(p) + "K" +
                                                     std::to_string(k)) == std::to_string(k);
        }
    }
    EXPECT_EQ(kept, 2 * kKeys);
    EXPECT_EQ(profile::LeeClave("Options", "SysUser"), "ana");
}

// A relative WINDIR is taken from the folder the program started in, and stays
// so when the program changes its current folder.
TEST_F(ProfileTest, RelativeWindowsDirectoryIsAnchoredAtStart) {
    WriteRaw("KV000.INI", "[Options]\r\nSysUser=ana\r\n");
    const fs::path before = fs::current_path();
    fs::current_path(dir_.parent_path());
    ::setenv("WINDIR", (dir_.filename().string() + "/").c_str(), 1);
    profile::AnchorWindowsDirectory();
    fs::create_directory(dir_ / "sub");
    fs::current_path(dir_ / "sub");
    EXPECT_EQ(profile::WindowsDirectory(), dir_.string());
    EXPECT_EQ(profile::LeeClave("Options", "SysUser"), "ana");
    ASSERT_TRUE(profile::WritePrivateProfileString("Options", "SystemDB", "x", "KV000.INI"));
    EXPECT_NE(ReadRaw("KV000.INI").find("SystemDB=x"), std::string::npos);
    // An absolute one is left as it is.
    ::setenv("WINDIR", "/srv/host/windows", 1);
    profile::AnchorWindowsDirectory();
    EXPECT_STREQ(std::getenv("WINDIR"), "/srv/host/windows");
    fs::current_path(before);
}

}  // namespace
