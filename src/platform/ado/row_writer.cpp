#include "platform/ado/row_writer.h"

#include <algorithm>

namespace kl::ado {

namespace {

bool missing(const Value& v) {
    return v.isNull() || v.isEmpty();
}

Error rowChanged(const QString& table) {
    Error e;
    e.Number = err::RowChanged;
    e.Source = QStringLiteral("ADODB.Recordset");
    e.SQLState = QStringLiteral("40001");
    e.Description =
        QStringLiteral("La fila fue modificada o eliminada por otro usuario (tabla %1).")
            .arg(table);
    return e;
}

}  // namespace

RowWriter::RowWriter(Provider& provider, const TableInfo& table,
                     const std::vector<ColumnInfo>& columns)
    : provider_(provider), table_(table), columns_(columns) {
    for (size_t i = 0; i < columns_.size(); ++i) {
        if (columns_[i].rowLocator) locator_ = static_cast<int>(i);
    }
    for (const QString& key : table_.keyColumns) {
        int found = -1;
        for (size_t i = 0; i < columns_.size(); ++i) {
            if (writable(i) && column(i).compare(key, Qt::CaseInsensitive) == 0)
                found = static_cast<int>(i);
        }
        if (found < 0) {
            keyColumns_.clear();
            break;
        }
        keyColumns_.push_back(found);
    }
}

bool RowWriter::writable(size_t i) const {
    const ColumnInfo& c = columns_[i];
    if (c.rowLocator || c.baseColumn.isEmpty()) return false;
    return c.baseTable.isEmpty() || c.baseTable.compare(table_.name, Qt::CaseInsensitive) == 0;
}

QString RowWriter::column(size_t i) const {
    return columns_[i].baseColumn;
}

void RowWriter::Condition::equals(const QString& column, const Value& value) {
    if (missing(value)) {
        parts << column + QStringLiteral(" IS NULL");
    } else {
        parts << column + QStringLiteral(" = ?");
        parameters.push_back(value);
    }
}

RowWriter::Found RowWriter::identify(const Row& values, Condition& where,
                                     bool allValuesAllowed) const {
    if (!keyColumns_.empty()) {
        for (int k : keyColumns_) where.equals(provider_.quoteIdentifier(column(k)), values[k]);
        return Found::ByKey;
    }
    if (locator_ >= 0 && !table_.rowLocator.isEmpty() && !missing(values[locator_])) {
        where.equals(table_.rowLocator, values[locator_]);
        return Found::ByLocator;
    }
    if (!allValuesAllowed) return Found::Not;
    Found found = Found::Not;
    for (size_t i = 0; i < columns_.size(); ++i) {
        if (!writable(i)) continue;
        where.equals(provider_.quoteIdentifier(column(i)), values[i]);
        found = Found::ByAllValues;
    }
    return found;
}

ErrorList RowWriter::insert(Row& row, const std::vector<bool>& dirty) {
    QStringList names, marks;
    NativeStatement statement;
    for (size_t i = 0; i < columns_.size(); ++i) {
        if (!dirty[i] || !writable(i)) continue;
        names << provider_.quoteIdentifier(column(i));
        marks << QStringLiteral("?");
        statement.parameters.push_back(row[i]);
    }
    const QString table = provider_.quoteIdentifier(table_.name);
    statement.sql = names.isEmpty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table)
                                    : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                          .arg(table, names.join(QStringLiteral(", ")),
                                               marks.join(QStringLiteral(", ")));
    long affected = 0;
    if (ErrorList errors = provider_.executeNative(statement, affected); !errors.empty())
        return errors;
    if (table_.isView) return {};

    // The engine numbers the row: its identity (and, where the provider
    // has one, its locator) is known only now.
    const Value identity = provider_.lastIdentity();
    for (size_t i = 0; i < columns_.size(); ++i) {
        const bool isIdentity = writable(i) && !table_.identityColumn.isEmpty() &&
                                column(i).compare(table_.identityColumn, Qt::CaseInsensitive) == 0;
        if ((isIdentity && missing(row[i])) || static_cast<int>(i) == locator_) row[i] = identity;
    }
    readBack(row, row);
    return {};
}

ErrorList RowWriter::update(const Row& original, Row& row, const std::vector<bool>& dirty) {
    NativeStatement statement;
    QStringList sets;
    for (size_t i = 0; i < columns_.size(); ++i) {
        if (!dirty[i] || !writable(i)) continue;
        sets << provider_.quoteIdentifier(column(i)) + QStringLiteral(" = ?");
        statement.parameters.push_back(row[i]);
    }
    if (sets.isEmpty()) return {};

    Condition where;
    const Found found = identify(original, where, true);
    if (found == Found::Not) return {rowChanged(table_.name)};
    if (found != Found::ByAllValues) {
        // Optimistic check: the changed columns still hold what was read.
        for (size_t i = 0; i < columns_.size(); ++i) {
            const bool isKey = std::find(keyColumns_.begin(), keyColumns_.end(),
                                         static_cast<int>(i)) != keyColumns_.end();
            if (dirty[i] && writable(i) && !isKey)
                where.equals(provider_.quoteIdentifier(column(i)), original[i]);
        }
    }
    statement.sql =
        QStringLiteral("UPDATE %1 SET %2 WHERE %3")
            .arg(provider_.quoteIdentifier(table_.name), sets.join(QStringLiteral(", ")),
                 where.parts.join(QStringLiteral(" AND ")));
    for (Value& v : where.parameters) statement.parameters.push_back(std::move(v));

    long affected = 0;
    if (ErrorList errors = provider_.executeNative(statement, affected); !errors.empty())
        return errors;
    // Rows a view's triggers change are not counted, so a view cannot tell.
    if (affected == 0 && !table_.isView) return {rowChanged(table_.name)};
    readBack(row, row);
    return {};
}

void RowWriter::readBack(const Row& identifying, Row& row) {
    if (table_.isView) return;
    Condition where;
    if (identify(identifying, where, false) == Found::Not) return;
    QStringList select;
    std::vector<size_t> targets;
    for (size_t i = 0; i < columns_.size(); ++i) {
        if (writable(i)) {
            select << provider_.quoteIdentifier(column(i));
            targets.push_back(i);
        } else if (static_cast<int>(i) == locator_) {
            select << table_.rowLocator;
            targets.push_back(i);
        }
    }
    if (select.isEmpty()) return;
    NativeStatement query{
        QStringLiteral("SELECT %1 FROM %2 WHERE %3")
            .arg(select.join(QStringLiteral(", ")), provider_.quoteIdentifier(table_.name),
                 where.parts.join(QStringLiteral(" AND "))),
        where.parameters};
    std::unique_ptr<RowSource> rows;
    if (!provider_.queryNative(query, rows).empty() || !rows) return;
    Row stored;
    ErrorList errors;
    if (rows->next(stored, errors) != RowSource::Fetch::Row) return;
    for (size_t k = 0; k < targets.size() && k < stored.size(); ++k) row[targets[k]] = stored[k];
}

}  // namespace kl::ado
