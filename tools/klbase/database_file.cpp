#include "database_file.h"

#include "platform/ado/sqlite/sqlite_backup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

namespace kl::klbase {

namespace {

const QString kSource = QStringLiteral("klbase");

RunError refusal(const QString& text) {
    return RunError{1, text, kSource};
}

}  // namespace

StepResult createDatabaseFile(const QString& path, const Builder& build) {
    const QFileInfo target(path);
    if (target.exists())
        return refusal(QStringLiteral("El archivo %1 ya existe; klbase no reemplaza archivos "
                                      "existentes.")
                           .arg(path));
    if (!target.absoluteDir().exists())
        return refusal(QStringLiteral("No existe la carpeta %1.").arg(target.absolutePath()));

    const QString building = target.absoluteFilePath() + QStringLiteral(".") +
                             QUuid::createUuid().toString(QUuid::Id128).left(12) +
                             QStringLiteral(".tmp");
    StepResult failed;
    {
        Database db;
        failed = db.open(building, Database::Mode::CreateNew);
        // A file under construction needs no crash safety: a failure discards it.
        if (!failed)
            failed =
                db.exec(QStringLiteral("PRAGMA journal_mode = MEMORY; PRAGMA synchronous = "
                                       "OFF; PRAGMA cache_size = -65536"));
        if (!failed) failed = build(db);
        // Several programs of the module share one file.
        if (!failed) failed = db.exec(QStringLiteral("PRAGMA journal_mode = WAL"));
    }
    // rename() never replaces an existing file.
    if (!failed && !QFile::rename(building, path))
        failed = refusal(QStringLiteral("No se pudo crear el archivo %1.").arg(path));
    if (failed) ado::sqlite::removeWithCompanions(building);
    return failed;
}

}  // namespace kl::klbase
