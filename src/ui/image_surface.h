#pragma once

#include "ui/drawing_surface.h"

#include <QColor>
#include <QImage>
#include <QSize>

namespace kl {

// A drawing surface over an image of its own, for pictures saved to a file
// and for checking what was drawn pixel by pixel.
class ImageSurface : public DrawingSurface {
  public:
    // An image of the given size in pixels, filled with `background`.
    explicit ImageSurface(QSize pixels, QColor background = Qt::white);

    int heightTwips() const override;
    int widthTwips() const override;
    QFont font() const override { return font_; }
    std::unique_ptr<QPainter> painter() override;
    void refresh() override { ++refreshCount_; }

    void setFont(const QFont& font) { font_ = font; }
    // The colour text is written in; black, as a new picture control's.
    void setForeColor(QColor color) { foreColor_ = color; }

    const QImage& image() const { return image_; }
    // How many times what was painted has been shown.
    int refreshCount() const { return refreshCount_; }

  private:
    QImage image_;
    QFont font_;
    QColor foreColor_ = Qt::black;
    int refreshCount_ = 0;
};

}  // namespace kl
