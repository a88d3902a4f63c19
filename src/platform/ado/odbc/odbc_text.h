#pragma once

// Texts crossing the ODBC boundary. A driver with ODBC's wide calls gets
// UTF-16 (unixODBC's SQLWCHAR, as QString holds it). A driver without them
// gets its narrow calls in UTF-8: through the wide calls the driver manager
// would narrow each UTF-16 unit to one byte. SQLite's ODBC driver, as Debian
// builds it, is such a driver, and SQLite keeps its texts in UTF-8.

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <QByteArray>
#include <QString>

#include <optional>
#include <string>

namespace kl::ado::odbc {

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "ODBC's wide characters must be UTF-16");

enum class TextEncoding { Utf16, Utf8 };

// A NUL-terminated copy of a text for the calls that take one.
class DriverString {
  public:
    DriverString(const QString& text, TextEncoding encoding);
    SQLWCHAR* wide() { return reinterpret_cast<SQLWCHAR*>(wide_.data()); }
    SQLCHAR* narrow() { return reinterpret_cast<SQLCHAR*>(narrow_.data()); }

  private:
    std::u16string wide_;
    QByteArray narrow_;
};

QString fromWide(const SQLWCHAR* text, qsizetype length);
// A text the driver wrote into a buffer, NUL-terminated.
QString fromWide(const SQLWCHAR* text);

SQLRETURN driverConnect(SQLHDBC connection, const QString& text, TextEncoding encoding);
SQLRETURN execDirect(SQLHSTMT statement, const QString& sql, TextEncoding encoding);
// Catalogue calls; an empty table means every table.
SQLRETURN listTables(SQLHSTMT statement, const QString& table, const QString& types,
                     TextEncoding encoding);
SQLRETURN listColumns(SQLHSTMT statement, const QString& table, TextEncoding encoding);
SQLRETURN listPrimaryKeys(SQLHSTMT statement, const QString& table, TextEncoding encoding);

QString infoText(SQLHDBC connection, SQLUSMALLINT info, TextEncoding encoding);
SQLRETURN setCurrentCatalog(SQLHDBC connection, const QString& name, TextEncoding encoding);
std::optional<QString> currentCatalog(SQLHDBC connection, TextEncoding encoding);

// A column's name and type as SQLDescribeCol gives them.
struct ColumnDescription {
    QString name;
    SQLSMALLINT sqlType = SQL_UNKNOWN_TYPE;
    SQLULEN size = 0;
    SQLSMALLINT decimals = 0;
};
ColumnDescription describeColumn(SQLHSTMT statement, SQLUSMALLINT column, TextEncoding encoding);
QString columnAttribute(SQLHSTMT statement, SQLUSMALLINT column, SQLUSMALLINT field,
                        TextEncoding encoding);

// Reads a text column of the current row (Null for NULL). False when the
// driver fails.
bool readText(SQLHSTMT statement, SQLUSMALLINT column, TextEncoding encoding,
              std::optional<QString>& out);

// One diagnostic record; false when there is none at `record` (from 1).
bool diagnosticRecord(SQLSMALLINT handleType, SQLHANDLE handle, SQLSMALLINT record,
                      TextEncoding encoding, QString& state, long& native, QString& message);

}  // namespace kl::ado::odbc
