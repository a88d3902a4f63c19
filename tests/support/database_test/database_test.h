#pragma once

// The base of the tests that run the shared access layer on an embedded
// database: a temporary folder that holds the database, the SQL trace and
// both error logs, the layer released before and after each test, the
// program's end counted instead of run and the operator's boxes answered
// from a script. Nothing a test makes is left beside the test program.
//
//     class ClientesTest : public kl::test::DatabaseTest {
//       protected:
//         void SetUp() override {
//             DatabaseTest::SetUp();
//             file_ = folder_.create("contab.db", "CREATE TABLE CLIENTES (CODIGO INT);");
//             ASSERT_TRUE(connectShared(file_, "sa"));
//         }
//     };

#include "dblayer/application_hooks.h"
#include "dblayer/db_dll.h"
#include "support/embedded_db.h"
#include "support/scripted_dialogs.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

namespace kl::test {

// Connects the shared layer to the embedded database `file` as `usuario`
// (the connection dialog may be shown); true when it is open.
bool connectSharedDb(const QString& file, const QString& usuario);

class DatabaseTest : public testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    QString path(const QString& name) const { return folder_.path(name); }
    // Where the layer's notices log (KVERR.LOG in the folder); the main
    // module's notice logs beside it, since TEMP and TMP name the folder.
    QString errorLog() const { return path(QStringLiteral("KVERR.LOG")); }
    // connectSharedDb, the error log pointed at the folder first and the
    // trace read up to here afterwards.
    bool connectShared(const QString& file, const QString& usuario);

    // Statements run on file_ with SQLite's own API, outside the layer.
    bool exec(const QString& sql) const { return EmbeddedDb::exec(file_, sql); }
    QString scalar(const QString& sql) const { return EmbeddedDb::scalar(file_, sql); }
    // The statements the layer ran since the last call.
    QStringList traced();
    QString lastTraced();

    db::DB_Dll& db() { return db::sharedDb(); }
    int programEnds() const { return *programEnds_; }

    ScopedDialogs boxes_;
    EmbeddedDb folder_;
    QString file_;  // the test's database

  private:
    QString trace_;
    qsizetype traceRead_ = 0;
    std::shared_ptr<int> programEnds_ = std::make_shared<int>(0);
    db::ProgramEnd previousEnd_;
    QByteArray previousTemp_, previousTmp_, previousDataHome_;
};

}  // namespace kl::test
