#include "session/ajustes_ini.h"

#include "session/brimcor2.h"

namespace kl {

QString readSetting(const QString& fileName, const QString& section, const QString& key,
                    const QString& defaultValue) {
    const QString path = findSettingsFile(fileName, settingsFolders());
    if (path.isEmpty()) return defaultValue;
    return Brimcor2::LeeIni(path, section, key, defaultValue);
}

}  // namespace kl
