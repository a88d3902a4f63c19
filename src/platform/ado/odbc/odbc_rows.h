#pragma once

// Results of an ODBC statement as the layer reads them: columns described
// with ADO's types, values read one row at a time as the recordset asks for
// them, and the values a statement binds to its "?" placeholders.

#include "platform/ado/odbc/odbc_handles.h"
#include "platform/ado/odbc/odbc_text.h"
#include "platform/ado/provider.h"

#include <deque>
#include <functional>
#include <optional>

namespace kl::ado::odbc {

class OdbcProvider;

// How a column's values are read from the driver.
enum class Reading { Integer, Double, Currency, Numeric, Boolean, Timestamp, DateText, Text };

struct ResultColumn {
    ColumnInfo info;
    Reading reading = Reading::Text;
    // The type comes from the first row's value (an expression of an
    // engine that types values, not columns).
    bool typedByValue = false;
};

// What the driver says of a result column.
struct DriverColumn {
    QString name;
    SQLSMALLINT sqlType = SQL_UNKNOWN_TYPE;
    SQLULEN size = 0;
    SQLSMALLINT decimals = 0;
    QString typeName;  // the data source's own ("money", "VARCHAR"...)
    QString baseTable;
    QString baseColumn;
    // The catalogue's column: typeName is the type as declared ("VARCHAR(40)").
    bool declared = false;
};

// Describes the columns of the statement's current result; empty when it
// has none.
std::vector<DriverColumn> describeResult(SQLHSTMT statement, TextEncoding encoding);

// ADO's type, size and reading for a column of SQL Server, Oracle or any
// driver that types its columns with ODBC's SQL types.
ResultColumn columnFromSqlType(const DriverColumn& column);

// Reads the value of a column of the current row. False when the driver
// fails (its diagnostics are on the statement).
bool readValue(SQLHSTMT statement, SQLUSMALLINT column, const ResultColumn& how,
               TextEncoding encoding, Value& out);

// A currency amount in decimal text, exactly ("-1234.5000" -> -12345000).
std::optional<std::int64_t> scaledCurrency(QStringView text);

// The values of a statement's placeholders, kept alive while it runs.
class Parameters {
  public:
    Parameters(const std::vector<Value>& values, TextEncoding encoding);
    SQLRETURN bind(SQLHSTMT statement);

  private:
    struct Slot {
        Value value;
        SQLBIGINT integer = 0;
        SQLDOUBLE real = 0;
        SQLCHAR bit = 0;
        SQL_TIMESTAMP_STRUCT stamp{};
        std::u16string wide;
        QByteArray narrow;
        SQLLEN indicator = 0;
    };
    std::vector<Slot> slots_;
    TextEncoding encoding_;
};

// The rows of a statement's result. Reading ahead stops at the first row
// until the recordset asks for more; materialize() reads the rest so the
// statement can go (the connection runs one statement at a time).
class OdbcRows final : public RowSource {
  public:
    // Adjusts the description once the first row (nullptr: none) is known.
    using Settle = std::function<void(std::vector<ResultColumn>&, const Row* first)>;

    OdbcRows(OdbcProvider* provider, StatementHandle statement, std::vector<ResultColumn> columns,
             TextEncoding encoding);
    ~OdbcRows() override;

    // Fetches the first row and settles the description.
    ErrorList start(const Settle& settle);
    const std::vector<ColumnInfo>& columns() const override { return infos_; }
    Fetch next(Row& row, ErrorList& errors) override;

    void materialize();
    // The provider closes: nothing of it may be reached any more.
    void detachProvider() { provider_ = nullptr; }

  private:
    // One more row into `pending_`; false at the end or on failure.
    bool advance();

    OdbcProvider* provider_;
    StatementHandle statement_;
    std::vector<ResultColumn> resultColumns_;
    std::vector<ColumnInfo> infos_;
    std::deque<Row> pending_;
    std::optional<ErrorList> failure_;
    TextEncoding encoding_;
};

}  // namespace kl::ado::odbc
