#include "platform/ado/odbc/odbc_provider.h"

#include "platform/ado/odbc/odbc_postgres_dialect.h"
#include "platform/ado/odbc/odbc_settings.h"

#include <algorithm>

namespace kl::ado::odbc {

namespace {

const char kSource[] = "ADODB.Connection";

Error providerError(long number, const QString& state, long native, const QString& text) {
    Error e;
    e.Number = number;
    e.SQLState = state;
    e.NativeError = native;
    e.Description = text;
    e.Source = QString::fromLatin1(kSource);
    return e;
}

QString withoutBraces(const QString& name) {
    const QString t = name.trimmed();
    return t.startsWith(u'{') && t.endsWith(u'}') ? t.mid(1, t.size() - 2) : t;
}

// The library the driver manager loads for a driver (or a DSN's driver).
QString registeredLibrary(SQLHENV environment, const QString& driver, const QString& dsn) {
    QString name = withoutBraces(driver);
    if (name.contains(u'/')) return name;
    SQLWCHAR first[512], second[2048];
    SQLSMALLINT firstLength = 0, secondLength = 0;
    if (!dsn.isEmpty()) {
        for (SQLUSMALLINT direction = SQL_FETCH_FIRST; SQL_SUCCEEDED(SQLDataSourcesW(
                 environment, direction, first, static_cast<SQLSMALLINT>(std::size(first)),
                 &firstLength, second, static_cast<SQLSMALLINT>(std::size(second)), &secondLength));
             direction = SQL_FETCH_NEXT) {
            if (fromWide(first).compare(dsn, Qt::CaseInsensitive) == 0) name = fromWide(second);
        }
    }
    for (SQLUSMALLINT direction = SQL_FETCH_FIRST; SQL_SUCCEEDED(SQLDriversW(
             environment, direction, first, static_cast<SQLSMALLINT>(std::size(first)),
             &firstLength, second, static_cast<SQLSMALLINT>(std::size(second)), &secondLength));
         direction = SQL_FETCH_NEXT) {
        if (fromWide(first).compare(name, Qt::CaseInsensitive) != 0) continue;
        // Attributes "key=value", each ended by a NUL, the list by another.
        qsizetype at = 0;
        while (at < secondLength && second[at] != 0) {
            const QString pair = fromWide(second + at);
            if (pair.startsWith(u"Driver=", Qt::CaseInsensitive)) return pair.mid(7);
            at += pair.size() + 1;
        }
    }
    return name;
}

// The settings file's key for the driver a string needs.
QString driverKey(const ConnectionSettings& s) {
    switch (s.kind) {
        case ConnectionSettings::Kind::SqlServer:
            return QStringLiteral(" (KL000p.INI, sección [ODBC], clave DriverSQLServer)");
        case ConnectionSettings::Kind::Oracle:
            return QStringLiteral(" (KL000p.INI, sección [ODBC], clave DriverOracle)");
        default:
            return QString();
    }
}

bool isWriting(const QString& firstWord) {
    return firstWord != u"SELECT";
}

bool changesSchema(const QString& firstWord) {
    return firstWord == u"CREATE" || firstWord == u"ALTER" || firstWord == u"DROP";
}

// Every row of a catalogue call's result, as texts.
std::vector<Row> catalogueRows(SQLHSTMT statement, TextEncoding encoding) {
    std::vector<Row> rows;
    SQLSMALLINT count = 0;
    SQLNumResultCols(statement, &count);
    ResultColumn asText;
    while (SQL_SUCCEEDED(SQLFetch(statement))) {
        Row row;
        for (SQLUSMALLINT i = 1; i <= count; ++i) {
            Value v;
            if (!readValue(statement, i, asText, encoding, v)) v = Value::null();
            row.push_back(v);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

QString textAt(const Row& row, size_t index) {
    return index < row.size() && !row[index].isNull() ? row[index].toString() : QString();
}

ColumnInfo schemaColumn(const char* name, int type) {
    ColumnInfo c;
    c.name = QString::fromLatin1(name);
    c.type = type;
    c.definedSize = type == adVarWChar ? 128 : 8;
    return c;
}

}  // namespace

OdbcProvider::~OdbcProvider() {
    close();
}

Engine OdbcProvider::engine() const {
    if (dialect_) return dialect_->engine();
    return settings_.kind == ConnectionSettings::Kind::Oracle ? Engine::Oracle : Engine::SqlServer;
}

ErrorList OdbcProvider::open(const ConnectionSettings& settings) {
    settings_ = settings;
    if (!SQL_SUCCEEDED(environment_.allocate(SQL_NULL_HANDLE)) ||
        !SQL_SUCCEEDED(SQLSetEnvAttr(environment_.get(), SQL_ATTR_ODBC_VERSION,
                                     reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0))) {
        return {providerError(err::ProviderFailure, QStringLiteral("IM004"), 0,
                              QStringLiteral("No se pudo iniciar el administrador de "
                                             "controladores ODBC."))};
    }
    const OdbcDrivers drivers = configuredDrivers();
    const QString driver = driverFor(settings, drivers);
    const QString library = registeredLibrary(environment_.get(), driver, dsnOf(settings));
    const DriverFamily family = familyOfLibrary(library);
    encoding_ = family == DriverFamily::SqliteOdbc ? TextEncoding::Utf8 : TextEncoding::Utf16;
    QString module;
    if (family == DriverFamily::SqliteOdbc) {
        module = sqliteFunctionsModule();
        if (module.isEmpty()) {
            return {providerError(
                err::ProviderFailure, QStringLiteral("IM003"), 0,
                QStringLiteral("No se encontró el módulo de funciones de SQLite "
                               "(libkl_sqlite_functions.so) que la base de datos necesita con el "
                               "controlador ODBC de SQLite."))};
        }
    }
    const OdbcConnectionString target = odbcConnectionString(settings, drivers, family, module);
    if (ErrorList e = connect(target.text, target.loginTimeout, driver); !e.empty()) {
        // SQLite's driver only says "connect failed": name the file.
        if (family == DriverFamily::SqliteOdbc) {
            for (Error& error : e)
                error.Description = QStringLiteral("No se puede abrir la base de datos \"%1\": %2")
                                        .arg(settings.database, error.Description);
        }
        if (family == DriverFamily::PsqlOdbc) {
            for (Error& error : e)
                explainLoginFailure(error, settings.server, settings.database, settings.user);
        }
        close();
        return e;
    }
    dialect_ = makeDialect(infoText(connection_.get(), SQL_DBMS_NAME, encoding_), settings);
    ErrorList errors = dialect_->connected(*this);
    if (errors.empty() && dialect_->waitsForLocks())
        errors = dialect_->setLockTimeout(commandTimeout_, *this);
    if (!errors.empty()) {
        close();
        return errors;
    }
    defaultDatabase_ = dialect_->defaultDatabase(*this);
    return {};
}

ErrorList OdbcProvider::connect(const QString& text, int loginTimeout, const QString& driver) {
    if (!SQL_SUCCEEDED(connection_.allocate(environment_.get())))
        return connectionErrors(Phase::Opening);
    SQLSetConnectAttrW(connection_.get(), SQL_ATTR_LOGIN_TIMEOUT,
                       reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(loginTimeout)), 0);
    if (SQL_SUCCEEDED(driverConnect(connection_.get(), text, encoding_))) {
        connection_.setConnected();
        return {};
    }
    ErrorList errors = connectionErrors(Phase::Opening);
    for (Error& e : errors) {
        // The driver manager could not load the driver: say which one and
        // where it is named.
        if (e.Source.contains(u"Driver Manager") && !driver.isEmpty()) {
            e.Description = QStringLiteral(
                                "El controlador ODBC \"%1\" no está instalado o no "
                                "está registrado en odbcinst.ini%2. %3")
                                .arg(driver, driverKey(settings_), e.Description);
        }
    }
    return errors;
}

void OdbcProvider::close() {
    materializeRows();
    if (connection_.connected() && level_ > 0) endTransaction(SQL_ROLLBACK);
    level_ = 0;
    connection_.reset();
    environment_.reset();
    forgetSchema();
}

ErrorList OdbcProvider::connectionErrors(Phase phase) const {
    ErrorList errors;
    for (const Diagnostic& d : readDiagnostics(SQL_HANDLE_DBC, connection_.get(), encoding_))
        errors.push_back(dialect_ ? dialect_->errorOf(d, phase) : serverError(d, phase));
    if (errors.empty()) {
        errors.push_back(providerError(err::ProviderFailure, QStringLiteral("HY000"), 0,
                                       QStringLiteral("El controlador ODBC no pudo conectar y no "
                                                      "informó el motivo.")));
    }
    return errors;
}

ErrorList OdbcProvider::statementErrors(SQLHSTMT statement) const {
    ErrorList errors;
    for (const Diagnostic& d : readDiagnostics(SQL_HANDLE_STMT, statement, encoding_))
        errors.push_back(dialect_ ? dialect_->errorOf(d, Phase::Working)
                                  : serverError(d, Phase::Working));
    if (errors.empty()) {
        errors.push_back(providerError(err::ProviderFailure, QStringLiteral("HY000"), 0,
                                       QStringLiteral("El controlador ODBC falló y no informó "
                                                      "el motivo.")));
    }
    return errors;
}

void OdbcProvider::forgetSchema() {
    tableCache_.clear();
    if (dialect_) dialect_->wrote();
}

OdbcProvider::TransactionVerb OdbcProvider::transactionVerb(const QString& sql) {
    const QStringList words = leadingWords(sql, 4);
    if (words.isEmpty() || words.size() > 3) return TransactionVerb::None;
    const QString second = words.value(1);
    const bool tran = second.isEmpty() || second == u"TRAN" || second == u"TRANSACTION";
    if (words.first() == u"BEGIN" && (tran || second == u"DEFERRED" || second == u"IMMEDIATE"))
        return TransactionVerb::Begin;
    if ((words.first() == u"COMMIT" && (tran || second == u"WORK")) ||
        (words.first() == u"END" && tran && words.size() <= 2))
        return TransactionVerb::Commit;
    // A ROLLBACK naming a savepoint undoes only up to it: the engine's own.
    if (words.first() == u"ROLLBACK" && words.size() <= 2 && (tran || second == u"WORK"))
        return TransactionVerb::Rollback;
    return TransactionVerb::None;
}

ErrorList OdbcProvider::execute(const QString& sql, const ExecuteOptions& options,
                                ExecuteResult& result) {
    Statements adapted = dialect_->statements(sql, *this);
    if (const Error* e = std::get_if<Error>(&adapted)) return {*e};
    const std::vector<tsql::Statement>& statements =
        std::get<std::vector<tsql::Statement>>(adapted);
    result.recordsAffected = -1;
    for (size_t i = 0; i < statements.size(); ++i) {
        const bool last = i + 1 == statements.size();
        const tsql::Statement& st = statements[i];
        ErrorList errors;
        if (st.isProcedureCall()) {
            long affected = -1;
            errors = dialect_->runProcedure(st, *this, affected);
            if (affected >= 0)
                result.recordsAffected = std::max(0L, result.recordsAffected) + affected;
        } else {
            switch (transactionVerb(st.sql)) {
                case TransactionVerb::Begin: {
                    long level = 0;
                    errors = beginTransaction(level);
                    break;
                }
                case TransactionVerb::Commit:
                    errors = commitTransaction();
                    break;
                // SQL Server's ROLLBACK ends every level.
                case TransactionVerb::Rollback:
                    errors = level_ <= 1 ? rollbackTransaction() : rollbackEverything();
                    break;
                case TransactionVerb::None: {
                    QString text = st.sql;
                    bool locator = false;
                    const bool rows = last && options.wantRows;
                    if (rows && !options.rowLocatorTable.isEmpty()) {
                        if (const std::optional<QString> located = dialect_->withRowLocator(text)) {
                            text = *located;
                            locator = true;
                        }
                    }
                    errors = run(text, {}, rows, locator, result);
                    if (errors.empty()) errors = afterStatement(st.sql);
                    break;
                }
            }
        }
        if (!errors.empty()) return errors;
    }
    return {};
}

ErrorList OdbcProvider::run(const QString& sql, const std::vector<Value>& parameters, bool wantRows,
                            bool locator, ExecuteResult& result) {
    materializeRows();
    StatementHandle statement;
    if (!SQL_SUCCEEDED(statement.allocate(connection_.get())))
        return connectionErrors(Phase::Working);
    if (!dialect_->waitsForLocks()) {
        SQLSetStmtAttrW(
            statement.get(), SQL_ATTR_QUERY_TIMEOUT,
            reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(std::max(0, commandTimeout_))), 0);
    }
    std::vector<Value> values;
    for (const Value& v : parameters) values.push_back(dialect_->parameter(v));
    Parameters bound(values, encoding_);
    if (!SQL_SUCCEEDED(bound.bind(statement.get()))) return statementErrors(statement.get());
    SQLRETURN rc = execDirect(statement.get(), sql, encoding_);
    if (rc == SQL_NO_DATA) {
        // A searched UPDATE or DELETE that found no row.
        if (dialect_->countsRows(sql))
            result.recordsAffected = std::max(0L, result.recordsAffected);
        return {};
    }
    if (!SQL_SUCCEEDED(rc)) return statementErrors(statement.get());
    for (;;) {
        const std::vector<DriverColumn> described = describeResult(statement.get(), encoding_);
        if (!described.empty()) {
            if (wantRows && !result.rows) {
                std::vector<ResultColumn> columns;
                for (const DriverColumn& c : described)
                    columns.push_back(dialect_->column(c, *this));
                if (locator) {
                    columns.front().info.rowLocator = true;
                    columns.front().reading = Reading::Integer;
                }
                auto rows =
                    std::make_unique<OdbcRows>(this, std::move(statement), columns, encoding_);
                ErrorList errors =
                    rows->start([this](std::vector<ResultColumn>& c, const Row* first) {
                        dialect_->settle(c, first);
                    });
                if (!errors.empty()) return errors;
                result.rows = std::move(rows);
                return {};
            }
            // Rows nobody reads are still read: their failures count.
            while (SQL_SUCCEEDED(rc = SQLFetch(statement.get()))) {
            }
            if (rc != SQL_NO_DATA) return statementErrors(statement.get());
        } else {
            SQLLEN count = -1;
            if (SQL_SUCCEEDED(SQLRowCount(statement.get(), &count)) && count >= 0 &&
                dialect_->countsRows(sql))
                result.recordsAffected = std::max(0L, result.recordsAffected) + count;
        }
        rc = SQLMoreResults(statement.get());
        if (rc == SQL_NO_DATA) return {};
        if (!SQL_SUCCEEDED(rc)) return statementErrors(statement.get());
    }
}

ErrorList OdbcProvider::afterStatement(const QString& sql) {
    const QString first = leadingWords(sql, 1).value(0);
    if (changesSchema(first)) {
        forgetSchema();
        return dialect_->schemaChanged(*this);
    }
    if (isWriting(first)) dialect_->wrote();
    return {};
}

ErrorList OdbcProvider::executeNative(const NativeStatement& statement, long& recordsAffected) {
    ExecuteResult result;
    const bool insert = leadingWords(statement.sql, 1).value(0) == u"INSERT";
    const bool readIdentity = insert && dialect_->identityInInsertBatch();
    const QString sql = readIdentity
                            ? statement.sql + QStringLiteral("; ") + dialect_->identityQuery()
                            : statement.sql;
    if (ErrorList e = run(sql, statement.parameters, readIdentity, false, result); !e.empty())
        return e;
    if (readIdentity) {
        Row row;
        ErrorList ignored;
        identity_ = result.rows && result.rows->next(row, ignored) == RowSource::Fetch::Row
                        ? row.front()
                        : Value::null();
    }
    recordsAffected = result.recordsAffected;
    return afterStatement(statement.sql);
}

ErrorList OdbcProvider::queryNative(const NativeStatement& statement,
                                    std::unique_ptr<RowSource>& rows) {
    ExecuteResult result;
    if (ErrorList e = run(statement.sql, statement.parameters, true, false, result); !e.empty())
        return e;
    rows = std::move(result.rows);
    return {};
}

ErrorList OdbcProvider::queryAll(const NativeStatement& statement, std::vector<Row>& rows) {
    std::unique_ptr<RowSource> source;
    if (ErrorList e = queryNative(statement, source); !e.empty()) return e;
    if (!source) return {};
    Row row;
    ErrorList errors;
    RowSource::Fetch fetched;
    while ((fetched = source->next(row, errors)) == RowSource::Fetch::Row) rows.push_back(row);
    return fetched == RowSource::Fetch::Failed ? errors : ErrorList{};
}

Value OdbcProvider::lastIdentity() {
    if (dialect_->identityInInsertBatch()) return identity_;
    const QString query = dialect_->identityQuery();
    if (query.isEmpty()) return Value::null();
    std::vector<Row> rows;
    if (!queryAll(NativeStatement{query, {}}, rows).empty() || rows.empty() || rows[0].empty())
        return Value::null();
    return rows[0][0];
}

ErrorList OdbcProvider::endTransaction(SQLSMALLINT completion) {
    if (!SQL_SUCCEEDED(SQLEndTran(SQL_HANDLE_DBC, connection_.get(), completion)))
        return connectionErrors(Phase::Working);
    SQLSetConnectAttrW(connection_.get(), SQL_ATTR_AUTOCOMMIT,
                       reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
    return {};
}

ErrorList OdbcProvider::beginTransaction(long& level) {
    materializeRows();
    if (level_ == 0) {
        if (!SQL_SUCCEEDED(SQLSetConnectAttrW(connection_.get(), SQL_ATTR_AUTOCOMMIT,
                                              reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0)))
            return connectionErrors(Phase::Working);
    } else {
        ExecuteResult ignored;
        if (ErrorList e = run(dialect_->savepoint(level_ + 1), {}, false, false, ignored);
            !e.empty())
            return e;
    }
    level = ++level_;
    return {};
}

ErrorList OdbcProvider::commitTransaction() {
    if (level_ == 0) {
        return {providerError(err::NoTransaction, QStringLiteral("25000"), 3902,
                              QStringLiteral("La solicitud COMMIT TRANSACTION no tiene la "
                                             "correspondiente BEGIN TRANSACTION."))};
    }
    materializeRows();
    if (level_ == 1) {
        if (ErrorList e = endTransaction(SQL_COMMIT); !e.empty()) return e;
    } else if (const QString release = dialect_->releaseSavepoint(level_); !release.isEmpty()) {
        ExecuteResult ignored;
        if (ErrorList e = run(release, {}, false, false, ignored); !e.empty()) return e;
    }
    --level_;
    return {};
}

ErrorList OdbcProvider::rollbackTransaction() {
    if (level_ == 0) {
        return {providerError(err::NoTransaction, QStringLiteral("25000"), 3903,
                              QStringLiteral("La solicitud ROLLBACK TRANSACTION no tiene la "
                                             "correspondiente BEGIN TRANSACTION."))};
    }
    materializeRows();
    ErrorList errors;
    if (level_ == 1) {
        errors = endTransaction(SQL_ROLLBACK);
    } else {
        for (const QString& statement : dialect_->rollbackToSavepoint(level_)) {
            ExecuteResult ignored;
            if (errors = run(statement, {}, false, false, ignored); !errors.empty()) break;
        }
    }
    --level_;
    forgetSchema();
    return errors;
}

ErrorList OdbcProvider::rollbackEverything() {
    materializeRows();
    ErrorList errors = endTransaction(SQL_ROLLBACK);
    level_ = 0;
    forgetSchema();
    return errors;
}

ErrorList OdbcProvider::tables(SchemaRows& out) {
    return listedTables(QString(), out);
}

ErrorList OdbcProvider::listedTables(const QString& pattern, SchemaRows& out) {
    materializeRows();
    out.columns = {schemaColumn("TABLE_CATALOG", adVarWChar),
                   schemaColumn("TABLE_SCHEMA", adVarWChar), schemaColumn("TABLE_NAME", adVarWChar),
                   schemaColumn("TABLE_TYPE", adVarWChar), schemaColumn("DESCRIPTION", adVarWChar)};
    StatementHandle statement;
    if (!SQL_SUCCEEDED(statement.allocate(connection_.get())))
        return connectionErrors(Phase::Working);
    if (!SQL_SUCCEEDED(
            listTables(statement.get(), pattern, QStringLiteral("TABLE,VIEW"), encoding_)))
        return statementErrors(statement.get());
    for (const Row& row : catalogueRows(statement.get(), encoding_)) {
        const QString schema = textAt(row, 1);
        const QString name = textAt(row, 2);
        const QString type = textAt(row, 3).toUpper();
        if ((type != u"TABLE" && type != u"VIEW") || !dialect_->listed(schema, name)) continue;
        const QString catalog = textAt(row, 0);
        out.rows.push_back({Value(catalog.isEmpty() ? defaultDatabase_ : catalog),
                            Value(dialect_->schemaShown(schema)), Value(name), Value(type),
                            Value::null()});
    }
    return {};
}

ErrorList OdbcProvider::catalogColumns(const QString& table, std::vector<CatalogColumn>& out) {
    materializeRows();
    StatementHandle statement;
    if (!SQL_SUCCEEDED(statement.allocate(connection_.get())))
        return connectionErrors(Phase::Working);
    if (!SQL_SUCCEEDED(listColumns(statement.get(), table.trimmed(), encoding_)))
        return statementErrors(statement.get());
    for (const Row& row : catalogueRows(statement.get(), encoding_)) {
        CatalogColumn c;
        c.schema = textAt(row, 1);
        c.table = textAt(row, 2);
        // The table is a search pattern ("_" matches any character).
        if (!table.trimmed().isEmpty() &&
            c.table.compare(table.trimmed(), Qt::CaseInsensitive) != 0)
            continue;
        c.column.name = textAt(row, 3);
        c.column.sqlType = static_cast<SQLSMALLINT>(textAt(row, 4).toInt());
        c.column.typeName = textAt(row, 5);
        c.column.size = textAt(row, 6).toULongLong();
        c.column.decimals = static_cast<SQLSMALLINT>(textAt(row, 8).toInt());
        c.nullable = textAt(row, 10).toInt() != SQL_NO_NULLS;
        c.defaultValue = row.size() > 12 && !row[12].isNull() ? row[12] : Value::null();
        c.position = textAt(row, 16).toInt();
        c.column.baseTable = c.table;
        c.column.baseColumn = c.column.name;
        c.column.declared = true;
        out.push_back(std::move(c));
    }
    return {};
}

ErrorList OdbcProvider::columns(const QString& table, SchemaRows& out) {
    out.columns = {schemaColumn("TABLE_CATALOG", adVarWChar),
                   schemaColumn("TABLE_SCHEMA", adVarWChar),
                   schemaColumn("TABLE_NAME", adVarWChar),
                   schemaColumn("COLUMN_NAME", adVarWChar),
                   schemaColumn("ORDINAL_POSITION", adInteger),
                   schemaColumn("COLUMN_HASDEFAULT", adBoolean),
                   schemaColumn("COLUMN_DEFAULT", adVarWChar),
                   schemaColumn("IS_NULLABLE", adBoolean),
                   schemaColumn("DATA_TYPE", adSmallInt),
                   schemaColumn("CHARACTER_MAXIMUM_LENGTH", adInteger),
                   schemaColumn("NUMERIC_PRECISION", adSmallInt),
                   schemaColumn("NUMERIC_SCALE", adSmallInt)};
    std::vector<CatalogColumn> listed;
    if (ErrorList e = catalogColumns(table, listed); !e.empty()) return e;
    for (const CatalogColumn& c : listed) {
        if (!dialect_->listed(c.schema, c.table)) continue;
        const ResultColumn typed = dialect_->column(c.column, *this);
        const bool text = typed.reading == Reading::Text && typed.info.type != adVarBinary;
        const bool numeric = typed.info.type == adNumeric;
        out.rows.push_back(
            {Value(defaultDatabase_), Value(dialect_->schemaShown(c.schema)), Value(c.table),
             Value(c.column.name), Value(c.position), Value(!c.defaultValue.isNull()),
             c.defaultValue, Value(c.nullable), Value(typed.info.type),
             text ? Value(static_cast<std::int64_t>(typed.info.definedSize)) : Value::null(),
             numeric ? Value(typed.info.precision) : Value::null(),
             numeric ? Value(typed.info.scale) : Value::null()});
    }
    return {};
}

// Statements reach both engines in SQL Server's dialect, so its reading
// tells which table they read.
std::optional<QString> OdbcProvider::writableTable(const QString& sql) const {
    return tsql::singleTableOf(sql);
}

ErrorList OdbcProvider::tableInfo(const QString& table, TableInfo& out) {
    const QString key = table.trimmed().toUpper();
    if (const auto cached = tableCache_.find(key); cached != tableCache_.end()) {
        out = cached->second;
        return {};
    }
    SchemaRows listed;
    if (ErrorList e = listedTables(table.trimmed(), listed); !e.empty()) return e;
    TableInfo info;
    for (const Row& row : listed.rows) {
        if (row[2].toString().compare(table.trimmed(), Qt::CaseInsensitive) != 0) continue;
        info.name = row[2].toString();
        info.isView = row[3].toString() == u"VIEW";
        break;
    }
    if (info.name.isEmpty()) {
        return {providerError(err::NoSuchTable, QStringLiteral("42S02"), 208,
                              QStringLiteral("El nombre de objeto '%1' no es válido.").arg(table))};
    }
    StatementHandle statement;
    if (!SQL_SUCCEEDED(statement.allocate(connection_.get())))
        return connectionErrors(Phase::Working);
    if (!SQL_SUCCEEDED(listPrimaryKeys(statement.get(), info.name, encoding_)))
        return statementErrors(statement.get());
    std::vector<std::pair<int, QString>> keys;
    for (const Row& row : catalogueRows(statement.get(), encoding_))
        keys.emplace_back(textAt(row, 4).toInt(), textAt(row, 3));
    statement.reset();
    std::sort(keys.begin(), keys.end());
    for (const auto& k : keys) info.keyColumns << k.second;
    if (ErrorList e = dialect_->completeTableInfo(info, *this); !e.empty()) return e;
    tableCache_[key] = info;
    out = info;
    return {};
}

ErrorList OdbcProvider::autoNumberedColumn(const QString& table, QString& column) {
    materializeRows();
    StatementHandle statement;
    if (!SQL_SUCCEEDED(statement.allocate(connection_.get())))
        return connectionErrors(Phase::Working);
    if (!SQL_SUCCEEDED(execDirect(
            statement.get(),
            QStringLiteral("SELECT * FROM %1 WHERE 1 = 0").arg(quoteIdentifier(table)), encoding_)))
        return statementErrors(statement.get());
    SQLSMALLINT count = 0;
    SQLNumResultCols(statement.get(), &count);
    for (SQLUSMALLINT i = 1; i <= count; ++i) {
        SQLLEN automatic = SQL_FALSE;
        SQLColAttributeW(statement.get(), i, SQL_DESC_AUTO_UNIQUE_VALUE, nullptr, 0, nullptr,
                         &automatic);
        if (automatic == SQL_TRUE) {
            column = describeColumn(statement.get(), i, encoding_).name;
            break;
        }
    }
    return {};
}

ErrorList OdbcProvider::setCurrentCatalog(const QString& name) {
    materializeRows();
    if (!SQL_SUCCEEDED(odbc::setCurrentCatalog(connection_.get(), name.trimmed(), encoding_)))
        return connectionErrors(Phase::Working);
    return {};
}

QString OdbcProvider::currentCatalog() {
    return odbc::currentCatalog(connection_.get(), encoding_).value_or(settings_.database);
}

ErrorList OdbcProvider::setDefaultDatabase(const QString& name) {
    if (ErrorList e = dialect_->setDefaultDatabase(name, *this); !e.empty()) return e;
    defaultDatabase_ = dialect_->defaultDatabase(*this);
    return {};
}

void OdbcProvider::setCommandTimeout(int seconds) {
    commandTimeout_ = seconds;
    if (dialect_ && connection_.connected() && dialect_->waitsForLocks())
        dialect_->setLockTimeout(seconds, *this);
}

QString OdbcProvider::quoteIdentifier(const QString& name) const {
    if (dialect_) return dialect_->quoteIdentifier(name);
    return u'[' + name + u']';
}

void OdbcProvider::attach(OdbcRows* rows) {
    liveRows_.attach(rows);
}

void OdbcProvider::detach(OdbcRows* rows) {
    liveRows_.detach(rows);
}

void OdbcProvider::materializeRows() {
    liveRows_.materializeAll();
}

}  // namespace kl::ado::odbc
