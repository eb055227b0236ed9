#pragma once

#include <QRect>
#include <QScrollBar>

namespace orvanrx {

// A scroll bar that paints again only when what it shows changes: the slider's place and
// size, and whether it stands at either end. A grid of thousands of rows changes its range with
// every race, which mostly moves the slider by less than a pixel, and the style's scroll bar is
// among the costliest things on screen to paint (its tall gradients are filled in slices
// across threads).
class SteadyScrollBar final : public QScrollBar {
public:
    explicit SteadyScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr)
        : QScrollBar(orientation, parent) {}

protected:
    void sliderChange(SliderChange change) override;
    void paintEvent(QPaintEvent* event) override;

private:
    struct Look {
        QRect slider;
        bool atMinimum = false;
        bool atMaximum = false;
        bool operator==(const Look&) const = default;
    };
    Look CurrentLook() const;

    bool painted_ = false;
    Look shown_;
};

}  // namespace orvanrx
