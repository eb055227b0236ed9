#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "receiver/FakeIndicators.h"
#include "receiver/MockXpress.h"
#include "receiver/Receiver.h"
#include "sim/SimulatedXpress.h"

namespace orvanrx {
namespace {

using test::MockXpress;
using test::RecordingIndicators;
using ::testing::_;
using ::testing::NiceMock;
using ::testing::Return;
using Bytes = std::vector<std::uint8_t>;

// Every transaction, with its result as text so that one table covers them all.
struct Transaction {
    const char* name;
    std::function<std::string(Receiver&)> run;
    Bytes frame;
    std::string closedResult;
    std::string shortResult;
};

std::string Text(const QString& text) {
    return "'" + text.toStdString() + "'";
}

const std::vector<Transaction>& Transactions() {
    static const std::vector<Transaction> all = {
        {"version",
         [](Receiver& r) { return Text(r.ReadReceiverText(0x00, 8)); },
         {0x1B, 0x00},
         "''",
         "'** Error **'"},
        {"name",
         [](Receiver& r) { return Text(r.ReadReceiverText(0x01, 51)); },
         {0x1B, 0x01},
         "''",
         "'** Error **'"},
        {"date",
         [](Receiver& r) { return Text(r.ReadReceiverText(0x02, 16)); },
         {0x1B, 0x02},
         "''",
         "'** Error **'"},
        {"status",
         [](Receiver& r) { return std::to_string(r.ReadReceiverStatus()); },
         {0x1B, 0x05},
         "0",
         "0"},
        {"frequency",
         [](Receiver& r) { return std::to_string(r.ReadFrequency()); },
         {0x1B, 0x06},
         "0",
         "-1"},
        {"channel 1",
         [](Receiver& r) { return std::to_string(r.WriteFrequency(217600000)); },
         {0x1B, 0x07, 0x0C, 0xF8, 0x50, 0x00},
         "0",
         "1"},
        {"channel 2",
         [](Receiver& r) { return std::to_string(r.WriteFrequency(217300000)); },
         {0x1B, 0x07, 0x0C, 0xF3, 0xBC, 0x20},
         "0",
         "1"},
        {"signal",
         [](Receiver& r) { return std::to_string(r.ReadSignalStrength()); },
         {0x1B, 0x0A},
         "0",
         "0"},
    };
    return all;
}

// A receiver link over a simulated receiver, opened unless asked otherwise.
struct SimLink {
    explicit SimLink(std::vector<trace::Step> trace = {}, bool open = true)
        : sim(std::move(trace)) {
        if (open) {
            EXPECT_TRUE(receiver.OpenDevice());
        }
        indicators.calls.clear();
    }
    SimulatedXpress sim;
    RecordingIndicators indicators;
    Receiver receiver{sim, indicators, sim.Clock()};
};

TEST(Transactions, SendExactFramesAndInterpretReplies) {
    SimLink link({trace::Version{0x41}, trace::Name{"Lane Radio 7"}, trace::Date{"2008-04-16"},
                  trace::Frequency{217300000}, trace::Signal{423}, trace::Status{0x03}});
    const std::vector<std::string> expected = {
        "'A'", "'Lane Radio 7'", "'2008-04-16'", "1", "217300000", "1", "1", "143"};
    for (std::size_t i = 0; i < Transactions().size(); ++i) {
        const Transaction& t = Transactions()[i];
        SCOPED_TRACE(t.name);
        EXPECT_EQ(t.run(link.receiver), expected[i]);
        EXPECT_EQ(link.sim.WrittenFrames().back(), t.frame);
    }
    EXPECT_EQ(link.sim.WrittenFrames().size(), Transactions().size());
    EXPECT_EQ(link.sim.Frequency(), 217300000);
    EXPECT_EQ(link.receiver.ReadFrequency(), 217300000);
    EXPECT_EQ(link.receiver.WriteFrequency(217600000), true);
    EXPECT_EQ(link.receiver.ReadFrequency(), 217600000);
}

TEST(Transactions, ClosedSendNothing) {
    SimLink link({}, false);
    for (const Transaction& t : Transactions()) {
        SCOPED_TRACE(t.name);
        EXPECT_EQ(t.run(link.receiver), t.closedResult);
    }
    EXPECT_TRUE(link.sim.WrittenFrames().empty());
    EXPECT_EQ(link.sim.NowMs(), 0);
    EXPECT_TRUE(link.indicators.calls.empty());
}

TEST(Transactions, ReceiverGoneGivesShortResults) {
    SimLink link;
    link.sim.Detach();
    for (const Transaction& t : Transactions()) {
        SCOPED_TRACE(t.name);
        EXPECT_EQ(t.run(link.receiver), t.shortResult);
    }
    EXPECT_TRUE(link.indicators.calls.empty());  // the lamps keep their state
    EXPECT_TRUE(link.receiver.DeviceOpen());     // a transaction never closes the device
}

// A mock receiver that answers every command with `waiting` bytes by the given check, then
// reads `delivered` of them; the clock moves 1 ms per check.
struct MockLink {
    MockLink(std::uint32_t waiting, int answerAtCheck, std::uint32_t delivered) {
        ON_CALL(usb, F32x_GetNumDevices(_)).WillByDefault([](std::uint32_t& count) {
            count = 1;
            return UsbXpress::kSuccess;
        });
        ON_CALL(usb, F32x_GetProductString(_, _, _))
            .WillByDefault([](std::uint32_t, MockXpress::ProductBuffer buffer, std::uint32_t) {
                const std::string text = kReceiverProductText;
                std::copy(text.begin(), text.end(), buffer.begin());
                return UsbXpress::kSuccess;
            });
        ON_CALL(usb, F32x_Open(_, _)).WillByDefault(Return(UsbXpress::kSuccess));
        ON_CALL(usb, F32x_Write(_, _, _)).WillByDefault([this](auto, auto, std::uint32_t&) {
            checks = 0;
            return UsbXpress::kSuccess;
        });
        ON_CALL(usb, F32x_CheckRXQueue(_, _, _))
            .WillByDefault([=, this](auto, std::uint32_t& count, std::uint32_t& status) {
                ++now;
                count = ++checks >= answerAtCheck ? waiting : 0;
                status = count > 0 ? UsbXpress::kQueueReady : UsbXpress::kQueueEmpty;
                return UsbXpress::kSuccess;
            });
        ON_CALL(usb, F32x_Read(_, _, _))
            .WillByDefault([=](auto, std::span<std::uint8_t> buffer, std::uint32_t& read) {
                std::fill(buffer.begin(), buffer.end(), 0x07);
                read =
                    std::min<std::uint32_t>(delivered, static_cast<std::uint32_t>(buffer.size()));
                return UsbXpress::kSuccess;
            });
        EXPECT_TRUE(receiver.OpenDevice());
        indicators.calls.clear();
    }
    NiceMock<MockXpress> usb;
    RecordingIndicators indicators;
    std::int64_t now = 0;
    int checks = 0;
    Receiver receiver{usb, indicators, [this] { return now; }};
};

TEST(Transactions, NineByteAnswerToEightByteCommandIsShortAndNotRead) {
    for (const Transaction& t : Transactions()) {
        SCOPED_TRACE(t.name);
        if (t.frame[1] == 0x01 || t.frame[1] == 0x02) {
            continue;  // longer replies
        }
        MockLink link(9, 1, 9);
        const bool readsAnyway = t.frame[1] == 0x07;
        EXPECT_CALL(link.usb, F32x_Read(_, _, _)).Times(readsAnyway ? 1 : 0);
        EXPECT_EQ(t.run(link.receiver), t.shortResult);
        EXPECT_EQ(link.checks, 1);
    }
}

TEST(Transactions, StalledReceiverEndsAtTheWaitLimit) {
    for (const Transaction& t : Transactions()) {
        SCOPED_TRACE(t.name);
        MockLink link(0, 1, 0);
        EXPECT_EQ(t.run(link.receiver), t.shortResult);
        EXPECT_EQ(link.now, kReplyWaitLimitMs);
    }
}

TEST(Transactions, ReplyWithinTheWaitLimitCounts) {
    MockLink late(8, static_cast<int>(kReplyWaitLimitMs) - 1, 8);
    EXPECT_EQ(late.receiver.ReadFrequency(), 0x07070707);
    MockLink tooLate(8, static_cast<int>(kReplyWaitLimitMs) + 1, 8);
    EXPECT_EQ(tooLate.receiver.ReadFrequency(), -1);
}

TEST(Transactions, ReadCountIsTestedWhereTabled) {
    // Eight bytes wait but only seven arrive in the read.
    MockLink link(8, 1, 7);
    EXPECT_FALSE(link.receiver.ReadReceiverStatus());
    EXPECT_EQ(link.receiver.ReadSignalStrength(), 0);
    EXPECT_EQ(link.receiver.ReadFrequency(), -1);
    EXPECT_TRUE(link.indicators.calls.empty());
    // Not tested for texts: the bytes in the reply array are taken.
    EXPECT_EQ(link.receiver.ReadReceiverText(0x00, 8),
              QStringLiteral("\x07\x07\x07\x07\x07\x07\x07\x07"));
    EXPECT_TRUE(link.receiver.WriteFrequency(217600000));
}

TEST(Transactions, FlushAfterReadWhereTabled) {
    struct Case {
        std::function<void(Receiver&)> run;
        int flushes;
    };
    const Case cases[] = {
        {[](Receiver& r) { r.ReadReceiverText(0x00, 8); }, 2},
        {[](Receiver& r) { r.ReadReceiverStatus(); }, 1},
        {[](Receiver& r) { r.ReadSignalStrength(); }, 1},
        {[](Receiver& r) { r.ReadFrequency(); }, 2},
        {[](Receiver& r) { r.WriteFrequency(217600000); }, 1},
    };
    for (const Case& c : cases) {
        MockLink link(8, 1, 8);
        EXPECT_CALL(link.usb, F32x_FlushBuffers(_)).Times(c.flushes);
        c.run(link.receiver);
    }
}

TEST(Transactions, SurplusBytesAreFlushedByTheNextTransaction) {
    SimLink link({trace::Reply{Bytes(40, 0xFA)}, trace::Frequency{217300000}});
    const std::uint8_t poll[] = {0x1B, 0x0F};
    std::uint32_t written = 0;
    link.sim.F32x_Write(link.receiver.DeviceHandle(), poll, written);
    EXPECT_EQ(link.receiver.ReadFrequency(), 217300000);
}

TEST(Transactions, StatusByteDrivesTheLamps) {
    struct Case {
        std::uint8_t status;
        std::vector<std::string> lamps;
    };
    const Case cases[] = {
        {0x00, {"CD dark", "EF dark", "FF lit"}}, {0x01, {"CD lit", "EF dark", "FF lit"}},
        {0x02, {"CD dark", "EF lit", "FF lit"}},  {0x04, {"CD dark", "EF dark", "FF dark"}},
        {0x07, {"CD lit", "EF lit", "FF dark"}},  {0xF8, {"CD dark", "EF dark", "FF lit"}},
    };
    for (const Case& c : cases) {
        SimLink link({trace::Status{c.status}});
        EXPECT_TRUE(link.receiver.ReadReceiverStatus());
        EXPECT_EQ(link.indicators.calls, c.lamps) << int(c.status);
    }
}

TEST(Transactions, TextStopsAtZeroOr06) {
    EXPECT_EQ(SimLink({trace::Name{"\x06Name"}}).receiver.ReadReceiverText(0x01, 51), QString());
    EXPECT_EQ(SimLink({trace::Name{""}}).receiver.ReadReceiverText(0x01, 51), QString());
    EXPECT_EQ(SimLink({trace::Name{"Na\x06me"}}).receiver.ReadReceiverText(0x01, 51),
              QStringLiteral("Na"));
    EXPECT_EQ(SimLink().receiver.ReadReceiverText(0x01, 0), QStringLiteral("** Error **"));
}

TEST(SignalLevel, MapsRawReadingsAsTabled) {
    const std::pair<std::int16_t, std::int16_t> table[] = {
        {0, 244},   {100, 220}, {128, 214}, {423, 143}, {600, 101},
        {604, 100}, {620, 64},  {700, 51},  {1000, 4},  {1024, 0},
        {1025, 0},  {32767, 0}, {-1, 244},  {-5, 244},  {-32768, 244}};
    for (const auto& [raw, level] : table) {
        EXPECT_EQ(SignalLevel(raw), level) << raw;
    }
    SimLink link({trace::Signal{-300}});
    EXPECT_EQ(link.receiver.ReadSignalStrength(), 244);
}

}  // namespace
}  // namespace orvanrx
