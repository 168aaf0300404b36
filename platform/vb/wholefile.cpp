#include "vb/wholefile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>

#include "vb/error.h"
#include "vb/files.h"
#include "vb/text.h"

namespace vb {

namespace {

// The run-time error for a failed system call (its errno).
[[noreturn]] void RaiseErrno(int err) {
    int number = kPathFileAccess;
    if (err == ENOENT || err == ENOTDIR) number = kPathNotFound;
    if (err == EACCES || err == EPERM || err == EROFS) number = kPermissionDenied;
    if (err == ENOSPC) number = kDiskFull;
    Raise(number);
}

void WriteAllAndClose(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int err = errno;
            ::close(fd);
            RaiseErrno(err);
        }
        done += static_cast<std::size_t>(n);
    }
    const int synced = ::fsync(fd) == 0 ? 0 : errno;
    if (::close(fd) != 0 && synced == 0) RaiseErrno(errno);
    if (synced != 0) RaiseErrno(synced);
}

std::string FolderOf(const std::string& path) {
    const auto p = path.find_last_of('/');
    return p == std::string::npos ? std::string(".") : path.substr(0, p);
}

// Opens a file that must not exist yet. It asks for 0666 and lets the
// process's umask take away what the user does not allow, as every program
// of the desktop does; -1 with errno set on failure.
int OpenExclusive(const std::string& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}

// A temporary file of its own in `folder`, opened; its path in `path`.
int OpenTemporary(const std::string& folder, std::string& path) {
    thread_local std::mt19937 random{std::random_device{}()};
    for (int attempt = 0; attempt < 1000; ++attempt) {
        char name[32];
        std::snprintf(name, sizeof name, "/.new.%08x", static_cast<unsigned>(random()));
        path = folder + name;
        const int fd = OpenExclusive(path);
        if (fd >= 0 || (errno != EEXIST && errno != EINTR)) return fd;
    }
    errno = EEXIST;
    return -1;
}

}  // namespace

std::string TextFileBytes(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& l : lines) {
        bytes += Utf8ToCp1252(l);
        bytes += "\r\n";
    }
    return bytes;
}

std::string CreateNewFile(const std::string& folder, const std::function<std::string()>& name,
                          const std::string& bytes) {
    const std::string base = ResolvePath(folder);
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const std::string path = base + "/" + name();
        int fd = OpenExclusive(path);
        if (fd < 0) {
            if (errno == EEXIST || errno == EINTR) continue;
            RaiseErrno(errno);
        }
        try {
            WriteAllAndClose(fd, bytes);
        } catch (...) {
            ::unlink(path.c_str());
            throw;
        }
        return path;
    }
    RaiseErrno(EEXIST);
}

void ReplaceWholeFile(const std::string& path, const std::string& bytes) {
    const std::string target = ResolvePath(path);
    std::string temporary;
    int fd = OpenTemporary(FolderOf(target), temporary);
    if (fd < 0) RaiseErrno(errno);
    try {
        // A file that is rewritten keeps the permissions its owner gave it
        // (where the file system keeps none, the new file's stay).
        struct stat old {};
        if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
            ::fchmod(fd, old.st_mode & 07777);
        }
        WriteAllAndClose(fd, bytes);
        if (::rename(temporary.c_str(), target.c_str()) != 0) RaiseErrno(errno);
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
}

std::string ReadWholeFile(const std::string& path) {
    const std::string source = ResolvePath(path);
    if (!FileExists(source)) {
        Raise(kFileNotFound);
    }
    std::ifstream in(source, std::ios::binary);
    if (!in) RaiseErrno(errno);
    std::ostringstream s;
    s << in.rdbuf();
    if (in.bad()) RaiseErrno(EIO);
    return s.str();
}

}  // namespace vb
