#pragma once

// One action of a window at a time. An action that lets window events run
// while it works (a progress notice, a message box, a modal window) would
// otherwise start again over itself: the second press of a hurried double
// click, or a second Enter, arrives while the first is still working, finds
// the work half done and says so ("El rango de fechas ingresado interfiere
// con los de otro Ejercicio" for a year the first press has just created).
//
//     OneAtATime unaALaVez;
//     unaALaVez.connect(*CmdSiguiente, [this] { CmdSiguiente_Click(); });
//     unaALaVez.run([this] { ... });   // a list's double click, a key
//
// A press while an action runs is passed over. And on a guarded button the
// second press of a double click is the same press, never a second one, so
// an action quick enough to end before it arrives does not run twice either.

#include <QObject>

#include <functional>

class QAbstractButton;

namespace kl {

class OneAtATime : public QObject {
  public:
    explicit OneAtATime(QObject* parent = nullptr);

    // Runs `action` unless an action of this guard is running; false when
    // it was passed over.
    bool run(const std::function<void()>& action);
    bool running() const { return running_; }

    // The button's clicks run `action` through run(), and its double clicks
    // count as one click.
    void connect(QAbstractButton& button, std::function<void()> action);
    // Only the double clicks: for a button whose clicks go elsewhere.
    void watch(QAbstractButton& button);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool running_ = false;
};

}  // namespace kl
