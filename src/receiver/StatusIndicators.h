#pragma once

#include <QString>

namespace orvanrx {

// The status bar as the receive path sees it: the device panels, the channel caption, the three
// lamps, the signal and buffer bars and the scroll-message marquee. The core only ever writes
// through this interface; the desktop program implements it with widgets, the headless program
// with text. Every operation does nothing by default.
class StatusIndicators {
public:
    virtual ~StatusIndicators() = default;

    // lblOrvanUSB and lblFrequency enabled (receiver opened) or disabled (closed).
    virtual void SetDevicePanelsActive(bool /*active*/) {}
    // lblFrequency's caption: "Searching", "Channel 1", "Channel 2" or "Channel ?".
    virtual void SetChannelCaption(const QString& /*caption*/) {}
    // The lamps txtCD ("Carrier Detect"), txtEF ("Buffer Empty"), txtFF ("Buffer Full").
    virtual void ShowCDLamp(bool /*lit*/) {}
    virtual void ShowEFLamp(bool /*lit*/) {}
    virtual void ShowFFLamp(bool /*lit*/) {}
    // usbSignal, 0..244.
    virtual void SetSignalLevel(int /*level*/) {}
    // usbBuffer, 0..32768: the address of the last data reply.
    virtual void SetBufferPosition(int /*address*/) {}
    // scrMessage shown or hidden, and its text.
    virtual void SetScrollMessageVisible(bool /*visible*/) {}
    virtual void SetScrollMessageText(const QString& /*text*/) {}
    // Redraw of band sbMain after a status refresh.
    virtual void RedrawStatusBar() {}
    // lblStatus, the status bar's text panel: a message the racer must not miss, or "" for
    // none. While the race log cannot be saved it reads "Race log not saved: FILE: REASON"
    // (set as a failing streak begins), and "" once a save succeeds again (see SaveStatus).
    // The text stays until the next call.
    virtual void SetStatusText(const QString& /*text*/) {}
};

}  // namespace orvanrx
