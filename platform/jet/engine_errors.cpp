#include "jet/engine_errors.h"

#include <sqlite3.h>

#include <cstdlib>
#include <string>

#include "jet/sql_translate.h"
#include "vb/ascii.h"
#include "vb/error.h"

namespace jet::detail {

namespace {

struct Message {
    int number;
    const char* text;
};

// The engine's texts as a Spanish installation shows them; "<x>" stands for
// the object (file, table, field) the message is about.
constexpr Message kMessages[] = {
    {3000, "Error reservado (<x>); no hay ningún mensaje para este error."},
    {3001, "Argumento no válido."},
    {3010, "La tabla '<x>' ya existe."},
    {3020, "Update o CancelUpdate sin AddNew o Edit."},
    {3021, "No hay ningún registro activo."},
    {3022,
     "Los cambios solicitados en la tabla no se realizaron correctamente porque crearían valores "
     "duplicados en el índice, clave principal o relación. Cambie los datos en el campo o los "
     "campos que contienen datos duplicados, quite el índice o vuelva a definir el índice para "
     "permitir entradas duplicadas e inténtelo de nuevo."},
    {3024, "No se encuentra el archivo '<x>'."},
    {3026, "No hay suficiente espacio en disco."},
    {3027, "No se puede actualizar. Base de datos u objeto de sólo lectura."},
    {3028,
     "No se puede iniciar su aplicación. Falta el archivo de información del grupo de trabajo o "
     "está abierto exclusivamente por otro usuario."},
    {3029, "No es una cuenta válida o contraseña no válida."},
    {3034,
     "Ha intentado confirmar o deshacer una transacción sin haber empezado antes una transacción."},
    {3043, "Error de disco o de red."},
    {3044,
     "'<x>' no es una ruta válida. Asegúrese de que el nombre de la ruta se ha escrito "
     "correctamente y de que está conectado al servidor donde reside el archivo."},
    {3049,
     "No se puede abrir la base de datos '<x>'. Puede que no sea una base de datos que su "
     "aplicación reconozca o que el archivo esté dañado."},
    {3051,
     "El motor de base de datos Microsoft Jet no puede abrir el archivo '<x>'. Está abierto en "
     "modo exclusivo por otro usuario o necesita permiso para ver sus datos."},
    {3058, "El índice o la clave principal no puede contener un valor nulo."},
    {3061, "Pocos parámetros. Se esperaba <x>."},
    {3065, "No se puede ejecutar una consulta de selección."},
    {3075, "Error de sintaxis (falta operador) en la expresión de consulta '<x>'."},
    {3079,
     "El campo especificado '<x>' podría referirse a más de una tabla de las enumeradas en la "
     "cláusula FROM de la instrucción SQL."},
    {3085, "Función '<x>' no definida en la expresión."},
    {3078,
     "El motor de base de datos Microsoft Jet no puede encontrar la tabla o consulta de entrada "
     "'<x>'. Asegúrese de que existe y que su nombre está escrito correctamente."},
    {3129,
     "Instrucción SQL no válida; se esperaba 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT' o "
     "'UPDATE'."},
    {3134, "Error de sintaxis en la instrucción INSERT INTO."},
    {3142, "Se encontraron caracteres después del final de la instrucción SQL."},
    {3144, "Error de sintaxis en la instrucción UPDATE."},
    {3163,
     "El campo es demasiado pequeño para aceptar la cantidad de datos que intentó agregar. "
     "Intente insertar o pegar menos datos."},
    {3164, "No se puede actualizar el campo."},
    {3167, "El registro se ha eliminado."},
    {3204, "La base de datos ya existe."},
    {3218, "No se pudo actualizar; bloqueado actualmente."},
    {3219, "Operación no válida."},
    {3251, "La operación no es compatible con este tipo de objeto."},
    {3265, "No se encontró el elemento en esta colección."},
    {3283, "Ya existe la clave principal."},
    {3290, "Error de sintaxis en la instrucción CREATE TABLE."},
    {3292, "Error de sintaxis en la definición del campo."},
    {3293, "Error de sintaxis en la instrucción ALTER TABLE."},
    {3314,
     "El campo '<x>' no puede contener un valor nulo porque la propiedad Requerido para este "
     "campo está establecida a True. Introduzca un valor en este campo."},
    {3315, "El campo '<x>' no puede ser una cadena de longitud cero."},
    {3343, "Formato de base de datos no reconocido '<x>'."},
    {3349, "Desbordamiento numérico en el campo."},
    {3360, "La consulta es demasiado compleja."},
    {3371, "No se encuentra la tabla o la restricción."},
    {3346, "El número de valores de consulta y el número de campos de destino son diferentes."},
    {3375, "La tabla ya tiene un índice llamado '<x>'."},
    {3376, "La tabla '<x>' no existe."},
    {3420, "El objeto no es válido o ya no está definido."},
    {3421, "Error de conversión de tipo de datos."},
};

std::string AfterPrefix(std::string_view msg, std::string_view prefix) {
    if (msg.substr(0, prefix.size()) == prefix) return std::string(msg.substr(prefix.size()));
    return {};
}

bool IsKeyColumn(sqlite3* db, const std::string& table, const std::string& column) {
    sqlite3_stmt* st = nullptr;
    bool key = false;
    if (sqlite3_prepare_v2(db, "SELECT pk FROM pragma_table_info(?1) WHERE name = ?2", -1, &st,
                           nullptr) == SQLITE_OK) {
        sqlite3_bind_text(st, 1, table.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, column.c_str(), -1, SQLITE_TRANSIENT);
        if (sqlite3_step(st) == SQLITE_ROW) key = sqlite3_column_int(st, 0) > 0;
    }
    sqlite3_finalize(st);
    return key;
}

// Jet takes every unknown name as a parameter and tells how many it expected:
// count them by preparing again with each unknown name replaced by Null.
int CountUnknownNames(sqlite3* db, std::string sql, std::string name) {
    int count = 0;
    for (int guard = 0; guard < 50 && !name.empty(); ++guard) {
        ++count;
        // Replace every whole-word occurrence of the name (outside quotes).
        std::string out;
        bool replaced = false;
        for (std::size_t i = 0; i < sql.size();) {
            char c = sql[i];
            if (c == '\'') {
                std::size_t j = i + 1;
                while (j < sql.size()) {
                    if (sql[j] == '\'') {
                        if (j + 1 < sql.size() && sql[j + 1] == '\'') {
                            j += 2;
                            continue;
                        }
                        break;
                    }
                    ++j;
                }
                out.append(sql, i, j + 1 - i);
                i = j + 1;
                continue;
            }
            if (sqlite3_strnicmp(sql.c_str() + i, name.c_str(), static_cast<int>(name.size())) ==
                    0 &&
                (i == 0 || !(vb::EsAlfanumericoAscii(static_cast<unsigned char>(sql[i - 1])) ||
                             sql[i - 1] == '_' || sql[i - 1] == '.' || sql[i - 1] == '"')) &&
                (i + name.size() >= sql.size() ||
                 !(vb::EsAlfanumericoAscii(static_cast<unsigned char>(sql[i + name.size()])) ||
                   sql[i + name.size()] == '_' || sql[i + name.size()] == '"'))) {
                out += "NULL";
                i += name.size();
                replaced = true;
                continue;
            }
            out += c;
            ++i;
        }
        if (!replaced) break;
        sql = out;
        sqlite3_stmt* st = nullptr;
        int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr);
        sqlite3_finalize(st);
        if (rc == SQLITE_OK) break;
        name = AfterPrefix(sqlite3_errmsg(db), "no such column: ");
    }
    return count;
}

}  // namespace

std::string EngineMessage(int number, std::string_view object) {
    for (const auto& m : kMessages) {
        if (m.number == number) {
            std::string text = m.text;
            auto pos = text.find("<x>");
            if (pos != std::string::npos) text.replace(pos, 3, object);
            return text;
        }
    }
    return vb::ErrorText(number);
}

void RaiseEngine(int number, std::string_view object) {
    throw vb::VbError(number, EngineMessage(number, object));
}

void RaiseSqlite(sqlite3* db, int rc, std::string_view sql, int statementKind) {
    const std::string msg = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    const int ext = db ? sqlite3_extended_errcode(db) : rc;
    const auto kind = static_cast<StatementKind>(statementKind);

    if (msg.rfind(kFunctionErrorTag, 0) == 0) {
        // "<tag><number> <description>" from one of our SQL functions.
        const char* p = msg.c_str() + kFunctionErrorTag.size();
        char* end = nullptr;
        long n = std::strtol(p, &end, 10);
        std::string desc = (end && *end == ' ') ? std::string(end + 1) : std::string();
        throw vb::VbError(static_cast<int>(n), desc);
    }

    switch (rc & 0xff) {
        case SQLITE_CONSTRAINT: {
            if (ext == SQLITE_CONSTRAINT_PRIMARYKEY || ext == SQLITE_CONSTRAINT_UNIQUE)
                RaiseEngine(3022);
            if (ext == SQLITE_CONSTRAINT_NOTNULL) {
                // "NOT NULL constraint failed: table.column"
                std::string what = AfterPrefix(msg, "NOT NULL constraint failed: ");
                auto dot = what.find('.');
                std::string table = dot == std::string::npos ? std::string() : what.substr(0, dot);
                std::string column = dot == std::string::npos ? what : what.substr(dot + 1);
                if (table.empty() || IsKeyColumn(db, table, column)) RaiseEngine(3058);
                RaiseEngine(3314, column);
            }
            if (ext == SQLITE_CONSTRAINT_CHECK) {
                std::string name = AfterPrefix(msg, "CHECK constraint failed: ");
                if (name.rfind("jetsize_", 0) == 0) RaiseEngine(3163);
                if (name.rfind("jetrange_", 0) == 0) RaiseEngine(3349);
            }
            RaiseEngine(3022);
        }
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            RaiseEngine(3218);
        case SQLITE_READONLY:
            RaiseEngine(3027);
        case SQLITE_NOTADB:
            RaiseEngine(3343, db ? sqlite3_db_filename(db, "main") : "");
        case SQLITE_CORRUPT:
            RaiseEngine(3049, db ? sqlite3_db_filename(db, "main") : "");
        case SQLITE_FULL:
            RaiseEngine(3026);
        case SQLITE_IOERR:
            RaiseEngine(3043);
        case SQLITE_NOMEM:
            vb::Raise(vb::kOutOfMemory);
        default:
            break;
    }

    if (std::string t = AfterPrefix(msg, "no such table: "); !t.empty()) {
        if (auto dot = t.find('.'); dot != std::string::npos) t = t.substr(dot + 1);
        RaiseEngine(3078, t);
    }
    if (std::string c = AfterPrefix(msg, "no such column: "); !c.empty()) {
        RaiseEngine(3061, std::to_string(CountUnknownNames(db, std::string(sql), c)));
    }
    if (std::string c = AfterPrefix(msg, "ambiguous column name: "); !c.empty())
        RaiseEngine(3079, c);
    if (std::string f = AfterPrefix(msg, "no such function: "); !f.empty()) RaiseEngine(3085, f);
    if (msg.find("values were supplied") != std::string::npos ||
        msg.find("values for") != std::string::npos)
        RaiseEngine(3346);
    if (msg.rfind("index ", 0) == 0 && msg.find(" already exists") != std::string::npos)
        RaiseEngine(3375, msg.substr(6, msg.find(" already exists") - 6));
    if (msg.rfind("table ", 0) == 0 && msg.find(" already exists") != std::string::npos) {
        std::string t = msg.substr(6, msg.find(" already exists") - 6);
        if (t.size() >= 2 && t.front() == '"' && t.back() == '"') t = t.substr(1, t.size() - 2);
        RaiseEngine(3010, t);
    }
    switch (kind) {
        case StatementKind::Insert:
            RaiseEngine(3134);
        case StatementKind::Update:
            RaiseEngine(3144);
        case StatementKind::Select:
        case StatementKind::Delete:
            RaiseEngine(3075, sql);
        case StatementKind::CreateTable:
            RaiseEngine(3290);
        case StatementKind::AlterAddPrimaryKey:
        case StatementKind::AlterAddUnique:
        case StatementKind::AlterAddColumn:
        case StatementKind::AlterDropColumn:
            RaiseEngine(3293);
        default:
            break;
    }
    RaiseEngine(3000, msg);
}

}  // namespace jet::detail
