#include "platform/ui/one_at_a_time.h"

#include <QAbstractButton>
#include <QEvent>
#include <QMouseEvent>
#include <QScopedValueRollback>

#include <utility>

namespace kl {

OneAtATime::OneAtATime(QObject* parent) : QObject(parent) {}

bool OneAtATime::run(const std::function<void()>& action) {
    if (running_) return false;
    const QScopedValueRollback<bool> running(running_, true);
    action();
    return true;
}

void OneAtATime::connect(QAbstractButton& button, std::function<void()> action) {
    watch(button);
    QObject::connect(&button, &QAbstractButton::clicked, this,
                     [this, action = std::move(action)] { run(action); });
}

void OneAtATime::watch(QAbstractButton& button) {
    button.installEventFilter(this);
}

bool OneAtATime::eventFilter(QObject* watched, QEvent* event) {
    // A double click's second press comes as a press marked as the start of
    // a double click, then the double click itself, which a button takes as
    // one more press. Without either the release that follows clicks nothing.
    switch (event->type()) {
        case QEvent::MouseButtonDblClick:
            return true;
        case QEvent::MouseButtonPress:
            if (static_cast<QMouseEvent*>(event)->flags() & Qt::MouseEventCreatedDoubleClick)
                return true;
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace kl
