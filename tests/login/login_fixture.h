#pragma once

// What the login tests share: a program folder of their own (BASES.TXT and
// ODBC.exe live there), the session and the access layer started afresh.

#include "dblayer/application_hooks.h"
#include "dblayer/db_dll.h"
#include "login/bases_txt.h"
#include "platform/textfile.h"
#include "session/sesion.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kl::test {

class LoginTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(programa_.isValid());
        previa_ = login::installCarpetaPrograma(programa_.path());
        sesion() = Sesion{};
        db::releaseSharedDb();
    }
    void TearDown() override {
        db::releaseSharedDb();
        db::installLoginPrompt(nullptr);
        sesion() = Sesion{};
        login::installCarpetaPrograma(previa_);
    }

    QString carpeta() const { return programa_.path(); }
    QString bases() const { return QDir(programa_.path()).filePath("BASES.TXT"); }

    // BASES.TXT exactly as given, bytes and line ends included.
    void escribeBases(const QByteArray& bytes) const {
        QFile file(bases());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QString leeBases() const { return cp1252::readFile(bases()).value_or("<no existe>"); }

  private:
    QTemporaryDir programa_;
    QString previa_;
};

}  // namespace kl::test
