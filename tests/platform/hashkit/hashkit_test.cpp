#include "hashkit/hashkit.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

class HashkitTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "hashkit_test_XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(dir_, fs::perms::owner_all, ec);
        fs::remove_all(dir_, ec);
    }
    std::string Make(const std::string& name, const std::string& bytes) {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
        return (dir_ / name).string();
    }
    static std::string Hex(const std::array<unsigned char, 20>& d) {
        std::string s;
        char b[3];
        for (unsigned char c : d) {
            std::snprintf(b, sizeof b, "%02x", c);
            s += b;
        }
        return s;
    }
    fs::path dir_;
};

TEST_F(HashkitTest, KnownDigests) {
    struct Row {
        std::string content;
        const char* sha1;
    };
    const Row rows[] = {
        {"", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
        {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
    };
    for (const Row& r : rows) {
        const std::string path = Make("f.txt", r.content);
        std::array<unsigned char, 20> out{};
        ASSERT_EQ(hashkit::FileToSha(path.c_str(), out.data()), hashkit::kShaOk);
        EXPECT_EQ(Hex(out), r.sha1);
    }
}

// Larger than one read buffer, so the chunks must join up.
TEST_F(HashkitTest, LargeFileMatchesSha1sum) {
    std::string content;
    for (int i = 0; i < 2500000; ++i) content += static_cast<char>((i * 131) % 251);
    const std::string path = Make("big.bin", content);
    std::array<unsigned char, 20> out{};
    ASSERT_EQ(hashkit::FileToSha(path.c_str(), out.data()), hashkit::kShaOk);
    FILE* p = ::popen(("sha1sum '" + path + "'").c_str(), "r");
    ASSERT_NE(p, nullptr);
    char line[128] = {};
    ASSERT_NE(std::fgets(line, sizeof line, p), nullptr);
    ::pclose(p);
    EXPECT_EQ(Hex(out), std::string(line, 40));
}

TEST_F(HashkitTest, PathIsTheNamesOwnBytesFoundWhateverItsCase) {
    const std::string utf8Name = "A\xc3\xb1o.MOV";  // "Año.MOV"
    Make(utf8Name, "abc");
    // The caller hands the name as the system spells it, in another letter case.
    const std::string ansi = (dir_ / "a\xc3\xb1o.mov").string();
    std::array<unsigned char, 20> out{};
    ASSERT_EQ(hashkit::FileToSha(ansi.c_str(), out.data()), hashkit::kShaOk);
    EXPECT_EQ(Hex(out), "a9993e364706816aba3e25717850c26c9cd0d89d");
}

TEST_F(HashkitTest, FailuresLeaveTheOutputAlone) {
    std::array<unsigned char, 20> out;
    out.fill(7);
    EXPECT_EQ(hashkit::FileToSha((dir_ / "missing.txt").c_str(), out.data()),
              hashkit::kShaNotFound);
    EXPECT_EQ(hashkit::FileToSha((dir_ / "no" / "x.txt").c_str(), out.data()),
              hashkit::kShaNotFound);
    EXPECT_EQ(hashkit::FileToSha(dir_.c_str(), out.data()), hashkit::kShaNoAccess);
    if (::geteuid() != 0) {
        const std::string locked = Make("locked.txt", "secret");
        ::chmod(locked.c_str(), 0);
        EXPECT_EQ(hashkit::FileToSha(locked.c_str(), out.data()), hashkit::kShaNoAccess);
    }
    for (unsigned char c : out) EXPECT_EQ(c, 7);
}

}  // namespace
