#pragma once

// Where the program's files are found: the module's settings files
// (KL000p.INI, kl000pr.ini), what the program ships with (skins, the
// engine's functions module) and the files it keeps beside itself
// (BASES.TXT, CONSULTASLEN.KVW, KVERR.LOG).
//
// On the module's home system all of them lie in the program's folder. An
// installed program lives where its users may not write (/usr/bin), so:
// - what it ships with is also looked for in the installed layout, found
//   from the program's folder (bin/../share/klconfig), so the prefix may
//   change;
// - the files it keeps go to the user's data folder when the program's
//   folder cannot be written. A copy in the program's folder stays the
//   shared default an administrator ships: the user's copy starts from it.

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

// What the program ships with: read-only data (the skins' Styles folder) or
// the engine's functions module.
enum class Shipped { Data, Module };

// The folder holding `entry` of what the program ships with: `program` itself
// when it holds it (the build folder, the module's home system), else the
// installed layout's folder for `kind` relative to `program`; `program` when
// neither holds it.
QString shippedFolder(const QString& entry, Shipped kind, const QString& program = programFolder());

// The two folders a kept file may lie in.
struct KeptFilesFolders {
    QString program;   // where the module's installer and other programs keep it
    QString userData;  // the user's own ($XDG_DATA_HOME/klconfig, usually ~/.local/share/klconfig)
    bool programWritable = false;  // whether this user may write in `program`
};
// `program` (this program's folder unless told), this user's data folder,
// and whether `program` is a folder this user may write in.
KeptFilesFolders keptFilesFolders(const QString& program = programFolder());

// The folder kept files are written in: the program's when it can be
// written, otherwise the user's data folder.
QString keptFilesFolder(const KeptFilesFolders& folders = keptFilesFolders());

// Where `fileName` is read from: the copy in keptFilesFolder() when there is
// one, else the program folder's (the shared default), else the path it will
// be written to (which does not exist yet). Names ignore case.
QString keptFileToRead(const QString& fileName,
                       const KeptFilesFolders& folders = keptFilesFolders());

// Where `fileName` is written to, in keptFilesFolder(), its folder made.
// When that is the user's folder and it holds no copy yet, the program
// folder's copy is copied there first, so adding to the file keeps the
// shared default's contents. Names ignore case.
QString keptFileToWrite(const QString& fileName,
                        const KeptFilesFolders& folders = keptFilesFolders());

}  // namespace kl
