#pragma once

#include "platform/ado/live_rows.h"

// The embedded provider: an accounting database in one SQLite file. It opens
// existing files only (klbase creates them), in WAL mode with a busy timeout
// so the module's programs share the file, adapts SQL Server's dialect, runs
// the database's procedures and keeps the column guards in step with the
// schema.

#include "platform/ado/provider.h"
#include "platform/sqlite_engine/engine_rules.h"
#include "platform/sqlite_engine/handles.h"
#include "platform/tsql/translator.h"

#include <QElapsedTimer>

#include <map>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;

namespace kl::ado::sqlite {

class SqliteRows;

class SqliteProvider final : public Provider {
  public:
    SqliteProvider() = default;
    ~SqliteProvider() override;

    Engine engine() const override { return Engine::Sqlite; }
    ErrorList open(const ConnectionSettings& settings) override;
    void close() override;

    ErrorList execute(const QString& sql, const ExecuteOptions& options,
                      ExecuteResult& result) override;
    ErrorList executeNative(const NativeStatement& statement, long& recordsAffected) override;
    ErrorList queryNative(const NativeStatement& statement,
                          std::unique_ptr<RowSource>& rows) override;
    Value lastIdentity() override;

    ErrorList beginTransaction(long& level) override;
    ErrorList commitTransaction() override;
    ErrorList rollbackTransaction() override;
    long transactionLevel() const override { return level_; }

    ErrorList tables(SchemaRows& out) override;
    ErrorList columns(const QString& table, SchemaRows& out) override;
    ErrorList tableInfo(const QString& table, TableInfo& out) override;
    std::optional<QString> writableTable(const QString& sql) const override;
    ErrorList deferrableIndexes(const QString& table, const QString& column,
                                std::vector<DeferrableIndex>& out) override;
    ErrorList setAsideSizeGuard(const QString& table, const QString& column, long longest,
                                std::vector<DeferrableIndex>& out) override;

    ErrorList setDefaultDatabase(const QString& name) override;
    QString defaultDatabase() const override { return database_; }
    void setCommandTimeout(int seconds) override;

    QString quoteIdentifier(const QString& name) const override;

  private:
    friend class SqliteRows;

    // Live row sources read lazily from open statements. Before anything
    // writes or ends a transaction they read their remaining rows into
    // memory, so a recordset being walked never sees the walk's own writes
    // (and a rollback never cuts it short).
    void attach(SqliteRows* rows);
    void detach(SqliteRows* rows);
    void materializeRows();

    std::optional<Error> fileGone() const;
    // Damage reported by the engine stops every write for the session.
    Error errorOf(int code) const;
    ErrorList runSqlite(const QString& sql, bool wantRows, const QString& rowLocatorTable,
                        ExecuteResult& result);
    ErrorList runProcedure(const tsql::Statement& call, ExecuteResult& result);
    std::optional<ErrorList> transactionStatement(sqlite3_stmt* stmt);
    ErrorList runPlain(const QString& sql);
    ErrorList bind(sqlite3_stmt* stmt, const std::vector<Value>& parameters);
    void schemaMayHaveChanged(ErrorList& errors);
    bool isProcedure(const QString& name);
    int schemaVersion() const;

    SqliteDatabase db_;
    QString file_;
    QString database_;
    std::optional<std::pair<quint64, quint64>> identity_;  // device and inode
    mutable bool damaged_ = false;                         // set by errorOf, which only reports
    long level_ = 0;
    int schemaVersion_ = 0;
    int busyTimeoutMs_ = 30000;
    // SQLite's busy handler: waits for another connection's lock up to the
    // command time-out, showing the wait through the busy-wait observer.
    static int waitForLock(void* self, int count);
    QElapsedTimer waitingSince_;
    LiveRows<SqliteRows> liveRows_;
    EngineCatalogue catalogue_;
    std::map<QString, TableInfo> tableCache_;  // by upper-case name
};

}  // namespace kl::ado::sqlite
