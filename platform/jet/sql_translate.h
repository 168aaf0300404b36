// Jet SQL to SQLite: the statement's kind, its SQLite text and, for DDL, the
// parsed definitions that the engine carries out itself.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "jet/column_types.h"

namespace jet::detail {

enum class StatementKind : int {
    Other = 0,
    Select,
    Insert,
    Update,
    Delete,
    CreateTable,
    CreateIndex,
    AlterAddPrimaryKey,
    AlterAddUnique,
    AlterAddColumn,
    AlterDropColumn,
    DropTable,
    DropIndex,
};

struct Translation {
    StatementKind kind = StatementKind::Other;
    std::string sql;        // SQLite text; action queries in their failing form
    std::string sqlIgnore;  // INSERT/UPDATE OR IGNORE form (rows breaking keys skipped)

    // SELECT: a single base table with no grouping makes the result updatable.
    std::string baseTable;     // table name as written, empty when not updatable
    std::string sqlWithRowid;  // the SELECT with the base row's rowid as first column

    // DDL
    std::string table;                    // table the statement is about
    std::string constraintName;           // ADD CONSTRAINT / CREATE INDEX name
    std::vector<std::string> keyColumns;  // PRIMARY KEY / UNIQUE / index columns
    std::vector<ColumnDef> columns;       // CREATE TABLE / ADD COLUMN
    bool uniqueIndex = false;
};

// Translates one statement; raises the engine's syntax errors for DDL it
// cannot read.
std::shared_ptr<const Translation> Translate(std::string_view jetSql);

// SQL text of one column definition (type, collation, checks).
std::string ColumnSql(const ColumnDef& c, bool notNull);
// Quotes an identifier for SQLite.
std::string QuoteIdent(std::string_view name);

}  // namespace jet::detail
