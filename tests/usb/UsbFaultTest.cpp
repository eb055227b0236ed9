// What a real receiver can do wrong, played by the emulated receiver, and what the poll loop
// makes of it on the real USB path.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "EmulatedReceiver.h"

namespace orvanrx {
namespace {

using Lines = std::vector<std::string>;
using Outcomes = std::vector<TickOutcome>;

std::size_t Count(const Lines& lines, const std::string& line) {
    return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
}

// A loop whose receiver is open and has answered one poll.
struct OpenLoop : testing::UsbLoop {
    OpenLoop() {
        EXPECT_EQ(loop.RunPollCycle(), TickOutcome::Searching);
        EXPECT_TRUE(receiver.DeviceOpen());
        EXPECT_EQ(loop.RunPollCycle(), TickOutcome::NotDataReply);
    }
};

TEST(UsbFault, StalledOrTimedOutFlushKeepsTheReceiverOpenAndPollingGoesOn) {
    ORVANRX_NEEDS_EMULATED_RECEIVER(device);
    for (const auto& [fault, failing] : {std::pair{"stall-flush 3", 3}, {"timeout-flush 2", 2}}) {
        SCOPED_TRACE(fault);
        OpenLoop s;
        const std::size_t mark = device.Log().size();
        ASSERT_TRUE(device.Do(fault));
        EXPECT_EQ(s.Run(failing + 2), Outcomes(failing + 2, TickOutcome::NotDataReply));
        EXPECT_TRUE(s.receiver.DeviceOpen());

        const Lines requests = device.Requests(mark);
        EXPECT_EQ(Count(requests, "claim 0"), 0u);  // never closed and opened again
        EXPECT_EQ(Count(requests, "out 1B 0F"), static_cast<std::size_t>(failing + 2));
        EXPECT_EQ(Count(requests, "vendor flush"), 2u);  // answered once the fault is over
        EXPECT_EQ(s.log.With("panels "), Lines{"on"});
    }
}

TEST(UsbFault, OnlyAVanishedReceiverIsClosedAndItIsFoundAgain) {
    ORVANRX_NEEDS_EMULATED_RECEIVER(device);
    OpenLoop s;
    ASSERT_TRUE(device.Do("unplug"));
    EXPECT_EQ(s.loop.RunPollCycle(), TickOutcome::ReceiverLost);
    EXPECT_FALSE(s.receiver.DeviceOpen());
    EXPECT_EQ(s.Run(3), Outcomes(3, TickOutcome::Searching));
    EXPECT_FALSE(s.receiver.DeviceOpen());

    const std::size_t mark = device.Log().size();
    ASSERT_TRUE(device.Do("plug"));
    EXPECT_EQ(s.loop.RunPollCycle(), TickOutcome::Searching);
    EXPECT_TRUE(s.receiver.DeviceOpen());
    EXPECT_EQ(s.loop.RunPollCycle(), TickOutcome::NotDataReply);
    EXPECT_EQ(Count(device.Requests(mark), "claim 0"), 1u);
    EXPECT_EQ(s.log.With("panels "), (Lines{"on", "off", "on"}));
}

// Two data replies, then idle ones.
std::string DataTrace(const QTemporaryDir& dir) {
    const QString path = dir.filePath(QStringLiteral("data.trace"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "FA 01 00 10 01 02 03 04 05 06 07 08\nFA 01 00 18 09 0A 0B 0C 0D 0E 0F 10\n"
        "idle 1000\n");
    return path.toStdString();
}

TEST(UsbFault, HaltedEndpointAtOpenIsCleared) {
    ORVANRX_NEEDS_EMULATED_RECEIVER(device);
    QTemporaryDir dir;
    ASSERT_TRUE(device.Do("trace " + DataTrace(dir)));
    ASSERT_TRUE(device.Do("halt in"));
    ASSERT_TRUE(device.Do("halt out"));
    testing::UsbLoop s;
    EXPECT_EQ(s.Run(3),
              (Outcomes{TickOutcome::Searching, TickOutcome::DataStored, TickOutcome::DataStored}));
    EXPECT_EQ(Count(device.Requests(0), "in STALL"), 0u);
    EXPECT_EQ(Count(device.Requests(0), "out 1B 0F STALL"), 0u);
}

TEST(UsbFault, EndpointHaltedMidDayIsClearedAndTheReceiverAnswers) {
    ORVANRX_NEEDS_EMULATED_RECEIVER(device);
    QTemporaryDir dir;
    ASSERT_TRUE(device.Do("trace " + DataTrace(dir)));
    const std::vector<std::pair<std::string, Lines>> cases{
        {"halt in",
         {"vendor flush", "out 1B 0F", "in STALL", "clear-halt 81",
          "in FA 01 00 10 01 02 03 04 05 06 07 08"}},
        {"halt out",
         {"vendor flush", "out 1B 0F STALL", "clear-halt 01", "out 1B 0F",
          "in FA 01 00 18 09 0A 0B 0C 0D 0E 0F 10"}}};
    for (const auto& [fault, expected] : cases) {
        SCOPED_TRACE(fault);
        testing::UsbLoop s;
        ASSERT_EQ(s.loop.RunPollCycle(), TickOutcome::Searching);
        const std::size_t mark = device.Log().size();
        ASSERT_TRUE(device.Do(fault));
        EXPECT_EQ(s.loop.RunPollCycle(), TickOutcome::DataStored);
        EXPECT_EQ(device.Requests(mark), expected);
        EXPECT_TRUE(s.receiver.DeviceOpen());
        s.receiver.CloseDevice();
    }
}

TEST(UsbFault, SlowReceiverIsWaitedFor) {
    ORVANRX_NEEDS_EMULATED_RECEIVER(device);
    for (const int delayMs : {20, 200}) {
        SCOPED_TRACE(delayMs);
        OpenLoop s;
        ASSERT_TRUE(device.Do("delay " + std::to_string(delayMs)));
        QElapsedTimer timer;
        timer.start();
        EXPECT_EQ(s.Run(2), Outcomes(2, TickOutcome::NotDataReply));
        EXPECT_GE(timer.elapsed(), 2 * delayMs);
        EXPECT_EQ(s.receiver.ReadFrequency(), kChannel1Frequency);
        EXPECT_TRUE(s.receiver.ReadReceiverStatus());
        ASSERT_TRUE(device.Do("delay 0"));
        s.receiver.CloseDevice();
    }
}

TEST(UsbFault, TwoReceiversTheLowerIndexIsOpened) {
    ORVANRX_NEEDS_EMULATED_RECEIVER(device);
    ASSERT_TRUE(device.Do("receivers 2"));
    testing::UsbLoop s;
    std::uint32_t count = 0;
    ASSERT_EQ(s.usb.F32x_GetNumDevices(count), 0);
    ASSERT_EQ(count, 2u);

    // Index 0 is whichever receiver the product text of index 0 came from.
    std::size_t mark = device.Log().size();
    std::array<std::uint8_t, UsbXpress::kProductBufferSize> product{};
    ASSERT_EQ(s.usb.F32x_GetProductString(0, product, UsbXpress::kProductDescription), 0);
    const Lines asked = device.Requests(mark, "");
    ASSERT_FALSE(asked.empty());
    const std::string first = asked.front().substr(0, 3);
    const std::string second = first == "1-1" ? "1-2" : "1-1";

    mark = device.Log().size();
    ASSERT_TRUE(s.receiver.OpenDevice());
    EXPECT_EQ(Count(device.Requests(mark, first), "claim 0"), 1u);
    EXPECT_TRUE(device.Requests(mark, second).empty());  // never even asked
    s.receiver.CloseDevice();

    // A first receiver that will not open is passed over for the second.
    ASSERT_TRUE(device.Do("busy " + first));
    mark = device.Log().size();
    ASSERT_TRUE(s.receiver.OpenDevice());
    EXPECT_EQ(Count(device.Requests(mark, first), "claim 0"), 0u);
    EXPECT_EQ(Count(device.Requests(mark, second), "claim 0"), 1u);
}

}  // namespace
}  // namespace orvanrx
