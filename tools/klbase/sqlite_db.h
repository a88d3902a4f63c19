#pragma once

// Thin owners of SQLite handles for klbase, which builds database files with
// the raw C API (the data-access layer is for the module's programs). Every
// failure comes back as a RunError carrying SQLite's message.

#include "platform/runerror.h"
#include "platform/value.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace kl::klbase {

class Statement {
  public:
    Statement() = default;
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Parameters count from 1, as in SQLite.
    void bind(int index, const QString& text);
    void bind(int index, std::int64_t number);
    void bind(int index, int number) { bind(index, static_cast<std::int64_t>(number)); }
    void bind(int index, double number);
    void bindNull(int index);
    // Dates go in the stored form, currency as its amount, booleans as 1/0.
    void bind(int index, const Value& value);
    // A UTF-8 text that outlives the statement's next step (hot loops).
    void bindStatic(int index, const QByteArray& utf8);
    // Binds the values to parameters 1, 2... and runs the statement.
    StepResult run(const std::vector<Value>& values);
    // By name ("@desde"); false when the statement has no such parameter.
    bool bind(const char* name, const QString& text);

    // Steps once; `row` tells whether a row came back.
    StepResult step(bool& row);
    // Runs to completion, then resets and clears the bindings for the next use.
    StepResult run();
    void reset();
    bool isEmpty() const { return handle_ == nullptr; }

    std::int64_t integer(int column) const;
    double real(int column) const;
    QString text(int column) const;
    bool isNull(int column) const;

  private:
    friend class Database;
    Statement(sqlite3_stmt* handle, sqlite3* db) : handle_(handle), db_(db) {}
    RunError failure() const;

    sqlite3_stmt* handle_ = nullptr;
    sqlite3* db_ = nullptr;
};

class Database {
  public:
    enum class Mode { OpenExisting, CreateNew };

    Database() = default;
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens the file and registers the engine's collation and functions.
    // CreateNew creates a file that does not exist yet; OpenExisting never
    // creates one.
    StepResult open(const QString& path, Mode mode);
    void close();
    bool isOpen() const { return db_ != nullptr; }
    sqlite3* handle() const { return db_; }

    // Runs one or more statements separated by ";".
    StepResult exec(const QString& sql);
    StepResult prepare(const QString& sql, Statement& out);
    // Prepares the first statement of the UTF-8 text at `next` and moves
    // `next` past it; `out` stays empty when only blanks were left.
    StepResult prepareNext(const char*& next, Statement& out);
    // The single value of a one-row query (for counts and versions).
    StepResult scalar(const QString& sql, std::int64_t& value);
    StepResult texts(const QString& sql, QStringList& values);
    // One INSERT per row, the values in the order of `columns`.
    StepResult insertRows(const QString& table, const QStringList& columns,
                          const std::vector<std::vector<Value>>& rows);

  private:
    RunError failure(const QString& context) const;
    sqlite3* db_ = nullptr;
};

// A transaction that rolls back unless committed.
class Transaction {
  public:
    explicit Transaction(Database& db) : db_(db) {}
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    StepResult begin();
    StepResult commit();

  private:
    Database& db_;
    bool open_ = false;
};

}  // namespace kl::klbase
