// Recordsets hold their rows in memory from the moment they open (the
// programs open small sets: one declaration, one catalogue list), so moving
// and counting never go back to the file, and a row being edited cannot be
// met twice while walking. Updatable sets remember each row's rowid in its
// base table and write changes back by it.
#include <sqlite3.h>

#include <algorithm>
#include <cmath>

#include "jet/database.h"
#include "jet/engine_errors.h"
#include "jet/internal.h"
#include "jet/sql_functions.h"
#include "vb/error.h"
#include "vb/strings.h"
#include "vb/text.h"

namespace jet {

using detail::JetType;
using detail::RaiseEngine;
using detail::RaiseSqlite;
using detail::StatementKind;

namespace detail {

vb::Variant ColumnValue(sqlite3_stmt* st, int i, JetType t, bool typed) {
    const int ct = sqlite3_column_type(st, i);
    if (ct == SQLITE_NULL) return vb::Variant(vb::Null);
    // Text columns hand out text whatever was stored; other columns hand out
    // stored text as it is (a value that did not convert on the way in).
    if ((typed && IsTextType(t)) || ct == SQLITE_TEXT || ct == SQLITE_BLOB) {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
        return vb::Variant(
            std::string(p ? p : "", static_cast<std::size_t>(sqlite3_column_bytes(st, i))));
    }
    if (!typed) return ValueToVariant(sqlite3_column_value(st, i));
    const bool isInt = ct == SQLITE_INTEGER;
    const sqlite3_int64 iv = sqlite3_column_int64(st, i);
    const double dv = sqlite3_column_double(st, i);
    switch (t) {
        case JetType::Boolean:
            return vb::Variant(isInt ? iv != 0 : dv != 0.0);
        case JetType::Byte:
            if (isInt && iv >= 0 && iv <= 255) return vb::Variant(static_cast<std::uint8_t>(iv));
            break;
        case JetType::Integer:
            if (isInt && iv >= INT16_MIN && iv <= INT16_MAX)
                return vb::Variant(static_cast<std::int16_t>(iv));
            break;
        case JetType::Long:
        case JetType::Counter:
            if (isInt && iv >= INT32_MIN && iv <= INT32_MAX)
                return vb::Variant(static_cast<std::int32_t>(iv));
            break;
        case JetType::Currency: {
            // Stored in units; Currency keeps ten-thousandths.
            constexpr double kLimit = 922337203685477.0;
            if (isInt && iv >= -922337203685477LL && iv <= 922337203685477LL)
                return vb::Variant(vb::Currency::FromRaw(iv * 10000));
            if (!isInt && std::fabs(dv) < kLimit)
                return vb::Variant(vb::Currency::FromRaw(std::llround(dv * 10000.0)));
            break;
        }
        case JetType::Single:
            return vb::Variant(static_cast<float>(dv));
        case JetType::Double:
            return vb::Variant(dv);
        case JetType::Date:
            return vb::Variant(vb::Date{dv});
        default:
            break;
    }
    return ValueToVariant(sqlite3_column_value(st, i));
}

void BindVariant(sqlite3_stmt* st, int index, const vb::Variant& v, JetType /*t*/) {
    switch (v.Type()) {
        case vb::VarType::Empty:
        case vb::VarType::Null:
            sqlite3_bind_null(st, index);
            break;
        case vb::VarType::Boolean:
            sqlite3_bind_int(st, index, v.AsBoolean() ? -1 : 0);
            break;
        case vb::VarType::Byte:
            sqlite3_bind_int(st, index, v.AsByte());
            break;
        case vb::VarType::Integer:
            sqlite3_bind_int(st, index, v.AsInteger());
            break;
        case vb::VarType::Long:
            sqlite3_bind_int(st, index, v.AsLong());
            break;
        case vb::VarType::Single:
            sqlite3_bind_double(st, index, v.AsSingle());
            break;
        case vb::VarType::Double:
            sqlite3_bind_double(st, index, v.AsDouble());
            break;
        case vb::VarType::Currency:
            // Whole amounts go in as integers, so they compare and add exactly.
            if (v.AsCurrency().Raw() % 10000 == 0)
                sqlite3_bind_int64(st, index, v.AsCurrency().Raw() / 10000);
            else
                sqlite3_bind_double(st, index, v.AsCurrency().ToDouble());
            break;
        case vb::VarType::Date:
            sqlite3_bind_double(st, index, v.AsDate().serial);
            break;
        case vb::VarType::String:
            sqlite3_bind_text(st, index, v.Str().data(), static_cast<int>(v.Str().size()),
                              SQLITE_TRANSIENT);
            break;
    }
}

vb::Variant ConvertForColumn(const vb::Variant& v, JetType t, int size) {
    if (v.IsNull() || v.IsEmpty()) {
        if (t == JetType::Boolean) return vb::Variant(false);
        return vb::Variant(vb::Null);
    }
    try {
        switch (t) {
            case JetType::Text:
            case JetType::Memo: {
                std::string s = v.IsString() ? v.Str() : vb::CStr(v);
                if (t == JetType::Text && vb::CharCount(s) > static_cast<std::size_t>(size))
                    RaiseEngine(3163);
                return vb::Variant(std::move(s));
            }
            case JetType::Boolean:
                return vb::Variant(vb::CBool(v));
            case JetType::Byte:
                return vb::Variant(vb::CByte(v));
            case JetType::Integer:
                return vb::Variant(vb::CInt(v));
            case JetType::Long:
            case JetType::Counter:
                return vb::Variant(vb::CLng(v));
            case JetType::Currency:
                return vb::Variant(vb::CCur(v));
            case JetType::Single: {
                double d = vb::CDbl(v);
                if (std::fabs(d) > 3.402823466e38) vb::Raise(vb::kOverflow);
                return vb::Variant(static_cast<float>(d));
            }
            case JetType::Double:
                return vb::Variant(vb::CDbl(v));
            case JetType::Date:
                return vb::Variant(vb::CDate(v));
        }
    } catch (const vb::VbError& e) {
        if (e.Number() == vb::kTypeMismatch) RaiseEngine(3421);
        throw;
    }
    return v;
}

}  // namespace detail

// --- Field ------------------------------------------------------------------

const vb::Variant& Field::Value() const {
    auto& r = *owner_->impl_;
    r.CheckUsable();
    if (r.editMode != 0) return r.buffer[static_cast<std::size_t>(index_)];
    r.EnsureLoaded();
    if (!r.HasCurrent()) RaiseEngine(3021);
    return r.rows[static_cast<std::size_t>(r.pos)][static_cast<std::size_t>(index_)];
}

Field& Field::operator=(const vb::Variant& v) {
    auto& r = *owner_->impl_;
    r.CheckUsable();
    if (r.editMode == 0) RaiseEngine(3020);
    const auto& col = r.cols[static_cast<std::size_t>(index_)];
    // Expressions and counters are the engine's to fill.
    if (col.baseColumn.empty() || col.type == JetType::Counter) RaiseEngine(3164);
    r.buffer[static_cast<std::size_t>(index_)] = detail::ConvertForColumn(v, col.type, col.size);
    r.dirty[static_cast<std::size_t>(index_)] = true;
    return *this;
}

// --- Recordset::Impl --------------------------------------------------------

void Recordset::Impl::CheckUsable() const {
    if (closed || alive.expired() || !db || !db->db) RaiseEngine(3420);
}

sqlite3_stmt* Recordset::Impl::Statement() {
    auto& cached = db->Lookup(source);
    const auto& tr = *cached.tr;
    sqlite3_stmt*& slot = withRowid ? cached.stmtRowid : cached.stmt;
    if (!slot)
        slot = db->Prepare(withRowid ? tr.sqlWithRowid : tr.sql, StatementKind::Select, source);
    sqlite3_reset(slot);
    return slot;
}

void Recordset::Impl::Load() {
    sqlite3_stmt* st = Statement();
    const int first = withRowid ? 1 : 0;
    const int n = sqlite3_column_count(st);
    cols.clear();
    bool allTyped = true;
    for (int i = first; i < n; ++i) {
        Column c;
        c.name = sqlite3_column_name(st, i) ? sqlite3_column_name(st, i) : "";
        if (const char* decl = sqlite3_column_decltype(st, i)) {
            c.type = detail::JetTypeFromDeclared(decl, c.size);
            c.typed = true;
        } else {
            allTyped = false;
        }
        if (updatable) {
            const char* table = sqlite3_column_table_name(st, i);
            const char* origin = sqlite3_column_origin_name(st, i);
            if (table && origin && sqlite3_stricmp(table, baseTable.c_str()) == 0)
                c.baseColumn = origin;
        }
        cols.push_back(std::move(c));
    }
    editMode = 0;
    loaded = false;
    rows.clear();
    rowids.clear();
    // Computed columns take their type from what they hold, so read now.
    if (type != dbOpenTable || !allTyped) Fetch();
}

void Recordset::Impl::Fetch() {
    sqlite3_stmt* st = Statement();
    const int first = withRowid ? 1 : 0;
    const int n = std::min(sqlite3_column_count(st), static_cast<int>(cols.size()) + first);
    rows.clear();
    rowids.clear();
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        std::vector<vb::Variant> row;
        row.reserve(cols.size());
        for (int i = first; i < n; ++i) {
            const auto& c = cols[static_cast<std::size_t>(i - first)];
            row.push_back(detail::ColumnValue(st, i, c.type, c.typed));
        }
        row.resize(cols.size(), vb::Variant(vb::Null));
        rows.push_back(std::move(row));
        if (withRowid) rowids.push_back(sqlite3_column_int64(st, 0));
    }
    if (rc != SQLITE_DONE) {
        sqlite3_reset(st);
        rows.clear();
        rowids.clear();
        RaiseSqlite(db->db, rc, source, static_cast<int>(StatementKind::Select));
    }
    sqlite3_reset(st);

    for (std::size_t k = 0; k < cols.size(); ++k) {
        auto& c = cols[k];
        if (c.typed) continue;
        c.type = JetType::Text;
        for (const auto& row : rows) {
            const auto& v = row[k];
            if (v.IsNull()) continue;
            if (v.IsString())
                c.type = JetType::Text;
            else if (v.Type() == vb::VarType::Long)
                c.type = JetType::Long;
            else
                c.type = JetType::Double;
            break;
        }
    }

    loaded = true;
    if (rows.empty()) {
        pos = -1;
        bof = eof = true;
        visited = 0;
    } else {
        pos = 0;
        bof = eof = false;
        visited = 1;
    }
}

// --- Recordset --------------------------------------------------------------

Recordset::Recordset(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {
    fields_.resize(impl_->cols.size());
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        Field& f = fields_[i];
        const auto& c = impl_->cols[i];
        f.owner_ = this;
        f.index_ = static_cast<int>(i);
        f.name_ = c.name;
        f.type_ = detail::DaoType(c.type);
        f.size_ = c.type == JetType::Text ? c.size : 0;
    }
}

Recordset::~Recordset() = default;

bool Recordset::BOF() const {
    impl_->CheckUsable();
    impl_->EnsureLoaded();
    return impl_->bof || impl_->rows.empty();
}

bool Recordset::Eof() const {
    impl_->CheckUsable();
    impl_->EnsureLoaded();
    return impl_->eof || impl_->rows.empty();
}

namespace {
void Visit(Recordset::Impl& r) {
    r.editMode = 0;  // moving away drops a pending edit, as DAO does
    r.bof = r.eof = false;
    r.visited = std::max(r.visited, r.pos + 1);
}
}  // namespace

void Recordset::MoveFirst() {
    auto& r = *impl_;
    r.CheckUsable();
    r.EnsureLoaded();
    if (r.rows.empty()) RaiseEngine(3021);
    r.pos = 0;
    Visit(r);
}

void Recordset::MoveLast() {
    auto& r = *impl_;
    r.CheckUsable();
    r.EnsureLoaded();
    if (r.rows.empty()) RaiseEngine(3021);
    r.pos = static_cast<long>(r.rows.size()) - 1;
    Visit(r);
}

void Recordset::MoveNext() {
    auto& r = *impl_;
    r.CheckUsable();
    r.EnsureLoaded();
    if (Eof()) RaiseEngine(3021);
    r.editMode = 0;
    if (r.bof) {
        r.pos = 0;
    } else {
        ++r.pos;
    }
    if (r.pos >= static_cast<long>(r.rows.size())) {
        r.pos = static_cast<long>(r.rows.size());
        r.eof = true;
        r.bof = false;
        return;
    }
    Visit(r);
}

void Recordset::MovePrevious() {
    auto& r = *impl_;
    r.CheckUsable();
    r.EnsureLoaded();
    if (BOF()) RaiseEngine(3021);
    r.editMode = 0;
    if (r.eof) {
        r.pos = static_cast<long>(r.rows.size()) - 1;
    } else {
        --r.pos;
    }
    if (r.pos < 0) {
        r.pos = -1;
        r.bof = true;
        r.eof = false;
        return;
    }
    Visit(r);
}

long Recordset::RecordCount() const {
    impl_->CheckUsable();
    impl_->EnsureLoaded();
    if (impl_->type == dbOpenTable) return static_cast<long>(impl_->rows.size());
    return impl_->visited;
}

long Recordset::AbsolutePosition() const {
    impl_->CheckUsable();
    impl_->EnsureLoaded();
    return impl_->HasCurrent() ? impl_->pos : -1;
}

void Recordset::SetAbsolutePosition(long pos) {
    auto& r = *impl_;
    r.CheckUsable();
    r.EnsureLoaded();
    if (pos < 0 || pos >= static_cast<long>(r.rows.size())) RaiseEngine(3001);
    r.pos = pos;
    Visit(r);
}

void Recordset::AddNew() {
    auto& r = *impl_;
    r.CheckUsable();
    if (!r.updatable || r.db->readOnly) RaiseEngine(3027);
    r.buffer.assign(r.cols.size(), vb::Variant(vb::Null));
    for (std::size_t i = 0; i < r.cols.size(); ++i)
        if (r.cols[i].type == JetType::Boolean) r.buffer[i] = vb::Variant(false);
    r.dirty.assign(r.cols.size(), false);
    r.editMode = 2;
}

void Recordset::Edit() {
    auto& r = *impl_;
    r.CheckUsable();
    if (!r.updatable || r.db->readOnly) RaiseEngine(3027);
    r.EnsureLoaded();
    if (!r.HasCurrent()) RaiseEngine(3021);
    r.buffer = r.rows[static_cast<std::size_t>(r.pos)];
    r.dirty.assign(r.cols.size(), false);
    r.editMode = 1;
}

void Recordset::Update() {
    using detail::QuoteIdent;
    auto& r = *impl_;
    r.CheckUsable();
    if (r.editMode == 0) RaiseEngine(3020);
    sqlite3* db = r.db->db;

    std::vector<std::size_t> changed;
    for (std::size_t i = 0; i < r.cols.size(); ++i)
        if (r.dirty[i]) changed.push_back(i);

    if (r.editMode == 1) {
        if (!changed.empty()) {
            std::string sql = "UPDATE " + QuoteIdent(r.baseTable) + " SET ";
            for (std::size_t k = 0; k < changed.size(); ++k)
                sql += (k ? ", " : "") + QuoteIdent(r.cols[changed[k]].baseColumn) + " = ?";
            sql += " WHERE rowid = ?";
            sqlite3_stmt* st = r.db->Own(sql, StatementKind::Update);
            for (std::size_t k = 0; k < changed.size(); ++k)
                detail::BindVariant(st, static_cast<int>(k + 1), r.buffer[changed[k]],
                                    r.cols[changed[k]].type);
            sqlite3_bind_int64(st, static_cast<int>(changed.size() + 1),
                               r.rowids[static_cast<std::size_t>(r.pos)]);
            int rc = sqlite3_step(st);
            sqlite3_reset(st);
            if (rc != SQLITE_DONE)
                RaiseSqlite(db, rc, sql, static_cast<int>(StatementKind::Update));
            if (sqlite3_changes(db) == 0) RaiseEngine(3167);
        }
        r.rows[static_cast<std::size_t>(r.pos)] = r.buffer;
        r.editMode = 0;
        return;
    }

    // AddNew: insert the assigned fields; the table supplies the rest.
    std::string sql = "INSERT INTO " + QuoteIdent(r.baseTable);
    if (changed.empty()) {
        sql += " DEFAULT VALUES";
    } else {
        std::string names, marks;
        for (std::size_t k = 0; k < changed.size(); ++k) {
            names += (k ? ", " : "") + QuoteIdent(r.cols[changed[k]].baseColumn);
            marks += k ? ", ?" : "?";
        }
        sql += " (" + names + ") VALUES (" + marks + ")";
    }
    sqlite3_stmt* st = r.db->Own(sql, StatementKind::Insert);
    for (std::size_t k = 0; k < changed.size(); ++k)
        detail::BindVariant(st, static_cast<int>(k + 1), r.buffer[changed[k]],
                            r.cols[changed[k]].type);
    int rc = sqlite3_step(st);
    sqlite3_reset(st);
    if (rc != SQLITE_DONE) RaiseSqlite(db, rc, sql, static_cast<int>(StatementKind::Insert));
    const sqlite3_int64 rowid = sqlite3_last_insert_rowid(db);

    // Read the new row back, so defaults and counters show.
    std::vector<vb::Variant> row(r.cols.size(), vb::Variant(vb::Null));
    std::string sel;
    std::vector<std::size_t> base;
    for (std::size_t i = 0; i < r.cols.size(); ++i) {
        if (r.cols[i].baseColumn.empty()) continue;
        sel += (base.empty() ? "" : ", ") + QuoteIdent(r.cols[i].baseColumn);
        base.push_back(i);
    }
    if (!base.empty()) {
        std::string q = "SELECT " + sel + " FROM " + QuoteIdent(r.baseTable) + " WHERE rowid = ?";
        sqlite3_stmt* rs = r.db->Own(q, StatementKind::Select);
        sqlite3_bind_int64(rs, 1, rowid);
        if (sqlite3_step(rs) == SQLITE_ROW) {
            for (std::size_t k = 0; k < base.size(); ++k)
                row[base[k]] = detail::ColumnValue(rs, static_cast<int>(k), r.cols[base[k]].type,
                                                   r.cols[base[k]].typed);
        }
        sqlite3_reset(rs);
    }
    r.editMode = 0;
    if (!r.loaded) return;  // the row comes with the others when they are read
    r.rows.push_back(std::move(row));
    r.rowids.push_back(rowid);
    ++r.visited;
}

void Recordset::CancelUpdate() {
    impl_->CheckUsable();
    if (impl_->editMode == 0) RaiseEngine(3020);
    impl_->editMode = 0;
}

int Recordset::EditMode() const {
    return impl_->editMode;
}

int Recordset::FieldCount() const {
    return static_cast<int>(fields_.size());
}

Field& Recordset::Fields(int index) {
    impl_->CheckUsable();
    if (index < 0 || index >= static_cast<int>(fields_.size())) RaiseEngine(3265);
    return fields_[static_cast<std::size_t>(index)];
}

Field& Recordset::Fields(std::string_view name) {
    impl_->CheckUsable();
    for (Field& f : fields_)
        if (vb::CompareText(f.name_, name) == 0) return f;
    RaiseEngine(3265);
}

std::vector<vb::Variant> Recordset::CurrentRow() const {
    auto& r = *impl_;
    r.CheckUsable();
    if (r.editMode != 0) return r.buffer;
    r.EnsureLoaded();
    if (!r.HasCurrent()) RaiseEngine(3021);
    return r.rows[static_cast<std::size_t>(r.pos)];
}

void Recordset::Requery() {
    impl_->CheckUsable();
    impl_->Load();
    // Computed columns may now hold values of another type.
    for (std::size_t i = 0; i < fields_.size() && i < impl_->cols.size(); ++i) {
        fields_[i].type_ = detail::DaoType(impl_->cols[i].type);
        fields_[i].size_ = impl_->cols[i].type == JetType::Text ? impl_->cols[i].size : 0;
    }
}

void Recordset::Close() {
    impl_->closed = true;
    impl_->rows.clear();
    impl_->rowids.clear();
    impl_->buffer.clear();
}

// --- Database::OpenRecordset -------------------------------------------------

std::unique_ptr<Recordset> Database::OpenRecordset(std::string_view source, int type, int options) {
    impl_->CheckOpen();
    std::string_view s = source;
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == ';'))
        s.remove_suffix(1);

    auto r = std::make_unique<Recordset::Impl>();
    r->db = impl_.get();
    r->alive = impl_->alive;

    const bool looksLikeName = s.find_first_of(" \t\r\n(") == std::string_view::npos;
    std::string table;
    if (looksLikeName) {
        std::string name(s);
        if (name.size() > 2 && name.front() == '[' && name.back() == ']')
            name = name.substr(1, name.size() - 2);
        table = impl_->FindTable(name);
        if (table.empty()) RaiseEngine(3078, name);
        if (type == dbOpenDefault) type = dbOpenTable;
        r->source = "SELECT * FROM [" + table + "]";
    } else {
        if (type == dbOpenTable) RaiseEngine(3219);
        if (type == dbOpenDefault) type = dbOpenDynaset;
        r->source = std::string(s);
    }
    if (type == dbOpenForwardOnly) type = dbOpenSnapshot;
    r->type = type;

    auto& cached = impl_->Lookup(r->source);
    if (cached.tr->kind != StatementKind::Select) RaiseEngine(3219);
    r->baseTable = cached.tr->baseTable;
    r->updatable = (type == dbOpenTable || type == dbOpenDynaset) && !r->baseTable.empty() &&
                   (options & dbReadOnly) == 0;
    r->withRowid = r->updatable;
    r->Load();
    return std::unique_ptr<Recordset>(new Recordset(std::move(r)));
}

}  // namespace jet
