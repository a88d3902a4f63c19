#pragma once

// The recordset's state, shared by the connection (which hands out
// recordsets for Execute and OpenSchema) and the recordset itself.

#include "platform/ado/ado.h"
#include "platform/ado/provider.h"

#include <deque>
#include <optional>

namespace kl::ado {

struct Recordset::Impl {
    enum class Edit { None, Editing, Adding };

    // How the rows were asked for.
    struct Request {
        QString source;
        int cursorType = adOpenForwardOnly;
        int lockType = adLockReadOnly;
        int cursorLocation = adUseServer;
    };

    Connection* connection = nullptr;
    std::weak_ptr<Connection*> connectionAlive;
    bool open = false;
    Request request;

    std::vector<ColumnInfo> columns;  // every column read, the locator included
    std::vector<int> visible;         // column index of each field
    std::vector<Field> fields;
    int locator = -1;  // column of the row locator

    std::unique_ptr<RowSource> source;  // rows not read yet
    std::deque<Row> rows;               // rows read and kept
    long dropped = 0;                   // rows a forward-only cursor let go
    Row spare;                          // the last of them, refilled by the next fetch
    long handedOver = -1;               // the row (counting dropped ones) in the fields
    long position = 0;                  // index into rows; -1 before the first

    std::optional<TableInfo> table;  // the one table a write goes to
    Edit edit = Edit::None;
    Row editRow;
    std::vector<bool> dirty;
    long positionBeforeAdd = 0;

    bool forwardOnly() const { return request.cursorType == adOpenForwardOnly; }
    bool updatable() const { return request.lockType != adLockReadOnly && !forwardOnly(); }

    // Takes over a result's rows, positioned on the first one.
    StepResult attach(std::unique_ptr<RowSource> rows, std::optional<TableInfo> writes);
    void reset();
};

// ADO's own failures (not the provider's): number, Spanish text, and the
// object raising them ("ADODB.Connection", "ADODB.Recordset").
RunError adoError(long number, const char* source);
// The run-time error of a failed provider call: its first error.
RunError runErrorOf(const std::vector<Error>& errors);

// A row source over rows already in memory (schema catalogues).
std::unique_ptr<RowSource> memoryRows(SchemaRows rows);

}  // namespace kl::ado
