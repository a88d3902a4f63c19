#pragma once

// The KVERR.LOG error log: one Windows-1252 line per error notice, the same
// layout whichever part of the program writes it, and the notice itself as
// both notices (the layer's TratamientoErrores, the main module's
// AvisoOperador) show it.

#include "platform/runerror.h"

#include <QDateTime>
#include <QString>

namespace kl::db {

// What an error notice shows: the message (errorNoticeMessage) and the
// title, the error's source followed by " - " and the routine when one is
// named, then the notice's own ending.
struct ErrorNoticeText {
    QString message;
    QString title;
};
ErrorNoticeText errorNoticeText(const RunError& error, const QString& routine,
                                const QString& titleEnd);

// The text both error notices show and log: "Ha ocurrido el Siguiente Error
// (n) " and the error's trimmed description.
QString errorNoticeMessage(long number, const QString& description);

// The name a message-box answer is logged with ("Reintentar", "Sí"...); OK
// and unknown answers log an empty name.
QString answerName(int answer);

// "mm-dd-yyyy hh:mm:ss Rutina: <routine> Mensaje <message> Respondió : <answer>",
// the routine piece being "- name" (empty without a name), the message trimmed.
QString errorLogLine(const QDateTime& when, const QString& routine, const QString& message,
                     int answer);

// Appends the line and the line end; a log that cannot be written is left
// alone, since reporting an error must never fail: false tells so. An empty
// line only creates the log.
bool appendErrorLog(const QString& path, const QString& line);
// The notice's line, with the time of now and the operator's answer.
bool logErrorNotice(const QString& path, const QString& routine, const QString& message,
                    int answer);

// KVERR.LOG in `folder` (a separator added only when missing), or `fullPath`
// when it is set.
QString errorLogPath(const QString& fullPath, const QString& folder);

}  // namespace kl::db
