#include <gtest/gtest.h>

#include <QStringList>

#include "decoding/TestRace.h"
#include "shell/PollLoop.h"
#include "sim/SimulatedXpress.h"

namespace orvanrx {
namespace {

// Records what the status bar and the views were told.
struct Recorder : StatusIndicators, PollObserver {
    void SetDevicePanelsActive(bool active) override { panelsActive = active; }
    void SetChannelCaption(const QString& caption) override { captions << caption; }
    void SetBufferPosition(int address) override { bufferPositions.push_back(address); }
    void SetSignalLevel(int level) override { signalLevels.push_back(level); }
    void SetScrollMessageVisible(bool visible) override { messageVisible = visible; }
    void SetScrollMessageText(const QString& text) override { messageText = text; }
    void RunTablesChanged() override { ++tablesChanged; }
    void DataReplyStored() override { ++repliesStored; }

    bool panelsActive = false;
    QStringList captions;
    std::vector<int> bufferPositions;
    std::vector<int> signalLevels;
    bool messageVisible = false;
    QString messageText;
    int tablesChanged = 0;
    int repliesStored = 0;
};

trace::Step DataReply(std::uint8_t venue, int address, std::array<std::uint8_t, 8> data,
                      std::uint8_t marker = 0xFA) {
    trace::Reply reply{{marker, venue, static_cast<std::uint8_t>((address >> 8) & 0xFF),
                        static_cast<std::uint8_t>(address & 0xFF)}};
    reply.bytes.insert(reply.bytes.end(), data.begin(), data.end());
    return reply;
}

// The replies that carry a whole mirror region, eight bytes at a time.
std::vector<trace::Step> RegionReplies(const ReceiveBuffer& image, int first, int length,
                                       std::uint8_t venue) {
    std::vector<trace::Step> steps;
    for (int a = first; a < first + length; a += 8) {
        std::array<std::uint8_t, 8> data{};
        for (int k = 0; k < 8; ++k) {
            data[static_cast<std::size_t>(k)] = image.At(a + k).value_or(0);
        }
        steps.push_back(DataReply(venue, a, data));
    }
    return steps;
}

class PollLoopTest : public ::testing::Test {
protected:
    explicit PollLoopTest() = default;

    void Load(std::vector<trace::Step> steps) {
        sim = std::make_unique<SimulatedXpress>(std::move(steps));
        receiver = std::make_unique<Receiver>(*sim, recorder, sim->Clock());
        loop = std::make_unique<PollLoop>(PollLoop::Parts{*receiver, buffer, venue, tables,
                                                          recorder, recorder, sim->Clock(),
                                                          [this] { ++saves; }});
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) {
            loop->RunPollCycle();
        }
    }

    Recorder recorder;
    ReceiveBuffer buffer;
    std::int16_t venue = 0;
    RunTables tables{FixedClock(QDateTime(QDate(2026, 12, 4), QTime(18, 53)))};
    int saves = 0;
    std::unique_ptr<SimulatedXpress> sim;
    std::unique_ptr<Receiver> receiver;
    std::unique_ptr<PollLoop> loop;
};

TEST_F(PollLoopTest, ThousandTicksGiveOneSaveAndTenStatusRefreshes) {
    Load({trace::Idle{2000}});
    EXPECT_EQ(loop->RunPollCycle(), TickOutcome::Searching);
    EXPECT_TRUE(recorder.panelsActive);
    Ticks(999);
    EXPECT_EQ(saves, 0);
    Ticks(1);
    EXPECT_EQ(saves, 1);  // 1000 completed ticks after the open
    EXPECT_EQ(recorder.captions.size(), 10);
    EXPECT_EQ(recorder.captions.last(), QStringLiteral("Channel 1"));
    EXPECT_EQ(recorder.signalLevels.size(), 10u);
    EXPECT_EQ(recorder.repliesStored, 0);
}

TEST_F(PollLoopTest, NoReceiverMeansNoSaveAndNoRefresh) {
    Load({trace::Idle{10}});
    sim->Detach();
    for (int i = 0; i < 2000; ++i) {
        ASSERT_EQ(loop->RunPollCycle(), TickOutcome::Searching);
    }
    EXPECT_EQ(saves, 0);
    EXPECT_EQ(loop->SaveElapsed(), 0);
    EXPECT_TRUE(recorder.captions.isEmpty());
}

TEST_F(PollLoopTest, RepliesWithoutMarkerStoreNothingButCountTime) {
    Load({DataReply(7, 100, {1, 2, 3, 4, 5, 6, 7, 8}, 0xFB)});
    Ticks(1);
    EXPECT_EQ(loop->RunPollCycle(), TickOutcome::NotDataReply);
    EXPECT_EQ(loop->SaveElapsed(), 30);
    EXPECT_EQ(loop->StatusElapsed(), 30);
    EXPECT_EQ(venue, 0);
    EXPECT_EQ(buffer.At(100), 0);
    EXPECT_TRUE(recorder.bufferPositions.empty());
}

TEST_F(PollLoopTest, StalledReceiverEndsTheTickWithoutCountingIt) {
    Load({trace::None{3}, trace::Idle{1}});
    Ticks(1);
    const std::int64_t before = sim->NowMs();
    EXPECT_EQ(loop->RunPollCycle(), TickOutcome::NoAnswer);
    EXPECT_GE(sim->NowMs() - before, kReplyWaitLimitMs);
    EXPECT_LT(sim->NowMs() - before, kReplyWaitLimitMs + 5);
    EXPECT_EQ(loop->SaveElapsed(), 0);
    Ticks(2);
    EXPECT_EQ(loop->RunPollCycle(), TickOutcome::NotDataReply);
    EXPECT_EQ(loop->SaveElapsed(), 30);
}

TEST_F(PollLoopTest, ShortReadKeepsTheRestOfThePreviousReply) {
    Load({DataReply(1, 0x0100, {11, 12, 13, 14, 15, 16, 17, 18}),
          trace::Reply{{0xFA, 0x01, 0x02, 0x00}}});
    Ticks(2);
    EXPECT_EQ(loop->RunPollCycle(), TickOutcome::DataStored);
    // Only the header came in: the eight stale data bytes land at the new address.
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(buffer.At(0x0200 + k), 11 + k);
    }
    EXPECT_EQ(recorder.bufferPositions, (std::vector<int>{0x0100, 0x0200}));
}

TEST_F(PollLoopTest, AddressPastTheEndStoresWhatFitsAndEndsTheTick) {
    Load({DataReply(1, 32761, {1, 1, 1, 1, 1, 1, 1, 1}),
          DataReply(1, 32762, {2, 2, 2, 2, 2, 2, 2, 2})});
    Ticks(2);
    EXPECT_EQ(buffer.At(32768), 1);
    EXPECT_EQ(loop->SaveElapsed(), 30);
    EXPECT_EQ(loop->RunPollCycle(), TickOutcome::AddressOutOfRange);
    EXPECT_EQ(buffer.At(32762), 2);
    EXPECT_EQ(buffer.At(32768), 2);
    EXPECT_EQ(recorder.bufferPositions, (std::vector<int>{32761}));
    EXPECT_EQ(recorder.repliesStored, 1);
    EXPECT_EQ(loop->SaveElapsed(), 30);
}

TEST_F(PollLoopTest, VenueChangeClearsTheMirror) {
    buffer.Set(262, 0xFF);
    buffer.Set(2000, 9);
    venue = 5;
    Load(
        {DataReply(5, 100, {1, 1, 1, 1, 1, 1, 1, 1}), DataReply(6, 200, {2, 2, 2, 2, 2, 2, 2, 2})});
    Ticks(2);
    EXPECT_EQ(buffer.At(2000), 9);
    Ticks(1);
    EXPECT_EQ(venue, 6);
    EXPECT_EQ(buffer.At(2000), 0);
    EXPECT_EQ(buffer.At(262), 0);
    EXPECT_EQ(buffer.At(100), 0);
    EXPECT_EQ(buffer.At(200), 2);
}

TEST_F(PollLoopTest, UnplugClosesAndTheReceiverIsFoundAgain) {
    Load({trace::Idle{1}, trace::Unplug{3}, trace::Idle{5}});
    Ticks(2);
    EXPECT_TRUE(receiver->DeviceOpen());
    EXPECT_EQ(loop->RunPollCycle(), TickOutcome::ReceiverLost);
    EXPECT_FALSE(receiver->DeviceOpen());
    EXPECT_FALSE(recorder.panelsActive);
    EXPECT_EQ(recorder.captions.last(), QStringLiteral("Channel ?"));
    EXPECT_EQ(loop->RunPollCycle(), TickOutcome::Searching);
    EXPECT_EQ(loop->RunPollCycle(), TickOutcome::Searching);
    EXPECT_FALSE(receiver->DeviceOpen());
    EXPECT_EQ(loop->RunPollCycle(), TickOutcome::Searching);
    EXPECT_TRUE(receiver->DeviceOpen());
    EXPECT_EQ(loop->RunPollCycle(), TickOutcome::NotDataReply);
}

TEST_F(PollLoopTest, ARaceArrivingPieceByPieceIsDecodedOnceWhole) {
    ReceiveBuffer image;
    testing::TestRace{}.WriteTo(image, 1000);
    std::vector<trace::Step> steps = RegionReplies(image, 0, 8, 1);
    const auto block = RegionReplies(image, 1000, 16 * 24, 1);
    steps.insert(steps.end(), block.begin(), block.end());
    steps.insert(steps.end(), block.begin(), block.end());  // a second sweep changes nothing
    Load(steps);
    while (!sim->TraceExhausted()) {
        loop->RunPollCycle();
    }
    EXPECT_EQ(recorder.repliesStored, 1 + 2 * 48);
    // Rows are written when the entries arrive and rewritten as times come in; the second
    // sweep changes nothing.
    EXPECT_GE(recorder.tablesChanged, 1);
    const int changesAfterFirstSweep = recorder.tablesChanged;
    EXPECT_EQ(tables.AllRunsTable().RightRow(), 1);
    EXPECT_EQ(tables.AllRunsTable().Cell(0, Car), QStringLiteral("1234"));
    EXPECT_EQ(tables.AllRunsTable().Cell(1, mph1320), QStringLiteral("131.22"));
    EXPECT_EQ(tables.AllRunsTable().Cell(0, win), QStringLiteral("W"));
    EXPECT_EQ(changesAfterFirstSweep, recorder.tablesChanged);
}

TEST_F(PollLoopTest, StatusRefreshShowsTheScrollMessage) {
    ReceiveBuffer image;
    image.Set(260, 0x10);
    image.Set(261, 0x00);
    image.Set(262, 0x00);
    const char text[] = "\x05WELCOME";
    for (int i = 0; i < 8; ++i) {
        image.Set(0x1000 + i, static_cast<std::uint8_t>(text[i]));
    }
    std::vector<trace::Step> steps = RegionReplies(image, 256, 8, 1);
    const auto message = RegionReplies(image, 0x1000, 8, 1);
    steps.insert(steps.end(), message.begin(), message.end());
    steps.push_back(trace::Idle{200});
    Load(steps);
    Ticks(101);
    EXPECT_TRUE(recorder.messageVisible);
    EXPECT_EQ(recorder.messageText, QStringLiteral("WELCO"));
}

}  // namespace
}  // namespace orvanrx
