#pragma once

// klbase's orders run in the test's process, their output and status kept.

#include "cli.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace kl::klbase {

struct CliResult {
    int status = -1;
    QString out;
    QString err;
};

inline CliResult klbase(const QStringList& arguments) {
    CliResult result;
    QTextStream out(&result.out), err(&result.err);
    result.status = runCommand(arguments, out, err);
    out.flush();
    err.flush();
    return result;
}

}  // namespace kl::klbase
