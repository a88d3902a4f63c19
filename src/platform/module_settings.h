#pragma once

// The module's settings files, KL000p.INI (per computer and user) and
// kl000pr.ini (per user), found where settingsFolders() says and read as
// INI files. Every reader of them goes through here.

#include <QString>

namespace kl {

inline constexpr char kModuleSettingsFile[] = "KL000p.INI";
inline constexpr char kUserSettingsFile[] = "kl000pr.ini";

// The value of `key` in `section` of the settings file `fileName`;
// `defaultValue` when there is no such file or key.
QString readSetting(const QString& fileName, const QString& section, const QString& key,
                    const QString& defaultValue = QString());
// The same, of KL000p.INI.
QString readModuleSetting(const QString& section, const QString& key,
                          const QString& defaultValue = QString());
// Where KL000p.INI was found; "" for nowhere.
QString moduleSettingsFile();

}  // namespace kl
