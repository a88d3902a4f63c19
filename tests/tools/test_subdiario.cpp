// klbase subdiario: the report of the program on a file, printed, and two
// users running it at once on one file.

#include "cli.h"
#include "sqlite_db.h"

#include "support/embedded_db.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

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

    // The report with --pdf into the folder, at pdf_.
    Salida imprime(const char* usuario, const char* subdiario, const char* desde,
                   const char* hasta) {
        pdf_ = dir_.filePath(QStringLiteral("%1.pdf").arg(usuario));
        return klbase({"subdiario", file_, usuario, subdiario, desde, hasta, "--pdf", pdf_});
    }

    QTemporaryDir dir_;
    QString file_;
    QString pdf_;
};

TEST_F(KlbaseSubdiario, LeavesTheRowsAndPrintsThemPageByPage) {
    const Salida s = imprime("ADMIN", "VENTAS", "01/01/2025", "31/12/2025");
    ASSERT_EQ(s.status, 0) << s.err.toStdString();
    EXPECT_TRUE(s.out.startsWith("Subdiario VENTAS del 01/01/2025 al 31/12/2025: "))
        << s.out.toStdString();
    EXPECT_TRUE(s.err.contains("Generando Reporte de Subdiarios\n"));
    EXPECT_TRUE(s.err.contains("100 % [")) << s.err.toStdString();
    EXPECT_NE(filas("ADMIN"), "0");
    EXPECT_TRUE(s.out.contains(QStringLiteral("Impreso en %1 (").arg(pdf_)));
    QFile file(pdf_);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5) == "%PDF-");
}

// The printed text as a reader sees it, or nothing without poppler's reader.
std::optional<QString> textoDelPdf(const QString& pdf) {
    const QString lector = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (lector.isEmpty()) return std::nullopt;
    QProcess p;
    p.start(lector, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(60000)) return std::nullopt;
    return QString::fromUtf8(p.readAllStandardOutput());
}

TEST_F(KlbaseSubdiario, AnOperatorsGeneralJournalOverThreeYearsReadsRight) {
    const Salida s = imprime("OPERADOR", "", "01/01/2024", "31/12/2026");
    ASSERT_EQ(s.status, 0) << s.err.toStdString();
    EXPECT_TRUE(s.out.startsWith("Subdiario del 01/01/2024 al 31/12/2026: "))
        << s.out.toStdString();
    // The names of confidential accounts stay out of the rows.
    EXPECT_EQ(kl::test::EmbeddedDb::scalar(
                  file_,
                  "SELECT COUNT(*) FROM AUX_SUBDIARIOS WHERE USUARIO = 'OPERADOR' AND "
                  "(CUENTA_D = '530101003' AND DESCRIPCION_D <> '' OR "
                  "CUENTA_H = '530101003' AND DESCRIPCION_H <> '')"),
              "0");
    const std::optional<QString> leido = textoDelPdf(pdf_);
    if (!leido) GTEST_SKIP() << "pdftotext is not installed (setup.sh installs it)";
    EXPECT_FALSE(leido->contains(QChar(0x2026))) << "nothing is cut short";
    // One blank between words, ligatures ("ﬁ") as letters.
    const QString plano = leido->normalized(QString::NormalizationForm_KC).simplified();
    const QString* texto = &plano;
    const QRegularExpression anunciados(QStringLiteral(": (\\d+) asientos,"));
    const QRegularExpression impresos(
        QStringLiteral("Totales del subdiario \\((\\d+) asientos\\)"));
    ASSERT_TRUE(anunciados.match(s.out).hasMatch());
    ASSERT_TRUE(impresos.match(*texto).hasMatch());
    EXPECT_EQ(impresos.match(*texto).captured(1), anunciados.match(s.out).captured(1));
    EXPECT_TRUE(texto->contains("Libro Subdiario del 01/01/2024 al 31/12/2026"));
    // Year by year, each entry's head naming its year.
    const qsizetype ultimo2024 = texto->lastIndexOf("Ejercicio 2024 Asiento");
    const qsizetype primero2025 = texto->indexOf("Ejercicio 2025 Asiento 0001-0000001");
    const qsizetype ultimo2025 = texto->lastIndexOf("Ejercicio 2025 Asiento");
    const qsizetype primero2026 = texto->indexOf("Ejercicio 2026 Asiento 0001-0000001");
    EXPECT_GT(ultimo2024, 0);
    EXPECT_GT(primero2025, ultimo2024);
    EXPECT_GT(ultimo2025, primero2025);
    EXPECT_GT(primero2026, ultimo2025);
    // Hidden amounts are neither unbalanced nor added up.
    EXPECT_FALSE(texto->contains("no balancea"));
    EXPECT_FALSE(texto->contains("Sueldos y jornales"));
    EXPECT_TRUE(texto->contains("cuenta confidencial"));
    EXPECT_TRUE(
        texto->contains(QRegularExpression("Los totales no incluyen \\d+ importes ocultos")));
}

TEST_F(KlbaseSubdiario, CountsPagesAndEntriesInTheSingularToo) {
    const Salida s = imprime("ADMIN", "VENTAS", "03/12/2024", "03/12/2024");
    ASSERT_EQ(s.status, 0) << s.err.toStdString();
    EXPECT_TRUE(s.out.contains(": 1 asiento, 2 filas en AUX_SUBDIARIOS")) << s.out.toStdString();
    EXPECT_TRUE(s.out.contains(" (1 página)\n")) << s.out.toStdString();
}

TEST_F(KlbaseSubdiario, AUserWhoDoesNotExistGetsNoRows) {
    const Salida s = klbase({"subdiario", file_, "NADIE", "VENTAS", "01/01/2024", "31/12/2026"});
    EXPECT_EQ(s.status, 1);
    EXPECT_TRUE(s.err.contains("no existe el usuario NADIE")) << s.err.toStdString();
    EXPECT_EQ(filas("NADIE"), "0");
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
