#pragma once

// The accounting database's schema, versioned. A file records its version in
// KL_VERSION; version 1 is the first schema and every later version is one
// upgrade step. A new file is built as version 1 plus every step, so new and
// upgraded files cannot drift apart. Indexes, views (with the triggers that
// let writable views take inserts, updates and deletes), stored procedures
// and column guards are derived objects: they are reinstalled after every
// step from the definitions of that version.

#include "sqlite_db.h"

#include "platform/runerror.h"

#include <QString>
#include <QStringList>

namespace kl::klbase {

inline constexpr int kSchemaVersion = 4;

// Every object of `version` in an empty database, and the version mark.
StepResult createSchema(Database& db, int version = kSchemaVersion);

// For bulk loads: createSchema without indexes and column guards, which
// finishSchema() adds once the rows are in (building them afterwards is far
// cheaper than maintaining them row by row).
StepResult createSchemaForBulkLoad(Database& db);
StepResult finishSchema(Database& db);

// The version recorded in the file; an error when the file is no klbase
// database.
StepResult schemaVersion(Database& db, int& version);

// Brings the file to kSchemaVersion one step at a time, each step in its own
// transaction. `from` receives the version found. A file newer than this
// tool knows is refused.
StepResult upgradeSchema(Database& db, int& from);

}  // namespace kl::klbase
