#include "sqlite_db.h"

#include "platform/ado/busy_wait.h"
#include "platform/sqlite_engine/stored_forms.h"
#include "platform/textfile.h"

#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <optional>

#include <sqlite3.h>

namespace kl::klbase {

namespace {

// Why an existing database cannot be at `path`, or nothing. An empty file
// is no database: the engine would take it for a new, sound one, and the
// program refuses it.
std::optional<QString> notADatabase(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir())
        return QStringLiteral("%1 es una carpeta, no un archivo de base de datos").arg(path);
    if (!info.exists()) return QStringLiteral("No existe el archivo %1").arg(path);
    if (!info.isFile()) return QStringLiteral("%1 no es un archivo de base de datos").arg(path);
    if (info.size() == 0)
        return QStringLiteral("El archivo %1 está vacío: no es una base de datos").arg(path);
    return std::nullopt;
}

}  // namespace

StepResult Database::open(const QString& path, Mode mode) {
    close();
    if (mode == Mode::OpenExisting) {
        if (std::optional<QString> why = notADatabase(path))
            return RunError{SQLITE_CANTOPEN, *why, QStringLiteral("klbase")};
    }
    // A new database holds the company's books: it is created for its owner
    // alone, before the engine opens it (an empty file is an empty database).
    // The engine gives its journal and write-ahead files the database's own
    // permissions.
    if (mode == Mode::CreateNew) {
        QFile file(path);
        if (!cp1252::openToAppend(file, cp1252::FileAccess::OwnerOnly))
            return RunError{SQLITE_CANTOPEN,
                            QStringLiteral("No se pudo crear el archivo %1").arg(path),
                            QStringLiteral("klbase")};
    }
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
