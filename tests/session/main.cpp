#include <QApplication>

#include <gtest/gtest.h>

// The shared component works on windows and the pointer, so its tests need
// an application object. CTest lists the tests without the test environment,
// so headless is the default here too.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
