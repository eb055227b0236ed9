#include "sim/PacketBuilder.h"

#include <bit>
#include <string>

namespace orvanrx {

PacketBytes MakePacket(std::string_view text) {
    PacketBytes p{};
    for (std::size_t i = 0; i < kPacketDataSize; ++i) {
        p[i] = i < text.size() ? static_cast<std::uint8_t>(text[i]) : std::uint8_t{' '};
    }
    p[kPacketDataSize] = PacketChecksum(std::span<const std::uint8_t>(p).first(kPacketDataSize));
    return p;
}

PacketBytes MakeValuePacket(std::string_view label, std::string_view left, std::string_view right) {
    const auto field = [](std::string_view s, std::size_t width, bool alignRight) {
        std::string out(s.substr(0, width));
        const std::string pad(width - out.size(), ' ');
        return alignRight ? pad + out : out + pad;
    };
    const std::string text = field(label, 5, false) + field(left, 8, true) + field(right, 8, true);
    return MakePacket(text);
}

void WritePacket(ReceiveBuffer& buffer, long long offset, const PacketBytes& packet) {
    for (std::size_t i = 0; i < packet.size(); ++i) {
        buffer.Set(offset + static_cast<long long>(i), packet[i]);
    }
}

void WriteRunBlockPointer(ReceiveBuffer& buffer, std::int16_t h) {
    const auto raw = std::bit_cast<std::uint16_t>(h);
    buffer.Set(ReceiveBuffer::kRunBlockPointerOffset, static_cast<std::uint8_t>(raw >> 8));
    buffer.Set(ReceiveBuffer::kRunBlockPointerOffset + 1, static_cast<std::uint8_t>(raw & 0xFF));
}

}  // namespace orvanrx
