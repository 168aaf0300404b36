// The outside duplicate check of a data file: records that repeat the first
// `campos` fields of an earlier record are duplicates. Each group of repeated
// records is written to the list file with its line numbers.
#pragma once

#include <cstdint>
#include <string_view>

namespace dupcheck {

// Returns 0 when the file holds no duplicate records, 1 when it does (they are
// then listed in `lista`), -1 when the data file or the list cannot be opened
// (the list then says why when it can be written). `trabajo` is the work file
// name the caller reserves for us; it is left absent. Memory stays bounded by
// about 8 bytes per record plus 16 per duplicated record.
std::int16_t ValidaDuplicado(std::string_view archivo, std::string_view trabajo,
                             std::int16_t campos, std::string_view lista);

// 64-bit hash of a key (exposed for tests).
std::uint64_t HashClave(std::string_view clave) noexcept;

}  // namespace dupcheck
