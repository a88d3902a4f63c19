#pragma once

#include "platform/ado/live_rows.h"

// The provider for databases reached through the ODBC driver manager
// (unixODBC): SQL Server through FreeTDS (or the driver KL000p.INI names),
// Oracle through its ODBC driver, and any database an ODBC string names,
// SQLite's ODBC driver included. The engine the driver reports decides the
// dialect (odbc_dialect.h). One statement runs at a time: before the next
// one, rows still unread are read into memory, so a recordset being walked
// never sees the walk's own writes, as with the embedded provider.

#include "platform/ado/odbc/odbc_connection_string.h"
#include "platform/ado/odbc/odbc_dialect.h"
#include "platform/ado/odbc/odbc_handles.h"
#include "platform/ado/odbc/odbc_rows.h"
#include "platform/ado/odbc/odbc_text.h"
#include "platform/ado/provider.h"

#include <map>
#include <memory>

namespace kl::ado::odbc {

// A column as the catalogue (SQLColumns) lists it.
struct CatalogColumn {
    QString schema;
    QString table;
    DriverColumn column;  // typeName: the declared type
    int position = 0;
    Value defaultValue;  // Null without a default
    bool nullable = true;
};

class OdbcProvider final : public Provider {
  public:
    OdbcProvider() = default;
    ~OdbcProvider() override;

    Engine engine() const override;
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

    ErrorList setDefaultDatabase(const QString& name) override;
    QString defaultDatabase() const override { return defaultDatabase_; }
    void setCommandTimeout(int seconds) override;

    QString quoteIdentifier(const QString& name) const override;

    // ---- for the dialects and row sources ----
    const ConnectionSettings& settings() const { return settings_; }
    // Every row of a statement of the engine's own dialect.
    ErrorList queryAll(const NativeStatement& statement, std::vector<Row>& rows);
    // The catalogue's columns of a table (every table when empty).
    ErrorList catalogColumns(const QString& table, std::vector<CatalogColumn>& out);
    // The column the engine numbers itself; "" when none.
    ErrorList autoNumberedColumn(const QString& table, QString& column);
    ErrorList setCurrentCatalog(const QString& name);
    QString currentCatalog();
    ErrorList statementErrors(SQLHSTMT statement) const;
    void attach(OdbcRows* rows);
    void detach(OdbcRows* rows);

  private:
    enum class TransactionVerb { None, Begin, Commit, Rollback };
    static TransactionVerb transactionVerb(const QString& sql);

    ErrorList connect(const QString& text, int loginTimeout, const QString& driver);
    // Tables and views; `pattern` narrows the catalogue's search (a search
    // pattern: "_" matches any character).
    ErrorList listedTables(const QString& pattern, SchemaRows& out);
    ErrorList connectionErrors(Phase phase) const;
    ErrorList endTransaction(SQLSMALLINT completion);
    ErrorList rollbackEverything();
    // Runs one statement; with `wantRows`, its first result with columns
    // comes back as rows (`locator`: its first column is the row locator).
    ErrorList run(const QString& sql, const std::vector<Value>& parameters, bool wantRows,
                  bool locator, ExecuteResult& result);
    ErrorList afterStatement(const QString& sql);
    void materializeRows();
    void forgetSchema();

    EnvironmentHandle environment_;
    ConnectionHandle connection_;
    std::unique_ptr<Dialect> dialect_;
    ConnectionSettings settings_;
    QString defaultDatabase_;
    long level_ = 0;
    int commandTimeout_ = 30;
    TextEncoding encoding_ = TextEncoding::Utf16;
    Value identity_;  // of the last INSERT, when its batch read it
    LiveRows<OdbcRows> liveRows_;
    std::map<QString, TableInfo> tableCache_;  // by upper-case name
};

}  // namespace kl::ado::odbc
