#pragma once

// Rows of an SQLite statement, read as the recordset asks for them. Values
// come typed by the column's declared type: dates as dates, money as
// currency, BIT as booleans.

#include "platform/ado/provider.h"
#include "platform/sqlite_engine/handles.h"
#include "platform/sqlite_engine/stored_forms.h"

#include <deque>
#include <optional>

namespace kl::ado::sqlite {

class SqliteProvider;

class SqliteRows final : public RowSource {
  public:
    // `locatorFirst`: the statement's first column is the row locator.
    SqliteRows(SqliteProvider* provider, SqliteStatement statement, bool locatorFirst);
    ~SqliteRows() override;

    // Steps to the first row and describes the columns.
    ErrorList start();
    const std::vector<ColumnInfo>& columns() const override { return columns_; }
    Fetch next(Row& row, ErrorList& errors) override;

    // Reads the remaining rows into memory and lets the statement go.
    void materialize();
    // The provider closes: nothing of it may be reached any more.
    void detachProvider();

  private:
    // Fills `row` in place, so a caller that hands back the same vector row
    // after row allocates nothing but the values.
    void readCurrentRow(Row& row) const;
    // Steps once; false (with pendingError_ set on failure) at the end.
    bool advance();
    Error errorOf(int code) const;

    SqliteProvider* provider_;
    SqliteStatement statement_;
    bool locatorFirst_;
    std::vector<ColumnInfo> columns_;
    std::vector<DeclaredType> types_;
    std::deque<Row> buffered_;
    bool hasRow_ = false;
    std::optional<Error> pendingError_;
};

// Reads a column of the current row into `into`, over the text it may hold.
void readValue(sqlite3_stmt* statement, int column, const DeclaredType& type, Value& into);

}  // namespace kl::ado::sqlite
