// Numbered text files (Open / Line Input / Print / Close), file operations,
// and the case-insensitive path resolution of a Windows file system.
// Lines are read and written in Windows-1252 and handed out as UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vb {

enum class OpenMode { Input, Output, Append, Binary };

// Resolves a path as a case-insensitive file system would: each component is
// taken as written when it exists, else the entry that matches without regard
// to case (of several, the first in byte order). "\" separators become "/".
// Components that do not exist are kept as written.
std::string ResolvePath(std::string_view path);

int FreeFile();                                                   // 1..255; none -> 67
int FreeFile(int range);                                          // range 1: 256..511
void Open(std::string_view path, OpenMode mode, int fileNumber);  // 53, 76, 55, 70, 75
// Line Input #: ends at CR LF, CR or LF; the final line needs no ending.
// Reading past the end raises 62.
std::string LineInput(int fileNumber);
// Same, handing back the raw 1252 bytes of the line (hot loops).
const std::string& LineInputRaw(int fileNumber);
bool Eof(int fileNumber);
std::int64_t Lof(int fileNumber);
// Print #n, text   (writes text & CR LF)
void PrintLine(int fileNumber, std::string_view text);
// Print #n, text;  (no line end)
void PrintText(int fileNumber, std::string_view text);
void Close(int fileNumber);
void CloseAll();

bool FileExists(std::string_view path);  // a regular file
bool DirExists(std::string_view path);
std::int64_t FileLen(std::string_view path);                // 53 when missing
void FileCopy(std::string_view from, std::string_view to);  // overwrites; 53 when missing
void Kill(std::string_view path);                           // 53 when missing
void MkDir(std::string_view path);
void ChDir(std::string_view path);  // 76 when missing
std::string CurDir();

}  // namespace vb
