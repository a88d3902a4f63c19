#include "platform/ado/ado.h"
#include "platform/ado/connection_string.h"
#include "platform/ado/provider.h"
#include "platform/ado/recordset_impl.h"
#include "platform/ado/sql_trace.h"

namespace kl::ado {

namespace {

const char kConnectionSource[] = "ADODB.Connection";

class MemoryRows final : public RowSource {
  public:
    explicit MemoryRows(SchemaRows rows) : rows_(std::move(rows)) {}
    const std::vector<ColumnInfo>& columns() const override { return rows_.columns; }
    Fetch next(Row& row, ErrorList&) override {
        if (next_ >= rows_.rows.size()) return Fetch::End;
        row = rows_.rows[next_++];
        return Fetch::Row;
    }

  private:
    SchemaRows rows_;
    size_t next_ = 0;
};

Engine engineOf(const ConnectionSettings& s) {
    if (!s.embeddedFile.isEmpty()) return Engine::Sqlite;
    switch (s.kind) {
        case ConnectionSettings::Kind::SqlServer:
            return Engine::SqlServer;
        case ConnectionSettings::Kind::Oracle:
            return Engine::Oracle;
        default:
            return Engine::None;
    }
}

}  // namespace

std::unique_ptr<RowSource> memoryRows(SchemaRows rows) {
    return std::make_unique<MemoryRows>(std::move(rows));
}

RunError adoError(long number, const char* source) {
    QString text;
    switch (number) {
        case err::ObjectClosed:
            text =
                QStringLiteral("No se permite realizar esta operación si el objeto está cerrado.");
            break;
        case err::AlreadyOpen:
            text =
                QStringLiteral("No se permite realizar esta operación si el objeto está abierto.");
            break;
        case err::ConnectionClosed:
            text = QStringLiteral(
                "No se puede usar la conexión para realizar esta operación. Está "
                "cerrada o no es válida en este contexto.");
            break;
        case err::NotAllowedInContext:
            text = QStringLiteral("No se permite realizar esta operación en este contexto.");
            break;
        case err::ItemNotFound:
            text = QStringLiteral(
                "No se encontró el elemento en la colección que corresponde al "
                "nombre o al ordinal solicitado.");
            break;
        case err::EofOrBof:
            text = QStringLiteral(
                "BOF o EOF es True, o el actual registro se eliminó; la operación "
                "solicitada requiere un registro actual.");
            break;
        case err::ReadOnly:
            text = QStringLiteral(
                "El conjunto de registros actual no admite la actualización. Puede "
                "deberse a una limitación del proveedor o del tipo de bloqueo "
                "seleccionado.");
            break;
        case err::CantFetchBackward:
            text = QStringLiteral("El conjunto de filas no permite recuperar filas hacia atrás.");
            break;
        default:
            text = QStringLiteral("Error de ADO %1.").arg(number);
            break;
    }
    return RunError{number, text, QString::fromLatin1(source)};
}

RunError runErrorOf(const std::vector<Error>& errors) {
    if (errors.empty()) return RunError{err::ProviderFailure, QString(), QString()};
    const Error& e = errors.front();
    return RunError{e.Number, e.Description, e.Source};
}

Connection::Connection() : self_(std::make_shared<Connection*>(this)) {}

Connection::~Connection() {
    if (provider_) provider_->close();
}

StepResult Connection::failed(std::vector<Error> errors) {
    RunError e = runErrorOf(errors);
    errors_.replace(std::move(errors));
    return e;
}

StepResult Connection::adoFailed(long number) {
    errors_.Clear();
    return adoError(number, kConnectionSource);
}

void Connection::trace(const QString& sql) const {
    traceStatement(sql, secrets_);
}

StepResult Connection::Open(const QString& connectionString, const QString& user,
                            const QString& password, long) {
    if (provider_) return adoFailed(err::AlreadyOpen);
    const QString text = connectionString.isEmpty() ? connectionString_ : connectionString;
    std::optional<ConnectionSettings> settings = parseConnectionString(text);
    if (!settings) {
        Error e;
        e.Number = err::ProviderFailure;
        e.Source = QString::fromLatin1(kConnectionSource);
        e.SQLState = QStringLiteral("IM002");
        e.Description = QStringLiteral("La cadena de conexión no es válida.");
        return failed({e});
    }
    if (!user.isEmpty()) settings->user = user;
    if (!password.isEmpty()) settings->password = password;
    connectionString_ = text;
    secrets_ = settings->secrets();

    ErrorList errors;
    std::unique_ptr<Provider> provider = makeProvider(*settings, errors);
    if (!provider) return failed(std::move(errors));
    provider->setCommandTimeout(commandTimeout_);
    errors = provider->open(*settings);
    if (!errors.empty()) return failed(std::move(errors));
    provider_ = std::move(provider);
    defaultDatabase_ = provider_->defaultDatabase();
    errors_.Clear();
    return std::nullopt;
}

StepResult Connection::Close() {
    if (!provider_) return adoFailed(err::ObjectClosed);
    provider_->close();
    provider_.reset();
    errors_.Clear();
    return std::nullopt;
}

int Connection::State() const {
    return provider_ ? adStateOpen : adStateClosed;
}

StepResult Connection::Execute(const QString& sql, long* recordsAffected,
                               std::unique_ptr<Recordset>* rows, long) {
    if (rows) rows->reset();
    if (!provider_) return adoFailed(err::ConnectionClosed);
    trace(sql);
    ExecuteOptions options;
    options.wantRows = rows != nullptr;
    ExecuteResult result;
    if (ErrorList errors = provider_->execute(sql, options, result); !errors.empty())
        return failed(std::move(errors));
    if (recordsAffected) *recordsAffected = result.recordsAffected;
    if (rows) {
        auto recordset = std::make_unique<Recordset>();
        if (result.rows) {
            Recordset::Impl& impl = *recordset->impl_;
            impl.connection = this;
            impl.connectionAlive = self_;
            impl.request.source = sql;
            impl.request.cursorLocation = cursorLocation_;
            if (StepResult e = impl.attach(std::move(result.rows), std::nullopt)) return e;
        }
        *rows = std::move(recordset);
    }
    errors_.Clear();
    return std::nullopt;
}

StepResult Connection::BeginTrans(long* level) {
    if (!provider_) return adoFailed(err::ConnectionClosed);
    long newLevel = 0;
    if (ErrorList errors = provider_->beginTransaction(newLevel); !errors.empty())
        return failed(std::move(errors));
    if (level) *level = newLevel;
    errors_.Clear();
    return std::nullopt;
}

StepResult Connection::CommitTrans() {
    if (!provider_) return adoFailed(err::ConnectionClosed);
    if (ErrorList errors = provider_->commitTransaction(); !errors.empty())
        return failed(std::move(errors));
    errors_.Clear();
    return std::nullopt;
}

StepResult Connection::RollbackTrans() {
    if (!provider_) return adoFailed(err::ConnectionClosed);
    if (ErrorList errors = provider_->rollbackTransaction(); !errors.empty())
        return failed(std::move(errors));
    errors_.Clear();
    return std::nullopt;
}

QString Connection::ConnectionString() const {
    return connectionString_;
}

// As with ADO, the string of an open connection stays as it was opened.
void Connection::setConnectionString(const QString& text) {
    if (!provider_) connectionString_ = text;
}

int Connection::CursorLocation() const {
    return cursorLocation_;
}
void Connection::setCursorLocation(int location) {
    cursorLocation_ = location == adUseClient ? adUseClient : adUseServer;
}

int Connection::CommandTimeout() const {
    return commandTimeout_;
}
void Connection::setCommandTimeout(int seconds) {
    commandTimeout_ = seconds;
    if (provider_) provider_->setCommandTimeout(seconds);
}

QString Connection::DefaultDatabase() const {
    return provider_ ? defaultDatabase_ : QString();
}

StepResult Connection::setDefaultDatabase(const QString& name) {
    if (!provider_) return adoFailed(err::ConnectionClosed);
    if (ErrorList errors = provider_->setDefaultDatabase(name); !errors.empty())
        return failed(std::move(errors));
    defaultDatabase_ = name;
    errors_.Clear();
    return std::nullopt;
}

StepResult Connection::DeferIndexes(const QString& table, const QString& column,
                                    std::vector<DeferrableIndex>& deferred) {
    deferred.clear();
    if (!provider_) return adoFailed(err::ConnectionClosed);
    if (provider_->transactionLevel() == 0) return adoFailed(err::NoTransaction);
    std::vector<DeferrableIndex> found;
    if (ErrorList errors = provider_->deferrableIndexes(table, column, found); !errors.empty())
        return failed(std::move(errors));
    for (DeferrableIndex& index : found) {
        trace(index.drop);
        long affected = 0;
        if (ErrorList errors = provider_->executeNative({index.drop, {}}, affected);
            !errors.empty())
            return failed(std::move(errors));
        deferred.push_back(std::move(index));
    }
    errors_.Clear();
    return std::nullopt;
}

StepResult Connection::DeferSizeGuard(const QString& table, const QString& column, long longest,
                                      std::vector<DeferrableIndex>& deferred) {
    if (!provider_) return adoFailed(err::ConnectionClosed);
    if (provider_->transactionLevel() == 0) return adoFailed(err::NoTransaction);
    std::vector<DeferrableIndex> setAside;
    if (ErrorList errors = provider_->setAsideSizeGuard(table, column, longest, setAside);
        !errors.empty())
        return failed(std::move(errors));
    for (DeferrableIndex& guard : setAside) {
        trace(guard.drop);
        deferred.push_back(std::move(guard));
    }
    errors_.Clear();
    return std::nullopt;
}

StepResult Connection::RebuildIndexes(const std::vector<DeferrableIndex>& deferred) {
    if (!provider_) return adoFailed(err::ConnectionClosed);
    for (const DeferrableIndex& index : deferred) {
        trace(index.create);
        long affected = 0;
        if (ErrorList errors = provider_->executeNative({index.create, {}}, affected);
            !errors.empty())
            return failed(std::move(errors));
    }
    errors_.Clear();
    return std::nullopt;
}

StepResult Connection::OpenSchema(int kind, const QStringList& restrictions,
                                  std::unique_ptr<Recordset>& out) {
    out.reset();
    if (!provider_) return adoFailed(err::ConnectionClosed);
    if (kind != adSchemaTables && kind != adSchemaColumns) return adoFailed(err::ReadOnly);
    SchemaRows rows;
    const QString table = restrictions.value(2).trimmed();
    ErrorList errors =
        kind == adSchemaTables ? provider_->tables(rows) : provider_->columns(table, rows);
    if (!errors.empty()) return failed(std::move(errors));
    // Restrictions after the catalog and schema: table, then type or column,
    // compared as the program compares names.
    const QString fourth = restrictions.value(3).trimmed();
    std::vector<Row> kept;
    for (Row& row : rows.rows) {
        if (!table.isEmpty() && row.at(2).toString().compare(table, Qt::CaseInsensitive) != 0)
            continue;
        if (!fourth.isEmpty() && row.at(3).toString().compare(fourth, Qt::CaseInsensitive) != 0)
            continue;
        kept.push_back(std::move(row));
    }
    rows.rows = std::move(kept);

    auto recordset = std::make_unique<Recordset>();
    Recordset::Impl& impl = *recordset->impl_;
    impl.connection = this;
    impl.connectionAlive = self_;
    impl.request.cursorType = adOpenStatic;
    impl.request.cursorLocation = adUseClient;
    if (StepResult e = impl.attach(memoryRows(std::move(rows)), std::nullopt)) return e;
    out = std::move(recordset);
    errors_.Clear();
    return std::nullopt;
}

Engine Connection::engine() const {
    if (provider_) return provider_->engine();
    const std::optional<ConnectionSettings> settings = parseConnectionString(connectionString_);
    return settings ? engineOf(*settings) : Engine::None;
}

QString Connection::dateLiteral(const QDateTime& value) const {
    switch (engine()) {
        case Engine::Sqlite:
            return value.toString(QStringLiteral("''yyyy-MM-dd hh:mm:ss''"));
        case Engine::Oracle:
            // Statements for Oracle pass the data layer's translation, which
            // turns every quoted text that reads as a date into a day-only
            // TO_DATE; digits without separators do not read as one, so the
            // call keeps its time and stays whole.
            return QStringLiteral("TO_DATE('%1','YYYYMMDD HH24MISS')")
                .arg(value.toString(QStringLiteral("yyyyMMdd hhmmss")));
        default:
            return value.toString(QStringLiteral("''yyyyMMdd hh:mm:ss''"));
    }
}

}  // namespace kl::ado
