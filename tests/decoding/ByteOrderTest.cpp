#include <gtest/gtest.h>

#include <array>

#include "decoding/ByteOrder.h"

namespace orvanrx {
namespace {

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
