#include "import/lista.h"

namespace importacion::detalle {

Lista::Lista(std::string texto) : texto_(std::move(texto)) {
    const auto* b = reinterpret_cast<const unsigned char*>(texto_.data());
    const std::size_t n = texto_.size();
    for (std::size_t i = 0; i < n; ++i) uno_[b[i]] = true;
    dos_.assign(65536 / 64, 0);
    for (std::size_t i = 0; i + 2 <= n; ++i) {
        const unsigned k = b[i] << 8 | b[i + 1];
        dos_[k >> 6] |= std::uint64_t(1) << (k & 63);
    }
    // Four-character windows in an open-addressed table at most a quarter full.
    std::size_t tam = 16;
    while (tam < 4 * n) tam *= 2;
    bits_ = 0;
    while ((std::size_t(1) << bits_) < tam) ++bits_;
    cuatro_.assign(tam, 0);
    for (std::size_t i = 0; i + 4 <= n; ++i) {
        const std::uint64_t clave = Clave4(b + i) | kOcupado;
        for (std::size_t j = Casilla(Clave4(b + i));; j = (j + 1) & (tam - 1)) {
            if (cuatro_[j] == clave) break;
            if (cuatro_[j] == 0) {
                cuatro_[j] = clave;
                break;
            }
        }
    }
}

const Lista& ListaFija(Fija cual) {
    static const Lista listas[] = {
        Lista("12-13-14-15-01"),
        Lista("12-13-14-15"),
        Lista("02-03-04-05-06-07-08-09-10-11-16-17-18-19-20-21"),
        Lista("02-03-04-07-08-09-10-11-16-17-18-19-20-21"),
        Lista("01-12-13-14-15"),
        Lista("12-14-16-18-20"),
    };
    return listas[static_cast<int>(cual)];
}

}  // namespace importacion::detalle
