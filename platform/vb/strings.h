// String functions with VB semantics on UTF-8 text; every length and position
// counts characters, 1-based as in VB. Errors: bad start or length -> 5.
#pragma once

#include <string>
#include <string_view>

namespace vb {

std::size_t Len(std::string_view s);
std::string Mid(std::string_view s, long start);  // rest from start
std::string Mid(std::string_view s, long start, long length);
std::string Left(std::string_view s, long n);
std::string Right(std::string_view s, long n);
// The same slices without a copy, for loops over millions of fields; the
// view points into s.
std::string_view MidView(std::string_view s, long start, long length);
std::string_view TrimView(std::string_view s);
std::string_view LTrimView(std::string_view s);
std::string_view RTrimView(std::string_view s);
std::string Trim(std::string_view s);  // blanks (Chr(32)) only
std::string LTrim(std::string_view s);
std::string RTrim(std::string_view s);
std::string UCase(std::string_view s);  // per character over 1252 letters; length unchanged
std::string LCase(std::string_view s);
// 1-based position or 0; binary compare unless textCompare.
long InStr(std::string_view s1, std::string_view s2);
long InStr(long start, std::string_view s1, std::string_view s2, bool textCompare = false);
std::string Space(long n);
std::string String(long n, std::string_view ch);  // first character repeated
std::string String(long n, int code);             // Chr(code) repeated
std::string Chr(int code);                        // 1252 code -> character
int Asc(std::string_view s);                      // first character -> 1252 code (63 when none)
std::string Replace(std::string_view s, std::string_view find, std::string_view with);
// VB Like: ? * # [list] [!list]; case-sensitive unless textCompare.
bool Like(std::string_view s, std::string_view pattern, bool textCompare = false);
// Case-insensitive comparison as the database engine and Option Compare Text do
// (1252 letter folding). Returns <0, 0, >0.
int CompareText(std::string_view a, std::string_view b);

}  // namespace vb
