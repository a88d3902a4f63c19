#pragma once

// klbase subdiario: the subsidiary-journal report of the program run on a
// file for a user, with a progress bar on the terminal; the rows stay in
// AUX_SUBDIARIOS and, with --pdf, are printed.

#include <QStringList>
#include <QTextStream>

namespace kl::klbase {

// ARCHIVO USUARIO SUBDIARIO DESDE HASTA [--pdf SALIDA.pdf]
int generaSubdiario(const QStringList& arguments, QTextStream& out, QTextStream& err);

}  // namespace kl::klbase
