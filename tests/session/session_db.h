#pragma once

// A fresh accounting database with the full schema for the main module's
// tests: the shared access layer connected to it as the start-up leaves it,
// the session record empty, the statements traced, the program-end hook
// counted and the operator's boxes answered from a queue.

#include "dblayer/application_hooks.h"
#include "dblayer/db_dll.h"
#include "printers.h"
#include "support/scripted_dialogs.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace kl::test {

class SessionDbTest : public testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // TA_MENU.Proceso of the task carried out by the running program, as
    // the main menu writes it: the access check finds it by the
    // executable's name.
    static QString procesoDelPrograma();
    // Connects the shared layer to the database as `usuario`.
    void connect(const QString& usuario = QStringLiteral("ADMIN"));
    // Runs statements on the file outside the layer.
    void exec(const QString& sql);
    // The first column of the first row ("<null>" for NULL).
    QString scalar(const QString& sql);
    // The statements the layer ran since the last call.
    QStringList traced();

    QString path(const QString& name) const { return dir_.filePath(name); }
    db::DB_Dll& db() { return db::sharedDb(); }
    int programEnds() const { return *programEnds_; }

    ScopedDialogs boxes_;
    QString file_;

  private:
    QTemporaryDir dir_;
    QString trace_;
    qsizetype traceRead_ = 0;
    std::shared_ptr<int> programEnds_ = std::make_shared<int>(0);
    db::ProgramEnd previousEnd_;
    db::SessionLink previousLink_;
};

}  // namespace kl::test
