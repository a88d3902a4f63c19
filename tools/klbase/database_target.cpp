#include "database_target.h"

#include "platform/ado/connection_string.h"

namespace kl::klbase {

namespace {

// The keys that make a string reach a database: a file name never holds
// "key=value;" pairs with one of them.
bool namesADatabase(const ado::ConnectionSettings& s) {
    for (const char* key : {"driver", "dsn", "provider"})
        if (!s.value(QLatin1String(key)).trimmed().isEmpty()) return true;
    return false;
}

}  // namespace

bool isConnectionString(const QString& target) {
    if (!target.contains(u'=')) return false;
    const std::optional<ado::ConnectionSettings> s = ado::parseConnectionString(target);
    return s && namesADatabase(*s);
}

QString shownTarget(const QString& target) {
    if (!isConnectionString(target)) return target;
    QString shown = target;
    for (const QString& secret : ado::parseConnectionString(target)->secrets()) {
        if (secret.isEmpty()) continue;
        shown.replace(ado::connectionStringValue(secret), QStringLiteral("***"));
        shown.replace(secret, QStringLiteral("***"));
    }
    return shown;
}

QString fileOnlyRefusal(const QString& order, const QString& target) {
    if (!isConnectionString(target)) return QString();
    return QStringLiteral(
               "klbase %1 trabaja sobre un archivo de base de datos incorporada; \"%2\" es una "
               "cadena de conexión. Sobre un servidor, klbase consulta y klbase subdiario ya "
               "aceptan la cadena; %1 todavía no.")
        .arg(order, shownTarget(target));
}

}  // namespace kl::klbase
