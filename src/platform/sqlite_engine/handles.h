#pragma once

// Owners of SQLite's handles, so that no path (an early return, a failed
// step) leaves a statement unfinalized or a file open. The embedded provider
// and klbase (which builds database files with the raw C API) both use them;
// the module's loadable functions module uses the statement.
//
// Two levels on the same objects: the provider works with SQLite's result
// codes (it turns them into the ADO errors of the connection), klbase and
// the column guards with RunError (SQLite's extended code and message, plus
// the statement's text):
//
//     SqliteDatabase db;
//     if (db.open(file, SQLITE_OPEN_READWRITE) != SQLITE_OK) return db.failure(file);
//     SqliteStatement insert;
//     if (StepResult e = db.prepare("INSERT INTO T (A, B) VALUES (?, ?)", insert)) return e;
//     SqliteTransaction transaction(db);
//     if (StepResult e = transaction.begin()) return e;
//     for (const auto& row : rows)
//         if (StepResult e = insert.run(row)) return e;   // rolled back
//     return transaction.commit();
//
// Transactions: the access layer's one scope is ado::TransactionScope
// (ado/transaction_scope.h); every write the module's programs make goes through
// a Connection and that scope. SqliteTransaction exists only for code that
// holds a raw handle and no Connection at all: klbase while it creates,
// fills or upgrades a file with the raw API. The provider never uses it: its
// transactions are the Connection's BeginTrans/CommitTrans.

#include "platform/runerror.h"
#include "platform/tsql/quoting.h"
#include "platform/value.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace kl::ado::sqlite {

class SqliteStatement {
  public:
    SqliteStatement() = default;
    ~SqliteStatement();
    SqliteStatement(SqliteStatement&& other) noexcept;
    SqliteStatement& operator=(SqliteStatement&& other) noexcept;
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // Prepares the first statement of `sql`; SQLite's result code. The
    // statement stays empty when `sql` holds only blanks and comments.
    int prepare(sqlite3* db, const QString& sql);
    // The same on UTF-8 text; `tail` receives where the next statement starts.
    int prepare(sqlite3* db, const char* sql, int length, const char** tail);
    // Lets the statement go now (the destructor does it otherwise).
    void finalize();

    sqlite3_stmt* get() const { return stmt_; }
    explicit operator bool() const { return stmt_ != nullptr; }
    bool isEmpty() const { return stmt_ == nullptr; }

    // Parameters count from 1, as in SQLite; each returns SQLite's code.
    int bind(int index, const QString& text);
    int bind(int index, std::int64_t number);
    int bind(int index, int number) { return bind(index, static_cast<std::int64_t>(number)); }
    int bind(int index, double number);
    // Dates in the stored form, currency as its amount, booleans as 1/0.
    int bind(int index, const Value& value);
    // A UTF-8 text that outlives the statement's next step (hot loops).
    int bindStatic(int index, const QByteArray& utf8);
    // By name ("@desde"); false when the statement has no such parameter.
    bool bind(const char* name, const QString& text);

    // One step; SQLITE_ROW, SQLITE_DONE or the failure's code.
    int step();
    // One step; `row` tells whether a row came back.
    StepResult step(bool& row);
    // Runs to completion, then resets and clears the bindings for the next use.
    StepResult run();
    // Binds the values to parameters 1, 2... and runs the statement.
    StepResult run(const std::vector<Value>& values);
    // Rewinds for another run, keeping the bindings.
    void reset();

    std::int64_t integer(int column) const;
    double real(int column) const;
    QString text(int column) const;
    bool isNull(int column) const;

    // The connection's last error, in the context of this statement's text.
    RunError failure() const;

  private:
    sqlite3_stmt* stmt_ = nullptr;
};

class SqliteDatabase {
  public:
    SqliteDatabase() = default;
    ~SqliteDatabase() { close(); }
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    // Opens the file with SQLite's flags and extended result codes;
    // SQLite's result code. After a failure the handle stays until close()
    // so that message() can tell why.
    int open(const QString& path, int flags);
    void close();
    bool isOpen() const { return db_ != nullptr; }
    sqlite3* handle() const { return db_; }
    // SQLite's text for the last failure.
    QString message() const;

    // Runs one or more statements separated by ";".
    StepResult exec(const QString& sql) const;
    StepResult prepare(const QString& sql, SqliteStatement& out) const;
    // Prepares the first statement of the UTF-8 text at `next` and moves
    // `next` past it; `out` stays empty when only blanks were left.
    StepResult prepareNext(const char*& next, SqliteStatement& out) const;
    // The single value of a one-row query (for counts and versions).
    StepResult scalar(const QString& sql, std::int64_t& value) const;
    StepResult texts(const QString& sql, QStringList& values) const;
    // One INSERT per row, the values in the order of `columns`.
    StepResult insertRows(const QString& table, const QStringList& columns,
                          const std::vector<std::vector<Value>>& rows) const;

    RunError failure(const QString& context) const;

  private:
    sqlite3* db_ = nullptr;
};

// A transaction on a raw handle that rolls back unless committed. See the
// note at the top: ado::TransactionScope is the one for Connections.
class SqliteTransaction {
  public:
    explicit SqliteTransaction(const SqliteDatabase& db) : db_(db) {}
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;

    // BEGIN IMMEDIATE: the write lock at once, so no step fails halfway
    // because another program wrote.
    StepResult begin();
    StepResult commit();

  private:
    const SqliteDatabase& db_;
    bool open_ = false;
};

// Runs one or more statements on a handle the caller does not own (the
// loadable module's connections).
StepResult execute(sqlite3* db, const QString& sql);
// Binds a value to the placeholder `index` (from 1); SQLite's code.
int bindValue(sqlite3_stmt* statement, int index, const Value& value);
QString lastMessage(sqlite3* db);

// Statements built here spell names and literals as adapted ones do.
using tsql::quoted;
using tsql::quotedLiteral;

}  // namespace kl::ado::sqlite
