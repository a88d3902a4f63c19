#include "platform/ado/sqlite/sqlite_rows.h"

#include "platform/ado/busy_wait.h"
#include "platform/ado/sqlite/sqlite_provider.h"
#include "platform/sqlite_engine/errors.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace kl::ado::sqlite {

namespace {

using Category = DeclaredType::Category;

bool integral(double d) {
    return std::isfinite(d) && std::trunc(d) == d &&
           std::abs(d) < 9.0e15;  // exactly representable as an integer
}

// Type of a column without a declared type (an expression), from its value.
void describeFromValue(ColumnInfo& column, int storage, qint64 integer, int textLength) {
    switch (storage) {
        case SQLITE_INTEGER: {
            const bool small = integer >= std::numeric_limits<int>::min() &&
                               integer <= std::numeric_limits<int>::max();
            column.type = small ? adInteger : adBigInt;
            column.definedSize = small ? 4 : 8;
            break;
        }
        case SQLITE_FLOAT:
            column.type = adDouble;
            column.definedSize = 8;
            break;
        case SQLITE_BLOB:
            column.type = adVarBinary;
            column.definedSize = textLength;
            break;
        case SQLITE_TEXT:
            column.type = adVarChar;
            column.definedSize = std::max(textLength, 1);
            break;
        default:  // SQL Server types an untyped NULL as int
            column.type = adInteger;
            column.definedSize = 4;
            break;
    }
}

}  // namespace

namespace {

Value columnValue(sqlite3_stmt* s, int column, const DeclaredType& type) {
    switch (sqlite3_column_type(s, column)) {
        case SQLITE_NULL:
            return Value::null();
        case SQLITE_INTEGER: {
            const qint64 i = sqlite3_column_int64(s, column);
            switch (type.category) {
                case Category::Boolean:
                    return Value(i != 0);
                case Category::Currency:
                    return Value::currencyFromScaled(i * 10000);
                case Category::Float:
                    return Value(static_cast<double>(i));
                default:
                    return Value(static_cast<std::int64_t>(i));
            }
        }
        case SQLITE_FLOAT: {
            const double d = sqlite3_column_double(s, column);
            switch (type.category) {
                case Category::Boolean:
                    return Value(d != 0);
                case Category::Currency:
                    return Value::currency(d);
                case Category::Integer:
                    return integral(d) ? Value(static_cast<std::int64_t>(d)) : Value(d);
                case Category::Numeric:
                    return type.scale == 0 && integral(d) ? Value(static_cast<std::int64_t>(d))
                                                          : Value(d);
                default:
                    return Value(d);
            }
        }
        default: {
            const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
            const QString text = QString::fromUtf8(bytes, sqlite3_column_bytes(s, column));
            if (type.category == Category::Date) {
                if (const std::optional<QDateTime> dt = parseDateText(text)) return Value(*dt);
            }
            return Value(text);
        }
    }
}

}  // namespace

void readValue(sqlite3_stmt* s, int column, const DeclaredType& type, Value& into) {
    const int storage = sqlite3_column_type(s, column);
    if (storage == SQLITE_TEXT && type.category != Category::Date) {
        const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
        into.setTextFromUtf8(QByteArrayView(bytes, sqlite3_column_bytes(s, column)));
        return;
    }
    into = columnValue(s, column, type);
}

SqliteRows::SqliteRows(SqliteProvider* provider, SqliteStatement statement, bool locatorFirst)
    : provider_(provider), statement_(std::move(statement)), locatorFirst_(locatorFirst) {
    if (provider_) provider_->attach(this);
}

SqliteRows::~SqliteRows() {
    if (provider_) provider_->detach(this);
}

Error SqliteRows::errorOf(int code) const {
    if (provider_) return provider_->errorOf(code);
    return withCancelledWait(errorFromSqlite(code, QString()));
}

ErrorList SqliteRows::start() {
    sqlite3_stmt* s = statement_.get();
    const int count = sqlite3_column_count(s);
    for (int i = 0; i < count; ++i) {
        ColumnInfo column;
        column.name = QString::fromUtf8(sqlite3_column_name(s, i));
        column.baseTable = QString::fromUtf8(sqlite3_column_table_name(s, i));
        column.baseColumn = QString::fromUtf8(sqlite3_column_origin_name(s, i));
        column.rowLocator = locatorFirst_ && i == 0;
        const DeclaredType type =
            parseDeclaredType(QString::fromUtf8(sqlite3_column_decltype(s, i)));
        column.type = type.adoType;
        column.definedSize = type.definedSize;
        column.precision = type.precision;
        column.scale = type.scale;
        columns_.push_back(column);
        types_.push_back(type);
    }
    // Expressions take their type from the first row's values.
    const bool first = advance();
    if (pendingError_) return {*pendingError_};
    for (int i = 0; i < count; ++i) {
        if (columns_[i].type != adEmpty) continue;
        // Only the reading that matches the storage class, so that the value
        // is not converted before the row is read.
        const int storage = first ? sqlite3_column_type(s, i) : SQLITE_TEXT;
        const qint64 integer = storage == SQLITE_INTEGER ? sqlite3_column_int64(s, i) : 0;
        const int length = !first ? 255
                           : storage == SQLITE_TEXT || storage == SQLITE_BLOB
                               ? sqlite3_column_bytes(s, i)
                               : 0;
        describeFromValue(columns_[i], storage, integer, length);
    }
    return {};
}

bool SqliteRows::advance() {
    if (!statement_) {
        hasRow_ = false;
        return false;
    }
    const int rc = statement_.step();
    hasRow_ = rc == SQLITE_ROW;
    if (!hasRow_) {
        if (rc != SQLITE_DONE) pendingError_ = errorOf(rc);
        statement_.finalize();
    }
    return hasRow_;
}

void SqliteRows::readCurrentRow(Row& row) const {
    row.resize(types_.size());
    for (size_t i = 0; i < types_.size(); ++i)
        readValue(statement_.get(), static_cast<int>(i), types_[i], row[i]);
}

RowSource::Fetch SqliteRows::next(Row& row, ErrorList& errors) {
    if (!buffered_.empty()) {
        row = std::move(buffered_.front());
        buffered_.pop_front();
        return Fetch::Row;
    }
    if (hasRow_) {
        readCurrentRow(row);
        advance();
        return Fetch::Row;
    }
    if (pendingError_) {
        errors = {*pendingError_};
        pendingError_.reset();
        return Fetch::Failed;
    }
    return Fetch::End;
}

void SqliteRows::materialize() {
    while (hasRow_) {
        readCurrentRow(buffered_.emplace_back());
        advance();
    }
    statement_.finalize();
}

void SqliteRows::detachProvider() {
    provider_ = nullptr;
}

}  // namespace kl::ado::sqlite
