#include "platform/settings_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
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

QString shippedFolder(const QString& entry, Shipped kind, const QString& program) {
    if (QFileInfo::exists(QDir(program).filePath(entry))) return program;
    const char* fromProgram =
        kind == Shipped::Data ? KL_DATADIR_FROM_BINDIR : KL_MODULEDIR_FROM_BINDIR;
    const QString installed =
        QDir::cleanPath(QDir(program).filePath(QString::fromUtf8(fromProgram)));
    if (QFileInfo::exists(QDir(installed).filePath(entry))) return installed;
    return program;
}

KeptFilesFolders keptFilesFolders(const QString& program) {
    const QFileInfo folder(program);
    return {program, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation),
            folder.isDir() && folder.isWritable()};
}

QString keptFilesFolder(const KeptFilesFolders& folders) {
    return folders.programWritable ? folders.program : folders.userData;
}

QString keptFileToRead(const QString& fileName, const KeptFilesFolders& folders) {
    const QString folder = keptFilesFolder(folders);
    QString found = findSettingsFile(fileName, {folder, folders.program});
    return found.isEmpty() ? QDir(folder).filePath(fileName) : found;
}

QString keptFileToWrite(const QString& fileName, const KeptFilesFolders& folders) {
    const QString folder = keptFilesFolder(folders);
    if (const QString own = findSettingsFile(fileName, {folder}); !own.isEmpty()) return own;
    const QString path = QDir(folder).filePath(fileName);
    QDir().mkpath(folder);
    if (folder != folders.program) {
        // A failed copy leaves the shared default untouched; the user's file
        // then starts empty.
        if (const QString shared = findSettingsFile(fileName, {folders.program}); !shared.isEmpty())
            QFile::copy(shared, path);
    }
    return path;
}

}  // namespace kl
