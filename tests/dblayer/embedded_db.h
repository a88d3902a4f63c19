#pragma once

// A test database: an embedded database file written with SQLite's own API,
// the shared access layer connected to it, the SQL trace and the program-end
// hook observed, and the operator's boxes answered from a script.

#include "dblayer/application_hooks.h"
#include "dblayer/db_dll.h"
#include "support/scripted_dialogs.h"

#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace kl::db::test {

// Writes `sql` (one or more statements) into the SQLite file at `path`,
// creating the file when missing.
void writeSqlite(const QString& path, const char* sql);

class EmbeddedDbTest : public testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    QString path(const QString& name) const { return dir_.filePath(name); }
    // The SQL Server string that selects the embedded engine on `file`.
    static QString connectionString(const QString& file);
    // Sets server, database and user of the layer to `file` and opens it
    // the way the start-up does.
    void connectTo(const QString& file);
    // The statements the layer ran since the last call.
    QStringList traced();
    QString lastTraced();
    // The database file disappears (or returns) under the open connection.
    void removeDatabase();
    void restoreDatabase();

    DB_Dll& db() { return sharedDb(); }
    int programEnds() const { return *programEnds_; }

    kl::test::ScopedDialogs boxes_;
    QString file_;

  private:
    QTemporaryDir dir_;
    QString trace_;
    qsizetype traceRead_ = 0;
    std::shared_ptr<int> programEnds_ = std::make_shared<int>(0);
    ProgramEnd previousEnd_;
    SessionLink previousLink_;
};

// The usual tables: TA_USUARIOS, TA_CONDIVA, CLIENTES, V_MA_ARTICULOS.
extern const char kSchema[];

}  // namespace kl::db::test
