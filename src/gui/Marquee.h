#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

namespace orvanrx {

// scrMessage: the venue's scroll message running from right to left, round and round. The
// text moves by elapsed time, not by timer ticks, so it runs evenly on a busy machine; the
// animation runs only while the marquee is visible and has text.
class Marquee final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPixelsPerSecond = 60;
    static constexpr int kFrameMs = 16;

    explicit Marquee(QWidget* parent = nullptr);

    void SetText(const QString& text);
    const QString& Text() const { return text_; }
    // The text's left edge relative to the widget's left edge now.
    int Offset() const { return offset_; }
    bool Running() const { return frames_.isActive(); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Step();
    void UpdateRunning();

    QString text_;
    int textWidth_ = 0;
    int offset_ = 0;
    qint64 lastMs_ = 0;
    double carry_ = 0.0;
    QTimer frames_;
    QElapsedTimer clock_;
};

}  // namespace orvanrx
