#pragma once

#include <array>
#include <string>

#include "decoding/ReceiveBuffer.h"
#include "sim/PacketBuilder.h"

namespace orvanrx::testing {

// A complete, valid RunBlock of 16 Packets, as the timing system sends a finished race, with
// helpers to change single Packets and to place the block in a mirror.
struct TestRace {
    std::array<PacketBytes, 16> packets{
        MakePacket(std::string(1, '\x10') + "HDR"),
        MakePacket("ORVAN TIMING"),
        MakePacket("SUPER PRO     E1"),
        MakePacket("L[SP:1234]JOHN DOE"),
        MakePacket("R[SP:567]JANE ROE"),
        MakePacket("      LEFT   RIGHT"),
        MakeValuePacket(" D   ", "9.50", "10.25"),
        MakeValuePacket("RT   ", "0.512", "0.498"),
        MakeValuePacket("60'  ", "1.312", "1.298"),
        MakeValuePacket("330' ", "3.612", "3.598"),
        MakeValuePacket("1/8  ", "5.912", "5.898"),
        MakeValuePacket("MPH  ", "112.34", "113.01"),
        MakeValuePacket("1000'", "7.712", "7.698"),
        MakeValuePacket("1/4  ", "9.512", "10.268"),
        MakeValuePacket("MPH  ", "140.11", "131.22"),
        MakeValuePacket("MARG ", "W 0.0123", "0.0456"),
    };

    TestRace& Set(int k, const PacketBytes& p) {
        packets[static_cast<std::size_t>(k)] = p;
        return *this;
    }
    TestRace& Corrupt(int k) {
        packets[static_cast<std::size_t>(k)][kPacketDataSize] ^= 0x01;
        return *this;
    }
    void WriteTo(ReceiveBuffer& buffer, std::int16_t h) const {
        WriteRunBlockPointer(buffer, h);
        for (std::size_t k = 0; k < packets.size(); ++k) {
            WritePacket(buffer, h + static_cast<long long>(kPacketSize * k), packets[k]);
        }
    }
};

}  // namespace orvanrx::testing
