#include "platform/ado/sqlite/sqlite_provider.h"

#include "platform/ado/busy_wait.h"
#include "platform/ado/sqlite/sqlite_rows.h"
#include "platform/sqlite_engine/engine_rules.h"
#include "platform/sqlite_engine/errors.h"
#include "platform/sqlite_engine/function_table.h"
#include "platform/sqlite_engine/guards.h"
#include "platform/sqlite_engine/handles.h"
#include "platform/sqlite_engine/procedure_call.h"
#include "platform/sqlite_engine/stored_forms.h"

#include <sqlite3.h>

#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QThread>

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>

namespace kl::ado::sqlite {

namespace {

const char kLocatorName[] = "kl_rowid";

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// Skips blanks and comments.
const char* skipFiller(const char* p, const char* end) {
    while (p < end) {
        if (isSpace(*p)) {
            ++p;
        } else if (p + 1 < end && p[0] == '-' && p[1] == '-') {
            while (p < end && *p != '\n') ++p;
        } else if (p + 1 < end && p[0] == '/' && p[1] == '*') {
            p += 2;
            while (p + 1 < end && !(p[0] == '*' && p[1] == '/')) ++p;
            p = std::min(p + 2, end);
        } else if (*p == ';') {
            ++p;
        } else {
            break;
        }
    }
    return p;
}

// The first `count` words of a statement, upper case.
QStringList leadingWords(const char* sql, int count) {
    QStringList words;
    const char* end = sql + std::strlen(sql);
    const char* p = sql;
    while (words.size() < count) {
        p = skipFiller(p, end);
        const char* start = p;
        while (p < end && (std::isalnum(static_cast<unsigned char>(*p)) || *p == '_')) ++p;
        if (p == start) break;
        words << QString::fromLatin1(start, p - start).toUpper();
    }
    return words;
}

bool isDml(sqlite3_stmt* stmt) {
    const QStringList word = leadingWords(sqlite3_sql(stmt), 1);
    if (word.isEmpty()) return false;
    return word.first() == u"INSERT" || word.first() == u"UPDATE" || word.first() == u"DELETE" ||
           word.first() == u"REPLACE" || word.first() == u"WITH";
}

// Reads the row locator along: "SELECT rowid AS kl_rowid, ...". Not for
// DISTINCT (the locator would change which rows come back).
std::optional<QString> withRowLocator(const QString& sql) {
    const QByteArray utf8 = sql.toUtf8();
    const QStringList words = leadingWords(utf8.constData(), 2);
    if (words.isEmpty() || words.first() != u"SELECT") return std::nullopt;
    if (words.size() > 1 && (words.at(1) == u"DISTINCT" || words.at(1) == u"ALL"))
        return std::nullopt;
    const qsizetype at = sql.indexOf(QLatin1String("select"), 0, Qt::CaseInsensitive) + 6;
    return sql.left(at) + QStringLiteral(" rowid AS %1,").arg(QLatin1String(kLocatorName)) +
           sql.mid(at);
}

// Which file a path names now: a file put in the place of the open one
// (a backup restored) is another file, though its path is the same.
std::optional<std::pair<quint64, quint64>> fileIdentity(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) return std::nullopt;
    return std::make_pair(static_cast<quint64>(info.st_dev), static_cast<quint64>(info.st_ino));
}

OpenCircumstances circumstancesOf(const QString& file) {
    const QFileInfo info(file);
    const QStorageInfo volume(info.absolutePath());
    return {QFileInfo(info.absolutePath()).isWritable(), info.isWritable(),
            volume.isValid() && volume.bytesAvailable() == 0};
}

Error openFailure(const QString& file, const QString& reason) {
    return makeError(
        err::ProviderFailure, QStringLiteral("08001"), 4060,
        QStringLiteral("No se puede abrir la base de datos \"%1\": %2").arg(file, reason));
}

bool isInternalTable(const QString& name) {
    return name.startsWith(QLatin1String(kInternalPrefix), Qt::CaseInsensitive) ||
           name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive);
}

ColumnInfo schemaColumn(const char* name, int type) {
    ColumnInfo c;
    c.name = QString::fromLatin1(name);
    c.type = type;
    c.definedSize = type == adVarWChar ? 128 : 8;
    return c;
}

}  // namespace

SqliteProvider::~SqliteProvider() {
    close();
}

ErrorList SqliteProvider::open(const ConnectionSettings& settings) {
    file_ = settings.embeddedFile;
    damaged_ = false;
    database_ = settings.database.trimmed();
    if (file_.isEmpty())
        return {openFailure(file_, QStringLiteral("no se indicó el archivo de la base de datos."))};
    const QFileInfo info(file_);
    if (!info.exists()) return {openFailure(file_, QStringLiteral("el archivo no existe."))};
    if (!info.isFile()) return {openFailure(file_, QStringLiteral("no es un archivo."))};
    if (!info.isReadable())
        return {openFailure(file_, QStringLiteral("el archivo no se puede leer."))};
    if (info.size() == 0)
        return {openFailure(file_, QStringLiteral("el archivo no es una base de datos."))};

    // Never SQLITE_OPEN_CREATE: a missing file is a failure, not a new database.
    // Only the thread that opens a connection uses it, so SQLite's lock
    // around every call (three per value read) would only cost time.
    int rc = db_.open(file_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX);
    auto why = [&](int code) {
        return openFailure(file_, openFailureReason(code, db_.message(), circumstancesOf(file_)));
    };
    ErrorList errors;
    if (rc != SQLITE_OK) {
        errors = {why(rc)};
    } else {
        sqlite3_busy_handler(db_.handle(), &SqliteProvider::waitForLock, this);
        if (registerFunctions(db_.handle()) != SQLITE_OK)
            errors = {openFailure(file_, db_.message())};
        else if (StepResult e = db_.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
            errors = {why(static_cast<int>(e->number))};
    }
    if (!errors.empty()) {
        db_.close();
        return errors;
    }
    // A read-only file cannot switch to WAL; it still reads.
    runPlain(QStringLiteral("PRAGMA journal_mode=WAL"));
    runPlain(QStringLiteral("PRAGMA foreign_keys=ON"));
    schemaVersion_ = schemaVersion();
    identity_ = fileIdentity(file_);
    return {};
}

void SqliteProvider::close() {
    if (!db_.isOpen()) return;
    materializeRows();
    if (level_ > 0) runPlain(QStringLiteral("ROLLBACK"));
    level_ = 0;
    db_.close();
    catalogue_.forget();
    tableCache_.clear();
}

std::optional<Error> SqliteProvider::fileGone() const {
    const QFileInfo info(file_);
    if (!info.exists()) return lostConnection(file_, QStringLiteral("el archivo ya no existe."));
    if (!info.isReadable())
        return lostConnection(file_, QStringLiteral("el archivo ya no se puede leer."));
    if (fileIdentity(file_) != identity_)
        return lostConnection(file_, QStringLiteral("el archivo fue reemplazado por otro."));
    return std::nullopt;
}

Error SqliteProvider::errorOf(int code) const {
    const QString message = db_.isOpen() ? db_.message() : QString::fromUtf8(sqlite3_errstr(code));
    switch (code & 0xff) {
        case SQLITE_NOTADB:
        case SQLITE_CORRUPT:
            damaged_ = true;
            return damagedDatabase(file_, message);
        case SQLITE_IOERR:
        case SQLITE_CANTOPEN:
            return lostConnection(file_, message);
        default:
            return withCancelledWait(errorFromSqlite(code, message));
    }
}

int SqliteProvider::schemaVersion() const {
    SqliteStatement s;
    if (s.prepare(db_.handle(), QStringLiteral("PRAGMA schema_version")) != SQLITE_OK ||
        s.step() != SQLITE_ROW)
        return -1;
    return sqlite3_column_int(s.get(), 0);
}

ErrorList SqliteProvider::runPlain(const QString& sql) {
    if (StepResult e = db_.exec(sql)) return {errorOf(static_cast<int>(e->number))};
    return {};
}

bool SqliteProvider::isProcedure(const QString& name) {
    return catalogue_.isProcedure(name, [this] {
        QStringList names;
        SqliteStatement s;
        if (s.prepare(db_.handle(), procedureNamesQuery()) == SQLITE_OK)
            while (s.step() == SQLITE_ROW) names << s.text(0);
        return names;
    });
}

void SqliteProvider::schemaMayHaveChanged(ErrorList& errors) {
    catalogue_.forgetProcedures();
    const int version = schemaVersion();
    if (version == schemaVersion_) return;
    tableCache_.clear();
    if (StepResult e = installAllColumnGuards(db_.handle()))
        errors.push_back(
            makeError(err::ProviderFailure, QStringLiteral("HY000"), 0, e->description));
    schemaVersion_ = schemaVersion();
}

ErrorList SqliteProvider::execute(const QString& sql, const ExecuteOptions& options,
                                  ExecuteResult& result) {
    if (std::optional<Error> gone = fileGone()) return {*gone};
    auto adapted = tsql::adapt(sql, embeddedTarget(),
                               [this](const QString& name) { return isProcedure(name); });
    if (const RunError* e = std::get_if<RunError>(&adapted)) {
        return {makeError(e->number != 0 ? e->number : err::Syntax, QStringLiteral("42000"), 102,
                          e->description)};
    }
    const std::vector<tsql::Statement>& statements =
        std::get<std::vector<tsql::Statement>>(adapted);
    result.recordsAffected = -1;
    for (size_t i = 0; i < statements.size(); ++i) {
        const bool last = i + 1 == statements.size();
        const tsql::Statement& st = statements[i];
        ErrorList errors = st.isProcedureCall()
                               ? runProcedure(st, result)
                               : runSqlite(st.sql, last && options.wantRows,
                                           last ? options.rowLocatorTable : QString(), result);
        if (!errors.empty()) return errors;
    }
    return {};
}

ErrorList SqliteProvider::runSqlite(const QString& text, bool wantRows,
                                    const QString& rowLocatorTable, ExecuteResult& result) {
    QString sql = text;
    bool locator = false;
    if (wantRows && !rowLocatorTable.isEmpty()) {
        if (std::optional<QString> located = withRowLocator(sql)) {
            sql = *located;
            locator = true;
        }
    }
    const QByteArray utf8 = sql.toUtf8();
    const char* p = utf8.constData();
    const char* end = p + utf8.size();
    while (p < end) {
        SqliteStatement stmt;
        const char* tail = nullptr;
        const int rc = stmt.prepare(db_.handle(), p, static_cast<int>(end - p), &tail);
        if (rc != SQLITE_OK) return {errorOf(rc)};
        p = tail ? tail : end;
        if (!stmt) continue;
        const bool lastHere = skipFiller(p, end) == end;
        if (std::optional<ErrorList> tx = transactionStatement(stmt.get())) {
            if (!tx->empty()) return *tx;
            continue;
        }
        const bool readOnly = sqlite3_stmt_readonly(stmt.get()) != 0;
        if (!readOnly && damaged_)
            return {damagedDatabase(file_, QStringLiteral("escritura rechazada"))};
        if (!readOnly) materializeRows();
        ErrorList errors;
        if (sqlite3_column_count(stmt.get()) > 0 && wantRows && lastHere) {
            auto rows = std::make_unique<SqliteRows>(this, std::move(stmt), locator);
            errors = rows->start();
            if (!errors.empty()) return errors;
            if (!readOnly) rows->materialize();
            result.rows = std::move(rows);
        } else {
            const bool dml = isDml(stmt.get());
            int step = SQLITE_ROW;
            while ((step = stmt.step()) == SQLITE_ROW) {
            }
            if (step != SQLITE_DONE) return {errorOf(step)};
            if (!readOnly && dml)
                result.recordsAffected =
                    std::max(0L, result.recordsAffected) + sqlite3_changes(db_.handle());
        }
        if (level_ > 0 && sqlite3_get_autocommit(db_.handle())) level_ = 0;
        if (!readOnly) schemaMayHaveChanged(errors);
        if (!errors.empty()) return errors;
    }
    return {};
}

// Transactions written as SQL go through the same nesting as BeginTrans:
// SQL Server's BEGIN TRAN nests and its ROLLBACK ends every level.
std::optional<ErrorList> SqliteProvider::transactionStatement(sqlite3_stmt* stmt) {
    const QStringList words = leadingWords(sqlite3_sql(stmt), 2);
    if (words.isEmpty()) return std::nullopt;
    const QString& first = words.first();
    if (first == u"BEGIN") {
        long level = 0;
        return beginTransaction(level);
    }
    if (first == u"COMMIT" || first == u"END") return commitTransaction();
    if (first == u"ROLLBACK" && (words.size() < 2 || words.at(1) != u"TO")) {
        if (level_ == 0) return rollbackTransaction();
        materializeRows();
        ErrorList errors = runPlain(QStringLiteral("ROLLBACK"));
        level_ = 0;
        tableCache_.clear();
        schemaVersion_ = schemaVersion();
        return errors;
    }
    return std::nullopt;
}

ErrorList SqliteProvider::runProcedure(const tsql::Statement& call, ExecuteResult& result) {
    materializeRows();
    SqliteStatement find;
    find.prepare(db_.handle(), ProcedureCall::definitionQuery());
    find.bind(1, call.procedure);
    std::optional<StoredProcedure> stored;
    if (find && find.step() == SQLITE_ROW) stored = StoredProcedure{find.text(0), find.text(1)};
    find.finalize();
    auto checked = ProcedureCall::check(call, stored);
    if (const Error* e = std::get_if<Error>(&checked)) return {*e};
    const ProcedureCall& procedure = std::get<ProcedureCall>(checked);

    // All of the body or nothing of it.
    const bool outer = level_ == 0;
    if (ErrorList e = runPlain(outer ? QStringLiteral("BEGIN IMMEDIATE")
                                     : QStringLiteral("SAVEPOINT kl_procedimiento"));
        !e.empty())
        return e;
    auto undo = [&] {
        if (outer) {
            runPlain(QStringLiteral("ROLLBACK"));
        } else {
            runPlain(QStringLiteral("ROLLBACK TO kl_procedimiento"));
            runPlain(QStringLiteral("RELEASE kl_procedimiento"));
        }
    };

    const QByteArray utf8 = procedure.body().toUtf8();
    const char* p = utf8.constData();
    const char* end = p + utf8.size();
    long affected = -1;
    while (p < end) {
        SqliteStatement stmt;
        const char* tail = nullptr;
        int rc = stmt.prepare(db_.handle(), p, static_cast<int>(end - p), &tail);
        if (rc != SQLITE_OK) {
            Error e = errorOf(rc);
            undo();
            return {e};
        }
        p = tail ? tail : end;
        if (!stmt) continue;
        for (int k = 1; k <= sqlite3_bind_parameter_count(stmt.get()); ++k) {
            const auto argument =
                procedure.argument(QString::fromUtf8(sqlite3_bind_parameter_name(stmt.get(), k)));
            if (const Error* e = std::get_if<Error>(&argument)) {
                undo();
                return {*e};
            }
            bindValue(stmt.get(), k, std::get<Value>(argument));
        }
        const bool dml = isDml(stmt.get());
        while ((rc = stmt.step()) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE) {
            Error e = errorOf(rc);
            stmt.finalize();
            undo();
            return {e};
        }
        if (dml) affected = std::max(0L, affected) + sqlite3_changes(db_.handle());
    }
    ErrorList errors =
        runPlain(outer ? QStringLiteral("COMMIT") : QStringLiteral("RELEASE kl_procedimiento"));
    if (!errors.empty()) {
        undo();
        return errors;
    }
    result.recordsAffected = affected;
    schemaMayHaveChanged(errors);
    return errors;
}

ErrorList SqliteProvider::bind(sqlite3_stmt* stmt, const std::vector<Value>& parameters) {
    for (size_t i = 0; i < parameters.size(); ++i) {
        const int rc = bindValue(stmt, static_cast<int>(i + 1), parameters[i]);
        if (rc != SQLITE_OK) return {errorOf(rc)};
    }
    return {};
}

ErrorList SqliteProvider::executeNative(const NativeStatement& statement, long& recordsAffected) {
    if (std::optional<Error> gone = fileGone()) return {*gone};
    if (damaged_) return {damagedDatabase(file_, QStringLiteral("escritura rechazada"))};
    materializeRows();
    SqliteStatement stmt;
    int rc = stmt.prepare(db_.handle(), statement.sql);
    if (rc != SQLITE_OK) return {errorOf(rc)};
    if (ErrorList e = bind(stmt.get(), statement.parameters); !e.empty()) return e;
    while ((rc = stmt.step()) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) return {errorOf(rc)};
    recordsAffected = sqlite3_changes(db_.handle());
    if (level_ > 0 && sqlite3_get_autocommit(db_.handle())) level_ = 0;
    return {};
}

ErrorList SqliteProvider::queryNative(const NativeStatement& statement,
                                      std::unique_ptr<RowSource>& rows) {
    if (std::optional<Error> gone = fileGone()) return {*gone};
    SqliteStatement stmt;
    const int rc = stmt.prepare(db_.handle(), statement.sql);
    if (rc != SQLITE_OK) return {errorOf(rc)};
    if (ErrorList e = bind(stmt.get(), statement.parameters); !e.empty()) return e;
    auto result = std::make_unique<SqliteRows>(this, std::move(stmt), false);
    if (ErrorList e = result->start(); !e.empty()) return e;
    rows = std::move(result);
    return {};
}

Value SqliteProvider::lastIdentity() {
    return Value(static_cast<std::int64_t>(sqlite3_last_insert_rowid(db_.handle())));
}

ErrorList SqliteProvider::beginTransaction(long& level) {
    if (std::optional<Error> gone = fileGone()) return {*gone};
    if (damaged_) return {damagedDatabase(file_, QStringLiteral("escritura rechazada"))};
    materializeRows();
    // IMMEDIATE takes the write lock at once (waiting for other writers),
    // so a transaction never fails halfway because another program wrote.
    ErrorList errors =
        runPlain(level_ == 0 ? QStringLiteral("BEGIN IMMEDIATE")
                             : QStringLiteral("SAVEPOINT kl_nivel_%1").arg(level_ + 1));
    if (!errors.empty()) return errors;
    level = ++level_;
    return {};
}

ErrorList SqliteProvider::commitTransaction() {
    if (level_ == 0) {
        return {makeError(err::NoTransaction, QStringLiteral("25000"), 3902,
                          QStringLiteral("La solicitud COMMIT TRANSACTION no tiene la "
                                         "correspondiente BEGIN TRANSACTION."))};
    }
    // A file gone from under the connection is a lost connection: what the
    // transaction wrote must not be reported as kept.
    if (std::optional<Error> gone = fileGone()) return {*gone};
    materializeRows();
    ErrorList errors = runPlain(level_ == 1 ? QStringLiteral("COMMIT")
                                            : QStringLiteral("RELEASE kl_nivel_%1").arg(level_));
    if (!errors.empty()) return errors;
    --level_;
    return {};
}

ErrorList SqliteProvider::rollbackTransaction() {
    if (level_ == 0) {
        return {makeError(err::NoTransaction, QStringLiteral("25000"), 3903,
                          QStringLiteral("La solicitud ROLLBACK TRANSACTION no tiene la "
                                         "correspondiente BEGIN TRANSACTION."))};
    }
    materializeRows();
    ErrorList errors =
        level_ == 1
            ? runPlain(QStringLiteral("ROLLBACK"))
            : runPlain(QStringLiteral("ROLLBACK TO kl_nivel_%1; RELEASE kl_nivel_%1").arg(level_));
    --level_;
    if (sqlite3_get_autocommit(db_.handle())) level_ = 0;
    tableCache_.clear();
    catalogue_.forgetProcedures();
    schemaVersion_ = schemaVersion();
    return errors;
}

ErrorList SqliteProvider::tables(SchemaRows& out) {
    if (std::optional<Error> gone = fileGone()) return {*gone};
    out.columns = {schemaColumn("TABLE_CATALOG", adVarWChar),
                   schemaColumn("TABLE_SCHEMA", adVarWChar), schemaColumn("TABLE_NAME", adVarWChar),
                   schemaColumn("TABLE_TYPE", adVarWChar), schemaColumn("DESCRIPTION", adVarWChar)};
    SqliteStatement s;
    const int rc =
        s.prepare(db_.handle(), QStringLiteral("SELECT name, type FROM sqlite_master WHERE type "
                                               "IN ('table','view') ORDER BY type, name"));
    if (rc != SQLITE_OK) return {errorOf(rc)};
    int step = SQLITE_ROW;
    while ((step = s.step()) == SQLITE_ROW) {
        const QString name = s.text(0);
        if (isInternalTable(name)) continue;
        out.rows.push_back({Value(database_), Value("dbo"), Value(name),
                            Value(s.text(1) == u"view" ? "VIEW" : "TABLE"), Value::null()});
    }
    if (step != SQLITE_DONE) return {errorOf(step)};
    return {};
}

ErrorList SqliteProvider::columns(const QString& table, SchemaRows& out) {
    SchemaRows tableRows;
    if (ErrorList e = tables(tableRows); !e.empty()) return e;
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
    for (const Row& t : tableRows.rows) {
        const QString name = t.at(2).toString();
        if (!table.trimmed().isEmpty() && name.compare(table.trimmed(), Qt::CaseInsensitive) != 0)
            continue;
        SqliteStatement s;
        const int rc =
            s.prepare(db_.handle(), QStringLiteral("PRAGMA table_info(%1)").arg(quoted(name)));
        if (rc != SQLITE_OK) return {errorOf(rc)};
        while (s.step() == SQLITE_ROW) {
            const DeclaredType type = parseDeclaredType(s.text(2));
            const bool hasDefault = sqlite3_column_type(s.get(), 4) != SQLITE_NULL;
            const bool isText = type.category == DeclaredType::Category::Text;
            const bool isNumber = type.category == DeclaredType::Category::Numeric;
            out.rows.push_back(
                {Value(database_), Value("dbo"), Value(name), Value(s.text(1)),
                 Value(sqlite3_column_int(s.get(), 0) + 1), Value(hasDefault),
                 hasDefault ? Value(s.text(4)) : Value::null(),
                 Value(sqlite3_column_int(s.get(), 3) == 0),
                 Value(type.adoType != 0 ? type.adoType : int(adVarChar)),
                 isText ? Value(static_cast<std::int64_t>(type.definedSize)) : Value::null(),
                 isNumber ? Value(type.precision) : Value::null(),
                 isNumber ? Value(type.scale) : Value::null()});
        }
    }
    return {};
}

// SQLite updates every index of a changed column row by row, in random
// order over the index; rebuilding one afterwards is a single sorted pass.
// Unique indexes stay: they guard the rewrite itself.
ErrorList SqliteProvider::deferrableIndexes(const QString& table, const QString& column,
                                            std::vector<DeferrableIndex>& out) {
    out.clear();
    if (std::optional<Error> gone = fileGone()) return {*gone};
    SqliteStatement s;
    int rc =
        s.prepare(db_.handle(),
                  QStringLiteral("SELECT m.name, m.sql FROM sqlite_master m WHERE m.type = 'index' "
                                 "AND m.sql IS NOT NULL AND m.tbl_name = ?1 COLLATE NOCASE "
                                 "AND EXISTS (SELECT 1 FROM pragma_index_list(m.tbl_name) l "
                                 "WHERE l.name = m.name AND l.[unique] = 0) "
                                 "AND EXISTS (SELECT 1 FROM pragma_index_info(m.name) i "
                                 "WHERE i.name = ?2 COLLATE NOCASE) ORDER BY m.name"));
    if (rc != SQLITE_OK) return {errorOf(rc)};
    s.bind(1, table);
    s.bind(2, column);
    while ((rc = s.step()) == SQLITE_ROW)
        out.push_back({QStringLiteral("DROP INDEX %1").arg(quoted(s.text(0))), s.text(1)});
    if (rc != SQLITE_DONE) return {errorOf(rc)};
    return {};
}

// The guard is dropped here and the schema's new version taken as known:
// the guards are installed again whenever the schema changes, which would
// otherwise bring it back before the rewrite's first statement. A rollback
// brings it back as well.
ErrorList SqliteProvider::setAsideSizeGuard(const QString& table, const QString& column,
                                            long longest, std::vector<DeferrableIndex>& out) {
    out.clear();
    if (std::optional<Error> gone = fileGone()) return {*gone};
    const std::optional<SizeGuard> guard = sizeGuardOf(db_.handle(), table, column);
    if (!guard) return {};
    if (longest > guard->length)
        return {makeError(err::DataOverflow, QStringLiteral("22001"), native::Truncation,
                          QStringLiteral("Los datos de cadena o binarios se truncarían."))};
    const QString drop = QStringLiteral("DROP TRIGGER %1").arg(quoted(guard->name));
    if (ErrorList errors = runPlain(drop); !errors.empty()) return errors;
    schemaVersion_ = schemaVersion();
    out.push_back({drop, guard->create});
    return {};
}

// Statements reach both engines in SQL Server's dialect, so its reading
// tells which table they read.
std::optional<QString> SqliteProvider::writableTable(const QString& sql) const {
    return tsql::singleTableOf(sql);
}

ErrorList SqliteProvider::tableInfo(const QString& table, TableInfo& out) {
    const QString key = table.trimmed().toUpper();
    if (const auto cached = tableCache_.find(key); cached != tableCache_.end()) {
        out = cached->second;
        return {};
    }
    SqliteStatement kind;
    kind.prepare(db_.handle(), QStringLiteral("SELECT name, type FROM sqlite_master WHERE type IN "
                                              "('table','view') AND upper(name) = ?1"));
    kind.bind(1, key);
    if (!kind || kind.step() != SQLITE_ROW) {
        return {makeError(err::NoSuchTable, QStringLiteral("42S02"), 208,
                          QStringLiteral("El nombre de objeto '%1' no es válido.").arg(table))};
    }
    TableInfo info;
    info.name = kind.text(0);
    info.isView = kind.text(1) == u"view";
    kind.finalize();

    SqliteStatement columns;
    columns.prepare(db_.handle(), QStringLiteral("PRAGMA table_info(%1)").arg(quoted(info.name)));
    std::vector<std::pair<int, QString>> keys;
    QString keyType;
    while (columns && columns.step() == SQLITE_ROW) {
        const int position = sqlite3_column_int(columns.get(), 5);
        if (position > 0) {
            keys.emplace_back(position, columns.text(1));
            keyType = columns.text(2);
        }
    }
    std::sort(keys.begin(), keys.end());
    for (const auto& k : keys) info.keyColumns << k.second;
    if (!info.isView) {
        // An INTEGER PRIMARY KEY is the rowid: the engine numbers new rows.
        if (keys.size() == 1 && keyType.trimmed().compare(u"INTEGER", Qt::CaseInsensitive) == 0)
            info.identityColumn = info.keyColumns.first();
        SqliteStatement probe;
        if (probe.prepare(db_.handle(),
                          QStringLiteral("SELECT rowid FROM %1").arg(quoted(info.name))) ==
            SQLITE_OK)
            info.rowLocator = QStringLiteral("rowid");
    }
    tableCache_[key] = info;
    out = info;
    return {};
}

ErrorList SqliteProvider::setDefaultDatabase(const QString& name) {
    if (std::optional<Error> refused = otherDatabaseRefused(name, file_, database_))
        return {*refused};
    return {};
}

void SqliteProvider::setCommandTimeout(int seconds) {
    busyTimeoutMs_ = lockWaitMs(seconds);
}

int SqliteProvider::waitForLock(void* self, int count) {
    auto* provider = static_cast<SqliteProvider*>(self);
    if (count == 0) provider->waitingSince_.start();
    const qint64 waited = provider->waitingSince_.elapsed();
    if (waited >= provider->busyTimeoutMs_ ||
        !keepWaitingForLock(static_cast<int>(std::min<qint64>(waited, INT_MAX))))
        return 0;
    // Short naps first: most locks are a neighbour's quick write.
    QThread::msleep(count < 20 ? 5 : 50);
    return 1;
}

QString SqliteProvider::quoteIdentifier(const QString& name) const {
    return quoted(name);
}

void SqliteProvider::attach(SqliteRows* rows) {
    liveRows_.attach(rows);
}

void SqliteProvider::detach(SqliteRows* rows) {
    liveRows_.detach(rows);
}

void SqliteProvider::materializeRows() {
    liveRows_.materializeAll();
}

}  // namespace kl::ado::sqlite
