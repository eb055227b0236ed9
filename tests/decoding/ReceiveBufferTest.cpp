#include <gtest/gtest.h>

#include <array>

#include "decoding/ByteOrder.h"
#include "decoding/ReceiveBuffer.h"
#include "sim/PacketBuilder.h"

namespace orvanrx {
namespace {

TEST(PacketChecksum, KnownAnswersAndPacketsOutsideTheMirror) {
    struct Case {
        long long offset;
        std::uint8_t data;
        std::uint8_t checksum;
        std::optional<bool> ok;
    };
    const std::optional<bool> outside;  // the Packet does not lie wholly inside the mirror
    // 23 x 0xFF sums to 5865 (0x16E9): only the low byte of its complement counts.
    const Case cases[] = {
        {100, 0x00, 0xFF, true},      {100, 0x00, 0x00, false},  {100, 0xFF, 0x16, true},
        {100, 0xFF, 0xE9, false},     {0, 0x00, 0xFF, true},     {32745, 0x00, 0xFF, true},
        {32746, 0x00, 0xFF, outside}, {-1, 0x00, 0xFF, outside}, {-24, 0x00, 0xFF, outside},
        {40000, 0x00, 0xFF, outside},
    };
    for (const Case& c : cases) {
        ReceiveBuffer buffer;
        for (int i = 0; i < kPacketDataSize; ++i) {
            buffer.Set(c.offset + i, c.data);
        }
        buffer.Set(c.offset + kPacketDataSize, c.checksum);
        EXPECT_EQ(PacketChecksumOK(buffer, c.offset), c.ok) << c.offset << " " << int(c.data);
    }
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

TEST(ByteOrder, SixteenBitReadsLowByteFirstSigned) {
    struct Case {
        std::array<std::uint8_t, 2> buffer;
        std::int16_t expected;
    };
    const Case cases[] = {
        {{0x00, 0x80}, -32768}, {{0xFF, 0x7F}, 32767}, {{0xFF, 0xFF}, -1},
        {{0x01, 0x00}, 1},      {{0x00, 0x01}, 256},   {{0xE8, 0x03}, 1000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BufferToInteger(c.buffer), c.expected);
        EXPECT_EQ(BufferToInt16(c.buffer), c.expected);
        EXPECT_EQ(BigEndianInt16(c.buffer[1], c.buffer[0]), c.expected);
    }
}

TEST(ByteOrder, ThirtyTwoBitRoundTripsBothChannels) {
    const std::array<std::uint8_t, 4> channel1{0x00, 0x50, 0xF8, 0x0C};
    EXPECT_EQ(BufferToLong(channel1), 217600000);
    EXPECT_EQ(BigEndianInt32(0x0C, 0xF3, 0xBC, 0x20), 217300000);

    for (const std::int32_t value : {0, 1, -1, 217600000, 217300000, INT32_MIN, INT32_MAX}) {
        std::array<std::uint8_t, 4> buffer{};
        LongToBuffer(value, buffer);
        EXPECT_EQ(BufferToLong(buffer), value);
    }
    std::array<std::uint8_t, 4> buffer{};
    LongToBuffer(217300000, buffer);
    EXPECT_EQ(buffer, (std::array<std::uint8_t, 4>{0x20, 0xBC, 0xF3, 0x0C}));
}

}  // namespace
}  // namespace orvanrx
