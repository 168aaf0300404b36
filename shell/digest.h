// Digest text of a data file: the SHA-1 of its contents, written as the
// decimal values of the 20 bytes one after another. Stored in the control
// record (marca) and recomputed by the submission check.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "vb/variant.h"

namespace shell {

// Size of the path buffer handed to the digest library.
inline constexpr std::size_t kBufferPath = 20000;

// The digest text of the file at `path` (a Variant holding a String).
// A file that cannot be read raises 53 (missing), 75 (cannot be opened) or 57
// (read failure), naming the file; a trimmed path longer than 20000
// characters raises 9.
vb::Variant CalculaMarcaArchivo(std::string_view path);

// Fills buffer[0 .. kBufferPath) from the text: the bytes of as many
// characters as the trimmed text has, in the system's own encoding of names
// (UTF-8), the rest 0. More than 20000 characters or bytes raise 9.
void ConvierteCadenaABytes(std::uint8_t* buffer, std::string_view text);

// The decimal values of bytes 0 .. n - 1 joined without separators.
std::string ConvierteBytesACadena(const std::uint8_t* bytes, std::int16_t n);

}  // namespace shell
