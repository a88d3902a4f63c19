#pragma once

// What differs between the engines an ODBC connection reaches. The program
// writes SQL Server's dialect: SQL Server takes it unchanged, Oracle gets it
// translated by the data layer before it arrives here, and an SQLite
// database reached through SQLite's ODBC driver is adapted exactly as the
// embedded provider adapts it (tsql/translator.h).

#include "platform/ado/odbc/odbc_diagnostics.h"
#include "platform/ado/odbc/odbc_rows.h"
#include "platform/ado/provider.h"
#include "platform/tsql/translator.h"

#include <memory>
#include <variant>

namespace kl::ado::odbc {

class OdbcProvider;

using Statements = std::variant<std::vector<tsql::Statement>, Error>;

class Dialect {
  public:
    virtual ~Dialect() = default;

    virtual Engine engine() const = 0;

    // Session settings, right after connecting.
    virtual ErrorList connected(OdbcProvider&) { return {}; }

    // The statements a text in SQL Server's dialect runs as, in order; a
    // call of one of the database's procedures where the engine has none.
    virtual Statements statements(const QString& sqlServerText, OdbcProvider& provider) = 0;
    virtual ErrorList runProcedure(const tsql::Statement& call, OdbcProvider& provider,
                                   long& recordsAffected);

    virtual Error errorOf(const Diagnostic& diagnostic, Phase phase) const;

    // A column as the layer types it: of a result, or of the catalogue
    // (where the type name is the declared one).
    virtual ResultColumn column(const DriverColumn& column, OdbcProvider& provider);
    // The result's description once its first row (nullptr: none) is read.
    virtual void settle(std::vector<ResultColumn>& columns, const Row* first);

    // The value bound for a parameter.
    virtual Value parameter(const Value& value) const { return value; }

    virtual QString quoteIdentifier(const QString& name) const;

    // Statements of a nested transaction level (2 and deeper).
    virtual QString savepoint(long level) const = 0;
    virtual QStringList rollbackToSavepoint(long level) const = 0;
    virtual QString releaseSavepoint(long level) const;

    // The query that reads the identity the last INSERT produced; "" when
    // the engine numbers rows otherwise. SQL Server's SCOPE_IDENTITY() only
    // sees its own batch, so it goes in the INSERT's batch.
    virtual QString identityQuery() const = 0;
    virtual bool identityInInsertBatch() const { return false; }

    // Reads the row locator along (see TableInfo::rowLocator).
    virtual std::optional<QString> withRowLocator(const QString& sql) const;
    // The table's identity column and row locator, once its name, kind and
    // key are known.
    virtual ErrorList completeTableInfo(TableInfo& table, OdbcProvider& provider);

    // Whether the catalogue lists a table; its schema as listed.
    virtual bool listed(const QString& schema, const QString& table) const;
    virtual QString schemaShown(const QString& schema) const { return schema; }

    // After a statement that may have changed the schema (CREATE, ALTER,
    // DROP), and after any statement that may have written.
    virtual ErrorList schemaChanged(OdbcProvider&) { return {}; }
    virtual void wrote() {}

    // The row count of a statement counts toward RecordsAffected.
    virtual bool countsRows(const QString& statement) const;

    virtual ErrorList setDefaultDatabase(const QString& name, OdbcProvider& provider);
    virtual QString defaultDatabase(OdbcProvider& provider) const;
    // The engine waits for locks (true) or each statement times out.
    virtual bool waitsForLocks() const { return false; }
    virtual ErrorList setLockTimeout(int, OdbcProvider&) { return {}; }
};

// The dialect of the engine the driver reports (SQLGetInfo SQL_DBMS_NAME);
// an unknown engine takes what the connection string asked for.
std::unique_ptr<Dialect> makeDialect(const QString& dbmsName, const ConnectionSettings& settings);

// The savepoint of a nested transaction level, the same on every engine.
QString nestedTransactionName(long level);

// The leading words of a statement, upper case, blanks and comments skipped.
QStringList leadingWords(QStringView sql, int count);

}  // namespace kl::ado::odbc
