#include "platform/ui/first_paint.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace kl {

namespace {

class FirstPaint : public QObject {
  public:
    FirstPaint(QWidget& window, std::function<void()> then)
        : QObject(&window), then_(std::move(then)) {
        window.installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            // Queued: the paint this event starts must reach the screen first.
            QTimer::singleShot(0, watched, std::move(then_));
            deleteLater();
        }
        return false;
    }

  private:
    std::function<void()> then_;
};

}  // namespace

void afterFirstPaint(QWidget& window, std::function<void()> then) {
    new FirstPaint(window, std::move(then));
}

}  // namespace kl
