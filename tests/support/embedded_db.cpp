#include "support/embedded_db.h"

#include "platform/ado/sqlite_guards.h"
#include "platform/ado/sqlite_support.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <functional>

namespace kl::test {

namespace {

// An open raw connection with the engine's functions; closes itself.
class RawDb {
  public:
    RawDb(const QString& file, int flags) {
        if (sqlite3_open_v2(file.toUtf8().constData(), &db_, flags, nullptr) != SQLITE_OK ||
            kl::ado::sqlite::registerFunctions(db_) != SQLITE_OK) {
            error_ = QString::fromUtf8(sqlite3_errmsg(db_));
        }
        sqlite3_busy_timeout(db_, 30000);
    }
    ~RawDb() { sqlite3_close_v2(db_); }
    RawDb(const RawDb&) = delete;
    RawDb& operator=(const RawDb&) = delete;

    sqlite3* get() const { return db_; }
    const QString& error() const { return error_; }

    bool exec(const QString& sql) {
        char* message = nullptr;
        if (sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &message) == SQLITE_OK)
            return true;
        error_ = QString::fromUtf8(message ? message : "");
        sqlite3_free(message);
        return false;
    }

  private:
    sqlite3* db_ = nullptr;
    QString error_;
};

}  // namespace

EmbeddedDb::EmbeddedDb() {
    EXPECT_TRUE(dir_.isValid());
}

QString EmbeddedDb::create(const QString& name, const QString& ddl) {
    const QString file = dir_.filePath(name);
    RawDb db(file, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    if (!db.error().isEmpty() || !db.exec(QStringLiteral("PRAGMA journal_mode=WAL")) ||
        !db.exec(kl::ado::sqlite::procedureTableDdl()) || !db.exec(ddl)) {
        ADD_FAILURE() << "creating " << name.toStdString() << ": " << db.error().toStdString();
        return QString();
    }
    if (kl::StepResult e = kl::ado::sqlite::installAllColumnGuards(db.get())) {
        ADD_FAILURE() << "guards: " << e->description.toStdString();
        return QString();
    }
    return file;
}

QString EmbeddedDb::connectionString(const QString& file, const QString& password) {
    return QStringLiteral("PROVIDER=SQLOLEDB;Server=sqlite;Database =%1;UId=sa;Pwd=%2;")
        .arg(file, password);
}

bool EmbeddedDb::exec(const QString& file, const QString& sql) {
    RawDb db(file, SQLITE_OPEN_READWRITE);
    if (!db.error().isEmpty() || !db.exec(sql)) {
        ADD_FAILURE() << sql.toStdString() << ": " << db.error().toStdString();
        return false;
    }
    return true;
}

QString EmbeddedDb::scalar(const QString& file, const QString& sql) {
    RawDb db(file, SQLITE_OPEN_READWRITE);
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db.get(), sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK)
        return QStringLiteral("<error: %1>").arg(QString::fromUtf8(sqlite3_errmsg(db.get())));
    QString out;
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
        out = sqlite3_column_type(stmt, 0) == SQLITE_NULL
                  ? QStringLiteral("<null>")
                  : QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    } else if (rc != SQLITE_DONE) {
        out = QStringLiteral("<error: %1>").arg(QString::fromUtf8(sqlite3_errmsg(db.get())));
    }
    sqlite3_finalize(stmt);
    return out;
}

QMap<QString, QByteArray> EmbeddedDb::tableContents(const QString& file,
                                                    const QStringList& except) {
    RawDb db(file, SQLITE_OPEN_READONLY);
    QMap<QString, QByteArray> contents;
    auto rows = [&db](const QString& sql, const std::function<void(sqlite3_stmt*)>& each) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db.get(), sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK)
            ADD_FAILURE() << sql.toStdString() << ": " << sqlite3_errmsg(db.get());
        while (stmt && sqlite3_step(stmt) == SQLITE_ROW) each(stmt);
        sqlite3_finalize(stmt);
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
