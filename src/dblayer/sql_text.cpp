#include "dblayer/sql_text.h"

#include "platform/conversions.h"
#include "platform/value.h"

namespace kl::db {

QString sqlQuoted(const QString& value) {
    QString doubled = value;
    doubled.replace(u'\'', QStringLiteral("''"));
    return u'\'' + doubled + u'\'';
}

QString leadingNumberText(const QString& value) {
    return Value(conv::leadingNumber(value)).toString();
}

bool containsText(const QString& text, const QString& part) {
    return text.contains(part, Qt::CaseInsensitive);
}

}  // namespace kl::db
