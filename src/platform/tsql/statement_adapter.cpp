#include "platform/tsql/statement_adapter.h"

#include "platform/tsql/batch_splitter.h"
#include "platform/tsql/expression_rewriter.h"

namespace kl::tsql {

namespace {

bool isPlainIdentifier(const QString& text) {
    if (text.isEmpty() || !text.front().isLetter()) return false;
    for (QChar c : text)
        if (!c.isLetterOrNumber() && c != u'_') return false;
    return true;
}

const QSet<QString>& constraintWords() {
    static const QSet<QString> words =
        setOf({"CONSTRAINT", "PRIMARY", "UNIQUE", "CHECK", "FOREIGN"});
    return words;
}

// A column definition or table constraint of CREATE/ALTER TABLE without
// what SQLite does not know: CLUSTERED, index options WITH (...), filegroups
// ON [PRIMARY]. Text columns get KL_CI and date columns KL_FECHA, so they
// compare as the rest do.
Nodes cleanDefinition(Nodes item, const Target& target) {
    static const QSet<QString> clustering = setOf({"CLUSTERED", "NONCLUSTERED"});
    static const QSet<QString> actions = setOf({"DELETE", "UPDATE", "CONFLICT"});
    Nodes out;
    bool collated = false;
    for (size_t i = 0; i < item.size(); ++i) {
        Node& n = item[i];
        if (isAnyOf(n, clustering)) continue;
        if (is(n, "WITH") && i + 1 < item.size() && item[i + 1].kind == Kind::Group) {
            ++i;
            continue;
        }
        if (is(n, "ON") && i + 1 < item.size() && isNamePart(item[i + 1]) &&
            !isAnyOf(item[i + 1], actions)) {
            ++i;
            continue;
        }
        collated = collated || is(n, "COLLATE");
        out.push_back(std::move(n));
    }
    const bool column = !out.empty() && isNamePart(out[0]) && !isAnyOf(out[0], constraintWords());
    if (!column || out.size() < 2 || !isNamePart(out[1])) return out;
    // The provider reads sizes from the declared type: "varchar(20)", never
    // "[varchar](20)".
    if (isPlainIdentifier(out[1].text)) out[1].kind = Kind::Word;
    const bool date =
        *target.dateCollation && target.typeOf(out[1].text).kind == TypeOfName::Kind::Date;
    if (!collated && (isTextTypeName(out[1]) || date)) {
        const size_t after = out.size() > 2 && out[2].kind == Kind::Group ? 3 : 2;
        out.insert(out.begin() + static_cast<std::ptrdiff_t>(after),
                   {word(QStringLiteral("COLLATE")),
                    word(QString::fromLatin1(date ? target.dateCollation : target.textCollation))});
    }
    return out;
}

class StatementAdapter {
  public:
    StatementAdapter(const Target& target, const ProcedureLookup& isProcedure)
        : target_(target), isProcedure_(isProcedure) {}

    StepResult add(Nodes nodes) {
        const Node& first = nodes.front();
        if (is(first, "SET")) return sessionOption(nodes);
        if (is(first, "BEGIN") || is(first, "COMMIT") || is(first, "ROLLBACK"))
            return transaction(nodes);
        if (is(first, "EXEC") || is(first, "EXECUTE")) return call(nodes, 1);
        if (is(first, "IF")) return conditional(std::move(nodes));
        if (is(first, "ALTER")) return alterTable(std::move(nodes));
        if (is(first, "RAISERROR")) return raiseError(std::move(nodes));
        if (isBareCall(nodes)) return call(nodes, 0);
        if (StepResult e = prepare(nodes)) return e;
        return emit(std::move(nodes));
    }

    std::vector<Statement> take() { return std::move(out_); }

  private:
    StepResult emit(Nodes nodes) {
        const qsizetype at = nodes.front().pos;
        if (StepResult e = rewriteExpressions(nodes, target_)) return e;
        if (nodes.empty())  // nothing but a hint or an owner ("dbo.")
            return syntaxError(
                QStringLiteral("Sintaxis incorrecta cerca de la posición %1.").arg(position(at)));
        out_.push_back(Statement{rendered(nodes), {}, {}});
        return {};
    }

    static RunError unsupported(const QString& what, const Node& at) {
        return syntaxError(QStringLiteral("%1 no se admite en la base de datos embebida (posición "
                                          "%2).")
                               .arg(what, position(at.pos)));
    }

    // Session options mean nothing to the embedded engine.
    static StepResult sessionOption(const Nodes& nodes) {
        if (selfDelimitedLength(nodes, 0) == nodes.size()) return {};
        return unsupported(QStringLiteral("Esta sentencia SET"), nodes.front());
    }

    StepResult transaction(const Nodes& nodes) {
        if (selfDelimitedLength(nodes, 0) != nodes.size())
            return unsupported(
                is(nodes.front(), "BEGIN")
                    ? QStringLiteral("Un bloque BEGIN ... END")
                    : QStringLiteral("Esta forma de ") + nodes.front().text.toUpper(),
                nodes.front());
        out_.push_back(Statement{nodes.front().text.toUpper(), {}, {}});
        return {};
    }

    bool isBareCall(const Nodes& nodes) const {
        static const QSet<QString> notProcedures =
            setOf({"SELECT", "WITH",   "GRANT",  "REVOKE", "DENY",   "DECLARE", "PRINT",
                   "USE",    "END",    "ELSE",   "WHILE",  "RETURN", "MERGE",   "SAVE",
                   "VALUES", "INSERT", "UPDATE", "DELETE", "CREATE", "DROP",    "TRUNCATE"});
        if (!isProcedure_ || !isNamePart(nodes.front()) || isAnyOf(nodes.front(), notProcedures))
            return false;
        size_t i = 0;
        const std::optional<QString> name = readObjectName(nodes, i);
        return name && isProcedure_(*name);
    }

    // "[EXEC] proc 'a', 2, NULL": the arguments' values, literals unquoted.
    StepResult call(const Nodes& nodes, size_t nameAt) {
        size_t i = nameAt;
        const std::optional<QString> name = readObjectName(nodes, i);
        if (!name)
            return syntaxError(QStringLiteral("Falta el nombre del procedimiento (posición %1).")
                                   .arg(position(nodes.front().pos)));
        Statement s;
        s.procedure = *name;
        while (i < nodes.size()) {
            const Node& n = nodes[i];
            QString value;
            if ((isOp(n, "-") || isOp(n, "+")) && i + 1 < nodes.size() &&
                nodes[i + 1].kind == Kind::Number) {
                value = (n.text == u"-" ? n.text : QString()) + nodes[++i].text;
            } else if (n.kind == Kind::String || n.kind == Kind::Number || n.kind == Kind::Name) {
                value = n.text;
            } else if (is(n, "NULL")) {
                value = QString();
            } else if (n.kind == Kind::Word && !n.text.startsWith(u'@') && !is(n, "OUTPUT") &&
                       !is(n, "DEFAULT")) {
                value = n.text;  // SQL Server takes a bare word as a text argument
            } else {
                return syntaxError(
                    QStringLiteral("Argumento no admitido en la llamada a %1 (posición %2): sólo "
                                   "se admiten valores.")
                        .arg(*name, position(n.pos)));
            }
            s.arguments.push_back(value);
            ++i;
            if (i == nodes.size()) break;
            if (nodes[i].kind != Kind::Comma || i + 1 == nodes.size())
                return syntaxError(QStringLiteral("Sintaxis incorrecta en la llamada a %1 cerca de "
                                                  "la posición %2.")
                                       .arg(*name, position(nodes[i].pos)));
            ++i;
        }
        out_.push_back(std::move(s));
        return {};
    }

    // IF <condition> <INSERT | UPDATE | DELETE>: the condition joins the
    // statement's own WHERE, so it is checked in the same step.
    StepResult conditional(Nodes nodes) {
        static const QSet<QString> dml = setOf({"INSERT", "UPDATE", "DELETE"});
        size_t body = 1;
        while (body < nodes.size() && !isAnyOf(nodes[body], statementWords())) ++body;
        const size_t elseAt = indexOfWord(nodes, "ELSE");
        if (elseAt < nodes.size()) return unsupported(QStringLiteral("IF ... ELSE"), nodes[elseAt]);
        if (body == 1 || body == nodes.size())
            return syntaxError(
                QStringLiteral("Falta la condición o la sentencia del IF (posición %1).")
                    .arg(position(nodes.front().pos)));
        if (!isAnyOf(nodes[body], dml))
            return unsupported(QStringLiteral("IF ante ") + nodes[body].text.toUpper(),
                               nodes[body]);
        Nodes condition = slice(nodes, 1, body);
        Nodes stmt = slice(nodes, body, nodes.size());
        if (StepResult e = rewriteExpressions(condition, target_)) return e;
        if (condition.empty())
            return syntaxError(QStringLiteral("Falta la condición del IF (posición %1).")
                                   .arg(position(nodes.front().pos)));
        if (StepResult e = prepare(stmt)) return e;
        if (StepResult e = rewriteExpressions(stmt, target_)) return e;
        condition.front().lead.clear();
        Node test = group(std::move(condition), QStringLiteral(" "));

        Nodes out;
        if (is(stmt.front(), "INSERT")) {
            const size_t values = indexOfWord(stmt, "VALUES");
            const size_t select = indexOfWord(stmt, "SELECT");
            if (values + 2 == stmt.size() && stmt[values + 1].kind == Kind::Group) {
                out = slice(stmt, 0, values);
                out.push_back(word(QStringLiteral("SELECT"), stmt[values].lead));
                Nodes row = std::move(stmt[values + 1].children);
                if (!row.empty()) row.front().lead = QStringLiteral(" ");
                append(out, std::move(row));
            } else if (select < stmt.size() && select < values) {
                out = slice(stmt, 0, select);
                out.push_back(word(QStringLiteral("SELECT"), stmt[select].lead));
                out.push_back(make(Kind::Operator, QStringLiteral("*"), QStringLiteral(" ")));
                out.push_back(word(QStringLiteral("FROM")));
                Nodes query = slice(stmt, select, stmt.size());
                query.front().lead.clear();
                out.push_back(group(std::move(query), QStringLiteral(" ")));
            } else {
                return unsupported(QStringLiteral("Este INSERT después de IF"), stmt.front());
            }
            out.push_back(word(QStringLiteral("WHERE")));
            out.push_back(std::move(test));
        } else {
            const size_t where = indexOfWord(stmt, "WHERE");
            out = slice(stmt, 0, std::min(where + 1, stmt.size()));
            if (where == stmt.size()) out.push_back(word(QStringLiteral("WHERE")));
            out.push_back(std::move(test));
            if (where < stmt.size()) {
                out.push_back(word(QStringLiteral("AND")));
                Nodes rest = slice(stmt, where + 1, stmt.size());
                if (!rest.empty()) rest.front().lead.clear();
                out.push_back(group(std::move(rest), QStringLiteral(" ")));
            }
        }
        out_.push_back(Statement{rendered(out), {}, {}});
        return {};
    }

    // ALTER TABLE t ADD a ..., b ...: SQLite adds one column per statement.
    StepResult alterTable(Nodes nodes) {
        size_t i = 2;
        if (nodes.size() < 3 || !is(nodes[1], "TABLE") || !readObjectName(nodes, i) ||
            i >= nodes.size())
            return emit(std::move(nodes));
        const Node& action = nodes[i];
        if (is(action, "ALTER")) return unsupported(QStringLiteral("ALTER COLUMN"), action);
        if (is(action, "DROP") && i + 1 < nodes.size() && !is(nodes[i + 1], "COLUMN"))
            return unsupported(QStringLiteral("DROP ") + nodes[i + 1].text.toUpper(), action);
        if (!is(action, "ADD")) return emit(std::move(nodes));

        const Nodes table(nodes.begin() + 2, nodes.begin() + static_cast<std::ptrdiff_t>(i));
        const Nodes prefix(nodes.begin(), nodes.begin() + static_cast<std::ptrdiff_t>(i + 1));
        std::vector<Nodes> items = splitAtCommas(slice(nodes, i + 1, nodes.size()));
        if (items.empty())
            return syntaxError(QStringLiteral("Falta la columna de ALTER TABLE ... ADD (posición "
                                              "%1).")
                                   .arg(position(action.pos)));
        for (Nodes& item : items) {
            if (item.empty())
                return syntaxError(QStringLiteral("Falta una columna de ALTER TABLE ... ADD "
                                                  "(posición %1).")
                                       .arg(position(action.pos)));
            if (is(item.front(), "COLUMN")) item.erase(item.begin());
            if (item.empty() || isAnyOf(item.front(), constraintWords()))
                return unsupported(QStringLiteral("Agregar restricciones con ALTER TABLE"), action);
            Nodes column;
            bool notNull = false, hasDefault = false, withValues = false;
            for (size_t k = 0; k < item.size(); ++k) {
                Node& n = item[k];
                if (is(n, "CONSTRAINT") && k + 1 < item.size()) {
                    ++k;  // SQLite keeps no names for column defaults
                    continue;
                }
                if (is(n, "WITH") && k + 1 < item.size() && is(item[k + 1], "VALUES")) {
                    withValues = true;
                    ++k;
                    continue;
                }
                if (is(n, "IDENTITY"))
                    return unsupported(QStringLiteral("Agregar una columna IDENTITY"), n);
                notNull =
                    notNull || (is(n, "NOT") && k + 1 < item.size() && is(item[k + 1], "NULL"));
                hasDefault = hasDefault || is(n, "DEFAULT");
                column.push_back(std::move(n));
            }
            if (column.empty())
                return syntaxError(QStringLiteral("Falta una columna de ALTER TABLE ... ADD "
                                                  "(posición %1).")
                                       .arg(position(action.pos)));
            const Node columnName = column.front();
            Nodes stmt = prefix;
            stmt.push_back(word(QStringLiteral("COLUMN")));
            append(stmt, cleanDefinition(std::move(column), target_));
            if (StepResult e = emit(std::move(stmt))) return e;
            // SQL Server leaves the existing rows NULL in a new nullable column
            // unless told WITH VALUES; SQLite would show them the default.
            if (hasDefault && !notNull && !withValues) {
                Nodes reset{word(QStringLiteral("UPDATE"), QString())};
                append(reset, Nodes(table));
                reset.push_back(word(QStringLiteral("SET")));
                reset.push_back(columnName);
                reset.back().lead = QStringLiteral(" ");
                reset.push_back(make(Kind::Operator, QStringLiteral("="), QStringLiteral(" ")));
                reset.push_back(word(QStringLiteral("NULL")));
                if (StepResult e = emit(std::move(reset))) return e;
            }
        }
        return {};
    }

    StepResult raiseError(Nodes nodes) {
        if (nodes.size() != 2 || nodes[1].kind != Kind::Group)
            return unsupported(QStringLiteral("Esta forma de RAISERROR"), nodes.front());
        std::vector<Nodes> parts = splitAtCommas(std::move(nodes[1].children));
        if (parts.empty() || parts.front().empty())
            return syntaxError(QStringLiteral("Falta el mensaje de RAISERROR (posición %1).")
                                   .arg(position(nodes.front().pos)));
        Nodes stmt{word(QStringLiteral("SELECT"), QString()),
                   word(QStringLiteral("kl_error"), QStringLiteral(" ")),
                   group(std::move(parts.front()))};
        return emit(std::move(stmt));
    }

    // Statement forms SQLite spells differently; the rest is expression work.
    StepResult prepare(Nodes& nodes) const {
        if (is(nodes.front(), "TRUNCATE") && nodes.size() > 1 && is(nodes[1], "TABLE")) {
            nodes[0].text = QStringLiteral("DELETE");
            nodes[1].text = QStringLiteral("FROM");
        } else if (is(nodes.front(), "DELETE") && (nodes.size() < 2 || !is(nodes[1], "FROM"))) {
            nodes.insert(nodes.begin() + 1, word(QStringLiteral("FROM")));
        } else if (is(nodes.front(), "CREATE")) {
            return prepareCreate(nodes);
        }
        return {};
    }

    StepResult prepareCreate(Nodes& nodes) const {
        static const QSet<QString> clustering = setOf({"CLUSTERED", "NONCLUSTERED"});
        static const QSet<QString> storage = setOf({"ON", "TEXTIMAGE_ON"});
        size_t i = 2;
        if (nodes.size() < 2 || !is(nodes[1], "TABLE") || !readObjectName(nodes, i) ||
            i >= nodes.size() || nodes[i].kind != Kind::Group) {
            Nodes kept;
            for (Node& n : nodes)
                if (!isAnyOf(n, clustering)) kept.push_back(std::move(n));
            nodes = std::move(kept);
            return {};
        }
        // "ON [PRIMARY]" / "TEXTIMAGE_ON [PRIMARY]" after the definitions.
        Nodes tail;
        for (size_t k = i + 1; k < nodes.size(); ++k) {
            if (isAnyOf(nodes[k], storage) && k + 1 < nodes.size() && isNamePart(nodes[k + 1]))
                ++k;
            else
                tail.push_back(std::move(nodes[k]));
        }
        nodes.resize(i + 1);
        append(nodes, std::move(tail));

        std::vector<Nodes> items = splitAtCommas(std::move(nodes[i].children));
        for (Nodes& item : items) item = cleanDefinition(std::move(item), target_);
        if (StepResult e = identityAsRowid(items, nodes[i])) return e;
        nodes[i].children = joinWithCommas(std::move(items));
        return {};
    }

    // SQLite numbers rows by itself only through the table's INTEGER PRIMARY
    // KEY, so an IDENTITY column becomes that key: it must be the primary
    // key (or the table must have none, identity values being unique anyway).
    static StepResult identityAsRowid(std::vector<Nodes>& items, const Node& at) {
        auto primaryKeyAt = [](const Nodes& item) {
            for (size_t k = 0; k + 1 < item.size(); ++k)
                if (is(item[k], "PRIMARY") && is(item[k + 1], "KEY")) return k;
            return item.size();
        };
        size_t identity = items.size();
        for (size_t k = 0; k < items.size(); ++k) {
            const Nodes& item = items[k];
            if (!item.empty() && !isAnyOf(item.front(), constraintWords()) &&
                indexOfWord(item, "IDENTITY") < item.size()) {
                if (identity < items.size())
                    return syntaxError(QStringLiteral("Sólo puede haber una columna IDENTITY por "
                                                      "tabla (posición %1).")
                                           .arg(position(at.pos)));
                identity = k;
            }
        }
        if (identity == items.size()) return {};
        const QString column = items[identity].front().text;
        size_t tableKey = items.size();
        for (size_t k = 0; k < items.size(); ++k) {
            const Nodes& item = items[k];
            const size_t pk = primaryKeyAt(item);
            if (k == identity || pk == item.size()) continue;
            const bool onIdentity =
                isAnyOf(item.front(), constraintWords()) && pk + 2 < item.size() &&
                item[pk + 2].kind == Kind::Group && item[pk + 2].children.size() >= 1 &&
                isNamePart(item[pk + 2].children.front()) &&
                item[pk + 2].children.front().text.compare(column, Qt::CaseInsensitive) == 0 &&
                (item[pk + 2].children.size() == 1 ||
                 (item[pk + 2].children.size() == 2 &&
                  (is(item[pk + 2].children[1], "ASC") || is(item[pk + 2].children[1], "DESC"))));
            if (!onIdentity)
                return unsupported(QStringLiteral("Una columna IDENTITY que no es la clave "
                                                  "primaria"),
                                   at);
            tableKey = k;
        }
        Nodes& item = items[identity];
        Nodes rebuilt{item.front(), word(QStringLiteral("INTEGER")),
                      word(QStringLiteral("PRIMARY")), word(QStringLiteral("KEY")),
                      word(QStringLiteral("AUTOINCREMENT"))};
        size_t k = item.size() > 2 && item[2].kind == Kind::Group ? 3 : 2;  // past the type
        for (; k < item.size(); ++k) {
            if (is(item[k], "IDENTITY")) {
                if (k + 1 < item.size() && item[k + 1].kind == Kind::Group) ++k;
            } else if (is(item[k], "CONSTRAINT") && k + 2 < item.size() &&
                       is(item[k + 2], "PRIMARY")) {
                ++k;
            } else if (is(item[k], "PRIMARY") && k + 1 < item.size() && is(item[k + 1], "KEY")) {
                ++k;
                if (k + 1 < item.size() && (is(item[k + 1], "ASC") || is(item[k + 1], "DESC"))) ++k;
            } else if (is(item[k], "NOT") && k + 2 < item.size() && is(item[k + 1], "FOR") &&
                       is(item[k + 2], "REPLICATION")) {
                k += 2;
            } else {
                rebuilt.push_back(std::move(item[k]));
            }
        }
        item = std::move(rebuilt);
        if (tableKey < items.size())
            items.erase(items.begin() + static_cast<std::ptrdiff_t>(tableKey));
        return {};
    }

    const Target& target_;
    const ProcedureLookup& isProcedure_;
    std::vector<Statement> out_;
};

}  // namespace

std::variant<std::vector<Statement>, RunError> adaptStatements(std::vector<Nodes> statements,
                                                               const Target& target,
                                                               const ProcedureLookup& isProcedure) {
    StatementAdapter adapter(target, isProcedure);
    for (Nodes& s : statements)
        if (StepResult e = adapter.add(std::move(s))) return *e;
    return adapter.take();
}

}  // namespace kl::tsql
