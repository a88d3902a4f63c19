#pragma once

// Writes a recordset's edited row back to the one table it was read from:
// INSERT for a new row (reading back the identity the engine gave it),
// UPDATE otherwise, found by its key (the primary key, else the provider's
// row locator, else every original value) and refused when the row changed
// or vanished since it was read: the original values of the changed columns
// are part of the condition. After a write the row is read again, so it
// shows what the table holds (defaults, converted dates).

#include "platform/ado/provider.h"

namespace kl::ado {

class RowWriter {
  public:
    RowWriter(Provider& provider, const TableInfo& table, const std::vector<ColumnInfo>& columns);

    ErrorList insert(Row& row, const std::vector<bool>& dirty);
    ErrorList update(const Row& original, Row& row, const std::vector<bool>& dirty);

    // The column can be written (it comes straight from the table).
    bool writable(size_t column) const;

  private:
    struct Condition {
        QStringList parts;
        std::vector<Value> parameters;
        void equals(const QString& column, const Value& value);
    };
    enum class Found { ByKey, ByLocator, ByAllValues, Not };
    // How to find the row again by the given values.
    Found identify(const Row& values, Condition& where, bool allValuesAllowed) const;
    void readBack(const Row& identifying, Row& row);
    QString column(size_t i) const;

    Provider& provider_;
    const TableInfo& table_;
    const std::vector<ColumnInfo>& columns_;
    std::vector<int> keyColumns_;  // recordset column of each key column
    int locator_ = -1;
};

}  // namespace kl::ado
