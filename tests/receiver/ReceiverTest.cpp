#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "receiver/MockXpress.h"
#include "receiver/Receiver.h"
#include "shell/CallLog.h"
#include "sim/SimulatedXpress.h"

namespace orvanrx {
namespace {

using test::ListDevices;
using test::MockDevice;
using test::MockXpress;
using ::testing::_;
using testing::CallLog;
using ::testing::NiceMock;
using ::testing::Return;
using Bytes = std::vector<std::uint8_t>;

// Opens a receiver among `devices`; gives the indices whose open was tried.
std::vector<std::uint32_t> OpenWith(const std::vector<MockDevice>& devices) {
    NiceMock<MockXpress> usb;
    const auto tried = ListDevices(usb, devices);
    CallLog log;
    Receiver receiver(usb, log, SteadyMilliseconds());
    const bool opened = receiver.OpenDevice();
    EXPECT_EQ(opened, receiver.DeviceOpen());
    EXPECT_EQ(log.calls,
              opened ? std::vector<std::string>{"panels on"} : std::vector<std::string>{});
    if (opened) {
        EXPECT_EQ(receiver.DeviceHandle(), 100 + tried->back());
    }
    return *tried;
}

TEST(OpenDevice, MatchesProductTextExactlyAndTriesTheNextOnFailure) {
    const std::string orvan = "ORVAN01 USB Receiver";
    struct Case {
        const char* what;
        std::vector<MockDevice> devices;
        std::vector<std::uint32_t> triedOpens;  // the last one succeeded when any did
    };
    const std::vector<Case> cases = {
        {"no device", {}, {}},
        {"the receiver", {{orvan}}, {0}},
        {"letter case differs", {{"ORVAN01 USB RECEIVER"}, {"orvan01 usb receiver"}}, {}},
        {"trailing blank", {{orvan + " "}}, {}},
        {"0x06 inside cuts the text", {{"ORVAN01\x06 USB Receiver"}}, {}},
        {"0x06 after the text cuts the rest", {{orvan + "\x06tail"}}, {0}},
        {"other devices first", {{"CP2102 USB to UART"}, {orvan}, {orvan}}, {1}},
        {"two receivers, lower index", {{orvan}, {orvan}}, {0}},
        {"first open fails", {{orvan, false}, {"x"}, {orvan}}, {0, 2}},
        {"every open fails", {{orvan, false}, {orvan, false}}, {0, 1}},
        // The buffer is not cleared between devices: an unreadable text leaves the last one.
        {"unreadable text after a receiver", {{orvan, false}, {std::nullopt}}, {0, 1}},
        {"unreadable text after another", {{"Other"}, {std::nullopt}}, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OpenWith(c.devices), c.triedOpens) << c.what;
    }
}

TEST(OpenDevice, FailedEnumerationOpensNothing) {
    MockXpress usb;
    EXPECT_CALL(usb, F32x_GetNumDevices(_)).WillOnce(Return(UsbXpress::kTransferError));
    EXPECT_CALL(usb, F32x_GetProductString(_, _, _)).Times(0);
    EXPECT_CALL(usb, F32x_Open(_, _)).Times(0);
    CallLog indicators;
    Receiver receiver(usb, indicators, SteadyMilliseconds());
    EXPECT_FALSE(receiver.OpenDevice());
    EXPECT_TRUE(indicators.calls.empty());
}

TEST(CloseDevice, AlwaysClosesTheHandleAndShowsChannelUnknown) {
    MockXpress usb;
    EXPECT_CALL(usb, F32x_Close(0u)).WillOnce(Return(UsbXpress::kInvalidHandle));
    CallLog indicators;
    Receiver receiver(usb, indicators, SteadyMilliseconds());
    EXPECT_FALSE(receiver.CloseDevice());
    EXPECT_FALSE(receiver.DeviceOpen());
    EXPECT_EQ(indicators.calls, (std::vector<std::string>{"panels off", "caption Channel ?"}));
}

std::string T(const QString& text) {
    return QStringLiteral("'%1'").arg(text).toStdString();
}
std::string N(std::int64_t number) {
    return std::to_string(number);
}

constexpr const char* kError = "'** Error **'";

// Every transaction, with its result as text so that one table covers them all.
struct Transaction {
    Bytes frame;
    std::uint32_t replyLength;
    std::string closedResult;
    std::string shortResult;
    int flushes;  // with a complete reply
    std::function<std::string(Receiver&)> run;
};

const std::vector<Transaction> kTransactions = {
    {{0x1B, 0x00}, 8, "''", kError, 2, [](Receiver& r) { return T(r.ReadReceiverText(0, 8)); }},
    {{0x1B, 0x01}, 51, "''", kError, 2, [](Receiver& r) { return T(r.ReadReceiverText(1, 51)); }},
    {{0x1B, 0x02}, 16, "''", kError, 2, [](Receiver& r) { return T(r.ReadReceiverText(2, 16)); }},
    {{0x1B, 0x05}, 8, "0", "0", 1, [](Receiver& r) { return N(r.ReadReceiverStatus()); }},
    {{0x1B, 0x06}, 8, "0", "-1", 2, [](Receiver& r) { return N(r.ReadFrequency()); }},
    {{0x1B, 0x07, 0x0C, 0xF8, 0x50, 0x00},
     8,
     "0",
     "1",
     1,
     [](Receiver& r) { return N(r.WriteFrequency(217600000)); }},
    {{0x1B, 0x07, 0x0C, 0xF3, 0xBC, 0x20},
     8,
     "0",
     "1",
     1,
     [](Receiver& r) { return N(r.WriteFrequency(217300000)); }},
    {{0x1B, 0x0A}, 8, "0", "0", 1, [](Receiver& r) { return N(r.ReadSignalStrength()); }},
};

// A receiver link over a simulated receiver, opened unless asked otherwise.
struct SimLink {
    explicit SimLink(std::vector<trace::Step> trace = {}, bool open = true)
        : sim(std::move(trace)) {
        if (open) {
            EXPECT_TRUE(receiver.OpenDevice());
        }
        log.calls.clear();
    }
    SimulatedXpress sim;
    CallLog log;
    Receiver receiver{sim, log, sim.Clock()};
};

TEST(Transactions, SendExactFramesAndInterpretReplies) {
    SimLink link({trace::Version{0x41}, trace::Name{"Lane Radio 7"}, trace::Date{"2008-04-16"},
                  trace::Frequency{217300000}, trace::Signal{423}, trace::Status{0x03}});
    const std::vector<std::string> expected = {
        "'A'", "'Lane Radio 7'", "'2008-04-16'", "1", "217300000", "1", "1", "143"};
    for (std::size_t i = 0; i < kTransactions.size(); ++i) {
        EXPECT_EQ(kTransactions[i].run(link.receiver), expected[i]) << i;
        EXPECT_EQ(link.sim.WrittenFrames().back(), kTransactions[i].frame);
    }
    EXPECT_EQ(link.sim.WrittenFrames().size(), kTransactions.size());
}

TEST(Transactions, ClosedSendNothingAndAGoneReceiverGivesShortResults) {
    SimLink closed({}, false);
    SimLink gone;
    gone.sim.Detach();
    for (const Transaction& t : kTransactions) {
        EXPECT_EQ(t.run(closed.receiver), t.closedResult) << t.frame[1];
        EXPECT_EQ(t.run(gone.receiver), t.shortResult) << t.frame[1];
    }
    EXPECT_TRUE(closed.sim.WrittenFrames().empty());
    EXPECT_EQ(closed.sim.NowMs(), 0);
    EXPECT_TRUE(closed.log.calls.empty());
    EXPECT_TRUE(gone.log.calls.empty());      // the lamps keep their state
    EXPECT_TRUE(gone.receiver.DeviceOpen());  // a transaction never closes the device
}

// A mock receiver that answers every command with `waiting` bytes by the given check, then
// reads `delivered` of them; the clock moves 1 ms per check.
struct MockLink {
    MockLink(std::uint32_t waiting, int answerAtCheck, std::uint32_t delivered) {
        ListDevices(usb, {{}});
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
        log.calls.clear();
    }
    NiceMock<MockXpress> usb;
    CallLog log;
    std::int64_t now = 0;
    int checks = 0;
    Receiver receiver{usb, log, [this] { return now; }};
};

TEST(Transactions, NineByteAnswerToEightByteCommandIsShortAndNotRead) {
    for (const Transaction& t : kTransactions) {
        MockLink link(t.replyLength + 1, 1, t.replyLength + 1);
        const bool readsAnyway = t.frame[1] == 0x07;
        EXPECT_CALL(link.usb, F32x_Read(_, _, _)).Times(readsAnyway ? 1 : 0);
        EXPECT_EQ(t.run(link.receiver), t.shortResult) << t.frame[1];
        EXPECT_EQ(link.checks, 1);
    }
}

TEST(Transactions, StalledReceiverEndsAtTheWaitLimit) {
    for (const Transaction& t : kTransactions) {
        MockLink link(0, 1, 0);
        EXPECT_EQ(t.run(link.receiver), t.shortResult) << t.frame[1];
        EXPECT_EQ(link.now, kReplyWaitLimitMs);
    }
    MockLink late(8, static_cast<int>(kReplyWaitLimitMs) - 1, 8);
    EXPECT_EQ(late.receiver.ReadFrequency(), 0x07070707);
    MockLink tooLate(8, static_cast<int>(kReplyWaitLimitMs) + 1, 8);
    EXPECT_EQ(tooLate.receiver.ReadFrequency(), -1);
}

TEST(Transactions, ReadCountAndFlushAfterWhereTabled) {
    // Eight bytes wait but only seven arrive in the read.
    MockLink link(8, 1, 7);
    EXPECT_FALSE(link.receiver.ReadReceiverStatus());
    EXPECT_EQ(link.receiver.ReadSignalStrength(), 0);
    EXPECT_EQ(link.receiver.ReadFrequency(), -1);
    EXPECT_TRUE(link.log.calls.empty());
    // Not tested for texts: the bytes in the reply array are taken.
    EXPECT_EQ(link.receiver.ReadReceiverText(0x00, 8),
              QStringLiteral("\x07\x07\x07\x07\x07\x07\x07\x07"));
    EXPECT_TRUE(link.receiver.WriteFrequency(217600000));

    for (const Transaction& t : kTransactions) {
        MockLink complete(t.replyLength, 1, t.replyLength);
        EXPECT_CALL(complete.usb, F32x_FlushBuffers(_)).Times(t.flushes);
        t.run(complete.receiver);
    }
}

TEST(Transactions, SurplusBytesAreFlushedByTheNextTransaction) {
    SimLink link({trace::Reply{Bytes(40, 0xFA)}, trace::Frequency{217300000}});
    const std::uint8_t poll[] = {0x1B, 0x0F};
    std::uint32_t written = 0;
    link.sim.F32x_Write(link.receiver.DeviceHandle(), poll, written);
    EXPECT_EQ(link.receiver.ReadFrequency(), 217300000);
}

TEST(Transactions, StatusByteDrivesTheLampsAndTextsEndAt06) {
    const std::pair<std::uint8_t, std::vector<std::string>> lamps[] = {
        {0x00, {"CD dark", "EF dark", "FF lit"}}, {0x01, {"CD lit", "EF dark", "FF lit"}},
        {0x02, {"CD dark", "EF lit", "FF lit"}},  {0x04, {"CD dark", "EF dark", "FF dark"}},
        {0x07, {"CD lit", "EF lit", "FF dark"}},  {0xF8, {"CD dark", "EF dark", "FF lit"}},
    };
    for (const auto& [status, shown] : lamps) {
        SimLink link({trace::Status{status}});
        EXPECT_TRUE(link.receiver.ReadReceiverStatus());
        EXPECT_EQ(link.log.calls, shown) << int(status);
    }
    // (BytesToText, SupportTest, has where a text ends.)
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
