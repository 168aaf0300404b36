// The workgroup file KV000.MDW: our own small text file. Its first line names
// the format; each further line is the SHA-256 (lower-case hex) of one
// account: the user name in capitals (Jet user names ignore letter case), a
// line feed, and the password (which does not). The plain account is never
// written, logged or shown.
#include <openssl/evp.h>

#include <fstream>
#include <sstream>

#include "jet/database.h"
#include "jet/engine_errors.h"
#include "jet/internal.h"
#include "vb/error.h"
#include "vb/files.h"
#include "vb/strings.h"

namespace jet {

namespace {

constexpr std::string_view kHeader = "KV000 workgroup 1";

std::string AccountDigest(std::string_view user, std::string_view password) {
    std::string text = vb::UCase(user);
    text += '\n';
    text.append(password);
    unsigned char md[EVP_MAX_MD_SIZE];
    unsigned int len = 0;
    EVP_Digest(text.data(), text.size(), md, &len, EVP_sha256(), nullptr);
    static const char* hex = "0123456789abcdef";
    std::string out;
    for (unsigned int i = 0; i < len; ++i) {
        out += hex[md[i] >> 4];
        out += hex[md[i] & 15];
    }
    return out;
}

}  // namespace

void WriteWorkgroupFile(std::string_view path, std::string_view user, std::string_view password) {
    const std::string p = vb::ResolvePath(path);
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    if (!out) vb::Raise(vb::kPathNotFound);
    out << kHeader << "\n" << AccountDigest(user, password) << "\n";
    out.close();
    if (!out) vb::Raise(vb::kDeviceIO);
}

namespace detail {

void CheckWorkgroup() {
    const EngineSettings& e = DBEngine();
    if (e.systemDB.empty()) {
        // No workgroup file named: the engine's default workgroup, whose only
        // account is "admin" without password.
        if ((e.defaultUser.empty() || vb::CompareText(e.defaultUser, "admin") == 0) &&
            e.defaultPassword.empty())
            return;
        RaiseEngine(3029);
    }
    const std::string p = vb::ResolvePath(e.systemDB);
    if (!vb::FileExists(p)) RaiseEngine(3028);
    std::ifstream in(p, std::ios::binary);
    std::string line;
    if (!in || !std::getline(in, line)) RaiseEngine(3028);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line != kHeader) RaiseEngine(3028);
    const std::string digest = AccountDigest(e.defaultUser, e.defaultPassword);
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line == digest) return;
    }
    RaiseEngine(3029);
}

}  // namespace detail

}  // namespace jet
