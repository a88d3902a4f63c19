#pragma once

#include <functional>

class QWidget;

namespace kl {

// Runs `then` once, right after the window's first paint (the paint event
// handled and its picture flushed to the screen): the moment an operator
// first sees the window. The start-up benchmark waits for it.
void afterFirstPaint(QWidget& window, std::function<void()> then);

}  // namespace kl
