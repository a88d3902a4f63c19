#pragma once

#include <QString>

namespace kl::db {

// The running program's executable name without folder or extension.
QString executableName();
// The folder the running program's executable is in.
QString programFolder();

}  // namespace kl::db
