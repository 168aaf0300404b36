#include "hashkit/hashkit.h"

#include <fcntl.h>
#include <openssl/evp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

#include "vb/files.h"

namespace hashkit {

namespace {

// Large reads keep the digest close to the speed of the hash itself.
constexpr std::size_t kChunk = 1 << 20;

struct FdCloser {
    int fd;
    ~FdCloser() {
        if (fd >= 0) ::close(fd);
    }
};

struct MdCtxFree {
    void operator()(EVP_MD_CTX* c) const { EVP_MD_CTX_free(c); }
};

}  // namespace

std::int16_t FileToSha(const char* pathBuffer, unsigned char* out) {
    if (pathBuffer == nullptr || out == nullptr) return kShaNotFound;
    const std::string path = vb::ResolvePath(pathBuffer);

    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const bool missing = errno == ENOENT || errno == ENOTDIR || errno == ENAMETOOLONG;
        return missing ? kShaNotFound : kShaNoAccess;
    }
    FdCloser closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return kShaNoAccess;
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);

    std::unique_ptr<EVP_MD_CTX, MdCtxFree> ctx(EVP_MD_CTX_new());
    if (!ctx || EVP_DigestInit_ex(ctx.get(), EVP_sha1(), nullptr) != 1) return kShaReadError;

    std::unique_ptr<unsigned char[]> buffer(new unsigned char[kChunk]);
    for (;;) {
        ssize_t n = ::read(fd, buffer.get(), kChunk);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            return kShaReadError;
        }
        if (EVP_DigestUpdate(ctx.get(), buffer.get(), static_cast<std::size_t>(n)) != 1) {
            return kShaReadError;
        }
    }
    unsigned char md[EVP_MAX_MD_SIZE];
    unsigned int len = 0;
    if (EVP_DigestFinal_ex(ctx.get(), md, &len) != 1 || len != 20) return kShaReadError;
    std::memcpy(out, md, 20);
    return kShaOk;
}

}  // namespace hashkit
