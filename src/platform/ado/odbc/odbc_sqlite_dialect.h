#pragma once

// An embedded accounting database (an SQLite file made by klbase) reached
// through SQLite's ODBC driver: the same adaptation of SQL Server's dialect,
// the same typing of columns by their declared types, the same procedures
// (KL_PROCEDIMIENTOS) and column guards as the embedded provider. The
// engine's functions, collation and guard installation come from the
// loadable module the connection string names in LoadExt
// (sqlite_engine/loadable_module.cpp).

#include "platform/ado/odbc/odbc_dialect.h"
#include "platform/sqlite_engine/engine_rules.h"

#include <QStringList>

#include <optional>

namespace kl::ado::odbc {

// A procedure body's statement with its parameters as "?" markers, as
// SQLite's ODBC driver takes them (it counts markers itself): each
// occurrence of a name is one marker.
struct MarkedStatement {
    QString sql;
    QStringList parameters;  // the name of each marker, in order ("@desde")
};
MarkedStatement markParameters(const QString& sqliteStatement);

// The statements of a procedure body, as SQLite ends them.
QStringList splitStatements(const QString& body);

class SqliteDialect final : public Dialect {
  public:
    explicit SqliteDialect(const ConnectionSettings& settings);

    Engine engine() const override { return Engine::Sqlite; }
    ErrorList connected(OdbcProvider& provider) override;

    Statements statements(const QString& sqlServerText, OdbcProvider& provider) override;
    ErrorList runProcedure(const tsql::Statement& call, OdbcProvider& provider,
                           long& recordsAffected) override;

    Error errorOf(const Diagnostic& diagnostic, Phase phase) const override;

    ResultColumn column(const DriverColumn& column, OdbcProvider& provider) override;
    void settle(std::vector<ResultColumn>& columns, const Row* first) override;
    Value parameter(const Value& value) const override;
    QString quoteIdentifier(const QString& name) const override;

    QString savepoint(long level) const override;
    QStringList rollbackToSavepoint(long level) const override;
    QString releaseSavepoint(long level) const override;
    QString identityQuery() const override;

    std::optional<QString> withRowLocator(const QString& sql) const override;
    ErrorList completeTableInfo(TableInfo& table, OdbcProvider& provider) override;

    bool listed(const QString& schema, const QString& table) const override;
    QString schemaShown(const QString&) const override { return QStringLiteral("dbo"); }

    ErrorList schemaChanged(OdbcProvider& provider) override;
    void wrote() override { catalogue_.forgetProcedures(); }
    bool countsRows(const QString& statement) const override;

    ErrorList setDefaultDatabase(const QString& name, OdbcProvider& provider) override;
    QString defaultDatabase(OdbcProvider&) const override { return database_; }
    bool waitsForLocks() const override { return true; }
    ErrorList setLockTimeout(int seconds, OdbcProvider& provider) override;

  private:
    bool isProcedure(const QString& name, OdbcProvider& provider);
    // The declared type of a table's column ("" when it has none); nullopt
    // when the table has no such column.
    std::optional<QString> declaredType(const QString& table, const QString& column,
                                        OdbcProvider& provider);

    QString database_;
    sqlite::EngineCatalogue catalogue_;
};

}  // namespace kl::ado::odbc
