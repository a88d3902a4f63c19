#pragma once

// SQLite's failures as SQL Server reports them through ADO: the HRESULT the
// program tests, SQL Server's SQLState and native number, a Spanish
// description that keeps SQLite's own message.

#include "platform/ado/ado.h"

#include <QString>

namespace kl::ado::sqlite {

inline constexpr char kSource[] = "klconfig SQLite";

// `code` is SQLite's extended result code.
Error errorFromSqlite(int code, const QString& message);

// The database file cannot be reached any more (deleted, unreadable, I/O
// failure): native 11, as a network failure with SQL Server.
Error lostConnection(const QString& file, const QString& detail);

Error makeError(long number, const QString& sqlState, long nativeError, const QString& description);

// The engine found damaged pages (SQL Server's 824). Nothing more is written
// to such a file in the session: writing over damage spreads it.
Error damagedDatabase(const QString& file, const QString& detail);

// What stands around a file that failed to open, for telling the operator
// what is wrong rather than only that it is.
struct OpenCircumstances {
    bool folderWritable = true;  // the engine keeps its -wal and -shm files there
    bool fileWritable = true;
    bool diskFull = false;
};

// The reason shown when opening failed with SQLite's `code`, in Spanish:
// permissions, no space, locked, not a database or damaged.
//     openFailureReason(SQLITE_CANTOPEN, "unable to open", {.folderWritable = false})
//     -> "no hay permiso para escribir en la carpeta del archivo (el motor guarda allí
//        sus archivos de trabajo)."
QString openFailureReason(int code, const QString& message, const OpenCircumstances& around);

}  // namespace kl::ado::sqlite
