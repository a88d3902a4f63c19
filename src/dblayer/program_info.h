#pragma once

#include <QString>

namespace kl::db {

// The running program's executable name without folder or extension.
QString executableName();

}  // namespace kl::db
