#include "platform/ado/odbc/postgres_functions.h"

#include "postgres_functions_sql.h"

#include <QStringTokenizer>

namespace kl::ado::odbc {

// A statement ends with the line that ends in ";" outside a function body
// ($$ ... $$); comment lines between statements are left out.
QStringList postgresFunctionStatements() {
    QStringList statements;
    QString current;
    bool inBody = false;
    const QString script = QString::fromUtf8(kPostgresFunctionsSql);
    for (const QStringView line : QStringTokenizer(script, u'\n')) {
        if (!inBody && current.isEmpty() && (line.trimmed().isEmpty() || line.startsWith(u"--")))
            continue;
        current += line;
        current += u'\n';
        if (line.count(u"$$") % 2 == 1) inBody = !inBody;
        if (!inBody && line.trimmed().endsWith(u';')) {
            statements << current.trimmed();
            current.clear();
        }
    }
    if (!current.trimmed().isEmpty()) statements << current.trimmed();
    return statements;
}

}  // namespace kl::ado::odbc
