#include "session/settings_files.h"

#include "dblayer/program_info.h"
#include "session/brimcor2.h"

#include <QDir>
#include <QStandardPaths>

namespace kl {

QStringList settingsFolders() {
    QStringList folders{db::programFolder()};
    const QString userFolder = QStandardPaths::writableLocation(QStandardPaths::ConfigLocation);
    if (!userFolder.isEmpty()) folders.append(userFolder);
    return folders;
}

QString findSettingsFile(const QString& fileName, const QStringList& folders) {
    for (const QString& folder : folders) {
        const QDir dir(folder);
        const QStringList matches = dir.entryList({fileName}, QDir::Files | QDir::Readable);
        for (const QString& match : matches) {
            // The name filter ignores case but also takes wildcards; only
            // the exact name counts.
            if (match.compare(fileName, Qt::CaseInsensitive) == 0) return dir.filePath(match);
        }
    }
    return QString();
}

QString readSetting(const QString& fileName, const QString& section, const QString& key,
                    const QString& defaultValue) {
    const QString path = findSettingsFile(fileName, settingsFolders());
    if (path.isEmpty()) return defaultValue;
    return Brimcor2::LeeIni(path, section, key, defaultValue);
}

}  // namespace kl
