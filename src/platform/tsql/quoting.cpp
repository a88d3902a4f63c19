#include "platform/tsql/quoting.h"

namespace kl::tsql {

QString quoted(const QString& identifier) {
    if (!identifier.contains(u']')) return u'[' + identifier + u']';
    QString out = identifier;
    out.replace(u'"', QStringLiteral("\"\""));
    return u'"' + out + u'"';
}

QString quotedLiteral(const QString& text) {
    QString out = text;
    out.replace(u'\'', QStringLiteral("''"));
    return u'\'' + out + u'\'';
}

}  // namespace kl::tsql
