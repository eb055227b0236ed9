#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "decoding/ReceiveBuffer.h"

// The broadcaster's side of a Packet: building 24-byte Packets with their checksum and placing
// them in a memory image. Used by the race-day generator and by tests.
namespace orvanrx {

using PacketBytes = std::array<std::uint8_t, kPacketSize>;

// A Packet whose 23 data bytes are `text` padded with blanks (longer text is cut), with the
// checksum that makes it valid.
PacketBytes MakePacket(std::string_view text);

// A value Packet: a 5-character label, then the left and right 8-character value areas, each
// padded with blanks on the left, as the timing system right-aligns its figures.
PacketBytes MakeValuePacket(std::string_view label, std::string_view left, std::string_view right);

// Writes the Packet's 24 bytes at offset (bytes outside the mirror are dropped).
void WritePacket(ReceiveBuffer& buffer, long long offset, const PacketBytes& packet);

// Sets the big-endian RunBlockPointer in bytes 2..3.
void WriteRunBlockPointer(ReceiveBuffer& buffer, std::int16_t h);

}  // namespace orvanrx
