// klbase historial, respaldo and restaurar: the history read back as a
// table and as a spreadsheet's CSV, the online copy, and a restore that is
// checked, refused while the database is in use, and recorded.

#include "klbase_run.h"
#include "schema.h"
#include "sqlite_db.h"

#include "platform/textfile.h"
#include "support/embedded_db.h"
#include "support/printers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sqlite3.h>

namespace kl::klbase {
namespace {

using kl::test::EmbeddedDb;

class HistorialRespaldo : public ::testing::Test {
  protected:
    void SetUp() override {
        base_ = folder_.path("conta.kldb");
        const CliResult made = klbase({"demo", base_});
        ASSERT_EQ(made.status, 0) << made.err.toStdString();
    }
    // Three changes on three days, written as the program writes them.
    void addHistory() {
        ASSERT_TRUE(EmbeddedDb::exec(
            base_,
            "INSERT INTO MV_HISTORIAL_CAMBIOS (FECHAHORA, NOMBREUSUARIO, MAQUINA, USUARIO, "
            "OPERACION, CLAVE, VALOR_ANTERIOR, VALOR_NUEVO, DETALLE) VALUES "
            "('2026-11-30 10:00:00', 'ADMIN', 'PC1', 'ANA', 'Cambio de clave', 'PIVA', '21.00', "
            "'27.00', NULL),"
            "('2026-12-05 09:00:00', 'ADMIN', 'PC1', 'ANA', 'Cierre de ejercicio', 'Ejercicio 2', "
            "'Abierto', 'Cerrado', NULL),"
            "('2026-12-10 09:30:00', 'OPERADOR', 'PC2', 'LUIS', 'Renumeración', "
            "'DIGITOS_RUBRO', '1-1-2-2-3-0', '1-1-3-2-3-0', 'nivel 3; 5 cuentas')"));
    }
    // The history's keys as listed, one per data line.
    static QStringList keysListed(const QString& table) {
        QStringList keys;
        const QStringList lines = table.split(u'\n', Qt::SkipEmptyParts);
        for (const QString& line : lines.mid(1)) {
            for (const char* key : {"PIVA", "Ejercicio 2", "DIGITOS_RUBRO"})
                if (line.contains(QLatin1String(key))) keys << QLatin1String(key);
        }
        return keys;
    }

    EmbeddedDb folder_;
    QString base_;
};

TEST_F(HistorialRespaldo, HistorialListsNewestFirstAndFiltersByKeyAndDay) {
    addHistory();
    struct Caso {
        QStringList options;
        QStringList keys;
    };
    const Caso casos[] = {
        {{}, {"DIGITOS_RUBRO", "Ejercicio 2", "PIVA"}},
        {{"piva"}, {"PIVA"}},
        {{"--desde", "01/12/2026"}, {"DIGITOS_RUBRO", "Ejercicio 2"}},
        {{"--hasta", "05/12/2026"}, {"Ejercicio 2", "PIVA"}},
        {{"--desde", "01/12/2026", "--hasta", "5/12/2026"}, {"Ejercicio 2"}},
        {{"Ejercicio", "--desde", "06/12/2026"}, {}},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.options.join(u' ').toStdString());
        const CliResult run = klbase(QStringList{"historial", base_} + c.options);
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_TRUE(run.out.startsWith(u"Fecha y hora")) << run.out.toStdString();
        EXPECT_EQ(keysListed(run.out), c.keys) << run.out.toStdString();
    }
    const CliResult all = klbase({"historial", base_});
    EXPECT_TRUE(all.out.contains(u"10/12/2026 09:30:00")) << all.out.toStdString();
    EXPECT_TRUE(all.out.contains(u"1-1-2-2-3-0")) << all.out.toStdString();
}

TEST_F(HistorialRespaldo, HistorialRefusesBadDatesAndADatabaseWithoutHistory) {
    EXPECT_EQ(klbase({"historial", base_, "--desde", "31/02/2026"}).status, 2);
    EXPECT_EQ(klbase({"historial", base_, "--hasta"}).status, 2);
    EXPECT_EQ(klbase({"historial"}).status, 2);
    ASSERT_TRUE(EmbeddedDb::exec(base_, "DROP TABLE MV_HISTORIAL_CAMBIOS"));
    const CliResult run = klbase({"historial", base_});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(u"no tiene historial de cambios")) << run.err.toStdString();
}

TEST_F(HistorialRespaldo, HistorialWritesAWindows1252CsvForASpreadsheetAndNeverReplacesAFile) {
    addHistory();
    const QString csv = folder_.path("historial.csv");
    const CliResult run = klbase({"historial", base_, "--csv", csv});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(u"3 cambios")) << run.out.toStdString();
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const QList<QByteArray> lines = bytes.split('\n');
    EXPECT_EQ(lines[0],
              "Fecha y hora;Operacion;Clave;Valor anterior;Valor nuevo;Usuario;Maquina;"
              "Usuario del sistema;Detalle\r");
    // Newest first; the accented letter as one Windows-1252 byte, a field
    // holding the separator in quotes.
    EXPECT_EQ(lines[1],
              "10/12/2026 09:30:00;Renumeraci\xf3n;DIGITOS_RUBRO;1-1-2-2-3-0;1-1-3-2-3-0;"
              "OPERADOR;PC2;LUIS;\"nivel 3; 5 cuentas\"\r");
    EXPECT_EQ(lines.size(), 5);
    EXPECT_EQ(klbase({"historial", base_, "--csv", csv}).status, 1);
}

TEST_F(HistorialRespaldo, TheHistoryTableTakesRowsButRefusesToChangeOrDeleteThem) {
    addHistory();
    Database db;
    ASSERT_FALSE(db.open(base_, Database::Mode::OpenExisting));
    EXPECT_TRUE(db.exec("UPDATE MV_HISTORIAL_CAMBIOS SET VALOR_NUEVO = '0'"));
    EXPECT_TRUE(db.exec("DELETE FROM MV_HISTORIAL_CAMBIOS"));
    std::int64_t rows = 0;
    EXPECT_FALSE(db.scalar("SELECT count(*) FROM MV_HISTORIAL_CAMBIOS", rows));
    EXPECT_EQ(rows, 3);
}

TEST_F(HistorialRespaldo, UpgradingAFileWhoseTableTheProgramMadeKeepsItsRows) {
    addHistory();
    ASSERT_TRUE(EmbeddedDb::exec(base_,
                                 "UPDATE KL_VERSION SET VERSION = 2; DROP TRIGGER "
                                 "KL_MV_HISTORIAL_CAMBIOS_SIN_UPDATE"));
    const CliResult run = klbase({"actualizar", base_});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(EmbeddedDb::scalar(base_, "SELECT count(*) FROM MV_HISTORIAL_CAMBIOS"), "3");
    EXPECT_EQ(EmbeddedDb::scalar(base_,
                                 "SELECT count(*) FROM sqlite_master WHERE name LIKE "
                                 "'KL_MV_HISTORIAL_CAMBIOS_SIN_%'"),
              "2");
}

TEST_F(HistorialRespaldo, RespaldoCopiesEveryTableAndNeverReplacesAFile) {
    const QString copia = folder_.path("copia.kldb");
    const CliResult run = klbase({"respaldo", base_, copia});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(EmbeddedDb::tablesThatDiffer(copia, base_), QStringList());
    EXPECT_EQ(klbase({"verificar", copia}).status, 0);
    EXPECT_EQ(klbase({"respaldo", base_, copia}).status, 1);
    EXPECT_EQ(klbase({"respaldo", folder_.path("no-existe.kldb"), folder_.path("x.kldb")}).status,
              1);
    EXPECT_FALSE(QFileInfo::exists(folder_.path("x.kldb")));
    // Nothing half-made is left beside the copies.
    EXPECT_EQ(QDir(folder_.folder()).entryList({"*.tmp"}, QDir::Files), QStringList());
}

TEST_F(HistorialRespaldo, RestaurarPutsTheCopyBackKeepingTheLaterHistoryAndRecordingItself) {
    addHistory();
    const QString copia = folder_.path("copia.kldb");
    ASSERT_EQ(klbase({"respaldo", base_, copia}).status, 0);
    ASSERT_TRUE(EmbeddedDb::exec(
        base_,
        "UPDATE TA_CONFIGURACION SET VALOR = '99.00' WHERE CLAVE = 'PIVA';"
        "INSERT INTO MV_HISTORIAL_CAMBIOS (FECHAHORA, OPERACION, CLAVE, VALOR_ANTERIOR, "
        "VALOR_NUEVO) VALUES ('2026-12-11 08:00:00', 'Cambio de clave', 'PIVA', '21.00', "
        "'99.00')"));

    const CliResult run = klbase({"restaurar", copia, base_});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    // The history's own counter of IDs moves on with it.
    EXPECT_EQ(
        EmbeddedDb::tablesThatDiffer(copia, base_, {"MV_HISTORIAL_CAMBIOS", "sqlite_sequence"}),
        QStringList());
    EXPECT_EQ(EmbeddedDb::scalar(base_,
                                 "SELECT group_concat(ID || ' ' || OPERACION || ' ' || "
                                 "CLAVE, ' | ') FROM MV_HISTORIAL_CAMBIOS"),
              "1 Cambio de clave PIVA | 2 Cierre de ejercicio Ejercicio 2 | 3 Renumeración "
              "DIGITOS_RUBRO | 4 Cambio de clave PIVA | 5 Restauración copia.kldb");
    EXPECT_EQ(
        EmbeddedDb::scalar(base_, "SELECT VALOR_NUEVO = '" + QFileInfo(copia).absoluteFilePath() +
                                      "' AND PROGRAMA = 'klbase' FROM MV_HISTORIAL_CAMBIOS "
                                      "WHERE ID = 5"),
        "1");
    EXPECT_EQ(klbase({"verificar", base_}).status, 0);
    // The replaced file stayed only while the restore ran.
    EXPECT_EQ(QDir(folder_.folder()).entryList({"conta.kldb.*"}, QDir::Files), QStringList());
}

TEST_F(HistorialRespaldo, RestaurarRefusesADamagedCopyAndADatabaseAnotherProgramHasOpen) {
    const QString copia = folder_.path("copia.kldb");
    ASSERT_EQ(klbase({"respaldo", base_, copia}).status, 0);

    const QString danada = folder_.path("danada.kldb");
    ASSERT_TRUE(QFile::copy(copia, danada));
    {
        QFile file(danada);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        // Pages in the middle of the file overwritten: the engine's check finds them.
        ASSERT_TRUE(file.seek(file.size() / 2));
        file.write(QByteArray(16384, '\x5a'));
    }
    const CliResult damaged = klbase({"restaurar", danada, base_});
    EXPECT_EQ(damaged.status, 1);
    EXPECT_TRUE(damaged.err.contains(u"está dañada")) << damaged.err.toStdString();

    {
        // Another program with the database open (and idle).
        sqlite3* other = nullptr;
        ASSERT_EQ(
            sqlite3_open_v2(base_.toUtf8().constData(), &other, SQLITE_OPEN_READWRITE, nullptr),
            SQLITE_OK);
        sqlite3_exec(other, "SELECT count(*) FROM TA_CONFIGURACION", nullptr, nullptr, nullptr);
        const CliResult busy = klbase({"restaurar", copia, base_});
        sqlite3_close_v2(other);
        EXPECT_EQ(busy.status, 1);
        EXPECT_TRUE(busy.err.contains(u"abierta en otro programa")) << busy.err.toStdString();
    }
    EXPECT_EQ(klbase({"restaurar", folder_.path("no-existe.kldb"), base_}).status, 1);
    EXPECT_EQ(EmbeddedDb::tablesThatDiffer(copia, base_), QStringList());
    EXPECT_EQ(QDir(folder_.folder()).entryList({"conta.kldb.*"}, QDir::Files), QStringList());
}

}  // namespace
}  // namespace kl::klbase
