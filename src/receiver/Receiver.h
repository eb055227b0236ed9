#pragma once

#include <QString>
#include <cstdint>
#include <span>
#include <vector>

#include "receiver/ReceiverProduct.h"
#include "receiver/StatusIndicators.h"
#include "receiver/UsbXpress.h"
#include "receiver/WaitClock.h"

namespace orvanrx {

// What ReadReceiverText gives for a short reply.
inline constexpr char kReceiverTextError[] = "** Error **";

// The signal level shown in the signal bar (0..244) for a raw reading of the receiver:
// v = (2.44 / 1024) * raw * 100, rounded half to even; level = 244 - v, at most 244; below
// 100 it is divided by 1.5 and rounded the same way; never below 0.
std::int16_t SignalLevel(std::int16_t raw);

// The link to one receiver: finding and opening it, closing it, and its command
// transactions. Each transaction flushes, writes its command frame, waits for a reply of
// fixed length and reads it. The wait is bounded: when the reply is not complete within
// kReplyWaitLimitMs on `clock`, the reply counts as short. The status-bar effects go through
// `indicators`.
//
// DeviceOpen is held here: OpenDevice and CloseDevice store their own result in it before
// returning it, which is what every caller of theirs would do.
class Receiver {
public:
    Receiver(UsbXpress& usb, StatusIndicators& indicators, MonotonicClock clock);

    // Finds the first attached device whose product text is exactly kReceiverProductText
    // (a 0x06 byte ends the text) and opens it; a device that will not open is passed over
    // for the next match. On success the device panels turn active. Nothing is shown when no
    // receiver is found.
    bool OpenDevice();
    // Turns the device panels inactive, sets the channel caption to "Channel ?" and closes
    // DeviceHandle, even when no receiver is open. Always false.
    bool CloseDevice();

    bool DeviceOpen() const { return deviceOpen_; }
    // The handle of the open receiver (the last one F32x_Open gave when none is open).
    UsbXpress::Handle DeviceHandle() const { return deviceHandle_; }
    // The device layer, for the poll loop's own exchange.
    UsbXpress& Device() const { return usb_; }

    // Command `code` with a text reply of `replyLength` bytes (0x00/8 version, 0x01/51 name,
    // 0x02/16 date). "" when closed, "** Error **" for a short reply or a length below 1.
    QString ReadReceiverText(std::uint8_t code, std::int16_t replyLength);
    // Command 0x05: sets the three lamps from the status byte and gives true; false when
    // closed or the reply is short (the lamps stay as they were).
    bool ReadReceiverStatus();
    // Command 0x0A: the signal level (SignalLevel of the reading); 0 when closed or short.
    std::int16_t ReadSignalStrength();
    // Command 0x06: the tuned frequency in hertz; 0 when closed, -1 for a short reply.
    std::int32_t ReadFrequency();
    // Command 0x07: tunes the receiver to `frequency`. False only when closed; the reply is
    // read but not examined.
    bool WriteFrequency(std::int32_t frequency);

private:
    enum class CountTest { No, Yes };
    enum class FlushAfter { No, Yes };

    // One exchange: flush, write `frame`, wait for `length` reply bytes. Gives the reply
    // (zero-filled, one byte longer than `length`) when exactly `length` bytes waited and,
    // where tested, were read; nothing for a short reply. `readAnyway` reads even after a
    // short wait and gives the reply regardless.
    bool Exchange(std::span<const std::uint8_t> frame, std::size_t length, CountTest countTest,
                  FlushAfter flushAfter, std::vector<std::uint8_t>& reply, bool readAnyway = false);
    // Checks the queue until `length` bytes wait, a check fails, or the time limit passes.
    // True when exactly `length` bytes wait at the end.
    bool WaitForReply(std::size_t length);

    UsbXpress& usb_;
    StatusIndicators& indicators_;
    MonotonicClock clock_;
    bool deviceOpen_ = false;
    UsbXpress::Handle deviceHandle_ = 0;
};

}  // namespace orvanrx
