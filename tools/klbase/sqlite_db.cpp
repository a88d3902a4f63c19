#include "sqlite_db.h"

#include "platform/ado/sqlite_support.h"

#include <QFileInfo>

#include <sqlite3.h>

#include <utility>

namespace kl::klbase {

namespace {

const QString kSource = QStringLiteral("klbase");

RunError sqliteFailure(sqlite3* db, const QString& context) {
    const QString message =
        db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("sin memoria");
    const long code = db ? sqlite3_extended_errcode(db) : SQLITE_NOMEM;
    return RunError{code, context.isEmpty() ? message : context + QStringLiteral(": ") + message,
                    kSource};
}

}  // namespace

Statement::~Statement() {
    sqlite3_finalize(handle_);
}

Statement::Statement(Statement&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), db_(other.db_) {}

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(handle_);
        handle_ = std::exchange(other.handle_, nullptr);
        db_ = other.db_;
    }
    return *this;
}

void Statement::bind(int index, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(handle_, index, utf8.constData(), static_cast<int>(utf8.size()),
                      SQLITE_TRANSIENT);
}

void Statement::bind(int index, std::int64_t number) {
    sqlite3_bind_int64(handle_, index, number);
}

void Statement::bind(int index, double number) {
    sqlite3_bind_double(handle_, index, number);
}

void Statement::bindNull(int index) {
    sqlite3_bind_null(handle_, index);
}

void Statement::bind(int index, const Value& value) {
    switch (value.kind()) {
        case Value::Kind::Empty:
        case Value::Kind::Null:
            bindNull(index);
            break;
        case Value::Kind::Boolean:
            bind(index, static_cast<std::int64_t>(value.toBool() ? 1 : 0));
            break;
        case Value::Kind::Integer:
            bind(index, value.toInt64());
            break;
        case Value::Kind::Double:
        case Value::Kind::Currency:
            bind(index, value.toDouble());
            break;
        case Value::Kind::Date:
            bind(index, ado::sqlite::storedDate(value.toDateTime()));
            break;
        case Value::Kind::Text:
            bind(index, value.toString());
            break;
    }
}

void Statement::bindStatic(int index, const QByteArray& utf8) {
    sqlite3_bind_text(handle_, index, utf8.constData(), static_cast<int>(utf8.size()),
                      SQLITE_STATIC);
}

StepResult Statement::run(const std::vector<Value>& values) {
    for (size_t i = 0; i < values.size(); ++i) bind(static_cast<int>(i + 1), values[i]);
    return run();
}

bool Statement::bind(const char* name, const QString& text) {
    const int index = sqlite3_bind_parameter_index(handle_, name);
    if (index == 0) return false;
    bind(index, text);
    return true;
}

StepResult Statement::step(bool& row) {
    const int rc = sqlite3_step(handle_);
    row = rc == SQLITE_ROW;
    if (rc == SQLITE_ROW || rc == SQLITE_DONE) return std::nullopt;
    return failure();
}

StepResult Statement::run() {
    bool row = true;
    while (row) {
        if (StepResult failed = step(row)) {
            reset();
            return failed;
        }
    }
    reset();
    sqlite3_clear_bindings(handle_);
    return std::nullopt;
}

void Statement::reset() {
    sqlite3_reset(handle_);
}

std::int64_t Statement::integer(int column) const {
    return sqlite3_column_int64(handle_, column);
}

double Statement::real(int column) const {
    return sqlite3_column_double(handle_, column);
}

QString Statement::text(int column) const {
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(handle_, column));
    return QString::fromUtf8(data, sqlite3_column_bytes(handle_, column));
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(handle_, column) == SQLITE_NULL;
}

RunError Statement::failure() const {
    return sqliteFailure(db_, QString::fromUtf8(sqlite3_sql(handle_)).left(120));
}

Database::~Database() {
    close();
}

StepResult Database::open(const QString& path, Mode mode) {
    close();
    if (mode == Mode::OpenExisting && !QFileInfo(path).isFile())
        return RunError{SQLITE_CANTOPEN, QStringLiteral("No existe el archivo %1").arg(path),
                        kSource};
    const int flags = SQLITE_OPEN_READWRITE | (mode == Mode::CreateNew ? SQLITE_OPEN_CREATE : 0);
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        RunError failed =
            sqliteFailure(db_, QStringLiteral("No se pudo abrir el archivo %1").arg(path));
        close();
        return failed;
    }
    sqlite3_extended_result_codes(db_, 1);
    // The module's programs may be using the file (upgrades run on live files).
    sqlite3_busy_timeout(db_, 10000);
    if (ado::sqlite::registerFunctions(db_) != SQLITE_OK) {
        RunError failed = sqliteFailure(db_, QStringLiteral("Funciones del motor"));
        close();
        return failed;
    }
    return std::nullopt;
}

void Database::close() {
    if (db_) sqlite3_close_v2(db_);
    db_ = nullptr;
}

StepResult Database::exec(const QString& sql) {
    char* message = nullptr;
    const int rc = sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &message);
    if (rc == SQLITE_OK) return std::nullopt;
    const QString text = message ? QString::fromUtf8(message) : QString();
    sqlite3_free(message);
    return RunError{sqlite3_extended_errcode(db_),
                    text + QStringLiteral(" [") + sql.left(120) + QStringLiteral("]"), kSource};
}

StepResult Database::prepare(const QString& sql, Statement& out) {
    sqlite3_stmt* handle = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db_, utf8.constData(), static_cast<int>(utf8.size()), &handle,
                           nullptr) != SQLITE_OK)
        return failure(sql.left(120));
    out = Statement(handle, db_);
    return std::nullopt;
}

StepResult Database::prepareNext(const char*& next, Statement& out) {
    sqlite3_stmt* handle = nullptr;
    const char* start = next;
    if (sqlite3_prepare_v2(db_, start, -1, &handle, &next) != SQLITE_OK)
        return failure(QString::fromUtf8(start).left(120));
    out = Statement(handle, db_);
    return std::nullopt;
}

StepResult Database::scalar(const QString& sql, std::int64_t& value) {
    Statement query;
    if (StepResult failed = prepare(sql, query)) return failed;
    bool row = false;
    if (StepResult failed = query.step(row)) return failed;
    value = row ? query.integer(0) : 0;
    return std::nullopt;
}

StepResult Database::texts(const QString& sql, QStringList& values) {
    Statement query;
    if (StepResult failed = prepare(sql, query)) return failed;
    values.clear();
    for (;;) {
        bool row = false;
        if (StepResult failed = query.step(row)) return failed;
        if (!row) return std::nullopt;
        values << query.text(0);
    }
}

StepResult Database::insertRows(const QString& table, const QStringList& columns,
                                const std::vector<std::vector<Value>>& rows) {
    QStringList names, marks;
    for (const QString& column : columns) {
        names << QLatin1Char('[') + column + QLatin1Char(']');
        marks << QStringLiteral("?");
    }
    Statement insert;
    if (StepResult failed = prepare(
            QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                .arg(table, names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
            insert))
        return failed;
    for (const std::vector<Value>& row : rows) {
        if (StepResult failed = insert.run(row)) return failed;
    }
    return std::nullopt;
}

RunError Database::failure(const QString& context) const {
    return sqliteFailure(db_, context);
}

Transaction::~Transaction() {
    if (open_) db_.exec(QStringLiteral("ROLLBACK"));
}

StepResult Transaction::begin() {
    if (StepResult failed = db_.exec(QStringLiteral("BEGIN IMMEDIATE"))) return failed;
    open_ = true;
    return std::nullopt;
}

StepResult Transaction::commit() {
    if (StepResult failed = db_.exec(QStringLiteral("COMMIT"))) return failed;
    open_ = false;
    return std::nullopt;
}

}  // namespace kl::klbase
