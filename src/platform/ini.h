#pragma once

#include <QString>

namespace kl {

// Reads one value of an INI file (Windows-1252; sections and keys compared
// without regard to case). A missing file, section or key gives the default.
QString LeeIni(const QString& file, const QString& section, const QString& key,
               const QString& defaultValue = QString());

}  // namespace kl
