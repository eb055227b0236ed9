#include "shell/StatusTexts.h"

#include "support/Support.h"

namespace orvanrx {

QString ChannelCaption(std::int32_t frequency) {
    switch (frequency) {
        case kChannel1Frequency:
            return QStringLiteral("Channel 1");
        case kChannel2Frequency:
            return QStringLiteral("Channel 2");
        default:
            return QStringLiteral("Channel ?");
    }
}

ScrollMessageUpdate ReadScrollMessage(const ReceiveBuffer& buffer) {
    ScrollMessageUpdate update;
    if (buffer.NoMessageMarker() == ReceiveBuffer::kNoMessage) {
        return update;
    }
    update.visible = true;
    const int m = buffer.MessagePointer();
    const auto length = buffer.At(m);
    if (!length || *length > kMaxScrollMessageLength) {
        return update;
    }
    const auto bytes = buffer.Slice(static_cast<long long>(m) + 1, *length);
    if (!bytes) {
        return update;
    }
    QString text;
    for (const std::uint8_t b : *bytes) {
        if (IsPrintableByte(b)) {
            text += QChar(char16_t{b});
        }
    }
    update.text = text;
    return update;
}

}  // namespace orvanrx
