#include "session/aviso_operador.h"

#include "session/brimcor2.h"
#include "support/scripted_dialogs.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "support/printers.h"

#include <gtest/gtest.h>

#include <optional>

namespace kl {
namespace {

const QString kSep = QDir::separator();

// Sets or clears an environment variable for the life of the object.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::optional<QString>& value) : name_(name) {
        if (qEnvironmentVariableIsSet(name)) previous_ = qEnvironmentVariable(name);
        if (value) {
            qputenv(name, value->toLocal8Bit());
        } else {
            qunsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (previous_) {
            qputenv(name_, previous_->toLocal8Bit());
        } else {
            qunsetenv(name_);
        }
    }

  private:
    const char* name_;
    std::optional<QString> previous_;
};

class ErrorNotice : public testing::Test {
  protected:
    QString log() const { return QDir(dir_.path()).filePath("KVERR.LOG"); }
    QByteArray logBytes() const {
        QFile file(log());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QStringList logLines() const {
        QStringList lines = QString::fromLatin1(logBytes()).split("\r\n");
        lines.removeAll(QString());
        return lines;
    }

    QTemporaryDir dir_;
    ScopedEnv temp_{"TEMP", QStringLiteral("/no/se/usa")};
    ScopedEnv tmp_{"TMP", "  " + dir_.path() + "  "};
    test::ScopedDialogs boxes_;
};

const RunError kError{5, "  Llamada a procedimiento o argumento no válidos  ", "Lbc_Asiento"};

TEST_F(ErrorNotice, ShowsTheFailureAndLogsTheAnswer) {
    boxes_.answer(answer::Ignore);
    EXPECT_EQ(AvisoOperador(kError, kEstiloAvisoOperador, "ValidaSubdiarioTC"), answer::Ignore);
    ASSERT_EQ(boxes_.shown().size(), 1u);
    const ShownBox& box = boxes_.shown()[0];
    EXPECT_EQ(box.text,
              u"Ha ocurrido el Siguiente Error (5) Llamada a procedimiento o argumento "
              u"no válidos");
    EXPECT_EQ(box.title, u"Lbc_Asiento - ValidaSubdiarioTC Aviso al operador!!! ");
    EXPECT_EQ(box.style, 18);
    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 1);
    static const QRegularExpression kLine(
        "^\\d\\d-\\d\\d-\\d{4} \\d\\d:\\d\\d:\\d\\d Rutina: - ValidaSubdiarioTC Mensaje Ha "
        "ocurrido el Siguiente Error \\(5\\) Llamada a procedimiento o argumento no válidos "
        "Respondió : Ignorar$");
    EXPECT_TRUE(kLine.match(lines[0]).hasMatch()) << lines[0].toStdString();
    EXPECT_EQ(lines[0].left(10), QDate::currentDate().toString("MM-dd-yyyy"));
}

TEST_F(ErrorNotice, TheLogIsWindows1252AndGrowsLineByLine) {
    boxes_.answer(answer::Retry).answer(answer::Abort);
    AvisoOperador(kError, kEstiloAvisoOperador, "UltimoNumeroAsiento");
    AvisoOperador(kError, kEstiloAvisoOperador, "UltimoNumeroAsiento");
    const QByteArray bytes = logBytes();
    EXPECT_TRUE(bytes.contains("Respondi\xF3 : Reintentar\r\n"));
    EXPECT_TRUE(bytes.endsWith("Respondi\xF3 : Abortar\r\n"));
    EXPECT_EQ(logLines().size(), 2);
}

TEST_F(ErrorNotice, WithoutARoutineTheLineHasTwoBlanksAndTheTitleOnlyTheSource) {
    boxes_.answer(answer::Abort);
    AvisoOperador(kError);
    EXPECT_EQ(boxes_.shown()[0].title, u"Lbc_Asiento Aviso al operador!!! ");
    EXPECT_TRUE(logLines()[0].contains(" Rutina:  Mensaje Ha ocurrido"));
}

TEST_F(ErrorNotice, ACallersStyleLogsItsOwnAnswers) {
    boxes_.answer(answer::Yes).answer(answer::No).answer(answer::Ok).answer(answer::Cancel);
    AvisoOperador(kError, mb::YesNo, "FormLoad");
    AvisoOperador(kError, mb::YesNo, "FormLoad");
    AvisoOperador(kError, mb::OkOnly, "FormLoad");
    AvisoOperador(kError, mb::OkCancel, "FormLoad");
    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].endsWith(u" Respondió : Sí"));
    EXPECT_TRUE(lines[1].endsWith(u" Respondió : No"));
    EXPECT_TRUE(lines[2].endsWith(u" Respondió : "));
    EXPECT_TRUE(lines[3].endsWith(u" Respondió : Cancelar"));
}

TEST_F(ErrorNotice, NoErrorShowsAndLogsNothingButCreatesTheLog) {
    EXPECT_EQ(AvisoOperador(RunError{}, kEstiloAvisoOperador, "Algo"), 0);
    EXPECT_TRUE(boxes_.shown().empty());
    EXPECT_TRUE(QFile::exists(log()));
    EXPECT_TRUE(logBytes().isEmpty());
    EXPECT_EQ(QFile::permissions(log()) & 0x0077, 0) << "readable by its owner only";
}

TEST_F(ErrorNotice, ALogThatCannotBeWrittenNeverHidesTheFailure) {
    ScopedEnv tmp("TMP", dir_.path() + "/no/existe");
    boxes_.answer(answer::Retry);
    EXPECT_EQ(AvisoOperador(kError, kEstiloAvisoOperador, "DatosBase"), answer::Retry);
    EXPECT_EQ(boxes_.shown().size(), 1u);
}

TEST_F(ErrorNotice, TheNoticeDecidesTheRoutinesNextStep) {
    boxes_.answer(answer::Retry).answer(answer::Ignore);
    int tries = 0;
    const StepOutcome outcome = runStep(
        [&]() -> StepResult {
            ++tries;
            return kError;
        },
        avisoOperadorPara("ExisteCuentas"));
    EXPECT_EQ(outcome, StepOutcome::Ignored);
    EXPECT_EQ(tries, 2);
    EXPECT_EQ(boxes_.shown()[0].title, u"Lbc_Asiento - ExisteCuentas Aviso al operador!!! ");
}

TEST(ErrorLogFolder, TmpServesOnlyWhenTempIsSet) {
    const QString system = Brimcor2::AgregaBarra(Brimcor2::CarpetaSistema());
    {
        ScopedEnv temp("TEMP", QStringLiteral("/tmp/a"));
        ScopedEnv tmp("TMP", QStringLiteral("  /tmp/b  "));
        EXPECT_EQ(carpetaRegistroErrores(), "/tmp/b" + kSep);
        EXPECT_EQ(archivoRegistroErrores(), "/tmp/b" + kSep + "KVERR.LOG");
    }
    {
        ScopedEnv temp("TEMP", QStringLiteral("/tmp/a"));
        ScopedEnv tmp("TMP", QStringLiteral("   "));
        EXPECT_EQ(carpetaRegistroErrores(), system);
    }
    {
        ScopedEnv temp("TEMP", std::nullopt);
        ScopedEnv tmp("TMP", QStringLiteral("/tmp/b"));
        EXPECT_EQ(carpetaRegistroErrores(), system);
    }
    {
        ScopedEnv temp("TEMP", std::nullopt);
        ScopedEnv tmp("TMP", std::nullopt);
        EXPECT_EQ(carpetaRegistroErrores(), system);
        EXPECT_TRUE(system.endsWith(kSep));
    }
    {
        ScopedEnv temp("TEMP", QStringLiteral("x"));
        ScopedEnv tmp("TMP", "/tmp/b" + kSep);
        EXPECT_EQ(carpetaRegistroErrores(), "/tmp/b" + kSep);
    }
}

TEST(AbreDocumento, ATargetWithBlanksGoesInQuotes) {
    EXPECT_EQ(destinoParaShell("/opt/kl/Manual del usuario.pdf"),
              u"\"/opt/kl/Manual del usuario.pdf\"");
    EXPECT_EQ(destinoParaShell("\"/opt/kl/Manual del usuario.pdf\""),
              u"\"/opt/kl/Manual del usuario.pdf\"");
    EXPECT_EQ(destinoParaShell("https://www.brimcor.com.ar"), u"https://www.brimcor.com.ar");
}

TEST(AbreDocumento, AMissingFileIsReportedAsNotOpened) {
    EXPECT_FALSE(AbreDocumento("/no/existe/el archivo.pdf", true));
}

}  // namespace
}  // namespace kl
