#include "decoding/ReceiveBuffer.h"

#include <cassert>

#include "decoding/ByteOrder.h"

namespace orvanrx {

std::uint8_t ReceiveBuffer::operator[](int offset) const {
    assert(Contains(offset));
    return bytes_[static_cast<std::size_t>(offset)];
}

bool ReceiveBuffer::Set(long long offset, std::uint8_t b) {
    if (!Contains(offset)) {
        return false;
    }
    bytes_[static_cast<std::size_t>(offset)] = b;
    return true;
}

std::optional<std::span<const std::uint8_t>> ReceiveBuffer::Slice(long long first,
                                                                  long long length) const {
    if (!Contains(first, length)) {
        return std::nullopt;
    }
    return std::span<const std::uint8_t>(bytes_).subspan(static_cast<std::size_t>(first),
                                                         static_cast<std::size_t>(length));
}

std::int16_t ReceiveBuffer::RunBlockPointer() const {
    return BigEndianInt16(bytes_[kRunBlockPointerOffset], bytes_[kRunBlockPointerOffset + 1]);
}

std::int16_t ReceiveBuffer::MessagePointer() const {
    return BigEndianInt16(bytes_[kMessagePointerOffset], bytes_[kMessagePointerOffset + 1]);
}

bool ClearReceiveBuffer(ReceiveBuffer& buffer) {
    buffer.Clear();
    return true;
}

void InitReceiveState(ReceiveBuffer& buffer) {
    buffer.Set(ReceiveBuffer::kNoMessageMarkerOffset, ReceiveBuffer::kNoMessage);
}

std::uint8_t PacketChecksum(std::span<const std::uint8_t> data23) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < data23.size() && i < kPacketDataSize; ++i) {
        sum += data23[i];
    }
    return static_cast<std::uint8_t>(~sum & 0xFFu);
}

std::optional<bool> PacketChecksumOK(const ReceiveBuffer& buffer, long long offset) {
    const auto packet = buffer.Slice(offset, kPacketSize);
    if (!packet) {
        return std::nullopt;
    }
    return PacketChecksum(packet->first(kPacketDataSize)) == (*packet)[kPacketDataSize];
}

}  // namespace orvanrx
