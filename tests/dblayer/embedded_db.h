#pragma once

// The access layer's tests: a small database written with SQLite's own API
// (kSchema) in the fixture's folder, the session's user read as "ADMIN".

#include "support/database_test/database_test.h"

#include <QString>

namespace kl::db::test {

// Writes `sql` (one or more statements) into the SQLite file at `path`,
// creating the file when missing.
void writeSqlite(const QString& path, const char* sql);

class EmbeddedDbTest : public kl::test::DatabaseTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The SQL Server string that selects the embedded engine on `file`.
    static QString connectionString(const QString& file);
    // Sets server, database and user of the layer to `file` and opens it
    // the way the start-up does.
    void connectTo(const QString& file);
    // The database file disappears (or returns) under the open connection.
    void removeDatabase();
    void restoreDatabase();

  private:
    SessionLink previousLink_;
};

// The usual tables: TA_USUARIOS, TA_CONDIVA, CLIENTES, V_MA_ARTICULOS.
extern const char kSchema[];

}  // namespace kl::db::test
