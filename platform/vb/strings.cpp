// String functions over UTF-8 text. Positions and lengths count characters;
// ASCII text (the usual data line) takes byte-wise fast paths. Case mapping is
// restricted to the letters of Windows-1252 so that no character changes its
// length (no "ß" -> "SS"), and every mapping used here keeps the UTF-8 byte
// length too, which lets the text-compare functions work on folded copies.
#include "vb/strings.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

#include "vb/error.h"
#include "vb/text.h"
#include "vb/utf8_detail.h"

namespace vb {

namespace {

// Upper/lower maps for a raw 1252 byte (text that is not UTF-8 is read as
// 1252 and mapped in place, one byte for one byte).
struct ByteMaps {
    std::array<unsigned char, 256> upper{};
    std::array<unsigned char, 256> lower{};
    constexpr ByteMaps() {
        for (int b = 0; b < 256; ++b) {
            upper[b] = static_cast<unsigned char>(b);
            lower[b] = static_cast<unsigned char>(b);
        }
        for (int b = 'a'; b <= 'z'; ++b) {
            upper[b] = static_cast<unsigned char>(b - 32);
            lower[b - 32] = static_cast<unsigned char>(b);
        }
        for (int b = 0xE0; b <= 0xFE; ++b) {
            if (b == 0xF7) continue;  // division sign
            upper[b] = static_cast<unsigned char>(b - 32);
            lower[b - 32] = static_cast<unsigned char>(b);
        }
        const int pairs[][2] = {{0x9A, 0x8A}, {0x9C, 0x8C}, {0x9E, 0x8E}, {0xFF, 0x9F}};
        for (const auto& p : pairs) {
            upper[p[0]] = static_cast<unsigned char>(p[1]);
            lower[p[1]] = static_cast<unsigned char>(p[0]);
        }
    }
};
constexpr ByteMaps kMaps;

// Case folding of a code point for text comparison (to lower case).
inline char32_t Fold(char32_t c) noexcept {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
    switch (c) {
        case 0x152:
        case 0x160:
        case 0x17D:
            return c + 1;
        case 0x178:
            return 0xFF;
        default:
            return c;
    }
}

template <bool Upper>
std::string MapCase(std::string_view s) {
    std::string out(s);
    const auto& map = Upper ? kMaps.upper : kMaps.lower;
    const std::size_t n = out.size();
    std::size_t i = 0;
    while (i < n) {
        const auto b = static_cast<unsigned char>(out[i]);
        if (b < 0x80) {
            out[i] = static_cast<char>(map[b]);
            ++i;
            continue;
        }
        const std::size_t len = detail::SeqLen(out, i);
        if (len == 0) {
            out[i] = static_cast<char>(map[b]);
            ++i;
            continue;
        }
        if (len == 2) {
            auto c = static_cast<unsigned char>(out[i + 1]);
            if (b == 0xC3) {
                if (Upper) {
                    if (c >= 0xA0 && c <= 0xBE && c != 0xB7) {
                        out[i + 1] = static_cast<char>(c - 0x20);
                    } else if (c == 0xBF) {  // ÿ -> Ÿ
                        out[i] = static_cast<char>(0xC5);
                        out[i + 1] = static_cast<char>(0xB8);
                    }
                } else if (c >= 0x80 && c <= 0x9E && c != 0x97) {
                    out[i + 1] = static_cast<char>(c + 0x20);
                }
            } else if (b == 0xC5) {
                if (Upper) {
                    if (c == 0x93 || c == 0xA1 || c == 0xBE) out[i + 1] = static_cast<char>(c - 1);
                } else if (c == 0x92 || c == 0xA0 || c == 0xBD) {
                    out[i + 1] = static_cast<char>(c + 1);
                } else if (c == 0xB8) {  // Ÿ -> ÿ
                    out[i] = static_cast<char>(0xC3);
                    out[i + 1] = static_cast<char>(0xBF);
                }
            }
        }
        i += len;
    }
    return out;
}

// Reads the character at s[i], advancing i; invalid bytes read as 1252.
inline char32_t NextChar(std::string_view s, std::size_t& i) noexcept {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
        ++i;
        return b;
    }
    const std::size_t len = detail::SeqLen(s, i);
    if (len == 0) {
        ++i;
        return Cp1252ToUnicode(b);
    }
    const char32_t cp = detail::DecodeSeq(s, i, len);
    i += len;
    return cp;
}

void CheckCount(long n) {
    if (n < 0) Raise(kInvalidCall);
}

}  // namespace

std::size_t Len(std::string_view s) {
    return CharCount(s);
}

std::string Mid(std::string_view s, long start) {
    if (start < 1) Raise(kInvalidCall);
    const std::size_t from = detail::ByteOffset(s, static_cast<std::size_t>(start - 1));
    return std::string(s.substr(from));
}

std::string_view MidView(std::string_view s, long start, long length) {
    if (start < 1 || length < 0) Raise(kInvalidCall);
    const std::size_t from = detail::ByteOffset(s, static_cast<std::size_t>(start - 1));
    const std::string_view rest = s.substr(from);
    return rest.substr(0, detail::ByteOffset(rest, static_cast<std::size_t>(length)));
}

std::string Mid(std::string_view s, long start, long length) {
    return std::string(MidView(s, start, length));
}

std::string Left(std::string_view s, long n) {
    CheckCount(n);
    return std::string(s.substr(0, detail::ByteOffset(s, static_cast<std::size_t>(n))));
}

std::string Right(std::string_view s, long n) {
    CheckCount(n);
    if (n == 0) return {};
    if (IsAscii(s)) {
        const auto k = static_cast<std::size_t>(n);
        return std::string(k >= s.size() ? s : s.substr(s.size() - k));
    }
    const std::size_t total = CharCount(s);
    if (static_cast<std::size_t>(n) >= total) return std::string(s);
    return std::string(s.substr(detail::ByteOffset(s, total - static_cast<std::size_t>(n))));
}

std::string_view TrimView(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && s[b] == ' ') ++b;
    while (e > b && s[e - 1] == ' ') --e;
    return s.substr(b, e - b);
}

std::string_view LTrimView(std::string_view s) {
    std::size_t b = 0;
    while (b < s.size() && s[b] == ' ') ++b;
    return s.substr(b);
}

std::string_view RTrimView(std::string_view s) {
    std::size_t e = s.size();
    while (e > 0 && s[e - 1] == ' ') --e;
    return s.substr(0, e);
}

std::string Trim(std::string_view s) {
    return std::string(TrimView(s));
}
std::string LTrim(std::string_view s) {
    return std::string(LTrimView(s));
}
std::string RTrim(std::string_view s) {
    return std::string(RTrimView(s));
}

std::string UCase(std::string_view s) {
    return MapCase<true>(s);
}
std::string LCase(std::string_view s) {
    return MapCase<false>(s);
}

long InStr(std::string_view s1, std::string_view s2) {
    return InStr(1, s1, s2, false);
}

long InStr(long start, std::string_view s1, std::string_view s2, bool textCompare) {
    if (start < 1) Raise(kInvalidCall);
    if (s1.empty()) return 0;
    const std::size_t from = detail::ByteOffset(s1, static_cast<std::size_t>(start - 1));
    if (from >= s1.size()) return 0;
    if (s2.empty()) return start;
    std::size_t pos;
    if (textCompare) {
        const std::string a = LCase(s1), b = LCase(s2);
        pos = a.find(b, from);
    } else {
        pos = s1.find(s2, from);
    }
    if (pos == std::string_view::npos) return 0;
    return static_cast<long>(CharCount(s1.substr(0, pos))) + 1;
}

std::string Space(long n) {
    CheckCount(n);
    return std::string(static_cast<std::size_t>(n), ' ');
}

std::string String(long n, std::string_view ch) {
    CheckCount(n);
    if (ch.empty()) Raise(kInvalidCall);
    const std::string_view one = ch.substr(0, detail::CharLen(ch, 0));
    std::string out;
    out.reserve(one.size() * static_cast<std::size_t>(n));
    for (long k = 0; k < n; ++k) out.append(one);
    return out;
}

std::string String(long n, int code) {
    return String(n, Chr(code));
}

std::string Chr(int code) {
    if (code < 0 || code > 255) Raise(kInvalidCall);
    std::string out;
    AppendUtf8(out, Cp1252ToUnicode(static_cast<std::uint8_t>(code)));
    return out;
}

int Asc(std::string_view s) {
    if (s.empty()) Raise(kInvalidCall);
    std::size_t i = 0;
    const int code = UnicodeToCp1252(NextChar(s, i));
    return code < 0 ? '?' : code;
}

std::string Replace(std::string_view s, std::string_view find, std::string_view with) {
    if (find.empty()) return std::string(s);
    std::string out;
    out.reserve(s.size());
    std::size_t from = 0;
    for (;;) {
        const std::size_t pos = s.find(find, from);
        if (pos == std::string_view::npos) break;
        out.append(s.substr(from, pos - from));
        out.append(with);
        from = pos + find.size();
    }
    out.append(s.substr(from));
    return out;
}

namespace {

// One element of a compiled Like pattern; every element but Star matches
// exactly one character, which keeps matching to one backtrack point.
struct LikeItem {
    enum Kind { Literal, AnyChar, Digit, Set, Star } kind;
    explicit LikeItem(Kind k) : kind(k) {}
    char32_t ch = 0;
    bool negate = false;
    std::vector<std::pair<char32_t, char32_t>> ranges;
};

std::vector<LikeItem> CompileLike(const std::u32string& p, bool fold) {
    std::vector<LikeItem> items;
    auto f = [&](char32_t c) { return fold ? Fold(c) : c; };
    for (std::size_t i = 0; i < p.size(); ++i) {
        const char32_t c = p[i];
        if (c == '*') {
            if (items.empty() || items.back().kind != LikeItem::Star)
                items.emplace_back(LikeItem::Star);
        } else if (c == '?') {
            items.emplace_back(LikeItem::AnyChar);
        } else if (c == '#') {
            items.emplace_back(LikeItem::Digit);
        } else if (c == '[') {
            const std::size_t close = p.find(']', i + 1);
            if (close == std::u32string::npos) Raise(93);
            LikeItem item{LikeItem::Set};
            std::size_t k = i + 1;
            if (k < close && p[k] == '!') {
                item.negate = true;
                ++k;
            }
            if (close == i + 1) {  // "[]" matches the empty string
                i = close;
                continue;
            }
            while (k < close) {
                char32_t lo = p[k];
                // A "-" between two characters makes a range; first or last it is literal.
                if (k + 2 < close && p[k + 1] == '-') {
                    char32_t hi = p[k + 2];
                    if (hi < lo) Raise(93);
                    item.ranges.push_back({f(lo), f(hi)});
                    if (fold) item.ranges.push_back({lo, hi});
                    k += 3;
                } else {
                    item.ranges.push_back({f(lo), f(lo)});
                    ++k;
                }
            }
            items.push_back(std::move(item));
            i = close;
        } else {
            LikeItem item{LikeItem::Literal};
            item.ch = f(c);
            items.push_back(std::move(item));
        }
    }
    return items;
}

bool ItemMatches(const LikeItem& item, char32_t c, bool fold) {
    switch (item.kind) {
        case LikeItem::Literal:
            return item.ch == c;
        case LikeItem::AnyChar:
            return true;
        case LikeItem::Digit:
            return c >= '0' && c <= '9';
        case LikeItem::Set: {
            bool in = false;
            const char32_t fc = fold ? Fold(c) : c;
            for (const auto& r : item.ranges) {
                if ((c >= r.first && c <= r.second) || (fc >= r.first && fc <= r.second)) {
                    in = true;
                    break;
                }
            }
            return in != item.negate;
        }
        case LikeItem::Star:
            break;
    }
    return false;
}

}  // namespace

bool Like(std::string_view s, std::string_view pattern, bool textCompare) {
    const std::vector<LikeItem> items = CompileLike(Utf8ToU32(pattern), textCompare);
    std::u32string text = Utf8ToU32(s);
    if (textCompare) {
        for (auto& c : text) c = Fold(c);
    }
    std::size_t ti = 0, pi = 0;
    std::size_t starP = std::string::npos, starT = 0;
    while (ti < text.size()) {
        if (pi < items.size() && items[pi].kind == LikeItem::Star) {
            starP = pi++;
            starT = ti;
        } else if (pi < items.size() && ItemMatches(items[pi], text[ti], textCompare)) {
            ++pi;
            ++ti;
        } else if (starP != std::string::npos) {
            pi = starP + 1;
            ti = ++starT;
        } else {
            return false;
        }
    }
    while (pi < items.size() && items[pi].kind == LikeItem::Star) ++pi;
    return pi == items.size();
}

namespace {

constexpr std::uint64_t kHigh = 0x8080808080808080ULL;

// ASCII upper-case letters of eight ASCII bytes turned to lower case.
inline std::uint64_t FoldAscii8(std::uint64_t w) noexcept {
    const std::uint64_t geA = w + 0x3F3F3F3F3F3F3F3FULL;  // high bit: byte >= 'A'
    const std::uint64_t gtZ = w + 0x2525252525252525ULL;  // high bit: byte > 'Z'
    return w | (((geA & ~gtZ) & kHigh) >> 2);
}

}  // namespace

int CompareText(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    const std::size_t na = a.size(), nb = b.size();
    while (i < na && j < nb) {
        // Eight ASCII bytes at a time while both sides stay ASCII.
        if (i + 8 <= na && j + 8 <= nb) {
            std::uint64_t wa, wb;
            std::memcpy(&wa, a.data() + i, 8);
            std::memcpy(&wb, b.data() + j, 8);
            if (((wa | wb) & kHigh) == 0) {
                const std::uint64_t fa = FoldAscii8(wa), fb = FoldAscii8(wb);
                if (fa == fb) {
                    i += 8;
                    j += 8;
                    continue;
                }
                // Little-endian: the lowest differing byte comes first in the text.
                static_assert(std::endian::native == std::endian::little);
                const int shift = __builtin_ctzll(fa ^ fb) & ~7;
                const auto ca = static_cast<unsigned>((fa >> shift) & 0xFF);
                const auto cb = static_cast<unsigned>((fb >> shift) & 0xFF);
                return ca < cb ? -1 : 1;
            }
        }
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[j]);
        if ((ca | cb) < 0x80) {
            if (ca != cb) {
                const int fa = (ca >= 'A' && ca <= 'Z') ? ca + 32 : ca;
                const int fb = (cb >= 'A' && cb <= 'Z') ? cb + 32 : cb;
                if (fa != fb) return fa < fb ? -1 : 1;
            }
            ++i;
            ++j;
            continue;
        }
        const char32_t fa = Fold(NextChar(a, i));
        const char32_t fb = Fold(NextChar(b, j));
        if (fa != fb) return fa < fb ? -1 : 1;
    }
    if (i < na) return 1;
    if (j < nb) return -1;
    return 0;
}

}  // namespace vb
