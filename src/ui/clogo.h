#pragma once

#include "ui/drawing_surface.h"
#include "ui/ole_color.h"

#include <QString>

#include <memory>

namespace kl {

// Paints a banner on a surface a window hands over: the whole surface in a
// vertical gradient of horizontal bands, from StartColor at the bottom
// towards EndColor at the top, and the caption turned a quarter turn,
// reading upwards from near the lower left corner.
//
//     cLogo logo;
//     logo.setCaption("Sistema Contable");
//     logo.setDrawingObject(std::make_shared<LabelSurface>(picBanner));
//     logo.setStartColor(0x00800000);   // dark blue, drawn at once
//
// The colours are translated when they are set: a system colour shows as the
// palette had it then, until it is set again.
class cLogo {
  public:
    cLogo();

    QString Caption() const { return Caption_; }
    // Only stores the caption; Draw writes it.
    void setCaption(const QString& caption) { Caption_ = caption; }
    // Only stores the surface; the banner shares it with the window.
    void setDrawingObject(std::shared_ptr<DrawingSurface> surface);

    OleColor StartColor() const { return StartColor_; }
    OleColor EndColor() const { return EndColor_; }
    // A new colour is translated and, with a surface set, drawn at once;
    // setting the colour already held does nothing.
    void setStartColor(OleColor color);
    void setEndColor(OleColor color);

    // Paints the banner and refreshes the surface. Without a surface, or on
    // one less than a pixel tall, nothing is painted.
    void Draw();

  private:
    struct Components {
        int red = 0;
        int green = 0;
        int blue = 0;
    };

    static Components componentsOf(OleColor color);
    bool storeColor(OleColor color, OleColor& stored, Components& components);
    void paintBands(QPainter& painter, int height, int width) const;
    void writeCaption(QPainter& painter, int height) const;

    QString Caption_;
    std::shared_ptr<DrawingSurface> DrawingObject_;
    OleColor StartColor_ = 0;
    OleColor EndColor_ = 0;
    Components start_;
    Components end_;
};

}  // namespace kl
