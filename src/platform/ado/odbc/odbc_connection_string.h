#pragma once

// The ODBC connection string for a connection string of the layer:
//
//   PROVIDER=SQLOLEDB;Server=S;Database =D;UId=U;Pwd=P;<extended>
//     DRIVER=<DriverSQLServer>;SERVER=S;DATABASE=D;UID=U;PWD=P;<extended>
//     With FreeTDS a server "name,port" becomes SERVER=name;PORT=port (an
//     instance written as well is dropped: the port names it) and
//     "name\instance" stays, as FreeTDS finds the instance's port itself;
//     "(local)" and "." are this computer. PostgreSQL's driver takes
//     "name,port" apart the same way, and a folder ("/var/run/postgresql")
//     as the place of the server's Unix socket. Other drivers take the
//     server as written. ADO's "Application Name" and "Workstation ID" become APP and
//     WSID, "Integrated Security" Trusted_Connection; other extended
//     properties pass as written.
//   Provider=OraOLEDB.Oracle.1;Data Source=D;User Id=U;Password=P;
//     DRIVER=<DriverOracle>;DBQ=D;UID=U;PWD=P;
//   PROVIDER=MSDASQL;<ODBC pairs> (ADO's provider for ODBC), or a string of
//   ODBC pairs naming a DRIVER or DSN without a provider
//     the ODBC pairs as written. For SQLite's ODBC driver the engine's
//     functions module is added to LoadExt, NoCreat=1 keeps a missing
//     file from being created, as with the embedded engine, and Timeout=1
//     leaves the wait for another program's lock to the command timeout:
//     PROVIDER=MSDASQL;Driver=SQLite3;Database=/datos/conta.db
//   The SQL Server and Oracle strings get them as well when the driver
//   KL000p.INI names for them is SQLite's.
//
// "Connect Timeout" (seconds, any form) becomes the login timeout; without
// it a login waits kDefaultLoginTimeout seconds.

#include "platform/ado/connection_string.h"
#include "platform/ado/odbc/odbc_settings.h"

#include <QString>

namespace kl::ado::odbc {

inline constexpr int kDefaultLoginTimeout = 5;

// What the driver library is, as far as the string depends on it.
enum class DriverFamily { FreeTds, SqliteOdbc, PsqlOdbc, Other };

// The driver library's family from its file name (libtdsodbc.so,
// libsqlite3odbc.so, psqlodbcw.so).
DriverFamily familyOfLibrary(const QString& library);

struct OdbcConnectionString {
    QString text;
    int loginTimeout = kDefaultLoginTimeout;
};

// The string goes through ODBC: SQL Server and Oracle strings that do not
// select the embedded engine, and ODBC strings.
bool reachedThroughOdbc(const ConnectionSettings& settings);

// The ODBC driver the string will name ("" when it names a DSN instead).
QString driverFor(const ConnectionSettings& settings, const OdbcDrivers& drivers);
// The DSN an ODBC string names; "" for the others.
QString dsnOf(const ConnectionSettings& settings);

// `sqliteModule` is added for SQLite's ODBC driver.
OdbcConnectionString odbcConnectionString(const ConnectionSettings& settings,
                                          const OdbcDrivers& drivers, DriverFamily family,
                                          const QString& sqliteModule);

// A value as an ODBC connection string carries it: in braces when it holds
// what would end or change the pair.
QString odbcValue(const QString& value);

}  // namespace kl::ado::odbc
