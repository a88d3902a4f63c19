#pragma once

#include <QFont>
#include <QPainter>

#include <memory>

namespace kl {

// Something a banner can be painted on, as a picture control offers itself:
// its size in twips, its font, a painter on its own pixels and a refresh
// that shows what was painted.
class DrawingSurface {
  public:
    virtual ~DrawingSurface() = default;

    virtual int heightTwips() const = 0;
    virtual int widthTwips() const = 0;
    virtual QFont font() const = 0;
    // A painter on the surface's pixels carrying the surface's own pen and
    // text background, so whatever is written shows in the surface's colours.
    // Painting ends when the painter goes; then refresh() shows the result.
    virtual std::unique_ptr<QPainter> painter() = 0;
    virtual void refresh() = 0;
};

}  // namespace kl
