#pragma once

// klbase's command line: crear, demo, volumen and actualizar. Texts go to
// `out`, failures to `err`; the result is the process's exit status.

#include <QStringList>
#include <QTextStream>

namespace kl::klbase {

int runCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);

}  // namespace kl::klbase
