// Internal helpers of the run-time: stepping through UTF-8 text one character
// at a time. A byte that does not start a well-formed sequence is one
// character, read as its Windows-1252 character, so raw single-byte text
// passes through every string function unharmed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace vb::detail {

// Length in bytes of the well-formed UTF-8 sequence starting at s[i], or 0 when
// the byte at i does not start one (an ASCII byte gives 1).
inline std::size_t SeqLen(std::string_view s, std::size_t i) noexcept {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) return 1;
    const std::size_t n = s.size();
    auto cont = [&](std::size_t k) {
        return k < n && (static_cast<unsigned char>(s[k]) & 0xC0) == 0x80;
    };
    if (b0 >= 0xC2 && b0 <= 0xDF) return cont(i + 1) ? 2 : 0;
    if (b0 >= 0xE0 && b0 <= 0xEF) {
        if (!cont(i + 1) || !cont(i + 2)) return 0;
        const auto b1 = static_cast<unsigned char>(s[i + 1]);
        if (b0 == 0xE0 && b1 < 0xA0) return 0;   // overlong
        if (b0 == 0xED && b1 >= 0xA0) return 0;  // surrogates
        return 3;
    }
    if (b0 >= 0xF0 && b0 <= 0xF4) {
        if (!cont(i + 1) || !cont(i + 2) || !cont(i + 3)) return 0;
        const auto b1 = static_cast<unsigned char>(s[i + 1]);
        if (b0 == 0xF0 && b1 < 0x90) return 0;
        if (b0 == 0xF4 && b1 >= 0x90) return 0;
        return 4;
    }
    return 0;
}

// Byte length of the character at s[i] (1 for an invalid byte).
inline std::size_t CharLen(std::string_view s, std::size_t i) noexcept {
    const std::size_t l = SeqLen(s, i);
    return l == 0 ? 1 : l;
}

// Decodes the code point of a well-formed sequence of length len at s[i].
inline char32_t DecodeSeq(std::string_view s, std::size_t i, std::size_t len) noexcept {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data() + i);
    switch (len) {
        case 1:
            return p[0];
        case 2:
            return (char32_t(p[0] & 0x1F) << 6) | (p[1] & 0x3F);
        case 3:
            return (char32_t(p[0] & 0x0F) << 12) | (char32_t(p[1] & 0x3F) << 6) | (p[2] & 0x3F);
        default:
            return (char32_t(p[0] & 0x07) << 18) | (char32_t(p[1] & 0x3F) << 12) |
                   (char32_t(p[2] & 0x3F) << 6) | (p[3] & 0x3F);
    }
}

// Byte offset of the character with 0-based index `chars`, or s.size() when the
// text is shorter.
inline std::size_t ByteOffset(std::string_view s, std::size_t chars) noexcept {
    const std::size_t n = s.size();
    // ASCII prefix: one byte per character, eight at a time.
    const std::size_t lim = chars < n ? chars : n;
    std::size_t i = 0;
    while (i + 8 <= lim) {
        std::uint64_t w;
        std::memcpy(&w, s.data() + i, 8);
        if (w & 0x8080808080808080ULL) break;
        i += 8;
    }
    while (i < lim && static_cast<unsigned char>(s[i]) < 0x80) ++i;
    chars -= i;
    while (chars > 0 && i < n) {
        i += CharLen(s, i);
        --chars;
    }
    return i < n ? i : n;
}

}  // namespace vb::detail
