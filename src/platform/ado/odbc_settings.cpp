#include "platform/ado/odbc_settings.h"

#include "platform/ini.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace kl::ado::odbc {

namespace {

const char kSettingsFile[] = "KL000p.INI";
const char kModuleFile[] = "libkl_sqlite_functions.so";

// Works before the application object exists too (tools, early start-up).
QString programFolder() {
    if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).absolutePath();
}

}  // namespace

QStringList settingsFolders() {
    QStringList folders{programFolder()};
    const QString userFolder = QStandardPaths::writableLocation(QStandardPaths::ConfigLocation);
    if (!userFolder.isEmpty()) folders.append(userFolder);
    return folders;
}

QString findSettingsFile(const QString& fileName, const QStringList& folders) {
    for (const QString& folder : folders) {
        const QDir dir(folder);
        for (const QString& match : dir.entryList({fileName}, QDir::Files | QDir::Readable)) {
            // The name filter ignores case but also takes wildcards.
            if (match.compare(fileName, Qt::CaseInsensitive) == 0) return dir.filePath(match);
        }
    }
    return QString();
}

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
    return readDrivers(findSettingsFile(QString::fromLatin1(kSettingsFile), settingsFolders()));
}

QString sqliteFunctionsModule() {
    const QString installed = QDir(programFolder()).filePath(QString::fromLatin1(kModuleFile));
    if (QFileInfo::exists(installed)) return installed;
    const QString built = QStringLiteral(KL_SQLITE_FUNCTIONS_MODULE);
    return QFileInfo::exists(built) ? built : QString();
}

}  // namespace kl::ado::odbc
