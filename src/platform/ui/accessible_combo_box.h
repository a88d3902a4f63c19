#pragma once

#include <QComboBox>

namespace kl {

// An editable combo box that a screen reader names by its accessible name
// while text is typed into it. On this platform Qt names an editable combo
// box by the text it holds, so a lookup's search box, named after its
// column, would be read as "ab" once the operator typed "ab"; the text is
// its value:
//
//   auto* caja = new AccessibleComboBox;
//   caja->setAccessibleName(QStringLiteral("DESCRIPCION"));
//   caja->setEditText(QStringLiteral("ab"));
//   QAccessible::queryAccessibleInterface(caja)->text(QAccessible::Name);   // "DESCRIPCION"
//   QAccessible::queryAccessibleInterface(caja)->text(QAccessible::Value);  // "ab"
class AccessibleComboBox : public QComboBox {
    Q_OBJECT
  public:
    explicit AccessibleComboBox(QWidget* parent = nullptr);
};

}  // namespace kl
