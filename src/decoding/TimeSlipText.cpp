#include "decoding/TimeSlipText.h"

#include <span>

#include "decoding/RunDecoder.h"
#include "support/Support.h"

namespace orvanrx {

namespace {

constexpr int kFirstShownPacket = 2;
constexpr int kShownBytes = 20;
constexpr int kFirstValuePacket = 5;

// The shown Packets of the RunBlock (2 up to the last counted), each kPacketSize bytes; an
// empty span when there are none, nothing when they run outside the mirror.
std::optional<std::span<const std::uint8_t>> ShownPackets(const ReceiveBuffer& buffer) {
    const long long h = buffer.RunBlockPointer();
    const auto header = buffer.At(h);
    if (!header) {
        return std::nullopt;
    }
    const int count = *header;
    if (count <= kFirstShownPacket) {
        return std::span<const std::uint8_t>();
    }
    const long long first = h + kPacketSize * kFirstShownPacket;
    const auto packets =
        buffer.Slice(first, static_cast<long long>(kPacketSize) * (count - kFirstShownPacket));
    if (!packets) {
        return std::nullopt;
    }
    return *packets;
}

// How many of a Packet's bytes [from, to) are shown (printable).
int ShownCount(std::span<const std::uint8_t> packet, int from, int to) {
    int shown = 0;
    for (int i = from; i < to; ++i) {
        shown += IsPrintableByte(packet[static_cast<std::size_t>(i)]) ? 1 : 0;
    }
    return shown;
}

}  // namespace

std::optional<QString> TimeSlipText(const ReceiveBuffer& buffer) {
    const auto packets = ShownPackets(buffer);
    if (!packets) {
        return std::nullopt;
    }
    QString text;
    text.reserve(static_cast<qsizetype>(packets->size() / kPacketSize * (kShownBytes + 3)));
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

std::optional<std::vector<TimeSlipSpan>> TimeSlipLaneSpans(const ReceiveBuffer& buffer,
                                                           QChar lane) {
    const auto packets = ShownPackets(buffer);
    if (!packets) {
        return std::nullopt;
    }
    const bool left = lane == u'L';
    const int entryPacket = left ? packet::kLeftEntry : packet::kRightEntry;
    const int areaFrom = left ? kLeftValueArea : kRightValueArea;
    const int areaTo = left ? kRightValueArea : kShownBytes;
    std::vector<TimeSlipSpan> spans;
    const int lines = static_cast<int>(packets->size() / kPacketSize);
    for (int line = 0; line < lines; ++line) {
        const auto bytes = packets->subspan(static_cast<std::size_t>(line) * kPacketSize,
                                            static_cast<std::size_t>(kShownBytes));
        const int number = line + kFirstShownPacket;
        const int lead = line > 0 ? 1 : 0;  // the blank after the previous line break
        TimeSlipSpan span{line, lead, 0};
        if (number == entryPacket) {
            span.length = ShownCount(bytes, 0, kShownBytes);
        } else if (number >= kFirstValuePacket) {
            span.column += ShownCount(bytes, 0, areaFrom);
            span.length = ShownCount(bytes, areaFrom, areaTo);
        }
        if (span.length > 0) {
            spans.push_back(span);
        }
    }
    return spans;
}

}  // namespace orvanrx
