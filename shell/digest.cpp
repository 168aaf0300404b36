#include "shell/digest.h"

#include <array>
#include <cstring>

#include "hashkit/hashkit.h"
#include "vb/error.h"
#include "vb/strings.h"

namespace shell {

namespace {

// The module's buffers, reused by every call. The input buffer has one byte
// more than the path buffer so that it always ends in a zero, even for a path
// that fills all 20000 bytes.
std::array<std::uint8_t, kBufferPath + 1> gInput{};
std::array<std::uint8_t, kBufferPath> gOutput{};

[[noreturn]] void RaiseUnreadable(std::int16_t result, std::string_view path) {
    int number = vb::kPathFileAccess;
    if (result == hashkit::kShaNotFound) number = vb::kFileNotFound;
    if (result == hashkit::kShaReadError) number = vb::kDeviceIO;
    vb::Raise(number, "No se pudo leer el archivo " + std::string(path) + " (" +
                          vb::ErrorText(number) + ")");
}

}  // namespace

void ConvierteCadenaABytes(std::uint8_t* buffer, std::string_view text) {
    // The count comes from the trimmed text, the characters from the text as
    // given (a path never carries blanks around it in practice). The ANSI
    // code page of this system is its own encoding of names: the path goes to
    // the library in the very bytes the rest of the import opens the file by,
    // so a folder whose name Windows-1252 cannot spell is still found.
    const std::size_t count = vb::Len(vb::Trim(text));
    if (count > kBufferPath) vb::Raise(vb::kSubscript);
    const std::string ansi = vb::Left(text, static_cast<long>(count));
    if (ansi.size() > kBufferPath) vb::Raise(vb::kSubscript);
    std::memset(buffer, 0, kBufferPath);
    std::memcpy(buffer, ansi.data(), ansi.size());
}

std::string ConvierteBytesACadena(const std::uint8_t* bytes, std::int16_t n) {
    std::string out;
    out.reserve(static_cast<std::size_t>(n > 0 ? n : 0) * 3);
    for (int i = 0; i < n; ++i) out += std::to_string(bytes[i]);
    return out;
}

vb::Variant CalculaMarcaArchivo(std::string_view path) {
    std::array<std::uint8_t, kBufferPath> bufferPath;
    ConvierteCadenaABytes(bufferPath.data(), path);
    std::memcpy(gInput.data(), bufferPath.data(), kBufferPath);
    gInput[kBufferPath] = 0;
    // A failed read must not hand back the digest left from the call before.
    const std::int16_t result =
        hashkit::FileToSha(reinterpret_cast<const char*>(gInput.data()), gOutput.data());
    if (result != hashkit::kShaOk) RaiseUnreadable(result, path);
    return vb::Variant(ConvierteBytesACadena(gOutput.data(), 20));
}

}  // namespace shell
