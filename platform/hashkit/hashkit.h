// The family's file digest library (HashKit01): the SHA-1 of a file's bytes.
#pragma once

#include <cstdint>

namespace hashkit {

// Results of FileToSha.
enum ShaResult : std::int16_t {
    kShaOk = 0,
    kShaNotFound = -1,   // no such file
    kShaNoAccess = -2,   // the file exists but cannot be opened (a folder, no permission)
    kShaReadError = -3,  // reading failed part way
};

// pathBuffer: the file's path as a zero-terminated string in the system's own
// encoding of names (the bytes the file is opened by); it is resolved without
// regard to case. On success the 20 bytes of the SHA-1 of the
// file's contents are written to out[0..19]; on failure out is left untouched.
std::int16_t FileToSha(const char* pathBuffer, unsigned char* out);

}  // namespace hashkit
