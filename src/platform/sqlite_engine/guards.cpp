#include "platform/sqlite_engine/guards.h"

#include "platform/ado/ado.h"
#include "platform/sqlite_engine/handles.h"
#include "platform/sqlite_engine/stored_forms.h"

#include <sqlite3.h>

#include <algorithm>
#include <map>

namespace kl::ado::sqlite {

namespace {

const QString kGuardPrefix = QStringLiteral("KL_GUARD_");

RunError failure(sqlite3* db, const QString& what) {
    return RunError{err::ProviderFailure, what + QStringLiteral(": ") + lastMessage(db),
                    QStringLiteral("klconfig SQLite")};
}

bool isInternal(const QString& table) {
    return table.startsWith(QLatin1String(kInternalPrefix), Qt::CaseInsensitive) ||
           table.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive);
}

struct GuardedColumns {
    std::vector<std::pair<QString, long>> sized;  // column, declared length
    std::vector<QString> dates;
    std::vector<QString> keys;  // primary key, for tables without rowid
};

std::optional<GuardedColumns> readColumns(sqlite3* db, const QString& table) {
    SqliteStatement info;
    if (info.prepare(db, QStringLiteral("PRAGMA table_info(%1)").arg(quoted(table))) != SQLITE_OK)
        return std::nullopt;
    GuardedColumns out;
    while (info.step() == SQLITE_ROW) {
        const QString name = info.text(1);
        const DeclaredType type = parseDeclaredType(info.text(2));
        if (type.maxLength > 0) out.sized.emplace_back(name, type.maxLength);
        if (type.category == DeclaredType::Category::Date) out.dates.push_back(name);
        if (sqlite3_column_int(info.get(), 5) > 0) out.keys.push_back(name);
    }
    return out;
}

bool hasRowid(sqlite3* db, const QString& table) {
    SqliteStatement probe;
    return probe.prepare(db, QStringLiteral("SELECT rowid FROM %1").arg(quoted(table))) ==
           SQLITE_OK;
}

QString joined(const QStringList& parts, const QString& separator) {
    return parts.join(separator);
}

QString truncationRaise() {
    return QStringLiteral("SELECT RAISE(ABORT, %1)")
        .arg(quotedLiteral(raisedError(
            native::Truncation, QStringLiteral("Los datos de cadena o binarios se truncarían."))));
}

QString badDateRaise() {
    return QStringLiteral("SELECT RAISE(ABORT, %1)")
        .arg(quotedLiteral(raisedError(native::BadDate,
                                       QStringLiteral("Error de conversión al convertir una "
                                                      "cadena de caracteres en fecha y/u hora."))));
}

QString tooLong(const QString& column, long length) {
    return QStringLiteral("length(rtrim(NEW.%1)) > %2").arg(quoted(column)).arg(length);
}

QString notADate(const QString& column) {
    return QStringLiteral("(typeof(NEW.%1) = 'text' AND kl_fecha(NEW.%1) IS NULL)")
        .arg(quoted(column));
}

// An inserted row has every column to check: one trigger, sizes first.
QString insertChecks(const GuardedColumns& columns) {
    QStringList sizeChecks, dateChecks;
    for (const auto& [name, length] : columns.sized) sizeChecks << tooLong(name, length);
    for (const QString& name : columns.dates) dateChecks << notADate(name);
    QString body;
    if (!sizeChecks.isEmpty())
        body += QStringLiteral(" %1 WHERE %2;")
                    .arg(truncationRaise(), joined(sizeChecks, QStringLiteral(" OR ")));
    if (!dateChecks.isEmpty())
        body += QStringLiteral(" %1 WHERE %2;")
                    .arg(badDateRaise(), joined(dateChecks, QStringLiteral(" OR ")));
    return body;
}

// The row's date stored in the one form, found by its rowid or its key. A
// date column's own collation finds '31/12/2026' equal to its stored form:
// whether the text is already stored so is asked byte by byte.
QString dateConversion(const QString& table, const std::vector<QString>& dates,
                       const GuardedColumns& columns, bool rowid) {
    QStringList sets, differs, where;
    for (const QString& name : dates) {
        sets << QStringLiteral("%1 = kl_fecha(%1)").arg(quoted(name));
        differs << QStringLiteral("%1 IS NOT kl_fecha(%1) COLLATE BINARY").arg(quoted(name));
    }
    if (rowid) {
        where << QStringLiteral("rowid = NEW.rowid");
    } else {
        for (const QString& key : columns.keys)
            where << QStringLiteral("%1 = NEW.%1").arg(quoted(key));
    }
    where << u'(' + joined(differs, QStringLiteral(" OR ")) + u')';
    return QStringLiteral(" UPDATE %1 SET %2 WHERE %3;")
        .arg(quoted(table), joined(sets, QStringLiteral(", ")),
             joined(where, QStringLiteral(" AND ")));
}

// Trigger name -> CREATE statement, as the table's columns ask for.
//
// An UPDATE pays only for the columns it changes: each guarded column has
// triggers of its own (UPDATE OF that column), and their WHEN clause lets
// the row through without running the trigger's body unless the value is
// too long, no date, or a date not yet in the stored form. Renumbering a
// million journal lines changes CUENTA alone and so checks CUENTA alone.
// The update checks run AFTER the row is written (RAISE(ABORT) still undoes
// the whole statement): a BEFORE trigger makes SQLite read every column of
// the row into NEW and seek the row again afterwards, which cost more than
// the check itself; an AFTER trigger reads only the column it names. A too
// long text or a bad date cannot meet a UNIQUE or NOT NULL constraint first,
// since no stored value is either, so the error stays 8152 or 241.
// SQLite fires a table's triggers newest first; they are created in name
// order, so the size checks (_AV_T_) come before the date checks (_AV_D_),
// as in the insert's one trigger, and both before the date conversion (_AU_).
std::map<QString, QString> desiredTriggers(sqlite3* db, const QString& table,
                                           const GuardedColumns& columns) {
    std::map<QString, QString> out;
    auto add = [&](const QString& suffix, const QString& timing, const QString& when,
                   const QString& body) {
        const QString name = kGuardPrefix + table + suffix;
        out[name] = QStringLiteral("CREATE TRIGGER %1 %2 ON %3%4 BEGIN%5 END")
                        .arg(quoted(name), timing, quoted(table),
                             when.isEmpty() ? QString() : QStringLiteral(" WHEN ") + when, body);
    };
    const auto updateOf = [](const QString& column) {
        return QStringLiteral("UPDATE OF ") + quoted(column);
    };
    const QString inserted = insertChecks(columns);
    if (!inserted.isEmpty())
        add(QStringLiteral("_BI"), QStringLiteral("BEFORE INSERT"), {}, inserted);
    for (const auto& [name, length] : columns.sized) {
        add(QStringLiteral("_AV_T_") + name, QStringLiteral("AFTER ") + updateOf(name),
            tooLong(name, length), u' ' + truncationRaise() + u';');
    }
    for (const QString& name : columns.dates) {
        add(QStringLiteral("_AV_D_") + name, QStringLiteral("AFTER ") + updateOf(name),
            notADate(name), u' ' + badDateRaise() + u';');
    }
    const bool rowid = hasRowid(db, table);
    if (!columns.dates.empty() && (rowid || !columns.keys.empty())) {
        add(QStringLiteral("_AI"), QStringLiteral("AFTER INSERT"), {},
            dateConversion(table, columns.dates, columns, rowid));
        for (const QString& name : columns.dates) {
            add(QStringLiteral("_AU_") + name, QStringLiteral("AFTER ") + updateOf(name),
                QStringLiteral("typeof(NEW.%1) = 'text' AND NEW.%1 IS NOT kl_fecha(NEW.%1) "
                               "COLLATE BINARY")
                    .arg(quoted(name)),
                dateConversion(table, {name}, columns, rowid));
        }
    }
    return out;
}

StepResult installIn(sqlite3* db, const QString& table) {
    SqliteStatement kind;
    kind.prepare(db, QStringLiteral("SELECT name, type FROM sqlite_master WHERE type IN "
                                    "('table','view') AND lower(name) = lower(?1)"));
    kind.bind(1, table);
    if (kind.step() != SQLITE_ROW)
        return RunError{err::NoSuchTable,
                        QStringLiteral("El nombre de objeto '%1' no es válido.").arg(table),
                        QStringLiteral("klconfig SQLite")};
    const QString name = kind.text(0);
    const bool isView = kind.text(1) == u"view";
    kind.finalize();

    std::map<QString, QString> desired;
    if (!isView && !isInternal(name)) {
        const std::optional<GuardedColumns> columns = readColumns(db, name);
        if (!columns)
            return failure(db, QStringLiteral("No se pudieron leer las columnas de ") + name);
        desired = desiredTriggers(db, name, *columns);
    }

    SqliteStatement existing;
    existing.prepare(db, QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type = "
                                        "'trigger' AND tbl_name = ?1"));
    existing.bind(1, name);
    std::map<QString, QString> current;
    while (existing.step() == SQLITE_ROW) {
        const QString trigger = existing.text(0);
        if (trigger.startsWith(kGuardPrefix)) current[trigger] = existing.text(1);
    }
    existing.finalize();

    for (const auto& [trigger, sql] : current) {
        const auto wanted = desired.find(trigger);
        if (wanted != desired.end() && wanted->second == sql) {
            desired.erase(wanted);
            continue;
        }
        if (StepResult e = execute(db, QStringLiteral("DROP TRIGGER %1").arg(quoted(trigger))))
            return e;
    }
    for (const auto& [trigger, sql] : desired) {
        if (StepResult e = execute(db, sql)) return e;
    }
    return std::nullopt;
}

// Runs `body` inside a savepoint: all of it or nothing.
StepResult atomically(sqlite3* db, const std::function<StepResult()>& body) {
    if (StepResult e = execute(db, QStringLiteral("SAVEPOINT kl_guards"))) return e;
    StepResult result = body();
    if (result) execute(db, QStringLiteral("ROLLBACK TO kl_guards"));
    execute(db, QStringLiteral("RELEASE kl_guards"));
    return result;
}

// A table definition "CREATE TABLE t (a INT, b DATETIME NOT NULL, ...)"
// with " COLLATE KL_FECHA" appended to the definition of each column of
// `dates` that names no collation; COLLATE may close a column's
// definition. Blanks, quotes and nested parentheses are read as SQLite
// reads them; table constraints never start with a column's name.
QString withDateCollation(const QString& sql, const std::vector<QString>& dates, int& changed) {
    std::vector<std::pair<qsizetype, qsizetype>> items;  // [begin, end) at depth 1
    int depth = 0;
    qsizetype begin = -1;
    for (qsizetype k = 0; k < sql.size(); ++k) {
        const QChar c = sql[k];
        if (c == u'\'' || c == u'"' || c == u'`' || c == u'[') {
            const QChar close = c == u'[' ? u']' : c;
            k = sql.indexOf(close, k + 1);
            if (k < 0) return sql;
        } else if (c == u'(') {
            if (++depth == 1) begin = k + 1;
        } else if (c == u')') {
            if (--depth == 0) {
                items.emplace_back(begin, k);
                break;
            }
        } else if (c == u',' && depth == 1) {
            items.emplace_back(begin, k);
            begin = k + 1;
        }
    }
    QString out = sql;
    for (auto item = items.rbegin(); item != items.rend(); ++item) {
        const QStringView text = QStringView(sql).mid(item->first, item->second - item->first);
        const QStringView trimmed = text.trimmed();
        if (trimmed.isEmpty()) continue;
        qsizetype nameEnd = 0;
        QStringView name;
        if (trimmed[0] == u'[' || trimmed[0] == u'"' || trimmed[0] == u'`') {
            nameEnd = trimmed.indexOf(trimmed[0] == u'[' ? u']' : trimmed[0], 1);
            if (nameEnd < 0) continue;
            name = trimmed.mid(1, nameEnd - 1);
        } else {
            while (nameEnd < trimmed.size() && !trimmed[nameEnd].isSpace()) ++nameEnd;
            name = trimmed.left(nameEnd);
        }
        const bool date = std::any_of(dates.begin(), dates.end(), [&](const QString& column) {
            return name.compare(column, Qt::CaseInsensitive) == 0;
        });
        if (!date || trimmed.contains(u"COLLATE", Qt::CaseInsensitive)) continue;
        const qsizetype end = (trimmed.data() - sql.data()) + trimmed.size();
        out.insert(end, QStringLiteral(" COLLATE ") + QLatin1String(kDateCollation));
        ++changed;
    }
    return out;
}

}  // namespace

StepResult collateDateColumns(sqlite3* db, int& changed) {
    changed = 0;
    SqliteStatement tables;
    tables.prepare(db, QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type = 'table'"));
    std::vector<std::pair<QString, QString>> edited;
    while (tables.step() == SQLITE_ROW) {
        const QString name = tables.text(0);
        if (isInternal(name)) continue;
        const std::optional<GuardedColumns> columns = readColumns(db, name);
        if (!columns)
            return failure(db, QStringLiteral("No se pudieron leer las columnas de ") + name);
        if (columns->dates.empty()) continue;
        int count = 0;
        const QString sql = withDateCollation(tables.text(1), columns->dates, count);
        if (count == 0) continue;
        changed += count;
        edited.emplace_back(name, sql);
    }
    tables.finalize();
    if (edited.empty()) return std::nullopt;

    std::int64_t version = 0;
    SqliteStatement cookie;
    cookie.prepare(db, QStringLiteral("PRAGMA schema_version"));
    if (cookie.step() == SQLITE_ROW) version = sqlite3_column_int64(cookie.get(), 0);
    cookie.finalize();
    if (StepResult e = execute(db, QStringLiteral("PRAGMA writable_schema = ON"))) return e;
    StepResult result;
    for (const auto& [table, sql] : edited) {
        SqliteStatement update;
        update.prepare(db, QStringLiteral("UPDATE sqlite_master SET sql = ?1 WHERE type = "
                                          "'table' AND name = ?2"));
        update.bind(1, sql);
        update.bind(2, table);
        if (update.step() != SQLITE_DONE) {
            result = failure(db, QStringLiteral("No se pudo cambiar la definición de ") + table);
            break;
        }
    }
    // A new schema version makes every connection read the definitions again.
    if (!result)
        result = execute(db, QStringLiteral("PRAGMA schema_version = %1").arg(version + 1));
    execute(db, QStringLiteral("PRAGMA writable_schema = OFF"));
    if (!result) result = execute(db, QStringLiteral("REINDEX ") + QLatin1String(kDateCollation));
    return result;
}

std::optional<SizeGuard> sizeGuardOf(sqlite3* db, const QString& table, const QString& column) {
    const std::optional<GuardedColumns> columns = readColumns(db, table);
    if (!columns) return std::nullopt;
    for (const auto& [name, length] : columns->sized) {
        if (name.compare(column, Qt::CaseInsensitive) != 0) continue;
        SqliteStatement trigger;
        if (trigger.prepare(db, QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type = "
                                               "'trigger' AND name = ?1 COLLATE NOCASE")) !=
            SQLITE_OK)
            return std::nullopt;
        trigger.bind(1, kGuardPrefix + table + QStringLiteral("_AV_T_") + name);
        if (trigger.step() != SQLITE_ROW) return std::nullopt;
        return SizeGuard{trigger.text(0), trigger.text(1), length};
    }
    return std::nullopt;
}

StepResult installColumnGuards(sqlite3* db, const QString& table) {
    return atomically(db, [&] { return installIn(db, table); });
}

StepResult installAllColumnGuards(sqlite3* db) {
    return atomically(db, [&]() -> StepResult {
        SqliteStatement tables;
        tables.prepare(db, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"));
        QStringList names;
        while (tables.step() == SQLITE_ROW) names << tables.text(0);
        tables.finalize();
        for (const QString& name : names) {
            if (isInternal(name)) continue;
            if (StepResult e = installIn(db, name)) return e;
        }
        return std::nullopt;
    });
}

}  // namespace kl::ado::sqlite
