#pragma once

#include <QCheckBox>

namespace kl {

// A check box that a screen reader ticks as the mouse does. Qt's own
// accessibility for check boxes answers the toggle action by flipping the
// state alone: clicked() never comes, so a window's click handling (a
// caption that follows the state, a switch that changes how keys are
// typed) is skipped. Here both the press and the toggle action are a
// click():
//
//   auto* modo = new AccessibleCheckBox(QStringLiteral("Mayúsculas/Minúsculas"));
//   connect(modo, &QCheckBox::clicked, ...);   // runs for the mouse, Space,
//   QAccessible::queryAccessibleInterface(modo)  // and the screen reader
//       ->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
class AccessibleCheckBox : public QCheckBox {
    Q_OBJECT
  public:
    explicit AccessibleCheckBox(const QString& text, QWidget* parent = nullptr);
};

}  // namespace kl
