#pragma once

// What the ODBC provider takes from this computer: the ODBC drivers the
// settings file KL000p.INI names for each engine, and the engine's SQL
// functions built as a loadable SQLite module.

#include "platform/settings_files.h"

#include <QString>

namespace kl::ado::odbc {

// KL000p.INI, section "ODBC": keys "DriverSQLServer" (default "FreeTDS")
// and "DriverOracle" (default "Oracle"), names registered in the driver
// manager's odbcinst.ini (or paths of driver libraries).
struct OdbcDrivers {
    QString sqlServer = QStringLiteral("FreeTDS");
    QString oracle = QStringLiteral("Oracle");
};

// The drivers named by the first KL000p.INI of settingsFolders(); the
// defaults for what it does not name.
OdbcDrivers configuredDrivers();
OdbcDrivers readDrivers(const QString& iniFile);

// The loadable SQLite module with the engine's functions, collation and
// column guards: next to the program or in the installed layout, else where
// the build put it; "" when it is in none of them.
QString sqliteFunctionsModule();

}  // namespace kl::ado::odbc
