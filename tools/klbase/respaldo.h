#pragma once

// klbase respaldo and restaurar: the online copy of an embedded database by
// hand, and putting such a copy back in place of a database.

#include <QStringList>
#include <QTextStream>

namespace kl::klbase {

// ORIGEN DESTINO: copies ORIGEN into the new file DESTINO, consistent even
// while programs use ORIGEN.
int respaldo(const QStringList& arguments, QTextStream& out, QTextStream& err);

// COPIA DESTINO: replaces DESTINO with COPIA. The copy's integrity is
// checked first; a DESTINO some program has open is left alone. DESTINO is
// kept beside itself until the restore succeeded. The restored database
// keeps the history rows DESTINO had written since the copy, plus one
// recording the restore, all written in the same step as the restore.
int restaurar(const QStringList& arguments, QTextStream& out, QTextStream& err);

}  // namespace kl::klbase
