#pragma once

#include "ui/drawing_surface.h"

#include <QPixmap>
#include <QPointer>

class QLabel;

namespace kl {

// A label used as a picture control: what is painted goes to a picture of
// the label's size, which refresh() puts on the label. Text is written in
// the label's text colour over what lies beneath. A label that is gone
// measures 0 and so gets nothing drawn.
class LabelSurface : public DrawingSurface {
  public:
    explicit LabelSurface(QLabel* label);

    int heightTwips() const override;
    int widthTwips() const override;
    QFont font() const override;
    std::unique_ptr<QPainter> painter() override;
    void refresh() override;

  private:
    QPointer<QLabel> label_;
    QPixmap canvas_;
};

}  // namespace kl
