// What the engine's pieces share: the connection state behind Database and
// the row store behind Recordset.
#pragma once

#include <sqlite3.h>

#include <chrono>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "jet/column_types.h"
#include "jet/database.h"
#include "jet/sql_translate.h"
#include "vb/variant.h"

namespace jet {

struct Database::Impl {
    sqlite3* db = nullptr;
    std::string name;
    bool readOnly = false;
    bool exclusive = false;
    long recordsAffected = 0;
    int transactionDepth = 0;
    // How long a statement waits for another program's lock, and since when.
    struct BusyWait {
        int limitMs = 0;
        std::chrono::steady_clock::time_point start;
    } busy;
    std::vector<std::string> tableDefs;
    // Open recordsets check this token before touching the connection.
    std::shared_ptr<int> alive = std::make_shared<int>(0);

    // One entry per statement text: its translation and prepared statements.
    struct Cached {
        std::shared_ptr<const detail::Translation> tr;
        sqlite3_stmt* stmt = nullptr;        // sql
        sqlite3_stmt* stmtIgnore = nullptr;  // sqlIgnore
        sqlite3_stmt* stmtRowid = nullptr;   // sqlWithRowid
    };
    std::unordered_map<std::string, Cached> cache;
    // Statements the engine writes itself (recordset writes), by SQLite text.
    std::unordered_map<std::string, sqlite3_stmt*> own;

    // A prepared statement of the engine's own text, reset and unbound.
    sqlite3_stmt* Own(const std::string& sql, detail::StatementKind kind);

    ~Impl();
    void CloseConnection();
    Cached& Lookup(std::string_view jetSql);
    sqlite3_stmt* Prepare(const std::string& sql, detail::StatementKind kind,
                          std::string_view jetSql);
    void Exec(const std::string& sql, detail::StatementKind kind = detail::StatementKind::Other);
    // The stored name of a table, matched without regard to case; empty when none.
    std::string FindTable(std::string_view name);
    void CheckOpen() const;
};

struct Recordset::Impl {
    Database::Impl* db = nullptr;
    std::weak_ptr<int> alive;
    int type = dbOpenDynaset;
    bool updatable = false;
    std::string source;     // Jet text for Requery
    std::string baseTable;  // table written back to
    bool withRowid = false;

    struct Column {
        std::string name;
        detail::JetType type = detail::JetType::Text;
        int size = 0;
        bool typed = false;      // type known from the declared column type
        std::string baseColumn;  // column of baseTable; empty for expressions
    };
    std::vector<Column> cols;
    std::vector<std::vector<vb::Variant>> rows;
    std::vector<sqlite3_int64> rowids;

    long pos = -1;
    bool bof = true;
    bool eof = true;
    long visited = 0;

    int editMode = 0;  // 0 none, 1 Edit, 2 AddNew
    std::vector<vb::Variant> buffer;
    std::vector<bool> dirty;
    bool closed = false;

    // Table-type sets are often opened only to add rows: their rows are read
    // when first needed. Other sets read theirs at once.
    bool loaded = false;

    void Load();   // (re)opens: describes the columns, reads rows unless table-type
    void Fetch();  // reads the rows and sets the first position
    void EnsureLoaded() {
        if (!loaded) Fetch();
    }
    sqlite3_stmt* Statement();
    void CheckUsable() const;
    bool HasCurrent() const {
        return !bof && !eof && pos >= 0 && pos < static_cast<long>(rows.size());
    }
};

namespace detail {
vb::Variant ColumnValue(sqlite3_stmt* st, int i, JetType t, bool typed);
void BindVariant(sqlite3_stmt* st, int index, const vb::Variant& v, JetType t);
// The value as the column stores it; 3163 for over-long text, 6 out of range,
// 3421 when it does not convert.
vb::Variant ConvertForColumn(const vb::Variant& v, JetType t, int size);
// Workgroup check of DBEngine()'s account (3028, 3029).
void CheckWorkgroup();
}  // namespace detail

}  // namespace jet
