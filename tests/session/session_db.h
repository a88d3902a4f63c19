#pragma once

// A fresh accounting database with the full schema for the main module's
// tests, in DatabaseTest's folder: the session record empty and no session
// link, so the layer reads the session as a program that has not started.

#include "support/database_test/database_test.h"
#include "support/printers.h"

#include <QString>

namespace kl::test {

class SessionDbTest : public DatabaseTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    // TA_MENU.Proceso of the task carried out by the running program, as
    // the main menu writes it: the access check finds it by the
    // executable's name.
    static QString procesoDelPrograma();
    // Connects the shared layer to the database as `usuario`.
    void connect(const QString& usuario = QStringLiteral("ADMIN"));

  private:
    db::SessionLink previousLink_;
};

}  // namespace kl::test
