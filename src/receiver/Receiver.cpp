#include "receiver/Receiver.h"

#include <array>

#include "decoding/ByteOrder.h"
#include "receiver/ReceiverProtocol.h"
#include "support/Support.h"

namespace orvanrx {

namespace {}  // namespace

std::int16_t SignalLevel(std::int16_t raw) {
    const double v = RoundHalfEven((2.44 / 1024) * raw * 100);
    double level = 244 - v;
    if (level > 244) {
        level = 244;
    }
    if (level < 100) {
        level = RoundHalfEven(level / 1.5);
    }
    if (level <= 0) {
        level = 0;
    }
    return static_cast<std::int16_t>(level);
}

Receiver::Receiver(UsbXpress& usb, StatusIndicators& indicators, MonotonicClock clock)
    : usb_(usb), indicators_(indicators), clock_(std::move(clock)) {}

bool Receiver::OpenDevice() {
    deviceOpen_ = false;
    std::uint32_t count = 0;
    if (usb_.F32x_GetNumDevices(count) != UsbXpress::kSuccess) {
        return false;
    }
    // Kept across the devices: a device whose product text cannot be read is judged by the
    // text of the one before it.
    std::array<std::uint8_t, UsbXpress::kProductBufferSize> product{};
    const QString wanted = QString::fromLatin1(kReceiverProductText);
    for (std::uint32_t index = 0; index < count; ++index) {
        usb_.F32x_GetProductString(index, product, UsbXpress::kProductDescription);
        if (BytesToText(product) != wanted) {
            continue;
        }
        if (usb_.F32x_Open(index, deviceHandle_) != UsbXpress::kSuccess) {
            continue;
        }
        indicators_.SetDevicePanelsActive(true);
        deviceOpen_ = true;
        return true;
    }
    return false;
}

bool Receiver::CloseDevice() {
    indicators_.SetDevicePanelsActive(false);
    indicators_.SetChannelCaption(QStringLiteral("Channel ?"));
    usb_.F32x_Close(deviceHandle_);
    deviceOpen_ = false;
    return false;
}

bool Receiver::WaitForReply(std::size_t length) {
    const std::int64_t start = clock_();
    std::uint32_t waiting = 0;
    std::uint32_t queueStatus = 0;
    for (;;) {
        if (usb_.F32x_CheckRXQueue(deviceHandle_, waiting, queueStatus) != UsbXpress::kSuccess) {
            return false;
        }
        if (waiting >= length) {
            return waiting == length;
        }
        if (clock_() - start >= kReplyWaitLimitMs) {
            return false;
        }
    }
}

bool Receiver::Exchange(std::span<const std::uint8_t> frame, std::size_t length,
                        CountTest countTest, FlushAfter flushAfter,
                        std::vector<std::uint8_t>& reply, bool readAnyway) {
    usb_.F32x_FlushBuffers(deviceHandle_);
    std::uint32_t written = 0;
    usb_.F32x_Write(deviceHandle_, frame, written);
    if (!WaitForReply(length) && !readAnyway) {
        return false;
    }
    reply.assign(length + 1, 0);
    std::uint32_t read = 0;
    usb_.F32x_Read(deviceHandle_, std::span(reply.data(), length), read);
    if (countTest == CountTest::Yes && read != length) {
        return false;
    }
    if (flushAfter == FlushAfter::Yes) {
        usb_.F32x_FlushBuffers(deviceHandle_);
    }
    return true;
}

QString Receiver::ReadReceiverText(std::uint8_t code, std::int16_t replyLength) {
    if (!deviceOpen_) {
        return {};
    }
    const QString error = QString::fromLatin1(kReceiverTextError);
    if (replyLength < 1) {
        return error;
    }
    std::vector<std::uint8_t> reply;
    if (!Exchange(CommandFrame(code), static_cast<std::size_t>(replyLength), CountTest::No,
                  FlushAfter::Yes, reply)) {
        return error;
    }
    return BytesToText(reply);
}

bool Receiver::ReadReceiverStatus() {
    if (!deviceOpen_) {
        return false;
    }
    std::vector<std::uint8_t> reply;
    if (!Exchange(CommandFrame(kCommandStatus), kShortReplyLength, CountTest::Yes, FlushAfter::No,
                  reply)) {
        return false;
    }
    const std::uint8_t flags = reply[0];
    indicators_.ShowCDLamp((flags & 0x01) != 0);
    indicators_.ShowEFLamp((flags & 0x02) != 0);
    // Lit while the bit is clear: the opposite of the other two.
    indicators_.ShowFFLamp((flags & 0x04) == 0);
    return true;
}

std::int16_t Receiver::ReadSignalStrength() {
    if (!deviceOpen_) {
        return 0;
    }
    std::vector<std::uint8_t> reply;
    if (!Exchange(CommandFrame(kCommandSignal), kShortReplyLength, CountTest::Yes, FlushAfter::No,
                  reply)) {
        return 0;
    }
    return SignalLevel(BigEndianInt16(reply[0], reply[1]));
}

std::int32_t Receiver::ReadFrequency() {
    if (!deviceOpen_) {
        return 0;
    }
    std::vector<std::uint8_t> reply;
    if (!Exchange(CommandFrame(kCommandReadFrequency), kShortReplyLength, CountTest::Yes,
                  FlushAfter::Yes, reply)) {
        return -1;
    }
    return BigEndianInt32(reply[0], reply[1], reply[2], reply[3]);
}

bool Receiver::WriteFrequency(std::int32_t frequency) {
    if (!deviceOpen_) {
        return false;
    }
    std::vector<std::uint8_t> reply;
    Exchange(FrequencyFrame(frequency), kShortReplyLength, CountTest::No, FlushAfter::No, reply,
             true);
    return true;
}

}  // namespace orvanrx
