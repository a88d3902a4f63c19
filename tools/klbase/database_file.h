#pragma once

// New database files appear whole or not at all: they are built under a
// temporary name beside the target and moved into place only when complete,
// and an existing file is never replaced.

#include "sqlite_db.h"

#include "platform/runerror.h"

#include <QString>

#include <functional>

namespace kl::klbase {

using Builder = std::function<StepResult(Database&)>;

StepResult createDatabaseFile(const QString& path, const Builder& build);

}  // namespace kl::klbase
