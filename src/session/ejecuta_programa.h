#pragma once

// Starts a sibling program of the module (a maintenance window for the
// table a lookup shows) with this session's connection, the way the
// module's main menu starts programs.

#include <QString>

namespace kl {

// The parameter string a sibling program starts with:
// " ; @server=S; @dbname=D; @usuario=U; @Password=P; @ParametroAdicional=A; brim@ ;".
// It holds the password: it goes to the program's command line only, never
// to a trace or a log.
QString parametrosPrograma(const QString& ParametroAdicional);

// `Programa` is "SHELL:" followed by the program's name, found in this
// program's folder. The program starts without being waited for; IdTarea
// receives its process id. When it cannot start, the operator is told
// ("Opcion no Implementada!") and IdTarea is 0.
void EjecutaPrograma(const QString& Programa, const QString& ParametroAdicional, qint64& IdTarea);

}  // namespace kl
