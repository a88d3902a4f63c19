#pragma once

// The ODBC drivers the build registered for the tests in its own
// odbcinst.ini (tests/platform/ado.cmake): "FreeTDS", "SQLite3" and
// "PostgreSQL Unicode", each when the build found its library. Tests that
// connect through ODBC point the driver manager at it, so the computer needs
// no ODBC configuration.

#include <QByteArray>
#include <QFile>
#include <QString>

namespace kl::test {

inline QString testOdbcFolder() {
    return QStringLiteral(KL_BINARY_DIR "/tests/odbc");
}

// Before the program's first ODBC call: the driver manager reads the
// variable when it looks a driver up.
inline void useTestOdbcDrivers() {
    qputenv("ODBCSYSINI", QFile::encodeName(testOdbcFolder()));
}

inline bool testOdbcDriverRegistered(const QString& name) {
    QFile ini(testOdbcFolder() + QStringLiteral("/odbcinst.ini"));
    return ini.open(QIODevice::ReadOnly) && ini.readAll().contains(u'[' + name.toUtf8() + u']');
}

// An embedded database file reached through SQLite's ODBC driver.
inline QString odbcSqliteConnectionString(const QString& file) {
    return QStringLiteral("PROVIDER=MSDASQL;Driver=SQLite3;Database=") + file +
           QStringLiteral(";UID=sa;PWD=secreto;");
}

}  // namespace kl::test
