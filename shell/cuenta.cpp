#include "shell/cuenta.h"

#include <array>
#include <cstdint>

namespace shell {

namespace {

// Character codes, each mixed with a fixed mask.
constexpr std::uint8_t kMascara = 0x5A;
constexpr std::array<std::uint8_t, 8> kUsuario{11, 12, 2, 9, 15, 10, 31, 8};
constexpr std::array<std::uint8_t, 9> kClave{14, 54, 44, 106, 109, 98, 109, 49, 40};

template <std::size_t N>
std::string Arma(const std::array<std::uint8_t, N>& codigos) {
    std::string texto;
    texto.reserve(N);
    for (std::uint8_t c : codigos) texto.push_back(static_cast<char>(c ^ kMascara));
    return texto;
}

}  // namespace

CuentaGrupo ArmaCuentaGrupo() {
    return CuentaGrupo{Arma(kUsuario), Arma(kClave)};
}

}  // namespace shell
