// Numbered files and file operations on a Linux file system that should
// behave like the case-insensitive Windows one the data files come from.
// Lines end at CR LF, a lone CR or a lone LF (files made on Linux end their
// lines with LF alone); Ctrl-Z is an ordinary byte. Text on disk is
// Windows-1252; the UTF-8 functions convert, the raw one hands out bytes.
// Like the run-time, the file table belongs to one thread.
#include "vb/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include "vb/error.h"
#include "vb/strings.h"
#include "vb/text.h"

namespace vb {

namespace {

constexpr int kMaxFiles = 511;
constexpr std::size_t kReadBuffer = 1 << 20;
constexpr std::size_t kWriteFlush = 1 << 16;

struct OpenFile {
    int fd = -1;
    OpenMode mode = OpenMode::Input;
    dev_t dev = 0;
    ino_t ino = 0;
    // Reading
    std::unique_ptr<char[]> buf;
    std::size_t pos = 0, len = 0;
    bool endOfData = false;              // read() has returned 0
    std::size_t nextCr = 0, nextLf = 0;  // cached positions of the next CR / LF
    std::string line;
    // Writing
    std::string out;

    OpenFile() = default;
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    // A file still open when the program ends is closed with its pending
    // lines written, as the run-time does at the end of a program.
    ~OpenFile() {
        if (fd < 0) return;
        std::size_t done = 0;
        while (done < out.size()) {
            const ssize_t w = ::write(fd, out.data() + done, out.size() - done);
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) break;
            done += static_cast<std::size_t>(w);
        }
        ::close(fd);
    }
};

std::array<std::unique_ptr<OpenFile>, kMaxFiles + 1> gFiles;

OpenFile& Get(int n) {
    if (n < 1 || n > kMaxFiles || !gFiles[static_cast<std::size_t>(n)]) Raise(kBadFileNameOrNumber);
    return *gFiles[static_cast<std::size_t>(n)];
}

int ErrorFor(int err) {
    switch (err) {
        case ENOENT:
            return kFileNotFound;
        case ENOTDIR:
            return kPathNotFound;
        case EMFILE:
        case ENFILE:
            return kTooManyFiles;
        case ENOSPC:
        case EDQUOT:
            return kDiskFull;
        case EIO:
            return kDeviceIO;
        default:
            return kPathFileAccess;
    }
}

std::string ParentOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool IsDir(const std::string& p) {
    struct stat st;
    return ::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A missing file is 53 when its folder exists, else 76.
[[noreturn]] void RaiseMissing(const std::string& path) {
    Raise(IsDir(ParentOf(path)) ? kFileNotFound : kPathNotFound);
}

void WriteAll(OpenFile& f, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t w = ::write(f.fd, data, size);
        if (w < 0) {
            if (errno == EINTR) continue;
            Raise(errno == ENOSPC || errno == EDQUOT ? kDiskFull : kDeviceIO);
        }
        data += w;
        size -= static_cast<std::size_t>(w);
    }
}

void Flush(OpenFile& f) {
    if (f.out.empty()) return;
    std::string pending;
    pending.swap(f.out);
    WriteAll(f, pending.data(), pending.size());
}

void FlushAll() {
    for (auto& f : gFiles) {
        if (f) Flush(*f);
    }
}

// Refills the read buffer once the current one is used up; false at the end.
bool Fill(OpenFile& f) {
    if (f.pos < f.len) return true;
    if (f.endOfData) return false;
    for (;;) {
        const ssize_t r = ::read(f.fd, f.buf.get(), kReadBuffer);
        if (r < 0) {
            if (errno == EINTR) continue;
            Raise(kDeviceIO);
        }
        f.pos = 0;
        f.len = static_cast<std::size_t>(r);
        f.nextCr = f.nextLf = 0;
        if (r == 0) {
            f.endOfData = true;
            return false;
        }
        return true;
    }
}

// Position of the next byte c at or after f.pos within the buffer (f.len if
// none), remembered so that a file with only LF endings is not scanned for
// CR again at every line.
inline std::size_t NextOf(OpenFile& f, std::size_t& cache, char c) {
    if (cache < f.pos || cache == 0) {
        const void* hit = std::memchr(f.buf.get() + f.pos, c, f.len - f.pos);
        cache = hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - f.buf.get()) : f.len;
    }
    return cache;
}

const std::string& ReadLine(int fileNumber) {
    OpenFile& f = Get(fileNumber);
    if (f.mode != OpenMode::Input) Raise(kBadFileMode);
    if (!Fill(f)) Raise(kInputPastEnd);
    f.line.clear();
    for (;;) {
        const std::size_t cr = NextOf(f, f.nextCr, '\r');
        const std::size_t lf = NextOf(f, f.nextLf, '\n');
        const std::size_t end = cr < lf ? cr : lf;
        if (end < f.len) {
            f.line.append(f.buf.get() + f.pos, end - f.pos);
            f.pos = end + 1;
            if (end == cr) {
                // CR LF is one line end; the LF may start the next buffer.
                if (f.pos == f.len) Fill(f);
                if (f.pos < f.len && f.buf[f.pos] == '\n') ++f.pos;
            }
            return f.line;
        }
        f.line.append(f.buf.get() + f.pos, f.len - f.pos);
        f.pos = f.len;
        if (!Fill(f)) return f.line;  // last line without an ending
    }
}

bool Exists(const std::string& p) {
    struct stat st;
    return ::lstat(p.c_str(), &st) == 0;
}

// The entry of `dir` whose name equals `name` without regard to case. A Linux
// folder may hold several such entries ("DATOS.TXT" and "datos.txt"); the
// first in byte order wins (capitals before small letters), so the choice
// does not depend on the order in which the folder lists its entries.
bool FindNoCase(const std::string& dir, std::string_view name, std::string& found) {
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return false;
    bool any = false;
    while (const dirent* e = ::readdir(d)) {
        const std::string_view entry = e->d_name;
        if (entry.size() < name.size() / 2 || entry.size() > name.size() * 2) continue;
        if (CompareText(entry, name) == 0 && (!any || entry < found)) {
            found = entry;
            any = true;
        }
    }
    ::closedir(d);
    return any;
}

// Windows wildcard match of a file name: "*" any run, "?" one character,
// without regard to case.
bool WildMatch(std::string_view name, std::string_view pattern) {
    std::string p;
    for (char c : pattern) {
        if (c == '[' || c == '#') {
            p.push_back('[');
            p.push_back(c);
            p.push_back(']');
        } else {
            p.push_back(c);
        }
    }
    return Like(name, p, true);
}

}  // namespace

std::string ResolvePath(std::string_view path) {
    std::string p(path);
    for (char& c : p) {
        if (c == '\\') c = '/';
    }
    if (p.empty() || Exists(p)) return p;

    std::string out;
    std::size_t i = 0;
    if (p[0] == '/') {
        out = "/";
        i = 1;
    }
    bool searching = true;
    while (i <= p.size()) {
        std::size_t slash = p.find('/', i);
        if (slash == std::string::npos) slash = p.size();
        const std::string_view comp(p.data() + i, slash - i);
        const bool hasSlash = slash < p.size();
        std::string name(comp);
        if (searching && !comp.empty() && comp != "." && comp != "..") {
            const std::string candidate = out + name;
            if (!Exists(candidate)) {
                std::string found;
                if (FindNoCase(out, comp, found)) {
                    name = found;
                } else {
                    searching = false;  // nothing below a missing folder can be found
                }
            }
        }
        out += name;
        if (hasSlash) out.push_back('/');
        i = slash + 1;
    }
    return out;
}

int FreeFile() {
    return FreeFile(0);
}

int FreeFile(int range) {
    if (range < 0 || range > 1) Raise(kInvalidCall);
    const int first = range == 0 ? 1 : 256;
    const int last = range == 0 ? 255 : kMaxFiles;
    for (int n = first; n <= last; ++n) {
        if (!gFiles[static_cast<std::size_t>(n)]) return n;
    }
    Raise(kTooManyFiles);
}

void Open(std::string_view path, OpenMode mode, int fileNumber) {
    if (fileNumber < 1 || fileNumber > kMaxFiles) Raise(kBadFileNameOrNumber);
    if (gFiles[static_cast<std::size_t>(fileNumber)]) Raise(kFileAlreadyOpen);
    const std::string p = ResolvePath(path);
    if (p.empty()) Raise(kBadFileNameOrNumber);

    struct stat st;
    const bool exists = ::stat(p.c_str(), &st) == 0;
    if (exists) {
        if (S_ISDIR(st.st_mode)) Raise(kPathFileAccess);
        // A file open for writing may not be opened again; Input twice is fine.
        for (const auto& f : gFiles) {
            if (f && f->dev == st.st_dev && f->ino == st.st_ino &&
                (mode != OpenMode::Input || f->mode != OpenMode::Input))
                Raise(kFileAlreadyOpen);
        }
    }

    int flags = O_CLOEXEC;
    switch (mode) {
        case OpenMode::Input:
            flags |= O_RDONLY;
            break;
        case OpenMode::Output:
            flags |= O_WRONLY | O_CREAT | O_TRUNC;
            break;
        case OpenMode::Append:
            flags |= O_WRONLY | O_CREAT | O_APPEND;
            break;
        case OpenMode::Binary:
            flags |= O_RDWR | O_CREAT;
            break;
    }
    int fd = ::open(p.c_str(), flags, 0666);
    if (fd < 0 && mode == OpenMode::Binary && errno == EACCES)
        fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        if (err == ENOENT) RaiseMissing(p);
        Raise(ErrorFor(err));
    }
    auto f = std::make_unique<OpenFile>();
    f->fd = fd;
    f->mode = mode;
    if (::fstat(fd, &st) == 0) {
        f->dev = st.st_dev;
        f->ino = st.st_ino;
    }
    if (mode == OpenMode::Input) f->buf = std::make_unique<char[]>(kReadBuffer);
    gFiles[static_cast<std::size_t>(fileNumber)] = std::move(f);
}

std::string LineInput(int fileNumber) {
    return Cp1252ToUtf8(ReadLine(fileNumber));
}

const std::string& LineInputRaw(int fileNumber) {
    return ReadLine(fileNumber);
}

bool Eof(int fileNumber) {
    OpenFile& f = Get(fileNumber);
    if (f.mode != OpenMode::Input) {
        if (f.mode != OpenMode::Binary) return true;
        const off_t at = ::lseek(f.fd, 0, SEEK_CUR);
        struct stat st;
        return ::fstat(f.fd, &st) != 0 || at >= st.st_size;
    }
    return !Fill(f);
}

std::int64_t Lof(int fileNumber) {
    OpenFile& f = Get(fileNumber);
    Flush(f);
    struct stat st;
    if (::fstat(f.fd, &st) != 0) Raise(kDeviceIO);
    return st.st_size;
}

void PrintText(int fileNumber, std::string_view text) {
    OpenFile& f = Get(fileNumber);
    if (f.mode != OpenMode::Output && f.mode != OpenMode::Append) Raise(kBadFileMode);
    if (IsAscii(text)) {
        f.out.append(text);
    } else {
        f.out.append(Utf8ToCp1252(text));
    }
    if (f.out.size() >= kWriteFlush) Flush(f);
}

void PrintLine(int fileNumber, std::string_view text) {
    PrintText(fileNumber, text);
    OpenFile& f = Get(fileNumber);
    f.out.append("\r\n");
    if (f.out.size() >= kWriteFlush) Flush(f);
}

void Close(int fileNumber) {
    OpenFile& f = Get(fileNumber);
    std::unique_ptr<OpenFile> owned = std::move(gFiles[static_cast<std::size_t>(fileNumber)]);
    int error = 0;
    try {
        Flush(f);
    } catch (const VbError& e) {
        error = e.Number();
    }
    const int fd = f.fd;
    f.fd = -1;
    f.out.clear();
    if (::close(fd) != 0 && error == 0 && errno != EINTR) error = kDeviceIO;
    if (error) Raise(error);
}

void CloseAll() {
    int error = 0;
    for (int n = 1; n <= kMaxFiles; ++n) {
        if (!gFiles[static_cast<std::size_t>(n)]) continue;
        try {
            Close(n);
        } catch (const VbError& e) {
            if (!error) error = e.Number();
        }
    }
    if (error) Raise(error);
}

bool FileExists(std::string_view path) {
    FlushAll();
    struct stat st;
    return ::stat(ResolvePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirExists(std::string_view path) {
    return IsDir(ResolvePath(path));
}

std::int64_t FileLen(std::string_view path) {
    FlushAll();
    const std::string p = ResolvePath(path);
    struct stat st;
    if (::stat(p.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) RaiseMissing(p);
    return st.st_size;
}

void FileCopy(std::string_view from, std::string_view to) {
    FlushAll();
    const std::string src = ResolvePath(from);
    const std::string dst = ResolvePath(to);
    const int in = ::open(src.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        if (errno == ENOENT) RaiseMissing(src);
        Raise(ErrorFor(errno));
    }
    struct stat st;
    if (::fstat(in, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(in);
        Raise(kFileNotFound);
    }
    const int out = ::open(dst.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (out < 0) {
        const int err = errno;
        ::close(in);
        if (err == ENOENT) Raise(kPathNotFound);
        Raise(ErrorFor(err));
    }
    std::vector<char> buf(1 << 16);
    int error = 0;
    for (;;) {
        const ssize_t r = ::read(in, buf.data(), buf.size());
        if (r < 0) {
            if (errno == EINTR) continue;
            error = kDeviceIO;
            break;
        }
        if (r == 0) break;
        const char* p = buf.data();
        std::size_t left = static_cast<std::size_t>(r);
        while (left > 0) {
            const ssize_t w = ::write(out, p, left);
            if (w < 0) {
                if (errno == EINTR) continue;
                error = errno == ENOSPC ? kDiskFull : kDeviceIO;
                break;
            }
            p += w;
            left -= static_cast<std::size_t>(w);
        }
        if (error) break;
    }
    ::close(in);
    if (::close(out) != 0 && !error) error = kDeviceIO;
    if (error) Raise(error);
}

void Kill(std::string_view path) {
    FlushAll();
    const std::string p = ResolvePath(path);
    const std::size_t slash = p.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "" : p.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? p : p.substr(slash + 1);
    std::vector<std::string> targets;
    if (name.find_first_of("*?") == std::string::npos) {
        struct stat st;
        if (::stat(p.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) RaiseMissing(p);
        targets.push_back(p);
    } else {
        DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
        if (!d) Raise(kPathNotFound);
        while (const dirent* e = ::readdir(d)) {
            const std::string entry = e->d_name;
            if (entry == "." || entry == "..") continue;
            if (!WildMatch(entry, name)) continue;
            struct stat st;
            if (::stat((dir + entry).c_str(), &st) == 0 && S_ISREG(st.st_mode))
                targets.push_back(dir + entry);
        }
        ::closedir(d);
        if (targets.empty()) Raise(kFileNotFound);
    }
    for (const std::string& t : targets) {
        struct stat st;
        if (::stat(t.c_str(), &st) == 0) {
            for (const auto& f : gFiles) {
                if (f && f->dev == st.st_dev && f->ino == st.st_ino) Raise(kPathFileAccess);
            }
        }
        if (::unlink(t.c_str()) != 0) Raise(errno == ENOENT ? kFileNotFound : kPathFileAccess);
    }
}

void MkDir(std::string_view path) {
    const std::string p = ResolvePath(path);
    if (::mkdir(p.c_str(), 0777) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) Raise(kPathNotFound);
        Raise(kPathFileAccess);
    }
}

void ChDir(std::string_view path) {
    const std::string p = ResolvePath(path);
    if (::chdir(p.c_str()) != 0) Raise(kPathNotFound);
}

std::string CurDir() {
    std::vector<char> buf(4096);
    while (::getcwd(buf.data(), buf.size()) == nullptr) {
        if (errno != ERANGE) Raise(kPathNotFound);
        buf.resize(buf.size() * 2);
    }
    return std::string(buf.data());
}

}  // namespace vb
