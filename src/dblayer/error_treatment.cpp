#include "dblayer/db_dll.h"
#include "dblayer/error_log.h"
#include "platform/error_numbers.h"
#include "platform/settings_files.h"

#include <QDateTime>

namespace kl::db {

int DB_Dll::TratamientoErrores(const RunError& CodErr, int Botones, const QString& Rutina) {
    if (CodErr.number == ado::err::AlreadyShown) return 0;
    const QString message = errorNoticeMessage(CodErr.number, CodErr.description);
    const QString routineText = Rutina.isEmpty() ? QString() : QStringLiteral(" - ") + Rutina;
    const QString title =
        CodErr.source + routineText + QStringLiteral(" Aviso al operador!!! - 5 ");
    const int reply = MsgBox(message, Botones, title);
    appendErrorLog(errorLogPath(gLogErr, keptFilesFolder()),
                   errorLogLine(QDateTime::currentDateTime(), Rutina, message, reply));
    return reply;
}

Value DB_Dll::ArchivoErrores() const {
    return Value(gLogErr);
}

void DB_Dll::setArchivoErrores(const Value& path) {
    gLogErr = path.toString();
}

}  // namespace kl::db
