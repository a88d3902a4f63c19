#include <QApplication>

#include <gtest/gtest.h>

namespace {

QtMessageHandler standardHandler = nullptr;

// The offscreen platform warns about window hints it cannot honour; those
// lines say nothing about the code under test.
void quietOffscreenNoise(QtMsgType type, const QMessageLogContext& context,
                         const QString& message) {
    if (message.contains(QLatin1String("does not support propagateSizeHints"))) return;
    standardHandler(type, context, message);
}

}  // namespace

// The test programs' common entry point. CTest lists the cases by running the
// program without the tests' environment, so headless is the default here.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    standardHandler = qInstallMessageHandler(quietOffscreenNoise);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
