#include "fuzz/dialog_script_properties.h"
#include "fuzz/seed_replay.h"
#include "platform/scripted_dialogs.h"

#include "support/scripted_dialogs.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace kl {
namespace {

struct Unexpected {
    ShownBox box;
    QString reason;
};

class ScriptedDialogsTest : public testing::Test {
  protected:
    ScriptedDialogsTest() {
        service_.setUnexpectedHandler([this](const ShownBox& box, const QString& reason) {
            unexpected_.push_back({box, reason});
        });
    }
    ScriptedDialogs service_;
    std::vector<Unexpected> unexpected_;
};

TEST_F(ScriptedDialogsTest, AnswersInQueueOrderAndRecordsEveryBox) {
    service_.queueButton(6);
    service_.queueText(QStringLiteral("ADMIN"));
    service_.queueFile(QStringLiteral("/datos/bases.txt"));
    service_.queueDate(QDate(2026, 12, 31));

    EXPECT_EQ(service_.messageBox(QStringLiteral("¿Sigue?"), mb::YesNo, QStringLiteral("T")), 6);
    EXPECT_EQ(
        service_.inputBox(QStringLiteral("Usuario"), QStringLiteral("U"), QStringLiteral("sa")),
        QStringLiteral("ADMIN"));
    EXPECT_EQ(service_.openFile({QStringLiteral("Abrir"),
                                 QStringLiteral("Texto|*.txt"),
                                 1,
                                 QStringLiteral("/datos"),
                                 {}}),
              QStringLiteral("/datos/bases.txt"));
    EXPECT_EQ(service_.pickDate(QDate(2026, 1, 1)), QDate(2026, 12, 31));

    EXPECT_TRUE(unexpected_.empty());
    EXPECT_TRUE(service_.pending().empty());
    ASSERT_EQ(service_.shown().size(), 4u);
    const ShownBox& message = service_.shown()[0];
    EXPECT_EQ(message.kind, BoxKind::Message);
    EXPECT_EQ(message.text, QStringLiteral("¿Sigue?"));
    EXPECT_EQ(message.style, mb::YesNo);
    EXPECT_EQ(message.title, QStringLiteral("T"));
    EXPECT_EQ(service_.shown()[1].kind, BoxKind::Input);
    EXPECT_EQ(service_.shown()[1].detail, QStringLiteral("sa"));
    EXPECT_EQ(service_.shown()[2].kind, BoxKind::File);
    EXPECT_EQ(service_.shown()[2].text, QStringLiteral("Texto|*.txt"));
    EXPECT_EQ(service_.shown()[2].title, QStringLiteral("Abrir"));
    EXPECT_EQ(service_.shown()[2].detail, QStringLiteral("/datos"));
    EXPECT_EQ(service_.shown()[3].kind, BoxKind::Date);
    EXPECT_EQ(service_.shown()[3].text, QStringLiteral("01/01/2026"));
}

TEST_F(ScriptedDialogsTest, CancelledAnswers) {
    service_.queueInputCancelled();
    service_.queueFile(QString());
    service_.queueDate(std::nullopt);
    EXPECT_EQ(service_.inputBox(QStringLiteral("p"), QString(), QStringLiteral("x")), std::nullopt);
    EXPECT_EQ(service_.openFile({}), QString());
    EXPECT_EQ(service_.pickDate(QDate(2026, 1, 1)), std::nullopt);
    EXPECT_TRUE(unexpected_.empty());
}

TEST_F(ScriptedDialogsTest, EmptyQueueTellsTheHandlerAndTakesTheDefaults) {
    EXPECT_EQ(
        service_.messageBox(QStringLiteral("m"), mb::YesNoCancel | mb::DefaultButton3, QString()),
        2);
    EXPECT_EQ(service_.inputBox(QStringLiteral("p"), QString(), QStringLiteral("def")),
              QStringLiteral("def"));
    EXPECT_EQ(service_.openFile({}), QString());
    EXPECT_EQ(service_.pickDate(QDate(2026, 3, 4)), QDate(2026, 3, 4));
    EXPECT_EQ(service_.pickDate(QDate()), std::nullopt);

    ASSERT_EQ(unexpected_.size(), 5u);
    EXPECT_EQ(unexpected_[0].box.text, QStringLiteral("m"));
    EXPECT_EQ(unexpected_[0].reason, QStringLiteral("no queda ninguna respuesta"));
    EXPECT_EQ(service_.shown().size(), 5u);
}

TEST_F(ScriptedDialogsTest, AnswerForAnotherKindOfBoxWaitsForItsBox) {
    service_.queueText(QStringLiteral("ADMIN"));
    EXPECT_EQ(service_.messageBox(QStringLiteral("extra"), mb::OkOnly, QString()), 1);
    ASSERT_EQ(unexpected_.size(), 1u);
    EXPECT_EQ(unexpected_[0].reason, QStringLiteral("la próxima respuesta es texto \"ADMIN\""));
    EXPECT_EQ(service_.inputBox(QStringLiteral("Usuario"), QString(), QString()),
              QStringLiteral("ADMIN"));
    EXPECT_EQ(unexpected_.size(), 1u);
}

TEST_F(ScriptedDialogsTest, AnswerTheBoxCannotGiveIsRefused) {
    service_.queueButton(6);
    EXPECT_EQ(
        service_.messageBox(QStringLiteral("Listo"), mb::OkCancel | mb::DefaultButton2, QString()),
        2);
    ASSERT_EQ(unexpected_.size(), 1u);
    EXPECT_EQ(unexpected_[0].reason,
              QStringLiteral("el aviso no tiene el botón de la respuesta 6"));
    EXPECT_EQ(service_.pending().size(), 1u);
}

TEST(ScopedDialogs, InstallsItselfAndRestoresThePreviousService) {
    DialogService* before = &dialogs();
    {
        test::ScopedDialogs boxes;
        EXPECT_EQ(&dialogs(), &boxes.service());
        {
            test::ScopedDialogs inner;
            EXPECT_EQ(&dialogs(), &inner.service());
        }
        EXPECT_EQ(&dialogs(), &boxes.service());
    }
    EXPECT_EQ(&dialogs(), before);
}

TEST(ScopedDialogs, BoxWithNothingQueuedFailsTheTestQuotingTheBox) {
    EXPECT_NONFATAL_FAILURE(
        {
            test::ScopedDialogs boxes;
            EXPECT_EQ(MsgBox(QStringLiteral("No existe la tabla"), mb::Critical), 1);
        },
        "No existe la tabla");
}

TEST(ScopedDialogs, AnswerLeftUnusedFailsTheTest) {
    EXPECT_NONFATAL_FAILURE(
        {
            test::ScopedDialogs boxes;
            boxes.date(QDate(2026, 12, 31));
        },
        "fecha 31/12/2026");
}

TEST(DialogScriptParsing, EveryKindOfLine) {
    const DialogScript script = parseDialogScript(QStringLiteral(
        "# respuestas del arranque\r\n7\r\n\r\n texto:ADMIN \r\nTEXTO:\r\narchivo: /tmp/a b.mdb\r\n"
        "archivo:\r\nfecha:31/12/2026\r\nfecha:\r\n 1\r\n"));
    EXPECT_TRUE(script.problems.isEmpty()) << script.problems.join('\n').toStdString();
    ASSERT_EQ(script.answers.size(), 8u);
    EXPECT_EQ(script.answers[0].kind, BoxKind::Message);
    EXPECT_EQ(script.answers[0].button, 7);
    EXPECT_EQ(script.answers[1].kind, BoxKind::Input);
    EXPECT_EQ(script.answers[1].text, QStringLiteral("ADMIN "));
    EXPECT_EQ(script.answers[2].text, QString());
    EXPECT_EQ(script.answers[3].kind, BoxKind::File);
    EXPECT_EQ(script.answers[3].text, QStringLiteral("/tmp/a b.mdb"));
    EXPECT_EQ(script.answers[4].text, QString());
    EXPECT_EQ(script.answers[5].kind, BoxKind::Date);
    EXPECT_EQ(script.answers[5].date, QDate(2026, 12, 31));
    EXPECT_EQ(script.answers[6].date, std::nullopt);
    EXPECT_EQ(script.answers[7].button, 1);
}

TEST(DialogScriptParsing, BadLinesAreNamedByNumberAndTheRestStillParses) {
    const DialogScript script = parseDialogScript(
        QStringLiteral("8\nSi\nfecha:31/02/2026\nclave:x\n6\nfecha:2026-12-31\n0\n"));
    ASSERT_EQ(script.answers.size(), 1u);
    EXPECT_EQ(script.answers[0].button, 6);
    EXPECT_EQ(
        script.problems,
        QStringList({QStringLiteral("línea 1: se esperaba una respuesta de 1 a 7, \"texto:\", "
                                    "\"archivo:\" o \"fecha:\" y dice \"8\""),
                     QStringLiteral("línea 2: se esperaba una respuesta de 1 a 7, \"texto:\", "
                                    "\"archivo:\" o \"fecha:\" y dice \"Si\""),
                     QStringLiteral("línea 3: la fecha \"31/02/2026\" no es válida (dd/mm/aaaa)"),
                     QStringLiteral("línea 4: tipo de respuesta desconocido \"clave\""),
                     QStringLiteral("línea 6: la fecha \"2026-12-31\" no es válida (dd/mm/aaaa)"),
                     QStringLiteral("línea 7: se esperaba una respuesta de 1 a 7, \"texto:\", "
                                    "\"archivo:\" o \"fecha:\" y dice \"0\"")}));
}

class ScriptFromEnvironment : public testing::Test {
  protected:
    void TearDown() override {
        qputenv("KL_GUION_AVISOS", QByteArray());
        installDialogs(previous_);
    }
    QString writeScript(const QByteArray& content) {
        const QString path = folder_.filePath(QStringLiteral("guion.txt"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return path;
    }
    void install(const QString& path) {
        qputenv("KL_GUION_AVISOS", path.toLocal8Bit());
        previous_ = installDialogs(nullptr);
        testing::internal::CaptureStderr();
        service_ = installScriptFromEnvironment();
        stderr_ = testing::internal::GetCapturedStderr();
    }

    QTemporaryDir folder_;
    std::shared_ptr<DialogService> previous_;
    std::shared_ptr<ScriptedDialogs> service_;
    std::string stderr_;
};

TEST_F(ScriptFromEnvironment, UnsetVariableInstallsNothing) {
    previous_ = installDialogs(nullptr);
    qputenv("KL_GUION_AVISOS", QByteArray());
    EXPECT_EQ(installScriptFromEnvironment(), nullptr);
}

TEST_F(ScriptFromEnvironment, TheProgramsBoxesAreAnsweredFromTheFile) {
    install(
        writeScript("6\ntexto:Contrase\xC3\xB1"
                    "a\n"));
    ASSERT_NE(service_, nullptr);
    EXPECT_EQ(&dialogs(), service_.get());
    EXPECT_EQ(MsgBox(QStringLiteral("¿Reintenta?"), mb::YesNo), 6);
    EXPECT_EQ(InputBox(QStringLiteral("Texto")), QStringLiteral("Contraseña"));
    EXPECT_TRUE(stderr_.empty()) << stderr_;
}

TEST_F(ScriptFromEnvironment, ScriptWithBadLinesIsRejectedWholeAndReported) {
    install(writeScript("6\nfecha:99/99/9999\n"));
    ASSERT_NE(service_, nullptr);
    EXPECT_TRUE(service_->pending().empty());
    EXPECT_NE(stderr_.find("KL_GUION_AVISOS rechazado"), std::string::npos) << stderr_;
    EXPECT_NE(stderr_.find("línea 2"), std::string::npos) << stderr_;
    // No person to answer: the box takes its default instead of waiting.
    testing::internal::CaptureStderr();
    EXPECT_EQ(MsgBox(QStringLiteral("¿Reintenta?"), mb::YesNo | mb::DefaultButton2), 7);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("¿Reintenta?"), std::string::npos);
}

TEST_F(ScriptFromEnvironment, MissingFileIsReported) {
    install(folder_.filePath(QStringLiteral("no-existe.txt")));
    ASSERT_NE(service_, nullptr);
    EXPECT_NE(stderr_.find("no se puede leer el guion de avisos"), std::string::npos) << stderr_;
}

TEST(DialogScript, TheFuzzersSeedsGiveAnAnswerOrAProblemALineAndAnswerInOrder) {
    properties::checkPrefixes("dialog_script", properties::dialogScriptViolation);
}

}  // namespace
}  // namespace kl
