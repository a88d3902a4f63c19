#include "ui/label_surface.h"

#include "platform/ui/windows.h"

#include <QLabel>

namespace kl {

LabelSurface::LabelSurface(QLabel* label) : label_(label) {}

int LabelSurface::heightTwips() const {
    return label_ ? label_->height() * twipsPerPixelY() : 0;
}

int LabelSurface::widthTwips() const {
    return label_ ? label_->width() * twipsPerPixelX() : 0;
}

QFont LabelSurface::font() const {
    return label_ ? label_->font() : QFont();
}

std::unique_ptr<QPainter> LabelSurface::painter() {
    if (!label_) return nullptr;
    // A label that changed size starts over on a picture of its new size.
    if (canvas_.size() != label_->size()) {
        canvas_ = QPixmap(label_->size());
        canvas_.fill(label_->palette().color(label_->backgroundRole()));
    }
    auto painter = std::make_unique<QPainter>(&canvas_);
    painter->setPen(label_->palette().color(label_->foregroundRole()));
    return painter;
}

void LabelSurface::refresh() {
    if (label_) label_->setPixmap(canvas_);
}

}  // namespace kl
