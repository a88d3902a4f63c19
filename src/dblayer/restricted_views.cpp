#include "dblayer/restricted_views.h"

#include "dblayer/sql_text.h"

#include <QStringList>

#include <array>

namespace kl::db {

namespace {

const QString kAdminMarker = QStringLiteral("@Admin_");

struct Redirection {
    QString table;
    QString view;
    // Programs that read the full table.
    QStringList exempt;
};

const std::array<Redirection, 7>& redirections() {
    static const std::array<Redirection, 7> table = {{
        {QStringLiteral("MA_CUENTAS"), QStringLiteral("SS_MA_CUENTAS"), {}},
        {QStringLiteral("V_TA_DEPOSITO"),
         QStringLiteral("SS_V_TA_DEPOSITO"),
         {QStringLiteral("V_CONS_KARDEX"), QStringLiteral("RP_EXISTENCIAS")}},
        {QStringLiteral("MV_ASIENTOS"), QStringLiteral("SS_MV_ASIENTOS"), {}},
        {QStringLiteral("V_TA_FAMILIAS"),
         QStringLiteral("SS_V_TA_FAMILIAS"),
         {QStringLiteral("KVTRANS"), QStringLiteral("QBX")}},
        {QStringLiteral("V_TA_CAJAS"), QStringLiteral("SS_V_TA_CAJAS"), {}},
        {QStringLiteral("AC_CUENTASDIARIO"), QStringLiteral("SS_AC_CUENTASDIARIO"), {}},
        {QStringLiteral("AC_CUENTASDIARIO_CCOSTO"),
         QStringLiteral("SS_AC_CUENTAS_DIARIO_CCOSTO"),
         {}},
    }};
    return table;
}

// The view a name stands for, or null when the reader gets the table itself.
const QString* viewFor(QStringView name, const QString& executable) {
    for (const Redirection& r : redirections()) {
        if (name.compare(r.table, Qt::CaseInsensitive) != 0) continue;
        return r.exempt.contains(executable, Qt::CaseInsensitive) ? nullptr : &r.view;
    }
    return nullptr;
}

// The characters of a plain name in SQL Server ("@" and "#" start variables
// and temporary tables, which are never the confidential tables).
bool inName(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'@' || c == u'#' || c == u'$';
}

// Where a literal or a delimited name that began before `at` ends: at its
// closing character (doubled, it stands for itself). Unterminated: at the
// end of the text, which the server refuses as a whole.
qsizetype endOfDelimited(const QString& text, qsizetype at, QChar close) {
    for (qsizetype i = at; i < text.size(); ++i) {
        if (text[i] != close) continue;
        if (i + 1 < text.size() && text[i + 1] == close) {
            ++i;
            continue;
        }
        return i + 1;
    }
    return text.size();
}

// Block comments nest, as the server reads them.
qsizetype endOfBlockComment(const QString& text, qsizetype at) {
    int depth = 1;
    for (qsizetype i = at; i + 1 < text.size(); ++i) {
        if (text[i] == u'/' && text[i + 1] == u'*') {
            ++depth;
            ++i;
        } else if (text[i] == u'*' && text[i + 1] == u'/') {
            ++i;
            if (--depth == 0) return i + 1;
        }
    }
    return text.size();
}

// One piece of a statement as the server lexes it: a literal, a comment, a
// name (plain, or between brackets or double quotes: `name` is the bare
// name) or a single other character.
struct Piece {
    qsizetype end = 0;
    qsizetype name = -1;
    qsizetype nameEnd = -1;
};

Piece pieceAt(const QString& s, qsizetype i) {
    const QChar c = s[i];
    const QChar next = i + 1 < s.size() ? s[i + 1] : QChar();
    if (c == u'\'') return {endOfDelimited(s, i + 1, c)};
    if (c == u'-' && next == u'-') {
        const qsizetype lineEnd = s.indexOf(u'\n', i);
        return {lineEnd < 0 ? s.size() : lineEnd};
    }
    if (c == u'/' && next == u'*') return {endOfBlockComment(s, i + 2)};
    if (c == u'[' || c == u'"') {
        const QChar close = c == u'[' ? u']' : u'"';
        const qsizetype end = endOfDelimited(s, i + 1, close);
        qsizetype nameEnd = end > i + 1 && s[end - 1] == close ? end - 1 : end;
        // The server ignores blanks after a delimited name.
        while (nameEnd > i + 1 && s[nameEnd - 1] == u' ') --nameEnd;
        return {end, i + 1, nameEnd};
    }
    if (!inName(c)) return {i + 1};
    qsizetype end = i + 1;
    while (end < s.size() && inName(s[end])) ++end;
    return {end, i, end};
}

}  // namespace

QString withoutAdminMarker(const QString& statement) {
    QString text = statement;
    // Removing one marker may join the pieces of another ("@Adm@Admin_in_").
    while (containsText(text, kAdminMarker)) text.remove(kAdminMarker, Qt::CaseInsensitive);
    return text;
}

QString withRestrictedViews(const QString& statement, const StatementReader& reader) {
    if (reader.administrator) return withoutAdminMarker(statement);
    if (containsText(statement, QStringLiteral("MV_ASIENTOS")) && !reader.confidencialidad)
        return withoutAdminMarker(statement);
    // The statement is read as the server lexes it, and every name outside
    // literals and comments that is one of the tables becomes its view,
    // wherever it stands: "FROM MA_CUENTAS", "[MA_CUENTAS]", "dbo.MA_CUENTAS",
    // "(SELECT ... FROM MA_CUENTAS)", "T,MA_CUENTAS", "{oj MA_CUENTAS ...}".
    // A marked name ("@Admin_MA_CUENTAS") is another name: without its
    // marker it names the full table.
    QString text;
    text.reserve(statement.size() + 16);
    const QStringView s(statement);
    for (qsizetype i = 0; i < s.size();) {
        const Piece p = pieceAt(statement, i);
        const QString* view =
            p.name < 0 ? nullptr : viewFor(s.sliced(p.name, p.nameEnd - p.name), reader.executable);
        if (view) {
            text += s.sliced(i, p.name - i);
            text += *view;
            text += s.sliced(p.nameEnd, p.end - p.nameEnd);
        } else {
            text += s.sliced(i, p.end - i);
        }
        i = p.end;
    }
    return withoutAdminMarker(text);
}

}  // namespace kl::db
