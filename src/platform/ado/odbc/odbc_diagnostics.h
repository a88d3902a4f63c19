#pragma once

// The driver's diagnostics of a failed ODBC call, and how they become the
// errors ADO reports: SQLState, NativeError and Description as the driver
// gives them, Number the HRESULT the program tests.

#include "platform/ado/ado.h"
#include "platform/ado/odbc/odbc_text.h"

#include <sql.h>

#include <QString>

#include <vector>

namespace kl::ado::odbc {

struct Diagnostic {
    QString sqlState;
    long nativeError = 0;
    QString message;  // as the driver writes it, "[FreeTDS][SQL Server]..." included
};

// Every diagnostic record the handle holds, in the driver's order.
std::vector<Diagnostic> readDiagnostics(SQLSMALLINT handleType, SQLHANDLE handle,
                                        TextEncoding encoding);

// Opening fails when the server cannot be reached; while working, a
// communication failure means the connection was lost.
enum class Phase { Opening, Working };

// A driver's message: the components naming who reports it
// ("[unixODBC][FreeTDS][SQL Server]") and the text itself.
struct MessageParts {
    QString origin;
    QString text;
};
MessageParts splitMessage(const QString& message);

// The error of a diagnostic from a server engine (SQL Server, Oracle, any
// driver that reports standard SQLStates):
//   08xxx, HYT00/HYT01 while opening  80004005, native as given
//   08xxx while working               80004005, native 11 (lost connection)
//   IMxxx (driver manager)            80004005
//   22001, 22003                      80040E57 (native 8152 passes through)
//   22005, 22007, 22008, 22018        80040E07
//   23xxx                             80040E2F
//   25000                             8004D00E
//   42S02                             80040E37
//   42xxx, 37000                      80040E14
//   HYT00/HYT01 while working         80040E31
//   anything else                     80004005
Error serverError(const Diagnostic& diagnostic, Phase phase);

}  // namespace kl::ado::odbc
