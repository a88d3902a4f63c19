#include "progress/lbf_ctrldisplay.h"

#include "progress/animation_frames.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace kl {

namespace {

constexpr int kFrameSide = 40;
constexpr int kFrameIntervalMs = 80;
// Wide enough for the longest texts the tasks show (a title such as
// "Actualizando Datos de la Configuración" or a configuration key), so lines
// are not cut and the caption fits in the title bar.
constexpr int kLineWidthInChars = 46;

QFont lineFont(const QFont& base) {
    QFont font = base;
    font.setFamilies({QStringLiteral("MS Sans Serif"), base.family()});
    font.setBold(true);
    return font;
}

}  // namespace

Lbf_CtrlDisplay::Lbf_CtrlDisplay(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("Lbf_CtrlDisplay"));
    setWindowTitle(QStringLiteral("Procesando Datos"));

    ImageList1_ = paintAnimationFrames(kFrameSide, palette().color(QPalette::Highlight));
    buildLayout();

    CmdDisplayCancelar_->setText(kCaptionCancelar);
    Image1_->setPixmap(ImageList1_.first());
    centreOnScreen();
    setWindowOpacity(200.0 / 255.0);

    Timer1_ = new QTimer(this);
    Timer1_->setObjectName(QStringLiteral("Timer1"));
    Timer1_->setInterval(kFrameIntervalMs);
    connect(Timer1_, &QTimer::timeout, this, &Lbf_CtrlDisplay::Timer1_Timer);
    Timer1_->start();
}

void Lbf_CtrlDisplay::buildLayout() {
    Image1_ = new QLabel(this);
    Image1_->setObjectName(QStringLiteral("Image1"));
    Image1_->setFixedSize(kFrameSide, kFrameSide);

    const QFont font = lineFont(this->font());
    auto* lines = new QVBoxLayout;
    lines->setSpacing(4);
    for (int index = 0; index < kLineCount; ++index) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("LblCtrol%1").arg(index));
        label->setAccessibleName(QStringLiteral("Línea %1").arg(index + 1));
        label->setFont(font);
        label->setTextFormat(Qt::PlainText);
        const QFontMetrics metrics(font);
        label->setMinimumWidth(metrics.averageCharWidth() * kLineWidthInChars);
        label->setFixedHeight(metrics.height());
        // The window keeps its size whatever the task writes into a line.
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        LblCtrol_[index] = label;
        lines->addWidget(label);
    }

    CmdDisplayCancelar_ = new QPushButton(this);
    CmdDisplayCancelar_->setObjectName(QStringLiteral("CmdDisplayCancelar"));
    CmdDisplayCancelar_->setAutoDefault(false);
    connect(CmdDisplayCancelar_, &QPushButton::clicked, this,
            &Lbf_CtrlDisplay::CmdDisplayCancelar_Click);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(18, 16, 18, 16);
    grid->setHorizontalSpacing(14);
    grid->addWidget(Image1_, 0, 0, Qt::AlignVCenter);
    grid->addLayout(lines, 0, 1);
    grid->addWidget(CmdDisplayCancelar_, 0, 2, Qt::AlignVCenter);
    grid->setColumnStretch(1, 1);
}

void Lbf_CtrlDisplay::centreOnScreen() {
    // The size is fixed before placing, so a hidden cancel button later only
    // widens the lines instead of moving the window off centre.
    setFixedSize(sizeHint());
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->geometry();
    setGeometry((area.width() - width()) / 2 + area.left(),
                (area.height() - height()) / 2 + area.top(), width(), height());
}

bool Lbf_CtrlDisplay::cancelRequested() const {
    return CmdDisplayCancelar_->text() == kCaptionAbortado;
}

void Lbf_CtrlDisplay::Timer1_Timer() {
    ++frameCounter_;
    Image1_->setPixmap(ImageList1_.at(frameCounter_ - 1));
    if (frameCounter_ == kAnimationFrameCount) {
        frameCounter_ = 0;
    }
}

void Lbf_CtrlDisplay::CmdDisplayCancelar_Click() {
    CmdDisplayCancelar_->setText(kCaptionAbortado);
}

void Lbf_CtrlDisplay::closeEvent(QCloseEvent* event) {
    if (event->spontaneous()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

}  // namespace kl
