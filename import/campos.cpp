#include "import/campos.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <cstring>

namespace importacion::detalle {

int Divide(std::string_view linea, FinesCampos& fines, bool& demasiados, bool& altos) {
    int n = 0;
    const char* d = linea.data();
    const std::size_t largo = linea.size();
    fines[0] = 0;
    if (largo >= 0xFFFFFFFFu) {  // beyond what the ends can hold: refused as malformed
        demasiados = altos = true;
        return 0;
    }
#if defined(__SSE2__)
    const __m128i barra = _mm_set1_epi8('|');
    __m128i o = _mm_setzero_si128();
    char cola[16];
    for (std::size_t i = 0; i < largo; i += 16) {
        const char* p = d + i;
        if (largo - i < 16) {  // the last bytes, padded with zeros (no bar, no high byte)
            std::memset(cola, 0, sizeof cola);
            std::memcpy(cola, p, largo - i);
            p = cola;
        }
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        o = _mm_or_si128(o, b);
        auto mascara = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(b, barra)));
        const bool cerca = n > kMaxCampos - 16;  // this block might exceed the store
        while (mascara) {
            if (cerca && n == kMaxCampos) {
                demasiados = altos = true;  // the record is refused; not looked at further
                return n;
            }
            fines[static_cast<std::size_t>(++n)] = static_cast<std::uint32_t>(
                i + static_cast<std::size_t>(__builtin_ctz(mascara)) + 1);
            mascara &= mascara - 1;
        }
    }
    altos = _mm_movemask_epi8(o) != 0;
#else
    altos = false;
    for (std::size_t i = 0; i < largo; ++i) {
        altos = altos || static_cast<unsigned char>(d[i]) >= 0x80;
        if (d[i] != '|') continue;
        if (n == kMaxCampos) {
            demasiados = altos = true;
            return n;
        }
        fines[static_cast<std::size_t>(++n)] = static_cast<std::uint32_t>(i + 1);
    }
#endif
    return n;
}

}  // namespace importacion::detalle
