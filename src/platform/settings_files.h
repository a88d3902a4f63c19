#pragma once

// Where the module's settings files (KL000p.INI, kl000pr.ini) are found.

#include <QString>
#include <QStringList>

namespace kl {

// The folder the running program's executable is in.
QString programFolder();

// The folders settings files are looked for in, in order: the program's
// folder, where the module's installer puts them, then the user's
// configuration folder (on Linux $XDG_CONFIG_HOME, usually ~/.config), where
// a user without rights on the program's folder keeps them.
QStringList settingsFolders();

// The first file called `fileName` in `folders`, in order; "" when none
// holds it. Names are matched without regard to case, as on the module's
// home system: "kl000p.ini" is KL000p.INI.
QString findSettingsFile(const QString& fileName, const QStringList& folders);

}  // namespace kl
