#pragma once

// klbase's orders for administrators that show statements as the program
// runs them:
//   consulta ARCHIVO USUARIO "SQL"  runs one statement on an embedded
//       database through the access layer as the program does for that
//       user (administrator check, restricted views, dialect); prints the
//       statement as run on its first line, then the rows, one a line, their
//       values separated by tabs (Null as NULL).
//   oracle "SQL"  prints the statement as it is translated on an Oracle
//       connection.
// `arguments` are the order's own, without its name. Texts go to `out`,
// failures to `err`; the result is the process's exit status.

#include <QStringList>
#include <QTextStream>

namespace kl::klbase {

int ejecutaConsulta(const QStringList& arguments, QTextStream& out, QTextStream& err);
int traduceOracle(const QStringList& arguments, QTextStream& out, QTextStream& err);

}  // namespace kl::klbase
