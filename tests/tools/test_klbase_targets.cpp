// klbase's orders given a connection string in place of a file: consulta
// reaches the database through ODBC as the program would; the orders that
// build or check a file refuse the string instead of taking it for a file's
// name; passwords never show.

#include "cli.h"
#include "database_target.h"

#include "dblayer/db_dll.h"
#include "platform/ado/odbc_test_drivers.h"
#include "support/embedded_db.h"

#include <QDir>

#include <gtest/gtest.h>

namespace kl::klbase {
namespace {

struct Output {
    int status = -1;
    QString out;
    QString err;
};

Output klbase(const QStringList& arguments) {
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    Output o;
    o.status = runCommand(arguments, outStream, errStream);
    outStream.flush();
    errStream.flush();
    o.out = out;
    o.err = err;
    return o;
}

TEST(KlbaseTargets, ConnectionStringsAreToldFromFilesAndShownWithoutPasswords) {
    EXPECT_TRUE(isConnectionString("Driver=PostgreSQL Unicode;Server=h;Database=conta;Pwd=x;"));
    EXPECT_TRUE(isConnectionString("PROVIDER=MSDASQL;Driver=SQLite3;Database=/d/c.db"));
    EXPECT_TRUE(isConnectionString("DSN=conta;UID=kl"));
    EXPECT_FALSE(isConnectionString("/datos/conta.kldb"));
    EXPECT_FALSE(isConnectionString("/datos/a=b.kldb"));
    EXPECT_FALSE(isConnectionString("Database=conta.db;"));
    EXPECT_EQ(shownTarget("Driver=PostgreSQL Unicode;Server=h;Uid=kl;Pwd=Clave.Secreta;"),
              "Driver=PostgreSQL Unicode;Server=h;Uid=kl;Pwd=***;");
    EXPECT_EQ(shownTarget("Driver=X;Pwd=\"a;b\";"), "Driver=X;Pwd=***;");
    EXPECT_EQ(shownTarget("/datos/conta.kldb"), "/datos/conta.kldb");
}

class KlbaseOverOdbc : public testing::Test {
  protected:
    void SetUp() override {
        kl::test::useTestOdbcDrivers();
        file_ = db_.create("contab.db",
                           "CREATE TABLE TA_USUARIOS (nombre VARCHAR(30), Administrador INT);"
                           "INSERT INTO TA_USUARIOS VALUES ('ADMIN', 1);"
                           "CREATE TABLE MA_CUENTAS (CODIGO VARCHAR(10), DESCRIPCION VARCHAR(40));"
                           "INSERT INTO MA_CUENTAS VALUES ('1', 'Activo'), ('2', 'Pasivo');");
        db::sharedDb().setArchivoErrores(Value(db_.path("KVERR.LOG")));
    }
    QString odbc(const QString& file) const {
        return "PROVIDER=MSDASQL;Driver=SQLite3;Database=" + file + ";PWD=Clave.Secreta;";
    }
    test::EmbeddedDb db_;
    QString file_;
};

TEST_F(KlbaseOverOdbc, ConsultaReadsThroughTheConnectionStringAsFromTheFile) {
    const QString sql = "SELECT CODIGO, DESCRIPCION FROM MA_CUENTAS ORDER BY CODIGO";
    const Output fromFile = klbase({"consulta", file_, "ADMIN", sql});
    const Output overOdbc = klbase({"consulta", odbc(file_), "ADMIN", sql});
    EXPECT_EQ(overOdbc.status, 0) << overOdbc.err.toStdString();
    EXPECT_EQ(overOdbc.out, sql + "\n1\tActivo\n2\tPasivo\n");
    EXPECT_EQ(overOdbc.out, fromFile.out);
}

TEST_F(KlbaseOverOdbc, ADatabaseThatCannotBeOpenedIsNamedWithoutItsPassword) {
    const Output o = klbase({"consulta", odbc(db_.path("no_hay.db")), "ADMIN", "SELECT 1"});
    EXPECT_EQ(o.status, 1);
    EXPECT_TRUE(o.err.startsWith("klbase: no se pudo abrir la base de datos PROVIDER=MSDASQL;"))
        << o.err.toStdString();
    EXPECT_TRUE(o.err.contains("PWD=***"));
    EXPECT_FALSE(o.err.contains("Clave.Secreta"));
}

TEST_F(KlbaseOverOdbc, OrdersThatBuildOrCheckAFileRefuseAConnectionString) {
    const QString target = odbc(db_.path("nueva.db"));
    for (const QStringList& order :
         {QStringList{"crear", target}, QStringList{"demo", target},
          QStringList{"actualizar", target}, QStringList{"verificar", target},
          QStringList{"volumen", target, "10", "10"}}) {
        SCOPED_TRACE(order.first().toStdString());
        const Output o = klbase(order);
        EXPECT_EQ(o.status, 1);
        EXPECT_TRUE(o.err.startsWith("klbase: klbase " + order.first() +
                                     " trabaja sobre un "
                                     "archivo"))
            << o.err.toStdString();
        EXPECT_FALSE(o.err.contains("Clave.Secreta"));
    }
    EXPECT_EQ(QDir(db_.folder()).entryList(QDir::Files), QStringList{"contab.db"})
        << "no file is made under the string's name";
}

}  // namespace
}  // namespace kl::klbase
