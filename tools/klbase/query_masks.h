#pragma once

// The sample query masks (consultas.kvw) for the demo's tables, so that the
// lookups' mask path can be tried on the demo database.

#include "platform/runerror.h"

#include <QString>

namespace kl::klbase {

// Writes the sample mask file at `path`; an existing file is never replaced.
// The number of masks written through `count`.
StepResult writeSampleMasks(const QString& path, int& count);

// The statement a lookup of `table` shows with the masks of `path`, as the
// program builds it (the table's own columns are not read: without a mask
// the statement lists " * ").
QString lookupStatement(const QString& path, const QString& table);

}  // namespace kl::klbase
