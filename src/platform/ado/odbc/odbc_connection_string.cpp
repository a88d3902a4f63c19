#include "platform/ado/odbc/odbc_connection_string.h"

#include <QFileInfo>

namespace kl::ado::odbc {

namespace {

using Kind = ConnectionSettings::Kind;

QString normalized(const QString& key) {
    return key.simplified().toLower();
}

bool isOdbcProvider(const ConnectionSettings& s) {
    return s.provider.trimmed().startsWith(u"msdasql", Qt::CaseInsensitive);
}

bool namesDriverOrDsn(const ConnectionSettings& s) {
    return !s.value(QStringLiteral("driver")).isEmpty() ||
           !s.value(QStringLiteral("dsn")).isEmpty();
}

// Keys the layer's own strings carry, read into the settings already.
bool isLoginKey(const QString& key) {
    static const QStringList keys = {"provider",
                                     "server",
                                     "data source",
                                     "address",
                                     "addr",
                                     "network address",
                                     "database",
                                     "initial catalog",
                                     "uid",
                                     "user id",
                                     "user",
                                     "usuario",
                                     "pwd",
                                     "password",
                                     "persist security info"};
    return keys.contains(key);
}

bool isTimeoutKey(const QString& key) {
    return key == u"connect timeout" || key == u"connection timeout";
}

class Builder {
  public:
    void add(const QString& key, const QString& value) {
        text_ += key + u'=' + odbcValue(value) + u';';
    }
    QString text() const { return text_; }

  private:
    QString text_;
};

// SQL Server's extended properties, in the names ODBC drivers know.
void addExtended(Builder& out, const ConnectionSettings& s) {
    for (const auto& [key, value] : s.pairs) {
        const QString k = normalized(key);
        if (isLoginKey(k) || isTimeoutKey(k)) continue;
        if (k == u"application name") {
            out.add(QStringLiteral("APP"), value);
        } else if (k == u"workstation id") {
            out.add(QStringLiteral("WSID"), value);
        } else if (k == u"integrated security") {
            const QString v = value.trimmed().toLower();
            if (v == u"sspi" || v == u"true" || v == u"yes")
                out.add(QStringLiteral("Trusted_Connection"), QStringLiteral("Yes"));
        } else {
            out.add(key, value);
        }
    }
}

bool isThisComputer(const QString& host) {
    const QString h = host.trimmed().toLower();
    return h.isEmpty() || h == u"." || h == u"(local)";
}

// FreeTDS takes the port apart and needs a host name for this computer.
void addFreeTdsServer(Builder& out, const QString& written) {
    QString server = written.trimmed();
    if (server.startsWith(u"tcp:", Qt::CaseInsensitive)) server = server.mid(4);
    QString port;
    if (const qsizetype comma = server.lastIndexOf(u','); comma >= 0) {
        port = server.mid(comma + 1).trimmed();
        server = server.left(comma).trimmed();
    }
    QString host = server;
    QString instance;
    if (const qsizetype slash = server.indexOf(u'\\'); slash >= 0) {
        host = server.left(slash);
        instance = server.mid(slash + 1);
    }
    if (isThisComputer(host)) host = QStringLiteral("localhost");
    if (!port.isEmpty()) {
        out.add(QStringLiteral("SERVER"), host);
        out.add(QStringLiteral("PORT"), port);
    } else {
        out.add(QStringLiteral("SERVER"), instance.isEmpty() ? host : host + u'\\' + instance);
    }
}

// PostgreSQL's driver takes the port apart too; a server written as a folder
// ("/var/run/postgresql") is where the server's Unix socket lies.
void addPostgresServer(Builder& out, const QString& written) {
    QString server = written.trimmed();
    QString port;
    if (const qsizetype comma = server.lastIndexOf(u','); comma >= 0) {
        port = server.mid(comma + 1).trimmed();
        server = server.left(comma).trimmed();
    }
    if (isThisComputer(server)) server = QStringLiteral("localhost");
    out.add(QStringLiteral("SERVER"), server);
    if (!port.isEmpty()) out.add(QStringLiteral("PORT"), port);
}

int loginTimeoutOf(const ConnectionSettings& s) {
    for (const auto& [key, value] : s.pairs) {
        if (!isTimeoutKey(normalized(key))) continue;
        bool ok = false;
        const int seconds = value.trimmed().toInt(&ok);
        if (ok && seconds >= 0) return seconds;
    }
    return kDefaultLoginTimeout;
}

// SQLite's driver, whatever string named it, opens only an existing file and
// loads the engine's functions module after any the string names. Its own
// lock wait ("Timeout", milliseconds, 100 s unless given) would come on top
// of the engine's, which follows the command timeout: it is cut to the
// least (see the SQLite dialect's lock timeout).
void addSqliteModule(Builder& out, const QString& loadExt, const QString& module) {
    out.add(QStringLiteral("NoCreat"), QStringLiteral("1"));
    out.add(QStringLiteral("Timeout"), QStringLiteral("1"));
    out.add(QStringLiteral("LoadExt"), loadExt.isEmpty() ? module : loadExt + u',' + module);
}

}  // namespace

DriverFamily familyOfLibrary(const QString& library) {
    const QString name = QFileInfo(library).fileName().toLower();
    if (name.contains(u"tdsodbc")) return DriverFamily::FreeTds;
    if (name.contains(u"sqlite3odbc")) return DriverFamily::SqliteOdbc;
    if (name.contains(u"psqlodbc")) return DriverFamily::PsqlOdbc;
    return DriverFamily::Other;
}

bool reachedThroughOdbc(const ConnectionSettings& s) {
    if (!s.embeddedFile.isEmpty()) return false;
    if (s.kind == Kind::SqlServer || s.kind == Kind::Oracle) return true;
    return s.kind == Kind::Unknown &&
           (isOdbcProvider(s) || (s.provider.trimmed().isEmpty() && namesDriverOrDsn(s)));
}

QString driverFor(const ConnectionSettings& s, const OdbcDrivers& drivers) {
    switch (s.kind) {
        case Kind::SqlServer:
            return drivers.sqlServer;
        case Kind::Oracle:
            return drivers.oracle;
        default:
            return s.value(QStringLiteral("driver")).trimmed();
    }
}

QString dsnOf(const ConnectionSettings& s) {
    if (s.kind == Kind::SqlServer || s.kind == Kind::Oracle) return QString();
    return s.value(QStringLiteral("dsn")).trimmed();
}

OdbcConnectionString odbcConnectionString(const ConnectionSettings& s, const OdbcDrivers& drivers,
                                          DriverFamily family, const QString& sqliteModule) {
    OdbcConnectionString out;
    out.loginTimeout = loginTimeoutOf(s);
    Builder b;
    switch (s.kind) {
        case Kind::SqlServer:
            b.add(QStringLiteral("DRIVER"), drivers.sqlServer);
            if (family == DriverFamily::FreeTds)
                addFreeTdsServer(b, s.server);
            else if (family == DriverFamily::PsqlOdbc)
                addPostgresServer(b, s.server);
            else
                b.add(QStringLiteral("SERVER"), s.server.trimmed());
            b.add(QStringLiteral("DATABASE"), s.database.trimmed());
            b.add(QStringLiteral("UID"), s.user);
            b.add(QStringLiteral("PWD"), s.password);
            addExtended(b, s);
            if (family == DriverFamily::SqliteOdbc) addSqliteModule(b, QString(), sqliteModule);
            break;
        case Kind::Oracle:
            b.add(QStringLiteral("DRIVER"), drivers.oracle);
            b.add(QStringLiteral("DBQ"), s.database.trimmed());
            b.add(QStringLiteral("UID"), s.user);
            b.add(QStringLiteral("PWD"), s.password);
            if (family == DriverFamily::SqliteOdbc) addSqliteModule(b, QString(), sqliteModule);
            break;
        default: {
            QString loadExt;
            for (const auto& [key, value] : s.pairs) {
                const QString k = normalized(key);
                if (k == u"provider" || isTimeoutKey(k)) continue;
                if (family == DriverFamily::SqliteOdbc &&
                    (k == u"loadext" || k == u"nocreat" || k == u"timeout")) {
                    if (k == u"loadext") loadExt = value.trimmed();
                    continue;
                }
                // Open() may have been given another login than the string's.
                if (k == u"uid" || k == u"user id")
                    b.add(key, s.user);
                else if (k == u"pwd" || k == u"password")
                    b.add(key, s.password);
                else
                    b.add(key, value);
            }
            if (family == DriverFamily::SqliteOdbc) addSqliteModule(b, loadExt, sqliteModule);
            break;
        }
    }
    out.text = b.text();
    return out;
}

QString odbcValue(const QString& value) {
    const bool plain = !value.contains(u';') && !value.contains(u'{') && !value.contains(u'}') &&
                       value == value.trimmed();
    if (plain) return value;
    QString escaped = value;
    escaped.replace(u'}', QStringLiteral("}}"));
    return u'{' + escaped + u'}';
}

}  // namespace kl::ado::odbc
