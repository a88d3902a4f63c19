#pragma once

#include <QColor>
#include <QList>
#include <QPixmap>

namespace kl {

// The notice's animation: a ring of dots whose bright head moves one place
// per frame, so the frames played in order look like a spinner.
inline constexpr int kAnimationFrameCount = 12;

QList<QPixmap> paintAnimationFrames(int side, const QColor& color);

}  // namespace kl
