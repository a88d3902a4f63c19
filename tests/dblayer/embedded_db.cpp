#include "embedded_db.h"

#include "platform/sqlite_engine/handles.h"

#include <QFile>

#include <sqlite3.h>

namespace kl::db::test {

const char kSchema[] = R"sql(
CREATE TABLE TA_USUARIOS (nombre VARCHAR(30), Administrador INT);
INSERT INTO TA_USUARIOS VALUES ('ADMIN ', 1), ('OPERADOR', 0), ('SINDATO', NULL),
                               ('TEXTO', '1');
CREATE TABLE TA_CONDIVA (codigo VARCHAR(4), DESCRIPCION VARCHAR(40));
INSERT INTO TA_CONDIVA VALUES ('1', 'Responsable Inscripto'), ('6', 'Monotributo');
CREATE TABLE CLIENTES (CODIGO INT, NOMBRE VARCHAR(10), LOCALIDAD VARCHAR(30), SALDO FLOAT);
INSERT INTO CLIENTES VALUES (1, 'Perez', 'O''Higgins', 10.5), (2, 'Gomez', 'Salta', 20),
                            (3, 'Diaz', ' Tandil ', -4);
CREATE TABLE V_MA_ARTICULOS (idarticulo VARCHAR(10));
INSERT INTO V_MA_ARTICULOS VALUES ('0999'), (' 5000'), ('0100'), (' 1234');
)sql";

void writeSqlite(const QString& path, const char* sql) {
    ado::sqlite::SqliteDatabase db;
    ASSERT_EQ(db.open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE), SQLITE_OK);
    const StepResult e = db.exec(QString::fromUtf8(sql));
    ASSERT_FALSE(e) << e->description.toStdString();
}

void EmbeddedDbTest::SetUp() {
    DatabaseTest::SetUp();
    previousLink_ = installSessionLink({[] { return QStringLiteral("ADMIN"); }});
    file_ = path(QStringLiteral("contab.db"));
    writeSqlite(file_, kSchema);
}

void EmbeddedDbTest::TearDown() {
    DatabaseTest::TearDown();
    installSessionLink(previousLink_);
}

QString EmbeddedDbTest::connectionString(const QString& file) {
    return QStringLiteral("PROVIDER=SQLOLEDB;Server=sqlite;Database =") + file +
           QStringLiteral(";UId=sa;Pwd=;");
}

void EmbeddedDbTest::connectTo(const QString& file) {
    ASSERT_TRUE(connectShared(file, QStringLiteral("sa")));
}

void EmbeddedDbTest::removeDatabase() {
    ASSERT_TRUE(QFile::rename(file_, file_ + QStringLiteral(".aparte")));
}

void EmbeddedDbTest::restoreDatabase() {
    ASSERT_TRUE(QFile::rename(file_ + QStringLiteral(".aparte"), file_));
}

}  // namespace kl::db::test
