#pragma once

#include <functional>

class QDialog;
class QPushButton;
class QString;
class QWidget;

namespace kl {

// Modal windows are shown through one hook, so tests can drive them: the
// hook receives the window instead of a person and returns what exec()
// would have.
using ModalHook = std::function<int(QDialog&)>;
// Runs the window modally (dialog.exec()) unless a hook is installed.
int showModal(QDialog& dialog);
// Installs a hook (an empty one restores exec()); returns the previous one.
ModalHook installModalHook(ModalHook hook);

// A button with its caption, found by `objectName`; screen readers name it
// by the caption without its "&". Enter presses it only when it is the
// window's default button.
QPushButton* captionedButton(const QString& objectName, const QString& caption);

// Centres a window over the window that owns it (its parent's), or over the
// screen when it has none or that one is not shown, and keeps it inside the
// screen. Before a window is shown its frame is not known yet: the centre
// is its client area's.
void centerOverOwner(QWidget& window);

// Twips per screen pixel: 15 at 96 dpi, fewer on denser screens.
int twipsPerPixelX();
int twipsPerPixelY();
// The primary screen's size in twips; 0 when there is no screen.
int screenWidthTwips();
int screenHeightTwips();

}  // namespace kl
