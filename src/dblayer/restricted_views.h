#pragma once

// The access rule for confidential data: for a user who is not an
// administrator, references to the confidential tables and views are sent
// to restricted views whose names begin with "SS_". A name written with
// the marker "@Admin_" always means the full table; the marker itself never
// reaches the database.

#include <QString>

namespace kl::db {

// Who runs the statement, and in which program.
struct StatementReader {
    bool administrator = false;
    // Journal entries are confidential too: with it off, a statement that
    // names MV_ASIENTOS reaches the full tables.
    bool confidencialidad = false;
    // The running program's executable name without extension; some
    // programs read the full table of a view others must not.
    QString executable;
};

// Every reference to a table is recognised, in any case, wherever it
// stands: last in the statement, between brackets or double quotes, after
// a schema ("dbo.MA_CUENTAS"), in a subquery, after a comma or a join,
// inside ODBC escapes. For a user who is not an administrator
//
//     SELECT C.CODIGO FROM [dbo].[MA_CUENTAS] C WHERE C.CODIGO IN
//         (SELECT CUENTA FROM MV_ASIENTOS)
//
// reads [dbo].[SS_MA_CUENTAS] and SS_MV_ASIENTOS. Only whole names count
// (MA_CUENTASADIC and SS_MA_CUENTAS stay), and literals and comments are
// left as written ('MA_CUENTAS' is a value, not a table).
QString withRestrictedViews(const QString& statement, const StatementReader& reader);

// The statement without any marker, in any case.
QString withoutAdminMarker(const QString& statement);

}  // namespace kl::db
