#pragma once

#include "platform/settings_files.h"

#include <QString>

namespace kl {

// LeeIni on the settings file found in settingsFolders(); the default when
// there is none.
QString readSetting(const QString& fileName, const QString& section, const QString& key,
                    const QString& defaultValue);

}  // namespace kl
