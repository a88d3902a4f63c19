#pragma once

// The sample query masks (consultas.kvw) for the demo's tables, so that the
// lookups' mask path can be tried on the demo database.

#include "platform/runerror.h"

#include <QString>

namespace kl::klbase {

// Writes the sample mask file at `path`; an existing file is never replaced.
// The number of masks written through `count`.
StepResult writeSampleMasks(const QString& path, int& count);

}  // namespace kl::klbase
