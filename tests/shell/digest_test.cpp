#include "shell/digest.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>

#include "vb/error.h"

namespace {

namespace fs = std::filesystem;

class DigestTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "digest_test_XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    std::string Make(const std::string& name, const std::string& bytes) {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
        return (dir_ / name).string();
    }
    static std::string Marca(const std::string& path) {
        return shell::CalculaMarcaArchivo(path).Str();
    }
    static int ErrorOf(const std::string& path) {
        try {
            shell::CalculaMarcaArchivo(path);
        } catch (const vb::VbError& e) {
            if (e.Number() != vb::kSubscript) {
                EXPECT_NE(e.Description().find(path), std::string::npos) << e.Description();
            }
            return e.Number();
        }
        return 0;
    }
    fs::path dir_;
};

TEST(ConvierteBytesACadena, DecimalValuesWithoutSeparators) {
    const std::array<std::uint8_t, 20> zeros{};
    EXPECT_EQ(shell::ConvierteBytesACadena(zeros.data(), 20), std::string(20, '0'));
    const std::array<std::uint8_t, 5> mixed{1, 0, 255, 10, 99};
    EXPECT_EQ(shell::ConvierteBytesACadena(mixed.data(), 5), "102551099");
    EXPECT_EQ(shell::ConvierteBytesACadena(mixed.data(), 0), "");
    // Different bytes, same text: only ever compared with text made the same way.
    const std::array<std::uint8_t, 2> a{1, 23};
    const std::array<std::uint8_t, 2> b{12, 3};
    EXPECT_EQ(shell::ConvierteBytesACadena(a.data(), 2), shell::ConvierteBytesACadena(b.data(), 2));
}

TEST(ConvierteCadenaABytes, TheNamesOwnBytesThenZeros) {
    std::array<std::uint8_t, shell::kBufferPath> buffer;
    buffer.fill(0xEE);
    // "Año", "数据": the bytes the file is opened by, never a Windows-1252 copy.
    const std::string expected = "/datos/A\xc3\xb1o/\xe6\x95\xb0\xe6\x8d\xae.mov";
    shell::ConvierteCadenaABytes(buffer.data(), expected + "  ");
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(buffer[i], static_cast<std::uint8_t>(expected[i])) << i;
    }
    for (std::size_t i = expected.size(); i < buffer.size(); ++i) ASSERT_EQ(buffer[i], 0) << i;

    // The count is the trimmed length; trailing blanks are left out.
    shell::ConvierteCadenaABytes(buffer.data(), "/a/b.txt   ");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.data())), "/a/b.txt");

    EXPECT_NO_THROW(shell::ConvierteCadenaABytes(buffer.data(), std::string(20000, 'x')));
    EXPECT_THROW(shell::ConvierteCadenaABytes(buffer.data(), std::string(20001, 'x')), vb::VbError);
    // 10000 characters of two bytes each do not fit either.
    std::string ancho;
    for (int i = 0; i < 10001; ++i) ancho += "\xc3\xb1";
    EXPECT_THROW(shell::ConvierteCadenaABytes(buffer.data(), ancho), vb::VbError);
}

TEST_F(DigestTest, KnownDigestAsText) {
    // SHA-1("abc") = a9 99 3e 36 47 06 81 6a ba 3e 25 71 78 50 c2 6c 9c d0 d8 9d
    EXPECT_EQ(Marca(Make("abc.mov", "abc")),
              "1691536254716129106186623711312080194108156208216157");
    // SHA-1("") = da 39 a3 ee 5e 6b 4b 0d 32 55 bf ef 95 60 18 90 af d8 07 09
    EXPECT_EQ(Marca(Make("empty.ext", "")), "218571632389410775135085191239149962414417521679");
}

TEST_F(DigestTest, FoldersOfAnyNameAreFound) {
    for (const char* carpeta : {"Per\xc3\xba", "\xe6\x95\xb0\xe6\x8d\xae", "\xd0\x94\xd0\xb0"}) {
        SCOPED_TRACE(carpeta);  // "Perú", "数据", "Да"
        fs::create_directory(dir_ / carpeta);
        EXPECT_EQ(Marca(Make(std::string(carpeta) + "/abc.mov", "abc")),
                  "1691536254716129106186623711312080194108156208216157");
    }
}

TEST_F(DigestTest, SameFileSameTextWhateverTheCaseOfItsName) {
    const std::string path = Make("0787200403.MOV", "1|2|3|\r\n");
    const std::string first = Marca(path);
    EXPECT_EQ(Marca(path), first);
    EXPECT_EQ(Marca((dir_ / "0787200403.mov").string()), first);
    const vb::Variant v = shell::CalculaMarcaArchivo(path);
    EXPECT_TRUE(v.IsString());
}

TEST_F(DigestTest, UnreadableFileRaisesInsteadOfRepeatingTheLastDigest) {
    Marca(Make("good.mov", "abc"));
    EXPECT_EQ(ErrorOf((dir_ / "missing.mov").string()), vb::kFileNotFound);
    EXPECT_EQ(ErrorOf((dir_ / "nofolder" / "x.mov").string()), vb::kFileNotFound);
    const int folder = ErrorOf(dir_.string());
    EXPECT_TRUE(folder == vb::kPathFileAccess || folder == vb::kDeviceIO) << folder;
    EXPECT_EQ(ErrorOf(std::string(20001, 'x')), vb::kSubscript);
}

TEST_F(DigestTest, PathFillingTheWholeBufferIsSafe) {
    // 20000 characters leave no room for a terminating zero in the path
    // buffer; the call must still stop at the path's end.
    EXPECT_EQ(ErrorOf("/" + std::string(19999, 'x')), vb::kFileNotFound);
}

}  // namespace
