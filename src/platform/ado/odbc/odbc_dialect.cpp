#include "platform/ado/odbc/odbc_dialect.h"

#include "platform/ado/odbc/odbc_postgres_dialect.h"
#include "platform/ado/odbc/odbc_provider.h"
#include "platform/ado/odbc/odbc_sqlite_dialect.h"

namespace kl::ado::odbc {

namespace {

class SqlServerDialect final : public Dialect {
  public:
    Engine engine() const override { return Engine::SqlServer; }
    Statements statements(const QString& sql, OdbcProvider&) override {
        return std::vector<tsql::Statement>{tsql::Statement{sql, {}, {}}};
    }
    // Implicit transactions (autocommit off) begin with the first statement
    // that works on data: a savepoint right after BeginTrans needs one.
    QString savepoint(long level) const override {
        return QStringLiteral("IF @@TRANCOUNT = 0 BEGIN TRANSACTION; SAVE TRANSACTION %1")
            .arg(nestedTransactionName(level));
    }
    QStringList rollbackToSavepoint(long level) const override {
        return {QStringLiteral("ROLLBACK TRANSACTION %1").arg(nestedTransactionName(level))};
    }
    QString identityQuery() const override { return QStringLiteral("SELECT SCOPE_IDENTITY()"); }
    bool identityInInsertBatch() const override { return true; }
    bool listed(const QString& schema, const QString&) const override {
        return schema.compare(u"sys", Qt::CaseInsensitive) != 0 &&
               schema.compare(u"INFORMATION_SCHEMA", Qt::CaseInsensitive) != 0;
    }
};

class OracleDialect final : public Dialect {
  public:
    explicit OracleDialect(QString dataSource) : dataSource_(std::move(dataSource)) {}
    Engine engine() const override { return Engine::Oracle; }
    Statements statements(const QString& sql, OdbcProvider&) override {
        return std::vector<tsql::Statement>{tsql::Statement{sql, {}, {}}};
    }
    QString quoteIdentifier(const QString& name) const override {
        QString out = name;
        out.replace(u'"', QStringLiteral("\"\""));
        return u'"' + out + u'"';
    }
    QString savepoint(long level) const override {
        return QStringLiteral("SAVEPOINT %1").arg(nestedTransactionName(level));
    }
    QStringList rollbackToSavepoint(long level) const override {
        return {QStringLiteral("ROLLBACK TO SAVEPOINT %1").arg(nestedTransactionName(level))};
    }
    QString identityQuery() const override { return QString(); }
    // An Oracle session has no database to change to: the data source is it.
    ErrorList setDefaultDatabase(const QString&, OdbcProvider&) override { return {}; }
    QString defaultDatabase(OdbcProvider&) const override { return dataSource_; }

  private:
    QString dataSource_;
};

bool isSpace(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

}  // namespace

QString nestedTransactionName(long level) {
    return QStringLiteral("kl_nivel_%1").arg(level);
}

ErrorList Dialect::runProcedure(const tsql::Statement& call, OdbcProvider&, long&) {
    Error e;
    e.Number = err::Syntax;
    e.SQLState = QStringLiteral("42000");
    e.NativeError = 2812;
    e.Source = QStringLiteral("ADODB.Connection");
    e.Description =
        QStringLiteral("No se encontró el procedimiento almacenado '%1'.").arg(call.procedure);
    return {e};
}

Error Dialect::errorOf(const Diagnostic& diagnostic, Phase phase) const {
    return serverError(diagnostic, phase);
}

ResultColumn Dialect::column(const DriverColumn& column, OdbcProvider&) {
    return columnFromSqlType(column);
}

void Dialect::settle(std::vector<ResultColumn>&, const Row*) {}

QString Dialect::quoteIdentifier(const QString& name) const {
    QString out = name;
    out.replace(u']', QStringLiteral("]]"));
    return u'[' + out + u']';
}

QString Dialect::releaseSavepoint(long) const {
    return QString();
}

std::optional<QString> Dialect::withRowLocator(const QString&) const {
    return std::nullopt;
}

ErrorList Dialect::completeTableInfo(TableInfo& table, OdbcProvider& provider) {
    if (table.isView) return {};
    return provider.autoNumberedColumn(table.name, table.identityColumn);
}

bool Dialect::listed(const QString&, const QString&) const {
    return true;
}

bool Dialect::countsRows(const QString&) const {
    return true;
}

ErrorList Dialect::setDefaultDatabase(const QString& name, OdbcProvider& provider) {
    return provider.setCurrentCatalog(name);
}

QString Dialect::defaultDatabase(OdbcProvider& provider) const {
    return provider.currentCatalog();
}

std::unique_ptr<Dialect> makeDialect(const QString& dbmsName, const ConnectionSettings& settings) {
    const QString dbms = dbmsName.toLower();
    if (dbms.contains(u"sqlite")) return std::make_unique<SqliteDialect>(settings);
    if (dbms.contains(u"oracle")) return std::make_unique<OracleDialect>(settings.database);
    if (dbms.contains(u"sql server")) return std::make_unique<SqlServerDialect>();
    if (dbms.contains(u"postgresql")) return std::make_unique<PostgresDialect>();
    if (settings.kind == ConnectionSettings::Kind::Oracle)
        return std::make_unique<OracleDialect>(settings.database);
    return std::make_unique<SqlServerDialect>();
}

QStringList leadingWords(QStringView sql, int count) {
    QStringList words;
    qsizetype i = 0;
    const qsizetype n = sql.size();
    while (words.size() < count && i < n) {
        const QChar c = sql[i];
        if (isSpace(c) || c == u';') {
            ++i;
        } else if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
            while (i < n && sql[i] != u'\n') ++i;
        } else if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
            const qsizetype end = sql.indexOf(u"*/", i + 2);
            i = end < 0 ? n : end + 2;
        } else {
            const qsizetype start = i;
            while (i < n && (sql[i].isLetterOrNumber() || sql[i] == u'_')) ++i;
            if (i == start) break;
            words << sql.mid(start, i - start).toString().toUpper();
        }
    }
    return words;
}

}  // namespace kl::ado::odbc
