#include "jet/sql_functions.h"

#include <sqlite3.h>

#include <string>

#include "jet/engine_errors.h"
#include "vb/error.h"
#include "vb/numeric.h"
#include "vb/strings.h"

namespace jet::detail {

namespace {

using Fn = void (*)(sqlite3_context*, int, sqlite3_value**);

void ResultText(sqlite3_context* ctx, const std::string& s) {
    sqlite3_result_text(ctx, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
}

// Runs a function body; a run-time error becomes the statement's failure with
// its number kept.
template <class F>
void Guard(sqlite3_context* ctx, F&& body) {
    try {
        body();
    } catch (const vb::VbError& e) {
        std::string m =
            std::string(kFunctionErrorTag) + std::to_string(e.Number()) + " " + e.Description();
        sqlite3_result_error(ctx, m.c_str(), -1);
    } catch (const std::exception& e) {
        sqlite3_result_error(ctx, e.what(), -1);
    }
}

bool AnyNull(int argc, sqlite3_value** argv) {
    for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return true;
    return false;
}

std::string Text(sqlite3_value* v) {
    return vb::CStr(ValueToVariant(v));
}
long Whole(sqlite3_value* v) {
    return vb::CLng(ValueToVariant(v));
}

void Cat(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    Guard(ctx, [&] {
        bool allNull = true;
        std::string r;
        for (int i = 0; i < argc; ++i) {
            if (sqlite3_value_type(argv[i]) == SQLITE_NULL) continue;
            allNull = false;
            r += vb::ToText(ValueToVariant(argv[i]));
        }
        if (allNull)
            sqlite3_result_null(ctx);
        else
            ResultText(ctx, r);
    });
}

void Mid(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    Guard(ctx, [&] {
        if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
        if (argc == 2)
            ResultText(ctx, vb::Mid(Text(argv[0]), Whole(argv[1])));
        else
            ResultText(ctx, vb::Mid(Text(argv[0]), Whole(argv[1]), Whole(argv[2])));
    });
}

void Left(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    Guard(ctx, [&] {
        if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
        ResultText(ctx, vb::Left(Text(argv[0]), Whole(argv[1])));
    });
}

void Right(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    Guard(ctx, [&] {
        if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
        ResultText(ctx, vb::Right(Text(argv[0]), Whole(argv[1])));
    });
}

void Len(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    Guard(ctx, [&] {
        if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
        sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(vb::Len(Text(argv[0]))));
    });
}

template <std::string (*F)(std::string_view)>
void TextFn(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    Guard(ctx, [&] {
        if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
        ResultText(ctx, F(Text(argv[0])));
    });
}

std::string TrimF(std::string_view s) {
    return vb::Trim(s);
}
std::string LTrimF(std::string_view s) {
    return vb::LTrim(s);
}
std::string RTrimF(std::string_view s) {
    return vb::RTrim(s);
}
std::string UCaseF(std::string_view s) {
    return vb::UCase(s);
}
std::string LCaseF(std::string_view s) {
    return vb::LCase(s);
}

void Val(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    Guard(ctx, [&] {
        if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
        sqlite3_result_double(ctx, vb::Val(Text(argv[0])));
    });
}

void CStrF(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    Guard(ctx, [&] {
        if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
        ResultText(ctx, Text(argv[0]));
    });
}

void CIntF(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    Guard(ctx, [&] {
        if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
        sqlite3_result_int(ctx, vb::CInt(ValueToVariant(argv[0])));
    });
}

void CLngF(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    Guard(ctx, [&] {
        if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
        sqlite3_result_int(ctx, vb::CLng(ValueToVariant(argv[0])));
    });
}

void CDblF(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    Guard(ctx, [&] {
        if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
        sqlite3_result_double(ctx, vb::CDbl(ValueToVariant(argv[0])));
    });
}

template <double (*F)(double)>
void RoundFn(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    Guard(ctx, [&] {
        if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
        if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER)
            return sqlite3_result_int64(ctx, sqlite3_value_int64(argv[0]));
        sqlite3_result_double(ctx, F(vb::CDbl(ValueToVariant(argv[0]))));
    });
}

double IntF(double x) {
    return vb::Int(x);
}
double FixF(double x) {
    return vb::Fix(x);
}

void IIf(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    Guard(ctx, [&] {
        bool cond = false;
        if (sqlite3_value_type(argv[0]) != SQLITE_NULL) cond = vb::CBool(ValueToVariant(argv[0]));
        sqlite3_result_value(ctx, argv[cond ? 1 : 2]);
    });
}

void InStr(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    Guard(ctx, [&] {
        if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
        if (argc == 2) {
            sqlite3_result_int64(ctx, vb::InStr(Text(argv[0]), Text(argv[1])));
        } else if (argc >= 3) {
            bool textCompare = argc >= 4 && Whole(argv[3]) == 1;
            sqlite3_result_int64(
                ctx, vb::InStr(Whole(argv[0]), Text(argv[1]), Text(argv[2]), textCompare));
        } else {
            vb::Raise(vb::kInvalidCall);
        }
    });
}

void Format(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    Guard(ctx, [&] {
        vb::Variant v = ValueToVariant(argv[0]);
        if (argc >= 2 && sqlite3_value_type(argv[1]) != SQLITE_NULL)
            ResultText(ctx, vb::Format(v, Text(argv[1])));
        else
            ResultText(ctx, vb::Format(v));
    });
}

void Str(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    Guard(ctx, [&] {
        if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
        ResultText(ctx, vb::Str(ValueToVariant(argv[0])));
    });
}

// X LIKE Y calls like(Y, X): Jet's wildcards (* ? # [..]), letter case ignored.
void Like(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    Guard(ctx, [&] {
        if (AnyNull(2, argv)) return sqlite3_result_null(ctx);
        sqlite3_result_int(ctx, vb::Like(Text(argv[1]), Text(argv[0]), true) ? 1 : 0);
    });
}

int CompareJetText(void*, int la, const void* a, int lb, const void* b) {
    return vb::CompareText(
        std::string_view(static_cast<const char*>(a), static_cast<std::size_t>(la)),
        std::string_view(static_cast<const char*>(b), static_cast<std::size_t>(lb)));
}

}  // namespace

vb::Variant ValueToVariant(sqlite3_value* v) {
    switch (sqlite3_value_type(v)) {
        case SQLITE_INTEGER: {
            sqlite3_int64 i = sqlite3_value_int64(v);
            if (i >= INT32_MIN && i <= INT32_MAX) return vb::Variant(static_cast<std::int32_t>(i));
            return vb::Variant(static_cast<double>(i));
        }
        case SQLITE_FLOAT:
            return vb::Variant(sqlite3_value_double(v));
        case SQLITE_NULL:
            return vb::Variant(vb::Null);
        default: {
            const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
            return vb::Variant(
                std::string(p ? p : "", static_cast<std::size_t>(sqlite3_value_bytes(v))));
        }
    }
}

void RegisterFunctions(sqlite3* db) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_collation(db, "JETTEXT", SQLITE_UTF8, nullptr, CompareJetText);
    struct Def {
        const char* name;
        int args;
        Fn fn;
    };
    const Def defs[] = {
        {"jet_cat", -1, Cat},
        {"jet_mid", 2, Mid},
        {"jet_mid", 3, Mid},
        {"jet_left", 2, Left},
        {"jet_right", 2, Right},
        {"jet_len", 1, Len},
        {"jet_trim", 1, TextFn<TrimF>},
        {"jet_ltrim", 1, TextFn<LTrimF>},
        {"jet_rtrim", 1, TextFn<RTrimF>},
        {"jet_ucase", 1, TextFn<UCaseF>},
        {"jet_lcase", 1, TextFn<LCaseF>},
        {"jet_val", 1, Val},
        {"jet_cstr", 1, CStrF},
        {"jet_cint", 1, CIntF},
        {"jet_clng", 1, CLngF},
        {"jet_cdbl", 1, CDblF},
        {"jet_int", 1, RoundFn<IntF>},
        {"jet_fix", 1, RoundFn<FixF>},
        {"jet_iif", 3, IIf},
        {"jet_instr", -1, InStr},
        {"jet_format", 1, Format},
        {"jet_format", 2, Format},
        {"jet_str", 1, Str},
        {"like", 2, Like},
        {"like", 3, Like},
    };
    for (const Def& d : defs)
        sqlite3_create_function_v2(db, d.name, d.args, flags, nullptr, d.fn, nullptr, nullptr,
                                   nullptr);
}

}  // namespace jet::detail
