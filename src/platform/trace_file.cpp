#include "platform/trace_file.h"

#include <QFile>

namespace kl::trace {

void appendLine(const char* environmentVariable, const QString& line) {
    const QString path = qEnvironmentVariable(environmentVariable);
    if (path.isEmpty()) return;
    QFile file(path);
    // A trace that cannot be written must not stop the program.
    if (file.open(QIODevice::WriteOnly | QIODevice::Append)) file.write((line + u'\n').toUtf8());
}

}  // namespace kl::trace
