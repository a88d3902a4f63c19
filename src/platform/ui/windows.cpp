#include "platform/ui/windows.h"

#include <QDialog>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

#include <algorithm>

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

void centerOverOwner(QWidget& window) {
    const QWidget* owner = window.parentWidget() ? window.parentWidget()->window() : nullptr;
    const QScreen* screen = owner && owner->isVisible() ? owner->screen() : window.screen();
    if (!screen) return;
    const QRect available = screen->availableGeometry();
    QRect frame = window.frameGeometry();
    frame.moveCenter(owner && owner->isVisible() ? owner->frameGeometry().center()
                                                 : available.center());
    // A window wider than the screen shows its left edge.
    frame.moveLeft(
        std::max(available.left(), std::min(frame.left(), available.right() - frame.width() + 1)));
    frame.moveTop(
        std::max(available.top(), std::min(frame.top(), available.bottom() - frame.height() + 1)));
    window.move(frame.topLeft());
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
