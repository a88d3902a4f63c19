#include "platform/ui/shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace kl {

bool openWithShell(const QString& target) {
    QString trimmed = target.trimmed();
    if (trimmed.size() >= 2 && trimmed.startsWith(QLatin1Char('"')) &&
        trimmed.endsWith(QLatin1Char('"'))) {
        trimmed = trimmed.mid(1, trimmed.size() - 2).trimmed();
    }
    if (trimmed.isEmpty()) return false;
    // "C:\..." parses with the scheme "c"; a real scheme is longer.
    const QUrl url(trimmed);
    if (url.isValid() && url.scheme().size() > 1) return QDesktopServices::openUrl(url);
    const QFileInfo file(trimmed);
    if (!file.exists()) return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file.absoluteFilePath()));
}

std::optional<qint64> startProgram(const QString& program, const QStringList& arguments,
                                   const QString& workingFolder) {
    if (program.trimmed().isEmpty()) return std::nullopt;
    qint64 id = 0;
    if (!QProcess::startDetached(program, arguments, workingFolder, &id)) return std::nullopt;
    return id;
}

}  // namespace kl
