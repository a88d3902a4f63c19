#include "platform/ado/odbc/odbc_settings.h"

#include "platform/ini.h"
#include "platform/module_settings.h"

#include <QDir>
#include <QFileInfo>

namespace kl::ado::odbc {

namespace {

const char kModuleFile[] = "libkl_sqlite_functions.so";

}  // namespace

OdbcDrivers readDrivers(const QString& iniFile) {
    OdbcDrivers drivers;
    if (iniFile.isEmpty()) return drivers;
    // A key written without a value keeps the default.
    auto read = [&](const char* key, QString& driver) {
        const QString named =
            kl::LeeIni(iniFile, QStringLiteral("ODBC"), QString::fromLatin1(key)).trimmed();
        if (!named.isEmpty()) driver = named;
    };
    read("DriverSQLServer", drivers.sqlServer);
    read("DriverOracle", drivers.oracle);
    return drivers;
}

OdbcDrivers configuredDrivers() {
    return readDrivers(moduleSettingsFile());
}

QString sqliteFunctionsModule() {
    const QString file = QString::fromLatin1(kModuleFile);
    const QString installed = QDir(shippedFolder(file, Shipped::Module)).filePath(file);
    if (QFileInfo::exists(installed)) return installed;
    const QString built = QStringLiteral(KL_SQLITE_FUNCTIONS_MODULE);
    return QFileInfo::exists(built) ? built : QString();
}

}  // namespace kl::ado::odbc
