#include "platform/ado/connection_string.h"

#include <QStringList>
#include <QStringView>

#include <utility>

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
    // The next "=" and ";" from i (n when there is none), searched again
    // only once passed: a text of many ";" and no "=" is read in one pass,
    // not once per ";".
    qsizetype equals = -1;
    qsizetype semicolon = -1;
    const auto nextFrom = [&](char16_t c, qsizetype at) {
        const qsizetype found = text.indexOf(QChar(c), at);
        return found < 0 ? n : found;
    };
    while (i < n) {
        if (equals < i) equals = nextFrom(u'=', i);
        if (semicolon < i) semicolon = nextFrom(u';', i);
        if (equals == n || semicolon < equals) {
            // Only blanks may stand between pairs.
            if (!QStringView(text).mid(i, semicolon - i).trimmed().isEmpty()) return std::nullopt;
            i = semicolon + 1;
            continue;
        }
        const QString key = QStringView(text).mid(i, equals - i).trimmed().toString();
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
            // Only blanks lie between the "=" and j: the pair ends at the next ";".
            value = QStringView(text).mid(j, semicolon - j).trimmed().toString();
            j = semicolon;
        }
        s.pairs.emplace_back(key, std::move(value));
        i = j + 1;
    }

    QStringList normalized;
    normalized.reserve(qsizetype(s.pairs.size()));
    for (const auto& pair : s.pairs) normalized << normalizedKey(pair.first);
    // The value of the first of the keys present.
    const auto firstOf = [&](std::initializer_list<const char*> keys) {
        for (const char* key : keys) {
            const qsizetype at = normalized.indexOf(QLatin1String(key));
            if (at >= 0) return s.pairs[std::size_t(at)].second;
        }
        return QString();
    };
    s.provider = firstOf({"provider"});
    s.kind = kindOf(s.provider);
    s.user = firstOf({"uid", "user id", "user", "usuario"});
    s.password = firstOf({"pwd", "password"});
    switch (s.kind) {
        case ConnectionSettings::Kind::SqlServer:
            s.server = firstOf({"server", "data source", "address", "addr"});
            s.database = firstOf({"database", "initial catalog"});
            if (s.server.trimmed().compare(u"sqlite", Qt::CaseInsensitive) == 0)
                s.embeddedFile = s.database.trimmed();
            break;
        case ConnectionSettings::Kind::Oracle:
            s.database = firstOf({"data source"});
            break;
        case ConnectionSettings::Kind::Jet:
            s.database = firstOf({"data source"});
            s.embeddedFile = s.database.trimmed();
            break;
        case ConnectionSettings::Kind::Unknown:
            s.server = firstOf({"server", "data source"});
            s.database = firstOf({"database", "initial catalog"});
            break;
    }
    return s;
}

}  // namespace kl::ado
