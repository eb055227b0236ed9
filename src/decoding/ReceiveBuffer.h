#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace orvanrx {

// The byte-for-byte mirror of the receiver's memory, offsets 0..32768 (one more than 32 KB).
//
// Map of the offsets the program reads:
//   2..3     RunBlockPointer  big-endian signed offset H of the latest race's RunBlock
//   260..261 MessagePointer   big-endian signed offset M of the scroll message
//   262      NoMessageMarker  0xFF: no scroll message
// The RunBlock is a run of 24-byte Packets at H; everything else is wherever the pointers
// place it. Every access is range-guarded: reads outside the mirror give nothing, writes
// outside it are refused.
class ReceiveBuffer {
public:
    static constexpr int kSize = 32769;
    static constexpr int kLastOffset = kSize - 1;
    static constexpr int kRunBlockPointerOffset = 2;
    static constexpr int kMessagePointerOffset = 260;
    static constexpr int kNoMessageMarkerOffset = 262;
    static constexpr std::uint8_t kNoMessage = 0xFF;

    ReceiveBuffer() { bytes_.fill(0); }

    // True when offsets first .. first + length - 1 all lie inside the mirror.
    static constexpr bool Contains(long long first, long long length = 1) {
        return length >= 0 && first >= 0 && first + length <= kSize;
    }

    std::optional<std::uint8_t> At(long long offset) const {
        if (!Contains(offset)) {
            return std::nullopt;
        }
        return bytes_[static_cast<std::size_t>(offset)];
    }
    // The byte at an offset known to lie inside the mirror (checked in debug builds).
    std::uint8_t operator[](int offset) const;

    // Stores b at offset; false (and nothing stored) outside the mirror.
    bool Set(long long offset, std::uint8_t b);

    // Bytes first .. first + length - 1, or nothing when any lies outside the mirror.
    std::optional<std::span<const std::uint8_t>> Slice(long long first, long long length) const;

    std::span<const std::uint8_t, kSize> Bytes() const { return bytes_; }

    std::int16_t RunBlockPointer() const;
    std::int16_t MessagePointer() const;
    std::uint8_t NoMessageMarker() const { return bytes_[kNoMessageMarkerOffset]; }

    // All 32769 bytes to 0.
    void Clear() { bytes_.fill(0); }

private:
    std::array<std::uint8_t, kSize> bytes_;
};

// Clears the whole mirror; always true (callers ignore the result).
bool ClearReceiveBuffer(ReceiveBuffer& buffer);

// The start-up state of the mirror's flags: no scroll message (byte 262 = 0xFF).
void InitReceiveState(ReceiveBuffer& buffer);

// --- Packets ----------------------------------------------------------------------------

inline constexpr int kPacketSize = 24;
inline constexpr int kPacketDataSize = 23;

// A Value Packet carries the left lane's text in bytes 5..12 and the right lane's in 13..20.
inline constexpr int kLeftValueArea = 5;
inline constexpr int kRightValueArea = 13;
inline constexpr int kValueAreaSize = 8;

// The checksum test of the 24-byte Packet at offset: the low 8 bits of the complement of the
// sum of bytes 0..22 must equal byte 23. Nothing (no answer) when the Packet is not wholly
// inside the mirror; a decoder treats that as "no new run".
std::optional<bool> PacketChecksumOK(const ReceiveBuffer& buffer, long long offset);

// The checksum byte that makes 23 data bytes a valid Packet.
std::uint8_t PacketChecksum(std::span<const std::uint8_t> data23);

}  // namespace orvanrx
