#include "dblayer/db_dll.h"
#include "dblayer/error_log.h"
#include "platform/error_numbers.h"
#include "platform/settings_files.h"

namespace kl::db {

int DB_Dll::TratamientoErrores(const RunError& CodErr, int Botones, const QString& Rutina) {
    if (CodErr.number == ado::err::AlreadyShown) return 0;
    const ErrorNoticeText notice =
        errorNoticeText(CodErr, Rutina, QStringLiteral(" Aviso al operador!!! - 5 "));
    const int reply = MsgBox(notice.message, Botones, notice.title);
    logErrorNotice(errorLogPath(gLogErr, keptFilesFolder()), Rutina, notice.message, reply);
    return reply;
}

Value DB_Dll::ArchivoErrores() const {
    return Value(gLogErr);
}

void DB_Dll::setArchivoErrores(const Value& path) {
    gLogErr = path.toString();
}

}  // namespace kl::db
