#pragma once

#include <QString>

namespace kl {

// The most of an INI file that is read: the module's settings files hold a
// few kilobytes.
inline constexpr qint64 kMaxIniFileSize = 256 * 1024;

// Reads one value of an INI file (Windows-1252; sections and keys compared
// without regard to case). A missing file, section or key gives the default;
// so does a line past the first kMaxIniFileSize bytes (and a note is logged).
QString LeeIni(const QString& file, const QString& section, const QString& key,
               const QString& defaultValue = QString());

}  // namespace kl
