#include "sqlite_db.h"

#include "platform/ado/busy_wait.h"
#include "platform/ado/sqlite_support.h"

#include <QFileInfo>
#include <QThread>

#include <sqlite3.h>

namespace kl::klbase {

StepResult Database::open(const QString& path, Mode mode) {
    close();
    if (mode == Mode::OpenExisting && !QFileInfo(path).isFile())
        return RunError{SQLITE_CANTOPEN, QStringLiteral("No existe el archivo %1").arg(path),
                        QStringLiteral("klbase")};
    const int flags = SQLITE_OPEN_READWRITE | (mode == Mode::CreateNew ? SQLITE_OPEN_CREATE : 0);
    StepResult failed;
    if (SqliteDatabase::open(path, flags) != SQLITE_OK) {
        failed = failure(QStringLiteral("No se pudo abrir el archivo %1").arg(path));
    } else {
        // The module's programs may be using the file (upgrades run on live files).
        sqlite3_busy_handler(handle(), &Database::waitForLock, this);
        if (ado::sqlite::registerFunctions(handle()) != SQLITE_OK)
            failed = failure(QStringLiteral("Funciones del motor"));
    }
    if (failed) close();
    return failed;
}

int Database::waitForLock(void* self, int count) {
    constexpr qint64 kLimitMs = 10000;
    auto* database = static_cast<Database*>(self);
    if (count == 0) database->waitingSince_.start();
    const qint64 waited = database->waitingSince_.elapsed();
    if (waited >= kLimitMs || !ado::keepWaitingForLock(static_cast<int>(waited))) return 0;
    QThread::msleep(count < 20 ? 5 : 50);
    return 1;
}

}  // namespace kl::klbase
