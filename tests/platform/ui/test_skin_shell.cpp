#include "fuzz/seed_replay.h"
#include "fuzz/skin_properties.h"
#include "platform/error_numbers.h"
#include "platform/ui/shell.h"
#include "platform/ui/skin.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

namespace kl {
namespace {

class SkinFrameworkTest : public testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(folder_.isValid()); }
    void TearDown() override { qApp->setStyleSheet(QString()); }
    QString write(const QString& name, const QByteArray& content) {
        const QString path = QDir(folder_.path()).filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return path;
    }

    QTemporaryDir folder_;
    SkinFramework skin_;
};

TEST_F(SkinFrameworkTest, StyleSheetFileDressesTheWindowAndWithBitOneTheApplication) {
    const QString path =
        write(QStringLiteral("Styles/Vista.cjstyles"), "QWidget { color: #123456; }");
    EXPECT_EQ(skin_.LoadSkin(path, QString()), std::nullopt);
    QWidget window;
    skin_.ApplyWindow(window);
    EXPECT_EQ(window.styleSheet(), QStringLiteral("QWidget { color: #123456; }"));
    EXPECT_TRUE(qApp->styleSheet().isEmpty());

    skin_.SetApplyOptions(skin_.ApplyOptions() | 1);
    EXPECT_EQ(skin_.ApplyOptions(), 1);
    EXPECT_EQ(qApp->styleSheet(), QStringLiteral("QWidget { color: #123456; }"));
    // A window dressed afterwards wears the program's sheet alone.
    skin_.ApplyWindow(window);
    EXPECT_EQ(window.styleSheet(), u"");
}

TEST_F(SkinFrameworkTest, FolderSkinTakesTheFileNamedByTheIni) {
    write(QStringLiteral("Styles/iTunes/Normalitunes.ini"), "QPushButton { border: 1px; }");
    EXPECT_EQ(skin_.LoadSkin(QDir(folder_.path()).filePath(QStringLiteral("Styles/iTunes")),
                             QStringLiteral("Normalitunes.ini")),
              std::nullopt);
    EXPECT_EQ(skin_.styleSheet(), QStringLiteral("QPushButton { border: 1px; }"));
}

TEST_F(SkinFrameworkTest, MissingOrForeignSkinIsAFailureAndKeepsTheSkinBefore) {
    const QString good = write(QStringLiteral("a.qss"), "QLabel { color: red; }");
    ASSERT_EQ(skin_.LoadSkin(good), std::nullopt);

    const StepResult missing =
        skin_.LoadSkin(QDir(folder_.path()).filePath(QStringLiteral("no.cjstyles")));
    ASSERT_TRUE(missing.has_value());
    EXPECT_EQ(missing->number, ado::err::FileNotFound);
    EXPECT_TRUE(missing->description.contains(QStringLiteral("no.cjstyles")));

    const StepResult folderWithoutIni = skin_.LoadSkin(folder_.path(), QString());
    ASSERT_TRUE(folderWithoutIni.has_value());
    EXPECT_EQ(folderWithoutIni->number, ado::err::FileNotFound);

    const StepResult binary =
        skin_.LoadSkin(write(QStringLiteral("Office2007.cjstyles"), QByteArray("MZ\0\0\x90", 5)));
    ASSERT_TRUE(binary.has_value());
    EXPECT_EQ(binary->number, 321);

    EXPECT_EQ(skin_.styleSheet(), QStringLiteral("QLabel { color: red; }"));
}

TEST(Shell, TargetsThatCannotBeOpenedAreRefused) {
    EXPECT_FALSE(openWithShell(QString()));
    EXPECT_FALSE(openWithShell(QStringLiteral("  \"\"  ")));
    EXPECT_FALSE(openWithShell(QStringLiteral("\"/no/existe/manual del sistema.pdf\"")));
}

TEST(Shell, ProgramStartsWithoutWaitingOrReportsThatItCouldNot) {
    const std::optional<qint64> started =
        startProgram(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("exit 0")});
    ASSERT_TRUE(started.has_value());
    EXPECT_GT(*started, 0);
    EXPECT_EQ(startProgram(QStringLiteral("/no/existe/KL000PR"), {}), std::nullopt);
    EXPECT_EQ(startProgram(QString(), {}), std::nullopt);
}

TEST(SkinFiles, TheFuzzersSeedsAreRefusedWhenBinaryAndDressAWindowOtherwise) {
    const QTemporaryDir folder;
    properties::SkinnedWindow window;
    properties::checkPrefixes("skin", [&](const QByteArray& bytes) {
        return properties::skinViolation(QDir(folder.path()), window, bytes);
    });
}

}  // namespace
}  // namespace kl
