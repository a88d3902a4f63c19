#include "platform/ado/odbc/odbc_sqlite_dialect.h"

#include "platform/ado/busy_wait.h"
#include "platform/ado/odbc/odbc_provider.h"
#include "platform/sqlite_engine/engine_rules.h"
#include "platform/sqlite_engine/errors.h"
#include "platform/sqlite_engine/function_table.h"
#include "platform/sqlite_engine/handles.h"
#include "platform/sqlite_engine/procedure_call.h"
#include "platform/sqlite_engine/stored_forms.h"

#include <sqlite3.h>

#include <limits>

namespace kl::ado::odbc {

namespace {

using sqlite::DeclaredType;
using sqlite::makeError;

// The module's function that brings the column guards in step with the schema.
const char kInstallGuards[] = "SELECT kl_instalar_guardas()";

QString nestedName(long level) {
    return QStringLiteral("kl_nivel_%1").arg(level);
}

bool isDml(const QString& statement) {
    const QString first = leadingWords(statement, 1).value(0);
    return first == u"INSERT" || first == u"UPDATE" || first == u"DELETE" || first == u"REPLACE" ||
           first == u"WITH";
}

Reading readingOf(DeclaredType::Category category) {
    switch (category) {
        case DeclaredType::Category::Integer:
            return Reading::Integer;
        case DeclaredType::Category::Float:
            return Reading::Double;
        case DeclaredType::Category::Currency:
            return Reading::Currency;
        case DeclaredType::Category::Numeric:
            return Reading::Numeric;
        case DeclaredType::Category::Boolean:
            return Reading::Boolean;
        case DeclaredType::Category::Date:
            return Reading::DateText;
        default:
            return Reading::Text;
    }
}

bool isIdentifierChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

// The position after a quoted run starting at `at` (quote doubled inside).
qsizetype afterQuoted(const QString& sql, qsizetype at, QChar close) {
    qsizetype i = at + 1;
    while (i < sql.size()) {
        if (sql[i] == close) {
            if (close != u']' && i + 1 < sql.size() && sql[i + 1] == close) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return sql.size();
}

}  // namespace

MarkedStatement markParameters(const QString& sql) {
    MarkedStatement out;
    qsizetype i = 0;
    while (i < sql.size()) {
        const QChar c = sql[i];
        qsizetype next = i + 1;
        if (c == u'\'' || c == u'"' || c == u'`') {
            next = afterQuoted(sql, i, c);
        } else if (c == u'[') {
            next = afterQuoted(sql, i, u']');
        } else if (c == u'-' && i + 1 < sql.size() && sql[i + 1] == u'-') {
            next = sql.indexOf(u'\n', i);
            if (next < 0) next = sql.size();
        } else if (c == u'/' && i + 1 < sql.size() && sql[i + 1] == u'*') {
            const qsizetype end = sql.indexOf(QStringLiteral("*/"), i + 2);
            next = end < 0 ? sql.size() : end + 2;
        } else if ((c == u'@' || c == u':' || c == u'$') && i + 1 < sql.size() &&
                   isIdentifierChar(sql[i + 1])) {
            while (next < sql.size() && isIdentifierChar(sql[next])) ++next;
            out.parameters << sql.mid(i, next - i);
            out.sql += u'?';
            i = next;
            continue;
        } else if (c == u'?') {
            // A marker without a name matches no parameter of the procedure.
            while (next < sql.size() && sql[next].isDigit()) ++next;
            out.parameters << QString();
            out.sql += u'?';
            i = next;
            continue;
        }
        out.sql += QStringView(sql).mid(i, next - i);
        i = next;
    }
    return out;
}

QStringList splitStatements(const QString& body) {
    QStringList out;
    QString current;
    auto keep = [&](QString statement) {
        if (statement.endsWith(u';')) statement.chop(1);
        if (!leadingWords(statement, 1).isEmpty()) out << statement.trimmed();
    };
    for (const QChar c : body) {
        current += c;
        // SQLite decides where a statement ends (literals, comments, triggers).
        if (c == u';' && sqlite3_complete(current.toUtf8().constData())) {
            keep(current);
            current.clear();
        }
    }
    keep(current);
    return out;
}

SqliteDialect::SqliteDialect(const ConnectionSettings& settings)
    : database_(settings.database.trimmed()) {}

ErrorList SqliteDialect::connected(OdbcProvider& provider) {
    std::vector<Row> ignored;
    // A read-only file cannot switch to WAL; it still reads.
    provider.queryAll(NativeStatement{QStringLiteral("PRAGMA journal_mode=WAL"), {}}, ignored);
    provider.queryAll(NativeStatement{QStringLiteral("PRAGMA foreign_keys=ON"), {}}, ignored);
    ErrorList probe =
        provider.queryAll(NativeStatement{QStringLiteral("SELECT kl_len('')"), {}}, ignored);
    if (probe.empty()) return {};
    return {makeError(err::ProviderFailure, QStringLiteral("08001"), 0,
                      QStringLiteral("El controlador ODBC de SQLite no cargó las funciones del "
                                     "motor que la base de datos \"%1\" necesita (LoadExt): %2")
                          .arg(database_, probe.front().Description))};
}

bool SqliteDialect::isProcedure(const QString& name, OdbcProvider& provider) {
    return catalogue_.isProcedure(name, [&provider] {
        std::vector<Row> rows;
        provider.queryAll(NativeStatement{sqlite::procedureNamesQuery(), {}}, rows);
        QStringList names;
        for (const Row& row : rows)
            if (!row.empty()) names << row.front().toString();
        return names;
    });
}

Statements SqliteDialect::statements(const QString& sql, OdbcProvider& provider) {
    auto adapted =
        tsql::adapt(sql, sqlite::embeddedTarget(),
                    [this, &provider](const QString& name) { return isProcedure(name, provider); });
    if (const RunError* e = std::get_if<RunError>(&adapted)) {
        return makeError(e->number != 0 ? e->number : err::Syntax, QStringLiteral("42000"), 102,
                         e->description);
    }
    return std::get<std::vector<tsql::Statement>>(std::move(adapted));
}

ErrorList SqliteDialect::runProcedure(const tsql::Statement& call, OdbcProvider& provider,
                                      long& recordsAffected) {
    std::vector<Row> found;
    provider.queryAll(
        NativeStatement{sqlite::ProcedureCall::definitionQuery(), {Value(call.procedure)}}, found);
    std::optional<sqlite::StoredProcedure> stored;
    if (!found.empty() && found.front().size() >= 2)
        stored = sqlite::StoredProcedure{found.front()[0].toString(), found.front()[1].toString()};
    auto checked = sqlite::ProcedureCall::check(call, stored);
    if (const Error* e = std::get_if<Error>(&checked)) return {*e};
    const sqlite::ProcedureCall& procedure = std::get<sqlite::ProcedureCall>(checked);

    // All of the body or nothing of it: a transaction level of its own.
    long level = 0;
    if (ErrorList e = provider.beginTransaction(level); !e.empty()) return e;
    auto failed = [&provider](ErrorList errors) {
        provider.rollbackTransaction();
        return errors;
    };
    long affected = -1;
    for (const QString& statement : splitStatements(procedure.body())) {
        const MarkedStatement marked = markParameters(statement);
        std::vector<Value> values;
        for (const QString& name : marked.parameters) {
            auto argument = procedure.argument(name);
            if (const Error* e = std::get_if<Error>(&argument)) return failed({*e});
            values.push_back(std::get<Value>(std::move(argument)));
        }
        long count = 0;
        if (ErrorList e = provider.executeNative(NativeStatement{marked.sql, values}, count);
            !e.empty())
            return failed(std::move(e));
        if (isDml(statement)) affected = std::max(0L, affected) + count;
    }
    if (ErrorList e = provider.commitTransaction(); !e.empty()) return failed(std::move(e));
    recordsAffected = affected;
    return {};
}

Error SqliteDialect::errorOf(const Diagnostic& diagnostic, Phase phase) const {
    const MessageParts parts = splitMessage(diagnostic.message);
    if (diagnostic.nativeError <= 0 || !parts.origin.contains(u"SQLite", Qt::CaseInsensitive))
        return serverError(diagnostic, phase);
    // "[SQLite]<SQLite's message> (<result code>)"
    QString message = parts.text;
    const QString code = QStringLiteral(" (%1)").arg(diagnostic.nativeError);
    if (message.endsWith(code)) message.chop(code.size());
    switch (diagnostic.nativeError) {
        case SQLITE_IOERR:
        case SQLITE_CANTOPEN:
        case SQLITE_NOTADB:
        case SQLITE_CORRUPT:
            return sqlite::lostConnection(database_, message);
        default:
            return withCancelledWait(
                sqlite::errorFromSqlite(static_cast<int>(diagnostic.nativeError), message));
    }
}

std::optional<QString> SqliteDialect::declaredType(const QString& table, const QString& column,
                                                   OdbcProvider& provider) {
    return catalogue_.declaredType(table, column, [&provider](const QString& name) {
        std::vector<CatalogColumn> columns;
        provider.catalogColumns(name, columns);
        std::map<QString, QString> types;
        for (const CatalogColumn& c : columns) types[c.column.name] = c.column.typeName;
        return types;
    });
}

ResultColumn SqliteDialect::column(const DriverColumn& column, OdbcProvider& provider) {
    DriverColumn c = column;
    QString declared;
    if (c.declared) {
        declared = c.typeName;
    } else if (!c.baseTable.isEmpty()) {
        // The driver names the column by its label: one the table does not
        // have is an alias, whose column is unknown (so not written).
        const std::optional<QString> type = declaredType(c.baseTable, c.baseColumn, provider);
        if (type)
            declared = *type;
        else
            c.baseColumn.clear();
    } else {
        c.baseColumn.clear();
    }
    const DeclaredType type = sqlite::parseDeclaredType(declared);
    if (type.adoType == 0) {
        ResultColumn out = columnFromSqlType(c);
        out.typedByValue = true;
        return out;
    }
    ResultColumn out;
    out.info.name = c.name;
    out.info.type = type.adoType;
    out.info.definedSize = type.definedSize;
    out.info.precision = type.precision;
    out.info.scale = type.scale;
    out.info.baseTable = c.baseTable;
    out.info.baseColumn = c.baseColumn;
    out.reading = readingOf(type.category);
    return out;
}

// As the embedded engine types an expression: by the first row's value.
void SqliteDialect::settle(std::vector<ResultColumn>& columns, const Row* first) {
    for (size_t i = 0; i < columns.size(); ++i) {
        ColumnInfo& c = columns[i].info;
        if (!columns[i].typedByValue || c.rowLocator) continue;
        const Value v = first ? (*first)[i] : Value(QString());
        switch (v.kind()) {
            case Value::Kind::Integer: {
                const bool small = v.toInt64() >= std::numeric_limits<int>::min() &&
                                   v.toInt64() <= std::numeric_limits<int>::max();
                c.type = small ? adInteger : adBigInt;
                c.definedSize = small ? 4 : 8;
                break;
            }
            case Value::Kind::Double:
                c.type = adDouble;
                c.definedSize = 8;
                break;
            case Value::Kind::Null:  // SQL Server types an untyped NULL as int
                c.type = adInteger;
                c.definedSize = 4;
                break;
            default:
                c.type = adVarChar;
                c.definedSize = first ? std::max<long>(v.toString().size(), 1) : 255;
                break;
        }
    }
}

Value SqliteDialect::parameter(const Value& value) const {
    if (value.kind() == Value::Kind::Date) return Value(sqlite::storedDate(value.toDateTime()));
    return value;
}

QString SqliteDialect::quoteIdentifier(const QString& name) const {
    return sqlite::quoted(name);
}

QString SqliteDialect::savepoint(long level) const {
    return QStringLiteral("SAVEPOINT %1").arg(nestedName(level));
}

QStringList SqliteDialect::rollbackToSavepoint(long level) const {
    return {QStringLiteral("ROLLBACK TO %1").arg(nestedName(level)), releaseSavepoint(level)};
}

QString SqliteDialect::releaseSavepoint(long level) const {
    return QStringLiteral("RELEASE %1").arg(nestedName(level));
}

QString SqliteDialect::identityQuery() const {
    return QStringLiteral("SELECT last_insert_rowid()");
}

// "SELECT rowid AS kl_rowid, ...". Not for DISTINCT (the locator would
// change which rows come back).
std::optional<QString> SqliteDialect::withRowLocator(const QString& sql) const {
    const QStringList words = leadingWords(sql, 2);
    if (words.isEmpty() || words.first() != u"SELECT") return std::nullopt;
    if (words.size() > 1 && (words.at(1) == u"DISTINCT" || words.at(1) == u"ALL"))
        return std::nullopt;
    const qsizetype at = sql.indexOf(QLatin1String("select"), 0, Qt::CaseInsensitive) + 6;
    return sql.left(at) + QStringLiteral(" rowid AS kl_rowid,") + sql.mid(at);
}

ErrorList SqliteDialect::completeTableInfo(TableInfo& table, OdbcProvider& provider) {
    if (table.isView) return {};
    // An INTEGER PRIMARY KEY is the rowid: the engine numbers new rows.
    if (table.keyColumns.size() == 1 && declaredType(table.name, table.keyColumns.first(), provider)
                                                .value_or(QString())
                                                .trimmed()
                                                .compare(u"INTEGER", Qt::CaseInsensitive) == 0)
        table.identityColumn = table.keyColumns.first();
    std::vector<Row> probe;
    if (provider
            .queryAll(
                NativeStatement{
                    QStringLiteral("SELECT rowid FROM %1 LIMIT 0").arg(sqlite::quoted(table.name)),
                    {}},
                probe)
            .empty())
        table.rowLocator = QStringLiteral("rowid");
    return {};
}

bool SqliteDialect::listed(const QString&, const QString& table) const {
    return !table.startsWith(QLatin1String(sqlite::kInternalPrefix), Qt::CaseInsensitive) &&
           !table.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive);
}

ErrorList SqliteDialect::schemaChanged(OdbcProvider& provider) {
    catalogue_.forget();
    std::vector<Row> ignored;
    return provider.queryAll(NativeStatement{QString::fromLatin1(kInstallGuards), {}}, ignored);
}

bool SqliteDialect::countsRows(const QString& statement) const {
    return isDml(statement);
}

ErrorList SqliteDialect::setDefaultDatabase(const QString& name, OdbcProvider&) {
    if (std::optional<Error> refused = sqlite::otherDatabaseRefused(name, database_, database_))
        return {*refused};
    return {};
}

// The driver steps a statement that met another program's lock once more,
// 10 ms later, before its own wait (cut to 1 ms by the connection string)
// runs out: the engine's busy wait then runs twice, so each takes half the
// command timeout.
ErrorList SqliteDialect::setLockTimeout(int seconds, OdbcProvider& provider) {
    const int waitMs = sqlite::lockWaitMs(seconds) / 2 + 1;
    std::vector<Row> ignored;
    return provider.queryAll(
        NativeStatement{QStringLiteral("PRAGMA busy_timeout=%1").arg(waitMs), {}}, ignored);
}

}  // namespace kl::ado::odbc
