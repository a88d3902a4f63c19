#include "platform/ado/sqlite/sqlite_backup.h"

#include "platform/ado/online_backup.h"

#include "platform/sqlite_engine/handles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QUuid>

#include <sqlite3.h>
#include <unistd.h>

namespace kl::ado::sqlite {

namespace {

const QString kSource = QStringLiteral("respaldo");

RunError refusal(const QString& text) {
    return RunError{SQLITE_CANTOPEN, text, kSource};
}

// The file's contents on the disk before it takes its name.
bool flush(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite)) return false;
    return ::fsync(file.handle()) == 0;
}

}  // namespace

void removeWithCompanions(const QString& path) {
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(suffix));
}

StepResult backupInto(sqlite3* target, sqlite3* source, const QString& context) {
    sqlite3_backup* backup = sqlite3_backup_init(target, "main", source, "main");
    if (!backup)
        return RunError{sqlite3_extended_errcode(target),
                        context + QStringLiteral(": ") + lastMessage(target), kSource};
    // All pages in one step: one read transaction on the source, one write
    // transaction on the target. A busy source (a writer committing) is
    // waited for, briefly and a bounded number of times.
    int rc = SQLITE_OK;
    for (int tries = 0; tries < 200; ++tries) {
        rc = sqlite3_backup_step(backup, -1);
        if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED) break;
        QThread::msleep(50);
    }
    sqlite3_backup_finish(backup);
    if (rc == SQLITE_DONE) rc = sqlite3_extended_errcode(target);
    if (rc == SQLITE_OK || rc == SQLITE_DONE) return std::nullopt;
    const QString why = rc == SQLITE_BUSY || rc == SQLITE_LOCKED
                            ? QStringLiteral("la base está bloqueada por otro programa")
                            : QString::fromUtf8(sqlite3_errstr(rc));
    return RunError{rc, context + QStringLiteral(": ") + why, kSource};
}

StepResult onlineBackup(const QString& source, const QString& target) {
    if (!QFileInfo::exists(source))
        return refusal(QStringLiteral("No existe la base de datos %1.").arg(source));
    SqliteDatabase from;
    if (from.open(source, SQLITE_OPEN_READONLY) != SQLITE_OK) return from.failure(source);
    return onlineBackup(from.handle(), source, target);
}

StepResult onlineBackup(sqlite3* source, const QString& name, const QString& target) {
    if (QFileInfo::exists(target))
        return refusal(QStringLiteral("El archivo %1 ya existe.").arg(target));
    const QFileInfo destino(target);
    if (!destino.absoluteDir().exists())
        return refusal(QStringLiteral("No existe la carpeta %1.").arg(destino.absolutePath()));

    const QString partial = destino.absoluteFilePath() + QStringLiteral(".") +
                            QUuid::createUuid().toString(QUuid::Id128).left(12) +
                            QStringLiteral(".tmp");
    StepResult failed;
    {
        SqliteDatabase to;
        if (to.open(partial, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) != SQLITE_OK)
            failed = to.failure(partial);
        // A copy being made needs no journal of its own: a failure discards it.
        if (!failed)
            failed = to.exec(QStringLiteral("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF"));
        if (!failed)
            failed = backupInto(to.handle(), source,
                                QStringLiteral("No se pudo copiar %1 en %2").arg(name, target));
    }
    if (!failed && !flush(partial))
        failed = refusal(QStringLiteral("No se pudo grabar la copia %1 en el disco.").arg(target));
    // rename() never replaces an existing file.
    if (!failed && !QFile::rename(partial, target))
        failed = refusal(QStringLiteral("No se pudo crear el archivo %1.").arg(target));
    if (failed) removeWithCompanions(partial);
    return failed;
}

}  // namespace kl::ado::sqlite

namespace kl::ado {

StepResult onlineBackup(const QString& source, const QString& target) {
    return sqlite::onlineBackup(source, target);
}

}  // namespace kl::ado
