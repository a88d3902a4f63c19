// The safety copy before a structural change: how many are kept, how they
// are named and dropped, a failed copy's question, and a renumbering taken
// back from its copy table for table.

#include "config/copia_seguridad.h"
#include "config/renumeracion.h"

#include "cli.h"
#include "platform/settings_files.h"
#include "platform/textfile.h"
#include "support/database_test/database_test.h"
#include "support/printers.h"
#include "support/shared_db/shared_db.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kl::config::test {
namespace {

using kl::test::EmbeddedDb;

TEST(CopiaSeguridad, TheSettingsFileSaysHowManyCopiesAreKept) {
    QTemporaryDir dir;
    struct Caso {
        const char* ini;
        int copias;
    };
    const Caso casos[] = {
        {nullptr, kCopiasPorOmision},
        {"[Respaldos]\r\nCopiasDeSeguridad=3\r\n", 3},
        {"[Respaldos]\r\nCopiasDeSeguridad= 0 \r\n", 0},
        {"[Respaldos]\r\nCopiasDeSeguridad=-2\r\n", kCopiasPorOmision},
        {"[Respaldos]\r\nCopiasDeSeguridad=muchas\r\n", kCopiasPorOmision},
        {"[ODBC]\r\nCopiasDeSeguridad=2\r\n", kCopiasPorOmision},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.ini ? c.ini : "sin archivo");
        const QString ini = dir.filePath(QStringLiteral("KL000p.INI"));
        QFile::remove(ini);
        if (c.ini) ASSERT_TRUE(cp1252::writeFile(ini, QString::fromLatin1(c.ini)));
        EXPECT_EQ(copiasAConservar(c.ini ? ini : QString()), c.copias);
    }
}

TEST(CopiaSeguridad, ACopyIsNamedAfterTheDatabaseTheMomentAndTheOperation) {
    const QDateTime momento(QDate(2026, 12, 10), QTime(9, 30, 41));
    EXPECT_EQ(nombreCopia("/datos/conta.kldb", momento, "renumeracion"),
              "conta-2026-12-10-0930-renumeracion.kldb");
    EXPECT_EQ(nombreCopia("/datos/demo", momento, "ejercicio"),
              "demo-2026-12-10-0930-ejercicio.kldb");
    EXPECT_EQ(nombreCopia("conta.2026.db", momento, "ejercicio"),
              "conta.2026-2026-12-10-0930-ejercicio.db");
    // Within the same minute, numbered after the last one.
    QTemporaryDir dir;
    auto destino = [&] {
        return QFileInfo(destinoCopia("/datos/conta.kldb", dir.path(), "ejercicio", momento))
            .fileName();
    };
    EXPECT_EQ(destino(), "conta-2026-12-10-0930-ejercicio.kldb");
    for (const char* made :
         {"conta-2026-12-10-0930-ejercicio.kldb", "conta-2026-12-10-0930-3-ejercicio.kldb",
          "conta-2026-12-10-0930-9-renumeracion.kldb"}) {
        QFile file(dir.filePath(QLatin1String(made)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    EXPECT_EQ(destino(), "conta-2026-12-10-0930-4-ejercicio.kldb");
}

TEST(CopiaSeguridad, OnlyTheOldestCopiesOfTheSameDatabaseBeyondTheNewestGo) {
    QTemporaryDir dir;
    const QStringList copias{
        "conta-2026-12-01-0930-renumeracion.kldb", "conta-2026-12-02-0800-ejercicio.kldb",
        "conta-2026-12-02-0800-2-ejercicio.kldb", "conta-2026-12-02-0800-10-ejercicio.kldb",
        "conta-2026-12-03-1015-renumeracion.kldb"};
    const QStringList ajenas{"contabilidad-2026-12-01-0930-renumeracion.kldb",
                             "conta-2026-12-01-0930-renumeracion.kldb.1a2b.tmp",
                             "conta-2026-12-01-renumeracion.kldb", "conta.kldb", "otra.kldb"};
    for (const QString& name : copias + ajenas) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    auto sobrantes = [&](int conservar) {
        QStringList names;
        for (const QString& path : copiasSobrantes(dir.path(), "/otro/lugar/conta.kldb", conservar))
            names << QFileInfo(path).fileName();
        return names;
    };
    EXPECT_EQ(sobrantes(5), QStringList());
    EXPECT_EQ(sobrantes(3), copias.mid(0, 2));
    EXPECT_EQ(sobrantes(1), copias.mid(0, 4));
    EXPECT_EQ(sobrantes(0), copias);
}

class CopiaSeguridadDb : public kl::test::DatabaseTest {
  protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        file_ = path(QStringLiteral("conta.kldb"));
        ASSERT_EQ(klbase(QStringList{"demo", file_}), 0);
        ASSERT_TRUE(connectShared(file_, QStringLiteral("ADMIN")));
    }
    void TearDown() override {
        kl::test::releaseSharedSession();
        DatabaseTest::TearDown();
    }
    int klbase(const QStringList& arguments) {
        QString outText, errText;
        QTextStream out(&outText), err(&errText);
        const int status = klbase::runCommand(arguments, out, err);
        err.flush();
        if (status != 0) ADD_FAILURE() << errText.toStdString();
        return status;
    }
    // Every copy of the test's database, oldest first.
    QStringList copias() const { return copiasSobrantes(keptFilesFolders().userData, file_, 0); }
};

TEST_F(CopiaSeguridadDb, ARenumberingTakenBackFromItsSafetyCopyGivesEveryTableBack) {
    ASSERT_TRUE(CopiaAntesDe(QStringLiteral("renumeracion")));
    ASSERT_EQ(copias().size(), 1);
    const QString copia = copias().first();
    EXPECT_TRUE(QFileInfo(copia).fileName().endsWith(u"-renumeracion.kldb")) << copia.toStdString();
    EXPECT_EQ(EmbeddedDb::tablesThatDiffer(copia, file_), QStringList());

    const ResultadoRenumeracion r = RenumeraNiveles({1, 1, 2, 2, 3, 0}, {1, 1, 3, 2, 3, 0}, {});
    ASSERT_EQ(r.estado, ResultadoRenumeracion::Estado::Hecha) << r.error.description.toStdString();
    const QStringList cambiadas =
        EmbeddedDb::tablesThatDiffer(copia, file_, {"MV_HISTORIAL_CAMBIOS", "sqlite_sequence"});
    for (const char* tabla : {"MA_CUENTAS", "MV_ASIENTOS", "TA_CONFIGURACION"})
        EXPECT_TRUE(cambiadas.contains(QLatin1String(tabla))) << tabla;
    kl::test::releaseSharedSession();

    ASSERT_EQ(klbase({"restaurar", copia, file_}), 0);
    EXPECT_EQ(
        EmbeddedDb::tablesThatDiffer(copia, file_, {"MV_HISTORIAL_CAMBIOS", "sqlite_sequence"}),
        QStringList());
    EXPECT_EQ(scalar("SELECT group_concat(OPERACION || ' ' || VALOR_ANTERIOR || ' ' || "
                     "ifnull(VALOR_NUEVO, ''), ' | ') FROM (SELECT * FROM MV_HISTORIAL_CAMBIOS "
                     "ORDER BY ID)"),
              "Renumeración 1-1-2-2-3-0 1-1-3-2-3-0 | Restauración  " + copia);
}

TEST_F(CopiaSeguridadDb, OnlyTheNewestCopiesAreKept) {
    QStringList hechas;
    for (int i = 0; i < kCopiasPorOmision + 2; ++i) {
        ASSERT_TRUE(CopiaAntesDe(QStringLiteral("ejercicio")));
        hechas << copias().last();
    }
    EXPECT_EQ(copias(), hechas.mid(2));
}

TEST_F(CopiaSeguridadDb, AFailedCopyAsksAndGoesOnOnlyWhenTheOperatorSaysSo) {
    // The data folder cannot be made: a file stands in its way.
    QFile estorbo(path(QStringLiteral("datos")));
    ASSERT_TRUE(estorbo.open(QIODevice::WriteOnly));
    estorbo.close();
    for (int respuesta : {answer::No, answer::Yes}) {
        boxes_.answer(respuesta);
        EXPECT_EQ(CopiaAntesDe(QStringLiteral("renumeracion")), respuesta == answer::Yes);
        EXPECT_TRUE(boxes_.shown().back().text.startsWith(
            u"No se pudo hacer la copia de seguridad de la base de datos:"))
            << boxes_.shown().back().text.toStdString();
        EXPECT_EQ(boxes_.shown().back().style, mb::YesNo | mb::Exclamation | mb::DefaultButton2);
    }
}

}  // namespace
}  // namespace kl::config::test
