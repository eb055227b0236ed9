#pragma once

#include <QWidget>

#include "analysis/MyCar.h"

class QMdiSubWindow;
class QPlainTextEdit;

namespace orvanrx {

class ReceiveBuffer;
class SettingsStore;

// The time slip: the race in the receive mirror's RunBlock as the broadcaster laid it out,
// one line per Packet in a fixed-pitch face, redrawn on every data reply. It lives in a child
// window of the main window (`Frame()`), opens just large enough for a whole race's text in
// its face (so at any screen scale; on a screen too small for that the face shrinks to fit)
// and then at its saved placement, and keeps that placement as it closes. Escape closes it, and so
// does a mirror whose RunBlock cannot be read.
class frmTimeSlip final : public QWidget {
    Q_OBJECT
public:
    // A whole race: Packets 2..15 (a line each, 21 characters after the leading blank) and
    // the blank line after the last line break.
    static constexpr int kSlipColumns = 21;
    static constexpr int kSlipLines = 15;

    frmTimeSlip(const ReceiveBuffer& buffer, const SettingsStore& settings,
                QWidget* parent = nullptr);

    // The smallest face the slip shrinks to on a small screen: the size of the log grid's text.
    static constexpr int kSmallestPoints = 10;

    // The outer size of `frame` that shows a whole race's text without scroll bars.
    QSize FittingFrameSize(const QMdiSubWindow& frame) const;

    // The outer size of `frame` for a whole race within `area`: where the face is too large
    // for that (a laptop screen at twice the scale), it shrinks a point at a time until the
    // whole text fits, but not below kSmallestPoints; below that the window takes the area and
    // scrolls.
    QSize FitInto(const QMdiSubWindow& frame, QSize area);

    // Form_Load, once the window stands in its child window `frame`: the size fitting the
    // frame's parent area (FitInto), then the saved placement. The text stays empty until the next
    // data reply.
    void Load(QMdiSubWindow& frame);

    // The racer's text size, as a factor of the slip's 18-point face (1: as designed).
    void SetTextScale(double scale);

    // Rebuilds the text from the mirror; the text box is touched only when the text changed,
    // and keeps its scroll position and caret. A RunBlock outside the mirror closes the window.
    void ParseMessage();

    // TimeSlipOpen: from Load until the window closes.
    bool IsOpen() const { return open_; }
    QString Text() const;

    // The lanes of the racer's own cars: their entry lines and value columns are drawn on the
    // accent colour, on this text and every later one, until the marks change.
    void SetMarkedLanes(MyCarLanes lanes);
    MyCarLanes MarkedLanes() const { return marked_; }
    // The marked characters as "line:column+length" items, for tests.
    QStringList MarkedSpans() const;

Q_SIGNALS:
    // The window unloaded (its placement saved); its child window goes with it.
    void Unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Unload();
    void ShowMarks();

    const ReceiveBuffer& buffer_;
    const SettingsStore& settings_;
    QPlainTextEdit* txtDisplay_;
    QMdiSubWindow* frame_ = nullptr;
    QString shown_;
    MyCarLanes marked_;
    bool open_ = false;
};

}  // namespace orvanrx
