#pragma once

// What every connection to an embedded accounting database relies on: the
// provider's connections and klbase's (which creates and fills the files with
// the raw SQLite API) both call registerFunctions() right after opening, and
// klbase calls installColumnGuards() (guards.h) for every table it
// creates.
//
// Stored forms, shared by the provider and klbase:
// - Dates and date-times are stored as text "yyyy-MM-dd hh:mm:ss" (date-only
//   values at 00:00:00), so text order is date order. Columns declared
//   DATETIME, SMALLDATETIME, DATETIME2 or DATE hold that form; their guards
//   turn other date texts written into them ("31/12/2026", "31/12/26 10:00",
//   "2026-12-31", "20261231") into it, and "" into 1900-01-01 as SQL Server
//   does. They are declared COLLATE KL_FECHA, which compares a date text of
//   any accepted form as the date it names, so "FECHA = '01/02/2024'",
//   "FECHA >= '20240201'" and "FECHA < '02/02/24 10:00'" mean what SQL
//   Server's conversion of the text to a date-time makes them mean; the
//   stored form itself compares byte by byte, so indexes keep their order.
// - Text columns are declared with SQL Server's types (VARCHAR(50), CHAR(8)...)
//   and COLLATE KL_CI, so keys and names compare as SQL Server's default
//   collation does: case-insensitive, accent-sensitive, trailing blanks
//   ignored ("USA CONTRASEÑA" = "usa contraseña", "á" <> "a").
// - Procedures live in the table KL_PROCEDIMIENTOS (procedureTableDdl()):
//     NOMBRE      TEXT PRIMARY KEY COLLATE KL_CI   the procedure's name
//     PARAMETROS  TEXT   parameter names in call order, comma-separated:
//                        "@desde,@hasta" (empty: no parameters)
//     CUERPO      TEXT   SQLite statements separated by ";", using the
//                        parameters by name (@desde); arguments are bound as
//                        text, so bodies convert them (kl_fecha(@desde)).
//   A call "kv_CreaCalendario '01/01/2026','31/12/2026'" binds the arguments
//   by position and runs the body inside a savepoint: a failing statement
//   leaves nothing behind. Bodies report bad arguments with kl_error('...').
// - Tables whose names start with KL_ belong to the engine (procedures,
//   schema version...) and are not listed by the schema catalogue.
// - Triggers and functions report errors as "kl-<native>: <text>"
//   (raisedError()); the provider turns the native number into SQL Server's
//   error codes (8152 truncation, 241 bad date, 50000 kl_error).
//
// registerFunctions() registers the collations KL_CI and KL_FECHA and the functions of the
// table in function_table.h: SQL Server's LEN, CHARINDEX, DATEPART,
// CONVERT... as kl_len, kl_charindex, kl_datepart, kl_convert..., upper,
// lower and like for every letter (ñ, á...) and SQL Server's wildcards
// (% _ [abc] [^a-z]), and the engine's helpers kl_fecha, kl_error, kl_plus.

#include <QDateTime>
#include <QString>
#include <QStringView>

#include <optional>

struct sqlite3;

namespace kl::ado::sqlite {

inline constexpr char kCollation[] = "KL_CI";
inline constexpr char kDateCollation[] = "KL_FECHA";
inline constexpr char kProcedureTable[] = "KL_PROCEDIMIENTOS";
// Prefix of the engine's own tables and triggers.
inline constexpr char kInternalPrefix[] = "KL_";

// Native error numbers raised inside the database, as SQL Server numbers them.
namespace native {
inline constexpr long Truncation = 8152;
inline constexpr long BadDate = 241;
inline constexpr long UserError = 50000;
}  // namespace native

// Registers the collation and the functions on a connection. Call it
// before any statement touches tables (indexes and triggers use them).
// Returns SQLITE_OK or the failing SQLite code.
int registerFunctions(sqlite3* db);

// CREATE TABLE statement of the procedure table.
QString procedureTableDdl();

// The stored form of a date-time: "yyyy-MM-dd hh:mm:ss".
QString storedDate(const QDateTime& value);
// A date text in the stored form or any form people and the module write
// (dd/mm/yyyy[ hh:mm[:ss]], dd/mm/yy, yyyy-mm-dd[ hh:mm:ss], yyyymmdd[ hh:mm:ss]),
// day first, two-digit years as SQL Server reads them (00-49 are 2000-2049,
// 50-99 are 1950-1999); nullopt when it is not a date.
std::optional<QDateTime> parseDateText(QStringView text);

// Error text raised by triggers and functions, and its reading back.
QString raisedError(long nativeError, const QString& text);
struct RaisedError {
    long nativeError = 0;
    QString text;
};
std::optional<RaisedError> parseRaisedError(QStringView message);

// What a declared column type (SQL Server's spelling) means for the layer.
struct DeclaredType {
    enum class Category { Unknown, Integer, Float, Currency, Numeric, Boolean, Date, Text, Binary };
    Category category = Category::Unknown;
    int adoType = 0;       // ADO's type code, 0 when unknown
    long definedSize = 0;  // characters for text, bytes otherwise
    int precision = 0;
    int scale = 0;
    // The declared maximum length of a text column; 0 when unbounded.
    long maxLength = 0;
};
DeclaredType parseDeclaredType(QStringView declared);

}  // namespace kl::ado::sqlite
