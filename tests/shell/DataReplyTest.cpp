#include <gtest/gtest.h>

#include "shell/DataReply.h"
#include "shell/StatusTexts.h"

namespace orvanrx {
namespace {

ReplyBuffer Reply(std::uint8_t marker, std::uint8_t venue, std::uint8_t hi, std::uint8_t lo) {
    return {marker, venue, hi, lo, 1, 2, 3, 4, 5, 6, 7, 8, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
}

TEST(ApplyDataReply, VenueChangeClearsTheWholeMirrorFirst) {
    ReceiveBuffer buffer;
    InitReceiveState(buffer);
    buffer.Set(5000, 0x55);
    std::int16_t venue = 3;

    const auto result = ApplyDataReply(Reply(0xFA, 4, 0x02, 0x00), buffer, venue);
    EXPECT_EQ(result.kind, DataReplyResult::Kind::Stored);
    EXPECT_TRUE(result.venueChanged);
    EXPECT_EQ(venue, 4);
    EXPECT_EQ(buffer.At(5000), 0);
    EXPECT_EQ(buffer.At(262), 0);  // the no-message flag is cleared too
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(buffer.At(512 + k), k + 1);
    }
    EXPECT_EQ(buffer.At(520), 0);  // only 8 bytes are data

    // Same venue: nothing else is touched.
    buffer.Set(5000, 0x55);
    EXPECT_FALSE(ApplyDataReply(Reply(0xFA, 4, 0x00, 0x10), buffer, venue).venueChanged);
    EXPECT_EQ(buffer.At(5000), 0x55);
}

TEST(ApplyDataReply, AddressesAtAndPastTheEnd) {
    struct Case {
        std::uint8_t hi, lo;
        DataReplyResult::Kind kind;
        int address;
        int firstStored;
        int storedCount;
    };
    const Case cases[] = {
        {0x7F, 0xF9, DataReplyResult::Kind::Stored, 32761, 32761, 8},
        {0x7F, 0xFA, DataReplyResult::Kind::OutOfRange, 32762, 32762, 7},
        {0x7F, 0xFF, DataReplyResult::Kind::OutOfRange, 32767, 32767, 2},
        {0xFF, 0xFF, DataReplyResult::Kind::OutOfRange, -1, 0, 0},
        {0x80, 0x00, DataReplyResult::Kind::OutOfRange, -32768, 0, 0},
        {0x00, 0x00, DataReplyResult::Kind::Stored, 0, 0, 8},
    };
    for (const Case& c : cases) {
        ReceiveBuffer buffer;
        std::int16_t venue = 1;
        const auto result = ApplyDataReply(Reply(0xFA, 1, c.hi, c.lo), buffer, venue);
        EXPECT_EQ(result.kind, c.kind) << c.address;
        EXPECT_EQ(result.address, c.address);
        int stored = 0;
        for (const std::uint8_t b : buffer.Bytes()) {
            stored += b != 0 ? 1 : 0;
        }
        EXPECT_EQ(stored, c.storedCount) << c.address;
        if (c.storedCount > 0) {
            EXPECT_EQ(buffer.At(c.firstStored), 1);
        }
    }
}

TEST(ApplyDataReply, OtherMarkersStoreNothing) {
    ReceiveBuffer buffer;
    std::int16_t venue = 0;
    for (const std::uint8_t marker : {0xFB, 0x00, 0xF9}) {
        const auto result = ApplyDataReply(Reply(marker, 9, 0, 16), buffer, venue);
        EXPECT_EQ(result.kind, DataReplyResult::Kind::NotDataReply);
        EXPECT_EQ(venue, 0);
        EXPECT_EQ(buffer.At(16), 0);
    }
}

TEST(ChannelCaption, OnlyTheTwoChannelsHaveNumbers) {
    EXPECT_EQ(ChannelCaption(217600000), QStringLiteral("Channel 1"));
    EXPECT_EQ(ChannelCaption(217300000), QStringLiteral("Channel 2"));
    for (const std::int32_t f : {0, -1, 217600001, 217300000 - 1}) {
        EXPECT_EQ(ChannelCaption(f), QStringLiteral("Channel ?")) << f;
    }
}

class ScrollMessageTest : public ::testing::Test {
protected:
    void Message(std::int16_t m, int length, std::uint8_t fill = 'A') {
        buffer.Set(260, static_cast<std::uint8_t>(static_cast<std::uint16_t>(m) >> 8));
        buffer.Set(261, static_cast<std::uint8_t>(m & 0xFF));
        buffer.Set(262, 0);
        buffer.Set(m, static_cast<std::uint8_t>(length));
        for (int i = 1; i <= length; ++i) {
            buffer.Set(m + i, fill);
        }
    }
    ReceiveBuffer buffer;
};

TEST_F(ScrollMessageTest, HiddenWhileMarkerIsFF) {
    Message(1000, 5);
    buffer.Set(262, 0xFF);
    const auto update = ReadScrollMessage(buffer);
    EXPECT_FALSE(update.visible);
    EXPECT_FALSE(update.text);
}

TEST_F(ScrollMessageTest, LengthLimitsAndFiltering) {
    Message(1000, 250, 'x');
    EXPECT_EQ(ReadScrollMessage(buffer).text, QString(250, u'x'));

    Message(1000, 251);
    auto update = ReadScrollMessage(buffer);
    EXPECT_TRUE(update.visible);
    EXPECT_FALSE(update.text);  // keeps the old text

    Message(1000, 0);
    EXPECT_EQ(ReadScrollMessage(buffer).text, QString());

    Message(1000, 6);
    buffer.Set(1002, 0x0D);
    buffer.Set(1004, 0x7F);
    EXPECT_EQ(ReadScrollMessage(buffer).text, QStringLiteral("AAAA"));
}

TEST_F(ScrollMessageTest, PointerOrTextOutsideTheMirrorKeepsTheOldText) {
    Message(32760, 10);  // text would run to 32770
    auto update = ReadScrollMessage(buffer);
    EXPECT_TRUE(update.visible);
    EXPECT_FALSE(update.text);

    Message(32760, 8);  // ends exactly at 32768
    EXPECT_EQ(ReadScrollMessage(buffer).text, QString(8, u'A'));

    buffer.Set(260, 0xFF);  // M = -something
    update = ReadScrollMessage(buffer);
    EXPECT_TRUE(update.visible);
    EXPECT_FALSE(update.text);
}

}  // namespace
}  // namespace orvanrx
