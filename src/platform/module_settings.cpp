#include "platform/module_settings.h"

#include "platform/ini.h"
#include "platform/settings_files.h"

namespace kl {

QString readSetting(const QString& fileName, const QString& section, const QString& key,
                    const QString& defaultValue) {
    const QString path = findSettingsFile(fileName, settingsFolders());
    if (path.isEmpty()) return defaultValue;
    return LeeIni(path, section, key, defaultValue);
}

QString readModuleSetting(const QString& section, const QString& key, const QString& defaultValue) {
    return readSetting(QString::fromLatin1(kModuleSettingsFile), section, key, defaultValue);
}

QString moduleSettingsFile() {
    return findSettingsFile(QString::fromLatin1(kModuleSettingsFile), settingsFolders());
}

}  // namespace kl
