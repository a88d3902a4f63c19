#include "platform/ado/connection_string.h"

#include <QStringList>

namespace kl::ado {

namespace {

QString normalizedKey(const QString& key) {
    return key.simplified().toLower();
}

ConnectionSettings::Kind kindOf(const QString& provider) {
    const QString p = provider.trimmed().toLower();
    if (p.startsWith(u"sqloledb") || p.startsWith(u"sqlncli") || p.startsWith(u"msoledbsql"))
        return ConnectionSettings::Kind::SqlServer;
    if (p.startsWith(u"oraoledb") || p.startsWith(u"msdaora"))
        return ConnectionSettings::Kind::Oracle;
    if (p.startsWith(u"microsoft.jet.oledb") || p.startsWith(u"microsoft.ace.oledb"))
        return ConnectionSettings::Kind::Jet;
    return ConnectionSettings::Kind::Unknown;
}

// The first of the keys present.
QString firstOf(const ConnectionSettings& s, std::initializer_list<const char*> keys) {
    for (const char* key : keys) {
        for (const auto& [k, v] : s.pairs) {
            if (normalizedKey(k) == QLatin1String(key)) return v;
        }
    }
    return QString();
}

}  // namespace

QString ConnectionSettings::value(const QString& key) const {
    const QString wanted = normalizedKey(key);
    for (const auto& [k, v] : pairs) {
        if (normalizedKey(k) == wanted) return v;
    }
    return QString();
}

QStringList ConnectionSettings::secrets() const {
    QStringList out;
    for (const auto& [k, v] : pairs) {
        const QString key = normalizedKey(k);
        if (!v.isEmpty() && (key == u"pwd" || key.endsWith(u"password"))) out << v;
    }
    if (!password.isEmpty() && !out.contains(password)) out << password;
    return out;
}

QString connectionStringValue(const QString& value) {
    const bool plain = !value.contains(u';') && value.trimmed().size() == value.size() &&
                       !value.startsWith(u'"') && !value.startsWith(u'\'');
    if (plain) return value;
    QString doubled = value;
    doubled.replace(u'"', QStringLiteral("\"\""));
    return u'"' + doubled + u'"';
}

std::optional<ConnectionSettings> parseConnectionString(const QString& text) {
    ConnectionSettings s;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        const qsizetype equals = text.indexOf(u'=', i);
        const qsizetype semicolon = text.indexOf(u';', i);
        if (equals < 0 || (semicolon >= 0 && semicolon < equals)) {
            // Only blanks may stand between pairs.
            const QString rest = text.mid(i, semicolon < 0 ? n - i : semicolon - i);
            if (!rest.trimmed().isEmpty()) return std::nullopt;
            if (semicolon < 0) break;
            i = semicolon + 1;
            continue;
        }
        const QString key = text.mid(i, equals - i).trimmed();
        qsizetype j = equals + 1;
        while (j < n && text[j] == u' ') ++j;
        QString value;
        if (j < n && (text[j] == u'"' || text[j] == u'\'')) {
            const QChar quote = text[j++];
            while (j < n) {
                if (text[j] == quote) {
                    if (j + 1 < n && text[j + 1] == quote) {
                        value.append(quote);
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                value.append(text[j++]);
            }
            while (j < n && text[j] != u';') ++j;
        } else {
            const qsizetype end = text.indexOf(u';', j);
            value = text.mid(j, (end < 0 ? n : end) - j).trimmed();
            j = end < 0 ? n : end;
        }
        s.pairs.emplace_back(key, value);
        i = j + 1;
    }

    s.provider = s.value(QStringLiteral("provider"));
    s.kind = kindOf(s.provider);
    s.user = firstOf(s, {"uid", "user id", "user", "usuario"});
    s.password = firstOf(s, {"pwd", "password"});
    switch (s.kind) {
        case ConnectionSettings::Kind::SqlServer:
            s.server = firstOf(s, {"server", "data source", "address", "addr"});
            s.database = firstOf(s, {"database", "initial catalog"});
            if (s.server.trimmed().compare(u"sqlite", Qt::CaseInsensitive) == 0)
                s.embeddedFile = s.database.trimmed();
            break;
        case ConnectionSettings::Kind::Oracle:
            s.database = firstOf(s, {"data source"});
            break;
        case ConnectionSettings::Kind::Jet:
            s.database = firstOf(s, {"data source"});
            s.embeddedFile = s.database.trimmed();
            break;
        case ConnectionSettings::Kind::Unknown:
            s.server = firstOf(s, {"server", "data source"});
            s.database = firstOf(s, {"database", "initial catalog"});
            break;
    }
    return s;
}

}  // namespace kl::ado
