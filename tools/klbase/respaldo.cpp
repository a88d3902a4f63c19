#include "respaldo.h"

#include "history_table.h"
#include "order_messages.h"
#include "sqlite_db.h"

#include "platform/ado/sqlite/sqlite_backup.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <sqlite3.h>

namespace kl::klbase {

namespace {

const QString kUsoRespaldo = QStringLiteral("klbase respaldo ORIGEN DESTINO");
const QString kUsoRestaurar = QStringLiteral("klbase restaurar COPIA DESTINO");
const QString kTabla = QString::fromLatin1(historial::kTabla);

QString megabytes(const QString& file) {
    return QLocale(QLocale::Spanish, QLocale::Argentina)
        .toString(static_cast<double>(QFileInfo(file).size()) / (1024.0 * 1024.0), 'f', 1);
}

// The engine's full check; a text of its findings when the file is damaged.
StepResult integrity(const QString& file) {
    Database db;
    if (StepResult failed = db.open(file, Database::Mode::OpenExisting)) return failed;
    QStringList findings;
    if (StepResult failed = db.texts(QStringLiteral("PRAGMA integrity_check(20)"), findings))
        return failed;
    if (findings == QStringList{QStringLiteral("ok")}) return std::nullopt;
    return RunError{SQLITE_CORRUPT, findings.join(QStringLiteral("; ")), QStringLiteral("klbase")};
}

// A name beside `path` that no file has.
QString besideFree(const QString& path, const QString& tag) {
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString candidate = QStringLiteral("%1.%2-%3").arg(path, tag, stamp);
    for (int n = 2; QFileInfo::exists(candidate); ++n)
        candidate = QStringLiteral("%1.%2-%3-%4").arg(path, tag, stamp).arg(n);
    return candidate;
}

bool hasHistory(const Database& db) {
    std::int64_t n = 0;
    return !db.scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' "
                                     "AND name = '%1' COLLATE NOCASE")
                          .arg(kTabla),
                      n) &&
           n > 0;
}

// The rows the replaced database wrote after the copy was taken: those
// past the copy's last ID.
StepResult laterRows(const Database& replaced, std::int64_t lastId,
                     std::vector<std::vector<Value>>& rows, QStringList& columns) {
    columns = {"ID",        "FECHAHORA", "NOMBREUSUARIO",  "MAQUINA",     "USUARIO", "PROGRAMA",
               "OPERACION", "CLAVE",     "VALOR_ANTERIOR", "VALOR_NUEVO", "DETALLE"};
    if (!hasHistory(replaced)) return std::nullopt;
    Statement query;
    if (StepResult failed =
            replaced.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE ID > %3 ORDER BY ID")
                                 .arg(columns.join(QStringLiteral(", ")), kTabla)
                                 .arg(lastId),
                             query))
        return failed;
    for (;;) {
        bool row = false;
        if (StepResult failed = query.step(row)) return failed;
        if (!row) return std::nullopt;
        std::vector<Value> values;
        for (int i = 0; i < columns.size(); ++i)
            values.push_back(query.isNull(i) ? Value::null() : Value(query.text(i)));
        rows.push_back(std::move(values));
    }
}

// The copy as it will be restored: the history carried over and the
// restore's own row, in one transaction on the staged file.
StepResult stage(Database& staged, const Database& replaced, const QString& copia,
                 const QString& kept) {
    Transaction transaction(staged);
    if (StepResult failed = transaction.begin()) return failed;
    for (const QString& sql : historyTableStatements())
        if (StepResult failed = staged.exec(sql)) return failed;
    std::int64_t lastId = 0;
    if (StepResult failed =
            staged.scalar(QStringLiteral("SELECT ifnull(max(ID), 0) FROM %1").arg(kTabla), lastId))
        return failed;
    std::vector<std::vector<Value>> rows;
    QStringList columns;
    if (StepResult failed = laterRows(replaced, lastId, rows, columns)) return failed;
    if (StepResult failed = staged.insertRows(kTabla, columns, rows)) return failed;
    if (StepResult failed = recordChange(
            staged, {QString::fromUtf8(historial::kRestauracion), QFileInfo(copia).fileName(),
                     QString(), QFileInfo(copia).absoluteFilePath(),
                     QStringLiteral("la base reemplazada se guardó en %1 mientras duró la "
                                    "restauración")
                         .arg(QFileInfo(kept).fileName())}))
        return failed;
    return transaction.commit();
}

}  // namespace

int respaldo(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    if (arguments.size() != 2)
        return orderBadUsage(err, QStringLiteral("cantidad de argumentos incorrecta"),
                             kUsoRespaldo);
    const QString& origen = arguments[0];
    const QString& destino = arguments[1];
    if (!QFileInfo(origen).isFile())
        return orderFailed(err, QStringLiteral("no existe la base de datos %1").arg(origen));
    QElapsedTimer clock;
    clock.start();
    if (StepResult failed = ado::sqlite::onlineBackup(origen, destino))
        return orderFailed(err, failed->description);
    out << QStringLiteral("Copia de %1 escrita en %2 (%3 MB en %4 s)\n")
               .arg(origen, destino, megabytes(destino))
               .arg(QLocale(QLocale::Spanish, QLocale::Argentina)
                        .toString(static_cast<double>(clock.elapsed()) / 1000.0, 'f', 1));
    return 0;
}

int restaurar(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    if (arguments.size() != 2)
        return orderBadUsage(err, QStringLiteral("cantidad de argumentos incorrecta"),
                             kUsoRestaurar);
    const QString& copia = arguments[0];
    const QString& destino = arguments[1];
    if (!QFileInfo(copia).isFile())
        return orderFailed(err, QStringLiteral("no existe la copia %1").arg(copia));
    if (!QFileInfo(destino).isFile())
        return orderFailed(err, QStringLiteral("no existe la base de datos %1; para una base "
                                               "nueva use \"klbase respaldo\"")
                                    .arg(destino));
    if (StepResult damaged = integrity(copia))
        return orderFailed(err, QStringLiteral("la copia %1 está dañada y no se restauró: %2")
                                    .arg(copia, damaged->description));

    // Held exclusively from here to the end: no program may open the
    // database halfway, and one that has it open now keeps it as it is.
    Database target;
    if (StepResult failed = target.open(destino, Database::Mode::OpenExisting))
        return orderFailed(err, failed->description);
    sqlite3_busy_timeout(target.handle(), 0);
    if (target.exec(QStringLiteral("PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE; COMMIT")))
        return orderFailed(err, QStringLiteral("la base %1 está abierta en otro programa: "
                                               "ciérrelo y vuelva a intentar")
                                    .arg(destino));

    const QString kept = besideFree(destino, QStringLiteral("reemplazada"));
    if (StepResult failed = ado::sqlite::onlineBackup(target.handle(), destino, kept))
        return orderFailed(err, failed->description);
    const QString staging = besideFree(destino, QStringLiteral("restaurando"));
    StepResult failed = ado::sqlite::onlineBackup(copia, staging);
    if (!failed) {
        Database staged;
        failed = staged.open(staging, Database::Mode::OpenExisting);
        if (!failed) failed = stage(staged, target, copia, kept);
        // One write transaction of the target: all of the copy or none.
        if (!failed)
            failed =
                ado::sqlite::backupInto(target.handle(), staged.handle(),
                                        QStringLiteral("No se pudo restaurar %1").arg(destino));
    }
    ado::sqlite::removeWithCompanions(staging);
    if (failed) {
        QFile::remove(kept);
        return orderFailed(
            err,
            QStringLiteral("%1; la base %2 quedó como estaba").arg(failed->description, destino));
    }
    target.close();
    QFile::remove(kept);
    out << QStringLiteral("Base %1 restaurada desde %2\n").arg(destino, copia);
    return 0;
}

}  // namespace kl::klbase
