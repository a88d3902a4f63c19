// Connections to the embedded engine: connection strings, opening, errors
// that depend on the file, the statement trace.

#include "backends.h"
#include "platform/ado/ado.h"
#include "platform/ado/busy_wait.h"
#include "platform/ado/connection_string.h"
#include "platform/ado/sql_trace.h"
#include "platform/sqlite_engine/errors.h"
#include "support/embedded_db.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sqlite3.h>

namespace kl::ado {
namespace {

using kl::test::EmbeddedDb;

TEST(ConnectionStrings, ReadKeysWithoutRegardToCaseOrBlanks) {
    const auto s = parseConnectionString(
        "PROVIDER=SQLOLEDB;Server=SRV01\\CONTA;Database =CONTAB;UId=sa;Pwd=;Extra = x ;");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->kind, ConnectionSettings::Kind::SqlServer);
    EXPECT_EQ(s->server, "SRV01\\CONTA");
    EXPECT_EQ(s->database, "CONTAB");
    EXPECT_EQ(s->user, "sa");
    EXPECT_EQ(s->password, "");
    EXPECT_EQ(s->value("EXTRA"), "x");
    EXPECT_TRUE(s->embeddedFile.isEmpty());

    const auto embedded =
        parseConnectionString("PROVIDER=SQLOLEDB;Server=SQLite;Database =/tmp/a b.db;UId=u;Pwd=p;");
    ASSERT_TRUE(embedded);
    EXPECT_EQ(embedded->embeddedFile, "/tmp/a b.db");
    EXPECT_EQ(embedded->secrets(), QStringList{"p"});
}

TEST(ConnectionStrings, EveryValueWrittenIsReadBackExactly) {
    for (const QString value : {"clave", "", "'abc", "\"abc", "a;b", " x ", "a\"b;'c", "O'Brien"}) {
        const QString written =
            "PROVIDER=SQLOLEDB;Server=srv;Database =" + connectionStringValue(value) +
            ";UId=" + connectionStringValue(value) + ";Pwd=" + connectionStringValue(value) +
            ";Extra=1;";
        const auto s = parseConnectionString(written);
        ASSERT_TRUE(s) << written.toStdString();
        EXPECT_EQ(s->database, value) << written.toStdString();
        EXPECT_EQ(s->user, value);
        EXPECT_EQ(s->password, value);
        EXPECT_EQ(s->value("extra"), "1") << "no value swallows the pairs after it";
    }
    EXPECT_EQ(connectionStringValue("clave"), "clave");
}

TEST(ConnectionStrings, ReadOracleAndJetStringsAndQuotedValues) {
    const auto oracle = parseConnectionString(
        "Provider=OraOLEDB.Oracle.1;Data Source=CONTA;User Id=kl;Password=clave;");
    ASSERT_TRUE(oracle);
    EXPECT_EQ(oracle->kind, ConnectionSettings::Kind::Oracle);
    EXPECT_EQ(oracle->database, "CONTA");
    EXPECT_EQ(oracle->user, "kl");
    EXPECT_EQ(oracle->password, "clave");

    const auto jet = parseConnectionString(
        "PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source =c:\\datos\\conta.mdb;User ID=admin;"
        "Password=;Jet OLEDB:Database Password=\"se;creta\";");
    ASSERT_TRUE(jet);
    EXPECT_EQ(jet->kind, ConnectionSettings::Kind::Jet);
    EXPECT_EQ(jet->embeddedFile, "c:\\datos\\conta.mdb");
    EXPECT_EQ(jet->value("jet oledb:database password"), "se;creta");
    EXPECT_EQ(jet->secrets(), QStringList{"se;creta"});

    EXPECT_FALSE(parseConnectionString("esto no es una cadena"));
}

class EmbeddedConnection : public ::testing::Test {
  protected:
    void SetUp() override {
        connection_ = EmbeddedDb::connectionString(
            kl::test::createEmbeddedTestDatabase(folder_, QStringLiteral("conta.db")));
    }
    EmbeddedDb folder_;
    QString connection_;
    Connection cnn_;
};

TEST_F(EmbeddedConnection, AMissingFileFailsWithoutCreatingOne) {
    const QString missing = folder_.path("no_existe.db");
    const StepResult e = cnn_.Open(EmbeddedDb::connectionString(missing));
    ASSERT_TRUE(e);
    EXPECT_EQ(e->number, err::ProviderFailure);
    EXPECT_EQ(cnn_.State(), adStateClosed);
    ASSERT_EQ(cnn_.errors().Count(), 1);
    EXPECT_EQ(cnn_.errors().Item(0).Number, err::ProviderFailure);
    EXPECT_TRUE(cnn_.errors().Item(0).Description.contains("no_existe.db"));
    EXPECT_TRUE(cnn_.errors().Item(0).Description.contains("no existe"));
    EXPECT_EQ(e->description, cnn_.errors().Item(0).Description);
    EXPECT_FALSE(QFileInfo::exists(missing));
}

TEST_F(EmbeddedConnection, FilesThatAreNoDatabaseFail) {
    QFile text(folder_.path("texto.db"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write(QByteArray("esto no es una base de datos, es un archivo de texto cualquiera.\n")
                   .repeated(100));
    text.close();
    QFile(folder_.path("vacio.db")).open(QIODevice::WriteOnly);
    for (const QString& name :
         {QStringLiteral("texto.db"), QStringLiteral("vacio.db"), QString()}) {
        const StepResult e = cnn_.Open(EmbeddedDb::connectionString(folder_.path(name)));
        ASSERT_TRUE(e) << name.toStdString();
        EXPECT_EQ(e->number, err::ProviderFailure);
        EXPECT_EQ(cnn_.State(), adStateClosed);
    }
}

TEST(OpenFailures, SayWhatIsWrongInSpanish) {
    using sqlite::OpenCircumstances;
    struct Case {
        int code;
        OpenCircumstances around;
        const char* says;
    } const cases[] = {
        {SQLITE_CANTOPEN, {.folderWritable = false}, "permiso para escribir en la carpeta"},
        {SQLITE_READONLY, {.fileWritable = false}, "permiso para escribir el archivo"},
        {SQLITE_IOERR, {.diskFull = true}, "espacio libre"},
        {SQLITE_FULL, {}, "espacio libre"},
        {SQLITE_BUSY, {}, "bloqueada"},
        {SQLITE_NOTADB, {}, "no es una base de datos"},
        {SQLITE_CORRUPT, {}, "dañado"},
        {SQLITE_CANTOPEN, {}, "no se puede abrir (SQLite: x)"},
    };
    for (const Case& c : cases) {
        const QString reason = sqlite::openFailureReason(c.code, "x", c.around);
        EXPECT_TRUE(reason.contains(QString::fromUtf8(c.says))) << reason.toStdString();
    }
}

TEST_F(EmbeddedConnection, DamageIsReportedAndStopsEveryWrite) {
    const QString file = folder_.path("conta.db");
    ASSERT_FALSE(cnn_.Open(connection_));
    ASSERT_FALSE(cnn_.BeginTrans());
    for (int i = 0; i < 1500; ++i)
        ASSERT_FALSE(cnn_.Execute(QStringLiteral("INSERT INTO MA_CUENTAS (CODIGO, NOMBRE) VALUES "
                                                 "('%1', '%2')")
                                      .arg(i)
                                      .arg(QString(30, u'x'))));
    ASSERT_FALSE(cnn_.CommitTrans());
    ASSERT_FALSE(cnn_.Close());
    // Every page but the schema's first is overwritten.
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    const qint64 page = 4096;
    for (qint64 at = page; at < f.size(); at += page) {
        f.seek(at);
        f.write(QByteArray(static_cast<int>(page), '\x5a'));
    }
    f.close();

    const StepResult opened = cnn_.Open(connection_);
    if (opened) {
        // Damage that reaches the schema already shows at the open.
        EXPECT_TRUE(opened->description.contains(QString::fromUtf8("dañado")))
            << opened->description.toStdString();
        return;
    }
    const StepResult read = cnn_.Execute("SELECT count(*), max(NOMBRE) FROM MA_CUENTAS");
    ASSERT_TRUE(read);
    EXPECT_EQ(cnn_.errors().Item(0).NativeError, 824);
    EXPECT_TRUE(cnn_.errors().Item(0).Description.contains(QString::fromUtf8("dañada")));
    for (const char* write : {"INSERT INTO MA_CUENTAS (CODIGO) VALUES ('x')",
                              "UPDATE TA_CONFIGURACION SET VALOR = '1'"}) {
        ASSERT_TRUE(cnn_.Execute(write)) << write;
        EXPECT_EQ(cnn_.errors().Item(0).NativeError, 824) << write;
    }
    EXPECT_TRUE(cnn_.BeginTrans());
}

TEST_F(EmbeddedConnection, ALockWaitIsShownAfterTwoSecondsAndCanBeCancelled) {
    Connection other;
    ASSERT_FALSE(cnn_.Open(connection_));
    ASSERT_FALSE(other.Open(connection_));
    ASSERT_FALSE(other.BeginTrans());  // the other station holds the write lock
    std::vector<int> waits;
    setBusyWaitObserver([&waits](int waitedMs) {
        waits.push_back(waitedMs);
        return waits.size() < 3;  // the operator cancels at the third look
    });
    QElapsedTimer clock;
    clock.start();
    const StepResult e = cnn_.Execute("INSERT INTO MA_CUENTAS (CODIGO) VALUES ('1')");
    setBusyWaitObserver({});
    ASSERT_TRUE(e);
    EXPECT_EQ(e->number, err::Timeout);
    // The operator stopped it: no time ran out.
    EXPECT_EQ(e->description.toStdString(),
              "Se dejó de esperar a pedido del operador: otro puesto tiene bloqueada la base de "
              "datos.");
    ASSERT_EQ(waits.size(), 3u);
    EXPECT_GE(waits.front(), kBusyWaitSilentMs);
    EXPECT_LT(clock.elapsed(), 10000) << "cancelling ends the wait";
    ASSERT_FALSE(other.RollbackTrans());
    EXPECT_FALSE(cnn_.Execute("INSERT INTO MA_CUENTAS (CODIGO) VALUES ('1')"));
}

TEST_F(EmbeddedConnection, ProvidersWithoutAnEngineHereAreNotAvailable) {
    for (const char* text : {"Provider=IBMDADB2;Database=CONTA;UID=kl;PWD=x;",
                             "PROVIDER=VFPOLEDB.1;Data Source=c:\\datos\\conta;"}) {
        const StepResult e = cnn_.Open(QString::fromLatin1(text));
        ASSERT_TRUE(e) << text;
        EXPECT_EQ(e->number, err::ProviderFailure);
        EXPECT_TRUE(e->description.startsWith("El proveedor ")) << e->description.toStdString();
        EXPECT_TRUE(e->description.contains("no está disponible"));
        EXPECT_EQ(cnn_.errors().Count(), 1);
    }
}

TEST_F(EmbeddedConnection, JetStringsOpenTheEmbeddedFile) {
    const QString file = kl::test::createEmbeddedTestDatabase(folder_, "local.mdb");
    EXPECT_FALSE(cnn_.Open("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source =" + file +
                           ";User ID=admin;Password=;"));
    EXPECT_EQ(cnn_.engine(), Engine::Sqlite);
}

TEST_F(EmbeddedConnection, ObjectStateErrorsAreAdosOwn) {
    EXPECT_EQ(cnn_.Close()->number, err::ObjectClosed);
    EXPECT_EQ(cnn_.Execute("SELECT 1")->number, err::ConnectionClosed);
    EXPECT_EQ(cnn_.BeginTrans()->number, err::ConnectionClosed);
    EXPECT_EQ(cnn_.setDefaultDatabase("x")->number, err::ConnectionClosed);
    ASSERT_FALSE(cnn_.Open(connection_));
    const StepResult again = cnn_.Open(connection_);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->number, err::AlreadyOpen);
    EXPECT_EQ(again->source, "ADODB.Connection");
    EXPECT_TRUE(cnn_.errors().empty()) << "ADO's own errors leave the provider's list empty";
    EXPECT_EQ(cnn_.State(), adStateOpen);
    // Reconnecting with the connection's own string, as after a lost connection.
    EXPECT_FALSE(cnn_.Close());
    EXPECT_FALSE(cnn_.Open(cnn_.ConnectionString(), "sa", "secreto"));
}

TEST_F(EmbeddedConnection, DefaultDatabaseNamesTheOpenFile) {
    ASSERT_FALSE(cnn_.Open(connection_));
    const QString file = folder_.path("conta.db");
    EXPECT_EQ(cnn_.DefaultDatabase(), file);
    EXPECT_FALSE(cnn_.setDefaultDatabase(file));
    EXPECT_FALSE(cnn_.setDefaultDatabase("CONTA"));
    const StepResult e = cnn_.setDefaultDatabase("OTRA");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->number, err::ProviderFailure);
    EXPECT_EQ(cnn_.DefaultDatabase(), "CONTA");
}

TEST_F(EmbeddedConnection, IndexesOverAColumnAreDeferredOnlyInsideATransaction) {
    ASSERT_FALSE(cnn_.Open(connection_));
    ASSERT_FALSE(cnn_.Execute(
        "CREATE TABLE DIARIO (ID INT PRIMARY KEY, CUENTA VARCHAR(20) UNIQUE, OTRA INT, X INT)"));
    ASSERT_FALSE(cnn_.Execute("CREATE INDEX IX_CUENTA_OTRA ON DIARIO (OTRA, CUENTA)"));
    ASSERT_FALSE(cnn_.Execute("CREATE INDEX IX_X ON DIARIO (X)"));
    ASSERT_FALSE(cnn_.Execute("INSERT INTO DIARIO VALUES (1, '11', 1, 1)"));
    const auto indexes = [&] {
        std::unique_ptr<Recordset> rs;
        EXPECT_FALSE(
            cnn_.Execute("SELECT group_concat(name, ',') FROM (SELECT name FROM "
                         "sqlite_master WHERE type = 'index' AND tbl_name = 'DIARIO' "
                         "ORDER BY name)",
                         nullptr, &rs));
        return rs ? rs->value(0).toString() : QString();
    };
    const QString all = indexes();

    std::vector<DeferrableIndex> deferred;
    const StepResult outside = cnn_.DeferIndexes("DIARIO", "CUENTA", deferred);
    ASSERT_TRUE(outside);
    EXPECT_EQ(outside->number, err::NoTransaction);
    EXPECT_TRUE(deferred.empty());

    // Only the non-unique index over the column goes; the unique one keeps
    // guarding the rewrite, and indexes over other columns are untouched.
    ASSERT_FALSE(cnn_.BeginTrans());
    ASSERT_FALSE(cnn_.DeferIndexes("diario", "cuenta", deferred));
    ASSERT_EQ(deferred.size(), 1u);
    EXPECT_EQ(deferred[0].create, "CREATE INDEX IX_CUENTA_OTRA ON DIARIO (OTRA, CUENTA)");
    EXPECT_FALSE(indexes().contains("IX_CUENTA_OTRA"));
    EXPECT_TRUE(indexes().contains("IX_X"));
    ASSERT_FALSE(cnn_.RollbackTrans());
    EXPECT_EQ(indexes(), all) << "a rollback brings the index back";

    ASSERT_FALSE(cnn_.BeginTrans());
    ASSERT_FALSE(cnn_.DeferIndexes("DIARIO", "CUENTA", deferred));
    ASSERT_FALSE(cnn_.Execute("UPDATE DIARIO SET CUENTA = '101'"));
    ASSERT_FALSE(cnn_.RebuildIndexes(deferred));
    ASSERT_FALSE(cnn_.CommitTrans());
    EXPECT_EQ(indexes(), all);
}

TEST_F(EmbeddedConnection, ASizeGuardIsSetAsideOnlyForValuesThatFitAndComesBack) {
    ASSERT_FALSE(cnn_.Open(connection_));
    ASSERT_FALSE(cnn_.Execute("CREATE TABLE DIARIO (ID INT PRIMARY KEY, CUENTA VARCHAR(4))"));
    ASSERT_FALSE(cnn_.Execute("INSERT INTO DIARIO VALUES (1, '11')"));
    std::vector<DeferrableIndex> deferred;
    ASSERT_TRUE(cnn_.DeferSizeGuard("DIARIO", "CUENTA", 4, deferred)) << "outside a transaction";

    ASSERT_FALSE(cnn_.BeginTrans());
    ASSERT_TRUE(cnn_.DeferSizeGuard("DIARIO", "CUENTA", 5, deferred));
    EXPECT_EQ(cnn_.errors().Item(0).NativeError, 8152);
    EXPECT_TRUE(deferred.empty());
    ASSERT_FALSE(cnn_.DeferSizeGuard("diario", "cuenta", 4, deferred));
    ASSERT_EQ(deferred.size(), 1u);
    ASSERT_FALSE(cnn_.Execute("UPDATE DIARIO SET CUENTA = '1111'"));
    ASSERT_FALSE(cnn_.RebuildIndexes(deferred));
    ASSERT_FALSE(cnn_.CommitTrans());
    ASSERT_TRUE(cnn_.Execute("UPDATE DIARIO SET CUENTA = '11111'")) << "the guard is back";
    EXPECT_EQ(cnn_.errors().Item(0).NativeError, 8152);
}

TEST_F(EmbeddedConnection, DateLiteralsSuitTheEngine) {
    const QDateTime when(QDate(2026, 12, 31), QTime(10, 5, 9));
    cnn_.setConnectionString("PROVIDER=SQLOLEDB;Server=SRV;Database =X;UId=sa;Pwd=;");
    EXPECT_EQ(cnn_.dateLiteral(when), "'20261231 10:05:09'");
    cnn_.setConnectionString("Provider=OraOLEDB.Oracle.1;Data Source=X;User Id=a;Password=b;");
    EXPECT_EQ(cnn_.dateLiteral(when), "TO_DATE('20261231 100509','YYYYMMDD HH24MISS')");
    ASSERT_FALSE(cnn_.Open(connection_));
    EXPECT_EQ(cnn_.dateLiteral(when), "'2026-12-31 10:05:09'");
    // The literal compares correctly with the stored dates.
    ASSERT_FALSE(cnn_.Execute(
        "INSERT INTO CONTROL_ACCESO (USUARIO, ENTRADA) VALUES ('A', '31/12/2026 10:05:09')"));
    std::unique_ptr<Recordset> rs;
    ASSERT_FALSE(
        cnn_.Execute("SELECT USUARIO FROM CONTROL_ACCESO WHERE ENTRADA = " + cnn_.dateLiteral(when),
                     nullptr, &rs));
    EXPECT_FALSE(rs->EOF());
}

TEST_F(EmbeddedConnection, ADeletedFileIsALostConnection) {
    ASSERT_FALSE(cnn_.Open(connection_));
    ASSERT_FALSE(cnn_.Execute("SELECT count(*) FROM MA_CUENTAS"));
    const QString file = folder_.path("conta.db");
    for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
        QFile::remove(file + suffix);

    const StepResult e = cnn_.Execute("UPDATE MA_CUENTAS SET NOMBRE = 'X'");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->number, err::ProviderFailure);
    ASSERT_EQ(cnn_.errors().Count(), 1);
    EXPECT_EQ(cnn_.errors().Item(0).NativeError, err::NativeNetwork);
    EXPECT_EQ(cnn_.errors().Item(0).SQLState, "08S01");
    Recordset rs;
    EXPECT_EQ(rs.Open("SELECT * FROM MA_CUENTAS", cnn_)->number, err::ProviderFailure);
    EXPECT_EQ(cnn_.errors().Item(0).NativeError, err::NativeNetwork);

    // Reconnecting fails as a database that cannot be opened, and makes no file.
    EXPECT_FALSE(cnn_.Close());
    EXPECT_EQ(cnn_.Open(connection_)->number, err::ProviderFailure);
    EXPECT_FALSE(QFileInfo::exists(file));
}

TEST_F(EmbeddedConnection, AFileReplacedUnderAnOpenConnectionIsALostConnection) {
    ASSERT_FALSE(cnn_.Open(connection_));
    ASSERT_FALSE(cnn_.Execute("INSERT INTO MA_CUENTAS (CODIGO) VALUES ('1')"));
    // A copy put in its place (a backup restored while the program runs):
    // writing on would write into the file that is gone.
    const QString file = folder_.path("conta.db");
    const QString copy = kl::test::createEmbeddedTestDatabase(folder_, "copia.db");
    ASSERT_TRUE(QFile::remove(file));
    ASSERT_TRUE(QFile::rename(copy, file));
    const StepResult e = cnn_.Execute("INSERT INTO MA_CUENTAS (CODIGO) VALUES ('2')");
    ASSERT_TRUE(e);
    EXPECT_EQ(cnn_.errors().Item(0).NativeError, err::NativeNetwork);
    EXPECT_TRUE(cnn_.errors().Item(0).Description.contains("reemplazado"));
}

class Trace : public EmbeddedConnection {
  protected:
    void SetUp() override {
        EmbeddedConnection::SetUp();
        traceFile_ = folder_.path("traza.sql");
        qputenv("KL_TRAZA_SQL", traceFile_.toLocal8Bit());
    }
    void TearDown() override { qunsetenv("KL_TRAZA_SQL"); }
    QByteArray traced() const {
        QFile f(traceFile_);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString traceFile_;
};

TEST_F(Trace, EveryStatementIsOneUtf8LineAsHandedToTheLayer) {
    ASSERT_FALSE(cnn_.Open(connection_));
    ASSERT_FALSE(cnn_.Execute("INSERT INTO MA_CUENTAS (CODIGO, NOMBRE)\r\nVALUES ('1', 'PEÑA')"));
    Recordset rs;
    ASSERT_FALSE(rs.Open("SELECT TOP 1 * FROM MA_CUENTAS with(nolock)\nWHERE CODIGO = '1'", cnn_));
    EXPECT_TRUE(cnn_.Execute("SELEC mal"));
    EXPECT_EQ(traced(),
              QStringLiteral("INSERT INTO MA_CUENTAS (CODIGO, NOMBRE)\\nVALUES ('1', 'PEÑA')\n"
                             "SELECT TOP 1 * FROM MA_CUENTAS with(nolock)\\nWHERE CODIGO = '1'\n"
                             "SELEC mal\n")
                  .toUtf8());
}

TEST_F(Trace, PasswordsNeverReachTheTrace) {
    ASSERT_FALSE(cnn_.Open(connection_, "sa", "otraClave"));
    ASSERT_FALSE(cnn_.Execute("UPDATE TA_CONFIGURACION SET VALOR = 'secreto' WHERE CLAVE = 'x'"));
    ASSERT_FALSE(cnn_.Execute("UPDATE TA_CONFIGURACION SET VALOR = 'otraClave' WHERE CLAVE = 'y'"));
    const QByteArray text = traced();
    EXPECT_FALSE(text.contains("secreto"));
    EXPECT_FALSE(text.contains("otraClave"));
    EXPECT_TRUE(text.contains("SET VALOR = '********' WHERE CLAVE = 'x'"));
    EXPECT_FALSE(text.contains("Server=sqlite"));
}

TEST(TraceLine, KeepsLiteralsThatAreNoPassword) {
    EXPECT_EQ(traceLine("SELECT 'a''b', 'clave'\r\n", {"clave"}), "SELECT 'a''b', '********'\\n");
    EXPECT_EQ(traceLine("SELECT 'sin cerrar", {"x"}), "SELECT 'sin cerrar");
}

}  // namespace
}  // namespace kl::ado
