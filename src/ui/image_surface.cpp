#include "ui/image_surface.h"

#include "platform/ui/windows.h"

namespace kl {

ImageSurface::ImageSurface(QSize pixels, QColor background) : image_(pixels, QImage::Format_RGB32) {
    image_.fill(background);
}

int ImageSurface::heightTwips() const {
    return image_.height() * twipsPerPixelY();
}

int ImageSurface::widthTwips() const {
    return image_.width() * twipsPerPixelX();
}

std::unique_ptr<QPainter> ImageSurface::painter() {
    auto painter = std::make_unique<QPainter>(&image_);
    painter->setPen(foreColor_);
    return painter;
}

}  // namespace kl
