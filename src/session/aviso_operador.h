#pragma once

#include "platform/dialogs.h"
#include "platform/runerror.h"

#include <QString>

namespace kl {

// Abort, Retry and Ignore with the critical icon.
inline constexpr int kEstiloAvisoOperador = mb::AbortRetryIgnore | mb::Critical;

// The folder of the main module's error log: TMP (trimmed) when TEMP is set,
// otherwise the system's temporary folder (CarpetaSistema); always ending in
// the platform's separator.
QString carpetaRegistroErrores();
// KVERR.LOG in that folder.
QString archivoRegistroErrores();

// The main module's error notice. Shows "Ha ocurrido el Siguiente Error (n)
// descripción" titled with the error's source, the routine and " Aviso al
// operador!!! ", appends a line with the answer's name to KVERR.LOG and
// returns the answer; for error number 0 it shows and logs nothing and
// returns 0 (the log is still created). The log is opened before the box
// is shown, as the module's other programs do; a log that cannot be written
// never keeps the failure from reaching the operator: the box is shown and
// the log's problem goes to standard error.
int AvisoOperador(const RunError& errObj, int botones = kEstiloAvisoOperador,
                  const QString& rutina = QString());
// The notice runStep/runSteps take for a routine's failures.
FailureNotice avisoOperadorPara(const QString& rutina);

// Opens a file, program or web address with the system shell. A target with
// blanks and no quotes is quoted, as a command line needs it. `mostrar`
// asks for a normal window (style 6) or a hidden start (0).
bool AbreDocumento(const QString& destino, bool mostrar);
// The target as AbreDocumento hands it to the shell.
QString destinoParaShell(const QString& destino);

}  // namespace kl
