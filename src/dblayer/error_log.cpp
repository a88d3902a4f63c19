#include "dblayer/error_log.h"

#include "platform/runerror.h"
#include "platform/textfile.h"

namespace kl::db {

QString answerName(int answer) {
    switch (answer) {
        case answer::Retry:
            return QStringLiteral("Reintentar");
        case answer::Ignore:
            return QStringLiteral("Ignorar");
        case answer::Abort:
            return QStringLiteral("Abortar");
        case answer::Cancel:
            return QStringLiteral("Cancelar");
        case answer::Yes:
            return QStringLiteral("Sí");
        case answer::No:
            return QStringLiteral("No");
        default:
            return QString();
    }
}

QString errorLogLine(const QDateTime& when, const QString& routine, const QString& message,
                     int answer) {
    const QString routinePiece = routine.isEmpty() ? QString() : QStringLiteral("- ") + routine;
    return when.toString(QStringLiteral("MM-dd-yyyy HH:mm:ss")) + QStringLiteral(" Rutina: ") +
           routinePiece.trimmed() + QStringLiteral(" Mensaje ") + message.trimmed() +
           QStringLiteral(" Respondió : ") + answerName(answer);
}

QString errorNoticeMessage(long number, const QString& description) {
    return QStringLiteral("Ha ocurrido el Siguiente Error (") + QString::number(number) +
           QStringLiteral(") ") + description.trimmed();
}

ErrorNoticeText errorNoticeText(const RunError& error, const QString& routine,
                                const QString& titleEnd) {
    const QString routineText = routine.isEmpty() ? QString() : QStringLiteral(" - ") + routine;
    return {errorNoticeMessage(error.number, error.description),
            error.source + routineText + titleEnd};
}

bool appendErrorLog(const QString& path, const QString& line) {
    // The module's other programs read this file on Windows. The failed
    // statements it quotes are nobody else's business on a shared machine.
    return cp1252::appendToFile(path, line.isEmpty() ? QString() : line + QStringLiteral("\r\n"),
                                cp1252::FileAccess::OwnerOnly);
}

bool logErrorNotice(const QString& path, const QString& routine, const QString& message,
                    int answer) {
    return appendErrorLog(path,
                          errorLogLine(QDateTime::currentDateTime(), routine, message, answer));
}

QString errorLogPath(const QString& fullPath, const QString& folder) {
    if (!fullPath.isEmpty()) return fullPath;
    const bool endsWithSeparator = folder.endsWith(u'/') || folder.endsWith(u'\\');
    return folder + (endsWithSeparator ? QString() : QStringLiteral("/")) +
           QStringLiteral("KVERR.LOG");
}

}  // namespace kl::db
