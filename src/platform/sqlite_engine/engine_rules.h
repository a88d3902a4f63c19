#pragma once

// The embedded engine's rules, written once for both ways to an embedded
// database: the embedded provider (ado/sqlite/sqlite_provider.h) and SQLite's ODBC
// driver (ado/odbc/odbc_sqlite_dialect.h). Each reads the file its own way; what it
// reads means the same here.
//
//   EngineCatalogue catalogue;
//   if (catalogue.isProcedure(name, [&] { return namesFromTheProcedureTable(); })) ...
//   catalogue.forget();  // after any schema change or write to the procedures

#include "platform/ado/ado.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <optional>

namespace kl::ado::sqlite {

// The query that lists the database's procedures. Files not made by klbase
// have no procedure table: the query fails and there are no procedures.
QString procedureNamesQuery();

// ADO's command timeout as SQLite's wait for another program's lock, in
// milliseconds: 0 (ADO's "no limit") waits a whole day.
int lockWaitMs(int commandTimeoutSeconds);

// Choosing the default database: an embedded connection has one database,
// its file, which answers to the name it was opened with, its file name with
// or without extension and its absolute path (letter case aside). Any other
// name is SQL Server's error 4060.
std::optional<Error> otherDatabaseRefused(const QString& wanted, const QString& file,
                                          const QString& openedAs);

// What the engine reads once from the file and keeps until the schema
// changes: the procedures' names and the columns' declared types.
class EngineCatalogue {
  public:
    using NamesReader = std::function<QStringList()>;
    // Column name -> declared type ("" when it has none) of one table.
    using TypesReader = std::function<std::map<QString, QString>(const QString& table)>;

    bool isProcedure(const QString& name, const NamesReader& read);
    // nullopt when the table has no such column.
    std::optional<QString> declaredType(const QString& table, const QString& column,
                                        const TypesReader& read);
    void forgetProcedures() { procedures_.reset(); }
    void forget();

  private:
    std::optional<QSet<QString>> procedures_;  // upper-case names
    // Upper-case table -> upper-case column -> declared type.
    std::map<QString, std::map<QString, QString>> declared_;
};

}  // namespace kl::ado::sqlite
