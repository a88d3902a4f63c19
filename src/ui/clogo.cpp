#include "ui/clogo.h"

#include "platform/conversions.h"
#include "platform/textfile.h"
#include "platform/ui/windows.h"

#include <QColor>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kl {

namespace {

constexpr int kGradientSteps = 255;
// The caption's first character starts this far above the bottom edge,
// whatever the font's size.
constexpr int kCaptionRise = 16;
// A face name fills a 32-byte field with its terminating zero.
constexpr int kFaceNameBytes = 31;
constexpr int kPointsPerInch = 72;

// a * b / c rounded to the nearest integer, halves away from zero.
int mulDiv(int a, int b, int c) {
    return static_cast<int>(std::lround(static_cast<double>(a) * b / c));
}

// done * difference / total, multiplied first so that exact halves stay
// exact for the rounding.
double shareOf(int done, int difference, int total) {
    return static_cast<double>(static_cast<std::int64_t>(done) * difference) / total;
}

int toComponent(double value) {
    return static_cast<int>(conv::roundHalfEvenToInt(value));
}

// The surface's font as the banner writes with it: the size rounded to whole
// points at the surface's resolution, normal or bold weight, and the face
// name as far as it fits its field in the module's character set.
QFont captionFont(const QFont& surfaceFont, int dotsPerInchY) {
    QFont font(cp1252::decode(cp1252::encode(surfaceFont.family()).left(kFaceNameBytes)));
    const int points = toComponent(surfaceFont.pointSizeF());
    font.setPixelSize(std::max(1, mulDiv(points, dotsPerInchY, kPointsPerInch)));
    font.setWeight(surfaceFont.bold() ? QFont::Bold : QFont::Normal);
    font.setItalic(surfaceFont.italic());
    font.setUnderline(surfaceFont.underline());
    font.setStrikeOut(surfaceFont.strikeOut());
    return font;
}

}  // namespace

cLogo::cLogo() {
    setStartColor(0);
    setEndColor(kButtonFaceColor);
}

void cLogo::setDrawingObject(std::shared_ptr<DrawingSurface> surface) {
    DrawingObject_ = std::move(surface);
}

void cLogo::setStartColor(OleColor color) {
    if (storeColor(color, StartColor_, start_) && DrawingObject_) Draw();
}

void cLogo::setEndColor(OleColor color) {
    if (storeColor(color, EndColor_, end_) && DrawingObject_) Draw();
}

bool cLogo::storeColor(OleColor color, OleColor& stored, Components& components) {
    if (color == stored) return false;
    stored = color;
    components = componentsOf(color);
    return true;
}

cLogo::Components cLogo::componentsOf(OleColor color) {
    // A colour that can't be translated paints black.
    const QColor rgb(translateOleColor(color).value_or(qRgb(0, 0, 0)));
    return {rgb.red(), rgb.green(), rgb.blue()};
}

void cLogo::Draw() {
    if (!DrawingObject_) return;
    const int height = DrawingObject_->heightTwips() / twipsPerPixelY();
    const int width = DrawingObject_->widthTwips() / twipsPerPixelX();
    if (height <= 0) return;
    {
        const std::unique_ptr<QPainter> painter = DrawingObject_->painter();
        if (!painter) return;
        paintBands(*painter, height, width);
        writeCaption(*painter, height);
    }
    DrawingObject_->refresh();
}

// Bands of S = H \ 255 pixels (at least one) from the bottom up, each
// filled with the colour worked out after the band below it, so the bottom
// two share the start colour. The last band reaches past the top edge.
void cLogo::paintBands(QPainter& painter, int height, int width) const {
    const int step = std::max(1, height / kGradientSteps);
    const int dRed = end_.red - start_.red;
    const int dGreen = end_.green - start_.green;
    const int dBlue = end_.blue - start_.blue;
    Components current = start_;
    int bottom = height;
    for (int v = height; v >= 0; v -= step) {
        const int top = bottom - step;
        painter.fillRect(QRect(0, top, width, step),
                         QColor(current.red, current.green, current.blue));
        bottom = top;
        current.red = toComponent(shareOf(height - v, dRed, height) + start_.red);
        current.green = toComponent(shareOf(height - v, dGreen, height) + start_.green);
        current.blue = toComponent(shareOf(height - v, dBlue, height) + start_.blue);
    }
}

// The caption runs upwards from (0, H - 16): the top of its line lies on the
// left edge. It is written in the surface's own pen over what lies beneath,
// and only in what the module's character set can hold.
void cLogo::writeCaption(QPainter& painter, int height) const {
    const QFont font = captionFont(DrawingObject_->font(), painter.device()->logicalDpiY());
    painter.save();
    painter.setFont(font);
    painter.translate(0, height - kCaptionRise);
    painter.rotate(-90);
    painter.drawText(QPointF(0, painter.fontMetrics().ascent()),
                     cp1252::decode(cp1252::encode(Caption_)));
    painter.restore();
}

}  // namespace kl
