// Declared Jet column types. The declared type that SQLite keeps for each
// column names the Jet type (e.g. "SHORT_INT", "TEXT(15)"), so the catalogue
// travels with the table and every query column that reads a table column
// knows its Jet type through sqlite3_column_decltype.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "vb/variant.h"

namespace jet::detail {

enum class JetType {
    Boolean,
    Byte,
    Integer,  // 16-bit
    Long,
    Currency,
    Single,
    Double,
    Date,
    Text,
    Memo,
    Counter,
};

struct ColumnDef {
    std::string name;
    JetType type = JetType::Text;
    int size = 255;          // text size
    std::string defaultSql;  // DEFAULT expression as SQLite text, or empty
};

// Jet DDL type name (BYTE, SHORT, TEXT, ...) to its type; nullopt when unknown.
std::optional<JetType> JetTypeFromDdl(std::string_view keyword);
// The declared type SQLite stores for a column of this type.
std::string DeclaredType(JetType t, int size);
// Reads a declared type back (ours, or a plain SQLite one); size set for text.
JetType JetTypeFromDeclared(std::string_view decl, int& size);
// DAO Field.Type number.
int DaoType(JetType t);
bool IsTextType(JetType t);

// Value range of the whole-number types (checks and assignment).
bool RangeOf(JetType t, std::int64_t& lo, std::int64_t& hi);

}  // namespace jet::detail
