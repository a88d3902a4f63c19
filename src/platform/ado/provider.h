#pragma once

// What a data provider offers the connection/recordset layer. The embedded
// SQLite provider implements it; an ODBC provider (SQL Server, Oracle, the
// SQLite ODBC driver) implements the same calls with SQLDriverConnect,
// SQLExecDirect/SQLFetch, SQLDescribeCol, SQLEndTran, SQLTables/SQLColumns
// and SCOPE_IDENTITY(). Calls report failures as the provider's errors (the
// connection's Errors list); an empty list means the call worked.

#include "platform/ado/ado.h"
#include "platform/ado/connection_string.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

namespace kl::ado {

using ErrorList = std::vector<Error>;

// What the layer knows of a result column.
struct ColumnInfo {
    QString name;
    int type = adEmpty;  // ADO type code
    long definedSize = 0;
    int precision = 0;
    int scale = 0;
    // The table column the value comes from; empty for expressions.
    QString baseTable;
    QString baseColumn;
    // A value the provider reads along to find the row again (SQLite's
    // rowid); not shown as a field.
    bool rowLocator = false;
};

using Row = std::vector<Value>;

// Rows of a result, fetched one at a time.
class RowSource {
  public:
    enum class Fetch { Row, End, Failed };
    virtual ~RowSource() = default;
    virtual const std::vector<ColumnInfo>& columns() const = 0;
    // Replaces `row`'s values with the next row's. The vector may be one a
    // caller hands back row after row, so a source can fill it in place.
    virtual Fetch next(Row& row, ErrorList& errors) = 0;
};

// A table as the recordset's writes need it.
struct TableInfo {
    QString name;  // as the database spells it
    bool isView = false;
    QStringList keyColumns;  // primary key, in order
    QString identityColumn;  // filled by the engine on insert; empty if none
    // The expression that reads a row's locator (SQLite's "rowid"), empty
    // when the provider has none for this table (see ExecuteOptions).
    QString rowLocator;
};

struct ExecuteOptions {
    // Rows are wanted back when the statement yields them.
    bool wantRows = false;
    // Read the row locator of this table along with the rows.
    QString rowLocatorTable;
};

struct ExecuteResult {
    long recordsAffected = -1;
    std::unique_ptr<RowSource> rows;
};

// A statement the layer itself built for this provider: the provider's own
// dialect, identifiers already quoted with quoteIdentifier(), values bound
// to "?" placeholders in order.
struct NativeStatement {
    QString sql;
    std::vector<Value> parameters;
};

struct SchemaRows {
    std::vector<ColumnInfo> columns;
    std::vector<Row> rows;
};

class Provider {
  public:
    virtual ~Provider() = default;

    virtual Engine engine() const = 0;
    virtual ErrorList open(const ConnectionSettings& settings) = 0;
    virtual void close() = 0;

    // Runs text in SQL Server's dialect (the provider adapts it).
    virtual ErrorList execute(const QString& sql, const ExecuteOptions& options,
                              ExecuteResult& result) = 0;
    virtual ErrorList executeNative(const NativeStatement& statement, long& recordsAffected) = 0;
    // Rows of a statement the layer built (re-reading a written row).
    virtual ErrorList queryNative(const NativeStatement& statement,
                                  std::unique_ptr<RowSource>& rows) = 0;
    // The identity value the last INSERT of this connection produced.
    virtual Value lastIdentity() = 0;

    // Nesting follows ADO: beginTransaction returns the new level.
    virtual ErrorList beginTransaction(long& level) = 0;
    virtual ErrorList commitTransaction() = 0;
    virtual ErrorList rollbackTransaction() = 0;
    virtual long transactionLevel() const = 0;

    virtual ErrorList tables(SchemaRows& out) = 0;
    virtual ErrorList columns(const QString& table, SchemaRows& out) = 0;
    virtual ErrorList tableInfo(const QString& table, TableInfo& out) = 0;
    // The one table a statement reads when a recordset opened on it may
    // write its rows back there (tableInfo() then tells how); nullopt for
    // anything else.
    virtual std::optional<QString> writableTable(const QString& sql) const = 0;
    // The indexes over `column` of `table` that a set-based rewrite of the
    // column is faster without. Engines that keep their indexes cheaply
    // during such a rewrite name none.
    virtual ErrorList deferrableIndexes(const QString& table, const QString& column,
                                        std::vector<DeferrableIndex>& out) {
        out.clear();
        return {};
    }

    // Sets aside the size guard over `column` of `table` for a rewrite that
    // writes values of at most `longest` characters, giving back how to put
    // it back; a truncation error, and nothing set aside, when they do not
    // fit. Engines whose server checks sizes itself have none.
    virtual ErrorList setAsideSizeGuard(const QString& table, const QString& column, long longest,
                                        std::vector<DeferrableIndex>& out) {
        out.clear();
        return {};
    }

    virtual ErrorList setDefaultDatabase(const QString& name) = 0;
    virtual QString defaultDatabase() const = 0;
    virtual void setCommandTimeout(int seconds) = 0;

    virtual QString quoteIdentifier(const QString& name) const = 0;
};

// The provider a connection string names, not yet opened; nullptr with the
// error when none is available. Defined beside the providers
// (provider_choice.cpp), which this layer does not know by name.
std::unique_ptr<Provider> makeProvider(const ConnectionSettings& settings, ErrorList& errors);

}  // namespace kl::ado
