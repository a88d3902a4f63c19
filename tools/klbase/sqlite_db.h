#pragma once

// klbase builds and upgrades database files with the raw SQLite API (the
// data-access layer is for the module's programs), through the access layer's
// handle owners (platform/sqlite_engine/handles.h). What is klbase's own is how
// it opens a file: never creating one unless asked, waiting for the programs
// that may be using it, with the engine's collation and functions registered.
//
// klbase has no Connection while it builds a file, so its transactions are
// the thin raw-handle kind (SqliteTransaction), not ado::TransactionScope.

#include "platform/sqlite_engine/handles.h"

#include <QElapsedTimer>

namespace kl::klbase {

using Statement = ado::sqlite::SqliteStatement;
using Transaction = ado::sqlite::SqliteTransaction;

class Database : public ado::sqlite::SqliteDatabase {
  public:
    enum class Mode { OpenExisting, CreateNew };

    // Opens the file and registers the engine's collation and functions.
    // CreateNew creates a file that does not exist yet; OpenExisting never
    // creates one. Failures carry SQLite's message.
    StepResult open(const QString& path, Mode mode);

  private:
    // SQLite's busy handler: waits up to ten seconds for another program's
    // lock, telling the process's lock-wait observer how long it has waited.
    static int waitForLock(void* self, int count);
    QElapsedTimer waitingSince_;
};

}  // namespace kl::klbase
