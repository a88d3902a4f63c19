#include "sqlite_db.h"

#include "platform/sqlite_engine/stored_forms.h"

#include <QFileInfo>

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
        sqlite3_busy_timeout(handle(), 10000);
        if (ado::sqlite::registerFunctions(handle()) != SQLITE_OK)
            failed = failure(QStringLiteral("Funciones del motor"));
    }
    if (failed) close();
    return failed;
}

}  // namespace kl::klbase
