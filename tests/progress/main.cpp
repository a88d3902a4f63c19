#include <QApplication>

#include <gtest/gtest.h>

// The notice is a widget, so its tests need an application object. Test
// discovery runs this binary without the test environment, so headless is
// also the default here.
int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
