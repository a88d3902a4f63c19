#pragma once

// A prepared SQLite statement that finalizes itself.

#include <sqlite3.h>

#include <QByteArray>
#include <QString>

#include <utility>

namespace kl::ado::sqlite {

class SqliteStatement {
  public:
    SqliteStatement() = default;
    explicit SqliteStatement(sqlite3_stmt* stmt) : stmt_(stmt) {}
    ~SqliteStatement() { sqlite3_finalize(stmt_); }
    SqliteStatement(SqliteStatement&& other) noexcept
        : stmt_(std::exchange(other.stmt_, nullptr)) {}
    SqliteStatement& operator=(SqliteStatement&& other) noexcept {
        if (this != &other) {
            sqlite3_finalize(stmt_);
            stmt_ = std::exchange(other.stmt_, nullptr);
        }
        return *this;
    }
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // Prepares the first statement of `sql`; SQLite's result code.
    int prepare(sqlite3* db, const QString& sql) {
        const QByteArray utf8 = sql.toUtf8();
        return prepare(db, utf8.constData(), static_cast<int>(utf8.size()), nullptr);
    }
    int prepare(sqlite3* db, const char* sql, int length, const char** tail) {
        reset();
        return sqlite3_prepare_v2(db, sql, length, &stmt_, tail);
    }

    sqlite3_stmt* get() const { return stmt_; }
    explicit operator bool() const { return stmt_ != nullptr; }
    int step() { return sqlite3_step(stmt_); }
    void reset() {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
    }

    QString text(int column) const {
        const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
        return QString::fromUtf8(bytes, sqlite3_column_bytes(stmt_, column));
    }
    int bindText(int index, const QString& value) {
        const QByteArray utf8 = value.toUtf8();
        return sqlite3_bind_text(stmt_, index, utf8.constData(), static_cast<int>(utf8.size()),
                                 SQLITE_TRANSIENT);
    }

  private:
    sqlite3_stmt* stmt_ = nullptr;
};

inline QString lastMessage(sqlite3* db) {
    return QString::fromUtf8(sqlite3_errmsg(db));
}

// [name]: unlike "name", SQLite never reads a bracketed name as a text.
inline QString quoted(const QString& identifier) {
    if (!identifier.contains(u']')) return u'[' + identifier + u']';
    QString out = identifier;
    out.replace(u'"', QStringLiteral("\"\""));
    return u'"' + out + u'"';
}

inline QString quotedLiteral(const QString& text) {
    QString out = text;
    out.replace(u'\'', QStringLiteral("''"));
    return u'\'' + out + u'\'';
}

}  // namespace kl::ado::sqlite
