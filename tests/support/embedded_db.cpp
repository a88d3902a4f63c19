#include "support/embedded_db.h"

#include "platform/sqlite_engine/guards.h"
#include "platform/sqlite_engine/handles.h"
#include "platform/sqlite_engine/stored_forms.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <functional>

namespace kl::test {

namespace {

using ado::sqlite::SqliteDatabase;
using ado::sqlite::SqliteStatement;

// Opens the file as klbase does: the engine's functions registered, and a
// wait for another connection's lock.
StepResult openWithFunctions(SqliteDatabase& db, const QString& file, int flags) {
    if (db.open(file, flags) != SQLITE_OK ||
        ado::sqlite::registerFunctions(db.handle()) != SQLITE_OK)
        return db.failure(file);
    sqlite3_busy_timeout(db.handle(), 30000);
    return std::nullopt;
}

}  // namespace

EmbeddedDb::EmbeddedDb() {
    EXPECT_TRUE(dir_.isValid());
}

QString EmbeddedDb::create(const QString& name, const QString& ddl) {
    const QString file = dir_.filePath(name);
    SqliteDatabase db;
    StepResult e = openWithFunctions(db, file, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    if (!e) e = db.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    if (!e) e = db.exec(ado::sqlite::procedureTableDdl());
    if (!e) e = db.exec(ddl);
    if (e) {
        ADD_FAILURE() << "creating " << name.toStdString() << ": " << e->description.toStdString();
        return QString();
    }
    if (StepResult guards = ado::sqlite::installAllColumnGuards(db.handle())) {
        ADD_FAILURE() << "guards: " << guards->description.toStdString();
        return QString();
    }
    return file;
}

QString EmbeddedDb::connectionString(const QString& file, const QString& password) {
    return QStringLiteral("PROVIDER=SQLOLEDB;Server=sqlite;Database =%1;UId=sa;Pwd=%2;")
        .arg(file, password);
}

bool EmbeddedDb::exec(const QString& file, const QString& sql) {
    SqliteDatabase db;
    StepResult e = openWithFunctions(db, file, SQLITE_OPEN_READWRITE);
    if (!e) e = db.exec(sql);
    if (e) {
        ADD_FAILURE() << sql.toStdString() << ": " << e->description.toStdString();
        return false;
    }
    return true;
}

QString EmbeddedDb::scalar(const QString& file, const QString& sql) {
    SqliteDatabase db;
    SqliteStatement statement;
    if (openWithFunctions(db, file, SQLITE_OPEN_READWRITE) ||
        statement.prepare(db.handle(), sql) != SQLITE_OK)
        return QStringLiteral("<error: %1>").arg(db.message());
    const int rc = statement.step();
    if (rc == SQLITE_ROW) return statement.isNull(0) ? QStringLiteral("<null>") : statement.text(0);
    if (rc != SQLITE_DONE) return QStringLiteral("<error: %1>").arg(db.message());
    return QString();
}

QMap<QString, QByteArray> EmbeddedDb::tableContents(const QString& file,
                                                    const QStringList& except) {
    SqliteDatabase db;
    QMap<QString, QByteArray> contents;
    if (openWithFunctions(db, file, SQLITE_OPEN_READONLY)) {
        ADD_FAILURE() << "no se pudo abrir " << file.toStdString();
        return contents;
    }
    auto rows = [&db](const QString& sql, const std::function<void(sqlite3_stmt*)>& each) {
        ado::sqlite::SqliteStatement statement;
        if (statement.prepare(db.handle(), sql) != SQLITE_OK)
            ADD_FAILURE() << sql.toStdString() << ": " << db.message().toStdString();
        while (statement && statement.step() == SQLITE_ROW) each(statement.get());
    };
    QStringList tables;
    rows(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"),
         [&](sqlite3_stmt* s) {
             tables << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
         });
    for (const QString& table : tables) {
        if (except.contains(table, Qt::CaseInsensitive)) continue;
        QByteArray& out = contents[table];
        rows(QStringLiteral("SELECT * FROM [%1]").arg(table), [&out](sqlite3_stmt* s) {
            for (int i = 0; i < sqlite3_column_count(s); ++i) {
                const auto* bytes = static_cast<const char*>(sqlite3_column_blob(s, i));
                out += QByteArray::number(sqlite3_column_type(s, i)) + ':' +
                       QByteArray(bytes, sqlite3_column_bytes(s, i)).toHex() + ',';
            }
            out += '\n';
        });
    }
    return contents;
}

QStringList EmbeddedDb::tablesThatDiffer(const QString& a, const QString& b,
                                         const QStringList& except) {
    const QMap<QString, QByteArray> first = tableContents(a, except);
    const QMap<QString, QByteArray> second = tableContents(b, except);
    QStringList differ;
    for (auto it = first.cbegin(); it != first.cend(); ++it)
        if (second.value(it.key(), QByteArray("-")) != it.value()) differ << it.key();
    for (auto it = second.cbegin(); it != second.cend(); ++it)
        if (!first.contains(it.key())) differ << it.key();
    return differ;
}

}  // namespace kl::test
