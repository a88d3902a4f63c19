// klbase consulta and klbase oracle: statements shown and run as the
// program runs them for a user.

#include "cli.h"
#include "consulta.h"
#include "support/printers.h"

#include "dblayer/application_hooks.h"
#include "dblayer/db_dll.h"
#include "platform/ado/busy_wait.h"
#include "support/embedded_db.h"

#include <QFile>

#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

namespace kl::klbase {
namespace {

const char kDatabase[] = R"sql(
CREATE TABLE TA_USUARIOS (nombre VARCHAR(30), Administrador INT);
INSERT INTO TA_USUARIOS VALUES ('ADMIN', 1), ('OPERADOR', 0);
CREATE TABLE TA_CONFIGURACION (GRUPO VARCHAR(20), CLAVE VARCHAR(40), VALOR VARCHAR(100),
                               VALORAUX VARCHAR(100));
INSERT INTO TA_CONFIGURACION VALUES ('SEGURIDAD', 'SS_CONFIDENCIALIDAD', 'si', NULL);
CREATE TABLE MA_CUENTAS (CODIGO VARCHAR(10), DESCRIPCION VARCHAR(40), NIVEL INT,
                         CONFIDENCIAL INT);
INSERT INTO MA_CUENTAS VALUES ('1', 'Activo', 1, 0), ('2', NULL, 1, 1), ('3', 'Caja	chica', 2, 0);
CREATE VIEW SS_MA_CUENTAS AS SELECT * FROM MA_CUENTAS WHERE CONFIDENCIAL = 0;
CREATE TABLE MV_ASIENTOS (ASIENTO INT, CUENTA VARCHAR(10), IMPORTE FLOAT);
INSERT INTO MV_ASIENTOS VALUES (1, '1', 100), (2, '2', 500);
CREATE VIEW SS_MV_ASIENTOS AS SELECT * FROM MV_ASIENTOS WHERE CUENTA <> '2';
)sql";

struct Result {
    int status = -1;
    QStringList out;
    QString err;
};

using Order = int (*)(const QStringList&, QTextStream&, QTextStream&);

Result run(Order order, const QStringList& arguments) {
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    Result r;
    r.status = order(arguments, outStream, errStream);
    outStream.flush();
    errStream.flush();
    r.out = out.split(u'\n');
    if (r.out.last().isEmpty()) r.out.removeLast();
    r.err = err;
    return r;
}

class Consulta : public testing::Test {
  protected:
    void SetUp() override { file_ = db_.create("contab.db", kDatabase); }

    Result consulta(const char* user, const QString& sql) {
        // Each run makes the shared layer anew: its notices log in the test's
        // folder, not beside the test program.
        db::sharedDb().setArchivoErrores(Value(db_.path("KVERR.LOG")));
        return run(ejecutaConsulta, {file_, QString::fromUtf8(user), sql});
    }

    test::EmbeddedDb db_;
    QString file_;
};

TEST_F(Consulta, AnOperatorReadsTheRestrictedView) {
    const Result r =
        consulta("OPERADOR", "SELECT CODIGO, DESCRIPCION FROM MA_CUENTAS ORDER BY CODIGO");
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringList({"SELECT CODIGO, DESCRIPCION FROM SS_MA_CUENTAS ORDER BY CODIGO",
                                  "1\tActivo", "3\tCaja\\tchica"}));
    EXPECT_EQ(r.err, "");

    const Result marked =
        consulta("OPERADOR", "SELECT CODIGO, DESCRIPCION FROM @Admin_MA_CUENTAS WHERE NIVEL = 1");
    EXPECT_EQ(marked.out, QStringList({"SELECT CODIGO, DESCRIPCION FROM MA_CUENTAS WHERE NIVEL = 1",
                                       "1\tActivo", "2\tNULL"}));
}

TEST_F(Consulta, AnAdministratorReadsTheFullTable) {
    const Result r =
        consulta("ADMIN", "SELECT CODIGO, DESCRIPCION FROM MA_CUENTAS WHERE NIVEL = 1");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, QStringList({"SELECT CODIGO, DESCRIPCION FROM MA_CUENTAS WHERE NIVEL = 1",
                                  "1\tActivo", "2\tNULL"}));
}

TEST_F(Consulta, TheConfidentialitySettingOfTheDatabaseDecidesForTheJournal) {
    const QString sum = "SELECT SUM(IMPORTE) FROM MV_ASIENTOS WHERE 1 = 1";
    EXPECT_EQ(consulta("OPERADOR", sum).out,
              QStringList({"SELECT SUM(IMPORTE) FROM SS_MV_ASIENTOS WHERE 1 = 1", "100"}));
    ASSERT_TRUE(test::EmbeddedDb::exec(file_, "UPDATE TA_CONFIGURACION SET VALOR = 'NO'"));
    EXPECT_EQ(consulta("OPERADOR", sum).out, QStringList({sum, "600"}));
}

// Another program holds the file's write lock for longer than a wait goes
// unshown: klbase says, once, that it waits, and then does the work.
TEST_F(Consulta, UnderAnotherProgramsLockItSaysThatItWaits) {
    enum { kPending, kLocked, kFailed };
    std::atomic<int> other_state = kPending;
    std::thread other([&] {
        sqlite3* handle = nullptr;
        sqlite3_open(file_.toUtf8().constData(), &handle);
        const bool locked =
            sqlite3_exec(handle, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
        other_state = locked ? kLocked : kFailed;
        if (locked)
            std::this_thread::sleep_for(std::chrono::milliseconds(ado::kBusyWaitSilentMs + 600));
        sqlite3_exec(handle, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(handle);
    });
    while (other_state == kPending) std::this_thread::yield();
    if (other_state != kLocked) {
        other.join();
        FAIL() << "the other program could not lock the file";
    }
    db::sharedDb().setArchivoErrores(Value(db_.path("KVERR.LOG")));
    const Result r = run(runCommand, {"consulta", file_, "ADMIN",
                                      "UPDATE MA_CUENTAS SET NIVEL = 1 WHERE CODIGO = '1'"});
    other.join();
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(
        r.err,
        "klbase: otro programa tiene bloqueada la base de datos; esperando que la libere...\n");
}

TEST_F(Consulta, WritesRunAsTheProgramWritesThem) {
    const Result r = consulta("OPERADOR",
                              "UPDATE @admin_MA_CUENTAS SET DESCRIPCION = 'Reservada' "
                              "WHERE CODIGO = '2'");
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out,
              QStringList({"UPDATE MA_CUENTAS SET DESCRIPCION = 'Reservada' WHERE CODIGO = '2'"}));
    EXPECT_EQ(
        test::EmbeddedDb::scalar(file_, "SELECT DESCRIPCION FROM MA_CUENTAS WHERE CODIGO = '2'"),
        "Reservada");
}

TEST_F(Consulta, FailuresAreReportedWithTheirReason) {
    const Result read = consulta("ADMIN", "SELECT * FROM TA_NINGUNA WHERE 1 = 1");
    EXPECT_EQ(read.status, 1);
    EXPECT_EQ(read.out, QStringList({"SELECT * FROM TA_NINGUNA WHERE 1 = 1"}));
    EXPECT_TRUE(read.err.startsWith("klbase: la consulta falló: Ha ocurrido el Siguiente Error"))
        << read.err.toStdString();
    EXPECT_TRUE(read.err.contains("TA_NINGUNA"));

    const Result write = consulta("ADMIN", "INSERT INTO TA_NINGUNA VALUES (1)");
    EXPECT_EQ(write.status, 1);
    EXPECT_TRUE(write.err.startsWith("klbase: la sentencia falló: ")) << write.err.toStdString();

    const Result missing = run(ejecutaConsulta, {db_.path("otra.db"), "ADMIN", "SELECT 1"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "klbase: no existe la base de datos " + db_.path("otra.db") + "\n");

    const QString notADatabase = db_.path("notas.txt");
    {
        QFile text(notADatabase);
        ASSERT_TRUE(text.open(QIODevice::WriteOnly));
        text.write("esto no es una base de datos, aunque lo parezca por su largo: " +
                   QByteArray(200, 'x'));
    }
    const Result unreadable = run(ejecutaConsulta, {notADatabase, "ADMIN", "SELECT 1"});
    EXPECT_EQ(unreadable.status, 1);
    EXPECT_TRUE(unreadable.err.startsWith("klbase: no se pudo abrir la base de datos " +
                                          notADatabase + ": "))
        << unreadable.err.toStdString();

    EXPECT_EQ(run(ejecutaConsulta, {file_, "ADMIN"}).status, 2);
}

TEST_F(Consulta, TheProgramsLayerIsLeftAsItWas) {
    consulta("OPERADOR", "SELECT 1 FROM MA_CUENTAS WHERE 1 = 1");
    EXPECT_FALSE(db::sharedDb().gOpenFlag);
    EXPECT_EQ(db::usuarioLogeado(), "");
    EXPECT_FALSE(db::confidencialidad());
    db::releaseSharedDb();
}

// The demo company keeps confidential accounts, and journal lines whose
// amounts only an administrator sees.
TEST(ConsultaOnTheDemo, AnOperatorSeesLessThanAnAdministrator) {
    test::EmbeddedDb folder;
    const QString file = folder.path("demo.db");
    QString ignored;
    QTextStream sink(&ignored);
    ASSERT_EQ(runCommand({"demo", file}, sink, sink), 0) << ignored.toStdString();
    for (const char* sql : {"SELECT COUNT(*) FROM MA_CUENTAS WHERE 1 = 1",
                            "SELECT SUM(IMPORTE) FROM MV_ASIENTOS WHERE 1 = 1"}) {
        const Result admin = run(ejecutaConsulta, {file, "ADMIN", sql});
        const Result operador = run(ejecutaConsulta, {file, "OPERADOR", sql});
        ASSERT_EQ(admin.status, 0) << admin.err.toStdString();
        ASSERT_EQ(operador.status, 0) << operador.err.toStdString();
        ASSERT_EQ(admin.out.size(), 2);
        ASSERT_EQ(operador.out.size(), 2);
        EXPECT_TRUE(operador.out[0].contains("FROM SS_"));
        EXPECT_LT(operador.out[1].toDouble(), admin.out[1].toDouble()) << sql;
    }
}

TEST(Oracle, PrintsTheTranslation) {
    const Result r = run(traduceOracle, {"SELECT TOP 5 CODIGO FROM MA_CUENTAS"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, QStringList({"SELECT  CODIGO FROM MA_CUENTAS  WHERE ROWNUM <= 5  "}));

    const Result refused = run(traduceOracle, {"SELECT * FROM T WHERE A = 'x"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.out.isEmpty());
    EXPECT_TRUE(refused.err.startsWith("klbase: No se puede traducir la sentencia para Oracle: "))
        << refused.err.toStdString();

    EXPECT_EQ(run(traduceOracle, {}).status, 2);
}

}  // namespace
}  // namespace kl::klbase
