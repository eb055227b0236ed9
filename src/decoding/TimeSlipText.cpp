#include "decoding/TimeSlipText.h"

#include "support/Support.h"

namespace orvanrx {

namespace {
constexpr int kFirstShownPacket = 2;
constexpr int kShownBytes = 20;
}  // namespace

std::optional<QString> TimeSlipText(const ReceiveBuffer& buffer) {
    const long long h = buffer.RunBlockPointer();
    const auto count = buffer.At(h);
    if (!count) {
        return std::nullopt;
    }
    const int n = *count;
    QString text;
    if (n <= kFirstShownPacket) {
        return text;
    }
    const long long first = h + kPacketSize * kFirstShownPacket;
    const auto packets =
        buffer.Slice(first, static_cast<long long>(kPacketSize) * (n - kFirstShownPacket));
    if (!packets) {
        return std::nullopt;
    }
    text.reserve((n - kFirstShownPacket) * (kShownBytes + 3));
    for (std::size_t start = 0; start < packets->size(); start += kPacketSize) {
        for (std::size_t i = start; i < start + kShownBytes; ++i) {
            const std::uint8_t b = (*packets)[i];
            if (IsPrintableByte(b)) {
                text += QChar(char16_t{b});
            }
        }
        text += QStringLiteral("\r\n ");
    }
    return text;
}

}  // namespace orvanrx
