#include "platform/sqlite_engine/handles.h"

#include "platform/sqlite_engine/stored_forms.h"

#include <sqlite3.h>

#include <utility>

namespace kl::ado::sqlite {

namespace {

const QString kSource = QStringLiteral("SQLite");

RunError failureOf(sqlite3* db, const QString& context) {
    const QString message = db ? lastMessage(db) : QStringLiteral("sin memoria");
    const long code = db ? sqlite3_extended_errcode(db) : SQLITE_NOMEM;
    return RunError{code, context.isEmpty() ? message : context + QStringLiteral(": ") + message,
                    kSource};
}

int bindUtf8(sqlite3_stmt* statement, int index, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return sqlite3_bind_text(statement, index, utf8.constData(), static_cast<int>(utf8.size()),
                             SQLITE_TRANSIENT);
}

}  // namespace

SqliteStatement::~SqliteStatement() {
    finalize();
}

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept
    : stmt_(std::exchange(other.stmt_, nullptr)) {}

SqliteStatement& SqliteStatement::operator=(SqliteStatement&& other) noexcept {
    if (this != &other) {
        finalize();
        stmt_ = std::exchange(other.stmt_, nullptr);
    }
    return *this;
}

int SqliteStatement::prepare(sqlite3* db, const QString& sql) {
    const QByteArray utf8 = sql.toUtf8();
    return prepare(db, utf8.constData(), static_cast<int>(utf8.size()), nullptr);
}

int SqliteStatement::prepare(sqlite3* db, const char* sql, int length, const char** tail) {
    finalize();
    return sqlite3_prepare_v2(db, sql, length, &stmt_, tail);
}

void SqliteStatement::finalize() {
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
}

int SqliteStatement::bind(int index, const QString& text) {
    return bindUtf8(stmt_, index, text);
}

int SqliteStatement::bind(int index, std::int64_t number) {
    return sqlite3_bind_int64(stmt_, index, number);
}

int SqliteStatement::bind(int index, double number) {
    return sqlite3_bind_double(stmt_, index, number);
}

int SqliteStatement::bind(int index, const Value& value) {
    return bindValue(stmt_, index, value);
}

int SqliteStatement::bindStatic(int index, const QByteArray& utf8) {
    return sqlite3_bind_text(stmt_, index, utf8.constData(), static_cast<int>(utf8.size()),
                             SQLITE_STATIC);
}

bool SqliteStatement::bind(const char* name, const QString& text) {
    const int index = sqlite3_bind_parameter_index(stmt_, name);
    if (index == 0) return false;
    bind(index, text);
    return true;
}

int SqliteStatement::step() {
    return sqlite3_step(stmt_);
}

StepResult SqliteStatement::step(bool& row) {
    const int rc = step();
    row = rc == SQLITE_ROW;
    if (rc == SQLITE_ROW || rc == SQLITE_DONE) return std::nullopt;
    return failure();
}

StepResult SqliteStatement::run() {
    bool row = true;
    while (row) {
        if (StepResult failed = step(row)) {
            reset();
            return failed;
        }
    }
    reset();
    sqlite3_clear_bindings(stmt_);
    return std::nullopt;
}

StepResult SqliteStatement::run(const std::vector<Value>& values) {
    for (size_t i = 0; i < values.size(); ++i) bind(static_cast<int>(i + 1), values[i]);
    return run();
}

void SqliteStatement::reset() {
    sqlite3_reset(stmt_);
}

std::int64_t SqliteStatement::integer(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

double SqliteStatement::real(int column) const {
    return sqlite3_column_double(stmt_, column);
}

QString SqliteStatement::text(int column) const {
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return QString::fromUtf8(data, sqlite3_column_bytes(stmt_, column));
}

bool SqliteStatement::isNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

RunError SqliteStatement::failure() const {
    return failureOf(sqlite3_db_handle(stmt_), QString::fromUtf8(sqlite3_sql(stmt_)).left(120));
}

int SqliteDatabase::open(const QString& path, int flags) {
    close();
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db_, flags, nullptr);
    if (rc == SQLITE_OK) sqlite3_extended_result_codes(db_, 1);
    return rc;
}

void SqliteDatabase::close() {
    if (db_) sqlite3_close_v2(db_);
    db_ = nullptr;
}

QString SqliteDatabase::message() const {
    return db_ ? lastMessage(db_) : QStringLiteral("sin memoria");
}

StepResult SqliteDatabase::exec(const QString& sql) const {
    return execute(db_, sql);
}

StepResult SqliteDatabase::prepare(const QString& sql, SqliteStatement& out) const {
    if (out.prepare(db_, sql) != SQLITE_OK) return failure(sql.left(120));
    return std::nullopt;
}

StepResult SqliteDatabase::prepareNext(const char*& next, SqliteStatement& out) const {
    const char* start = next;
    if (out.prepare(db_, start, -1, &next) != SQLITE_OK)
        return failure(QString::fromUtf8(start).left(120));
    return std::nullopt;
}

StepResult SqliteDatabase::scalar(const QString& sql, std::int64_t& value) const {
    SqliteStatement query;
    if (StepResult failed = prepare(sql, query)) return failed;
    bool row = false;
    if (StepResult failed = query.step(row)) return failed;
    value = row ? query.integer(0) : 0;
    return std::nullopt;
}

StepResult SqliteDatabase::texts(const QString& sql, QStringList& values) const {
    SqliteStatement query;
    if (StepResult failed = prepare(sql, query)) return failed;
    values.clear();
    for (;;) {
        bool row = false;
        if (StepResult failed = query.step(row)) return failed;
        if (!row) return std::nullopt;
        values << query.text(0);
    }
}

StepResult SqliteDatabase::insertRows(const QString& table, const QStringList& columns,
                                      const std::vector<std::vector<Value>>& rows) const {
    QStringList names, marks;
    for (const QString& column : columns) {
        names << quoted(column);
        marks << QStringLiteral("?");
    }
    SqliteStatement insert;
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

RunError SqliteDatabase::failure(const QString& context) const {
    return failureOf(db_, context);
}

SqliteTransaction::~SqliteTransaction() {
    if (open_) db_.exec(QStringLiteral("ROLLBACK"));
}

StepResult SqliteTransaction::begin() {
    if (StepResult failed = db_.exec(QStringLiteral("BEGIN IMMEDIATE"))) return failed;
    open_ = true;
    return std::nullopt;
}

StepResult SqliteTransaction::commit() {
    if (StepResult failed = db_.exec(QStringLiteral("COMMIT"))) return failed;
    open_ = false;
    return std::nullopt;
}

StepResult execute(sqlite3* db, const QString& sql) {
    char* message = nullptr;
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message);
    if (rc == SQLITE_OK) return std::nullopt;
    const QString text =
        message ? QString::fromUtf8(message) : QString::fromUtf8(sqlite3_errstr(rc));
    sqlite3_free(message);
    return RunError{db ? sqlite3_extended_errcode(db) : rc,
                    text + QStringLiteral(" [") + sql.left(120) + QStringLiteral("]"), kSource};
}

int bindValue(sqlite3_stmt* statement, int index, const Value& value) {
    switch (value.kind()) {
        case Value::Kind::Empty:
        case Value::Kind::Null:
            return sqlite3_bind_null(statement, index);
        case Value::Kind::Boolean:
            return sqlite3_bind_int(statement, index, value.toBool() ? 1 : 0);
        case Value::Kind::Integer:
            return sqlite3_bind_int64(statement, index, value.toInt64());
        case Value::Kind::Double:
            return sqlite3_bind_double(statement, index, value.toDouble());
        case Value::Kind::Currency:
            return sqlite3_bind_double(statement, index,
                                       static_cast<double>(value.currencyScaled()) / 10000.0);
        case Value::Kind::Date:
            return bindUtf8(statement, index, storedDate(value.toDateTime()));
        case Value::Kind::Text:
            return bindUtf8(statement, index, value.toString());
    }
    return SQLITE_MISUSE;
}

QString lastMessage(sqlite3* db) {
    return QString::fromUtf8(sqlite3_errmsg(db));
}

}  // namespace kl::ado::sqlite
