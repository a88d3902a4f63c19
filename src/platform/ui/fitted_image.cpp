#include "platform/ui/fitted_image.h"

#include <QResizeEvent>

namespace kl {

FittedImage::FittedImage(QWidget* parent) : QLabel(parent) {
    setAlignment(Qt::AlignCenter);
    // A large picture would otherwise grow the box, and the window with it.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
}

void FittedImage::setPicture(const QPixmap& picture) {
    picture_ = picture;
    fit();
}

void FittedImage::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    fit();
}

void FittedImage::fit() {
    const QSize room = contentsRect().size();
    if (picture_.isNull() || room.isEmpty()) {
        setPixmap(QPixmap());
        return;
    }
    setPixmap(picture_.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

}  // namespace kl
