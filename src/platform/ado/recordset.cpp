#include "platform/ado/ado.h"
#include "platform/ado/recordset_impl.h"
#include "platform/ado/row_writer.h"

#include <limits>

namespace kl::ado {

namespace {

const char kSource[] = "ADODB.Recordset";

StepResult fail(long number) {
    return adoError(number, kSource);
}

// ADO's command options: the source is a table's name.
constexpr long adCmdTable = 2;
constexpr long adCmdTableDirect = 512;

}  // namespace

// ---- Impl ------------------------------------------------------------------

void Recordset::Impl::reset() {
    open = false;
    columns.clear();
    visible.clear();
    fields.clear();
    locator = -1;
    source.reset();
    rows.clear();
    dropped = 0;
    spare.clear();
    handedOver = -1;
    position = 0;
    table.reset();
    edit = Edit::None;
    editRow.clear();
    dirty.clear();
}

namespace {

// Helpers over the Impl that need the connection's error list.
class Cursor {
  public:
    explicit Cursor(Recordset::Impl& impl) : d(impl) {}

    Connection* connection() const { return d.connectionAlive.expired() ? nullptr : d.connection; }

    StepResult providerFailed(ErrorList errors) {
        RunError e = runErrorOf(errors);
        if (Connection* c = connection()) c->errors().replace(std::move(errors));
        return e;
    }

    // Reads one more row into the buffer; false at the end.
    bool fetch(StepResult& error) {
        if (!d.source) return false;
        Row row = std::move(d.spare);
        ErrorList errors;
        switch (d.source->next(row, errors)) {
            case RowSource::Fetch::Row:
                d.rows.push_back(std::move(row));
                return true;
            case RowSource::Fetch::End:
                d.source.reset();
                return false;
            case RowSource::Fetch::Failed:
                d.source.reset();
                error = providerFailed(std::move(errors));
                return false;
        }
        return false;
    }

    // Makes sure the row at `index` is read if there is one.
    StepResult ensure(long index) {
        StepResult error;
        while (index >= static_cast<long>(d.rows.size()) && fetch(error)) {
        }
        return error;
    }

    StepResult fetchAll() { return ensure(std::numeric_limits<long>::max()); }

    bool onRow() const { return d.position >= 0 && d.position < static_cast<long>(d.rows.size()); }

    // A forward-only cursor keeps nothing behind its position.
    void dropPassed() {
        if (!d.forwardOnly()) return;
        while (d.position > 0 && !d.rows.empty()) {
            d.spare = std::move(d.rows.front());
            d.rows.pop_front();
            --d.position;
            ++d.dropped;
        }
    }

    void showRow() {
        Row* row = nullptr;
        if (d.edit != Recordset::Impl::Edit::None)
            row = &d.editRow;
        else if (onRow())
            row = &d.rows[d.position];
        if (row && d.edit == Recordset::Impl::Edit::None && d.forwardOnly()) {
            // Nothing reads a forward-only cursor's row again but the fields:
            // its values trade places with theirs instead of being shared,
            // and the next fetch writes over the fields' old texts.
            const long number = d.dropped + d.position;
            if (d.handedOver == number) return;
            for (size_t k = 0; k < d.fields.size(); ++k)
                d.fields[k].Value.swap((*row)[d.visible[k]]);
            d.handedOver = number;
            return;
        }
        for (size_t k = 0; k < d.fields.size(); ++k)
            d.fields[k].Value = row ? (*row)[d.visible[k]] : Value();
    }

    StepResult moveTo(long index) {
        d.position = index;
        dropPassed();
        StepResult e = ensure(d.position);
        showRow();
        return e;
    }

    int fieldIndex(const QString& name) const {
        for (size_t k = 0; k < d.fields.size(); ++k) {
            if (d.fields[k].Name.compare(name, Qt::CaseInsensitive) == 0)
                return static_cast<int>(k);
        }
        return -1;
    }

    StepResult write() {
        Connection* c = connection();
        if (!c || !c->provider()) return adoError(err::ConnectionClosed, kSource);
        if (!d.table) {
            Error e;
            e.Number = err::ProviderFailure;
            e.Source = QString::fromLatin1(kSource);
            e.Description = QStringLiteral(
                "No hay suficiente información de la tabla base para actualizar: la consulta "
                "no lee una sola tabla.");
            return providerFailed({e});
        }
        RowWriter writer(*c->provider(), *d.table, d.columns);
        ErrorList errors = d.edit == Recordset::Impl::Edit::Adding
                               ? writer.insert(d.editRow, d.dirty)
                               : writer.update(d.rows[d.position], d.editRow, d.dirty);
        if (!errors.empty()) return providerFailed(std::move(errors));
        if (d.edit == Recordset::Impl::Edit::Adding) {
            fetchAll();
            d.rows.push_back(std::move(d.editRow));
            d.position = static_cast<long>(d.rows.size()) - 1;
        } else {
            d.rows[d.position] = std::move(d.editRow);
        }
        d.edit = Recordset::Impl::Edit::None;
        d.editRow.clear();
        d.dirty.clear();
        c->errors().Clear();
        showRow();
        return std::nullopt;
    }

    // A pending edit is saved before the cursor moves, as ADO does.
    StepResult settle() {
        if (d.edit == Recordset::Impl::Edit::None) return std::nullopt;
        return write();
    }

  private:
    Recordset::Impl& d;
};

}  // namespace

StepResult Recordset::Impl::attach(std::unique_ptr<RowSource> rowSource,
                                   std::optional<TableInfo> writes) {
    columns = rowSource->columns();
    for (size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].rowLocator) {
            locator = static_cast<int>(i);
            continue;
        }
        visible.push_back(static_cast<int>(i));
        Field f;
        f.Name = columns[i].name;
        f.Type = columns[i].type;
        f.DefinedSize = columns[i].definedSize;
        fields.push_back(f);
    }
    source = std::move(rowSource);
    table = std::move(writes);
    open = true;
    return Cursor(*this).moveTo(0);
}

// ---- Recordset ---------------------------------------------------------------

Recordset::Recordset() : impl_(std::make_unique<Impl>()) {}
Recordset::~Recordset() = default;

StepResult Recordset::Open(const QString& sql, Connection& connection, int cursorType, int lockType,
                           long options) {
    if (impl_->open) return fail(err::AlreadyOpen);
    if (!connection.provider()) return fail(err::ConnectionClosed);
    Impl& d = *impl_;
    d.reset();
    d.connection = &connection;
    d.connectionAlive = connection.self_;
    d.request.cursorType = cursorType == adOpenForwardOnly || cursorType == adOpenDynamic
                               ? cursorType
                               : (cursorType == adOpenKeyset ? adOpenKeyset : adOpenStatic);
    d.request.lockType = lockType == adLockReadOnly ? adLockReadOnly : lockType;
    d.request.cursorLocation = connection.CursorLocation();
    const bool isTableName = options != -1 && (options & (adCmdTable | adCmdTableDirect)) != 0;
    d.request.source = isTableName ? QStringLiteral("SELECT * FROM [%1]").arg(sql) : sql;

    connection.trace(sql);
    Provider& provider = *connection.provider();
    std::optional<TableInfo> writes;
    ExecuteOptions execute;
    execute.wantRows = true;
    if (d.updatable()) {
        if (const std::optional<QString> table = provider.writableTable(d.request.source)) {
            TableInfo info;
            if (provider.tableInfo(*table, info).empty()) {
                execute.rowLocatorTable = info.rowLocator.isEmpty() ? QString() : info.name;
                writes = info;
            }
        }
    }
    ExecuteResult result;
    if (ErrorList errors = provider.execute(d.request.source, execute, result); !errors.empty())
        return connection.failed(std::move(errors));
    connection.errors().Clear();
    // A statement without rows leaves the recordset closed, as ADO does.
    if (!result.rows) return std::nullopt;
    if (StepResult e = d.attach(std::move(result.rows), std::move(writes))) return e;
    // Client cursors hold every row at once, so the statement (and the read
    // snapshot it keeps in the file) ends here.
    if (d.request.cursorLocation == adUseClient && !d.forwardOnly()) return Cursor(d).fetchAll();
    return std::nullopt;
}

StepResult Recordset::Close() {
    if (!impl_->open) return fail(err::ObjectClosed);
    if (impl_->edit != Impl::Edit::None) return fail(err::NotAllowedInContext);
    impl_->reset();
    return std::nullopt;
}

int Recordset::State() const {
    return impl_->open ? adStateOpen : adStateClosed;
}

bool Recordset::BOF() const {
    const Impl& d = *impl_;
    if (!d.open) return true;
    if (d.edit == Impl::Edit::Adding) return false;
    return d.position < 0 || (d.rows.empty() && d.dropped == 0 && !d.source);
}

bool Recordset::EOF() const {
    const Impl& d = *impl_;
    if (!d.open) return true;
    if (d.edit == Impl::Edit::Adding) return false;
    return d.position >= static_cast<long>(d.rows.size());
}

StepResult Recordset::MoveNext() {
    Impl& d = *impl_;
    if (!d.open) return fail(err::ObjectClosed);
    Cursor cursor(d);
    if (StepResult e = cursor.settle()) return e;
    if (EOF()) return fail(err::EofOrBof);
    return cursor.moveTo(d.position + 1);
}

StepResult Recordset::MovePrevious() {
    Impl& d = *impl_;
    if (!d.open) return fail(err::ObjectClosed);
    if (d.forwardOnly()) return fail(err::CantFetchBackward);
    Cursor cursor(d);
    if (StepResult e = cursor.settle()) return e;
    if (BOF()) return fail(err::EofOrBof);
    return cursor.moveTo(d.position - 1);
}

StepResult Recordset::MoveFirst() {
    Impl& d = *impl_;
    if (!d.open) return fail(err::ObjectClosed);
    Cursor cursor(d);
    if (StepResult e = cursor.settle()) return e;
    if (d.forwardOnly() && (d.dropped > 0 || d.position > 0)) {
        // A forward-only cursor starts again by running its statement again.
        Connection* c = cursor.connection();
        if (!c) return fail(err::ConnectionClosed);
        const Impl::Request request = d.request;
        d.reset();
        return Open(request.source, *c, request.cursorType, request.lockType, -1);
    }
    return cursor.moveTo(0);
}

StepResult Recordset::MoveLast() {
    Impl& d = *impl_;
    if (!d.open) return fail(err::ObjectClosed);
    Cursor cursor(d);
    if (StepResult e = cursor.settle()) return e;
    if (d.forwardOnly()) {
        // Walk on, keeping only the row in hand.
        StepResult error;
        while (cursor.fetch(error)) {
            while (d.rows.size() > 1) {
                d.rows.pop_front();
                ++d.dropped;
            }
        }
        if (error) return error;
    } else if (StepResult e = cursor.fetchAll()) {
        return e;
    }
    if (d.rows.empty()) return std::nullopt;
    return cursor.moveTo(static_cast<long>(d.rows.size()) - 1);
}

long Recordset::RecordCount() const {
    Impl& d = *impl_;
    if (!d.open) return -1;
    if (d.forwardOnly() && d.request.cursorLocation != adUseClient) return -1;
    Cursor cursor(d);
    cursor.fetchAll();
    return d.dropped + static_cast<long>(d.rows.size());
}

int Recordset::CursorType() const {
    return impl_->request.cursorType;
}
int Recordset::LockType() const {
    return impl_->request.lockType;
}

int Recordset::fieldCount() const {
    return static_cast<int>(impl_->fields.size());
}

const Field* Recordset::field(int index) const {
    if (index < 0 || index >= fieldCount()) return nullptr;
    return &impl_->fields[index];
}

const Field* Recordset::field(const QString& name) const {
    return field(Cursor(*impl_).fieldIndex(name));
}

Value Recordset::value(const QString& name) const {
    const Field* f = field(name);
    return f ? f->Value : Value();
}

Value Recordset::value(int index) const {
    const Field* f = field(index);
    return f ? f->Value : Value();
}

StepResult Recordset::setValue(const QString& name, const Value& value) {
    const int index = Cursor(*impl_).fieldIndex(name);
    if (impl_->open && index < 0) return fail(err::ItemNotFound);
    return setValue(index, value);
}

StepResult Recordset::setValue(int index, const Value& value) {
    Impl& d = *impl_;
    if (!d.open) return fail(err::ObjectClosed);
    if (index < 0 || index >= fieldCount()) return fail(err::ItemNotFound);
    if (!d.updatable()) return fail(err::ReadOnly);
    const int column = d.visible[index];
    if (d.table) {
        Connection* c = Cursor(d).connection();
        if (c && c->provider() && !RowWriter(*c->provider(), *d.table, d.columns).writable(column))
            return fail(err::ReadOnly);
    }
    Cursor cursor(d);
    if (d.edit == Impl::Edit::None) {
        if (!cursor.onRow()) return fail(err::EofOrBof);
        d.edit = Impl::Edit::Editing;
        d.editRow = d.rows[d.position];
        d.dirty.assign(d.columns.size(), false);
    }
    d.editRow[column] = value;
    d.dirty[column] = true;
    d.fields[index].Value = value;
    return std::nullopt;
}

StepResult Recordset::AddNew() {
    Impl& d = *impl_;
    if (!d.open) return fail(err::ObjectClosed);
    if (!d.updatable()) return fail(err::ReadOnly);
    Cursor cursor(d);
    if (StepResult e = cursor.settle()) return e;
    d.positionBeforeAdd = d.position;
    d.edit = Impl::Edit::Adding;
    d.editRow.assign(d.columns.size(), Value::null());
    d.dirty.assign(d.columns.size(), false);
    cursor.showRow();
    return std::nullopt;
}

StepResult Recordset::Update() {
    Impl& d = *impl_;
    if (!d.open) return fail(err::ObjectClosed);
    if (!d.updatable()) return fail(err::ReadOnly);
    return Cursor(d).settle();
}

StepResult Recordset::CancelUpdate() {
    Impl& d = *impl_;
    if (!d.open) return fail(err::ObjectClosed);
    if (d.edit == Impl::Edit::Adding) d.position = d.positionBeforeAdd;
    d.edit = Impl::Edit::None;
    d.editRow.clear();
    d.dirty.clear();
    Cursor(d).showRow();
    return std::nullopt;
}

}  // namespace kl::ado
