#include "jet/column_types.h"

#include "jet/database.h"
#include "vb/ascii.h"

namespace jet::detail {

std::optional<JetType> JetTypeFromDdl(std::string_view keyword) {
    const std::string k = vb::MayusculasAscii(keyword);
    if (k == "BYTE" || k == "TINYINT" || k == "INTEGER1") return JetType::Byte;
    // Jet DDL's INTEGER is the 32-bit Long; only SHORT/SMALLINT are 16-bit.
    if (k == "SHORT" || k == "SMALLINT" || k == "INTEGER2") return JetType::Integer;
    if (k == "INTEGER" || k == "INT" || k == "LONG" || k == "INTEGER4") return JetType::Long;
    if (k == "SINGLE" || k == "REAL" || k == "FLOAT4" || k == "IEEESINGLE") return JetType::Single;
    if (k == "DOUBLE" || k == "FLOAT" || k == "FLOAT8" || k == "IEEEDOUBLE" || k == "NUMBER" ||
        k == "NUMERIC" || k == "DECIMAL")
        return JetType::Double;
    if (k == "CURRENCY" || k == "MONEY") return JetType::Currency;
    if (k == "DATETIME" || k == "DATE" || k == "TIME" || k == "TIMESTAMP") return JetType::Date;
    if (k == "TEXT" || k == "VARCHAR" || k == "CHAR" || k == "CHARACTER" || k == "STRING" ||
        k == "ALPHANUMERIC" || k == "NVARCHAR" || k == "NCHAR" || k == "VARCHAR2")
        return JetType::Text;
    if (k == "MEMO" || k == "LONGTEXT" || k == "LONGCHAR" || k == "NOTE" || k == "NTEXT")
        return JetType::Memo;
    if (k == "YESNO" || k == "BIT" || k == "LOGICAL" || k == "LOGICAL1" || k == "BOOLEAN")
        return JetType::Boolean;
    if (k == "COUNTER" || k == "AUTOINCREMENT" || k == "IDENTITY") return JetType::Counter;
    return std::nullopt;
}

std::string DeclaredType(JetType t, int size) {
    // Each name carries the affinity SQLite should give the column: "INT" for
    // whole numbers, "REAL" for floating point and dates, "TEXT" for text.
    switch (t) {
        case JetType::Boolean:
            return "YESNO_INT";
        case JetType::Byte:
            return "BYTE_INT";
        case JetType::Integer:
            return "SHORT_INT";
        case JetType::Long:
            return "LONG_INT";
        case JetType::Counter:
            return "COUNTER_INT";
        case JetType::Currency:
            // Whole units, as SQL writes them: numeric affinity keeps 12 as an
            // integer and 12.34 as a real, so statements and recordsets agree.
            return "CURRENCY_NUM";
        case JetType::Single:
            return "SINGLE_REAL";
        case JetType::Double:
            return "DOUBLE_REAL";
        case JetType::Date:
            return "DATETIME_REAL";
        case JetType::Text:
            return "TEXT(" + std::to_string(size) + ")";
        case JetType::Memo:
            return "MEMO_TEXT";
    }
    return "TEXT(255)";
}

JetType JetTypeFromDeclared(std::string_view decl, int& size) {
    const std::string d = vb::MayusculasAscii(decl);
    size = 0;
    if (d == "YESNO_INT") return JetType::Boolean;
    if (d == "BYTE_INT") return JetType::Byte;
    if (d == "SHORT_INT") return JetType::Integer;
    if (d == "LONG_INT") return JetType::Long;
    if (d == "COUNTER_INT") return JetType::Counter;
    if (d == "CURRENCY_NUM") return JetType::Currency;
    if (d == "SINGLE_REAL") return JetType::Single;
    if (d == "DOUBLE_REAL") return JetType::Double;
    if (d == "DATETIME_REAL") return JetType::Date;
    if (d == "MEMO_TEXT") return JetType::Memo;
    if (d.rfind("TEXT(", 0) == 0) {
        size = std::atoi(d.c_str() + 5);
        if (size <= 0) size = 255;
        return JetType::Text;
    }
    // Tables made outside the engine: SQLite's affinity rules.
    if (d.find("INT") != std::string::npos) return JetType::Long;
    if (d.find("CHAR") != std::string::npos || d.find("CLOB") != std::string::npos ||
        d.find("TEXT") != std::string::npos) {
        size = 255;
        return JetType::Text;
    }
    if (d.find("REAL") != std::string::npos || d.find("FLOA") != std::string::npos ||
        d.find("DOUB") != std::string::npos)
        return JetType::Double;
    size = 255;
    return JetType::Text;
}

int DaoType(JetType t) {
    switch (t) {
        case JetType::Boolean:
            return dbBoolean;
        case JetType::Byte:
            return dbByte;
        case JetType::Integer:
            return dbInteger;
        case JetType::Long:
        case JetType::Counter:
            return dbLong;
        case JetType::Currency:
            return dbCurrency;
        case JetType::Single:
            return dbSingle;
        case JetType::Double:
            return dbDouble;
        case JetType::Date:
            return dbDate;
        case JetType::Text:
            return dbText;
        case JetType::Memo:
            return dbMemo;
    }
    return dbText;
}

bool IsTextType(JetType t) {
    return t == JetType::Text || t == JetType::Memo;
}

bool RangeOf(JetType t, std::int64_t& lo, std::int64_t& hi) {
    switch (t) {
        case JetType::Byte:
            lo = 0;
            hi = 255;
            return true;
        case JetType::Integer:
            lo = -32768;
            hi = 32767;
            return true;
        case JetType::Long:
        case JetType::Counter:
            lo = -2147483648LL;
            hi = 2147483647LL;
            return true;
        default:
            return false;
    }
}

}  // namespace jet::detail
