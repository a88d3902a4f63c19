#pragma once

// Copies of an embedded database with SQLite's online backup: page by page
// through the engine, so the copy is one consistent state of the file even
// while other programs read it (and, should one write meanwhile, the copy
// starts over rather than mix two states). A plain file copy of a database
// in WAL mode would miss what the write-ahead log still holds.
//
//     if (StepResult e = onlineBackup("conta.kldb", "/respaldos/conta-antes.kldb")) ...
//
// The copy is built under a temporary name beside the target, flushed to
// the disk and only then given its name: a copy that fails halfway (no
// space, no permission) leaves nothing that looks like a copy.

#include "platform/runerror.h"

#include <QString>

struct sqlite3;

namespace kl::ado::sqlite {

// Copies the database file `source` into the new file `target`; an
// existing `target` is never replaced.
StepResult onlineBackup(const QString& source, const QString& target);
// The same from a connection already open on the source (`name` tells it
// in messages): one that holds the file locked can still copy it.
StepResult onlineBackup(sqlite3* source, const QString& name, const QString& target);

// Replaces the whole database of the open connection `target` with that
// of `source`, in one write transaction of `target`: a failure or a kill
// leaves `target` as it was.
StepResult backupInto(sqlite3* target, sqlite3* source, const QString& context);

// Removes a database file with its journal, write-ahead log and shared
// memory index.
void removeWithCompanions(const QString& path);

}  // namespace kl::ado::sqlite
