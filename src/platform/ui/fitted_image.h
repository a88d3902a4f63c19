#pragma once

// An image box that always shows its whole picture as large as the box
// allows, its proportions kept: when the picture is set and whenever the
// box changes size. The box's size is the layout's, never the picture's, so
// a picture shows the same just after it is chosen and at the next start
// (when it is set before the window is laid out).

#include <QLabel>
#include <QPixmap>

namespace kl {

class FittedImage : public QLabel {
  public:
    explicit FittedImage(QWidget* parent = nullptr);

    // An empty picture leaves the box empty.
    void setPicture(const QPixmap& picture);
    const QPixmap& picture() const { return picture_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void fit();

    QPixmap picture_;
};

}  // namespace kl
