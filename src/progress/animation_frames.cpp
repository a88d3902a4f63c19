#include "progress/animation_frames.h"

#include <QPainter>

#include <cmath>
#include <numbers>

namespace kl {

namespace {

QPixmap paintFrame(int side, const QColor& color, int head) {
    QPixmap frame(side, side);
    frame.fill(Qt::transparent);
    QPainter painter(&frame);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);

    const double centre = side / 2.0;
    const double dotRadius = side / 11.0;
    const double ringRadius = centre - dotRadius - 1.0;
    for (int dot = 0; dot < kAnimationFrameCount; ++dot) {
        // The dots behind the head fade out, which gives the turn its direction.
        const int behind = (head - dot + kAnimationFrameCount) % kAnimationFrameCount;
        QColor shade = color;
        shade.setAlphaF(1.0 - 0.8 * behind / (kAnimationFrameCount - 1));
        painter.setBrush(shade);
        const double angle = 2.0 * std::numbers::pi * dot / kAnimationFrameCount;
        const QPointF at(centre + ringRadius * std::sin(angle),
                         centre - ringRadius * std::cos(angle));
        painter.drawEllipse(at, dotRadius, dotRadius);
    }
    return frame;
}

}  // namespace

QList<QPixmap> paintAnimationFrames(int side, const QColor& color) {
    QList<QPixmap> frames;
    frames.reserve(kAnimationFrameCount);
    for (int head = 0; head < kAnimationFrameCount; ++head) {
        frames.append(paintFrame(side, color, head));
    }
    return frames;
}

}  // namespace kl
