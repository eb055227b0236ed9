#include "shell/PollLoop.h"

#include <algorithm>
#include <span>

#include "decoding/RunDecoder.h"
#include "receiver/ReceiverProtocol.h"
#include "shell/StatusTexts.h"

namespace orvanrx {

PollLoop::PollLoop(Parts parts) : parts_(std::move(parts)) {}

TickOutcome PollLoop::RunPollCycle() {
    Receiver& receiver = parts_.receiver;
    if (!receiver.DeviceOpen()) {
        receiver.OpenDevice();
        return TickOutcome::Searching;
    }
    UsbXpress& usb = receiver.Device();
    const UsbXpress::Handle handle = receiver.DeviceHandle();
    // Only a receiver that is gone is closed. One that stalled the request or let it time out
    // stays open and is polled all the same (what waited on this side was discarded either
    // way); the next tick flushes it again.
    const UsbXpress::Status flushed = usb.F32x_FlushBuffers(handle);
    if (flushed == UsbXpress::kDeviceNotFound || flushed == UsbXpress::kInvalidHandle) {
        receiver.CloseDevice();
        return TickOutcome::ReceiverLost;
    }

    std::uint32_t written = 0;
    usb.F32x_Write(handle, CommandFrame(kCommandPoll), written);

    const std::optional<std::uint32_t> waiting = WaitForReply();
    if (!waiting) {
        return TickOutcome::NoAnswer;
    }
    // Whatever the read delivers overwrites the front of the reply buffer; bytes it does not
    // deliver keep the previous reply's values.
    std::uint32_t read = 0;
    usb.F32x_Read(
        handle,
        std::span<std::uint8_t>(reply_).first(std::min<std::size_t>(*waiting, reply_.size())),
        read);

    TickOutcome outcome = TickOutcome::NotDataReply;
    const DataReplyResult stored = ApplyDataReply(reply_, parts_.buffer, parts_.currentVenue);
    if (stored.kind == DataReplyResult::Kind::OutOfRange) {
        return TickOutcome::AddressOutOfRange;
    }
    if (stored.kind == DataReplyResult::Kind::Stored) {
        outcome = TickOutcome::DataStored;
        parts_.indicators.SetBufferPosition(stored.address);
        if (DecodeRun(parts_.buffer, parts_.tables)) {
            parts_.observer.RunTablesChanged();
        }
        parts_.observer.DataReplyStored();
    }
    CountTimerTime();
    return outcome;
}

std::optional<std::uint32_t> PollLoop::WaitForReply() {
    Receiver& receiver = parts_.receiver;
    const std::int64_t start = parts_.waitClock();
    std::uint32_t waiting = 0;
    std::uint32_t queueStatus = UsbXpress::kQueueEmpty;
    for (;;) {
        if (receiver.Device().F32x_CheckRXQueue(receiver.DeviceHandle(), waiting, queueStatus) !=
            UsbXpress::kSuccess) {
            return waiting;
        }
        if (queueStatus == UsbXpress::kQueueReady || waiting >= kWaitThreshold) {
            return waiting;
        }
        if (parts_.waitClock() - start > kReplyWaitLimitMs) {
            return std::nullopt;
        }
    }
}

void PollLoop::CountTimerTime() {
    saveElapsed_ += kIntervalMs;
    if (saveElapsed_ >= kSavePeriodMs) {
        saveElapsed_ = 0;
        if (parts_.saveRaceLog) {
            parts_.saveRaceLog();
        }
    }
    statusElapsed_ += kIntervalMs;
    if (statusElapsed_ < kStatusPeriodMs) {
        return;
    }
    statusElapsed_ = 0;
    RefreshStatus();
}

void PollLoop::RefreshStatus() {
    Receiver& receiver = parts_.receiver;
    receiver.ReadReceiverStatus();
    parts_.indicators.SetSignalLevel(receiver.ReadSignalStrength());
    UpdateScrollMessage();
    parts_.indicators.SetChannelCaption(ChannelCaption(receiver.ReadFrequency()));
    parts_.indicators.RedrawStatusBar();
}

void PollLoop::UpdateScrollMessage() {
    const ScrollMessageUpdate update = ReadScrollMessage(parts_.buffer);
    parts_.indicators.SetScrollMessageVisible(update.visible);
    if (update.text) {
        parts_.indicators.SetScrollMessageText(*update.text);
    }
}

}  // namespace orvanrx
