// The real program, started as the main menu starts it, against an embedded
// database made by klbase.

#include "platform/textfile.h"
#include "support/embedded_db.h"
#include "support/trace_lines.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "support/printers.h"

#include <gtest/gtest.h>

namespace kl::test {
namespace {

const QString kProgram = QStringLiteral(KL_BINARY_DIR "/app/klconfig");
const QString kKlbase = QStringLiteral(KL_BINARY_DIR "/tools/klbase/klbase");
// A generous bound that only stops a program which would never end.
constexpr int kNeverEnds = 120000;

class KlconfigProgram : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        database_ = path("demo.db");
        QProcess klbase;
        klbase.start(kKlbase, {"demo", database_});
        ASSERT_TRUE(klbase.waitForFinished(kNeverEnds));
        ASSERT_EQ(klbase.exitCode(), 0) << klbase.readAllStandardError().toStdString();
        QDir().mkpath(path("config"));
        QDir().mkpath(path("temp"));
        // The demo carries a few earlier runs of the module's programs.
        earlierRuns_ = scalar("SELECT IFNULL(MAX(ID), 0) FROM CONTROL_ACCESO");
    }

    QString path(const QString& name) const { return QDir(dir_.path()).filePath(name); }

    // Runs the program with the parameter string and the boxes' answers
    // (one a line); returns its exit status.
    int run(const QString& parametros, const QString& answers = QString(),
            const QString& executable = kProgram) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("KL_CERRAR_AL_INICIAR", "1");
        env.insert("XDG_CONFIG_HOME", path("config"));
        env.insert("TEMP", path("temp"));
        env.insert("TMP", path("temp"));
        env.insert("KL_TRAZA_AVISOS", path("avisos.txt"));
        env.insert("KL_TRAZA_SQL", path("traza.sql"));
        if (!answers.isEmpty()) {
            EXPECT_TRUE(cp1252::writeFile(path("guion.txt"), answers));
            env.insert("KL_GUION_AVISOS", path("guion.txt"));
        }
        QProcess program;
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(dir_.path());
        program.start(executable, parametros.split(u' '));
        EXPECT_TRUE(program.waitForFinished(kNeverEnds));
        stderr_ = QString::fromLocal8Bit(program.readAllStandardError());
        return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
    }

    QString scalar(const QString& sql) const { return EmbeddedDb::scalar(database_, sql); }
    // The same of this test's runs only.
    QString ofNewRuns(const QString& columns) const {
        return scalar("SELECT " + columns + " FROM CONTROL_ACCESO WHERE ID > " + earlierRuns_);
    }
    QString statementsRun() const { return kl::test::traceText(path("traza.sql")); }
    QString boxesShown() const { return kl::test::traceText(path("avisos.txt")); }

    QTemporaryDir dir_;
    QString database_;
    QString stderr_;
    QString earlierRuns_;
};

TEST_F(KlconfigProgram, ARunLeavesItsEntryAndExitInTheAccessLog) {
    const int status = run(
        "@Server=sqlite;@DbName=" + database_ +
        ";@Usuario=ADMIN;@Password=;@UsuarioLogeado=ADMIN;@Caja=1;@Menu=M;@ParametroAdicional=;");
    EXPECT_EQ(status, 0) << stderr_.toStdString();
    EXPECT_EQ(boxesShown(), u"") << "boxes shown";
    EXPECT_EQ(ofNewRuns("COUNT(*)"), u"1");
    EXPECT_EQ(ofNewRuns("TAREA || '|' || NOMBREUSUARIO || '|' || FORMULARIO"),
              u"CONFIGURACIÓN DEL SISTEMA|ADMIN|");
    EXPECT_NE(ofNewRuns("INGRESO"), u"<null>");
    EXPECT_NE(ofNewRuns("EGRESO"), u"<null>");
    // The earlier runs keep their exits.
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM CONTROL_ACCESO WHERE EGRESO IS NULL"), u"0");
}

TEST_F(KlconfigProgram, AUserWithoutTheTaskRunsWithAnEmptyTask) {
    const int status = run("@Server=sqlite;@DbName=" + database_ +
                           ";@Usuario=OPERADOR;@Password=;@UsuarioLogeado=OPERADOR;");
    EXPECT_EQ(status, 0) << stderr_.toStdString();
    EXPECT_EQ(ofNewRuns("COUNT(*) || '|' || TAREA || '|' || NOMBREUSUARIO || '|' || "
                        "(EGRESO IS NOT NULL)"),
              u"1||OPERADOR|1");
}

TEST_F(KlconfigProgram, ACopyGoesByItsOwnNameAndAsKl000prIsTheMainMenu) {
    // The operator holds no task at all, so only the name can give one.
    ASSERT_TRUE(EmbeddedDb::exec(database_, "DELETE FROM TA_TAREAS WHERE USUARIO = 'OPERADOR'"));
    const QString copy = path("KL000PR");
    ASSERT_TRUE(QFile::copy(kProgram, copy));
    const int status = run("@Server=sqlite;@DbName=" + database_ +
                               ";@Usuario=OPERADOR;@Password=;@UsuarioLogeado=OPERADOR;",
                           QString(), copy);
    EXPECT_EQ(status, 0) << stderr_.toStdString();
    EXPECT_TRUE(statementsRun().contains("(TA_MENU.Proceso LIKE '%KL000PR%')"))
        << statementsRun().toStdString();
    EXPECT_EQ(ofNewRuns("COUNT(*) || '|' || TAREA || '|' || NOMBREUSUARIO"),
              u"1|MENU PRINCIPAL|OPERADOR");
}

TEST_F(KlconfigProgram, ADatabaseThatCannotBeOpenedEndsTheProgramWithoutARow) {
    // No such server: the connection fails and the operator gives up.
    const int status = run("@Server=SRVINEXISTENTE;@DbName=" + database_ +
                               ";@Usuario=ADMIN;@Password=secreto;@UsuarioLogeado=ADMIN;",
                           "7\n");
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(stderr_.contains("klconfig: no se pudo conectar con la base de datos \"" +
                                 database_ +
                                 "\" del servidor \"SRVINEXISTENTE\"; el programa "
                                 "termina."))
        << stderr_.toStdString();
    EXPECT_FALSE(stderr_.contains("secreto"));
    const QString shown = boxesShown();
    EXPECT_TRUE(shown.contains(" Error de Conexion a Base de Datos")) << shown.toStdString();
    EXPECT_TRUE(shown.trimmed().endsWith(u"\t7")) << shown.toStdString();
    EXPECT_EQ(ofNewRuns("COUNT(*)"), u"0");
}

TEST_F(KlconfigProgram, AMissingDatabaseFileEndsTheProgramToo) {
    const int status = run("@Server=sqlite;@DbName=" + path("no/existe.db") +
                               ";@Usuario=ADMIN;@Password=;@UsuarioLogeado=ADMIN;",
                           "7\n");
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(stderr_.contains("el programa termina.")) << stderr_.toStdString();
    EXPECT_FALSE(QFile::exists(path("no/existe.db")));
}

}  // namespace
}  // namespace kl::test
