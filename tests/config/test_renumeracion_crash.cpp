// A renumbering killed at any moment leaves the chart, the journal and the
// stored structure all as they were or all rewritten.

#include "cli.h"
#include "kill_moments.h"
#include "support/embedded_db.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTextStream>

#include <gtest/gtest.h>

namespace kl::config::test {
namespace {

using kl::test::EmbeddedDb;

struct Estado {
    QString digitos;
    QString plan;
    QString diario;
    QString huerfanos;
    QString mapas;
    QString indices;
    QString historial;
    bool operator==(const Estado&) const = default;
};

Estado estado(const QString& file) {
    return {EmbeddedDb::scalar(file,
                               "SELECT VALOR FROM TA_CONFIGURACION WHERE CLAVE = "
                               "'DIGITOS_SUBCAPITULO'"),
            EmbeddedDb::scalar(file,
                               "SELECT group_concat(CODIGO, ',') FROM (SELECT CODIGO FROM "
                               "MA_CUENTAS ORDER BY ID)"),
            EmbeddedDb::scalar(file,
                               "SELECT count(*) || ' ' || total(length(CUENTA)) FROM "
                               "MV_ASIENTOS"),
            EmbeddedDb::scalar(file,
                               "SELECT count(*) FROM MV_ASIENTOS WHERE CUENTA NOT IN "
                               "(SELECT CODIGO FROM MA_CUENTAS)"),
            EmbeddedDb::scalar(file, "SELECT count(*) FROM sqlite_master WHERE name LIKE '#%'"),
            // The journal's indexes are rebuilt within the rewrite's transaction.
            EmbeddedDb::scalar(file,
                               "SELECT group_concat(sql, ';') FROM (SELECT sql FROM "
                               "sqlite_master WHERE type = 'index' AND tbl_name = 'MV_ASIENTOS' "
                               "ORDER BY name)"),
            // The renumbering's row, committed with it or not at all.
            EmbeddedDb::scalar(file,
                               "SELECT count(*) || ' ' || ifnull(group_concat(VALOR_NUEVO), '') "
                               "FROM MV_HISTORIAL_CAMBIOS")};
}

class RenumberingCrash : public testing::Test {
  protected:
    void SetUp() override {
        base_ = folder_.path("volumen.db");
        QString outText, errText;
        QTextStream out(&outText), err(&errText);
        ASSERT_EQ(klbase::runCommand({"volumen", base_, "2000", "30000"}, out, err), 0)
            << errText.toStdString();
    }
    QString copy(const QString& name) {
        const QString file = folder_.path(name);
        for (const char* suffix : {"", "-wal", "-shm"}) QFile::remove(file + suffix);
        EXPECT_TRUE(QFile::copy(base_, file));
        return file;
    }
    void start(QProcess& child, const QString& file) {
        // Level 2 (subcapítulo) goes from 1 to 2 digits; small batches make
        // many statements to be killed between.
        child.start(QStringLiteral(KL_RENUMBER_CHILD), {file, "2", "2", "2000"});
        ASSERT_TRUE(child.waitForStarted());
    }

    EmbeddedDb folder_;
    QString base_;
};

TEST_F(RenumberingCrash, AKilledRenumberingIsAllOldOrAllNew) {
    const Estado anterior = estado(base_);
    ASSERT_EQ(anterior.digitos, "1");
    ASSERT_EQ(anterior.huerfanos, "0");

    const QString completo = copy("completo.db");
    QProcess child;
    QElapsedTimer timer;
    timer.start();
    start(child, completo);
    ASSERT_TRUE(child.waitForFinished(60000));
    const qint64 duracion = timer.elapsed();
    ASSERT_EQ(child.exitCode(), 0) << child.readAllStandardError().toStdString();
    const Estado nuevo = estado(completo);
    ASSERT_EQ(nuevo.digitos, "2");
    ASSERT_EQ(nuevo.huerfanos, "0");
    ASSERT_EQ(nuevo.mapas, "0");
    ASSERT_NE(nuevo.plan, anterior.plan);
    ASSERT_NE(nuevo.diario, anterior.diario);
    ASSERT_TRUE(anterior.indices.contains("(CUENTA)")) << anterior.indices.toStdString();
    ASSERT_EQ(nuevo.indices, anterior.indices);

    int sawOld = 0;
    const Muertes m = mataAlAzar(
        duracion * 95 / 100, 22,
        [this](QProcess& victim) {
            const QString file = copy("matado.db");
            start(victim, file);
            return file;
        },
        [&](const QString& file, const QString& como) {
            const Estado after = estado(file);
            EXPECT_TRUE(after == anterior || after == nuevo)
                << como.toStdString() << ": digits " << after.digitos.toStdString() << ", journal "
                << after.diario.toStdString() << ", lines outside the chart "
                << after.huerfanos.toStdString();
            sawOld += after == anterior;
        });
    EXPECT_GE(m.muertos, 20) << "seed " << m.semilla;
    // Both outcomes occur over so many moments.
    EXPECT_GT(sawOld, 0);
}

}  // namespace
}  // namespace kl::config::test
