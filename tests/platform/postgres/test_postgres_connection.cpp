// A PostgreSQL server through its ODBC driver, on the tests' own server: the
// driver chosen the way the module chooses drivers (KL000p.INI), the server
// given as "host,port" or as its socket folder, the engine known from the
// driver's answer, and every way a login fails ending in a Spanish message,
// quickly, in the layer's connection-error dialog.

#include "cli.h"
#include "dblayer/db_dll.h"
#include "dblayer/messages.h"
#include "platform/ado/ado.h"
#include "platform/ado/connection_string.h"
#include "platform/ado/odbc/odbc_connection_string.h"
#include "platform/ado/odbc_test_drivers.h"
#include "platform/textfile.h"
#include "support/database_test/database_test.h"
#include "support/postgres_cluster/postgres_cluster.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace kl::ado::odbc {
namespace {

using kl::test::PostgresCluster;

const QString kDriver = QStringLiteral("PostgreSQL Unicode");

// A socket bound to a loopback port: listening, a server that takes the
// connection and never answers; not listening, a port nobody is on.
class LoopbackSocket {
  public:
    explicit LoopbackSocket(bool listening) : socket_(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        if (listening) ::listen(socket_, 4);
    }
    ~LoopbackSocket() { ::close(socket_); }
    int port() const { return port_; }

  private:
    int socket_;
    int port_ = 0;
};

TEST(PostgresConnectionStrings, TheServerTakesItsPortApartAndAFolderIsItsSocket) {
    OdbcDrivers drivers;
    drivers.sqlServer = kDriver;
    struct Case {
        const char* server;
        const char* odbc;
    };
    for (const Case& c : {
             Case{"127.0.0.1,5433", "SERVER=127.0.0.1;PORT=5433;"},
             {"contabilidad.oficina", "SERVER=contabilidad.oficina;"},
             {" (local) , 5433", "SERVER=localhost;PORT=5433;"},
             {".", "SERVER=localhost;"},
             {"/var/run/postgresql", "SERVER=/var/run/postgresql;"},
             {"/tmp/kl pg,5433", "SERVER=/tmp/kl pg;PORT=5433;"},
         }) {
        SCOPED_TRACE(c.server);
        const std::optional<ConnectionSettings> s = parseConnectionString(
            QStringLiteral("PROVIDER=SQLOLEDB;Server=%1;Database =conta;UId=kl;Pwd=x;")
                .arg(QLatin1String(c.server)));
        ASSERT_TRUE(s);
        EXPECT_EQ(odbcConnectionString(*s, drivers, DriverFamily::PsqlOdbc, QString()).text,
                  QStringLiteral("DRIVER=PostgreSQL Unicode;%1DATABASE=conta;UID=kl;PWD=x;")
                      .arg(QLatin1String(c.odbc)));
    }
    EXPECT_EQ(familyOfLibrary("/usr/lib/x86_64-linux-gnu/odbc/psqlodbcw.so"),
              DriverFamily::PsqlOdbc);
    EXPECT_EQ(familyOfLibrary("psqlodbca.so"), DriverFamily::PsqlOdbc);
}

// The program's SQL Server strings reach the tests' server with the driver
// KL000p.INI names for SQL Server.
class PostgresServer : public ::testing::Test {
  protected:
    void SetUp() override {
        pg_ = PostgresCluster::shared();
        if (!pg_) GTEST_SKIP() << PostgresCluster::unavailableReason().toStdString();
        static const bool created = pg_->createDatabase(QStringLiteral("conta"));
        ASSERT_TRUE(created);
        previousConfig_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path()));
        ASSERT_TRUE(kl::cp1252::writeFile(QDir(config_.path()).filePath("KL000p.INI"),
                                          "[ODBC]\r\nDriverSQLServer=" + kDriver + "\r\n"));
    }
    void TearDown() override {
        if (previousConfig_.isEmpty())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", previousConfig_);
    }
    static QString sqlServerString(const QString& server, const QString& database = "conta",
                                   const QString& password = PostgresCluster::kPassword) {
        return QStringLiteral("PROVIDER=SQLOLEDB;Server=%1;Database =%2;UId=kl;Pwd=%3;")
            .arg(server, database, password);
    }
    QString tcpServer() const { return QStringLiteral("127.0.0.1,%1").arg(pg_->port()); }
    QString scalar(Connection& cnn, const QString& sql) {
        std::unique_ptr<Recordset> rs;
        const StepResult e = cnn.Execute(sql, nullptr, &rs);
        if (e) return "<error: " + e->description + ">";
        return rs->EOF() ? QStringLiteral("<no rows>") : rs->value(0).toString();
    }

    PostgresCluster* pg_ = nullptr;
    QTemporaryDir config_;
    QByteArray previousConfig_;
};

TEST_F(PostgresServer, TheDriverAnswersPostgreSqlAndTheConnectionGetsItsOwnDialect) {
    for (const QString& connection :
         {sqlServerString(tcpServer()),
          sqlServerString(QStringLiteral("%1,%2").arg(pg_->socketFolder()).arg(pg_->port())),
          pg_->odbcConnectionString("conta")}) {
        SCOPED_TRACE(connection.toStdString());
        Connection cnn;
        const StepResult e = cnn.Open(connection);
        ASSERT_FALSE(e) << e->description.toStdString();
        EXPECT_EQ(cnn.engine(), Engine::PostgreSql);
        EXPECT_EQ(scalar(cnn, "SELECT current_database()"), "conta");
        EXPECT_EQ(cnn.DefaultDatabase(), "conta");
    }
}

TEST_F(PostgresServer, TheSessionReadsTheProgramsDatesDayFirst) {
    Connection cnn;
    ASSERT_FALSE(cnn.Open(sqlServerString(tcpServer())));
    std::unique_ptr<Recordset> rs;
    ASSERT_FALSE(
        cnn.Execute("SELECT CAST('10/12/26 05:20' AS timestamp), "
                    "CAST('20261210 05:20:00' AS timestamp)",
                    nullptr, &rs));
    const QDateTime tenthOfDecember(QDate(2026, 12, 10), QTime(5, 20));
    EXPECT_EQ(rs->value(0).toDateTime(), tenthOfDecember);
    EXPECT_EQ(rs->value(1).toDateTime(), tenthOfDecember) << "the layer's own date literal";
}

TEST_F(PostgresServer, ALoginThatFailsSaysWhyInSpanishAndSoon) {
    const LoopbackSocket nobody(false);
    const LoopbackSocket silent(true);
    struct Case {
        const char* name;
        QString connection;
        QString says;
    };
    const Case cases[] = {
        {"wrong password", sqlServerString(tcpServer(), "conta", "Clave.Mala"),
         "El servidor PostgreSQL rechazó el inicio de sesión del usuario \"kl\""},
        {"unknown database", sqlServerString(tcpServer(), "no_existe"),
         "La base de datos \"no_existe\" no existe en el servidor PostgreSQL \"" + tcpServer() +
             "\"."},
        {"nobody on the port", sqlServerString(QStringLiteral("127.0.0.1,%1").arg(nobody.port())),
         QStringLiteral("No se pudo conectar con el servidor PostgreSQL \"127.0.0.1,%1\"")
             .arg(nobody.port())},
        {"no socket in the folder", sqlServerString(QDir::tempPath() + "/kl-no-hay-servidor"),
         "No se pudo conectar con el servidor PostgreSQL"},
        {"a server that never answers",
         sqlServerString(QStringLiteral("127.0.0.1,%1").arg(silent.port())) + "Connect Timeout=2;",
         "No se pudo conectar con el servidor PostgreSQL"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Connection cnn;
        QElapsedTimer clock;
        clock.start();
        ASSERT_TRUE(cnn.Open(c.connection));
        EXPECT_LT(clock.elapsed(), 4500) << "a login never hangs";
        EXPECT_EQ(cnn.State(), adStateClosed);
        ASSERT_FALSE(cnn.errors().empty());
        const Error& first = cnn.errors().Item(0);
        EXPECT_EQ(first.Number, err::ProviderFailure);
        EXPECT_TRUE(first.SQLState.startsWith("08")) << first.SQLState.toStdString();
        EXPECT_TRUE(first.Description.startsWith(c.says)) << first.Description.toStdString();
        EXPECT_TRUE(first.Description.contains("Respuesta del servidor: "));
        EXPECT_FALSE(first.Description.contains(PostgresCluster::kPassword));
        EXPECT_FALSE(first.Description.contains("Clave.Mala"));
    }
}

TEST_F(PostgresServer, AStoppedServerRefusesNewLoginsAndTheOpenConnectionKnowsItIsLost) {
    Connection open;
    ASSERT_FALSE(open.Open(sqlServerString(tcpServer())));
    ASSERT_TRUE(pg_->stop());
    Connection later;
    ASSERT_TRUE(later.Open(sqlServerString(tcpServer())));
    EXPECT_TRUE(later.errors().Item(0).Description.startsWith(
        "No se pudo conectar con el servidor PostgreSQL \"" + tcpServer() + "\""))
        << later.errors().Item(0).Description.toStdString();
    const StepResult lost = open.Execute("SELECT 1");
    ASSERT_TRUE(lost);
    EXPECT_EQ(open.errors().Item(0).Number, err::ProviderFailure);

    ASSERT_TRUE(pg_->start());
    Connection again;
    EXPECT_FALSE(again.Open(sqlServerString(tcpServer())));
}

TEST_F(PostgresServer, KlbaseConsultaRunsOnTheServerItsConnectionStringNames) {
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    kl::db::sharedDb().setArchivoErrores(Value(config_.filePath("KVERR.LOG")));
    const int status = kl::klbase::runCommand(
        {"consulta", pg_->odbcConnectionString("conta"), "ADMIN", "SELECT current_database()"},
        outStream, errStream);
    outStream.flush();
    errStream.flush();
    EXPECT_EQ(status, 0) << err.toStdString();
    EXPECT_EQ(out, "SELECT current_database()\nconta\n");
}

// The start-up's own call, on a server: the connection-error dialog with the
// Spanish cause; a database that is there connects.
class PostgresStartUp : public kl::test::DatabaseTest {
  protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        pg_ = PostgresCluster::shared();
        if (!pg_) GTEST_SKIP() << PostgresCluster::unavailableReason().toStdString();
        static const bool created = pg_->createDatabase(QStringLiteral("conta_inicio"));
        ASSERT_TRUE(created);
        previousConfig_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path()));
        ASSERT_TRUE(kl::cp1252::writeFile(QDir(config_.path()).filePath("KL000p.INI"),
                                          "[ODBC]\r\nDriverSQLServer=" + kDriver + "\r\n"));
        db().gServidor = QStringLiteral("127.0.0.1,%1").arg(pg_->port());
        db().gUsuario = QLatin1String(PostgresCluster::kSuperuser);
        db().gUserPassWord = QLatin1String(PostgresCluster::kPassword);
    }
    void TearDown() override {
        if (previousConfig_.isEmpty())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", previousConfig_);
        DatabaseTest::TearDown();
    }
    PostgresCluster* pg_ = nullptr;
    QTemporaryDir config_;
    QByteArray previousConfig_;
};

TEST_F(PostgresStartUp, AnUnknownDatabaseShowsTheConnectionErrorWithItsCause) {
    db().gDBName = QStringLiteral("no_existe");
    boxes_.answer(kl::answer::No);
    db().OpenServerADODB(false, adUseClient, QString(), true, true);
    EXPECT_FALSE(db().gOpenFlag);
    ASSERT_EQ(boxes_.shown().size(), 1u);
    const kl::ShownBox& box = boxes_.shown()[0];
    EXPECT_EQ(box.title, " Error de Conexion a Base de Datos");
    EXPECT_TRUE(
        box.text.startsWith(" Estado de Sql: 08001\nNumero de Error: -2147467259\n"
                            "Descripcion: La base de datos \"no_existe\" no existe en el "
                            "servidor PostgreSQL \"" +
                            db().gServidor + "\"."))
        << box.text.toStdString();
    EXPECT_FALSE(box.text.contains(PostgresCluster::kPassword));
}

TEST_F(PostgresStartUp, ADatabaseThatIsThereConnects) {
    db().gDBName = QStringLiteral("conta_inicio");
    db().OpenServerADODB(false, adUseClient, QString(), true, true);
    EXPECT_TRUE(db().gOpenFlag);
    EXPECT_TRUE(boxes_.shown().empty());
    EXPECT_EQ(db().gCnn->engine(), Engine::PostgreSql);
}

}  // namespace
}  // namespace kl::ado::odbc
