#pragma once

// The history of changes in files klbase builds and restores: the program's
// own table (session/historial_cambios.h) adapted for the embedded engine,
// with triggers that refuse to change or delete a row, and the row klbase
// writes when it restores a database.

#include "sqlite_db.h"

#include "session/historial_cambios.h"

#include <QStringList>

namespace kl::klbase {

// The table and its triggers; each statement leaves a file that has them
// (the program may have created the table first) as it is.
QStringList historyTableStatements();

// Inserts the row on the raw handle, as the program would write it.
StepResult recordChange(Database& db, const historial::Cambio& change);

}  // namespace kl::klbase
