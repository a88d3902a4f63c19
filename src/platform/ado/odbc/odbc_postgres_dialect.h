#pragma once

// A PostgreSQL server reached through its ODBC driver (psqlODBC, registered
// by Debian as "PostgreSQL Unicode"). The driver names the engine
// "PostgreSQL"; the session reads dates day first, as the program writes
// them ('10/12/26 05:20' is 10 December), and nested transaction levels are
// savepoints.
//
// The server's errors reach the operator as SQL Server's numbers
// (postgresError in the .cpp has the table), and the engine's functions'
// "kl-536: ..." as the embedded engine's do.
//
// The driver's login failures all carry SQLState 08001 and the server's
// English text; explainLoginFailure() puts in front what the operator needs
// to hear:
//   FATAL: password authentication failed for user "kl"
//     El servidor PostgreSQL rechazó el inicio de sesión del usuario "kl"...
//   FATAL: database "conta" does not exist
//     La base de datos "conta" no existe en el servidor PostgreSQL...
//   Connection refused / No such file or directory / timeout expired
//     No se pudo conectar con el servidor PostgreSQL "127.0.0.1,5433"...

#include "platform/ado/odbc/odbc_dialect.h"

namespace kl::ado::odbc {

class PostgresDialect final : public Dialect {
  public:
    Engine engine() const override { return Engine::PostgreSql; }
    ErrorList connected(OdbcProvider& provider) override;
    Statements statements(const QString& sqlServerText, OdbcProvider& provider) override;
    Error errorOf(const Diagnostic& diagnostic, Phase phase) const override;
    QString quoteIdentifier(const QString& name) const override;
    QString savepoint(long level) const override;
    QStringList rollbackToSavepoint(long level) const override;
    QString releaseSavepoint(long level) const override;
    QString identityQuery() const override;
    bool listed(const QString& schema, const QString& table) const override;
    // A session stays in the database it logged in to.
    ErrorList setDefaultDatabase(const QString& name, OdbcProvider& provider) override;
    QString defaultDatabase(OdbcProvider& provider) const override;
};

// The driver's diagnostic of a failed login, with the cause in Spanish in
// front; `server` and `user` as the connection string gave them.
void explainLoginFailure(Error& error, const QString& server, const QString& database,
                         const QString& user);

}  // namespace kl::ado::odbc
