#pragma once

// Our own diagnostic files (KL_TRAZA_SQL, KL_TRAZA_AVISOS): one line per
// event, UTF-8 with LF line ends, so that they read as any other log on this
// platform. The files shared with the module's other programs stay
// Windows-1252 (textfile.h).

#include <QString>

namespace kl::trace {

// Appends `line` and a line feed to the file the environment variable names;
// nothing when the variable is unset or empty. The line must hold no line
// break of its own.
void appendLine(const char* environmentVariable, const QString& line);

}  // namespace kl::trace
