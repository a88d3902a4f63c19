#pragma once

// KL_TRAZA_SQL=<file>: every statement the layer runs is appended to the file
// as one UTF-8 line (trace_file.h; line breaks written as \n). Literals equal
// to a password of the connection are written as '********'.

#include <QString>
#include <QStringList>

namespace kl::ado {

void traceStatement(const QString& sql, const QStringList& secrets);

// The line written for a statement (exposed for the tests).
QString traceLine(const QString& sql, const QStringList& secrets);

}  // namespace kl::ado
