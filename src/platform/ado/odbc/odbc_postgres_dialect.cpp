#include "platform/ado/odbc/odbc_postgres_dialect.h"

#include "platform/ado/odbc/odbc_provider.h"
#include "platform/sqlite_engine/errors.h"
#include "platform/sqlite_engine/stored_forms.h"
#include "platform/tsql/translator.h"

#include <sqlite3.h>

namespace kl::ado::odbc {

namespace {

// Settings of every session. Texts keep their backslashes, as on SQL Server.
const char* const kSessionSettings[] = {
    "SET DateStyle = 'ISO, DMY'",
    "SET standard_conforming_strings = on",
};

// The server's SQLState and what SQL Server reports for the same fault:
// its SQLState, its native number and, where it differs from the one the
// SQLState gives (odbc_diagnostics.h), the error's number.
struct ServerFault {
    const char* postgresState;
    const char* sqlServerState;
    long nativeError;
    long number;  // 0: the SQLState's
};
constexpr long kPermissionDenied = err::hresult(0x80040E09);
constexpr ServerFault kFaults[] = {
    {"23505", "23000", 2627, 0},                     // duplicate key
    {"23503", "23000", 547, 0},                      // foreign key
    {"23514", "23000", 547, 0},                      // check constraint
    {"23502", "23000", 515, 0},                      // Null in a NOT NULL column
    {"22001", "22001", 8152, 0},                     // text longer than its column
    {"22003", "22003", 8115, 0},                     // number out of range
    {"22012", "22012", 8134, err::Syntax},           // division by zero
    {"42P01", "42S02", 208, err::NoSuchTable},       // no such table or view
    {"42703", "42S22", 207, 0},                      // no such column
    {"42883", "42000", 195, 0},                      // no such function
    {"42501", "42000", 229, kPermissionDenied},      // permission refused
    {"55P03", "HYT00", 1222, err::Timeout},          // lock wait over lock_timeout
    {"57014", "HYT00", 0, err::Timeout},             // statement cancelled by its timeout
    {"40P01", "40001", 1205, err::ProviderFailure},  // deadlock victim
    {"40001", "40001", 3960, err::ProviderFailure},  // serialization failure
};

bool says(const QString& text, const char* words) {
    return text.contains(QLatin1String(words), Qt::CaseInsensitive);
}

// The driver writes "ERROR: <the server's text>;\nError while executing
// the query": the server's text is the error's.
QString serverText(QString text) {
    const qsizetype trailer = text.indexOf(u";\nError while executing the query");
    if (trailer >= 0) text.truncate(trailer);
    if (text.startsWith(u"ERROR:")) text = text.mid(6);
    return text.trimmed();
}

}  // namespace

ErrorList PostgresDialect::connected(OdbcProvider& provider) {
    std::vector<Row> ignored;
    for (const char* setting : kSessionSettings) {
        if (ErrorList e = provider.queryAll(NativeStatement{QLatin1String(setting), {}}, ignored);
            !e.empty())
            return e;
    }
    return {};
}

// SQL Server's dialect reaches the server as written until the shared
// translator takes PostgreSQL as a target.
Statements PostgresDialect::statements(const QString& sql, OdbcProvider&) {
    return std::vector<tsql::Statement>{tsql::Statement{sql, {}, {}}};
}

Error PostgresDialect::errorOf(const Diagnostic& diagnostic, Phase phase) const {
    Error e = serverError(diagnostic, phase);
    e.Description = serverText(e.Description);
    if (sqlite::parseRaisedError(e.Description)) {
        const QString source = e.Source;
        e = sqlite::errorFromSqlite(SQLITE_ERROR, e.Description);
        e.Source = source;
        return e;
    }
    for (const ServerFault& f : kFaults) {
        if (diagnostic.sqlState != QLatin1String(f.postgresState)) continue;
        e.SQLState = QLatin1String(f.sqlServerState);
        if (f.nativeError) e.NativeError = f.nativeError;
        if (f.number)
            e.Number = f.number;
        else
            e.Number = serverError(Diagnostic{e.SQLState, 0, QString()}, phase).Number;
        break;
    }
    return e;
}

QString PostgresDialect::quoteIdentifier(const QString& name) const {
    QString out = name;
    out.replace(u'"', QStringLiteral("\"\""));
    return u'"' + out + u'"';
}

QString PostgresDialect::savepoint(long level) const {
    return QStringLiteral("SAVEPOINT %1").arg(nestedTransactionName(level));
}

QStringList PostgresDialect::rollbackToSavepoint(long level) const {
    return {QStringLiteral("ROLLBACK TO SAVEPOINT %1").arg(nestedTransactionName(level))};
}

QString PostgresDialect::releaseSavepoint(long level) const {
    return QStringLiteral("RELEASE SAVEPOINT %1").arg(nestedTransactionName(level));
}

// The value the session's last nextval() gave: an identity column's, right
// after its INSERT.
QString PostgresDialect::identityQuery() const {
    return QStringLiteral("SELECT lastval()");
}

bool PostgresDialect::listed(const QString& schema, const QString&) const {
    return schema.compare(u"pg_catalog", Qt::CaseInsensitive) != 0 &&
           schema.compare(u"information_schema", Qt::CaseInsensitive) != 0 &&
           !schema.startsWith(u"pg_toast", Qt::CaseInsensitive);
}

ErrorList PostgresDialect::setDefaultDatabase(const QString& name, OdbcProvider& provider) {
    const QString current = defaultDatabase(provider);
    if (name.trimmed().compare(current, Qt::CaseInsensitive) == 0) return {};
    return {sqlite::makeError(
        err::ProviderFailure, QStringLiteral("3D000"), 0,
        QStringLiteral("Una conexión a PostgreSQL no cambia de base de datos: la "
                       "sesión está en \"%1\" y se pidió \"%2\". Conéctese a \"%2\".")
            .arg(current, name.trimmed()))};
}

QString PostgresDialect::defaultDatabase(OdbcProvider& provider) const {
    std::vector<Row> rows;
    if (!provider.queryAll(NativeStatement{QStringLiteral("SELECT current_database()"), {}}, rows)
             .empty() ||
        rows.empty() || rows.front().empty())
        return provider.currentCatalog();
    return rows.front().front().toString();
}

void explainLoginFailure(Error& error, const QString& server, const QString& database,
                         const QString& user) {
    const QString& text = error.Description;
    QString cause;
    if (says(text, "password authentication failed") || says(text, "no pg_hba.conf entry") ||
        (says(text, "role \"") && says(text, "does not exist")) ||
        says(text, "password is required")) {
        cause = QStringLiteral(
                    "El servidor PostgreSQL rechazó el inicio de sesión del usuario \"%1\": el "
                    "usuario no existe, la contraseña no es la suya o no tiene permiso para "
                    "conectarse.")
                    .arg(user);
    } else if (says(text, "database \"") && says(text, "does not exist")) {
        cause =
            QStringLiteral("La base de datos \"%1\" no existe en el servidor PostgreSQL \"%2\".")
                .arg(database, server);
    } else if (says(text, "connection refused") || says(text, "no such file or directory") ||
               says(text, "timeout expired") || says(text, "could not connect") ||
               says(text, "could not translate host name") || says(text, "is the server running")) {
        cause = QStringLiteral(
                    "No se pudo conectar con el servidor PostgreSQL \"%1\": no está en marcha, o "
                    "no acepta conexiones en esa dirección y puerto (\"equipo,puerto\" o la "
                    "carpeta de su socket).")
                    .arg(server);
    } else if (says(text, "the database system is starting up") ||
               says(text, "the database system is shutting down")) {
        cause = QStringLiteral("El servidor PostgreSQL \"%1\" se está iniciando o deteniendo.")
                    .arg(server);
    } else {
        return;
    }
    error.Description = cause + QStringLiteral(" Respuesta del servidor: ") + text.trimmed();
}

}  // namespace kl::ado::odbc
