#pragma once

// Column guards make an embedded table keep its declared SQL Server types the
// way SQL Server does: a text longer than the column's declared size is
// refused (native 8152, "Los datos de cadena o binarios se truncarían."), a
// date text written into a date column is stored in the one stored form (see
// stored_forms.h) and a text that is no date is refused (native 241).
// The guards are triggers named KL_GUARD_<table>_...; installing them again
// replaces only the ones whose columns changed, so it is cheap to call after
// any schema change. Views and the engine's own KL_ tables get none.
// The connection must have registerFunctions() applied.

#include "platform/runerror.h"

#include <QString>

#include <optional>

struct sqlite3;

namespace kl::ado::sqlite {

StepResult installColumnGuards(sqlite3* db, const QString& table);

// The size guard of one column as installed, for a rewrite that checks its
// values against `length` beforehand to set aside (DROP TRIGGER `name`) and
// put back (`create`). None for a column without one, or in a file whose
// guards predate the per-column checks.
struct SizeGuard {
    QString name;
    QString create;
    long length = 0;
};
std::optional<SizeGuard> sizeGuardOf(sqlite3* db, const QString& table, const QString& column);
// Every table of the database.
StepResult installAllColumnGuards(sqlite3* db);

// Gives every date column of the database's tables that has no collation
// KL_FECHA (stored_forms.h), for files made before date columns carried
// it: the tables' definitions are edited in place, which keeps every row,
// index and trigger, and the indexes are rebuilt under the collation (in
// the same order, the stored form comparing byte by byte under both). Call
// it inside a transaction; `changed` receives how many columns it gave it.
StepResult collateDateColumns(sqlite3* db, int& changed);

}  // namespace kl::ado::sqlite
