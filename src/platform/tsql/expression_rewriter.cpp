#include "platform/tsql/expression_rewriter.h"

#include "platform/tsql/target.h"

#include <algorithm>

namespace kl::tsql {

namespace {

struct TextShape {
    bool whole = false;  // the sequence is one text expression
    bool part = false;   // some comma-separated part of it is
};

const QSet<QString>& dateParts() {
    // The parts kl_datepart and its kin read.
    static const QSet<QString> parts =
        setOf({"YY",     "YYYY",    "YEAR",      "MM",   "M",  "MONTH", "DD",     "D",  "DAY",
               "DW",     "WEEKDAY", "HH",        "HOUR", "MI", "N",     "MINUTE", "SS", "S",
               "SECOND", "DY",      "DAYOFYEAR", "WK",   "WW", "WEEK",  "QQ",     "Q",  "QUARTER"});
    return parts;
}

// Words that never stand for a value where an operand is expected.
const QSet<QString>& clauseWords() {
    static const QSet<QString> words =
        setOf({"SELECT",  "DISTINCT",   "ALL",     "TOP",    "PERCENT", "FROM",       "WHERE",
               "AND",     "OR",         "NOT",     "EXISTS", "IN",      "LIKE",       "IS",
               "BETWEEN", "AS",         "ON",      "JOIN",   "INNER",   "OUTER",      "CROSS",
               "FULL",    "LEFT",       "RIGHT",   "ORDER",  "BY",      "GROUP",      "HAVING",
               "SET",     "VALUES",     "INTO",    "UPDATE", "DELETE",  "INSERT",     "THEN",
               "ELSE",    "WHEN",       "END",     "UNION",  "EXCEPT",  "INTERSECT",  "ESCAPE",
               "ASC",     "DESC",       "COLLATE", "WITH",   "DEFAULT", "CONSTRAINT", "PRIMARY",
               "KEY",     "REFERENCES", "TABLE",   "CREATE", "ALTER",   "ADD",        "DROP",
               "IF",      "LIMIT",      "ANY",     "SOME",   "RETURN",  "PRINT",      "EXEC",
               "EXECUTE", "INDEX",      "VIEW",    "UNIQUE", "CHECK",   "FOREIGN",    "IDENTITY",
               "OVER",    "PARTITION",  "COLUMN"});
    return words;
}

// Type text for kl_convert: as written, blanks removed ("varchar(10)").
std::optional<QString> typeText(const Nodes& type) {
    if (type.empty() || type.size() > 2 || !isNamePart(type[0])) return std::nullopt;
    QString text = type[0].text;
    if (type.size() == 2) {
        if (type[1].kind != Kind::Group || type[1].children.empty()) return std::nullopt;
        text += u'(';
        for (const Node& n : type[1].children) {
            if (n.kind != Kind::Number && n.kind != Kind::Word && n.kind != Kind::Comma)
                return std::nullopt;
            text += n.text;
        }
        text += u')';
    }
    return text;
}

bool isTextType(const Nodes& type) {
    return !type.empty() && isTextTypeName(type[0]);
}

// The general rewriting of a statement's text, applied at every nesting
// level: hints and owners, function spellings, TOP, concatenation.
class Rewriter {
  public:
    explicit Rewriter(const Target& target) : target_(target) {}

    StepResult rewrite(Nodes& seq, TextShape* shape = nullptr) {
        seq = withoutHintsAndOwners(std::move(seq));
        for (Node& n : seq) {
            if (n.kind != Kind::Group) continue;
            TextShape inner;
            if (StepResult e = rewrite(n.children, &inner)) return e;
            n.textual = inner.whole;
            n.holdsText = inner.part;
        }
        if (StepResult e = rewriteCalls(seq)) return e;
        if (StepResult e = rewriteTop(seq)) return e;
        keepMoneyScale(seq);
        const TextShape s = joinTexts(seq);
        compareAsSqlServer(seq);
        compareDigitDates(seq);
        collateLiterals(seq);
        if (shape) *shape = s;
        return {};
    }

  private:
    // Drops "with(nolock)", "(nolock)" and "dbo." (with a database name
    // before it); a dropped token's blanks pass to the next one.
    static Nodes withoutHintsAndOwners(Nodes seq) {
        Nodes out;
        out.reserve(seq.size());
        QString pendingLead;
        bool pending = false;
        auto drop = [&](const QString& lead) {
            if (!pending) pendingLead = lead;
            pending = true;
        };
        for (size_t i = 0; i < seq.size(); ++i) {
            Node& n = seq[i];
            const bool next = i + 1 < seq.size();
            if (is(n, "WITH") && next && isHintList(seq[i + 1])) {
                drop(n.lead);
                ++i;
                continue;
            }
            if (n.kind == Kind::Group && isBareHintList(n) && !out.empty() &&
                isNamePart(out.back())) {
                drop(n.lead);
                continue;
            }
            if (isNamePart(n) && n.text.compare(u"dbo", Qt::CaseInsensitive) == 0 && next &&
                seq[i + 1].kind == Kind::Dot) {
                if (out.size() >= 2 && out.back().kind == Kind::Dot &&
                    isNamePart(out[out.size() - 2])) {
                    drop(out[out.size() - 2].lead);
                    out.pop_back();
                    out.pop_back();
                } else {
                    drop(n.lead);
                }
                ++i;
                continue;
            }
            if (pending) {
                if (n.lead.isEmpty()) n.lead = pendingLead;
                pending = false;
            }
            out.push_back(std::move(n));
        }
        return out;
    }

    StepResult rewriteCalls(Nodes& seq) {
        static const QSet<QString> objectIntroducers =
            setOf({"INTO", "TABLE", "FROM", "JOIN", "UPDATE", "REFERENCES", "EXEC", "EXECUTE",
                   "PROC", "PROCEDURE", "FUNCTION", "VIEW", "INDEX", "TRIGGER"});
        Nodes out;
        out.reserve(seq.size());
        for (size_t i = 0; i < seq.size(); ++i) {
            Node& n = seq[i];
            const bool plain =
                n.kind == Kind::Word && (out.empty() || (out.back().kind != Kind::Dot &&
                                                         !isAnyOf(out.back(), objectIntroducers)));
            const size_t before = out.size();
            if (plain && isCall(seq, i)) {
                if (StepResult e = rewriteCall(std::move(n), std::move(seq[i + 1]), out)) return e;
                ++i;
            } else if (plain && (is(n, "CURRENT_TIMESTAMP") || is(n, "@@IDENTITY"))) {
                const bool now = is(n, "CURRENT_TIMESTAMP");
                out.push_back(
                    word(now ? QStringLiteral("kl_getdate") : QStringLiteral("last_insert_rowid"),
                         n.lead));
                out.push_back(group({}));
            } else if (is(n, "COLLATE") && i + 1 < seq.size() && isNamePart(seq[i + 1])) {
                // SQL Server's collations here are KL_CI or plain binary order;
                // a date column's KL_FECHA stays.
                Node name = std::move(seq[i + 1]);
                const bool caseless = name.text.contains(u"_CI", Qt::CaseInsensitive) ||
                                      name.text.compare(u"NOCASE", Qt::CaseInsensitive) == 0;
                const bool dates = *target_.dateCollation &&
                                   name.text.compare(QLatin1String(target_.dateCollation),
                                                     Qt::CaseInsensitive) == 0;
                name = word(dates      ? QString::fromLatin1(target_.dateCollation)
                            : caseless ? QStringLiteral("KL_CI")
                                       : QStringLiteral("BINARY"),
                            name.lead);
                out.push_back(std::move(n));
                out.push_back(std::move(name));
                ++i;
                continue;
            } else {
                out.push_back(std::move(n));
                continue;
            }
            // SQLite takes a call as a column default only in parentheses.
            if (before > 0 && is(out[before - 1], "DEFAULT")) {
                Nodes call = slice(out, before, out.size());
                out.resize(before);
                const QString lead = std::exchange(call.front().lead, QString());
                out.push_back(group(std::move(call), lead));
            }
        }
        seq = std::move(out);
        return {};
    }

    StepResult rewriteCall(Node name, Node args, Nodes& out) {
        const QString fn = name.text.toUpper();
        auto fail = [&](const QString& what) {
            return syntaxError(what.arg(name.text, position(name.pos)));
        };
        if (fn == u"CAST") {
            // CAST(x AS type) -> kl_convert('type', x)
            size_t as = args.children.size();
            for (size_t k = 0; k < args.children.size(); ++k)
                if (is(args.children[k], "AS")) as = k;
            if (as == 0 || as >= args.children.size())
                return fail(
                    QStringLiteral("%1 requiere un valor, AS y un tipo de dato (posición "
                                   "%2)."));
            Nodes value = slice(args.children, 0, as);
            Nodes type = slice(args.children, as + 1, args.children.size());
            const std::optional<QString> text = typeText(type);
            if (!text) return fail(QStringLiteral("Tipo de dato no válido en %1 (posición %2)."));
            name.text = QStringLiteral("kl_convert");
            name.textual = isTextType(type);
            args.children = joinWithCommas({{literal(*text)}, spaced(std::move(value))});
            out.push_back(std::move(name));
            out.push_back(std::move(args));
            return {};
        }
        const bool dayPart = fn == u"YEAR" || fn == u"MONTH" || fn == u"DAY";
        const FunctionSpelling* mapping = target_.function(fn);
        if (!dayPart && !mapping) {
            out.push_back(std::move(name));
            out.push_back(std::move(args));
            return {};
        }
        std::vector<Nodes> parts = splitAtCommas(std::move(args.children));
        for (const Nodes& p : parts)
            if (p.empty()) return fail(QStringLiteral("Falta un argumento de %1 (posición %2)."));
        const int count = static_cast<int>(parts.size());
        const int minArgs = dayPart ? 1 : mapping->minArguments;
        const int maxArgs = dayPart ? 1 : mapping->maxArguments;
        if (count < minArgs || (maxArgs >= 0 && count > maxArgs)) {
            const QString expected =
                minArgs == maxArgs ? QString::number(minArgs)
                                   : QStringLiteral("entre %1 y %2").arg(minArgs).arg(maxArgs);
            return syntaxError(QStringLiteral("La función %1 requiere %2 argumentos (posición %3).")
                                   .arg(name.text, expected, position(name.pos)));
        }
        if (fn == u"CONVERT") {
            const std::optional<QString> text = typeText(parts[0]);
            if (!text) return fail(QStringLiteral("Tipo de dato no válido en %1 (posición %2)."));
            name.textual = isTextType(parts[0]);
            parts[0] = {literal(*text, parts[0].front().lead)};
            name.text = QLatin1String(mapping->engineName);
        } else if (dayPart) {
            parts[0] = spaced(std::move(parts[0]));
            parts.insert(parts.begin(), Nodes{literal(fn.toLower())});
            name.text = QStringLiteral("kl_datepart");
        } else {
            if (mapping->datePartFirst) {
                const Nodes& part = parts[0];
                if (part.size() != 1 || !isAnyOf(part[0], dateParts()))
                    return fail(QStringLiteral("Parte de fecha no válida en %1 (posición %2)."));
                parts[0] = {literal(part[0].text.toLower(), part[0].lead)};
            }
            // UPPER(x) keeps its spelling; LEN(x) becomes kl_len(x).
            if (fn.compare(QLatin1String(mapping->engineName), Qt::CaseInsensitive) != 0)
                name.text = QLatin1String(mapping->engineName);
            name.textual = mapping->returnsText;
        }
        // ISNULL's result has its first argument's type: a text of bounded
        // length written there cuts the second argument to it.
        std::optional<Node> type;
        if (fn == u"ISNULL") type = boundedTextType(parts[0]);
        args.children = joinWithCommas(std::move(parts));
        if (type) {
            Nodes call{std::move(name), std::move(args)};
            const QString lead = std::exchange(call.front().lead, QString());
            Node converted = word(QStringLiteral("kl_convert"), lead);
            converted.textual = true;
            out.push_back(std::move(converted));
            out.push_back(group(joinWithCommas({{std::move(*type)}, spaced(std::move(call))})));
            return {};
        }
        out.push_back(std::move(name));
        out.push_back(std::move(args));
        return {};
    }

    // The type literal of a converted operand, "kl_convert('varchar(2)', x)",
    // when it is a text type of bounded length.
    std::optional<Node> boundedTextType(const Nodes& operand) const {
        if (operand.size() != 2 || !is(operand[0], "kl_convert") ||
            operand[1].kind != Kind::Group || operand[1].children.empty() ||
            operand[1].children[0].kind != Kind::String)
            return std::nullopt;
        const TypeOfName type = target_.typeOf(operand[1].children[0].text);
        if (type.kind != TypeOfName::Kind::Text || type.maxLength <= 0) return std::nullopt;
        Node literal = operand[1].children[0];
        literal.lead.clear();
        return literal;
    }

    // Whether nodes k, k+1 are a conversion to MONEY or SMALLMONEY.
    bool isMoneyConversion(const Nodes& seq, size_t k) const {
        if (k + 1 >= seq.size() || !is(seq[k], "kl_convert") || seq[k + 1].kind != Kind::Group ||
            seq[k + 1].children.empty() || seq[k + 1].children[0].kind != Kind::String)
            return false;
        return target_.typeOf(seq[k + 1].children[0].text).kind == TypeOfName::Kind::Currency;
    }

    // SQL Server keeps a money value's four decimals through * and /, the
    // engine would not: "CAST(10 AS MONEY) / 3" ->
    // "kl_convert('money', kl_convert('MONEY', 10) / 3)", which is 3.3333.
    void keepMoneyScale(Nodes& seq) const {
        for (size_t k = seq.size(); k-- > 0;) {
            if (!isMoneyConversion(seq, k) || k + 2 >= seq.size() ||
                !(isOp(seq[k + 2], "*") || isOp(seq[k + 2], "/")))
                continue;
            size_t end = k + 3;
            while (end < seq.size() && (isOp(seq[end], "-") || isOp(seq[end], "+"))) ++end;
            bool text = false;
            if (!readPiece(seq, end, text)) continue;
            Nodes term = slice(seq, k, end);
            const QString lead = std::exchange(term.front().lead, QString());
            Nodes converted{word(QStringLiteral("kl_convert"), lead),
                            group(joinWithCommas(
                                {{literal(QStringLiteral("money"))}, spaced(std::move(term))}))};
            seq.erase(seq.begin() + static_cast<std::ptrdiff_t>(k),
                      seq.begin() + static_cast<std::ptrdiff_t>(end));
            seq.insert(seq.begin() + static_cast<std::ptrdiff_t>(k),
                       std::make_move_iterator(converted.begin()),
                       std::make_move_iterator(converted.end()));
        }
    }

    // Where the (qualified) name ending before `end` starts, when one does
    // and nothing binds it tighter than a comparison; `end` otherwise.
    static size_t nameBefore(const Nodes& seq, size_t end) {
        if (end == 0 || !isNamePart(seq[end - 1]) || isAnyOf(seq[end - 1], clauseWords()))
            return end;
        size_t start = end - 1;
        while (start >= 2 && seq[start - 1].kind == Kind::Dot && isNamePart(seq[start - 2]))
            start -= 2;
        return standsAlone(seq, start, end) ? start : end;
    }

    // A date written "yyyymmdd" is a number to the engine, which turns it
    // into one next to a date column (DATETIME has numeric affinity) and
    // then finds it below every date. The column compared with it loses its
    // affinity, not its collation, with a unary plus, and the text reaches
    // the date collation as written:
    //   "FECHA >= '20240201'" -> "+FECHA >= '20240201'"
    void compareDigitDates(Nodes& seq) const {
        const auto isDigitDate = [this](const Node& n) {
            if (n.kind != Kind::String || n.text.size() != 8) return false;
            for (QChar c : n.text)
                if (!c.isDigit()) return false;
            return target_.namesDate(n.text);
        };
        std::vector<size_t> names;
        for (size_t i = 0; i < seq.size(); ++i) {
            if (!isDigitDate(seq[i])) continue;
            size_t operatorAt = i;  // the comparison or BETWEEN before the literal
            if (i >= 1 && (isComparison(seq[i - 1]) || is(seq[i - 1], "BETWEEN")))
                operatorAt = i - 1;
            else if (i >= 3 && is(seq[i - 1], "AND") && is(seq[i - 3], "BETWEEN"))
                operatorAt = i - 3;
            if (operatorAt < i) {
                const size_t start = nameBefore(seq, operatorAt);
                if (start < operatorAt) names.push_back(start);
            } else if (i + 2 < seq.size() && isComparison(seq[i + 1]) && isNamePart(seq[i + 2]) &&
                       !isCall(seq, i + 2) && !isAnyOf(seq[i + 2], clauseWords())) {
                names.push_back(i + 2);
            }
        }
        std::sort(names.begin(), names.end());
        names.erase(std::unique(names.begin(), names.end()), names.end());
        for (auto k = names.rbegin(); k != names.rend(); ++k) {
            const QString lead = std::exchange(seq[*k].lead, QString());
            seq.insert(seq.begin() + static_cast<std::ptrdiff_t>(*k),
                       make(Kind::Operator, QStringLiteral("+"), lead));
        }
    }

    // A text literal has no collation of its own in the engine, so where no
    // table column gives one it compares in binary order with its blanks;
    // on SQL Server the database's collation and blank padding apply. The
    // literal gets the collation where it decides a comparison without a
    // column: as a column of a select list (derived tables, UNION members,
    // their GROUP BY, MAX and MIN), compared with another literal, as the
    // first argument of NULLIF and as the operand of CASE:
    //   "SELECT 'x' UNION SELECT 'X'" -> "SELECT 'x' COLLATE KL_CI UNION SELECT 'X' COLLATE KL_CI"
    // A literal compared with a column is left alone: the column's own
    // collation (the texts' or the dates') decides.
    void collateLiterals(Nodes& seq) const {
        std::vector<size_t> collated;
        static const QSet<QString> listEnd =
            setOf({"FROM", "WHERE", "GROUP", "ORDER", "HAVING", "UNION", "EXCEPT", "INTERSECT",
                   "LIMIT", "INTO"});
        for (size_t i = 0; i < seq.size(); ++i) {
            if (is(seq[i], "SELECT")) {
                size_t item = i + 1;
                if (item < seq.size() && (is(seq[item], "DISTINCT") || is(seq[item], "ALL")))
                    ++item;
                for (size_t k = item;; ++k) {
                    if (k < seq.size() && seq[k].kind != Kind::Comma && !isAnyOf(seq[k], listEnd))
                        continue;
                    const size_t length = k - item;
                    const bool aliased =
                        (length == 2 && isNamePart(seq[item + 1])) ||
                        (length == 3 && is(seq[item + 1], "AS") && isNamePart(seq[item + 2]));
                    if (item < seq.size() && seq[item].kind == Kind::String &&
                        (length == 1 || aliased))
                        collated.push_back(item);
                    if (k >= seq.size() || seq[k].kind != Kind::Comma) break;
                    item = k + 1;
                }
            } else if (seq[i].kind == Kind::String && i + 2 < seq.size() &&
                       isComparison(seq[i + 1]) && seq[i + 2].kind == Kind::String &&
                       (i + 3 == seq.size() || !is(seq[i + 3], "COLLATE"))) {
                collated.push_back(i);
            } else if (is(seq[i], "CASE") && i + 2 < seq.size() &&
                       seq[i + 1].kind == Kind::String && is(seq[i + 2], "WHEN")) {
                collated.push_back(i + 1);
            } else if (is(seq[i], "NULLIF") && isCall(seq, i)) {
                Nodes& args = seq[i + 1].children;
                if (args.size() > 1 && args[0].kind == Kind::String && args[1].kind == Kind::Comma)
                    args.insert(args.begin() + 1,
                                {word(QStringLiteral("COLLATE")),
                                 word(QString::fromLatin1(target_.textCollation))});
            }
        }
        for (auto k = collated.rbegin(); k != collated.rend(); ++k) {
            if (*k + 1 < seq.size() && is(seq[*k + 1], "COLLATE")) continue;
            const Node collation[] = {word(QStringLiteral("COLLATE")),
                                      word(QString::fromLatin1(target_.textCollation))};
            seq.insert(seq.begin() + static_cast<std::ptrdiff_t>(*k + 1), std::begin(collation),
                       std::end(collation));
        }
    }

    struct TopClause {
        size_t begin = 0;  // nodes [begin, end) are "TOP n [PERCENT]"
        size_t end = 0;
        Nodes limit;  // empty for TOP 100 PERCENT, which limits nothing
    };

    // The TOP clause of the query member starting at `select`, if any.
    static std::variant<std::optional<TopClause>, RunError> readTop(Nodes& seq, size_t select,
                                                                    size_t end) {
        size_t k = select + 1;
        if (k < end && (is(seq[k], "ALL") || is(seq[k], "DISTINCT"))) ++k;
        if (k >= end || !is(seq[k], "TOP")) return std::nullopt;
        TopClause top;
        top.begin = k++;
        const qsizetype at = seq[top.begin].pos;
        auto integral = [](const Node& n) {
            if (n.kind != Kind::Number || n.text.startsWith(u"0x", Qt::CaseInsensitive))
                return false;
            for (QChar c : n.text)
                if (!c.isDigit()) return false;
            return true;
        };
        const bool count = k < end && (integral(seq[k]) || seq[k].kind == Kind::Group ||
                                       (seq[k].kind == Kind::Word && seq[k].text.startsWith(u'@')));
        if (!count)
            return syntaxError(
                QStringLiteral("Falta el número de filas después de TOP (posición %1).")
                    .arg(position(at)));
        Node limit = seq[k++];
        if (k < end && is(seq[k], "PERCENT")) {
            if (limit.kind != Kind::Number || limit.text.toInt() != 100)
                return syntaxError(
                    QStringLiteral("TOP ... PERCENT sólo se admite como TOP 100 PERCENT (posición "
                                   "%1).")
                        .arg(position(at)));
            ++k;
        } else {
            limit.lead = QStringLiteral(" ");
            top.limit.push_back(word(QStringLiteral("LIMIT")));
            top.limit.push_back(std::move(limit));
        }
        if (k + 1 < end && is(seq[k], "WITH") && is(seq[k + 1], "TIES"))
            return syntaxError(
                QStringLiteral("TOP ... WITH TIES no se admite (posición %1).").arg(position(at)));
        top.end = k;
        return top;
    }

    // "SELECT TOP n ..." -> "SELECT ... LIMIT n" at the end of the query; in a
    // UNION the limit belongs to its member alone, which SQLite can only say
    // as "SELECT * FROM (member LIMIT n)"; a final ORDER BY stays outside.
    static StepResult rewriteTop(Nodes& seq) {
        const size_t first = indexOfWord(seq, "SELECT");
        if (first == seq.size()) return {};
        struct Member {
            size_t begin, end;
            std::optional<TopClause> top;
        };
        std::vector<Member> members;
        size_t begin = first;
        for (size_t i = first; i < seq.size(); ++i) {
            if (is(seq[i], "UNION") || is(seq[i], "EXCEPT") || is(seq[i], "INTERSECT")) {
                members.push_back({begin, i, std::nullopt});
                if (i + 1 < seq.size() && (is(seq[i + 1], "ALL") || is(seq[i + 1], "DISTINCT")))
                    ++i;
                begin = i + 1;
            }
        }
        const bool compound = !members.empty();
        size_t tail = seq.size();
        if (compound) {
            for (size_t i = begin; i + 1 < seq.size(); ++i)
                if (is(seq[i], "ORDER") && is(seq[i + 1], "BY")) {
                    tail = i;
                    break;
                }
        }
        members.push_back({begin, tail, std::nullopt});
        bool any = false;
        for (Member& m : members) {
            if (m.begin >= m.end || !is(seq[m.begin], "SELECT")) continue;
            auto top = readTop(seq, m.begin, m.end);
            if (RunError* e = std::get_if<RunError>(&top)) return *e;
            m.top = std::move(std::get<std::optional<TopClause>>(top));
            any = any || m.top.has_value();
        }
        if (!any) return {};

        Nodes out;
        out.reserve(seq.size() + 8);
        size_t done = 0;
        for (Member& m : members) {
            append(out, slice(seq, done, m.begin));
            done = m.end;
            if (!m.top) {
                append(out, slice(seq, m.begin, m.end));
                continue;
            }
            Nodes body = slice(seq, m.begin, m.top->begin);
            append(body, slice(seq, m.top->end, m.end));
            append(body, std::move(m.top->limit));
            if (!compound) {
                append(out, std::move(body));
            } else {
                const QString lead = std::exchange(body.front().lead, QString());
                out.push_back(word(QStringLiteral("SELECT"), lead));
                out.push_back(make(Kind::Operator, QStringLiteral("*"), QStringLiteral(" ")));
                out.push_back(word(QStringLiteral("FROM")));
                out.push_back(group(std::move(body), QStringLiteral(" ")));
            }
        }
        append(out, slice(seq, done, seq.size()));
        seq = std::move(out);
        return {};
    }

    static bool isTextCall(const Nodes& seq, size_t i) {
        static const QSet<QString> byName =
            setOf({"LTRIM", "RTRIM", "TRIM", "UPPER", "LOWER", "REPLACE", "CHAR", "NCHAR", "STUFF",
                   "REVERSE", "QUOTENAME"});
        static const QSet<QString> passing = setOf({"IFNULL", "COALESCE", "NULLIF", "MAX", "MIN"});
        const Node& n = seq[i];
        return n.textual || isAnyOf(n, byName) || (isAnyOf(n, passing) && seq[i + 1].holdsText);
    }

    // Whether the operand starting at i is a text: a literal, a text call or
    // a parenthesised text expression.
    static bool startsText(const Nodes& seq, size_t i) {
        if (i >= seq.size()) return false;
        const Node& n = seq[i];
        return ((n.kind == Kind::String || n.kind == Kind::Group) && n.textual) ||
               (isCall(seq, i) && isTextCall(seq, i));
    }

    // One operand: a literal, a (qualified) name, a call, a group or a
    // CASE ... END. Moves i past it.
    static bool readPiece(const Nodes& seq, size_t& i, bool& text) {
        if (i >= seq.size()) return false;
        const Node& n = seq[i];
        text = false;
        switch (n.kind) {
            case Kind::String:
            case Kind::Group:
                text = n.textual;
                ++i;
                return true;
            case Kind::Number:
                ++i;
                return true;
            case Kind::Operator:
                if (n.text != u"*" && n.text != u"?") return false;
                ++i;
                return true;
            case Kind::Name:
            case Kind::Word: {
                if (is(n, "CASE")) {
                    int depth = 0;
                    for (; i < seq.size(); ++i) {
                        if (is(seq[i], "CASE")) ++depth;
                        if (is(seq[i], "END") && --depth == 0) break;
                        if (depth == 1 && (is(seq[i], "THEN") || is(seq[i], "ELSE")) &&
                            startsText(seq, i + 1))
                            text = true;
                    }
                    if (i < seq.size()) ++i;
                    return true;
                }
                if (isAnyOf(n, clauseWords())) return false;
                if (isCall(seq, i)) {
                    text = isTextCall(seq, i);
                    i += 2;
                    return true;
                }
                ++i;
                while (i + 1 < seq.size() && seq[i].kind == Kind::Dot &&
                       (isNamePart(seq[i + 1]) || isOp(seq[i + 1], "*")))
                    i += 2;
                if (isCall(seq, i - 1) && i < seq.size()) ++i;
                return true;
            }
            default:
                return false;
        }
    }

    static bool isNumberCall(const Nodes& seq, size_t i) {
        // Calls that yield a number whatever their arguments (after their
        // renaming above).
        static const QSet<QString> byName =
            setOf({"COUNT", "SUM", "AVG", "ABS", "KL_ROUND", "FLOOR", "CEILING", "KL_LEN", "KL_VAL",
                   "KL_CHARINDEX", "KL_DATEPART", "KL_DATEDIFF", "KL_ISDATE", "KL_ISNUMERIC",
                   "LAST_INSERT_ROWID"});
        return isAnyOf(seq[i], byName);
    }

    struct Term {
        size_t begin, end;
        bool text, number;
    };
    struct Chain {
        size_t begin = 0, end = 0;
        std::vector<Term> terms;
        std::vector<size_t> plus;
        bool mixed = false;    // "-", "&", "|" or "^" among the terms
        bool bitwise = false;  // "&", "|" or "^" among them
        bool anyText() const {
            for (const Term& t : terms)
                if (t.text) return true;
            return false;
        }
        bool anyNumber() const {
            for (const Term& t : terms)
                if (t.number) return true;
            return false;
        }
        // Every + joins texts: one operand is visibly a text, none a number.
        bool text() const { return !mixed && anyText() && !anyNumber(); }
        // How many leading terms kl_plus takes (none, or at least two). A
        // visible text next to a visible number is SQL Server's conversion
        // of the text: the whole chain. Otherwise the leading terms joined
        // by + of which none is visibly a number: SQL Server adds left to
        // right, so once a number or a "-" has entered the sum the rest is
        // arithmetic.
        size_t runTimeRun(const Nodes& seq) const {
            if (bitwise || plus.empty() || text()) return 0;
            if (!mixed && anyText()) return terms.size();
            size_t k = 0;
            while (k < terms.size() && !terms[k].number &&
                   (k == 0 || isOp(seq[terms[k - 1].end], "+")))
                ++k;
            return k >= 2 ? k : 0;
        }
    };

    // Operands joined by binary + and - (and the bit operators SQL Server
    // ranks with them), starting at i.
    static Chain readChain(const Nodes& seq, size_t& i) {
        Chain c;
        c.begin = i;
        for (;;) {
            const size_t termBegin = i;
            while (i < seq.size() && (isOp(seq[i], "+") || isOp(seq[i], "-") || isOp(seq[i], "~")))
                ++i;
            bool text = false;
            if (!readPiece(seq, i, text)) {
                i = termBegin;
                if (!c.plus.empty() && c.plus.back() + 1 == termBegin) c.plus.pop_back();
                break;
            }
            const bool hasSign = seq[termBegin].kind == Kind::Operator && i > termBegin + 1;
            const bool numeric = (seq[termBegin].kind == Kind::Number && i == termBegin + 1) ||
                                 (isCall(seq, termBegin) && isNumberCall(seq, termBegin));
            bool compound = false;
            while (i < seq.size() &&
                   (isOp(seq[i], "*") || isOp(seq[i], "/") || isOp(seq[i], "%"))) {
                size_t next = i + 1;
                while (next < seq.size() && (isOp(seq[next], "+") || isOp(seq[next], "-"))) ++next;
                bool ignored = false;
                if (!readPiece(seq, next, ignored)) break;
                i = next;
                compound = true;
            }
            c.terms.push_back(
                {termBegin, i, text && !compound && !hasSign, compound || hasSign || numeric});
            c.end = i;
            if (i < seq.size() && isOp(seq[i], "+")) {
                c.plus.push_back(i++);
            } else if (i < seq.size() && (isOp(seq[i], "-") || isOp(seq[i], "&") ||
                                          isOp(seq[i], "|") || isOp(seq[i], "^"))) {
                c.mixed = true;
                c.bitwise = c.bitwise || !isOp(seq[i], "-");
                ++i;
            } else {
                break;
            }
        }
        i = std::max(i, c.end);
        return c;
    }

    static bool isComparison(const Node& n) {
        static const char* const operators[] = {"=", "<>", "!=", "<", ">", "<=", ">=", "!<", "!>"};
        if (n.kind != Kind::Operator) return false;
        for (const char* op : operators)
            if (isOp(n, op)) return true;
        return false;
    }

    // Whether the operand ending before `end` is compared: a comparison
    // operator, LIKE, IN, BETWEEN or NOT follows it.
    static bool comparedAfter(const Nodes& seq, size_t end) {
        static const QSet<QString> words = setOf({"LIKE", "IN", "BETWEEN", "NOT"});
        return end < seq.size() && (isComparison(seq[end]) || isAnyOf(seq[end], words));
    }

    // Whether nothing binds the operand [begin, end) tighter than a
    // comparison: no arithmetic, concatenation, member access or COLLATE
    // next to it.
    static bool standsAlone(const Nodes& seq, size_t begin, size_t end) {
        const auto binds = [&](size_t k) {
            return (seq[k].kind == Kind::Operator && !isComparison(seq[k])) ||
                   seq[k].kind == Kind::Dot || is(seq[k], "COLLATE");
        };
        return (begin == 0 || !binds(begin - 1)) && (end >= seq.size() || !binds(end));
    }

    // The length in nodes of the number literal, with its sign, starting at
    // `begin`; 0 when there is none there.
    static size_t numberAt(const Nodes& seq, size_t begin) {
        if (begin >= seq.size()) return 0;
        const bool signed_ = isOp(seq[begin], "-") || isOp(seq[begin], "+");
        const size_t k = signed_ ? begin + 1 : begin;
        if (k >= seq.size() || seq[k].kind != Kind::Number ||
            seq[k].text.startsWith(u"0x", Qt::CaseInsensitive))
            return 0;
        return k - begin + 1;
    }

    // SQL Server compares a text with a number as numbers, converting the
    // text (error 245 when it holds none), and compares texts under the
    // database's case-insensitive collation, which a text that a call
    // yields keeps. The engine would instead rank any number below any text
    // ("RTRIM(PERIODO) = 2024" never true, "RTRIM(x) > 2" always) and
    // compare a call's text in binary order. So a text call compared with a
    // number literal is converted explicitly, and one compared with anything
    // else is given the collation:
    //   "RTRIM(LTRIM(PERIODO)) = 2024" -> "kl_convert('int', RTRIM(LTRIM(PERIODO))) = 2024"
    //   "UPPER(CLAVE) = 'periodo'"     -> "UPPER(CLAVE) COLLATE KL_CI = 'periodo'"
    void compareAsSqlServer(Nodes& seq) {
        // Type names written like calls (CAST(x AS CHAR(10))) are no calls.
        static const QSet<QString> typeNames = setOf({"CHAR", "NCHAR", "VARCHAR", "NVARCHAR"});
        for (size_t k = seq.size(); k-- > 0;) {
            if (!isCall(seq, k) || !isTextCall(seq, k) || isAnyOf(seq[k], typeNames) ||
                (k > 0 && is(seq[k - 1], "AS")) || !standsAlone(seq, k, k + 2))
                continue;
            const bool comparedBefore = k > 0 && isComparison(seq[k - 1]);
            if (!comparedBefore && !comparedAfter(seq, k + 2)) continue;

            // The number literal compared with the call, if it is one:
            // "RTRIM(x) = -3", "3 = RTRIM(x)".
            std::optional<size_t> digits;
            if (k + 2 < seq.size() && isComparison(seq[k + 2])) {
                const size_t length = numberAt(seq, k + 3);
                if (length && standsAlone(seq, k + 3, k + 3 + length)) digits = k + 2 + length;
            }
            if (!digits && comparedBefore && k >= 2 && numberAt(seq, k - 2) == 1 &&
                standsAlone(seq, k - 2, k - 1))
                digits = k - 2;
            if (digits) {
                const QString& text = seq[*digits].text;
                const bool whole =
                    !text.contains(u'.') && !text.contains(u'e', Qt::CaseInsensitive);
                Nodes call = slice(seq, k, k + 2);
                const QString lead = std::exchange(call.front().lead, QString());
                Nodes converted;
                converted.push_back(word(QStringLiteral("kl_convert"), lead));
                converted.push_back(group(joinWithCommas(
                    {{literal(whole ? QStringLiteral("int") : QStringLiteral("float"))},
                     spaced(std::move(call))})));
                seq.erase(seq.begin() + static_cast<std::ptrdiff_t>(k),
                          seq.begin() + static_cast<std::ptrdiff_t>(k + 2));
                seq.insert(seq.begin() + static_cast<std::ptrdiff_t>(k),
                           std::make_move_iterator(converted.begin()),
                           std::make_move_iterator(converted.end()));
                continue;
            }
            const Node collation[] = {word(QStringLiteral("COLLATE")),
                                      word(QString::fromLatin1(target_.textCollation))};
            seq.insert(seq.begin() + static_cast<std::ptrdiff_t>(k + 2), std::begin(collation),
                       std::end(collation));
        }
    }

    // Whether a chain of texts joined by || is compared (and not already
    // given a collation).
    static bool joinedIsCompared(const Nodes& seq, const Chain& c) {
        if (c.end < seq.size() && is(seq[c.end], "COLLATE")) return false;
        return (c.begin > 0 && isComparison(seq[c.begin - 1])) || comparedAfter(seq, c.end);
    }

    // SQL Server's + concatenates when its operands are texts and adds as
    // soon as one is a number, but the types of columns are not known here.
    // The rule: in a chain of operands joined by +, every + becomes || when
    // one operand is visibly a text (a literal, a call yielding text such as
    // RTRIM or CONVERT(VARCHAR, ...), a CASE whose results are literals, or a
    // parenthesised text expression), none is visibly a number and the chain
    // has no -, &, | or ^. Otherwise + stays an addition where an operand is
    // visibly a number, and operands of unknown type go to kl_plus, which
    // decides on the values: "a + b + 1" -> "kl_plus(a, b) COLLATE KL_CI + 1",
    // "'Nro ' + 1" -> "kl_plus('Nro ', 1) COLLATE KL_CI" (SQL Server's error
    // 245).
    TextShape joinTexts(Nodes& seq) {
        std::vector<Chain> chains;
        bool calls = false;
        bool compared = false;
        for (size_t i = 0; i < seq.size();) {
            const size_t start = i;
            Chain c = readChain(seq, i);
            if (c.terms.empty()) {
                i = start + 1;
                continue;
            }
            if (!c.plus.empty() && c.text()) {
                for (size_t p : c.plus) seq[p].text = QStringLiteral("||");
                compared = compared || joinedIsCompared(seq, c);
            }
            calls = calls || c.runTimeRun(seq) > 0;
            chains.push_back(std::move(c));
        }
        TextShape shape;
        for (const Chain& c : chains) shape.part = shape.part || c.text();
        shape.whole = chains.size() == 1 && chains[0].begin == 0 && chains[0].end == seq.size() &&
                      chains[0].text();
        if (!calls && !compared) return shape;

        Nodes out;
        out.reserve(seq.size());
        size_t done = 0;
        for (const Chain& c : chains) {
            if (!c.plus.empty() && c.text()) {
                // A joined text compares as the database's texts do (the
                // collation of its last operand is the whole chain's).
                if (!joinedIsCompared(seq, c)) continue;
                append(out, slice(seq, done, c.end));
                out.push_back(word(QStringLiteral("COLLATE")));
                out.push_back(word(QString::fromLatin1(target_.textCollation)));
                done = c.end;
                continue;
            }
            const size_t run = c.runTimeRun(seq);
            if (run == 0) continue;
            append(out, slice(seq, done, c.terms[0].begin));
            std::vector<Nodes> operands;
            for (size_t k = 0; k < run; ++k)
                operands.push_back(slice(seq, c.terms[k].begin, c.terms[k].end));
            const QString lead = std::exchange(operands.front().front().lead, QString());
            for (size_t k = 1; k < run; ++k) operands[k].front().lead = QStringLiteral(" ");
            out.push_back(word(QStringLiteral("kl_plus"), lead));
            out.push_back(group(joinWithCommas(std::move(operands))));
            // A joined text compares as the database's texts do.
            out.push_back(word(QStringLiteral("COLLATE")));
            out.push_back(word(QString::fromLatin1(target_.textCollation)));
            done = c.terms[run - 1].end;
        }
        append(out, slice(seq, done, seq.size()));
        seq = std::move(out);
        return shape;
    }

    const Target& target_;
};

}  // namespace

StepResult rewriteExpressions(Nodes& seq, const Target& target) {
    return Rewriter(target).rewrite(seq);
}

}  // namespace kl::tsql
