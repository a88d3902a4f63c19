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

// A table is recognised when written " N ", "(N ", " N.", "(N." or ",N."
// (MA_CUENTAS also "{N."), in any case; a name at the very start or
// followed by anything else stays as written.
QString withRestrictedViews(const QString& statement, const StatementReader& reader);

// The statement without any marker, in any case.
QString withoutAdminMarker(const QString& statement);

}  // namespace kl::db
