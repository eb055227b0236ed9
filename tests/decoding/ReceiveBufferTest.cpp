#include <gtest/gtest.h>

#include "decoding/ReceiveBuffer.h"
#include "sim/PacketBuilder.h"

namespace orvanrx {
namespace {

void Fill(ReceiveBuffer& buffer, long long offset, std::uint8_t data, std::uint8_t checksum) {
    for (int i = 0; i < kPacketDataSize; ++i) {
        buffer.Set(offset + i, data);
    }
    buffer.Set(offset + kPacketDataSize, checksum);
}

TEST(PacketChecksum, KnownAnswers) {
    ReceiveBuffer buffer;
    Fill(buffer, 100, 0x00, 0xFF);
    EXPECT_EQ(PacketChecksumOK(buffer, 100), true);
    Fill(buffer, 100, 0x00, 0x00);
    EXPECT_EQ(PacketChecksumOK(buffer, 100), false);

    // 23 x 0xFF sums to 5865 (0x16E9): only the low byte of its complement counts.
    Fill(buffer, 100, 0xFF, 0x16);
    EXPECT_EQ(PacketChecksumOK(buffer, 100), true);
    Fill(buffer, 100, 0xFF, 0xE9);
    EXPECT_EQ(PacketChecksumOK(buffer, 100), false);
}

TEST(PacketChecksum, EverySingleBitFlipInDataOrChecksumIsCaught) {
    const PacketBytes good = MakePacket("L[SS:1234]JOHN DOE");
    ReceiveBuffer buffer;
    for (int byte = 0; byte < kPacketSize; ++byte) {
        for (int bit = 0; bit < 8; ++bit) {
            PacketBytes bad = good;
            bad[static_cast<std::size_t>(byte)] ^= static_cast<std::uint8_t>(1 << bit);
            WritePacket(buffer, 500, bad);
            EXPECT_EQ(PacketChecksumOK(buffer, 500), false) << byte << ":" << bit;
        }
    }
    WritePacket(buffer, 500, good);
    EXPECT_EQ(PacketChecksumOK(buffer, 500), true);
}

TEST(PacketChecksum, PacketMustLieWhollyInsideTheMirror) {
    ReceiveBuffer buffer;
    Fill(buffer, 32745, 0x00, 0xFF);  // last byte at 32768
    EXPECT_EQ(PacketChecksumOK(buffer, 32745), true);
    EXPECT_EQ(PacketChecksumOK(buffer, 32746), std::nullopt);
    EXPECT_EQ(PacketChecksumOK(buffer, -1), std::nullopt);
    EXPECT_EQ(PacketChecksumOK(buffer, -24), std::nullopt);
    EXPECT_EQ(PacketChecksumOK(buffer, 40000), std::nullopt);
    Fill(buffer, 0, 0x00, 0xFF);
    EXPECT_EQ(PacketChecksumOK(buffer, 0), true);
}

TEST(ReceiveBuffer, GuardsEveryAccessAndReadsItsPointers) {
    ReceiveBuffer buffer;
    EXPECT_TRUE(buffer.Set(32768, 7));
    EXPECT_EQ(buffer.At(32768), 7);
    EXPECT_FALSE(buffer.Set(32769, 7));
    EXPECT_FALSE(buffer.Set(-1, 7));
    EXPECT_EQ(buffer.At(32769), std::nullopt);
    EXPECT_EQ(buffer.At(-1), std::nullopt);
    EXPECT_EQ(buffer.Slice(32760, 9)->size(), 9u);
    EXPECT_EQ(buffer.Slice(32760, 10), std::nullopt);

    WriteRunBlockPointer(buffer, 1000);
    EXPECT_EQ(buffer.At(2), 0x03);
    EXPECT_EQ(buffer.At(3), 0xE8);
    EXPECT_EQ(buffer.RunBlockPointer(), 1000);
    WriteRunBlockPointer(buffer, -2);
    EXPECT_EQ(buffer.RunBlockPointer(), -2);

    buffer.Set(260, 0x80);
    buffer.Set(261, 0x01);
    EXPECT_EQ(buffer.MessagePointer(), -32767);

    InitReceiveState(buffer);
    EXPECT_EQ(buffer.NoMessageMarker(), 0xFF);
    EXPECT_TRUE(ClearReceiveBuffer(buffer));
    for (const std::uint8_t b : buffer.Bytes()) {
        ASSERT_EQ(b, 0);
    }
}

}  // namespace
}  // namespace orvanrx
