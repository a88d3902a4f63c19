#include "platform/ui/accessible_combo_box.h"

#include <QAccessibleWidget>
#include <QLineEdit>

namespace kl {

namespace {

class NamedInterface : public QAccessibleWidget {
  public:
    explicit NamedInterface(AccessibleComboBox* box)
        : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && !box().accessibleName().isEmpty())
            return box().accessibleName();
        if (t == QAccessible::Name || t == QAccessible::Value) return box().currentText();
        return QAccessibleWidget::text(t);
    }

  private:
    AccessibleComboBox& box() const { return *static_cast<AccessibleComboBox*>(widget()); }
};

// Asked for every class of a widget's ancestry, most derived first: this
// one answers before Qt's own answer for QComboBox.
QAccessibleInterface* interfaceFor(const QString& className, QObject* object) {
    if (className != QLatin1String(AccessibleComboBox::staticMetaObject.className()))
        return nullptr;
    return new NamedInterface(static_cast<AccessibleComboBox*>(object));
}

}  // namespace

AccessibleComboBox::AccessibleComboBox(QWidget* parent) : QComboBox(parent) {
    static const bool installed = [] {
        QAccessible::installFactory(interfaceFor);
        return true;
    }();
    Q_UNUSED(installed);
}

}  // namespace kl
