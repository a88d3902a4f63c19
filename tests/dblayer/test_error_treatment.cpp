#include "dblayer/error_log.h"
#include "dblayer/program_info.h"
#include "embedded_db.h"
#include "platform/error_numbers.h"
#include "platform/textfile.h"

#include <QFile>
#include <QRegularExpression>

namespace kl::db::test {
namespace {

const RunError kError{3709, "  La conexión está cerrada.  ", "KL_CONFIG"};

class ErrorTreatment : public EmbeddedDbTest {
  protected:
    QByteArray logBytes() {
        QFile f(path("KVERR.LOG"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString log() { return cp1252::decode(logBytes()); }
};

TEST_F(ErrorTreatment, ShowsAsksAndLogsOneLine) {
    boxes_.answer(answer::Retry);
    EXPECT_EQ(db().TratamientoErrores(kError, DB_Dll::kBotonesError, "AbrirRecordset"),
              answer::Retry);
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_EQ(boxes_.shown()[0].title, "KL_CONFIG - AbrirRecordset Aviso al operador!!! - 5 ");
    EXPECT_EQ(boxes_.shown()[0].text,
              "Ha ocurrido el Siguiente Error (3709) La conexión está cerrada.");
    EXPECT_EQ(boxes_.shown()[0].style, 18);

    // Windows-1252, one line, CRLF.
    const QRegularExpression line(
        "^\\d\\d-\\d\\d-\\d{4} \\d\\d:\\d\\d:\\d\\d Rutina: - AbrirRecordset Mensaje Ha ocurrido "
        "el Siguiente Error \\(3709\\) La conexión está cerrada\\. Respondió : "
        "Reintentar\r\n$");
    EXPECT_TRUE(line.match(log()).hasMatch()) << log().toStdString();
    EXPECT_TRUE(logBytes().contains("Respondi\xF3 : Reintentar\r\n"));
}

TEST_F(ErrorTreatment, DefaultsAndOtherButtons) {
    boxes_.answer(answer::Abort).answer(answer::No).answer(answer::Ok);
    EXPECT_EQ(db().TratamientoErrores(kError), answer::Abort);
    EXPECT_EQ(db().TratamientoErrores(kError, mb::YesNo, "Rutina"), answer::No);
    EXPECT_EQ(db().TratamientoErrores(kError, mb::OkOnly), answer::Ok);
    EXPECT_EQ(boxes_.shown()[0].style, mb::AbortRetryIgnore | mb::Critical);
    EXPECT_EQ(boxes_.shown()[0].title, "KL_CONFIG Aviso al operador!!! - 5 ");
    EXPECT_EQ(boxes_.shown()[1].style, mb::YesNo);

    const QStringList lines = log().split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].contains(" Rutina:  Mensaje Ha ocurrido"));
    EXPECT_TRUE(lines[0].endsWith(" Respondió : Abortar"));
    EXPECT_TRUE(lines[1].contains(" Rutina: - Rutina Mensaje "));
    EXPECT_TRUE(lines[1].endsWith(" Respondió : No"));
    EXPECT_TRUE(lines[2].endsWith(" Respondió : "));
}

TEST_F(ErrorTreatment, ErrorNumberZeroIsNoError) {
    EXPECT_EQ(db().TratamientoErrores(RunError{ado::err::AlreadyShown, "nada", "X"}), 0);
    EXPECT_TRUE(boxes_.shown().empty());
    EXPECT_FALSE(QFile::exists(path("KVERR.LOG")));
}

TEST_F(ErrorTreatment, LogThatCannotBeWrittenStillAnswers) {
    db().setArchivoErrores(Value(path("no/existe/KVERR.LOG")));
    EXPECT_EQ(db().ArchivoErrores(), Value(path("no/existe/KVERR.LOG")));
    boxes_.answer(answer::Ignore);
    EXPECT_EQ(db().TratamientoErrores(kError), answer::Ignore);
}

TEST(ErrorLog, LineLayout) {
    const QDateTime when(QDate(2007, 12, 31), QTime(14, 5, 9));
    EXPECT_EQ(errorLogLine(when, "AbrirRecordset", " Ha ocurrido el Siguiente Error (3709) D ",
                           answer::Retry),
              "12-31-2007 14:05:09 Rutina: - AbrirRecordset Mensaje Ha ocurrido el Siguiente "
              "Error (3709) D Respondió : Reintentar");
    EXPECT_EQ(errorLogLine(when, "", "M", answer::Ok),
              "12-31-2007 14:05:09 Rutina:  Mensaje M Respondió : ");
}

TEST(ErrorLog, AnswerNames) {
    EXPECT_EQ(answerName(answer::Retry), "Reintentar");
    EXPECT_EQ(answerName(answer::Ignore), "Ignorar");
    EXPECT_EQ(answerName(answer::Abort), "Abortar");
    EXPECT_EQ(answerName(answer::Cancel), "Cancelar");
    EXPECT_EQ(answerName(answer::Yes), "Sí");
    EXPECT_EQ(answerName(answer::No), "No");
    EXPECT_EQ(answerName(answer::Ok), "");
}

TEST(ErrorLog, PathInTheProgramFolderUnlessOneIsSet) {
    EXPECT_EQ(errorLogPath("", "/opt/kl"), "/opt/kl/KVERR.LOG");
    EXPECT_EQ(errorLogPath("", "/opt/kl/"), "/opt/kl/KVERR.LOG");
    EXPECT_EQ(errorLogPath("", "C:\\KL\\"), "C:\\KL\\KVERR.LOG");
    EXPECT_EQ(errorLogPath("/var/log/kl.log", "/opt/kl"), "/var/log/kl.log");
    DB_Dll db;
    EXPECT_EQ(db.ArchivoErrores(), Value(QString()));
    db.setArchivoErrores(Value(12));
    EXPECT_EQ(db.gLogErr, "12");
    EXPECT_EQ(executableName(), "test_dblayer");
}

}  // namespace
}  // namespace kl::db::test
