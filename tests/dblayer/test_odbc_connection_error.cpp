// The connection-error dialog for a real failed connection: a SQL Server
// that cannot be reached through FreeTDS (a local port nobody listens on).

#include "dblayer/messages.h"
#include "embedded_db.h"
#include "platform/ado/odbc_test_drivers.h"
#include "platform/textfile.h"
#include "support/closed_port.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace kl::db::test {
namespace {

using kl::test::closedPort;

class CancelledLogin final : public LoginPrompt {
  public:
    LoginAnswer show(const LoginBoxes& initial) override {
        shown.push_back(initial);
        return {false, initial};
    }
    std::vector<LoginBoxes> shown;
};

class UnreachableServer : public EmbeddedDbTest {
  protected:
    void SetUp() override {
        EmbeddedDbTest::SetUp();
        kl::test::useTestOdbcDrivers();
        if (!kl::test::testOdbcDriverRegistered("FreeTDS"))
            GTEST_SKIP() << "FreeTDS's ODBC driver is not installed (setup.sh installs tdsodbc)";
        // No settings file of this computer chooses another driver.
        previousConfig_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path()));
        previousLogin_ = installLoginPrompt(login_);
        db().gServidor = QStringLiteral("127.0.0.1,%1").arg(closedPort());
        db().gDBName = QStringLiteral("CONTAB");
        db().gUsuario = QStringLiteral("sa");
        db().gUserPassWord = QStringLiteral("Clave.Secreta");
    }
    void TearDown() override {
        installLoginPrompt(previousLogin_);
        if (previousConfig_.isEmpty())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", previousConfig_);
        EmbeddedDbTest::TearDown();
    }
    // What the layer wrote to its trace and error log.
    QString written() {
        return traced().join(u'\n') + kl::cp1252::readFile(path("KVERR.LOG")).value_or(QString());
    }

    std::shared_ptr<CancelledLogin> login_ = std::make_shared<CancelledLogin>();
    QTemporaryDir config_;
    QByteArray previousConfig_;
    std::shared_ptr<LoginPrompt> previousLogin_;
};

TEST_F(UnreachableServer, TheDialogShowsTheDriversErrorAndNoGivesUp) {
    boxes_.answer(answer::No);
    db().OpenServerADODB(false, ado::adUseClient, QString(), true, true);
    EXPECT_FALSE(db().gOpenFlag);
    EXPECT_EQ(db().gCnn->State(), ado::adStateClosed);
    ASSERT_EQ(boxes_.shown().size(), 1u);
    const ShownBox& box = boxes_.shown()[0];
    EXPECT_EQ(box.title, " Error de Conexion a Base de Datos");
    EXPECT_EQ(box.style, mb::YesNo | mb::Critical);
    EXPECT_TRUE(box.text.startsWith(
        " Estado de Sql: 08S01\nNumero de Error: -2147467259\nDescripcion: Unable to connect: "
        "Adaptive Server is unavailable or does not exist\nCodigo Nativo: 20009\n"))
        << box.text.toStdString();
    ASSERT_FALSE(db().gCnn->errors().empty());
    EXPECT_EQ(box.text, normalizeLineBreaks(connectionErrorText(db().gCnn->errors().Item(0),
                                                                db().gServidor, "sa")));
    EXPECT_TRUE(login_->shown.empty());
    EXPECT_FALSE(written().contains("Clave.Secreta"));
}

TEST_F(UnreachableServer, YesShowsTheLoginWindow) {
    boxes_.answer(answer::Yes);
    db().OpenServerADODB(false, ado::adUseClient, QString(), true, true);
    ASSERT_EQ(login_->shown.size(), 1u);
    EXPECT_EQ(login_->shown[0].TxtServidor, db().gServidor);
    EXPECT_EQ(login_->shown[0].TxtDbName, "CONTAB");
    // The window cancelled: no connection, and no further box.
    EXPECT_FALSE(db().gOpenFlag);
    EXPECT_EQ(boxes_.shown().size(), 1u);
    EXPECT_FALSE(written().contains("Clave.Secreta"));
}

}  // namespace
}  // namespace kl::db::test
