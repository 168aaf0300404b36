// Jet SQL as the programs write it, rewritten for SQLite. The text is cut into
// tokens and nested parenthesis groups; the rewrites work on that tree so
// that operators, names and literals are recognised without regard to the
// blanks around them and never inside string literals.
#include "jet/sql_translate.h"

#include <unordered_map>
#include <unordered_set>

#include "jet/database.h"
#include "jet/engine_errors.h"
#include "vb/ascii.h"

namespace jet::detail {

namespace {

enum class T { Space, Word, Bracket, String, Number, Op };

struct Tok {
    T t = T::Space;
    std::string s;         // Word/Number/Op: text; Bracket: the name; String: the value
    bool collate = false;  // String: compare with the engine's text collation
};

struct Node {
    Tok tok;
    bool group = false;  // '(' kids ')'
    std::vector<Node> kids;
};

std::string Upper(std::string_view s) {
    return vb::MayusculasAscii(s);
}

bool IdentStart(unsigned char c) {
    return vb::EsLetraAscii(c) || c == '_' || c >= 0x80;
}
bool IdentChar(unsigned char c) {
    return vb::EsAlfanumericoAscii(c) || c == '_' || c == '$' || c >= 0x80;
}

// Parentheses nest this deep at most: the rewrites walk the groups
// recursively, and no statement of the programs comes near it.
constexpr int kMaxNesting = 200;

// `malformed` is set for an unclosed string, bracket or parenthesis: Jet
// refuses such text, and closing it silently would run another statement.
std::vector<Tok> Tokenize(std::string_view in, bool& malformed) {
    std::vector<Tok> out;
    int depth = 0;
    std::size_t i = 0;
    const std::size_t n = in.size();
    while (i < n) {
        const unsigned char c = static_cast<unsigned char>(in[i]);
        Tok t;
        if (vb::EsEspacioAscii(c)) {
            while (i < n && vb::EsEspacioAscii(static_cast<unsigned char>(in[i]))) ++i;
            t.t = T::Space;
            t.s = " ";
        } else if (c == '[') {
            std::size_t j = in.find(']', i + 1);
            if (j == std::string_view::npos) {
                j = n;
                malformed = true;
            }
            t.t = T::Bracket;
            t.s = std::string(in.substr(i + 1, j - i - 1));
            i = j < n ? j + 1 : n;
        } else if (c == '\'' || c == '"') {
            // Jet reads both quote characters as string delimiters; a doubled
            // delimiter inside stands for one.
            const char q = static_cast<char>(c);
            std::size_t j = i + 1;
            std::string v;
            while (j < n) {
                if (in[j] == q) {
                    if (j + 1 < n && in[j + 1] == q) {
                        v += q;
                        j += 2;
                        continue;
                    }
                    break;
                }
                v += in[j++];
            }
            if (j >= n) malformed = true;
            t.t = T::String;
            t.s = std::move(v);
            i = j < n ? j + 1 : n;
        } else if (vb::EsDigitoAscii(c) ||
                   (c == '.' && i + 1 < n && vb::EsDigitoAscii(static_cast<unsigned char>(in[i + 1])))) {
            std::size_t j = i;
            while (j < n && vb::EsDigitoAscii(static_cast<unsigned char>(in[j]))) ++j;
            if (j < n && in[j] == '.') {
                ++j;
                while (j < n && vb::EsDigitoAscii(static_cast<unsigned char>(in[j]))) ++j;
            }
            if (j < n && (in[j] == 'e' || in[j] == 'E')) {
                std::size_t k = j + 1;
                if (k < n && (in[k] == '+' || in[k] == '-')) ++k;
                if (k < n && vb::EsDigitoAscii(static_cast<unsigned char>(in[k]))) {
                    j = k;
                    while (j < n && vb::EsDigitoAscii(static_cast<unsigned char>(in[j]))) ++j;
                }
            }
            t.t = T::Number;
            t.s = std::string(in.substr(i, j - i));
            i = j;
        } else if (IdentStart(c)) {
            std::size_t j = i;
            while (j < n && IdentChar(static_cast<unsigned char>(in[j]))) ++j;
            t.t = T::Word;
            t.s = std::string(in.substr(i, j - i));
            i = j;
        } else {
            static const char* kTwo[] = {"<>", "<=", ">=", "!=", "||", "=="};
            t.t = T::Op;
            t.s = std::string(1, static_cast<char>(c));
            for (const char* two : kTwo) {
                if (i + 1 < n && in[i] == two[0] && in[i + 1] == two[1]) {
                    t.s = two;
                    break;
                }
            }
            i += t.s.size();
            if (t.s == "(" && ++depth > kMaxNesting) RaiseEngine(3360);
            if (t.s == ")" && --depth < 0) malformed = true;
        }
        out.push_back(std::move(t));
    }
    if (depth != 0) malformed = true;
    return out;
}

std::vector<Node> Nest(const std::vector<Tok>& toks, std::size_t& i, bool inner) {
    std::vector<Node> out;
    while (i < toks.size()) {
        const Tok& t = toks[i];
        if (t.t == T::Op && t.s == "(") {
            ++i;
            Node g;
            g.group = true;
            g.kids = Nest(toks, i, true);
            out.push_back(std::move(g));
            continue;
        }
        if (t.t == T::Op && t.s == ")" && inner) {
            ++i;
            return out;
        }
        out.push_back(Node{t, false, {}});
        ++i;
    }
    return out;
}

bool WordLike(char c) {
    const auto u = static_cast<unsigned char>(c);
    return vb::EsAlfanumericoAscii(u) || u == '_' || u == '$' || u >= 0x80 || c == '\'' || c == '"';
}

void Append(std::string& out, std::string_view piece) {
    if (piece.empty()) return;
    if (!out.empty() && WordLike(out.back()) && WordLike(piece.front())) out += ' ';
    out += piece;
}

std::string StringLiteral(std::string_view v) {
    std::string r = "'";
    for (char c : v) {
        if (c == '\'') r += '\'';
        r += c;
    }
    r += '\'';
    return r;
}

void Emit(const std::vector<Node>& nodes, std::string& out) {
    for (const Node& n : nodes) {
        if (n.group) {
            Append(out, "(");
            Emit(n.kids, out);
            out += ')';
            continue;
        }
        switch (n.tok.t) {
            case T::Space:
                if (!out.empty() && out.back() != ' ' && out.back() != '(') out += ' ';
                break;
            case T::Bracket:
                Append(out, QuoteIdent(n.tok.s));
                break;
            case T::String:
                Append(out, StringLiteral(n.tok.s));
                if (n.tok.collate) out += " COLLATE JETTEXT";
                break;
            default:
                Append(out, n.tok.s);
                break;
        }
    }
}

std::string EmitAll(const std::vector<Node>& nodes) {
    std::string out;
    Emit(nodes, out);
    while (!out.empty() && (out.back() == ' ' || out.back() == ';')) out.pop_back();
    std::size_t start = 0;
    while (start < out.size() && out[start] == ' ') ++start;
    return out.substr(start);
}

bool IsWord(const Node& n, std::string_view upperWord) {
    return !n.group && n.tok.t == T::Word && Upper(n.tok.s) == upperWord;
}
bool IsOp(const Node& n, std::string_view op) {
    return !n.group && n.tok.t == T::Op && n.tok.s == op;
}
bool IsSpace(const Node& n) {
    return !n.group && n.tok.t == T::Space;
}
bool IsName(const Node& n) {
    return !n.group && (n.tok.t == T::Word || n.tok.t == T::Bracket);
}

// Index of the next node that is not a blank, or nodes.size().
std::size_t NextSolid(const std::vector<Node>& nodes, std::size_t i) {
    while (i < nodes.size() && IsSpace(nodes[i])) ++i;
    return i;
}

const std::unordered_map<std::string, std::string>& FunctionNames() {
    static const std::unordered_map<std::string, std::string> m = {
        {"MID", "jet_mid"},        {"MID$", "jet_mid"},     {"LEFT", "jet_left"},
        {"LEFT$", "jet_left"},     {"RIGHT", "jet_right"},  {"RIGHT$", "jet_right"},
        {"LEN", "jet_len"},        {"TRIM", "jet_trim"},    {"TRIM$", "jet_trim"},
        {"LTRIM", "jet_ltrim"},    {"LTRIM$", "jet_ltrim"}, {"RTRIM", "jet_rtrim"},
        {"RTRIM$", "jet_rtrim"},   {"UCASE", "jet_ucase"},  {"UCASE$", "jet_ucase"},
        {"LCASE", "jet_lcase"},    {"LCASE$", "jet_lcase"}, {"VAL", "jet_val"},
        {"CSTR", "jet_cstr"},      {"CINT", "jet_cint"},    {"CLNG", "jet_clng"},
        {"CDBL", "jet_cdbl"},      {"INT", "jet_int"},      {"FIX", "jet_fix"},
        {"IIF", "jet_iif"},        {"INSTR", "jet_instr"},  {"FORMAT", "jet_format"},
        {"FORMAT$", "jet_format"}, {"STR", "jet_str"},      {"STR$", "jet_str"},
    };
    return m;
}

bool ReturnsText(const std::string& fn) {
    static const std::unordered_set<std::string> text = {
        "jet_mid",   "jet_left",  "jet_right", "jet_trim",   "jet_ltrim", "jet_rtrim",
        "jet_ucase", "jet_lcase", "jet_cstr",  "jet_format", "jet_str",   "jet_cat"};
    return text.count(fn) > 0;
}

const std::vector<Node>& CollateNodes() {
    static const std::vector<Node> nodes = {Node{Tok{T::Space, " ", false}, false, {}},
                                            Node{Tok{T::Word, "COLLATE", false}, false, {}},
                                            Node{Tok{T::Space, " ", false}, false, {}},
                                            Node{Tok{T::Word, "JETTEXT", false}, false, {}}};
    return nodes;
}

// Words that end an operand of '&' (it binds more loosely than arithmetic and
// more tightly than comparison and logic).
bool IsConcatBoundary(const Node& n) {
    if (n.group) return false;
    if (n.tok.t == T::Op) {
        static const std::unordered_set<std::string> ops = {",",  "=",  "<>", "<",  ">",
                                                            "<=", ">=", "!=", "==", ";"};
        return ops.count(n.tok.s) > 0;
    }
    if (n.tok.t == T::Word) {
        static const std::unordered_set<std::string> words = {
            "AND",     "OR",     "NOT",    "XOR",      "EQV",   "IMP",   "LIKE",  "IS",    "IN",
            "BETWEEN", "AS",     "SELECT", "FROM",     "WHERE", "ORDER", "GROUP", "BY",    "HAVING",
            "SET",     "VALUES", "ON",     "JOIN",     "INNER", "LEFT",  "RIGHT", "OUTER", "INTO",
            "UPDATE",  "DELETE", "INSERT", "DISTINCT", "ASC",   "DESC",  "UNION", "ALL",   "CASE",
            "WHEN",    "THEN",   "ELSE",   "END",      "TOP",   "LIMIT"};
        return words.count(Upper(n.tok.s)) > 0;
    }
    return false;
}

void TrimSpaces(std::vector<Node>& v) {
    while (!v.empty() && IsSpace(v.back())) v.pop_back();
    std::size_t s = 0;
    while (s < v.size() && IsSpace(v[s])) ++s;
    v.erase(v.begin(), v.begin() + static_cast<long>(s));
}

// a & b & c  ->  jet_cat(a, b, c): text of each operand, Null taken as "".
void RewriteConcat(std::vector<Node>& nodes) {
    std::vector<Node> out;
    std::size_t i = 0;
    while (i < nodes.size()) {
        if (IsConcatBoundary(nodes[i])) {
            out.push_back(std::move(nodes[i++]));
            continue;
        }
        std::size_t j = i;
        bool hasAmp = false;
        while (j < nodes.size() && !IsConcatBoundary(nodes[j])) {
            if (IsOp(nodes[j], "&")) hasAmp = true;
            ++j;
        }
        if (!hasAmp) {
            for (std::size_t k = i; k < j; ++k) out.push_back(std::move(nodes[k]));
            i = j;
            continue;
        }
        std::vector<std::vector<Node>> operands(1);
        for (std::size_t k = i; k < j; ++k) {
            if (IsOp(nodes[k], "&")) {
                operands.emplace_back();
            } else {
                operands.back().push_back(std::move(nodes[k]));
            }
        }
        bool leadingSpace = IsSpace(operands.front().empty() ? Node{} : operands.front().front());
        bool trailingSpace = !operands.back().empty() && IsSpace(operands.back().back());
        Node call;
        call.tok = Tok{T::Word, "jet_cat", false};
        Node args;
        args.group = true;
        for (std::size_t k = 0; k < operands.size(); ++k) {
            TrimSpaces(operands[k]);
            if (k > 0) args.kids.push_back(Node{Tok{T::Op, ",", false}, false, {}});
            for (auto& o : operands[k]) args.kids.push_back(std::move(o));
        }
        if (leadingSpace) out.push_back(Node{Tok{T::Space, " ", false}, false, {}});
        out.push_back(std::move(call));
        out.push_back(std::move(args));
        out.insert(out.end(), CollateNodes().begin(), CollateNodes().end());
        if (trailingSpace) out.push_back(Node{Tok{T::Space, " ", false}, false, {}});
        i = j;
    }
    nodes = std::move(out);
}

void RewriteExpressions(std::vector<Node>& nodes, bool collateStrings) {
    for (Node& n : nodes)
        if (n.group) RewriteExpressions(n.kids, collateStrings);
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        Node& n = nodes[i];
        if (n.group) continue;
        if (n.tok.t == T::String) {
            n.tok.collate = collateStrings;
            continue;
        }
        if (n.tok.t != T::Word) continue;
        const bool afterDot = i > 0 && IsOp(nodes[i - 1], ".");
        const std::size_t next = NextSolid(nodes, i + 1);
        const bool call = next < nodes.size() && nodes[next].group;
        const std::string up = Upper(n.tok.s);
        if (call && !afterDot) {
            auto it = FunctionNames().find(up);
            if (it != FunctionNames().end()) {
                n.tok.s = it->second;
                if (ReturnsText(it->second)) {
                    // Text made by a function compares as stored text does.
                    nodes.insert(nodes.begin() + static_cast<long>(next) + 1,
                                 CollateNodes().begin(), CollateNodes().end());
                }
            }
        } else if (!afterDot && !(next < nodes.size() && IsOp(nodes[next], "."))) {
            if (up == "TRUE")
                n.tok = Tok{T::Number, "-1", false};
            else if (up == "FALSE")
                n.tok = Tok{T::Number, "0", false};
        }
    }
    RewriteConcat(nodes);
}

std::vector<Node> Solid(const std::vector<Node>& nodes) {
    std::vector<Node> r;
    for (const Node& n : nodes)
        if (!IsSpace(n)) r.push_back(n);
    return r;
}

std::string NameOf(const Node& n) {
    return n.tok.s;
}

[[noreturn]] void DdlError(StatementKind k) {
    RaiseEngine(k == StatementKind::CreateTable ? 3290 : 3293);
}

// Names in a parenthesised list: (a, [b] DESC, ...). Sort words are kept in `order`.
std::vector<std::string> NameList(const Node& group, StatementKind k,
                                  std::vector<std::string>* order = nullptr) {
    std::vector<std::string> names;
    if (!group.group) DdlError(k);
    auto items = Solid(group.kids);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (IsOp(items[i], ",")) continue;
        if (!IsName(items[i])) DdlError(k);
        names.push_back(NameOf(items[i]));
        std::string sort;
        if (i + 1 < items.size() && (IsWord(items[i + 1], "ASC") || IsWord(items[i + 1], "DESC"))) {
            sort = Upper(items[i + 1].tok.s);
            ++i;
        }
        if (order) order->push_back(sort);
    }
    if (names.empty()) DdlError(k);
    return names;
}

std::string QuotedList(const std::vector<std::string>& names,
                       const std::vector<std::string>* order = nullptr) {
    std::string r = "(";
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i) r += ", ";
        r += QuoteIdent(names[i]);
        if (order && i < order->size() && !(*order)[i].empty()) r += " " + (*order)[i];
    }
    return r + ")";
}

// One column definition: name type [(n)] [NOT NULL] [DEFAULT v] [PRIMARY KEY]
// [UNIQUE] [CONSTRAINT x PRIMARY KEY | UNIQUE] [WITH COMPRESSION].
struct ParsedColumn {
    ColumnDef def;
    bool notNull = false;
    bool primaryKey = false;
    bool unique = false;
    std::string constraintName;
};

ParsedColumn ParseColumn(const std::vector<Node>& items, StatementKind k) {
    ParsedColumn pc;
    if (items.size() < 2 || !IsName(items[0]) || items[1].group || items[1].tok.t != T::Word)
        DdlError(k);
    pc.def.name = NameOf(items[0]);
    auto type = JetTypeFromDdl(items[1].tok.s);
    if (!type) RaiseEngine(3292);
    pc.def.type = *type;
    pc.def.size = IsTextType(*type) && *type == JetType::Text ? 255 : 0;
    std::size_t i = 2;
    if (i < items.size() && items[i].group) {
        auto inner = Solid(items[i].kids);
        if (inner.empty() || inner[0].tok.t != T::Number) RaiseEngine(3292);
        if (*type == JetType::Text) {
            pc.def.size = std::atoi(inner[0].tok.s.c_str());
            if (pc.def.size < 1 || pc.def.size > 255) RaiseEngine(3292);
        }
        ++i;
    }
    while (i < items.size()) {
        if (IsWord(items[i], "NOT") && i + 1 < items.size() && IsWord(items[i + 1], "NULL")) {
            pc.notNull = true;
            i += 2;
        } else if (IsWord(items[i], "NULL")) {
            ++i;
        } else if (IsWord(items[i], "PRIMARY") && i + 1 < items.size() &&
                   IsWord(items[i + 1], "KEY")) {
            pc.primaryKey = true;
            i += 2;
        } else if (IsWord(items[i], "UNIQUE")) {
            pc.unique = true;
            ++i;
        } else if (IsWord(items[i], "CONSTRAINT") && i + 1 < items.size() && IsName(items[i + 1])) {
            pc.constraintName = NameOf(items[i + 1]);
            i += 2;
        } else if (IsWord(items[i], "DEFAULT") && i + 1 < items.size()) {
            std::vector<Node> v;
            std::size_t j = i + 1;
            if (IsOp(items[j], "-") && j + 1 < items.size()) v.push_back(items[j++]);
            v.push_back(items[j]);
            RewriteExpressions(v, false);
            std::string s;
            Emit(v, s);
            pc.def.defaultSql = s;
            i = j + 1;
        } else if (IsWord(items[i], "WITH") && i + 1 < items.size()) {
            i += 2;  // WITH COMPRESSION / WITH COMP: no meaning here
        } else {
            RaiseEngine(3292);
        }
    }
    return pc;
}

std::shared_ptr<Translation> TranslateCreateTable(const std::vector<Node>& solid) {
    auto tr = std::make_shared<Translation>();
    tr->kind = StatementKind::CreateTable;
    // CREATE TABLE name ( ... )
    if (solid.size() < 4 || !IsName(solid[2]) || !solid[3].group) DdlError(tr->kind);
    for (std::size_t i = 4; i < solid.size(); ++i)
        if (!IsOp(solid[i], ";")) DdlError(tr->kind);
    tr->table = NameOf(solid[2]);

    std::vector<std::vector<Node>> defs(1);
    for (const Node& n : solid[3].kids) {
        if (IsOp(n, ",")) {
            defs.emplace_back();
        } else if (!IsSpace(n)) {
            defs.back().push_back(n);
        }
    }
    std::vector<std::string> extra;  // table constraints as SQL
    std::vector<ParsedColumn> cols;
    for (auto& d : defs) {
        if (d.empty()) DdlError(tr->kind);
        std::string constraintName;
        std::size_t i = 0;
        if (IsWord(d[0], "CONSTRAINT")) {
            if (d.size() < 2 || !IsName(d[1])) DdlError(tr->kind);
            constraintName = NameOf(d[1]);
            i = 2;
        }
        if (i < d.size() && IsWord(d[i], "PRIMARY")) {
            if (i + 2 >= d.size() || !IsWord(d[i + 1], "KEY")) DdlError(tr->kind);
            if (!tr->keyColumns.empty()) RaiseEngine(3283);
            tr->keyColumns = NameList(d[i + 2], tr->kind);
            tr->constraintName = constraintName.empty() ? "PrimaryKey" : constraintName;
            continue;
        }
        if (i < d.size() && IsWord(d[i], "UNIQUE")) {
            if (i + 1 >= d.size()) DdlError(tr->kind);
            auto names = NameList(d[i + 1], tr->kind);
            extra.push_back(
                (constraintName.empty() ? "" : "CONSTRAINT " + QuoteIdent(constraintName) + " ") +
                "UNIQUE " + QuotedList(names));
            continue;
        }
        if (i > 0) DdlError(tr->kind);
        ParsedColumn pc = ParseColumn(d, tr->kind);
        if (pc.primaryKey) {
            if (!tr->keyColumns.empty()) RaiseEngine(3283);
            tr->keyColumns = {pc.def.name};
            tr->constraintName = pc.constraintName.empty() ? "PrimaryKey" : pc.constraintName;
        }
        if (pc.unique) {
            extra.push_back((pc.constraintName.empty()
                                 ? ""
                                 : "CONSTRAINT " + QuoteIdent(pc.constraintName) + " ") +
                            "UNIQUE (" + QuoteIdent(pc.def.name) + ")");
        }
        cols.push_back(std::move(pc));
    }
    if (cols.empty()) DdlError(tr->kind);

    std::string sql = "CREATE TABLE " + QuoteIdent(tr->table) + " (";
    for (std::size_t k = 0; k < cols.size(); ++k) {
        bool key = false;
        for (const auto& kc : tr->keyColumns)
            if (Upper(kc) == Upper(cols[k].def.name)) key = true;
        if (k) sql += ", ";
        sql += ColumnSql(cols[k].def, cols[k].notNull || key);
        tr->columns.push_back(cols[k].def);
    }
    if (!tr->keyColumns.empty())
        sql += ", CONSTRAINT " + QuoteIdent(tr->constraintName) + " PRIMARY KEY " +
               QuotedList(tr->keyColumns);
    for (const auto& e : extra) sql += ", " + e;
    sql += ")";
    tr->sql = std::move(sql);
    return tr;
}

std::shared_ptr<Translation> TranslateAlter(const std::vector<Node>& solid) {
    auto tr = std::make_shared<Translation>();
    tr->kind = StatementKind::AlterAddColumn;
    // ALTER TABLE name ADD|DROP ...
    if (solid.size() < 5 || !IsWord(solid[1], "TABLE") || !IsName(solid[2])) DdlError(tr->kind);
    tr->table = NameOf(solid[2]);
    std::vector<Node> rest;
    for (std::size_t i = 4; i < solid.size(); ++i)
        if (!IsOp(solid[i], ";")) rest.push_back(solid[i]);
    if (IsWord(solid[3], "ADD")) {
        if (!rest.empty() && IsWord(rest[0], "CONSTRAINT")) {
            if (rest.size() < 3 || !IsName(rest[1])) DdlError(tr->kind);
            tr->constraintName = NameOf(rest[1]);
            if (IsWord(rest[2], "PRIMARY") && rest.size() == 5 && IsWord(rest[3], "KEY")) {
                tr->kind = StatementKind::AlterAddPrimaryKey;
                tr->keyColumns = NameList(rest[4], tr->kind);
                tr->sql = "-- rebuild " + QuoteIdent(tr->table) + " with PRIMARY KEY " +
                          QuotedList(tr->keyColumns);
                return tr;
            }
            if (IsWord(rest[2], "UNIQUE") && rest.size() == 4) {
                tr->kind = StatementKind::AlterAddUnique;
                tr->keyColumns = NameList(rest[3], tr->kind);
                tr->uniqueIndex = true;
                tr->sql = "CREATE UNIQUE INDEX " + QuoteIdent(tr->constraintName) + " ON " +
                          QuoteIdent(tr->table) + " " + QuotedList(tr->keyColumns);
                return tr;
            }
            DdlError(tr->kind);
        }
        if (!rest.empty() && IsWord(rest[0], "COLUMN")) rest.erase(rest.begin());
        ParsedColumn pc = ParseColumn(rest, tr->kind);
        if (pc.primaryKey || pc.unique) DdlError(tr->kind);
        tr->columns.push_back(pc.def);
        tr->sql =
            "ALTER TABLE " + QuoteIdent(tr->table) + " ADD COLUMN " + ColumnSql(pc.def, false);
        return tr;
    }
    if (IsWord(solid[3], "DROP")) {
        if (!rest.empty() && IsWord(rest[0], "COLUMN")) rest.erase(rest.begin());
        if (rest.size() != 1 || !IsName(rest[0])) DdlError(tr->kind);
        tr->kind = StatementKind::AlterDropColumn;
        tr->sql =
            "ALTER TABLE " + QuoteIdent(tr->table) + " DROP COLUMN " + QuoteIdent(NameOf(rest[0]));
        return tr;
    }
    DdlError(tr->kind);
}

std::shared_ptr<Translation> TranslateCreateIndex(const std::vector<Node>& solid) {
    auto tr = std::make_shared<Translation>();
    tr->kind = StatementKind::CreateIndex;
    std::size_t i = 1;
    if (i < solid.size() && IsWord(solid[i], "UNIQUE")) {
        tr->uniqueIndex = true;
        ++i;
    }
    // INDEX name ON table (cols) [WITH ...]
    if (i + 4 > solid.size() || !IsWord(solid[i], "INDEX") || !IsName(solid[i + 1]) ||
        !IsWord(solid[i + 2], "ON") || !IsName(solid[i + 3]) || i + 4 >= solid.size())
        RaiseEngine(3129);
    tr->constraintName = NameOf(solid[i + 1]);
    tr->table = NameOf(solid[i + 3]);
    std::vector<std::string> order;
    tr->keyColumns = NameList(solid[i + 4], tr->kind, &order);
    tr->sql = std::string("CREATE ") + (tr->uniqueIndex ? "UNIQUE " : "") + "INDEX " +
              QuoteIdent(tr->constraintName) + " ON " + QuoteIdent(tr->table) + " " +
              QuotedList(tr->keyColumns, &order);
    return tr;
}

// Single-table SELECT without grouping: its rows can be written back by rowid.
void FindBaseTable(const std::vector<Node>& nodes, Translation& tr) {
    std::size_t sel = NextSolid(nodes, 0);
    if (sel >= nodes.size() || !IsWord(nodes[sel], "SELECT")) return;
    std::size_t from = nodes.size();
    for (std::size_t i = sel + 1; i < nodes.size(); ++i) {
        if (IsWord(nodes[i], "FROM")) {
            from = i;
            break;
        }
    }
    if (from == nodes.size()) return;
    static const std::unordered_set<std::string> aggregates = {
        "COUNT", "SUM", "AVG", "MIN", "MAX", "FIRST", "LAST", "STDEV", "STDEVP", "VAR", "VARP"};
    for (std::size_t i = sel + 1; i < from; ++i) {
        if (IsWord(nodes[i], "DISTINCT") || IsWord(nodes[i], "DISTINCTROW") ||
            IsWord(nodes[i], "TOP"))
            return;
        if (!nodes[i].group && nodes[i].tok.t == T::Word &&
            aggregates.count(Upper(nodes[i].tok.s))) {
            std::size_t nx = NextSolid(nodes, i + 1);
            if (nx < nodes.size() && nodes[nx].group) return;
        }
    }
    std::vector<const Node*> source;
    for (std::size_t i = from + 1; i < nodes.size(); ++i) {
        if (IsWord(nodes[i], "WHERE") || IsWord(nodes[i], "ORDER")) break;
        if (IsWord(nodes[i], "GROUP") || IsWord(nodes[i], "HAVING") || IsWord(nodes[i], "UNION"))
            return;
        if (!IsSpace(nodes[i])) source.push_back(&nodes[i]);
    }
    for (const Node& n : nodes)
        if (IsWord(n, "GROUP") || IsWord(n, "HAVING") || IsWord(n, "UNION")) return;
    std::string table, alias;
    if (source.size() == 1 && IsName(*source[0])) {
        table = alias = source[0]->tok.s;
    } else if (source.size() == 2 && IsName(*source[0]) && IsName(*source[1])) {
        table = source[0]->tok.s;
        alias = source[1]->tok.s;
    } else if (source.size() == 3 && IsName(*source[0]) && IsWord(*source[1], "AS") &&
               IsName(*source[2])) {
        table = source[0]->tok.s;
        alias = source[2]->tok.s;
    } else {
        return;
    }
    tr.baseTable = table;
    std::vector<Node> rest(nodes.begin() + static_cast<long>(sel) + 1, nodes.end());
    tr.sqlWithRowid = "SELECT " + QuoteIdent(alias) + ".rowid AS __jet_rowid, " + EmitAll(rest);
}

}  // namespace

std::string QuoteIdent(std::string_view name) {
    std::string r = "\"";
    for (char c : name) {
        if (c == '"') r += '"';
        r += c;
    }
    return r + "\"";
}

std::string ColumnSql(const ColumnDef& c, bool notNull) {
    const std::string q = QuoteIdent(c.name);
    std::string s = q + " " + DeclaredType(c.type, c.size);
    // A counter is filled in by its trigger just after the row goes in, so it
    // must accept the Null it arrives with.
    if (notNull && c.type != JetType::Counter) s += " NOT NULL";
    if (!c.defaultSql.empty()) {
        s += " DEFAULT " + c.defaultSql;
    } else if (c.type == JetType::Boolean) {
        s += " DEFAULT 0";  // Yes/No fields hold -1 or 0, never Null
    }
    if (IsTextType(c.type)) s += " COLLATE JETTEXT";
    std::string bare = c.name;
    if (c.type == JetType::Text)
        s += " CONSTRAINT " + QuoteIdent("jetsize_" + bare) + " CHECK (length(" + q +
             ") <= " + std::to_string(c.size) + ")";
    std::int64_t lo, hi;
    if (RangeOf(c.type, lo, hi))
        s += " CONSTRAINT " + QuoteIdent("jetrange_" + bare) + " CHECK (" + q + " BETWEEN " +
             std::to_string(lo) + " AND " + std::to_string(hi) + ")";
    return s;
}

std::shared_ptr<const Translation> Translate(std::string_view jetSql) {
    bool malformed = false;
    std::vector<Tok> toks = Tokenize(jetSql, malformed);
    std::size_t pos = 0;
    std::vector<Node> nodes = Nest(toks, pos, false);
    std::vector<Node> solid = Solid(nodes);
    if (solid.empty()) RaiseEngine(3129);
    const std::string first = solid[0].group ? std::string() : Upper(solid[0].tok.s);
    if (malformed) {
        if (first == "CREATE") RaiseEngine(3290);
        if (first == "ALTER") RaiseEngine(3293);
        if (first == "INSERT") RaiseEngine(3134);
        if (first == "UPDATE") RaiseEngine(3144);
        RaiseEngine(3075, jetSql);
    }

    if (first == "CREATE") {
        if (solid.size() > 1 && IsWord(solid[1], "TABLE")) return TranslateCreateTable(solid);
        return TranslateCreateIndex(solid);
    }
    if (first == "ALTER") return TranslateAlter(solid);
    if (first == "DROP") {
        auto tr = std::make_shared<Translation>();
        if (solid.size() >= 3 && IsWord(solid[1], "TABLE") && IsName(solid[2])) {
            tr->kind = StatementKind::DropTable;
            tr->table = NameOf(solid[2]);
            tr->sql = "DROP TABLE " + QuoteIdent(tr->table);
            return tr;
        }
        if (solid.size() >= 3 && IsWord(solid[1], "INDEX") && IsName(solid[2])) {
            tr->kind = StatementKind::DropIndex;
            tr->constraintName = NameOf(solid[2]);
            tr->sql = "DROP INDEX " + QuoteIdent(tr->constraintName);
            return tr;
        }
        RaiseEngine(3129);
    }

    auto tr = std::make_shared<Translation>();
    if (first == "SELECT")
        tr->kind = StatementKind::Select;
    else if (first == "INSERT")
        tr->kind = StatementKind::Insert;
    else if (first == "UPDATE")
        tr->kind = StatementKind::Update;
    else if (first == "DELETE")
        tr->kind = StatementKind::Delete;
    else
        tr->kind = StatementKind::Other;

    if (tr->kind == StatementKind::Delete) {
        // DELETE * FROM t, DELETE t.* FROM t: Jet names what it deletes.
        std::size_t d = NextSolid(nodes, 0);
        std::size_t f = d + 1;
        while (f < nodes.size() && !IsWord(nodes[f], "FROM")) ++f;
        if (f < nodes.size())
            nodes.erase(nodes.begin() + static_cast<long>(d) + 1,
                        nodes.begin() + static_cast<long>(f));
        nodes.insert(nodes.begin() + static_cast<long>(d) + 1,
                     Node{Tok{T::Space, " ", false}, false, {}});
    }

    RewriteExpressions(nodes, tr->kind != StatementKind::Other);
    tr->sql = EmitAll(nodes);
    if (tr->kind == StatementKind::Insert || tr->kind == StatementKind::Update) {
        // The text starts with the statement's first word, as written.
        const std::size_t at = first.size();
        tr->sqlIgnore = tr->sql.substr(0, at) + " OR IGNORE" + tr->sql.substr(at);
    }
    if (tr->kind == StatementKind::Select) FindBaseTable(nodes, *tr);
    return tr;
}

}  // namespace jet::detail

namespace jet {

std::string TranslateSql(std::string_view jetSql) {
    return detail::Translate(jetSql)->sql;
}

std::string Q(std::string_view text) {
    std::string r;
    r.reserve(text.size());
    for (char c : text) {
        if (c == '\'') r += '\'';
        r += c;
    }
    return r;
}

}  // namespace jet
