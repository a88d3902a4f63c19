// The small mechanisms the program's windows share: one action at a time,
// the program's colours under any skin, a picture fitted to its box, and a
// window centred over its owner.

#include "platform/ui/control_colors.h"
#include "platform/ui/fitted_image.h"
#include "platform/ui/one_at_a_time.h"
#include "platform/ui/windows.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace kl {
namespace {

TEST(OneAtATime, AnActionAskedForWhileOneRunsIsPassedOver) {
    OneAtATime guard;
    int runs = 0;
    bool nested = true;
    EXPECT_TRUE(guard.run([&] {
        ++runs;
        EXPECT_TRUE(guard.running());
        nested = guard.run([&] { ++runs; });
    }));
    EXPECT_FALSE(nested);
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(guard.running());
    EXPECT_TRUE(guard.run([&] { ++runs; }));
    EXPECT_EQ(runs, 2);
}

TEST(OneAtATime, ADoubleClickOnAGuardedButtonIsOneClickAndTwoClicksAreTwo) {
    QWidget window;
    auto* guarded = new QPushButton(QStringLiteral("&Terminar"), &window);
    auto* plain = new QPushButton(QStringLiteral("&Otro"), &window);
    plain->move(0, 40);
    OneAtATime guard;
    int runs = 0;
    int plainRuns = 0;
    guard.connect(*guarded, [&] { ++runs; });
    QObject::connect(plain, &QPushButton::clicked, [&] { ++plainRuns; });
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    // As the windowing system reports one: press, release, press, release.
    const auto doubleClick = [&window](QWidget* button) {
        QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, {},
                           button->mapTo(&window, button->rect().center()));
    };
    doubleClick(guarded);
    doubleClick(plain);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(plainRuns, 2);
    QTest::mouseClick(guarded, Qt::LeftButton);
    EXPECT_EQ(runs, 2);
    // Keys press it as before.
    guarded->setFocus();
    QTest::keyClick(guarded, Qt::Key_Space);
    EXPECT_EQ(runs, 3);
}

// The background a box shows in its middle.
QColor painted(QWidget& box) {
    const QImage image = box.window()->grab().toImage();
    const QPoint middle = box.mapTo(box.window(), box.rect().center());
    return image.pixelColor(middle);
}

class ControlColors : public testing::TestWithParam<const char*> {
  protected:
    void TearDown() override { qApp->setStyleSheet(QString()); }
};

TEST_P(ControlColors, TheProgramsColourWinsOverTheSkinAndKeepsTheControlsOwnSheet) {
    const QString skin = QStringLiteral(KL_SOURCE_DIR "/resources/Styles/") + GetParam();
    QFile file(skin);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << skin.toStdString();
    qApp->setStyleSheet(QString::fromUtf8(file.readAll()));

    QLineEdit box;
    box.setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    box.resize(120, 24);
    setControlColor(box, QPalette::Base, QColor(0, 255, 255));
    setControlColor(box, QPalette::Text, QColor(2, 0, 0));
    EXPECT_EQ(painted(box), QColor(0, 255, 255));
    EXPECT_EQ(box.palette().color(QPalette::Base), QColor(0, 255, 255));
    setControlColor(box, QPalette::Base, Qt::white);
    EXPECT_EQ(painted(box), QColor(Qt::white));
    EXPECT_EQ(box.styleSheet(),
              "QLineEdit { lineedit-password-character: 42; background-color: #ffffff; "
              "color: #020000 }");

    // A combo box paints its own text box: the colour goes to it, and its
    // drop-down list keeps the skin's.
    QComboBox combo;
    combo.setEditable(true);
    combo.resize(120, 24);
    setControlColor(combo, QPalette::Base, QColor(0, 255, 255));
    EXPECT_EQ(painted(*combo.lineEdit()), QColor(0, 255, 255));
}

INSTANTIATE_TEST_SUITE_P(EveryShippedSkin, ControlColors,
                         testing::Values("Vista.cjstyles", "WinXP.Luna.cjstyles",
                                         "WinXP.Royale.cjstyles", "Office2007.cjstyles",
                                         "iTunes/Normalitunes.ini"));

TEST(ControlColors, WithoutASkinThePaletteAlreadyShowsIt) {
    QLineEdit box;
    box.resize(120, 24);
    setControlColor(box, QPalette::Base, QColor(0, 255, 255));
    EXPECT_EQ(painted(box), QColor(0, 255, 255));
}

TEST(FittedImage, APictureSetBeforeTheLayoutShowsAsOneChosenAfterIt) {
    QPixmap picture(400, 200);
    picture.fill(Qt::red);
    const auto shown = [&](bool beforeShowing) {
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* image = new FittedImage;
        image->setMinimumSize(160, 100);
        layout->addWidget(image);
        window.resize(300, 260);
        if (beforeShowing) image->setPicture(picture);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        if (!beforeShowing) image->setPicture(picture);
        EXPECT_EQ(window.size(), QSize(300, 260));
        return image->pixmap().size();
    };
    const QSize atStart = shown(true);
    EXPECT_EQ(atStart, shown(false));
    // The whole picture, its proportions kept, as wide as the box.
    EXPECT_EQ(atStart.width(), 2 * atStart.height());
    EXPECT_LE(atStart.width(), 300);
    EXPECT_GT(atStart.width(), 200);
}

TEST(CenterOverOwner, OverTheOwnerOrElseTheScreenAndAlwaysOnIt) {
    QWidget owner;
    owner.setGeometry(100, 120, 600, 400);
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    const QRect screen = owner.screen()->availableGeometry();

    QDialog small(&owner);
    small.resize(200, 100);
    centerOverOwner(small);
    EXPECT_EQ(small.frameGeometry().center(), owner.frameGeometry().center());

    QDialog wide(&owner);
    wide.resize(screen.width() + 100, 100);
    centerOverOwner(wide);
    EXPECT_EQ(wide.frameGeometry().left(), screen.left());

    QDialog orphan;
    orphan.resize(200, 100);
    centerOverOwner(orphan);
    EXPECT_EQ(orphan.frameGeometry().center(), screen.center());
}

}  // namespace
}  // namespace kl
