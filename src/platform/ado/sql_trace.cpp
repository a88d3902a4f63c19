#include "platform/ado/sql_trace.h"

#include "platform/trace_file.h"

namespace kl::ado {

namespace {

// Replaces every quoted literal whose content is one of the secrets.
QString withoutSecrets(const QString& sql, const QStringList& secrets) {
    if (secrets.isEmpty()) return sql;
    QString out;
    out.reserve(sql.size());
    qsizetype i = 0;
    while (i < sql.size()) {
        if (sql[i] != u'\'') {
            out.append(sql[i++]);
            continue;
        }
        // Read the literal, '' standing for one quote.
        qsizetype j = i + 1;
        QString content;
        while (j < sql.size()) {
            if (sql[j] == u'\'') {
                if (j + 1 < sql.size() && sql[j + 1] == u'\'') {
                    content.append(u'\'');
                    j += 2;
                    continue;
                }
                break;
            }
            content.append(sql[j++]);
        }
        const qsizetype end = std::min(j + 1, sql.size());
        if (secrets.contains(content))
            out.append(QStringLiteral("'********'"));
        else
            out.append(QStringView(sql).mid(i, end - i));
        i = end;
    }
    return out;
}

}  // namespace

QString traceLine(const QString& sql, const QStringList& secrets) {
    QString line = withoutSecrets(sql, secrets);
    line.replace(QStringLiteral("\r\n"), QStringLiteral("\\n"));
    line.replace(u'\r', QStringLiteral("\\n"));
    line.replace(u'\n', QStringLiteral("\\n"));
    return line;
}

void traceStatement(const QString& sql, const QStringList& secrets) {
    if (qEnvironmentVariableIsEmpty("KL_TRAZA_SQL")) return;
    kl::trace::appendLine("KL_TRAZA_SQL", traceLine(sql, secrets));
}

}  // namespace kl::ado
