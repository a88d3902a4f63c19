#pragma once

// The online copy of an embedded database, for the layers above the data
// layer: they know no provider, and a copy of a file another station may be
// writing must go through the engine (ado/sqlite/sqlite_backup.h says how),
// never through a plain file copy.
//
//     if (StepResult e = ado::onlineBackup("conta.kldb", "/copias/conta-antes.kldb")) ...

#include "platform/runerror.h"

#include <QString>

namespace kl::ado {

// Copies the database file `source` into the new file `target`; an
// existing `target` is never replaced.
StepResult onlineBackup(const QString& source, const QString& target);

}  // namespace kl::ado
