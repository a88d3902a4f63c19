#pragma once

#include <QString>
#include <QStringList>

namespace kl {

// The module's display settings files (KL000p.INI, kl000pr.ini) are looked
// for first in the program's folder, where the module's installer puts
// them, and then in the user's configuration folder (on Linux
// $XDG_CONFIG_HOME, usually ~/.config), where a user without rights on the
// program's folder keeps them. Names are matched without regard to case, as
// on the module's home system: "kl000p.ini" is KL000p.INI.
QStringList settingsFolders();

// The first match of `fileName` in `folders`, in order; "" when none holds it.
QString findSettingsFile(const QString& fileName, const QStringList& folders);

// LeeIni on the settings file found in settingsFolders(); the default when
// there is none.
QString readSetting(const QString& fileName, const QString& section, const QString& key,
                    const QString& defaultValue);

}  // namespace kl
