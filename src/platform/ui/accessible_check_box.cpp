#include "platform/ui/accessible_check_box.h"

#include <QAccessibleWidget>

namespace kl {

namespace {

class ClickingInterface : public QAccessibleWidget {
  public:
    explicit ClickingInterface(AccessibleCheckBox* box)
        : QAccessibleWidget(box, QAccessible::CheckBox) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && box().accessibleName().isEmpty())
            return QString(box().text()).remove(u'&');
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = box().checkState() == Qt::Checked;
        s.checkStateMixed = box().checkState() == Qt::PartiallyChecked;
        return s;
    }

    QStringList actionNames() const override { return {pressAction(), toggleAction()}; }

    void doAction(const QString& action) override {
        if (!box().isEnabled()) return;
        if (action == pressAction() || action == toggleAction()) box().click();
    }

  private:
    AccessibleCheckBox& box() const { return *static_cast<AccessibleCheckBox*>(widget()); }
};

// Asked for every class of a widget's ancestry, most derived first: this
// one answers before Qt's own answer for QCheckBox.
QAccessibleInterface* interfaceFor(const QString& className, QObject* object) {
    if (className != QLatin1String(AccessibleCheckBox::staticMetaObject.className()))
        return nullptr;
    return new ClickingInterface(static_cast<AccessibleCheckBox*>(object));
}

}  // namespace

AccessibleCheckBox::AccessibleCheckBox(const QString& text, QWidget* parent)
    : QCheckBox(text, parent) {
    static const bool installed = [] {
        QAccessible::installFactory(interfaceFor);
        return true;
    }();
    Q_UNUSED(installed);
}

}  // namespace kl
