#include <QApplication>

#include <gtest/gtest.h>

// The test programs' common entry point. CTest lists the cases by running the
// program without the tests' environment, so headless is the default here.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
