#pragma once

// klbase historial: the history of changes of a database, newest first, as
// a table on the terminal or, with --csv, as a Windows-1252 file with ";"
// between fields for a spreadsheet.

#include <QStringList>
#include <QTextStream>

namespace kl::klbase {

// CONEXION [CLAVE] [--desde dd/mm/aaaa] [--hasta dd/mm/aaaa] [--csv ARCHIVO]
// CONEXION is a database file or a connection string.
int muestraHistorial(const QStringList& arguments, QTextStream& out, QTextStream& err);

}  // namespace kl::klbase
