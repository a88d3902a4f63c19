#include "platform/settings_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace kl {

// Works before the application object exists too (tools, early start-up).
QString programFolder() {
    if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).absolutePath();
}

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
            // The name filter ignores case but also takes wildcards; only the
            // exact name counts.
            if (match.compare(fileName, Qt::CaseInsensitive) == 0) return dir.filePath(match);
        }
    }
    return QString();
}

}  // namespace kl
