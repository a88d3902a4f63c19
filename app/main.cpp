#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("klconfig"));
    window.setWindowTitle(QStringLiteral("Configuración del Sistema"));
    window.resize(640, 480);
    window.show();
    return app.exec();
}
