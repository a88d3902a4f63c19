#include "dblayer/oracle_dialect.h"

#include "dblayer/sql_text.h"
#include "platform/conversions.h"
#include "platform/error_numbers.h"

#include <QSet>

#include <array>

namespace kl::db::oracle {

namespace {

constexpr Qt::CaseSensitivity kAnyCase = Qt::CaseInsensitive;

RunError cannotCut(const QString& why) {
    return {ado::err::InvalidArgument,
            QStringLiteral("No se puede traducir la sentencia para Oracle: ") + why,
            QStringLiteral("DB_Dll.ORACLE_Dicc")};
}

// Blanks only, as the statements are cut at blanks.
QString trimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == u' ') ++first;
    while (last > first && text[last - 1] == u' ') --last;
    return text.mid(first, last - first);
}

void replaceAll(QString& text, const QString& from, const QString& to) {
    if (!from.isEmpty()) text.replace(from, to, kAnyCase);
}

bool hasSeveralWords(const QString& text) {
    return text.simplified().contains(u' ');
}

// TOP n becomes a ROWNUM condition placed before the grouping or ordering.
StepResult limitRows(const QString& valor, QString& s) {
    if (!valor.contains(QStringLiteral("top "), kAnyCase)) return std::nullopt;
    const qsizetype top = valor.indexOf(QStringLiteral("top"), 0, kAnyCase);
    const QString before = valor.left(top);
    const QString rest = trimBlanks(valor.mid(top + 3));
    const qsizetype blank = rest.indexOf(u' ');
    if (blank < 0)
        return cannotCut(QStringLiteral("a TOP le falta la cantidad de filas o lo que la sigue."));
    const QString count = rest.left(blank);
    QString body = rest.mid(blank + 1);

    const qsizetype group = valor.indexOf(QStringLiteral(" GROUP BY "), 0, kAnyCase);
    const qsizetype order = valor.indexOf(QStringLiteral("ORDER BY "), 0, kAnyCase);
    const QString groupPart = group >= 0 ? valor.mid(group) : QString();
    const QString orderPart = group < 0 && order >= 0 ? valor.mid(order) : QString();
    const QString limit = valor.contains(QStringLiteral(" WHERE "), kAnyCase)
                              ? QStringLiteral(" AND ROWNUM <= ") + count
                              : QStringLiteral(" WHERE ROWNUM <= ") + count;
    replaceAll(body, trimBlanks(groupPart), QStringLiteral(" "));
    replaceAll(body, trimBlanks(orderPart), QStringLiteral(" "));
    s = before + u' ' + body + u' ' + limit + u' ' + groupPart + u' ' + orderPart;
    return std::nullopt;
}

void lengthFunction(QString& s) {
    for (const char* len : {" LEN(", " LEN (", " LEN  (", " LEN   (", " LEN    ("})
        replaceAll(s, QString::fromLatin1(len), QStringLiteral(" LENGTH("));
}

void quotedNames(QString& s) {
    s.replace(u'[', u'"');
    s.replace(u']', u'"');
}

constexpr std::array kOracleDateFormats{"DD/MM/YYYY", "DD/MM/YYYY HH24:MI:SS"};

// A day as TO_DATE of dd/mm/yyyy; a time of day, when there is one, goes
// with it, so that "F <= '31/12/2024 23:59:59'" keeps the last day's rows.
QString oracleDate(const QDateTime& value) {
    const bool day = value.time() == QTime(0, 0);
    return QStringLiteral("TO_DATE('%1','%2')")
        .arg(day ? conv::formatDate(value.date())
                 : value.toString(QStringLiteral("dd/MM/yyyy hh:mm:ss")),
             QLatin1String(kOracleDateFormats[day ? 0 : 1]));
}

// Every literal that reads as a date becomes TO_DATE of the day written
// dd/mm/yyyy, with its time of day if it has one.
StepResult dateLiterals(QString& s) {
    QString t = s;
    // A literal met again is already converted everywhere.
    QSet<QString> converted;
    qsizetype from = 0;
    qsizetype open;
    while ((open = s.indexOf(u'\'', from)) >= 0) {
        const qsizetype close = s.indexOf(u'\'', open + 1);
        if (close < 0)
            return cannotCut(QStringLiteral("el texto que empieza en la posición %1 no tiene "
                                            "comilla de cierre.")
                                 .arg(open + 1));
        const QString literal = s.mid(open + 1, close - open - 1);
        if (!converted.contains(literal)) {
            if (const std::optional<QDateTime> date = conv::parseDateTime(literal)) {
                replaceAll(t, u'\'' + literal + u'\'', oracleDate(*date));
                converted.insert(literal);
            }
        }
        from = close + 1;
    }
    // One literal written as another one's day ('1/2/2024' and '01/02/2024')
    // is wrapped twice.
    const QString nested = QStringLiteral("TO_DATE(TO_DATE(");
    while (t.contains(nested, kAnyCase)) {
        replaceAll(t, nested, QStringLiteral("TO_DATE("));
        for (const char* format : kOracleDateFormats)
            replaceAll(t, QStringLiteral("'%1'),'%1')").arg(QLatin1String(format)),
                       QStringLiteral("'%1')").arg(QLatin1String(format)));
    }
    s = t;
    return std::nullopt;
}

void conversions(QString& s) {
    replaceAll(s, QStringLiteral("Charindex"), QStringLiteral("InStr"));
    replaceAll(s, QStringLiteral("CONVERT(NVARCHAR,"), QStringLiteral("TO_CHAR("));
    replaceAll(s, QStringLiteral("CONVERT(INT,"), QStringLiteral("TO_NUMBER("));
}

// Oracle stores an empty text as NULL: comparisons with '' become IS NULL
// in the conditions.
void emptyTexts(QString& s) {
    const qsizetype where = s.indexOf(QStringLiteral("WHERE "), 0, kAnyCase);
    if (where < 0) return;
    QString conditions = s.mid(where);
    replaceAll(conditions, QStringLiteral("= ''"), QStringLiteral(" IS NULL "));
    replaceAll(conditions, QStringLiteral("=''"), QStringLiteral(" IS NULL "));
    s = s.left(where) + conditions;
}

// The parenthesis of the innermost call still open at `at`; -1 outside any.
qsizetype enclosingParenthesis(const QString& s, qsizetype at) {
    int closed = 0;
    for (qsizetype i = at - 1; i >= 0; --i) {
        if (s[i] == u')') {
            ++closed;
        } else if (s[i] == u'(') {
            if (closed == 0) return i;
            --closed;
        }
    }
    return -1;
}

// Style 103 (dd/mm/yyyy) of a converted date is Oracle's format text. Only
// an argument of TO_CHAR itself is a style: a 103 after the call has closed
// ("TO_CHAR(F, 103) ... WHERE ASIENTO = 103") is a number.
void dateStyle(QString& s) {
    const QString style = QStringLiteral("103");
    const QString toChar = QStringLiteral("TO_CHAR(");
    qsizetype at = 0;
    while ((at = s.indexOf(style, at)) >= 0) {
        const qsizetype start = enclosingParenthesis(s, at) - toChar.size() + 1;
        if (start >= 0 && QStringView(s).mid(start, toChar.size()).compare(toChar, kAnyCase) == 0)
            s.replace(at, style.size(), QStringLiteral("'DD/MM/YYYY'"));
        at += style.size();
    }
}

void functions(QString& s) {
    replaceAll(s, QStringLiteral("SUBSTRING("), QStringLiteral("SUBSTR("));
    replaceAll(s, QStringLiteral("ISNULL("), QStringLiteral("NVL("));
}

// In the order the boundaries are looked for; the blanks belong to them.
const std::array<QString, 12>& statementKeywords() {
    static const std::array<QString, 12> keywords = {
        QStringLiteral("INSERT "),         QStringLiteral("DELETE "),  QStringLiteral("UPDATE "),
        QStringLiteral("CREATE "),         QStringLiteral("DROP "),    QStringLiteral("ALTER "),
        QStringLiteral("SET TRANSACTION"), QStringLiteral("COMMIT"),   QStringLiteral("ROLLBACK"),
        QStringLiteral("IF NOT EXIST"),    QStringLiteral("IF EXIST"), QStringLiteral("GRANT ")};
    return keywords;
}

// The first keyword at or after `from`; -1 when none follows.
qsizetype nextKeyword(const QString& script, qsizetype from) {
    qsizetype first = -1;
    for (const QString& keyword : statementKeywords()) {
        const qsizetype at = script.indexOf(keyword, from, kAnyCase);
        if (at >= 0 && (first < 0 || at < first)) first = at;
    }
    return first;
}

}  // namespace

bool isOracle(const QString& connection) {
    return connection.contains(QStringLiteral("ORACLE"), Qt::CaseInsensitive);
}

StepResult translate(const QString& valor, QString& translated) {
    if (!hasSeveralWords(valor)) {
        translated = valor.toUpper() == u"LEN" ? QStringLiteral("LENGTH") : valor;
        return std::nullopt;
    }
    QString s = valor;
    if (StepResult failure = limitRows(valor, s)) return failure;
    lengthFunction(s);
    quotedNames(s);
    if (StepResult failure = dateLiterals(s)) return failure;
    conversions(s);
    emptyTexts(s);
    dateStyle(s);
    functions(s);
    translated = s;
    return std::nullopt;
}

bool isDiscarded(const QString& statement) {
    return containsText(statement, QStringLiteral("SET NOCOUNT")) ||
           containsText(statement, QStringLiteral("IF NOT EXIST"));
}

void prepareScript(QString& script) {
    const QString crlf = QStringLiteral("\r\n");
    replaceAll(script, QStringLiteral("SET NOCOUNT ON"), QString());
    replaceAll(script, QStringLiteral("SET NOCOUNT OFF"), QString());
    replaceAll(script, QStringLiteral(" GO "), QStringLiteral(" "));
    replaceAll(script, crlf + QStringLiteral("GO "), QStringLiteral(" "));
    replaceAll(script, crlf + QStringLiteral("GO") + crlf, QStringLiteral(" "));
    replaceAll(script, crlf, QStringLiteral(" "));
    replaceAll(script, QStringLiteral("\r"), QStringLiteral(" "));
    replaceAll(script, QStringLiteral("BEGIN TRANSACTION"), QStringLiteral("SET TRANSACTION"));
    replaceAll(script, QStringLiteral("BEGIN TRANS"), QStringLiteral("SET TRANSACTION"));
    replaceAll(script, QStringLiteral("COMMIT TRANSACTION"), QStringLiteral("COMMIT"));
    replaceAll(script, QStringLiteral("COMMIT TRANS"), QStringLiteral("COMMIT"));
    replaceAll(script, QStringLiteral("ROLLBACK TRANSACTION"), QStringLiteral("ROLLBACK"));
    replaceAll(script, QStringLiteral("ROLLBACK TRANS"), QStringLiteral("ROLLBACK"));
}

std::optional<ScriptStatement> firstStatement(const QString& script) {
    const qsizetype start = nextKeyword(script, 0);
    if (start < 0) return std::nullopt;
    const qsizetype next = nextKeyword(script, start + 1);
    const qsizetype end = next < 0 ? script.size() : next;
    // A line break of a script written with LF alone is no part of the statement.
    return ScriptStatement{script.mid(start, end - start).trimmed(), end};
}

}  // namespace kl::db::oracle
