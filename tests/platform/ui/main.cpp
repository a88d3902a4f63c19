#include <QApplication>

#include <gtest/gtest.h>

namespace {

QtMessageHandler standardHandler = nullptr;

// The offscreen platform says this for every message box it sizes.
void quietOffscreenNoise(QtMsgType type, const QMessageLogContext& context,
                         const QString& message) {
    if (message.contains(QLatin1String("does not support propagateSizeHints"))) return;
    standardHandler(type, context, message);
}

}  // namespace

// The widget dialogs need an application object.
int main(int argc, char** argv) {
    // CTest lists the cases without the tests' environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    standardHandler = qInstallMessageHandler(quietOffscreenNoise);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
