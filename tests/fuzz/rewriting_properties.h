#pragma once

// What the statement rewriting promises for any text whatever, checked by
// the fuzz targets and by the tests' runs of their seeds. Each check gives
// an empty text when the promise holds and says what broke otherwise.

#include "dblayer/oracle_dialect.h"
#include "dblayer/restricted_views.h"
#include "dblayer/sql_text.h"
#include "platform/error_numbers.h"

#include <QHash>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

namespace kl::db::properties {

// The readers each statement is rewritten for.
inline std::vector<StatementReader> readers() {
    return {{false, true, QStringLiteral("klconfig")},
            {false, false, QStringLiteral("klconfig")},
            {true, true, QStringLiteral("klconfig")},
            {false, true, QStringLiteral("v_cons_kardex")},
            {false, true, QStringLiteral("QBX")}};
}

// The tables a non-administrator must never be left with, written out here
// on their own so that the check does not lean on the code it checks.
inline QStringList forbiddenTables(const StatementReader& reader) {
    QStringList names = {"MA_CUENTAS", "MV_ASIENTOS", "V_TA_CAJAS", "AC_CUENTASDIARIO",
                         "AC_CUENTASDIARIO_CCOSTO"};
    if (reader.executable.compare("V_CONS_KARDEX", Qt::CaseInsensitive) != 0 &&
        reader.executable.compare("RP_EXISTENCIAS", Qt::CaseInsensitive) != 0)
        names << "V_TA_DEPOSITO";
    if (reader.executable.compare("KVTRANS", Qt::CaseInsensitive) != 0 &&
        reader.executable.compare("QBX", Qt::CaseInsensitive) != 0)
        names << "V_TA_FAMILIAS";
    return names;
}

// The statement as the server resolves names in it: literals and comments
// (block comments nest) blanked out, a delimited name ("[X]", "\"X\"")
// standing bare between blanks when it is one plain name.
inline QString namesOnly(const QString& statement) {
    static const QRegularExpression pieces(
        R"re('(?:[^']|'')*'?|--[^\n]*|(?<c>/\*(?:(?&c)|[^*/]|\*(?!/)|/(?!\*))*(?:\*/|\z))|)re"
        R"re(\[((?:[^\]]|\]\])*)\]?|"((?:[^"]|"")*)"?)re");
    static const QRegularExpression plainName(R"(^[\p{L}\p{N}_@#$]+ *$)");
    QString names;
    qsizetype at = 0;
    for (const QRegularExpressionMatch& m : pieces.globalMatch(statement)) {
        names += statement.sliced(at, m.capturedStart() - at);
        const QString delimited = m.captured(2) + m.captured(3);
        names += u' ';
        if (plainName.match(delimited).hasMatch()) names += delimited + u' ';
        at = m.capturedEnd();
    }
    return names + statement.sliced(at);
}

// The name standing alone, in any case.
inline const QRegularExpression& wholeName(const QString& name) {
    static QHash<QString, QRegularExpression> compiled;
    auto found = compiled.find(name);
    if (found == compiled.end()) {
        found = compiled.insert(
            name, QRegularExpression(R"((?<![\p{L}\p{N}_@#$]))" + name + R"((?![\p{L}\p{N}_@#$]))",
                                     QRegularExpression::CaseInsensitiveOption));
    }
    return *found;
}

inline QString restrictedViewsViolation(const QString& statement, const StatementReader& reader) {
    const QString rewritten = withRestrictedViews(statement, reader);
    if (rewritten.contains("@Admin_", Qt::CaseInsensitive))
        return "a marker reaches the database: " + rewritten;
    // A marker asks for the full table, wherever it stands.
    const bool marked = statement.contains("@Admin_", Qt::CaseInsensitive);
    const bool entriesOpen =
        statement.contains("MV_ASIENTOS", Qt::CaseInsensitive) && !reader.confidencialidad;
    if (reader.administrator || marked || entriesOpen) return QString();
    const QString names = namesOnly(rewritten);
    for (const QString& table : forbiddenTables(reader)) {
        if (wholeName(table).match(names).hasMatch())
            return table + " reaches the full table: " + rewritten;
    }
    if (withRestrictedViews(rewritten, reader) != rewritten)
        return "rewriting twice changes the statement again: " + rewritten;
    return QString();
}

inline QString translationViolation(const QString& valor) {
    QString translated;
    if (const StepResult failure = oracle::translate(valor, translated)) {
        if (failure->number != ado::err::InvalidArgument || failure->description.isEmpty())
            return "an unexpected failure: " + failure->description;
        if (!valor.contains("top ", Qt::CaseInsensitive) && !valor.contains(u'\''))
            return "a failure without a TOP or a quote to blame";
        return QString();
    }
    if (!valor.simplified().contains(u' ')) {
        if (translated != valor && translated != "LENGTH") return "a single word changed";
        return QString();
    }
    if (translated.contains(u'[') || translated.contains(u']')) return "brackets left";
    if (translated.contains("TO_DATE(TO_DATE(", Qt::CaseInsensitive) &&
        !valor.contains("TO_DATE(", Qt::CaseInsensitive))
        return "a date wrapped twice: " + translated;
    return QString();
}

inline bool startsWithKeyword(QStringView text) {
    static const std::array<QString, 12> keywords = {
        "INSERT ",         "DELETE ", "UPDATE ",  "CREATE ",      "DROP ",    "ALTER ",
        "SET TRANSACTION", "COMMIT",  "ROLLBACK", "IF NOT EXIST", "IF EXIST", "GRANT "};
    for (const QString& keyword : keywords) {
        if (text.startsWith(keyword, Qt::CaseInsensitive)) return true;
    }
    return false;
}

// Every statement starts at a keyword and runs to just before the next one;
// the script shrinks with each statement; no keyword is left when it ends.
inline QString scriptSplitViolation(const QString& script) {
    QString rest = script;
    oracle::prepareScript(rest);
    if (rest.contains(u'\r')) return "a carriage return left";
    const qsizetype limit = rest.size() + 1;
    for (qsizetype taken = 0; const auto statement = oracle::firstStatement(rest); ++taken) {
        if (taken > limit) return "the script does not shrink";
        if (statement->end <= 0 || statement->end > rest.size()) return "a boundary outside";
        const QStringView piece = QStringView(rest).left(statement->end);
        qsizetype start = -1;
        for (qsizetype i = 0; i < piece.size(); ++i) {
            if (!startsWithKeyword(QStringView(rest).mid(i))) continue;
            if (start >= 0) return "two keywords in one statement: " + piece.toString();
            start = i;
        }
        if (start < 0) return "a statement without its keyword: " + piece.toString();
        if (statement->text != piece.mid(start).trimmed())
            return "the statement is not its piece: " + statement->text;
        rest.remove(0, statement->end);
    }
    for (qsizetype i = 0; i < rest.size(); ++i) {
        if (startsWithKeyword(QStringView(rest).mid(i))) return "a keyword left: " + rest;
    }
    return QString();
}

}  // namespace kl::db::properties
