// Text helpers: Windows-1252 <-> UTF-8 and character (code point) counting on
// UTF-8 strings. Qt-free code keeps UTF-8 std::string; files on disk are 1252.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vb {

// Byte 0x00-0xFF of Windows-1252 to its Unicode code point (the five undefined
// bytes map to U+0081, U+008D, U+008F, U+0090, U+009D as Windows does).
char32_t Cp1252ToUnicode(std::uint8_t byte) noexcept;
// Code point to its 1252 byte; -1 when 1252 has no such character.
int UnicodeToCp1252(char32_t cp) noexcept;

std::string Cp1252ToUtf8(std::string_view bytes);
// Characters without a 1252 byte become '?'. Invalid UTF-8 bytes are taken as
// 1252 bytes (so raw single-byte text passes through unchanged).
std::string Utf8ToCp1252(std::string_view utf8);

// Decodes UTF-8; an invalid byte is read as its 1252 character.
std::u32string Utf8ToU32(std::string_view utf8);
std::string U32ToUtf8(std::u32string_view s);
void AppendUtf8(std::string& out, char32_t cp);

// Number of characters of a UTF-8 string.
std::size_t CharCount(std::string_view utf8) noexcept;
// True when every byte is ASCII (then bytes are characters).
bool IsAscii(std::string_view s) noexcept;

}  // namespace vb
