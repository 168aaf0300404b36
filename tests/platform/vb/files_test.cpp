// Numbered files: line ends, end of file, 1252 conversion, errors, and the
// case-insensitive path resolution.
#include "vb/files.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "error_of.h"
#include "vb/error.h"
#include "vb/strings.h"

namespace vb {
namespace {

class Files : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/vbfilesXXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override {
        CloseAll();
        std::string cmd = "rm -rf '" + dir_ + "'";
        ASSERT_EQ(system(cmd.c_str()), 0);
    }
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }
    void WriteBytes(const std::string& name, const std::string& bytes) const {
        std::ofstream(Path(name), std::ios::binary) << bytes;
    }
    std::string ReadBytes(const std::string& name) const {
        std::ifstream in(Path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::vector<std::string> ReadAllLines(const std::string& name) {
        std::vector<std::string> lines;
        const int f = FreeFile();
        Open(Path(name), OpenMode::Input, f);
        while (!Eof(f)) lines.push_back(LineInputRaw(f));
        EXPECT_EQ(ErrorOf([&] { LineInput(f); }), kInputPastEnd);
        Close(f);
        return lines;
    }
    std::string dir_;
};

using Lines = std::vector<std::string>;

TEST_F(Files, LineEnds) {
    const struct {
        std::string bytes;
        Lines lines;
    } rows[] = {
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},  // lone CR
        {"a\nb\n", {"a", "b"}},  // lone LF ends a line too on this system
        {"a\nb\r\nc\rd", {"a", "b", "c", "d"}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"a\r\n\r\n", {"a", ""}},
        {"last", {"last"}},  // no final line end
        {"", {}},            // empty file: end of file at once
        {"\r\n", {""}},
        {"a\x1A"
         "b\r\nc",
         {"a\x1A"
          "b",
          "c"}},  // Ctrl-Z is an ordinary byte here
        {std::string("x\0y\n", 4), {std::string("x\0y", 3)}},
    };
    int k = 0;
    for (const auto& r : rows) {
        const std::string name = "f" + std::to_string(k++) + ".txt";
        WriteBytes(name, r.bytes);
        EXPECT_EQ(ReadAllLines(name), r.lines) << "row " << k;
    }
}

TEST_F(Files, LinesAcrossTheReadBuffer) {
    // A CR LF pair split by the 1 MiB read buffer, and a line longer than it.
    const std::size_t mib = 1 << 20;
    std::string bytes(mib - 1, 'a');
    bytes += "\r\nb\r\n";
    bytes += std::string(3 * mib, 'c');
    bytes += "\nd";
    WriteBytes("big.txt", bytes);
    const Lines lines = ReadAllLines("big.txt");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].size(), mib - 1);
    EXPECT_EQ(lines[1], "b");
    EXPECT_EQ(lines[2].size(), 3 * mib);
    EXPECT_EQ(lines[3], "d");
}

TEST_F(Files, ManyShortLinesWithOneKindOfEnding) {
    // The scan remembers where the next CR and LF are; files holding only one
    // of them must still split at every line.
    for (const char* ending : {"\n", "\r", "\r\n"}) {
        std::string bytes;
        for (int i = 0; i < 100000; ++i) bytes += std::to_string(i) + ending;
        WriteBytes("many.txt", bytes);
        const Lines lines = ReadAllLines("many.txt");
        ASSERT_EQ(lines.size(), 100000u);
        EXPECT_EQ(lines[0], "0");
        EXPECT_EQ(lines[99999], "99999");
    }
}

TEST_F(Files, BinaryAndNumbers) {
    EXPECT_EQ(FreeFile(1), 256);
    Open(Path("bin.dat"), OpenMode::Binary, 256);  // created when missing
    EXPECT_TRUE(Eof(256));
    EXPECT_EQ(ErrorOf([] { LineInput(256); }), kBadFileMode);
    Close(256);
    EXPECT_TRUE(FileExists(Path("bin.dat")));
    Open(Path("o.txt"), OpenMode::Output, 3);
    EXPECT_TRUE(Eof(3));
    EXPECT_EQ(FreeFile(), 1);
}

TEST_F(Files, Windows1252RoundTrip) {
    const int f = FreeFile();
    Open(Path("out.txt"), OpenMode::Output, f);
    PrintLine(f, "ñáé€");
    PrintText(f, "x");
    PrintText(f, "y");
    PrintLine(f, "");
    EXPECT_EQ(Lof(f), 10);
    Close(f);
    EXPECT_EQ(ReadBytes("out.txt"), "\xF1\xE1\xE9\x80\r\nxy\r\n");
    Open(Path("out.txt"), OpenMode::Input, f);
    EXPECT_EQ(LineInput(f), "ñáé€");
    EXPECT_EQ(LineInput(f), "xy");
    EXPECT_TRUE(Eof(f));
    Close(f);
    Open(Path("out.txt"), OpenMode::Input, f);
    EXPECT_EQ(LineInputRaw(f), "\xF1\xE1\xE9\x80");
    Close(f);
}

TEST_F(Files, AppendCreatesAndAdds) {
    const int f = FreeFile();
    Open(Path("log.txt"), OpenMode::Append, f);
    PrintLine(f, "uno");
    Close(f);
    Open(Path("log.txt"), OpenMode::Append, f);
    PrintLine(f, "dos");
    Close(f);
    EXPECT_EQ(ReadBytes("log.txt"), "uno\r\ndos\r\n");
    Open(Path("log.txt"), OpenMode::Output, f);  // Output truncates
    Close(f);
    EXPECT_EQ(FileLen(Path("log.txt")), 0);
}

TEST_F(Files, PendingLinesAreWrittenWhenTheProgramEnds) {
    const std::string path = Path("left-open.txt");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        Open(path, OpenMode::Output, 1);
        PrintLine(1, "sin cerrar");
        std::exit(0);  // no Close
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_EQ(ReadBytes("left-open.txt"), "sin cerrar\r\n");
}

TEST_F(Files, OpenErrors) {
    WriteBytes("a.txt", "x");
    EXPECT_EQ(ErrorOf([&] { Open(Path("missing.txt"), OpenMode::Input, 1); }), kFileNotFound);
    EXPECT_EQ(ErrorOf([&] { Open(Path("nodir/a.txt"), OpenMode::Input, 1); }), kPathNotFound);
    EXPECT_EQ(ErrorOf([&] { Open(Path("nodir/a.txt"), OpenMode::Output, 1); }), kPathNotFound);
    EXPECT_EQ(ErrorOf([&] { Open(dir_, OpenMode::Input, 1); }), kPathFileAccess);
    EXPECT_EQ(ErrorOf([&] { Open(Path("a.txt"), OpenMode::Input, 0); }), kBadFileNameOrNumber);

    Open(Path("a.txt"), OpenMode::Input, 1);
    EXPECT_EQ(FreeFile(), 2);
    EXPECT_EQ(ErrorOf([&] { Open(Path("a.txt"), OpenMode::Input, 1); }), kFileAlreadyOpen);
    Open(Path("a.txt"), OpenMode::Input, 2);  // Input may be opened twice
    EXPECT_EQ(ErrorOf([&] { Open(Path("a.txt"), OpenMode::Output, 3); }), kFileAlreadyOpen);
    EXPECT_EQ(ErrorOf([] { PrintLine(1, "x"); }), kBadFileMode);
    CloseAll();

    Open(Path("b.txt"), OpenMode::Output, 1);
    EXPECT_EQ(ErrorOf([&] { Open(Path("B.TXT"), OpenMode::Append, 2); }), kFileAlreadyOpen);
    EXPECT_EQ(ErrorOf([] { LineInput(1); }), kBadFileMode);
    EXPECT_EQ(ErrorOf([&] { Kill(Path("b.txt")); }), kPathFileAccess);
    Close(1);
    EXPECT_EQ(ErrorOf([] { Close(1); }), kBadFileNameOrNumber);
    EXPECT_EQ(ErrorOf([] { Eof(7); }), kBadFileNameOrNumber);
}

TEST_F(Files, ResolvePathIgnoresCase) {
    ASSERT_EQ(mkdir(Path("DATA").c_str(), 0777), 0);
    WriteBytes("DATA/File.TXT", "x");
    ASSERT_EQ(mkdir(Path("Año").c_str(), 0777), 0);
    WriteBytes("Año/ÑU.txt", "y");

    EXPECT_EQ(ResolvePath(Path("data/file.txt")), Path("DATA/File.TXT"));
    EXPECT_EQ(ResolvePath(dir_ + "\\data\\FILE.txt"), Path("DATA/File.TXT"));
    EXPECT_EQ(ResolvePath(Path("AÑO/ñu.TXT")), Path("Año/ÑU.txt"));
    EXPECT_EQ(ResolvePath(Path("data/new.txt")), Path("DATA/new.txt"));  // missing: as written
    EXPECT_EQ(ResolvePath(Path("nope/file.txt")), Path("nope/file.txt"));
    EXPECT_TRUE(FileExists(Path("data/file.txt")));
    EXPECT_TRUE(DirExists(Path("data")));
    EXPECT_FALSE(FileExists(Path("data")));
    EXPECT_EQ(FileLen(Path("año/ñu.txt")), 1);

    // Every file function goes through the resolution.
    Open(Path("data/file.txt"), OpenMode::Input, 1);
    EXPECT_EQ(LineInput(1), "x");
    Close(1);
}

TEST_F(Files, SeveralCaseVariantsGiveTheFirstInByteOrder) {
    // The winner must not depend on the order in which the folder lists its
    // entries: capitals come first in byte order.
    ASSERT_EQ(mkdir(Path("datos").c_str(), 0777), 0);
    ASSERT_EQ(mkdir(Path("DATOS").c_str(), 0777), 0);
    WriteBytes("datos/x.txt", "small");
    WriteBytes("DATOS/Año.TXT", "A");
    WriteBytes("DATOS/año.txt", "a");
    WriteBytes("DATOS/AÑO.txt", "N");
    EXPECT_EQ(ResolvePath(Path("Datos/AñO.tXt")), Path("DATOS/AÑO.txt"));
    EXPECT_EQ(ResolvePath(Path("Datos/x.txt")), Path("DATOS/x.txt"));  // the folder wins first
    Open(Path("DaTos/AñO.TxT"), OpenMode::Input, 1);
    EXPECT_EQ(LineInput(1), "N");
    Close(1);
    ASSERT_EQ(unlink(Path("DATOS/AÑO.txt").c_str()), 0);
    EXPECT_EQ(ResolvePath(Path("datos2/../DATOS/AÑo.TXT")), Path("datos2/../DATOS/AÑo.TXT"));
    EXPECT_EQ(ResolvePath(Path("Datos/AÑO.TXT")), Path("DATOS/Año.TXT"));
    // An exact name always wins over its variants.
    EXPECT_EQ(ResolvePath(Path("datos/x.txt")), Path("datos/x.txt"));
    EXPECT_EQ(ResolvePath(Path("DATOS/año.txt")), Path("DATOS/año.txt"));
}

TEST_F(Files, EveryByteSurvivesReadingAndWriting) {
    // All 256 bytes but the line ends, the five that 1252 leaves undefined
    // included, read as one line of 254 characters and written back unchanged.
    std::string bytes;
    for (int b = 0; b < 256; ++b) {
        if (b != '\r' && b != '\n') bytes.push_back(static_cast<char>(b));
    }
    WriteBytes("all.txt", bytes + "\r\n");
    Open(Path("all.txt"), OpenMode::Input, 1);
    const std::string line = LineInput(1);
    Close(1);
    EXPECT_EQ(Len(line), 254u);
    for (const char* undefined : {"\u0081", "\u008D", "\u008F", "\u0090", "\u009D"})
        EXPECT_NE(line.find(undefined), std::string::npos) << Asc(undefined);
    Open(Path("Copia.txt"), OpenMode::Output, 1);
    PrintLine(1, line);
    PrintLine(1, "日本 ĳ");  // characters without a 1252 byte become "?"
    Close(1);
    EXPECT_EQ(ReadBytes("Copia.txt"), bytes + "\r\n?? ?\r\n");
}

TEST_F(Files, EndOfFileAndAppend) {
    WriteBytes("last.txt", "uno\r\ndos");
    Open(Path("LAST.TXT"), OpenMode::Input, 1);
    EXPECT_EQ(LineInput(1), "uno");
    EXPECT_FALSE(Eof(1));
    EXPECT_EQ(LineInput(1), "dos");  // the final line needs no ending
    EXPECT_TRUE(Eof(1));
    EXPECT_EQ(ErrorOf([] { LineInput(1); }), kInputPastEnd);
    EXPECT_EQ(ErrorOf([] { LineInputRaw(1); }), kInputPastEnd);
    Close(1);

    // Append creates a missing file, in a folder found without regard to case.
    ASSERT_EQ(mkdir(Path("Log").c_str(), 0777), 0);
    Open(Path("LOG/nuevo.txt"), OpenMode::Append, 1);
    PrintText(1, "a");
    PrintLine(1, "ñ");
    Close(1);
    EXPECT_EQ(ReadBytes("Log/nuevo.txt"), "a\xF1\r\n");
}

TEST_F(Files, FreeFileRanges) {
    WriteBytes("r.txt", "x");
    for (int n = 256; n <= 510; ++n) Open(Path("r.txt"), OpenMode::Input, n);
    EXPECT_EQ(FreeFile(1), 511);
    Open(Path("r.txt"), OpenMode::Input, 511);
    EXPECT_EQ(ErrorOf([] { FreeFile(1); }), kTooManyFiles);
    EXPECT_EQ(FreeFile(), 1);
    EXPECT_EQ(ErrorOf([] { FreeFile(2); }), kInvalidCall);
    EXPECT_EQ(ErrorOf([&] { Open(Path("r.txt"), OpenMode::Input, 512); }), kBadFileNameOrNumber);
}

TEST_F(Files, FileOperations) {
    WriteBytes("src.txt", "hola\r\n");
    FileCopy(Path("SRC.txt"), Path("copy.txt"));
    EXPECT_EQ(ReadBytes("copy.txt"), "hola\r\n");
    WriteBytes("copy.txt", "much longer old content");
    FileCopy(Path("src.txt"), Path("copy.txt"));  // overwrites
    EXPECT_EQ(ReadBytes("copy.txt"), "hola\r\n");
    EXPECT_EQ(ErrorOf([&] { FileCopy(Path("none.txt"), Path("x.txt")); }), kFileNotFound);
    EXPECT_EQ(ErrorOf([&] { FileLen(Path("none.txt")); }), kFileNotFound);

    Kill(Path("COPY.TXT"));
    EXPECT_FALSE(FileExists(Path("copy.txt")));
    EXPECT_EQ(ErrorOf([&] { Kill(Path("copy.txt")); }), kFileNotFound);
    WriteBytes("a1.prn", "");
    WriteBytes("a2.PRN", "");
    Kill(Path("a?.prn"));  // wildcards, without regard to case
    EXPECT_FALSE(FileExists(Path("a1.prn")));
    EXPECT_FALSE(FileExists(Path("a2.prn")));
    EXPECT_EQ(ErrorOf([&] { Kill(Path("*.prn")); }), kFileNotFound);

    MkDir(Path("sub"));
    EXPECT_TRUE(DirExists(Path("SUB")));
    EXPECT_EQ(ErrorOf([&] { MkDir(Path("sub")); }), kPathFileAccess);
    EXPECT_EQ(ErrorOf([&] { MkDir(Path("x/y")); }), kPathNotFound);
    const std::string before = CurDir();
    ChDir(Path("Sub"));
    char* real = realpath(Path("sub").c_str(), nullptr);
    EXPECT_EQ(CurDir(), real);
    free(real);
    EXPECT_EQ(ErrorOf([&] { ChDir(Path("none")); }), kPathNotFound);
    ChDir(before);
}

}  // namespace
}  // namespace vb
