#include "platform/ui/control_colors.h"

#include <QByteArrayView>
#include <QMetaObject>
#include <QStringList>
#include <QVariantMap>
#include <QWidget>

namespace kl {

namespace {

// The control's own sheet before its first colour, and the colours since.
constexpr char kOwnSheet[] = "klOwnSheet";
constexpr char kColors[] = "klColors";

QString sheetProperty(QPalette::ColorRole role) {
    switch (role) {
        case QPalette::Base:
        case QPalette::Window:
        case QPalette::Button:
            return QStringLiteral("background-color");
        case QPalette::Text:
        case QPalette::WindowText:
        case QPalette::ButtonText:
            return QStringLiteral("color");
        case QPalette::Highlight:
            return QStringLiteral("selection-background-color");
        case QPalette::HighlightedText:
            return QStringLiteral("selection-color");
        default:
            return QString();
    }
}

// The Qt class a control is: its type selector matches the program's own
// subclasses too, whose names ("kl::AccessibleComboBox") a selector cannot
// spell.
const char* qtClassOf(const QWidget& control) {
    const QMetaObject* type = control.metaObject();
    while (type->superClass() && QByteArrayView(type->className()).contains("::"))
        type = type->superClass();
    return type->className();
}

}  // namespace

void setControlColor(QWidget& control, QPalette::ColorRole role, const QColor& color) {
    QPalette colors = control.palette();
    colors.setColor(role, color);
    control.setPalette(colors);

    const QString property = sheetProperty(role);
    if (property.isEmpty()) return;
    if (!control.property(kOwnSheet).isValid())
        control.setProperty(kOwnSheet, control.styleSheet());
    QVariantMap shown = control.property(kColors).toMap();
    shown.insert(property, color.name(QColor::HexRgb));
    control.setProperty(kColors, shown);

    // Under the control's own type only: a sheet without a selector would
    // colour its children too (a combo box's drop-down list).
    QStringList declarations;
    QString own = control.property(kOwnSheet).toString().trimmed();
    const bool ownRules = own.contains(u'{');
    if (!own.isEmpty() && !ownRules) declarations << (own.endsWith(u';') ? own.chopped(1) : own);
    for (auto it = shown.cbegin(); it != shown.cend(); ++it)
        declarations << it.key() + QStringLiteral(": ") + it.value().toString();
    QString sheet = QString::fromLatin1(qtClassOf(control)) + QStringLiteral(" { ") +
                    declarations.join(QStringLiteral("; ")) + QStringLiteral(" }");
    if (ownRules) sheet = own + u'\n' + sheet;
    if (control.styleSheet() != sheet) control.setStyleSheet(sheet);
}

}  // namespace kl
