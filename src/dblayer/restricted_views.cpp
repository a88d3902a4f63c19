#include "dblayer/restricted_views.h"

#include "dblayer/sql_text.h"

#include <QStringList>

#include <array>

namespace kl::db {

namespace {

const QString kAdminMarker = QStringLiteral("@Admin_");

// How a reference to a table is delimited: the character before the name
// and the one after it.
struct Delimiters {
    QChar before;
    QChar after;
};

constexpr std::array<Delimiters, 5> kForms = {
    {{u' ', u' '}, {u'(', u' '}, {u' ', u'.'}, {u'(', u'.'}, {u',', u'.'}}};
// The chart of accounts is also read inside ODBC escapes ("{oj MA_CUENTAS.X ...").
constexpr Delimiters kEscapeForm{u'{', u'.'};

struct Redirection {
    QString table;
    QString view;
    bool escapeForm = false;
    // Programs that read the full table.
    QStringList exempt;
};

// In the order applied.
const std::array<Redirection, 7>& redirections() {
    static const std::array<Redirection, 7> table = {{
        {QStringLiteral("MA_CUENTAS"), QStringLiteral("SS_MA_CUENTAS"), true, {}},
        {QStringLiteral("V_TA_DEPOSITO"),
         QStringLiteral("SS_V_TA_DEPOSITO"),
         false,
         {QStringLiteral("V_CONS_KARDEX"), QStringLiteral("RP_EXISTENCIAS")}},
        {QStringLiteral("MV_ASIENTOS"), QStringLiteral("SS_MV_ASIENTOS"), false, {}},
        {QStringLiteral("V_TA_FAMILIAS"),
         QStringLiteral("SS_V_TA_FAMILIAS"),
         false,
         {QStringLiteral("KVTRANS"), QStringLiteral("QBX")}},
        {QStringLiteral("V_TA_CAJAS"), QStringLiteral("SS_V_TA_CAJAS"), false, {}},
        {QStringLiteral("AC_CUENTASDIARIO"), QStringLiteral("SS_AC_CUENTASDIARIO"), false, {}},
        {QStringLiteral("AC_CUENTASDIARIO_CCOSTO"),
         QStringLiteral("SS_AC_CUENTAS_DIARIO_CCOSTO"),
         false,
         {}},
    }};
    return table;
}

QString delimited(const Delimiters& form, const QString& name) {
    return form.before + name + form.after;
}

// Replaces every occurrence, in any case. Two references may share the
// blank between them (" MA_CUENTAS MA_CUENTAS "): the search goes on at the
// last character of each replacement so that the second one is found too.
void replaceReferences(QString& text, const QString& from, const QString& to) {
    qsizetype at = 0;
    while ((at = text.indexOf(from, at, Qt::CaseInsensitive)) >= 0) {
        text.replace(at, from.size(), to);
        at += to.size() - 1;
    }
}

void redirect(QString& text, const Redirection& r) {
    for (const Delimiters& form : kForms)
        replaceReferences(text, delimited(form, r.table), delimited(form, r.view));
    if (r.escapeForm)
        replaceReferences(text, delimited(kEscapeForm, r.table), delimited(kEscapeForm, r.view));
}

bool exempted(const Redirection& r, const QString& executable) {
    return r.exempt.contains(executable, Qt::CaseInsensitive);
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
    QString text = statement;
    for (const Redirection& r : redirections()) {
        if (exempted(r, reader.executable)) continue;
        redirect(text, r);
    }
    // A marked name ("@Admin_MA_CUENTAS") matches no form: without its
    // marker it names the full table.
    return withoutAdminMarker(text);
}

}  // namespace kl::db
