#include "platform/trace_file.h"

#include "platform/textfile.h"

#include <QFile>

namespace kl::trace {

void appendLine(const char* environmentVariable, const QString& line) {
    const QString path = qEnvironmentVariable(environmentVariable);
    if (path.isEmpty()) return;
    QFile file(path);
    // A trace that cannot be written must not stop the program. It holds
    // every statement and its values: the user's own business.
    if (cp1252::openToAppend(file, cp1252::FileAccess::OwnerOnly))
        file.write((line + u'\n').toUtf8());
}

}  // namespace kl::trace
