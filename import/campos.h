// Inside the record checks: the splitting of one data-file line into its
// fields.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace importacion::detalle {

// The most fields a line may have; a line with more is refused as malformed.
constexpr int kMaxCampos = 40;

// Where the fields of a line end: fines[k] is one past the "|" that ends field
// k (fines[0] is 0), so field k runs from fines[k-1] to fines[k]-1.
using FinesCampos = std::array<std::uint32_t, kMaxCampos + 1>;

// Splits a line that ends in "|" into its fields (their ends), one pass over
// the bytes, sixteen at a time where the processor allows. Returns the number
// of fields. `demasiados` is set when the line holds more than kMaxCampos
// fields (or is too long to index); `altos` tells whether the line holds any
// byte outside ASCII.
int Divide(std::string_view linea, FinesCampos& fines, bool& demasiados, bool& altos);

}  // namespace importacion::detalle
