// The database engine stand-in: what the programs expect of DAO over a Jet
// database, over one SQLite file shared by every program of the host.
//
// The file is an SQLite database in WAL mode; every connection registers the
// engine's text collation JETTEXT (text columns compare without regard to
// case) and its SQL functions, so open it through this engine only. (A plain
// SQLite shell lists rows, but refuses to compare or sort text columns for want
// of JETTEXT; SQLite's NOCASE would fold ASCII letters only, and a tool
// writing with it would disorder the keys of accented text.) Statements
// are written in the Jet dialect (see TranslateSql). Errors are vb::VbError
// with the engine's numbers (3010, 3022, 3024, 3051, 3163, ...).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "vb/variant.h"

struct sqlite3;

namespace jet {

// OpenRecordset types.
enum RecordsetType : int {
    dbOpenDefault = 0,  // table-type for a local table name, else dynaset
    dbOpenTable = 1,
    dbOpenDynaset = 2,
    dbOpenSnapshot = 4,
    dbOpenForwardOnly = 8,
};

// Execute / OpenRecordset options.
enum Option : int {
    dbDenyWrite = 1,
    dbDenyRead = 2,
    dbReadOnly = 4,
    dbAppendOnly = 8,
    dbInconsistent = 16,
    dbConsistent = 32,
    dbSQLPassThrough = 64,
    dbFailOnError = 128,
    dbForwardOnly = 256,
    dbSeeChanges = 512,
};

// Field.Type values.
enum FieldType : int {
    dbBoolean = 1,
    dbByte = 2,
    dbInteger = 3,  // 16-bit
    dbLong = 4,
    dbCurrency = 5,
    dbSingle = 6,
    dbDouble = 7,
    dbDate = 8,
    dbText = 10,
    dbMemo = 12,
};

// Engine-wide settings set before the first opening (DBEngine.SystemDB,
// DefaultUser, DefaultPassword, IniPath). With systemDB empty only the
// engine's default account ("admin" or no user, empty password) is accepted;
// otherwise the workgroup file must exist (else 3028) and hold the account
// (else 3029). iniPath has no meaning here.
struct EngineSettings {
    std::string systemDB;
    std::string defaultUser;
    std::string defaultPassword;
    std::string iniPath;
};
EngineSettings& DBEngine();

// While a statement waits for another program's lock, the engine sleeps in
// short slices and calls this hook between them (a window keeps painting);
// the whole wait stays as long as without it. The hook must not use the
// database; an empty function removes it. Returns the hook it replaces.
std::function<void()> SetBusyHook(std::function<void()> hook);

class Recordset;

class Field {
  public:
    const std::string& Name() const { return name_; }
    int Type() const { return type_; }
    int Size() const { return size_; }  // declared text size; 0 when none
    // The value with the column's sub-type (Byte, Integer, Long, Currency,
    // Date, String, Boolean, ...); Null when empty. During AddNew/Edit the
    // value being written. 3021 without a current row.
    const vb::Variant& Value() const;
    // Assignment inside AddNew/Edit (else 3020), converted to the column's
    // type: a text longer than the declared size raises 3163 at once, numbers
    // out of the column's range raise 6, text that is no number 3421;
    // computed columns and counters raise 3164.
    Field& operator=(const vb::Variant& v);
    bool IsNull() const { return Value().IsNull(); }

  private:
    friend class Recordset;
    Recordset* owner_ = nullptr;
    int index_ = 0;
    std::string name_;
    int type_ = dbText;
    int size_ = 0;
};

class Recordset {
  public:
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    bool BOF() const;
    // DAO's EOF, spelled as vb::Eof is (the C library owns the macro EOF).
    bool Eof() const;
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();
    // DAO's meaning: exact for table-type; for dynaset and snapshot the rows
    // visited so far (1 just after opening a non-empty set, the total after MoveLast).
    long RecordCount() const;
    long AbsolutePosition() const;  // 0-based; -1 without a current row
    void SetAbsolutePosition(long pos);

    // Snapshots, and dynasets over joins or grouped queries, are read-only
    // (3027). After Update of an AddNew the current row is the one current
    // before; the new row is at the end of the set.
    void AddNew();
    void Edit();  // no current row -> 3021
    // Writes the changed fields to the base table by row. Key violation
    // 3022, Null key 3058, row deleted meanwhile 3167; outside AddNew/Edit
    // 3020. On failure the edit stays pending.
    void Update();
    void CancelUpdate();   // outside AddNew/Edit -> 3020
    int EditMode() const;  // 0 none, 1 Edit, 2 AddNew

    int FieldCount() const;
    Field& Fields(int index);              // 0-based
    Field& Fields(std::string_view name);  // any letter case; unknown -> 3265
    Field& operator()(std::string_view name) { return Fields(name); }
    Field& operator()(int index) { return Fields(index); }
    // The current row's values in column order (for the record control code);
    // during AddNew/Edit the values being written.
    std::vector<vb::Variant> CurrentRow() const;

    void Requery();
    void Close();  // later use of the set raises 3420

    struct Impl;  // the engine's own (platform/jet/internal.h)

  private:
    friend class Database;
    friend class Field;
    explicit Recordset(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
    std::vector<Field> fields_;
};

class Database {
  public:
    // OpenDatabase through the engine's first workspace. Checks the engine's
    // workgroup file and account first (3028 workgroup file missing or not
    // one, 3029 account refused). Errors: 3024 missing file, 3044 bad folder,
    // 3051 held exclusively by another connection (or, opening exclusively,
    // open elsewhere), 3343 not a database. The path is resolved without
    // regard to letter case. `connect` (";PWD=...") is accepted and ignored:
    // the files carry no database password.
    static std::unique_ptr<Database> Open(std::string_view path, bool exclusive = false,
                                          bool readOnly = false, std::string_view connect = {});
    // DBEngine.CreateDatabase: a new empty database (3204 when the file
    // exists, 3044 bad folder), opened shared. Same account check as Open.
    static std::unique_ptr<Database> Create(std::string_view path);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const std::string& Name() const;

    // Action query or DDL in the Jet dialect. Without dbFailOnError rows that
    // break keys, sizes or number ranges are skipped silently; with it the
    // first failure raises (3022 key, 3163 size, 3349 range, 3058 Null key)
    // and the statement's changes roll back. A SELECT raises 3065; CREATE
    // TABLE of an existing table 3010; a second primary key 3283.
    void Execute(std::string_view sql, int options = 0);
    long RecordsAffected() const;

    // A table name or a SELECT in the Jet dialect. The rows are read into
    // memory when the set opens (a table-type set when its rows are first
    // needed), so keep sets to the rows wanted. Unknown table 3078; a query
    // as table-type 3219. dbReadOnly makes a dynaset read-only.
    std::unique_ptr<Recordset> OpenRecordset(std::string_view source, int type = dbOpenDefault,
                                             int options = 0);

    // TableDefs: user tables (no system tables), as last refreshed.
    std::vector<std::string> TableDefs() const;
    void RefreshTableDefs();

    // Transactions of the workspace (BeginTrans / CommitTrans / Rollback);
    // they nest. Commit or roll back without one: 3034.
    void BeginTrans();
    void CommitTrans();
    void Rollback();

    void Close();
    sqlite3* Handle() const;

    struct Impl;  // the engine's own (platform/jet/internal.h)

  private:
    explicit Database(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
    friend class Recordset;
};

// A transaction that rolls back unless committed.
class Transaction {
  public:
    explicit Transaction(Database& db) : db_(db) { db_.BeginTrans(); }
    ~Transaction() {
        if (!done_) {
            try {
                db_.Rollback();
            } catch (...) {
            }
        }
    }
    void Commit() {
        db_.CommitTrans();
        done_ = true;
    }

  private:
    Database& db_;
    bool done_ = false;
};

// Doubles single quotes so a text value can stand between quotes in SQL.
// Ordinary values come back unchanged.
std::string Q(std::string_view text);

// Translates a Jet SQL statement to SQLite (exposed for tests). ALTER TABLE
// ... ADD CONSTRAINT ... PRIMARY KEY needs the table's definition: Execute
// rebuilds the table, and the text returned here only describes that.
std::string TranslateSql(std::string_view jetSql);

// The workgroup file KV000.MDW of the host installation: a text file of our
// own, a header line then one line per account holding the SHA-256 (hex) of
// the upper-cased user name, a line feed and the password; the account itself
// is never stored. Writes (replaces) the file with one account.
void WriteWorkgroupFile(std::string_view path, std::string_view user, std::string_view password);

}  // namespace jet
