#include <gtest/gtest.h>

#include "decoding/TestRace.h"
#include "shell/DataReply.h"
#include "shell/StatusTexts.h"
#include "sim/SimLoop.h"

namespace orvanrx {
namespace {

using testing::DataReply;
using testing::RegionReplies;
using testing::SimLoop;
using Strings = std::vector<std::string>;

TEST(PollLoop, ThousandTicksGiveOneSaveAndTenStatusRefreshes) {
    SimLoop s({trace::Idle{2000}});
    EXPECT_EQ(s.loop.RunPollCycle(), TickOutcome::Searching);
    EXPECT_EQ(s.log.With("panels "), Strings{"on"});
    s.Run(999);
    EXPECT_TRUE(s.log.With("save").empty());
    s.Run(1);
    EXPECT_EQ(s.log.With("save").size(), 1u);  // 1000 completed ticks after the open
    EXPECT_EQ(s.log.With("caption "), Strings(10, "Channel 1"));
    EXPECT_EQ(s.log.With("signal ").size(), 10u);
    EXPECT_TRUE(s.log.With("stored").empty());
}

TEST(PollLoop, NoReceiverMeansNoSaveAndNoRefresh) {
    SimLoop s({trace::Idle{10}});
    s.sim.Detach();
    EXPECT_EQ(s.Run(2000), std::vector<TickOutcome>(2000, TickOutcome::Searching));
    EXPECT_EQ(s.loop.SaveElapsed(), 0);
    EXPECT_TRUE(s.log.calls.empty());
}

TEST(PollLoop, RepliesWithoutMarkerStoreNothingButCountTime) {
    SimLoop s({DataReply(7, 100, {1, 2, 3, 4, 5, 6, 7, 8}, 0xFB)});
    EXPECT_EQ(s.Run(2).back(), TickOutcome::NotDataReply);
    EXPECT_EQ(s.loop.SaveElapsed(), 30);
    EXPECT_EQ(s.loop.StatusElapsed(), 30);
    EXPECT_EQ(s.venue, 0);
    EXPECT_EQ(s.buffer.At(100), 0);
    EXPECT_TRUE(s.log.With("buffer ").empty());
}

TEST(PollLoop, StalledReceiverEndsTheTickWithoutCountingIt) {
    SimLoop s({trace::None{3}, trace::Idle{1}});
    s.Run(1);
    const std::int64_t before = s.sim.NowMs();
    EXPECT_EQ(s.loop.RunPollCycle(), TickOutcome::NoAnswer);
    EXPECT_GE(s.sim.NowMs() - before, kReplyWaitLimitMs);
    EXPECT_LT(s.sim.NowMs() - before, kReplyWaitLimitMs + 5);
    EXPECT_EQ(s.loop.SaveElapsed(), 0);
    EXPECT_EQ(s.Run(3).back(), TickOutcome::NotDataReply);
    EXPECT_EQ(s.loop.SaveElapsed(), 30);
}

TEST(PollLoop, ShortReadKeepsTheRestOfThePreviousReply) {
    SimLoop s({DataReply(1, 0x0100, {11, 12, 13, 14, 15, 16, 17, 18}), DataReply(1, 0x0200, {})});
    EXPECT_EQ(s.Run(3).back(), TickOutcome::DataStored);
    // Only the header came in: the eight stale data bytes land at the new address.
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(s.buffer.At(0x0200 + k), 11 + k);
    }
    EXPECT_EQ(s.log.With("buffer "), (Strings{"256", "512"}));
}

TEST(PollLoop, AddressPastTheEndStoresWhatFitsAndEndsTheTick) {
    SimLoop s({DataReply(1, 32761, {1, 1, 1, 1, 1, 1, 1, 1}),
               DataReply(1, 32762, {2, 2, 2, 2, 2, 2, 2, 2})});
    EXPECT_EQ(s.Run(3), (std::vector<TickOutcome>{TickOutcome::Searching, TickOutcome::DataStored,
                                                  TickOutcome::AddressOutOfRange}));
    EXPECT_EQ(s.buffer.At(32768), 2);  // what fits is stored (ApplyDataReply has the cases)
    EXPECT_EQ(s.log.With("buffer "), Strings{"32761"});
    EXPECT_EQ(s.log.With("stored").size(), 1u);
    EXPECT_EQ(s.loop.SaveElapsed(), 30);
}

TEST(PollLoop, UnplugClosesAndTheReceiverIsFoundAgain) {
    SimLoop s({trace::Idle{1}, trace::Unplug{3}, trace::Status{0x07}, trace::Idle{5}});
    s.Run(2);
    EXPECT_EQ(s.loop.RunPollCycle(), TickOutcome::ReceiverLost);
    EXPECT_FALSE(s.receiver.DeviceOpen());
    EXPECT_EQ(s.Run(2), std::vector<TickOutcome>(2, TickOutcome::Searching));
    EXPECT_FALSE(s.receiver.DeviceOpen());
    EXPECT_EQ(s.loop.RunPollCycle(), TickOutcome::Searching);
    EXPECT_TRUE(s.receiver.DeviceOpen());
    EXPECT_EQ(s.loop.RunPollCycle(), TickOutcome::NotDataReply);
    EXPECT_TRUE(s.receiver.ReadReceiverStatus());  // the status line after the unplug applied
    EXPECT_EQ(s.log.calls, (Strings{"panels on", "panels off", "caption Channel ?", "panels on",
                                    "CD lit", "EF lit", "FF dark"}));
}

TEST(PollLoop, ARaceArrivingPieceByPieceIsDecodedOnceWhole) {
    ReceiveBuffer image;
    testing::TestRace{}.WriteTo(image, 1000);
    std::vector<trace::Step> steps = RegionReplies(image, 0, 8, 1);
    const auto block = RegionReplies(image, 1000, 16 * 24, 1);
    steps.insert(steps.end(), block.begin(), block.end());
    steps.insert(steps.end(), block.begin(), block.end());
    SimLoop s(steps);
    s.Run(1 + 1 + 48);  // the open, the pointer and the block once
    // Rows are written when the entries arrive and rewritten as times come in.
    const std::size_t changes = s.log.With("tables").size();
    EXPECT_GE(changes, 1u);
    const RunTable& all = s.tables.AllRunsTable();
    EXPECT_EQ(all.RightRow(), 1);
    EXPECT_EQ(all.Cell(0, RunColumn::Car), QStringLiteral("1234"));
    EXPECT_EQ(all.Cell(1, RunColumn::mph1320), QStringLiteral("131.22"));
    EXPECT_EQ(all.Cell(0, RunColumn::win), QStringLiteral("W"));
    s.RunToEnd();  // the second sweep changes nothing
    EXPECT_EQ(s.log.With("stored").size(), 1u + 2 * 48u);
    EXPECT_EQ(s.log.With("tables").size(), changes);
}

TEST(PollLoop, StatusRefreshShowsTheScrollMessage) {
    SimLoop s({DataReply(1, 256, {0, 0, 0, 0, 0x10, 0x00, 0x00, 0}),
               DataReply(1, 0x1000, {5, 'W', 'E', 'L', 'C', 'O', 'M', 'E'}), trace::Idle{200}});
    s.Run(101);
    EXPECT_EQ(s.log.With("message ").back(), "shown");
    EXPECT_EQ(s.log.With("text ").back(), "WELCO");
}

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

TEST(ChannelCaption, OnlyTheTwoChannelsHaveNumbers) {
    EXPECT_EQ(ChannelCaption(217600000), QStringLiteral("Channel 1"));
    EXPECT_EQ(ChannelCaption(217300000), QStringLiteral("Channel 2"));
    for (const std::int32_t f : {0, -1, 217600001, 217300000 - 1}) {
        EXPECT_EQ(ChannelCaption(f), QStringLiteral("Channel ?")) << f;
    }
}

TEST(ReadScrollMessage, MarkerLengthAndPlace) {
    struct Case {
        int m;                // the message pointer
        std::string message;  // the length byte at m, then the text
        std::uint8_t marker;  // byte 262
        bool visible;
        const char* text;  // nullptr: the old text stays
    };
    const auto message = [](int length, const std::string& text) {
        return std::string(1, static_cast<char>(length)) + text;
    };
    const std::string x250(250, 'x');
    const Case cases[] = {
        {1000, message(5, "AAAAA"), 0xFF, false, nullptr},
        {1000, message(250, x250), 0, true, x250.c_str()},
        {1000, message(251, std::string(251, 'A')), 0, true, nullptr},  // over 250
        {1000, message(0, ""), 0, true, ""},
        {1000, message(6, "AA\r\x7Fzz"), 0, true, "AAzz"},     // control bytes dropped
        {32760, message(10, "AAAAAAAAAA"), 0, true, nullptr},  // runs to 32770
        {32760, message(8, "AAAAAAAA"), 0, true, "AAAAAAAA"},  // ends exactly at 32768
        {-8, message(8, "AAAAAAAA"), 0, true, nullptr},
    };
    for (const Case& c : cases) {
        ReceiveBuffer buffer;
        buffer.Set(260, static_cast<std::uint8_t>(static_cast<std::uint16_t>(c.m) >> 8));
        buffer.Set(261, static_cast<std::uint8_t>(c.m & 0xFF));
        buffer.Set(262, c.marker);
        for (std::size_t i = 0; i < c.message.size(); ++i) {
            buffer.Set(c.m + static_cast<long long>(i), static_cast<std::uint8_t>(c.message[i]));
        }
        const ScrollMessageUpdate update = ReadScrollMessage(buffer);
        EXPECT_EQ(update.visible, c.visible) << c.m << " " << c.message.size();
        EXPECT_EQ(update.text, c.text ? std::optional(QString::fromLatin1(c.text)) : std::nullopt)
            << c.m << " " << c.message.size();
    }
}

}  // namespace
}  // namespace orvanrx
