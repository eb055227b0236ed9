#pragma once

#include <cstdint>
#include <span>

// Byte-order conversions. Every multi-byte number from the receiver is big-endian; these
// routines read and write buffers low byte first, so a caller with the big-endian bytes
// hi, lo passes {lo, hi} (or uses the BigEndian* helpers, which do exactly that).
namespace orvanrx {

// buffer[0] + 256 * buffer[1], as a signed 16-bit two's-complement value.
std::int16_t BufferToInteger(std::span<const std::uint8_t, 2> buffer);
// The same conversion under the name the poll loop uses for reply addresses.
std::int16_t BufferToInt16(std::span<const std::uint8_t, 2> buffer);
// Signed 32-bit value with buffer[0] least significant.
std::int32_t BufferToLong(std::span<const std::uint8_t, 4> buffer);
// Fills buffer with value, buffer[0] least significant.
void LongToBuffer(std::int32_t value, std::span<std::uint8_t, 4> buffer);

// Signed 16-bit value of the big-endian pair hi, lo.
std::int16_t BigEndianInt16(std::uint8_t hi, std::uint8_t lo);
// Signed 32-bit value of the big-endian bytes b0 (most significant) .. b3.
std::int32_t BigEndianInt32(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3);

}  // namespace orvanrx
