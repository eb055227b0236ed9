#include "gui/Marquee.h"

#include <QPainter>

namespace orvanrx {

Marquee::Marquee(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("scrMessage"));
    setToolTip(QStringLiteral("Scroll Message"));
    setAccessibleName(QStringLiteral("Scroll Message"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    frames_.setInterval(kFrameMs);
    frames_.setTimerType(Qt::PreciseTimer);
    connect(&frames_, &QTimer::timeout, this, &Marquee::Step);
    clock_.start();
}

void Marquee::SetText(const QString& text) {
    if (text == text_) {
        return;
    }
    text_ = text;
    // A screen reader reads the whole message at once, not the running letters.
    setAccessibleDescription(text_);
    textWidth_ = fontMetrics().horizontalAdvance(text_);
    offset_ = width();
    carry_ = 0.0;
    UpdateRunning();
    update();
}

QSize Marquee::sizeHint() const {
    return {fontMetrics().averageCharWidth() * 40, fontMetrics().height()};
}

QSize Marquee::minimumSizeHint() const {
    return {fontMetrics().averageCharWidth() * 10, fontMetrics().height()};
}

void Marquee::Step() {
    const qint64 now = clock_.elapsed();
    carry_ += static_cast<double>(now - lastMs_) * kPixelsPerSecond / 1000.0;
    lastMs_ = now;
    const int moved = static_cast<int>(carry_);
    if (moved == 0) {
        return;
    }
    carry_ -= moved;
    offset_ -= moved;
    if (offset_ + textWidth_ < 0) {
        offset_ = width();  // gone on the left: comes in again from the right
    }
    update();
}

void Marquee::UpdateRunning() {
    const bool run = isVisible() && !text_.isEmpty();
    if (run && !frames_.isActive()) {
        lastMs_ = clock_.elapsed();
        frames_.start();
    } else if (!run) {
        frames_.stop();
    }
}

void Marquee::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QRect(offset_, 0, textWidth_ + 1, height()), Qt::AlignVCenter | Qt::AlignLeft,
                     text_);
}

void Marquee::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    UpdateRunning();
}

void Marquee::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    UpdateRunning();
}

void Marquee::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (offset_ > width()) {
        offset_ = width();
    }
}

}  // namespace orvanrx
