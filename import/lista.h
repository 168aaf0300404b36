// Inside the record checks: the catalogue lists and the fixed code lists,
// searched by substring as the checks search them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace importacion::detalle {

// A list searched by substring, with the answers for the short needles the
// checks use (one, two and four characters) worked out once: every window of
// the text of that length is a match, so the result is the same as InStr's.
class Lista {
  public:
    Lista() = default;
    explicit Lista(std::string texto);

    bool Ocurre(std::string_view v) const {
        if (texto_.empty()) return false;
        const auto* b = reinterpret_cast<const unsigned char*>(v.data());
        switch (v.size()) {
            case 0:
                return true;
            case 1:
                return uno_[b[0]];
            case 2: {
                const unsigned k = b[0] << 8 | b[1];
                return dos_[k >> 6] >> (k & 63) & 1;
            }
            case 4: {
                const std::uint32_t k = Clave4(b);
                const std::size_t mascara = cuatro_.size() - 1;
                for (std::size_t j = Casilla(k);; j = (j + 1) & mascara) {
                    if (cuatro_[j] == (k | kOcupado)) return true;
                    if (cuatro_[j] == 0) return false;
                }
            }
            default:
                return texto_.find(v) != std::string_view::npos;
        }
    }

  private:
    static std::uint32_t Clave4(const unsigned char* p) {
        return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 |
               p[3];
    }
    static constexpr std::uint64_t kOcupado = std::uint64_t(1) << 32;
    std::size_t Casilla(std::uint32_t k) const {
        return static_cast<std::size_t>((k * std::uint64_t(0x9E3779B97F4A7C15)) >> (64 - bits_));
    }
    std::string texto_;
    std::array<bool, 256> uno_{};
    std::vector<std::uint64_t> dos_;
    std::vector<std::uint64_t> cuatro_;
    int bits_ = 0;
};

inline bool Ocurre(const Lista& l, std::string_view v) {
    return l.Ocurre(v);
}

// The fixed lists of the checks.
enum class Fija {
    kL4MovAntes200712,  // L4 of the movements before 200712
    kL4MovDesde200712,  // L4 of the movements from 200712
    kL3,                // L3 of the reversals, and of the movements before 200712
    kL3MovDesde200712,  // L3 of the movements from 200712
    kSinMonto,          // codes without an amount; also L4 of the reversals
    kConPais,           // codes that need a country of the operation
};
const Lista& ListaFija(Fija cual);

}  // namespace importacion::detalle
