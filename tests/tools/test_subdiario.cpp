// klbase subdiario: the report of the program on a file, printed, and two
// users running it at once on one file.

#include "cli.h"
#include "sqlite_db.h"

#include "support/embedded_db.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kl::klbase {
namespace {

struct Salida {
    int status = -1;
    QString out;
    QString err;
};

Salida klbase(const QStringList& arguments) {
    Salida s;
    QTextStream out(&s.out), err(&s.err);
    s.status = runCommand(arguments, out, err);
    out.flush();
    err.flush();
    return s;
}

class KlbaseSubdiario : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        file_ = dir_.filePath(QStringLiteral("demo.db"));
        ASSERT_EQ(klbase({QStringLiteral("demo"), file_}).status, 0);
    }

    QString filas(const QString& usuario) {
        return kl::test::EmbeddedDb::scalar(
            file_, QStringLiteral("SELECT COUNT(*) FROM AUX_SUBDIARIOS WHERE USUARIO = '%1'")
                       .arg(usuario));
    }

    QTemporaryDir dir_;
    QString file_;
};

TEST_F(KlbaseSubdiario, LeavesTheRowsAndPrintsThemPageByPage) {
    const QString pdf = dir_.filePath(QStringLiteral("ventas.pdf"));
    const Salida s =
        klbase({"subdiario", file_, "ADMIN", "VENTAS", "01/01/2025", "31/12/2025", "--pdf", pdf});
    ASSERT_EQ(s.status, 0) << s.err.toStdString();
    EXPECT_TRUE(s.out.startsWith("Subdiario VENTAS del 01/01/2025 al 31/12/2025: "))
        << s.out.toStdString();
    EXPECT_TRUE(s.err.contains("Generando Reporte de Subdiarios\n"));
    EXPECT_TRUE(s.err.contains("100 % [")) << s.err.toStdString();
    EXPECT_NE(filas("ADMIN"), "0");
    EXPECT_TRUE(s.out.contains(QStringLiteral("Impreso en %1 (").arg(pdf)));
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5) == "%PDF-");
}

TEST_F(KlbaseSubdiario, RefusesDatesItCannotRead) {
    for (const QStringList& fechas :
         {QStringList{"01/01/2025", "31-13-2025"}, QStringList{"ayer", "31/12/2025"}}) {
        const Salida s = klbase(QStringList{"subdiario", file_, "ADMIN", "VENTAS"} + fechas);
        EXPECT_EQ(s.status, 2);
        EXPECT_TRUE(s.err.contains("debe ser una fecha dd/mm/aaaa")) << s.err.toStdString();
    }
}

TEST_F(KlbaseSubdiario, TwoUsersAtOnceEachKeepTheirRowsWaitingForTheOther) {
    const QString program = QStringLiteral(KL_BINARY_DIR "/tools/klbase/klbase");
    const QStringList rango{"VENTAS", "01/01/2024", "31/12/2026"};
    // A third writer holds the file while both start: they have to wait
    // for it, and then for each other.
    Database retiene;
    ASSERT_FALSE(retiene.open(file_, Database::Mode::OpenExisting));
    ASSERT_FALSE(retiene.exec("BEGIN IMMEDIATE; DELETE FROM AUX_SUBDIARIOS"));
    QProcess admin, operador;
    admin.start(program, QStringList{"subdiario", file_, "ADMIN"} + rango);
    operador.start(program, QStringList{"subdiario", file_, "OPERADOR"} + rango);
    // Neither gives up while the file is held.
    ASSERT_TRUE(admin.waitForStarted());
    ASSERT_TRUE(operador.waitForStarted());
    EXPECT_FALSE(admin.waitForFinished(1500));
    EXPECT_FALSE(operador.waitForFinished(500));
    ASSERT_FALSE(retiene.exec("COMMIT"));
    for (QProcess* p : {&admin, &operador}) {
        ASSERT_TRUE(p->waitForFinished(60000));
        EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
    }
    const QString total =
        kl::test::EmbeddedDb::scalar(file_, "SELECT COUNT(*) FROM AUX_SUBDIARIOS");
    EXPECT_NE(filas("ADMIN"), "0");
    EXPECT_EQ(filas("ADMIN"), filas("OPERADOR"));
    EXPECT_EQ(total.toInt(), 2 * filas("ADMIN").toInt());
}

}  // namespace
}  // namespace kl::klbase
