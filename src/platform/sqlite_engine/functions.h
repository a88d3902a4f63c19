#pragma once

// The bodies of the engine's functions, by family (date_functions.cpp,
// text_functions.cpp, conversion_functions.cpp, plus_function.cpp,
// sum_function.cpp), for
// the table in function_table.cpp, and what the families share
// (function_support.cpp). Internal to the engine.

#include <QDate>
#include <QDateTime>
#include <QString>

#include <optional>

struct sqlite3_context;
struct sqlite3_value;

namespace kl::ado::sqlite::functions {

QString textOf(sqlite3_value* v);
bool isNull(sqlite3_value* v);
void resultText(sqlite3_context* ctx, const QString& text);
void resultError(sqlite3_context* ctx, long nativeError, const QString& text);
const QDate& sqlServerEpoch();
// A date argument: a date text, or a number of days since 1900-01-01 as SQL
// Server reads numbers.
std::optional<QDateTime> dateOf(sqlite3_value* v);
void badDate(sqlite3_context* ctx);
void conversionError(sqlite3_context* ctx, const QString& value, const QString& typeName);

// Dates.
void klFecha(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void klGetdate(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void klDatepart(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void klDatename(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void klDateadd(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void klDatediff(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void klIsdate(sqlite3_context* ctx, int argc, sqlite3_value** argv);
// The collation KL_FECHA (stored_forms.h).
int collateDates(void*, int aLength, const void* a, int bLength, const void* b);

// Texts.
void klLen(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void klCharindex(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void klLeft(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void klRight(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void klSubstring(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void klReplace(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void klReplicate(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void klSpace(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void klUpper(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void klLower(sqlite3_context* ctx, int argc, sqlite3_value** argv);
// like(pattern, text[, escape]): SQLite hands the pattern first.
void klLike(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void klError(sqlite3_context* ctx, int argc, sqlite3_value** argv);

// Conversions.
void klVal(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void klIsnumeric(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void klStr(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void klRound(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void klConvert(sqlite3_context* ctx, int argc, sqlite3_value** argv);

// kl_plus(a, b[, c...]): ((a + b) + c)... with SQL Server's meaning of +
// decided by the values' types: two texts join, a number on either side
// adds, Null gives Null.
void klPlus(sqlite3_context* ctx, int argc, sqlite3_value** argv);

// sum(x) in place of SQLite's, as an aggregate and a window function:
// amounts of at most four decimals add up exactly.
void sumStep(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void sumInverse(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void sumValue(sqlite3_context* ctx);

}  // namespace kl::ado::sqlite::functions
