#include "platform/ui/windows.h"

#include <QDialog>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

namespace kl {

namespace {

ModalHook& installedHook() {
    static ModalHook hook;
    return hook;
}

constexpr double kTwipsPerInch = 1440.0;
constexpr int kTwipsPerPixelAt96Dpi = 15;

int twipsPerPixel(double dotsPerInch) {
    return dotsPerInch > 0 ? qRound(kTwipsPerInch / dotsPerInch) : kTwipsPerPixelAt96Dpi;
}

}  // namespace

int showModal(QDialog& dialog) {
    // A copy, so a hook that installs another one while it runs stays alive.
    const ModalHook hook = installedHook();
    return hook ? hook(dialog) : dialog.exec();
}

ModalHook installModalHook(ModalHook hook) {
    ModalHook previous = std::move(installedHook());
    installedHook() = std::move(hook);
    return previous;
}

QPushButton* captionedButton(const QString& objectName, const QString& caption) {
    auto* button = new QPushButton(caption);
    button->setObjectName(objectName);
    QString name = caption;
    button->setAccessibleName(name.remove(u'&'));
    button->setAutoDefault(false);
    return button;
}

int twipsPerPixelX() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return twipsPerPixel(screen ? screen->logicalDotsPerInchX() : 0);
}

int twipsPerPixelY() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return twipsPerPixel(screen ? screen->logicalDotsPerInchY() : 0);
}

int screenWidthTwips() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().width() * twipsPerPixelX() : 0;
}

int screenHeightTwips() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().height() * twipsPerPixelY() : 0;
}

}  // namespace kl
