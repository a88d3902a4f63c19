#pragma once

// SQL Server's dialect turned into Oracle's, as the access layer needs it on
// an Oracle connection: the translation of one statement, and the cutting
// of a SQL Server script into the statements Oracle runs one at a time.

#include "dblayer/sql_text.h"
#include "platform/error_numbers.h"
#include "platform/runerror.h"

#include <QString>

#include <optional>

namespace kl::db::oracle {

// How the layer tells an Oracle connection: its connection string (or the
// provider's name) says "ORACLE" anywhere, as "Provider=OraOLEDB.Oracle.1"
// does.
bool isOracle(const QString& connection);

// Row limits (TOP n), LEN, bracketed names, date literals, CHARINDEX,
// CONVERT, empty-text tests, date style 103, SUBSTRING and ISNULL. A single
// word is only looked at for LEN. Text the translation cannot cut (a TOP
// without anything after its count, a literal without its closing quote)
// fails with the invalid-argument error (ado::err::InvalidArgument).
StepResult translate(const QString& valor, QString& translated);

// Statements Oracle has no use for: SET NOCOUNT, IF NOT EXISTS tests.
bool isDiscarded(const QString& statement);

// Removes what only SQL Server's batches have (SET NOCOUNT, GO lines, line
// breaks) and writes the transaction statements as Oracle's.
void prepareScript(QString& script);

// The first statement of a prepared script: from the first statement
// keyword to just before the next one. Text before the first keyword is
// never a statement.
struct ScriptStatement {
    QString text;  // trimmed
    // Where the rest of the script begins.
    qsizetype end = 0;
};
std::optional<ScriptStatement> firstStatement(const QString& script);

}  // namespace kl::db::oracle
