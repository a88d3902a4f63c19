#pragma once

// The KVERR.LOG error log: one Windows-1252 line per error notice, the same
// layout whichever part of the program writes it.

#include <QDateTime>
#include <QString>

namespace kl::db {

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
// alone, since reporting an error must never fail.
void appendErrorLog(const QString& path, const QString& line);

// KVERR.LOG in `folder` (a separator added only when missing), or `fullPath`
// when it is set.
QString errorLogPath(const QString& fullPath, const QString& folder);

}  // namespace kl::db
