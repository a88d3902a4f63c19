#pragma once

// The texts of the layer's connection questions, as the operator reads them.

#include "platform/ado/ado.h"

#include <QString>

namespace kl::db {

// The question after a connection could not be opened: the provider's first
// error, the process, and what to check, ending in whether to try again.
QString connectionErrorText(const ado::Error& e, const QString& servidor, const QString& usuario);

// The question after a lost connection could not be restored.
QString lostConnectionText(const QString& dbName, const QString& servidor);

}  // namespace kl::db
