#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace kl {

// Opens a document, a folder or a web address with the program the system
// has for it. Quotes around the target (as a command line needs them) are
// dropped. False when the target is empty, a file that does not exist, or
// the system could not open it.
bool openWithShell(const QString& target);

// Starts a program and does not wait for it. The process id, or nullopt
// when it could not be started.
std::optional<qint64> startProgram(const QString& program, const QStringList& arguments,
                                   const QString& workingFolder = QString());

}  // namespace kl
