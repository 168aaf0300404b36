#include "jet/database.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <thread>

#include "jet/engine_errors.h"
#include "jet/internal.h"
#include "jet/sql_functions.h"
#include "vb/error.h"
#include "vb/files.h"
#include "vb/strings.h"

namespace jet {

using detail::RaiseEngine;
using detail::RaiseSqlite;
using detail::StatementKind;

namespace {

// Waiting for another process's write: long enough for any single statement
// or transaction of the programs. Opening waits less, because a file held
// exclusively never frees itself in time and Jet answers at once; but long
// enough to outlast the short exclusive lock the last connection to close
// takes to fold the journal back into the file.
constexpr int kBusyTimeoutMs = 15000;
constexpr int kOpenProbeMs = 2000;
constexpr std::size_t kStatementCacheLimit = 512;

// Slices of a wait for a lock: short at first, so a lock held for a moment
// costs little, then steady, so a hook runs often enough for a window.
constexpr int kBusySlicesMs[] = {1, 2, 5, 10, 15, 20, 25};

std::function<void()>& BusyHook() {
    static std::function<void()> hook;
    return hook;
}

// The connection's busy handler (`wait` is the connection's BusyWait).
// Returns 0 (give up) once the connection's whole wait is spent.
int WaitForLock(void* wait, int count) {
    auto& w = *static_cast<Database::Impl::BusyWait*>(wait);
    const auto now = std::chrono::steady_clock::now();
    if (count == 0) w.start = now;
    const long spent = static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now - w.start).count());
    const long left = w.limitMs - spent;
    if (left <= 0) return 0;
    // A hook whose events wait on a database come back here: it runs once
    // at a time.
    static thread_local bool inHook = false;
    if (BusyHook() && !inHook) {
        inHook = true;
        try {
            BusyHook()();
        } catch (...) {
        }
        inHook = false;
    }
    constexpr int kSlices = static_cast<int>(std::size(kBusySlicesMs));
    const long slice = std::min<long>(kBusySlicesMs[std::min(count, kSlices - 1)], left);
    std::this_thread::sleep_for(std::chrono::milliseconds(slice));
    return 1;
}

int Step(sqlite3_stmt* st) {
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    }
    return rc;
}

std::string FolderOf(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

}  // namespace

std::function<void()> SetBusyHook(std::function<void()> hook) {
    std::swap(BusyHook(), hook);
    return hook;
}

EngineSettings& DBEngine() {
    static EngineSettings settings{"", "admin", "", ""};
    return settings;
}

// --- Database::Impl ---------------------------------------------------------

Database::Impl::~Impl() {
    CloseConnection();
}

void Database::Impl::CloseConnection() {
    for (auto& [text, c] : cache) {
        sqlite3_finalize(c.stmt);
        sqlite3_finalize(c.stmtIgnore);
        sqlite3_finalize(c.stmtRowid);
    }
    cache.clear();
    for (auto& [text, st] : own) sqlite3_finalize(st);
    own.clear();
    if (db) {
        sqlite3_close_v2(db);
        db = nullptr;
    }
    alive.reset();
}

void Database::Impl::CheckOpen() const {
    if (!db) RaiseEngine(3420);
}

sqlite3_stmt* Database::Impl::Prepare(const std::string& sql, StatementKind kind,
                                      std::string_view jetSql) {
    sqlite3_stmt* st = nullptr;
    const char* tail = nullptr;
    int rc = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &st, &tail);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(st);
        RaiseSqlite(db, rc, sql, static_cast<int>(kind));
    }
    // One statement per call: text after it would otherwise be ignored. A
    // zero byte ends SQLite's reading early, so the rest is measured against
    // the whole text, never up to the first zero byte.
    const char* end = sql.c_str() + sql.size();
    if (!tail) tail = end;
    while (tail < end &&
           (*tail == ' ' || *tail == ';' || *tail == '\n' || *tail == '\r' || *tail == '\t'))
        ++tail;
    if (!st || tail < end) {
        sqlite3_finalize(st);
        RaiseEngine(st ? 3142 : 3129);
    }
    return st;
}

sqlite3_stmt* Database::Impl::Own(const std::string& sql, StatementKind kind) {
    auto it = own.find(sql);
    if (it == own.end()) {
        if (own.size() >= kStatementCacheLimit) {
            for (auto& [text, st] : own) sqlite3_finalize(st);
            own.clear();
        }
        it = own.emplace(sql, Prepare(sql, kind, sql)).first;
    }
    sqlite3_reset(it->second);
    sqlite3_clear_bindings(it->second);
    return it->second;
}

Database::Impl::Cached& Database::Impl::Lookup(std::string_view jetSql) {
    std::string key(jetSql);
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    if (cache.size() >= kStatementCacheLimit) {
        for (auto& [text, c] : cache) {
            sqlite3_finalize(c.stmt);
            sqlite3_finalize(c.stmtIgnore);
            sqlite3_finalize(c.stmtRowid);
        }
        cache.clear();
    }
    Cached c;
    c.tr = detail::Translate(jetSql);
    return cache.emplace(std::move(key), std::move(c)).first->second;
}

void Database::Impl::Exec(const std::string& sql, StatementKind kind) {
    sqlite3_stmt* st = Prepare(sql, kind, sql);
    int rc = Step(st);
    if (rc != SQLITE_DONE) {
        try {
            RaiseSqlite(db, rc, sql, static_cast<int>(kind));
        } catch (...) {
            sqlite3_finalize(st);
            throw;
        }
    }
    sqlite3_finalize(st);
}

std::string Database::Impl::FindTable(std::string_view name) {
    sqlite3_stmt* st = nullptr;
    std::string found;
    if (sqlite3_prepare_v2(db,
                           "SELECT name FROM sqlite_master WHERE type IN ('table','view') AND "
                           "name = ?1 COLLATE NOCASE",
                           -1, &st, nullptr) == SQLITE_OK) {
        sqlite3_bind_text(st, 1, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(st) == SQLITE_ROW)
            found = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
    }
    sqlite3_finalize(st);
    return found;
}

// --- opening ----------------------------------------------------------------

Database::Database(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Database::~Database() = default;

namespace {

std::unique_ptr<Database::Impl> Connect(const std::string& path, bool exclusive, bool readOnly,
                                        bool create) {
    auto impl = std::make_unique<Database::Impl>();
    impl->name = path;
    impl->readOnly = readOnly;
    impl->exclusive = exclusive;
    int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    if (create) flags |= SQLITE_OPEN_CREATE;
    int rc = sqlite3_open_v2(path.c_str(), &impl->db, flags, nullptr);
    if (rc != SQLITE_OK) {
        // Permission refused by the file system reads as "no permission".
        RaiseEngine(rc == SQLITE_CANTOPEN ? 3051 : 3049, path);
    }
    sqlite3_extended_result_codes(impl->db, 1);
    detail::RegisterFunctions(impl->db);
    impl->busy.limitMs = kOpenProbeMs;
    sqlite3_busy_handler(impl->db, WaitForLock, &impl->busy);

    auto probe = [&](const char* sql) {
        int r = sqlite3_exec(impl->db, sql, nullptr, nullptr, nullptr);
        if (r == SQLITE_OK) return;
        int code = r & 0xff;
        if (code == SQLITE_BUSY || code == SQLITE_LOCKED) RaiseEngine(3051, path);
        if (code == SQLITE_NOTADB) RaiseEngine(3343, path);
        if (code == SQLITE_CORRUPT) RaiseEngine(3049, path);
        if (code == SQLITE_READONLY || code == SQLITE_CANTOPEN || code == SQLITE_PERM)
            RaiseEngine(3051, path);
        RaiseSqlite(impl->db, r, sql);
    };
    if (exclusive) probe("PRAGMA locking_mode=EXCLUSIVE");
    // The first read takes the shared lock that every connection keeps; a
    // holder in exclusive mode refuses it.
    probe("SELECT count(*) FROM sqlite_master");
    if (!readOnly) {
        // WAL lets readers and one writer of several processes work at once.
        // The mode stays in the file; a failure leaves the file's own mode.
        sqlite3_exec(impl->db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
        // A committed control record or declaration must survive a power cut,
        // not only a crash of the program: every commit reaches the disk.
        sqlite3_exec(impl->db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    }
    if (exclusive) {
        // Take the write lock now, so other connections are refused from the
        // start and not only from the first write.
        probe("BEGIN EXCLUSIVE");
        probe("COMMIT");
    }
    impl->busy.limitMs = kBusyTimeoutMs;
    return impl;
}

}  // namespace

std::unique_ptr<Database> Database::Open(std::string_view path, bool exclusive, bool readOnly,
                                         std::string_view /*connect*/) {
    detail::CheckWorkgroup();
    const std::string p = vb::ResolvePath(path);
    const std::string folder = FolderOf(p);
    if (!vb::DirExists(folder)) RaiseEngine(3044, folder);
    if (!vb::FileExists(p)) RaiseEngine(3024, p);
    // SQLite takes an empty file for an empty database; Jet does not.
    if (vb::FileLen(p) == 0) RaiseEngine(3343, p);
    auto db = std::unique_ptr<Database>(new Database(Connect(p, exclusive, readOnly, false)));
    db->RefreshTableDefs();
    return db;
}

std::unique_ptr<Database> Database::Create(std::string_view path) {
    detail::CheckWorkgroup();
    const std::string p = vb::ResolvePath(path);
    const std::string folder = FolderOf(p);
    if (!vb::DirExists(folder)) RaiseEngine(3044, folder);
    if (vb::FileExists(p) || vb::DirExists(p)) RaiseEngine(3204);
    auto impl = Connect(p, false, false, true);
    // Give the file its header now, so it is a database even before the first table.
    impl->Exec("PRAGMA user_version=1");
    auto db = std::unique_ptr<Database>(new Database(std::move(impl)));
    db->RefreshTableDefs();
    return db;
}

const std::string& Database::Name() const {
    return impl_->name;
}
sqlite3* Database::Handle() const {
    return impl_->db;
}
long Database::RecordsAffected() const {
    return impl_->recordsAffected;
}

void Database::Close() {
    if (impl_) impl_->CloseConnection();
}

// --- tables -----------------------------------------------------------------

std::vector<std::string> Database::TableDefs() const {
    return impl_->tableDefs;
}

void Database::RefreshTableDefs() {
    impl_->CheckOpen();
    // Engine tables and SQLite's own stay hidden, as Jet hides its MSys tables.
    sqlite3_stmt* st = impl_->Prepare(
        "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT GLOB 'sqlite_*' "
        "AND name NOT GLOB '__jet*' ORDER BY name",
        StatementKind::Select, {});
    std::vector<std::string> names;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW)
        names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) RaiseSqlite(impl_->db, rc, "");
    impl_->tableDefs = std::move(names);
}

namespace {

std::string CounterTriggerSql(const std::string& table, const std::string& column) {
    using detail::QuoteIdent;
    return "CREATE TRIGGER " + QuoteIdent("__jet_counter_" + table + "_" + column) +
           " AFTER INSERT ON " + QuoteIdent(table) + " FOR EACH ROW WHEN NEW." +
           QuoteIdent(column) + " IS NULL BEGIN UPDATE " + QuoteIdent(table) + " SET " +
           QuoteIdent(column) + " = (SELECT IFNULL(MAX(" + QuoteIdent(column) + "), 0) + 1 FROM " +
           QuoteIdent(table) + ") WHERE rowid = NEW.rowid; END";
}

struct TableInfoColumn {
    std::string name;
    std::string decl;
    bool notNull = false;
    std::string dflt;
    int pk = 0;
};

std::vector<TableInfoColumn> TableInfo(Database::Impl& d, const std::string& table) {
    std::vector<TableInfoColumn> cols;
    sqlite3_stmt* st =
        d.Prepare("SELECT name, type, \"notnull\", dflt_value, pk FROM pragma_table_info(?1)",
                  StatementKind::Select, {});
    sqlite3_bind_text(st, 1, table.c_str(), -1, SQLITE_TRANSIENT);
    while (sqlite3_step(st) == SQLITE_ROW) {
        TableInfoColumn c;
        c.name = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        if (auto* t = sqlite3_column_text(st, 1)) c.decl = reinterpret_cast<const char*>(t);
        c.notNull = sqlite3_column_int(st, 2) != 0;
        if (auto* t = sqlite3_column_text(st, 3)) c.dflt = reinterpret_cast<const char*>(t);
        c.pk = sqlite3_column_int(st, 4);
        cols.push_back(std::move(c));
    }
    sqlite3_finalize(st);
    return cols;
}

std::vector<std::string> QueryStrings(Database::Impl& d, const std::string& sql,
                                      const std::string& arg) {
    std::vector<std::string> out;
    sqlite3_stmt* st = d.Prepare(sql, StatementKind::Select, {});
    sqlite3_bind_text(st, 1, arg.c_str(), -1, SQLITE_TRANSIENT);
    while (sqlite3_step(st) == SQLITE_ROW) {
        auto* t = sqlite3_column_text(st, 0);
        out.emplace_back(t ? reinterpret_cast<const char*>(t) : "");
    }
    sqlite3_finalize(st);
    return out;
}

// SQLite cannot add a primary key to a table: make the table anew with the
// key (its columns NOT NULL, as Jet keys refuse Null), copy the rows, and put
// its unique constraints, indexes and triggers back.
void AddPrimaryKey(Database::Impl& d, const detail::Translation& tr) {
    using detail::QuoteIdent;
    const std::string table = d.FindTable(tr.table);
    if (table.empty()) RaiseEngine(3371);
    auto cols = TableInfo(d, table);
    for (const auto& c : cols)
        if (c.pk > 0) RaiseEngine(3283);
    std::vector<std::string> keys;
    for (const auto& k : tr.keyColumns) {
        auto it = std::find_if(cols.begin(), cols.end(), [&](const TableInfoColumn& c) {
            return sqlite3_stricmp(c.name.c_str(), k.c_str()) == 0;
        });
        if (it == cols.end()) RaiseEngine(3265);
        keys.push_back(it->name);
    }

    const std::string temp = "__jet_rebuild";
    std::string create = "CREATE TABLE " + QuoteIdent(temp) + " (";
    std::string list;
    for (std::size_t i = 0; i < cols.size(); ++i) {
        detail::ColumnDef def;
        def.name = cols[i].name;
        def.type = detail::JetTypeFromDeclared(cols[i].decl, def.size);
        def.defaultSql = cols[i].dflt;
        const bool key = std::find(keys.begin(), keys.end(), cols[i].name) != keys.end();
        if (i) {
            create += ", ";
            list += ", ";
        }
        create += detail::ColumnSql(def, cols[i].notNull || key);
        list += QuoteIdent(cols[i].name);
    }
    create += ", CONSTRAINT " + QuoteIdent(tr.constraintName) + " PRIMARY KEY (";
    for (std::size_t i = 0; i < keys.size(); ++i) create += (i ? ", " : "") + QuoteIdent(keys[i]);
    create += ")";
    // Unique constraints of the table definition.
    for (const auto& idx :
         QueryStrings(d, "SELECT name FROM pragma_index_list(?1) WHERE origin = 'u'", table)) {
        auto ucols = QueryStrings(d, "SELECT name FROM pragma_index_info(?1) ORDER BY seqno", idx);
        create += ", UNIQUE (";
        for (std::size_t i = 0; i < ucols.size(); ++i)
            create += (i ? ", " : "") + QuoteIdent(ucols[i]);
        create += ")";
    }
    create += ")";
    auto others = QueryStrings(d,
                               "SELECT sql FROM sqlite_master WHERE tbl_name = ?1 AND "
                               "type IN ('index','trigger') AND sql IS NOT NULL",
                               table);

    d.Exec("SAVEPOINT jet_rebuild");
    try {
        d.Exec(create, StatementKind::CreateTable);
        d.Exec("INSERT INTO " + QuoteIdent(temp) + " (" + list + ") SELECT " + list + " FROM " +
                   QuoteIdent(table),
               StatementKind::Insert);
        d.Exec("DROP TABLE " + QuoteIdent(table));
        d.Exec("ALTER TABLE " + QuoteIdent(temp) + " RENAME TO " + QuoteIdent(table));
        for (const auto& sql : others) d.Exec(sql);
        d.Exec("RELEASE jet_rebuild");
    } catch (...) {
        sqlite3_exec(d.db, "ROLLBACK TO jet_rebuild; RELEASE jet_rebuild", nullptr, nullptr,
                     nullptr);
        throw;
    }
}

}  // namespace

// --- Execute ----------------------------------------------------------------

void Database::Execute(std::string_view sql, int options) {
    impl_->CheckOpen();
    auto& c = impl_->Lookup(sql);
    const auto& tr = *c.tr;
    impl_->recordsAffected = 0;
    switch (tr.kind) {
        case StatementKind::Select:
            RaiseEngine(3065);
        case StatementKind::Other:
            RaiseEngine(3129);
        case StatementKind::CreateTable: {
            if (!impl_->FindTable(tr.table).empty()) RaiseEngine(3010, tr.table);
            impl_->Exec("SAVEPOINT jet_ddl");
            try {
                impl_->Exec(tr.sql, tr.kind);
                for (const auto& col : tr.columns)
                    if (col.type == detail::JetType::Counter)
                        impl_->Exec(CounterTriggerSql(tr.table, col.name));
                impl_->Exec("RELEASE jet_ddl");
            } catch (...) {
                sqlite3_exec(impl_->db, "ROLLBACK TO jet_ddl; RELEASE jet_ddl", nullptr, nullptr,
                             nullptr);
                throw;
            }
            return;
        }
        case StatementKind::AlterAddPrimaryKey:
            AddPrimaryKey(*impl_, tr);
            return;
        case StatementKind::CreateIndex:
        case StatementKind::AlterAddUnique:
        case StatementKind::AlterAddColumn:
        case StatementKind::AlterDropColumn:
        case StatementKind::DropTable:
        case StatementKind::DropIndex:
            if (!tr.table.empty() && impl_->FindTable(tr.table).empty())
                RaiseEngine(tr.kind == StatementKind::DropTable ? 3376 : 3371, tr.table);
            impl_->Exec(tr.sql, tr.kind);
            return;
        default:
            break;
    }

    // Action query: the failing form raises at the first row that breaks a
    // key or check (SQLite undoes the statement's changes); the other skips
    // such rows, as Jet does without dbFailOnError.
    const bool failOnError = (options & dbFailOnError) != 0 || tr.sqlIgnore.empty();
    sqlite3_stmt*& slot = failOnError ? c.stmt : c.stmtIgnore;
    if (!slot) slot = impl_->Prepare(failOnError ? tr.sql : tr.sqlIgnore, tr.kind, sql);
    sqlite3_reset(slot);
    int rc = Step(slot);
    if (rc != SQLITE_DONE) {
        sqlite3_reset(slot);
        RaiseSqlite(impl_->db, rc, failOnError ? tr.sql : tr.sqlIgnore, static_cast<int>(tr.kind));
    }
    impl_->recordsAffected = static_cast<long>(sqlite3_changes(impl_->db));
    sqlite3_reset(slot);
}

// --- transactions -----------------------------------------------------------

void Database::BeginTrans() {
    impl_->CheckOpen();
    if (impl_->transactionDepth == 0) {
        // IMMEDIATE takes the write lock now: a transaction that first reads
        // and then writes cannot fail half-way on another process's write.
        impl_->Exec("BEGIN IMMEDIATE");
    } else {
        impl_->Exec("SAVEPOINT jet_trans_" + std::to_string(impl_->transactionDepth));
    }
    ++impl_->transactionDepth;
}

void Database::CommitTrans() {
    impl_->CheckOpen();
    if (impl_->transactionDepth == 0) RaiseEngine(3034);
    if (impl_->transactionDepth == 1)
        impl_->Exec("COMMIT");
    else
        impl_->Exec("RELEASE jet_trans_" + std::to_string(impl_->transactionDepth - 1));
    --impl_->transactionDepth;
}

void Database::Rollback() {
    impl_->CheckOpen();
    if (impl_->transactionDepth == 0) RaiseEngine(3034);
    if (impl_->transactionDepth == 1) {
        impl_->Exec("ROLLBACK");
    } else {
        const std::string sp = "jet_trans_" + std::to_string(impl_->transactionDepth - 1);
        impl_->Exec("ROLLBACK TO " + sp);
        impl_->Exec("RELEASE " + sp);
    }
    --impl_->transactionDepth;
}

}  // namespace jet
