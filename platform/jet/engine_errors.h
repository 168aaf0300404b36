// The engine's error numbers and their texts, in one table.
#pragma once

#include <string>
#include <string_view>

struct sqlite3;

namespace jet::detail {

// The engine's message for `number`; "<x>" in the text is replaced by `object`.
std::string EngineMessage(int number, std::string_view object = {});

// Raises vb::VbError with the engine's number and message.
[[noreturn]] void RaiseEngine(int number, std::string_view object = {});

// Prefix under which SQL functions report a run-time error to the engine, so
// the statement's failure carries that error's number.
inline constexpr std::string_view kFunctionErrorTag = "\x01jet-error ";

// Turns the failure of an SQLite call (result code `rc`, connection `db`) into
// the engine's error. `statementKind` helps choose the syntax-error number.
[[noreturn]] void RaiseSqlite(sqlite3* db, int rc, std::string_view sql, int statementKind = 0);

}  // namespace jet::detail
