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

}  // namespace kl::ado::sqlite
