#pragma once

#include <QList>
#include <QPixmap>
#include <QWidget>

#include <array>

class QCloseEvent;
class QLabel;
class QPushButton;
class QTimer;

namespace kl {

// The progress notice's window: three text lines, a small animation and an
// optional cancel button whose caption is the cancellation state. Dll_Display
// drives it; nothing else should.
class Lbf_CtrlDisplay : public QWidget {
    Q_OBJECT
  public:
    static inline const QString kCaptionCancelar = QStringLiteral("&Cancelar");
    static inline const QString kCaptionAbortado = QStringLiteral("Abortado");
    static constexpr int kLineCount = 3;

    explicit Lbf_CtrlDisplay(QWidget* parent = nullptr);

    QLabel* LblCtrol(int index) const { return LblCtrol_.at(index); }
    QLabel* Image1() const { return Image1_; }
    const QList<QPixmap>& ImageList1() const { return ImageList1_; }
    QTimer* Timer1() const { return Timer1_; }
    QPushButton* CmdDisplayCancelar() const { return CmdDisplayCancelar_; }
    int frameCounter() const { return frameCounter_; }

    // True once the operator pressed the cancel button of this window.
    bool cancelRequested() const;

  public Q_SLOTS:
    // One animation step: frames 1 to 12, then the counter starts over.
    void Timer1_Timer();

  protected:
    // The notice belongs to the running task: only the task closes it.
    void closeEvent(QCloseEvent* event) override;

  private:
    void CmdDisplayCancelar_Click();
    void buildLayout();
    void centreOnScreen();

    std::array<QLabel*, kLineCount> LblCtrol_{};
    QLabel* Image1_ = nullptr;
    QList<QPixmap> ImageList1_;
    QTimer* Timer1_ = nullptr;
    QPushButton* CmdDisplayCancelar_ = nullptr;
    int frameCounter_ = 0;
};

}  // namespace kl
