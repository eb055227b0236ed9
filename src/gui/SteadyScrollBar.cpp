#include "gui/SteadyScrollBar.h"

#include <QStyle>
#include <QStyleOptionSlider>

namespace orvanrx {

void SteadyScrollBar::sliderChange(SliderChange change) {
    const bool moved = change == SliderRangeChange || change == SliderValueChange;
    if (moved && painted_ && CurrentLook() == shown_) {
        return;
    }
    QScrollBar::sliderChange(change);
}

void SteadyScrollBar::paintEvent(QPaintEvent* event) {
    shown_ = CurrentLook();
    painted_ = true;
    QScrollBar::paintEvent(event);
}

SteadyScrollBar::Look SteadyScrollBar::CurrentLook() const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    return {
        style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this),
        value() == minimum(), value() == maximum()};
}

}  // namespace orvanrx
