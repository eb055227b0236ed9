#include "decoding/ByteOrder.h"

#include <array>
#include <bit>

namespace orvanrx {

std::int16_t BufferToInteger(std::span<const std::uint8_t, 2> buffer) {
    const auto raw = static_cast<std::uint16_t>(buffer[0] | (buffer[1] << 8));
    return std::bit_cast<std::int16_t>(raw);
}

std::int16_t BufferToInt16(std::span<const std::uint8_t, 2> buffer) {
    return BufferToInteger(buffer);
}

std::int32_t BufferToLong(std::span<const std::uint8_t, 4> buffer) {
    const std::uint32_t raw = static_cast<std::uint32_t>(buffer[0]) |
                              (static_cast<std::uint32_t>(buffer[1]) << 8) |
                              (static_cast<std::uint32_t>(buffer[2]) << 16) |
                              (static_cast<std::uint32_t>(buffer[3]) << 24);
    return std::bit_cast<std::int32_t>(raw);
}

void LongToBuffer(std::int32_t value, std::span<std::uint8_t, 4> buffer) {
    const auto raw = std::bit_cast<std::uint32_t>(value);
    for (std::size_t i = 0; i < 4; ++i) {
        buffer[i] = static_cast<std::uint8_t>(raw >> (8 * i));
    }
}

std::int16_t BigEndianInt16(std::uint8_t hi, std::uint8_t lo) {
    const std::array<std::uint8_t, 2> scratch{lo, hi};
    return BufferToInteger(scratch);
}

std::int32_t BigEndianInt32(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3) {
    const std::array<std::uint8_t, 4> scratch{b3, b2, b1, b0};
    return BufferToLong(scratch);
}

}  // namespace orvanrx
