#pragma once

// The database's stored procedures. They live in KL_PROCEDIMIENTOS (see
// platform/sqlite_engine/stored_forms.h), so the database owns them as a SQL Server
// database owns its procedures; the embedded provider runs them when a
// statement calls them by name.

#include "sqlite_db.h"

#include "platform/runerror.h"

#include <QString>
#include <QStringList>

namespace kl::klbase {

// Writes (or replaces) every procedure of the schema.
StepResult installProcedures(Database& db);

// Runs a stored procedure with its arguments in call order, as the provider
// does, inside a savepoint: a failing statement leaves nothing behind. klbase
// uses it to fill the demo's calendars with the database's own procedure.
StepResult runProcedure(Database& db, const QString& name, const QStringList& arguments);

}  // namespace kl::klbase
