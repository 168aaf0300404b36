// Windows-1252 <-> Unicode. The table covers 0x80-0x9F, the only block in
// which 1252 differs from Latin-1; the five bytes 1252 leaves undefined map to
// the C1 controls of the same value, as Windows does.
#include "vb/text.h"

#include <cstring>

#include "vb/utf8_detail.h"

namespace vb {

namespace {

constexpr char32_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

}  // namespace

char32_t Cp1252ToUnicode(std::uint8_t byte) noexcept {
    if (byte >= 0x80 && byte <= 0x9F) return kHigh[byte - 0x80];
    return byte;
}

int UnicodeToCp1252(char32_t cp) noexcept {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    for (int i = 0; i < 32; ++i) {
        if (kHigh[i] == cp) return 0x80 + i;
    }
    return -1;
}

bool IsAscii(std::string_view s) noexcept {
    const char* p = s.data();
    std::size_t n = s.size();
    // Eight bytes at a time: any high bit set means non-ASCII.
    while (n >= 8) {
        std::uint64_t w;
        std::memcpy(&w, p, 8);
        if (w & 0x8080808080808080ULL) return false;
        p += 8;
        n -= 8;
    }
    while (n > 0) {
        if (static_cast<unsigned char>(*p) & 0x80) return false;
        ++p;
        --n;
    }
    return true;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::string Cp1252ToUtf8(std::string_view bytes) {
    if (IsAscii(bytes)) return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            out.push_back(c);
        } else {
            AppendUtf8(out, Cp1252ToUnicode(b));
        }
    }
    return out;
}

std::string Utf8ToCp1252(std::string_view utf8) {
    if (IsAscii(utf8)) return std::string(utf8);
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    const std::size_t n = utf8.size();
    while (i < n) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            out.push_back(static_cast<char>(b));
            ++i;
            continue;
        }
        const std::size_t len = detail::SeqLen(utf8, i);
        if (len == 0) {  // a raw byte: keep it as it is
            out.push_back(static_cast<char>(b));
            ++i;
            continue;
        }
        const int code = UnicodeToCp1252(detail::DecodeSeq(utf8, i, len));
        out.push_back(code < 0 ? '?' : static_cast<char>(code));
        i += len;
    }
    return out;
}

std::u32string Utf8ToU32(std::string_view utf8) {
    std::u32string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    const std::size_t n = utf8.size();
    while (i < n) {
        const std::size_t len = detail::SeqLen(utf8, i);
        if (len == 0) {
            out.push_back(Cp1252ToUnicode(static_cast<unsigned char>(utf8[i])));
            ++i;
        } else {
            out.push_back(detail::DecodeSeq(utf8, i, len));
            i += len;
        }
    }
    return out;
}

std::string U32ToUtf8(std::u32string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char32_t cp : s) AppendUtf8(out, cp);
    return out;
}

std::size_t CharCount(std::string_view utf8) noexcept {
    const std::size_t n = utf8.size();
    std::size_t count = 0;
    std::size_t i = 0;
    while (i < n) {
        // Skip ASCII runs eight bytes at a time.
        while (i + 8 <= n) {
            std::uint64_t w;
            std::memcpy(&w, utf8.data() + i, 8);
            if (w & 0x8080808080808080ULL) break;
            i += 8;
            count += 8;
        }
        if (i >= n) break;
        i += detail::CharLen(utf8, i);
        ++count;
    }
    return count;
}

}  // namespace vb
