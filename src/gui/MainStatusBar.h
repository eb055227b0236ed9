#pragma once

#include <QPointer>
#include <QStatusBar>
#include <QTimer>

#include "gui/LockKeys.h"
#include "receiver/StatusIndicators.h"

class QLabel;
class QProgressBar;

namespace orvanrx {

class AirPanel;
class Marquee;
class StatusLamp;

// sbMain: the main window's status bar, and the receive path's view of it. Left to right:
// lblStatus (empty, unless the race log could not be saved), the venue's scroll message
// scrMessage (where a hovered command's description also shows), the lamp panel picStatus with
// txtCD, txtEF and txtFF, the channel text lblFrequency, the signal bar usbSignal, the device panel
// lblOrvanUSB, the buffer bar usbBuffer, the key states INS, CAPS and NUM, and today's date. The
// bars and lamps only show what the poll loop writes; nothing here asks the receiver anything.
class MainStatusBar final : public QStatusBar, public StatusIndicators {
    Q_OBJECT
public:
    static constexpr int kSignalMaximum = 244;
    static constexpr int kBufferMaximum = 32768;

    explicit MainStatusBar(QWidget* parent = nullptr);

    // AttachStatusControls: the bars and the lamp panel go into their panels.
    void AttachStatusControls();

    void SetDevicePanelsActive(bool active) override;
    void SetChannelCaption(const QString& caption) override;
    void ShowCDLamp(bool lit) override;
    void ShowEFLamp(bool lit) override;
    void ShowFFLamp(bool lit) override;
    void SetSignalLevel(int level) override;
    void SetBufferPosition(int address) override;
    void SetScrollMessageVisible(bool visible) override;
    void SetScrollMessageText(const QString& text) override;
    void RedrawStatusBar() override;
    // lblStatus: shown while it has a text, and its tool tip holds the text whole. Where the
    // whole text fits beside the panels it stands in line, at the bar's left; where it does
    // not (a long file path, a laptop screen at twice the scale) it takes a row of its own
    // above the panels, the bar's whole width, and only a text wider than that is cut short
    // (in the middle, so the start and the reason stay).
    void SetStatusText(const QString& text) override;
    QString StatusText() const;
    // lblStatus stands on its own row above the panels.
    bool StatusTextOnOwnRow() const { return ownRow_; }

    // lblSimulated, left of the lamps: the kind of simulated receiver playing ("Demo",
    // "Replay"); not shown while the real receiver is used.
    void ShowSimulatedReceiver(const QString& kind);

    // The air panel, left of the receiver's panels (and of lblSimulated); it steps aside while
    // lblStatus speaks.
    void AddAirPanel(AirPanel* panel);

    // The key-state panels: lit (enabled) while the key's state is on. Caps Lock and Num Lock
    // are shown greyed where the platform does not report them.
    void SetInsertMode(bool on);
    bool InsertMode() const { return insertMode_; }
    // Where CAPS and NUM read the lock states (the desktop's, unless a test gives another);
    // they are read again on every key release in the program and twice a second.
    void SetLockKeySource(LockKeySource source);
    void UpdateLockKeys();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* Panel(const char* name, const QString& caption, const QString& toolTip,
                  const QString& description);
    void AddSpace();
    void FollowMessage();
    void PlaceStatusText();
    int PanelsLeft() const;
    void UpdateDate();

    QLabel* lblStatus_;
    QLabel* lblSimulated_ = nullptr;
    Marquee* scrMessage_;
    QWidget* picStatus_;
    StatusLamp* txtCD_;
    StatusLamp* txtEF_;
    StatusLamp* txtFF_;
    QLabel* lblFrequency_;
    QProgressBar* usbSignal_;
    QLabel* lblOrvanUSB_;
    QProgressBar* usbBuffer_;
    QLabel* lblINS_;
    QLabel* lblCAPS_;
    QLabel* lblNUM_;
    QLabel* lblDATE_;
    QPointer<AirPanel> lblAir_;  // null once the panel is gone
    QTimer dateTimer_;
    QTimer lockTimer_;
    LockKeySource lockKeys_;
    bool insertMode_ = false;
    bool scrollWanted_ = false;
    bool attached_ = false;
    bool ownRow_ = false;
};

}  // namespace orvanrx
