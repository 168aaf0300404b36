// The engine's SQL functions and text collation on one SQLite connection.
#pragma once

#include "vb/variant.h"

struct sqlite3;
struct sqlite3_value;
struct sqlite3_context;

namespace jet::detail {

// Registers JETTEXT (case-insensitive text order of the engine), LIKE with the
// engine's wildcards, the & operator (jet_cat) and the VBA functions Jet SQL
// offers (jet_mid, jet_left, ...).
void RegisterFunctions(sqlite3* db);

// An SQLite value as the run-time's Variant (no column type known).
vb::Variant ValueToVariant(sqlite3_value* v);

}  // namespace jet::detail
