#include "platform/ado/odbc/odbc_rows.h"

#include "platform/ado/odbc/odbc_provider.h"
#include "platform/sqlite_engine/stored_forms.h"

#include <QDateTime>

#include <limits>

namespace kl::ado::odbc {

namespace {

ResultColumn shaped(const DriverColumn& c, int type, long size, Reading reading) {
    ResultColumn out;
    out.info.name = c.name;
    out.info.type = type;
    out.info.definedSize = size;
    out.info.precision = static_cast<int>(c.size);
    out.info.scale = c.decimals;
    out.info.baseTable = c.baseTable;
    out.info.baseColumn = c.baseColumn;
    out.reading = reading;
    return out;
}

long textSize(SQLULEN size, long unbounded) {
    return size == 0 || size > static_cast<SQLULEN>(std::numeric_limits<int>::max())
               ? unbounded
               : static_cast<long>(size);
}

template <typename T>
bool readFixed(SQLHSTMT statement, SQLUSMALLINT column, SQLSMALLINT cType, T& value, bool& isNull) {
    SQLLEN indicator = 0;
    const SQLRETURN rc = SQLGetData(statement, column, cType, &value, sizeof value, &indicator);
    if (!SQL_SUCCEEDED(rc)) return false;
    isNull = indicator == SQL_NULL_DATA;
    return true;
}

QString currencyText(std::int64_t scaled) {
    const bool negative = scaled < 0;
    const quint64 magnitude =
        negative ? static_cast<quint64>(-(scaled + 1)) + 1 : static_cast<quint64>(scaled);
    return QStringLiteral("%1%2.%3")
        .arg(negative ? QStringLiteral("-") : QString())
        .arg(magnitude / 10000)
        .arg(magnitude % 10000, 4, 10, QLatin1Char('0'));
}

}  // namespace

std::vector<DriverColumn> describeResult(SQLHSTMT statement, TextEncoding encoding) {
    std::vector<DriverColumn> out;
    SQLSMALLINT count = 0;
    if (!SQL_SUCCEEDED(SQLNumResultCols(statement, &count))) return out;
    for (SQLUSMALLINT i = 1; i <= count; ++i) {
        const ColumnDescription d = describeColumn(statement, i, encoding);
        DriverColumn c;
        c.name = d.name;
        c.sqlType = d.sqlType;
        c.size = d.size;
        c.decimals = d.decimals;
        c.typeName = columnAttribute(statement, i, SQL_DESC_TYPE_NAME, encoding);
        c.baseTable = columnAttribute(statement, i, SQL_DESC_BASE_TABLE_NAME, encoding);
        c.baseColumn = columnAttribute(statement, i, SQL_DESC_BASE_COLUMN_NAME, encoding);
        out.push_back(std::move(c));
    }
    return out;
}

ResultColumn columnFromSqlType(const DriverColumn& c) {
    const QString typeName = c.typeName.trimmed().toLower();
    switch (c.sqlType) {
        case SQL_BIT:
            return shaped(c, adBoolean, 2, Reading::Boolean);
        case SQL_TINYINT:
            return shaped(c, adTinyInt, 1, Reading::Integer);
        case SQL_SMALLINT:
            return shaped(c, adSmallInt, 2, Reading::Integer);
        case SQL_INTEGER:
            return shaped(c, adInteger, 4, Reading::Integer);
        case SQL_BIGINT:
            return shaped(c, adBigInt, 8, Reading::Integer);
        case SQL_REAL:
            return shaped(c, adSingle, 4, Reading::Double);
        case SQL_FLOAT:
        case SQL_DOUBLE:
            return shaped(c, adDouble, 8, Reading::Double);
        case SQL_DECIMAL:
        case SQL_NUMERIC:
            if (typeName == u"money" || typeName == u"smallmoney")
                return shaped(c, adCurrency, 8, Reading::Currency);
            return shaped(c, adNumeric, 19, Reading::Numeric);
        case SQL_TYPE_DATE:
            return shaped(c, adDBDate, 6, Reading::Timestamp);
        case SQL_TYPE_TIMESTAMP:
        case SQL_DATETIME:
            return shaped(c, adDBTimeStamp, 16, Reading::Timestamp);
        case SQL_CHAR:
            return shaped(c, adChar, textSize(c.size, 8000), Reading::Text);
        case SQL_WCHAR:
            return shaped(c, adWChar, textSize(c.size, 4000), Reading::Text);
        case SQL_WVARCHAR:
            return shaped(c, adVarWChar, textSize(c.size, 4000), Reading::Text);
        case SQL_LONGVARCHAR:
            return shaped(c, adLongVarChar, 2147483647, Reading::Text);
        case SQL_WLONGVARCHAR:
            return shaped(c, adLongVarWChar, 1073741823, Reading::Text);
        case SQL_BINARY:
        case SQL_VARBINARY:
        case SQL_LONGVARBINARY:
            return shaped(c, adVarBinary, textSize(c.size, 2147483647), Reading::Text);
        default:
            return shaped(c, adVarChar, textSize(c.size, 8000), Reading::Text);
    }
}

std::optional<std::int64_t> scaledCurrency(QStringView text) {
    QStringView t = text.trimmed();
    bool negative = false;
    if (!t.isEmpty() && (t[0] == u'-' || t[0] == u'+')) {
        negative = t[0] == u'-';
        t = t.mid(1);
    }
    std::int64_t whole = 0;
    std::int64_t fraction = 0;
    int fractionDigits = 0;
    bool inFraction = false, any = false;
    bool roundUp = false;
    for (const QChar ch : t) {
        if (ch == u'.' && !inFraction) {
            inFraction = true;
            continue;
        }
        if (!ch.isDigit()) return std::nullopt;
        any = true;
        const int digit = ch.digitValue();
        if (!inFraction) {
            if (whole > (std::numeric_limits<std::int64_t>::max() / 10000 - digit) / 10)
                return std::nullopt;
            whole = whole * 10 + digit;
        } else if (fractionDigits < 4) {
            fraction = fraction * 10 + digit;
            ++fractionDigits;
        } else if (fractionDigits == 4) {
            roundUp = digit >= 5;
            ++fractionDigits;
        }
    }
    if (!any) return std::nullopt;
    for (; fractionDigits < 4; ++fractionDigits) fraction *= 10;
    const std::int64_t extra = fraction + (roundUp ? 1 : 0);
    if (whole * 10000 > std::numeric_limits<std::int64_t>::max() - extra) return std::nullopt;
    const std::int64_t scaled = whole * 10000 + extra;
    return negative ? -scaled : scaled;
}

bool readValue(SQLHSTMT statement, SQLUSMALLINT column, const ResultColumn& how,
               TextEncoding encoding, Value& out) {
    bool isNull = false;
    switch (how.reading) {
        case Reading::Integer: {
            SQLBIGINT v = 0;
            if (!readFixed(statement, column, SQL_C_SBIGINT, v, isNull)) return false;
            out = isNull ? Value::null() : Value(static_cast<std::int64_t>(v));
            return true;
        }
        case Reading::Boolean: {
            SQLBIGINT v = 0;
            if (!readFixed(statement, column, SQL_C_SBIGINT, v, isNull)) return false;
            out = isNull ? Value::null() : Value(v != 0);
            return true;
        }
        case Reading::Double: {
            SQLDOUBLE v = 0;
            if (!readFixed(statement, column, SQL_C_DOUBLE, v, isNull)) return false;
            out = isNull ? Value::null() : Value(static_cast<double>(v));
            return true;
        }
        case Reading::Timestamp: {
            SQL_TIMESTAMP_STRUCT v{};
            if (!readFixed(statement, column, SQL_C_TYPE_TIMESTAMP, v, isNull)) return false;
            out = isNull ? Value::null()
                         : Value(QDateTime(QDate(v.year, v.month, v.day),
                                           QTime(v.hour, v.minute, v.second,
                                                 static_cast<int>(v.fraction / 1000000))));
            return true;
        }
        case Reading::Currency:
        case Reading::Numeric:
        case Reading::DateText:
        case Reading::Text:
            break;
    }
    std::optional<QString> read;
    if (!readText(statement, column, encoding, read)) return false;
    if (!read) {
        out = Value::null();
        return true;
    }
    const QString& t = *read;
    const Value text(t);
    switch (how.reading) {
        case Reading::Currency: {
            // An engine that keeps money as a double may write an exponent.
            bool real = false;
            const double d = t.trimmed().toDouble(&real);
            const std::optional<std::int64_t> scaled = scaledCurrency(t);
            out = scaled ? Value::currencyFromScaled(*scaled) : real ? Value::currency(d) : text;
            return true;
        }
        case Reading::Numeric: {
            bool whole = false;
            const qlonglong integer = t.trimmed().toLongLong(&whole);
            bool real = false;
            const double d = t.trimmed().toDouble(&real);
            out = whole && how.info.scale == 0 ? Value(static_cast<std::int64_t>(integer))
                  : real                       ? Value(d)
                                               : text;
            return true;
        }
        case Reading::DateText:
            if (const std::optional<QDateTime> dt = sqlite::parseDateText(t))
                out = Value(*dt);
            else
                out = text;
            return true;
        default:
            out = text;
            return true;
    }
}

Parameters::Parameters(const std::vector<Value>& values, TextEncoding encoding)
    : slots_(values.size()), encoding_(encoding) {
    for (size_t i = 0; i < values.size(); ++i) slots_[i].value = values[i];
}

SQLRETURN Parameters::bind(SQLHSTMT statement) {
    for (size_t i = 0; i < slots_.size(); ++i) {
        Slot& s = slots_[i];
        const auto number = static_cast<SQLUSMALLINT>(i + 1);
        const SQLSMALLINT textType = encoding_ == TextEncoding::Utf16 ? SQL_C_WCHAR : SQL_C_CHAR;
        SQLSMALLINT cType = textType, sqlType = SQL_VARCHAR;
        QString text;
        SQLULEN size = 1;
        SQLSMALLINT decimals = 0;
        SQLPOINTER data = nullptr;
        SQLLEN bufferLength = 0;
        s.indicator = 0;
        switch (s.value.kind()) {
            case Value::Kind::Empty:
            case Value::Kind::Null:
                s.indicator = SQL_NULL_DATA;
                break;
            case Value::Kind::Boolean:
                s.bit = s.value.toBool() ? 1 : 0;
                cType = SQL_C_BIT;
                sqlType = SQL_BIT;
                data = &s.bit;
                break;
            case Value::Kind::Integer:
                s.integer = s.value.toInt64();
                cType = SQL_C_SBIGINT;
                sqlType = SQL_BIGINT;
                size = 19;
                data = &s.integer;
                break;
            case Value::Kind::Double:
                s.real = s.value.toDouble();
                cType = SQL_C_DOUBLE;
                sqlType = SQL_DOUBLE;
                size = 15;
                data = &s.real;
                break;
            case Value::Kind::Date: {
                const QDateTime dt = s.value.toDateTime();
                s.stamp.year = static_cast<SQLSMALLINT>(dt.date().year());
                s.stamp.month = static_cast<SQLUSMALLINT>(dt.date().month());
                s.stamp.day = static_cast<SQLUSMALLINT>(dt.date().day());
                s.stamp.hour = static_cast<SQLUSMALLINT>(dt.time().hour());
                s.stamp.minute = static_cast<SQLUSMALLINT>(dt.time().minute());
                s.stamp.second = static_cast<SQLUSMALLINT>(dt.time().second());
                s.stamp.fraction = static_cast<SQLUINTEGER>(dt.time().msec()) * 1000000u;
                cType = SQL_C_TYPE_TIMESTAMP;
                sqlType = SQL_TYPE_TIMESTAMP;
                size = 23;
                decimals = 3;
                data = &s.stamp;
                break;
            }
            case Value::Kind::Currency:
                // Exact: money keeps four decimals.
                text = currencyText(s.value.currencyScaled());
                sqlType = SQL_DECIMAL;
                size = 19;
                decimals = 4;
                break;
            case Value::Kind::Text:
                text = s.value.toString();
                size = std::max<SQLULEN>(text.size(), 1);
                if (size > 8000) sqlType = SQL_LONGVARCHAR;
                break;
        }
        if (cType == textType && s.indicator != SQL_NULL_DATA) {
            if (encoding_ == TextEncoding::Utf16) {
                s.wide = text.toStdU16String();
                data = s.wide.data();
                bufferLength = static_cast<SQLLEN>(s.wide.size() * sizeof(char16_t));
            } else {
                s.narrow = text.toUtf8();
                data = s.narrow.data();
                bufferLength = s.narrow.size();
            }
            s.indicator = bufferLength;
        }
        const SQLRETURN rc = SQLBindParameter(statement, number, SQL_PARAM_INPUT, cType, sqlType,
                                              size, decimals, data, bufferLength, &s.indicator);
        if (!SQL_SUCCEEDED(rc)) return rc;
    }
    return SQL_SUCCESS;
}

OdbcRows::OdbcRows(OdbcProvider* provider, StatementHandle statement,
                   std::vector<ResultColumn> columns, TextEncoding encoding)
    : provider_(provider),
      statement_(std::move(statement)),
      resultColumns_(std::move(columns)),
      encoding_(encoding) {
    if (provider_) provider_->attach(this);
}

OdbcRows::~OdbcRows() {
    if (provider_) provider_->detach(this);
}

bool OdbcRows::advance() {
    if (!statement_) return false;
    const SQLRETURN rc = SQLFetch(statement_.get());
    if (rc == SQL_NO_DATA) {
        statement_.reset();
        return false;
    }
    if (SQL_SUCCEEDED(rc)) {
        Row row;
        row.reserve(resultColumns_.size());
        for (size_t i = 0; i < resultColumns_.size(); ++i) {
            Value v;
            if (!readValue(statement_.get(), static_cast<SQLUSMALLINT>(i + 1), resultColumns_[i],
                           encoding_, v)) {
                break;
            }
            row.push_back(std::move(v));
        }
        if (row.size() == resultColumns_.size()) {
            pending_.push_back(std::move(row));
            return true;
        }
    }
    failure_ = provider_ ? provider_->statementErrors(statement_.get()) : ErrorList{};
    statement_.reset();
    return false;
}

ErrorList OdbcRows::start(const Settle& settle) {
    advance();
    if (failure_ && !failure_->empty()) return *failure_;
    settle(resultColumns_, pending_.empty() ? nullptr : &pending_.front());
    for (const ResultColumn& c : resultColumns_) infos_.push_back(c.info);
    return {};
}

RowSource::Fetch OdbcRows::next(Row& row, ErrorList& errors) {
    if (pending_.empty()) advance();
    if (!pending_.empty()) {
        row = std::move(pending_.front());
        pending_.pop_front();
        return Fetch::Row;
    }
    if (failure_) {
        errors = std::move(*failure_);
        failure_.reset();
        return Fetch::Failed;
    }
    return Fetch::End;
}

void OdbcRows::materialize() {
    while (advance()) {
    }
    statement_.reset();
}

}  // namespace kl::ado::odbc
