#include "ui/clogo.h"
#include "ui/image_surface.h"
#include "ui/label_surface.h"

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QPalette>

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>

namespace kl {
namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;

// 0x00bbggrr, as the module's windows store colours.
OleColor bgr(int red, int green, int blue) {
    return static_cast<OleColor>(red | green << 8 | blue << 16);
}

// Keeps the application palette as it was when the test began.
class PaletteGuard {
  public:
    PaletteGuard() : saved_(QApplication::palette()) {}
    ~PaletteGuard() { QApplication::setPalette(saved_); }
    static void setButtonFace(QColor color) {
        QPalette palette = QApplication::palette();
        palette.setColor(QPalette::Button, color);
        QApplication::setPalette(palette);
    }

  private:
    QPalette saved_;
};

TEST(OleColor, AnRgbValueIsTakenAsGivenAndASystemColourFromThePalette) {
    PaletteGuard guard;
    PaletteGuard::setButtonFace(QColor(12, 34, 56));
    EXPECT_EQ(translateOleColor(0x000000FF), qRgb(255, 0, 0));
    EXPECT_EQ(translateOleColor(0x00563412), qRgb(0x12, 0x34, 0x56));
    EXPECT_EQ(translateOleColor(kButtonFaceColor), qRgb(12, 34, 56));
    EXPECT_EQ(translateOleColor(0x80000005), QApplication::palette().color(QPalette::Base).rgb());
    for (const OleColor none : {0x80000019u, 0x8000001Fu, 0x800000FFu, 0x01000005u, 0x40000000u}) {
        EXPECT_FALSE(translateOleColor(none)) << std::hex << none;
    }
}

// A banner from `start` to `end` drawn once on a new image of `size`.
std::shared_ptr<ImageSurface> drawnBanner(QSize size, OleColor start, OleColor end) {
    auto surface = std::make_shared<ImageSurface>(size);
    cLogo logo;
    logo.setStartColor(start);
    logo.setEndColor(end);
    logo.setDrawingObject(surface);
    logo.Draw();
    return surface;
}

struct Gradient {
    int height;
    int step;
};

void PrintTo(const Gradient& g, std::ostream* os) {
    *os << g.height << " px, bands of " << g.step;
}

class GradientBands : public testing::TestWithParam<Gradient> {};

// Row y lies in band k = (H - 1 - y) / S counted from the bottom; band k > 0
// has the colour of (k - 1) * S / H of the way, halves rounded to even.
int expectedComponent(int y, int height, int step, int start, int end) {
    const int band = (height - 1 - y) / step;
    const int done = band == 0 ? 0 : (band - 1) * step;
    return static_cast<int>(std::nearbyint(static_cast<double>(done) * (end - start) / height)) +
           start;
}

TEST_P(GradientBands, EveryRowHasItsBandsColourFromTheBottomUp) {
    const auto [height, step] = GetParam();
    const auto surface = drawnBanner(QSize(7, height), bgr(10, 200, 0), bgr(60, 100, 255));
    const QImage& image = surface->image();
    for (int y = 0; y < height; ++y) {
        const QRgb want = qRgb(expectedComponent(y, height, step, 10, 60),
                               expectedComponent(y, height, step, 200, 100),
                               expectedComponent(y, height, step, 0, 255));
        ASSERT_EQ(image.pixel(0, y), want) << "row " << y;
        ASSERT_EQ(image.pixel(6, y), want) << "row " << y;
    }
    EXPECT_EQ(surface->refreshCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(Heights, GradientBands,
                         testing::Values(Gradient{100, 1}, Gradient{509, 1}, Gradient{510, 2},
                                         Gradient{600, 2}, Gradient{601, 2}, Gradient{3, 1}),
                         [](const testing::TestParamInfo<Gradient>& info) {
                             return std::to_string(info.param.height) + "px_bands" +
                                    std::to_string(info.param.step);
                         });

TEST(cLogoBands, TheBottomTwoRowsOfAHundredPixelsHaveTheStartColourAndHalvesRoundToEven) {
    const QImage image = drawnBanner(QSize(5, 100), bgr(0, 0, 0), bgr(50, 150, 0))->image();
    EXPECT_EQ(image.pixel(2, 99), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(2, 98), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(2, 97), qRgb(0, 2, 0));    // 0.5 -> 0, 1.5 -> 2
    EXPECT_EQ(image.pixel(2, 96), qRgb(1, 3, 0));    // 1 and 3
    EXPECT_EQ(image.pixel(2, 95), qRgb(2, 4, 0));    // 1.5 -> 2, 4.5 -> 4
    EXPECT_EQ(image.pixel(2, 0), qRgb(49, 147, 0));  // 98 / 100 of the way
}

TEST(cLogoBands, TheClippedTopBandFallsShortOfTheEndColourByStepAndRemainder) {
    // 601 pixels: S = 2, H mod S = 1, so row 0 shows (601 - 3) / 601 of the way.
    const QImage image = drawnBanner(QSize(5, 601), 0, bgr(255, 200, 100))->image();
    const auto part = [](int difference) {
        return static_cast<int>(std::nearbyint(598.0 * difference / 601));
    };
    ASSERT_NE(image.pixel(0, 1), image.pixel(0, 0));
    EXPECT_EQ(image.pixel(0, 0), qRgb(part(255), part(200), part(100)));
}

TEST(cLogoDraw, WithoutASurfaceOrOnOneUnderAPixelTallNothingIsPaintedNorRefreshed) {
    cLogo logo;
    logo.Draw();
    auto flat = std::make_shared<ImageSurface>(QSize(40, 0));
    logo.setDrawingObject(flat);
    logo.setCaption(QStringLiteral("Texto"));
    logo.Draw();
    logo.setStartColor(bgr(1, 2, 3));
    EXPECT_EQ(flat->refreshCount(), 0);
}

TEST(cLogoColours, ANewColourRedrawsAtOnceAndTheSameColourAgainDoesNothing) {
    auto surface = std::make_shared<ImageSurface>(QSize(4, 50));
    cLogo logo;
    logo.setDrawingObject(surface);
    EXPECT_EQ(surface->refreshCount(), 0);  // storing the surface draws nothing

    logo.setStartColor(bgr(255, 0, 0));
    EXPECT_EQ(surface->refreshCount(), 1);
    EXPECT_EQ(surface->image().pixel(0, 49), qRgb(255, 0, 0));

    logo.setStartColor(bgr(255, 0, 0));
    logo.setEndColor(kButtonFaceColor);
    EXPECT_EQ(surface->refreshCount(), 1);
    EXPECT_EQ(logo.StartColor(), bgr(255, 0, 0));
    EXPECT_EQ(logo.EndColor(), kButtonFaceColor);
}

TEST(cLogoColours, ASystemColourIsTheOneThePaletteHadWhenItWasSet) {
    PaletteGuard guard;
    PaletteGuard::setButtonFace(QColor(0, 0, 250));
    cLogo logo;  // the end colour is the button face from the start
    logo.setStartColor(bgr(0, 0, 250));
    PaletteGuard::setButtonFace(QColor(250, 0, 0));
    auto surface = std::make_shared<ImageSurface>(QSize(4, 20));
    logo.setDrawingObject(surface);
    logo.Draw();
    EXPECT_EQ(surface->image().pixel(0, 0), qRgb(0, 0, 250));

    logo.setEndColor(bgr(1, 1, 1));
    logo.setEndColor(kButtonFaceColor);
    EXPECT_EQ(surface->image().pixel(0, 0), qRgb(225, 0, 25));  // 18 / 20 of the way to red
}

struct CaptionCase {
    double points;
    bool bold;
};

void PrintTo(const CaptionCase& c, std::ostream* os) {
    *os << c.points << " pt" << (c.bold ? " bold" : "");
}

class CaptionPlacement : public testing::TestWithParam<CaptionCase> {};

// The caption in red over a plain blue banner: its ink starts on the left
// edge and rises from 16 pixels above the bottom, whatever the font.
TEST_P(CaptionPlacement, TheCaptionRisesFromSixteenPixelsAboveTheBottomAtTheLeftEdge) {
    constexpr int kHeight = 400;
    auto surface = std::make_shared<ImageSurface>(QSize(80, kHeight));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(GetParam().points);
    font.setBold(GetParam().bold);
    surface->setFont(font);
    surface->setForeColor(Qt::red);
    cLogo logo;
    logo.setStartColor(bgr(0, 0, 255));
    logo.setEndColor(bgr(0, 0, 255));
    logo.setCaption(QStringLiteral("HHHH"));
    logo.setDrawingObject(surface);
    logo.Draw();

    const QImage& image = surface->image();
    int left = image.width(), right = -1, top = kHeight, bottom = -1, reddest = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            // Neither an opaque text background nor a colour of its own.
            ASSERT_EQ(qGreen(pixel), 0) << x << "," << y;
            if (pixel == qRgb(0, 0, 255)) continue;
            reddest = std::max(reddest, qRed(pixel) - qBlue(pixel));
            left = std::min(left, x), right = std::max(right, x);
            top = std::min(top, y), bottom = std::max(bottom, y);
        }
    }
    ASSERT_GT(reddest, 150);  // strokes in the pen's colour, smoothed at their edges
    // "H" stands on the baseline and reaches up to its cap height, so its ink
    // begins a little right of the left edge and ends at the baseline.
    EXPECT_GE(left, 0);
    EXPECT_LT(left, right / 2);
    EXPECT_LE(bottom, kHeight - 16);
    EXPECT_GE(bottom, kHeight - 16 - 4);
    EXPECT_GT(bottom - top, 2 * (right - left));  // four letters run upwards
}

INSTANTIATE_TEST_SUITE_P(Fonts, CaptionPlacement,
                         testing::Values(CaptionCase{8, false}, CaptionCase{12, true},
                                         CaptionCase{24, false}),
                         [](const testing::TestParamInfo<CaptionCase>& info) {
                             return std::to_string(static_cast<int>(info.param.points)) + "pt" +
                                    (info.param.bold ? "_bold" : "");
                         });

TEST(cLogoOnALabel, TheBannerShowsOnTheLabelAtItsSize) {
    QLabel label;
    label.resize(30, 120);
    cLogo logo;
    logo.setDrawingObject(std::make_shared<LabelSurface>(&label));
    logo.setStartColor(bgr(0, 128, 0));
    const QImage shown = label.pixmap().toImage();
    ASSERT_EQ(shown.size(), QSize(30, 120));
    EXPECT_EQ(shown.pixel(15, 119), qRgb(0, 128, 0));
}

}  // namespace
}  // namespace kl
