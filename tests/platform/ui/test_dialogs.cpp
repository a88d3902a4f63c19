#include "platform/dialogs.h"

#include "support/scripted_dialogs.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kl {
namespace {

TEST(MessageBoxStyle, ButtonSetsAnswerInClassicOrder) {
    EXPECT_EQ(answersOf(mb::OkOnly), QList<int>({1}));
    EXPECT_EQ(answersOf(mb::OkCancel), QList<int>({1, 2}));
    EXPECT_EQ(answersOf(mb::AbortRetryIgnore), QList<int>({3, 4, 5}));
    EXPECT_EQ(answersOf(mb::YesNoCancel), QList<int>({6, 7, 2}));
    EXPECT_EQ(answersOf(mb::YesNo), QList<int>({6, 7}));
    EXPECT_EQ(answersOf(mb::RetryCancel), QList<int>({4, 2}));
    // Icon and default-button bits do not change the buttons.
    EXPECT_EQ(answersOf(mb::YesNo | mb::Question | mb::DefaultButton2), QList<int>({6, 7}));
    EXPECT_EQ(answersOf(9), QList<int>({1}));
}

TEST(MessageBoxStyle, DefaultButtonFallsBackToFirstWhenBoxIsShorter) {
    EXPECT_EQ(defaultAnswer(mb::YesNoCancel), 6);
    EXPECT_EQ(defaultAnswer(mb::YesNoCancel | mb::DefaultButton2), 7);
    EXPECT_EQ(defaultAnswer(mb::YesNoCancel | mb::DefaultButton3), 2);
    EXPECT_EQ(defaultAnswer(mb::YesNo | mb::DefaultButton3), 6);
    EXPECT_EQ(defaultAnswer(mb::OkOnly | mb::DefaultButton2), 1);
    EXPECT_EQ(defaultAnswer(mb::AbortRetryIgnore | mb::Critical | mb::DefaultButton2), 4);
}

TEST(MessageBoxStyle, EscapePrefersCancelThenNo) {
    EXPECT_EQ(escapeAnswer(mb::OkOnly), 1);
    EXPECT_EQ(escapeAnswer(mb::OkCancel), 2);
    EXPECT_EQ(escapeAnswer(mb::AbortRetryIgnore), std::nullopt);
    EXPECT_EQ(escapeAnswer(mb::YesNoCancel), 2);
    EXPECT_EQ(escapeAnswer(mb::YesNo), 7);
    EXPECT_EQ(escapeAnswer(mb::RetryCancel), 2);
}

TEST(MsgBoxFront, EmptyTitleShowsTheProgramName) {
    test::ScopedDialogs boxes;
    boxes.answer(1).answer(1);
    MsgBox(QStringLiteral("uno"));
    const QString saved = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QStringLiteral("KL000PR"));
    MsgBox(QStringLiteral("dos"), mb::OkOnly, QString());
    QCoreApplication::setApplicationName(saved);

    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_EQ(boxes.shown()[0].title, QStringLiteral("test_platform_ui"));
    EXPECT_EQ(boxes.shown()[1].title, QStringLiteral("KL000PR"));
}

TEST(MsgBoxFront, GivenTitleAndStyleReachTheService) {
    test::ScopedDialogs boxes;
    boxes.answer(7);
    EXPECT_EQ(
        MsgBox(QStringLiteral("¿Continúa?"), mb::YesNo | mb::Question, QStringLiteral("Atención")),
        7);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].title, QStringLiteral("Atención"));
    EXPECT_EQ(boxes.shown()[0].style, mb::YesNo | mb::Question);
}

TEST(MsgBoxFront, EveryLineBreakConventionBecomesOneBreak) {
    test::ScopedDialogs boxes;
    boxes.answer(1).text(QString());
    MsgBox(QStringLiteral("a\r\nb\rc\nd\r\n\r\ne"));
    InputBox(QStringLiteral("Usuario:\r\nClave:"));
    EXPECT_EQ(boxes.shown()[0].text, QStringLiteral("a\nb\nc\nd\n\ne"));
    EXPECT_EQ(boxes.shown()[1].text, QStringLiteral("Usuario:\nClave:"));
}

TEST(InputBoxFront, CancelGivesEmptyTextAndTypedTextComesBack) {
    test::ScopedDialogs boxes;
    boxes.cancelInput().text(QStringLiteral("ADMIN"));
    EXPECT_EQ(InputBox(QStringLiteral("Usuario"), QString(), QStringLiteral("sa")), QString());
    EXPECT_EQ(InputBox(QStringLiteral("Usuario"), QStringLiteral("Ingreso")),
              QStringLiteral("ADMIN"));
    EXPECT_EQ(boxes.shown()[0].detail, QStringLiteral("sa"));
    EXPECT_EQ(boxes.shown()[0].title, defaultTitle());
    EXPECT_EQ(boxes.shown()[1].title, QStringLiteral("Ingreso"));
}

class TraceFile : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        path_ = folder_.filePath(QStringLiteral("avisos.txt"));
        qputenv("KL_TRAZA_AVISOS", path_.toLocal8Bit());
    }
    void TearDown() override { qputenv("KL_TRAZA_AVISOS", QByteArray()); }
    QByteArray traced() const {
        QFile file(path_);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir folder_;
    QString path_;
};

TEST_F(TraceFile, OneUtf8LinePerBoxWithFourTabSeparatedFields) {
    test::ScopedDialogs boxes;
    boxes.answer(6).answer(1);
    MsgBox(QStringLiteral("Línea 1\r\nLínea\t2"), mb::YesNo | mb::Question,
           QStringLiteral("Atención"));
    MsgBox(QStringLiteral("Listo"));

    const QByteArray expected = QStringLiteral("Atención\t36\tLínea 1\\nLínea\\t2\t6\n").toUtf8() +
                                defaultTitle().toUtf8() + "\t0\tListo\t1\n";
    EXPECT_EQ(traced(), expected);
}

TEST_F(TraceFile, InputBoxesAreNotTraced) {
    test::ScopedDialogs boxes;
    boxes.text(QStringLiteral("secreto"));
    InputBox(QStringLiteral("Clave"));
    EXPECT_TRUE(traced().isEmpty());
}

TEST(ConsoleDialogs, AnswerTheDefaultWithoutWaiting) {
    const std::shared_ptr<DialogService> previous = installDialogs(nullptr);
    testing::internal::CaptureStderr();
    const int answer =
        MsgBox(QStringLiteral("¿Borra?"), mb::YesNo | mb::DefaultButton2, QStringLiteral("T"));
    const QString typed = InputBox(QStringLiteral("Nombre"), QString(), QStringLiteral("JUAN"));
    const QString chosen =
        dialogs().openFile({QStringLiteral("Abrir"), QStringLiteral("Todos|*.*"), 1, {}, {}});
    const std::optional<QDate> date = dialogs().pickDate(QDate(2026, 12, 31));
    const std::string written = testing::internal::GetCapturedStderr();
    installDialogs(previous);

    EXPECT_EQ(answer, 7);
    EXPECT_EQ(typed, QStringLiteral("JUAN"));
    EXPECT_TRUE(chosen.isEmpty());
    EXPECT_EQ(date, QDate(2026, 12, 31));
    EXPECT_NE(written.find("[T]"), std::string::npos) << written;
    EXPECT_NE(written.find("-> 7"), std::string::npos) << written;
}

TEST(DialogRegistry, InstallReturnsThePreviousService) {
    auto first = std::make_shared<ScriptedDialogs>();
    auto second = std::make_shared<ScriptedDialogs>();
    const std::shared_ptr<DialogService> original = installDialogs(first);
    EXPECT_EQ(&dialogs(), first.get());
    EXPECT_EQ(installDialogs(second), first);
    EXPECT_EQ(&dialogs(), second.get());
    EXPECT_EQ(installDialogs(original), second);
}

}  // namespace
}  // namespace kl
