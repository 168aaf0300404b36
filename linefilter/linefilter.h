// The filter library's one exported operation. The main program binds it at
// run time by name (dlopen "liblinefilter.so", dlsym "depurar"), so this
// header only fixes the signature both sides agree on.
#pragma once

#include <cstdint>

#if defined(LINEFILTER_BUILDING)
#define LINEFILTER_EXPORT __attribute__((visibility("default")))
#else
#define LINEFILTER_EXPORT
#endif

extern "C" {

// Copies `input` into `output` keeping only the permitted bytes of each line,
// leaves out lines with nothing left, and writes "Linea n" to `log` for every
// changed line. Returns 1 when the copy was made, -1 when a file could not be
// opened (or the copy could not be completed).
LINEFILTER_EXPORT int32_t depurar(const char* input, const char* log, const char* output);

}  // extern "C"

// The type the caller casts the dlsym result to.
using DepurarFn = int32_t (*)(const char* input, const char* log, const char* output);

// Name of the shared object the main program loads.
inline constexpr const char* kLinefilterLibrary = "liblinefilter.so";
