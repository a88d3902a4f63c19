#include "dblayer/program_info.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace kl::db {

namespace {

// Works before the application object exists too (tools, early start-up).
QFileInfo executable() {
    if (QCoreApplication::instance()) return QFileInfo(QCoreApplication::applicationFilePath());
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget());
}

}  // namespace

QString executableName() {
    return executable().completeBaseName();
}

}  // namespace kl::db
