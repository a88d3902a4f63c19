// An accept or a new fiscal year killed at any moment leaves the database
// all as it was or all saved: the keys, the year, its calendar and its
// exchange-rate days, and their rows in the history of changes.

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

struct Caso {
    const char* modo;
    // What must be all old or all new, as one text.
    const char* estado;
};

const Caso kCasos[] = {
    // Each history row names a key and the value it holds now.
    {"aceptar",
     "SELECT count(*) || ':' || group_concat(CLAVE || '=' || ifnull(VALOR, '<null>'), '|') || "
     "' historial ' || (SELECT count(*) FROM MV_HISTORIAL_CAMBIOS) || ' ' || (SELECT count(*) "
     "FROM MV_HISTORIAL_CAMBIOS H WHERE EXISTS (SELECT 1 FROM TA_CONFIGURACION C WHERE C.CLAVE "
     "= H.CLAVE AND C.VALOR = H.VALOR_NUEVO)) FROM (SELECT CLAVE, VALOR FROM TA_CONFIGURACION "
     "ORDER BY CLAVE)"},
    {"ejercicio",
     "SELECT (SELECT count(*) FROM MV_EJERCICIOS) || ' años, ' || (SELECT count(*) FROM "
     "MA_CALENDARIO) || ' días, ' || (SELECT count(*) FROM MA_CALENDARIO WHERE nolaborable = 1) "
     "|| ' domingos, ' || (SELECT count(*) FROM TA_COTIZACION) || ' cotizaciones, ' || "
     "(SELECT count(*) FROM MV_HISTORIAL_CAMBIOS WHERE CLAVE = 'Ejercicio ' || (SELECT "
     "max(PERIODO) FROM MV_EJERCICIOS)) || ' en el historial'"},
};

class SaveCrash : public testing::TestWithParam<Caso> {
  protected:
    void SetUp() override {
        base_ = folder_.path("demo.db");
        QString outText, errText;
        QTextStream out(&outText), err(&errText);
        ASSERT_EQ(klbase::runCommand({"demo", base_}, out, err), 0) << errText.toStdString();
        ASSERT_TRUE(EmbeddedDb::exec(
            base_, "UPDATE TA_CONFIGURACION SET VALOR = 'SI' WHERE CLAVE = 'UsaMultilesMonedas'"));
    }
    QString copy() {
        const QString file = folder_.path("copia.db");
        for (const char* suffix : {"", "-wal", "-shm"}) QFile::remove(file + suffix);
        EXPECT_TRUE(QFile::copy(base_, file));
        return file;
    }
    QString estado(const QString& file) const {
        return EmbeddedDb::scalar(file, GetParam().estado);
    }
    // Starts the child and waits until the save begins.
    void start(QProcess& child, const QString& file) {
        child.start(QStringLiteral(KL_SAVE_CHILD), {GetParam().modo, file});
        ASSERT_TRUE(child.waitForStarted());
        while (!child.canReadLine() && child.state() == QProcess::Running)
            child.waitForReadyRead(100);
        ASSERT_EQ(child.readLine().trimmed(), "listo")
            << child.readAllStandardError().toStdString();
    }

    EmbeddedDb folder_;
    QString base_;
};

TEST_P(SaveCrash, AKilledSaveIsAllOldOrAllNew) {
    const QString anterior = estado(base_);
    const QString completo = copy();
    QProcess child;
    start(child, completo);
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(child.waitForFinished(120000));
    const qint64 duracion = std::max<qint64>(timer.elapsed(), 1);
    ASSERT_EQ(child.exitCode(), 0) << child.readAllStandardError().toStdString();
    const QString nuevo = estado(completo);
    ASSERT_NE(nuevo, anterior);
    ASSERT_EQ(EmbeddedDb::scalar(completo, "SELECT count(*) > 0 FROM MV_HISTORIAL_CAMBIOS"), "1");

    int sawOld = 0;
    const Muertes m = mataAlAzar(
        duracion, 20,
        [this](QProcess& victim) {
            const QString file = copy();
            start(victim, file);
            return file;
        },
        [&](const QString& file, const QString& como) {
            const QString after = estado(file);
            EXPECT_TRUE(after == anterior || after == nuevo)
                << como.toStdString() << " of " << duracion << ": "
                << after.left(200).toStdString();
            sawOld += after == anterior;
        });
    EXPECT_GE(m.muertos, 20) << "seed " << m.semilla;
    EXPECT_GT(sawOld, 0);
}

INSTANTIATE_TEST_SUITE_P(Guardados, SaveCrash, testing::ValuesIn(kCasos),
                         [](const testing::TestParamInfo<Caso>& info) {
                             return std::string(info.param.modo);
                         });

}  // namespace
}  // namespace kl::config::test
