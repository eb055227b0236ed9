#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <functional>
#include <random>

#include "decoding/RaceRows.h"
#include "decoding/TestRace.h"
#include "sim/SimLoop.h"
#include "trace/TraceFile.h"
#include "trace/TraceRecorder.h"
#include "trace/TraceWriter.h"

namespace orvanrx {
namespace {

using testing::RegionReplies;
using testing::Rows;
using testing::SimLoop;
using Steps = std::vector<trace::Step>;

// The recorded steps without the comments.
Steps Uncommented(Steps steps) {
    std::erase_if(steps, [](const auto& s) { return std::holds_alternative<trace::Comment>(s); });
    return steps;
}

// Records `trace` played until a poll finds it exhausted, replays the recorded trace file in a
// fresh session for as many ticks, and expects the same of everything the loop did. Gives the
// live session's calls.
std::vector<std::string> ExpectSameReplay(const Steps& trace) {
    SimLoop live(trace, true);
    const std::vector<TickOutcome> outcomes = live.RunToEnd();
    live.recorder.Finish();
    const TraceReadResult file = ReadTrace(FormatTrace(live.recorded));
    EXPECT_TRUE(file.Ok()) << file.error;

    SimLoop replay(file.steps);
    EXPECT_EQ(replay.Run(static_cast<int>(outcomes.size())), outcomes);
    EXPECT_EQ(replay.log.calls, live.log.calls);
    EXPECT_TRUE(std::ranges::equal(replay.buffer.Bytes(), live.buffer.Bytes()));
    EXPECT_EQ(replay.venue, live.venue);
    EXPECT_EQ(Rows(replay.tables.AllRunsTable()), Rows(live.tables.AllRunsTable()));
    EXPECT_EQ(Rows(replay.tables.CategoryRunsTable()), Rows(live.tables.CategoryRunsTable()));
    // Nothing was recorded that the live session did not use.
    EXPECT_FALSE(replay.sim.TraceExhausted());
    replay.loop.RunPollCycle();
    EXPECT_TRUE(replay.sim.TraceExhausted());
    return live.log.calls;
}

TEST(TraceRecorder, ReplayOfARecordedSessionDoesWhatTheSessionDid) {
    ReceiveBuffer image;
    testing::TestRace{}.WriteTo(image, 1000);
    const Steps race = RegionReplies(image, 1000, 16 * 24, 3);
    Steps trace{trace::Status{0x05}, trace::Signal{300}, trace::Frequency{217300000}};
    trace.push_back(RegionReplies(image, 0, 8, 3).front());
    trace.insert(trace.end(), race.begin(), race.end());
    // The 100th answered poll is the 51st idle: its tick's status refresh meets the unplug.
    const Steps middle{trace::Idle{51},          trace::Unplug{2},
                       trace::Idle{9},           trace::Reply{{0xFA, 3, 0x03, 0xE8}},
                       trace::None{3},           trace::Reply{{0xFB, 1, 2}},
                       trace::Status{0x07},      trace::Signal{100},
                       trace::Idle{150},         trace::Unplug{4},
                       trace::Frequency{123456}, trace::Idle{120},
                       trace::Status{0x02},      trace::None{1},
                       trace::Unplug{2}};
    trace.insert(trace.end(), middle.begin(), middle.end());
    trace.insert(trace.end(), race.begin(), race.end());
    trace.push_back(trace::Idle{200});
    const std::vector<std::string> calls = ExpectSameReplay(trace);
    // The first refresh found the receiver gone (no lamps, signal 0) before the loop did.
    const auto at = [&calls](const char* call) {
        return std::ranges::find(calls, call) - calls.begin();
    };
    EXPECT_LT(at("signal 0"), at("panels off"));
    EXPECT_LT(at("panels off"), at("CD lit"));
}

TEST(TraceRecorder, ReplayOfRandomSessionsDoesWhatTheSessionsDid) {
    for (unsigned seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        const auto pick = [&random](int low, int high) {
            return std::uniform_int_distribution<int>(low, high)(random);
        };
        const auto reply = [&pick] {
            trace::Reply r{{pick(0, 3) ? std::uint8_t{0xFA} : std::uint8_t{0xFB}, 1}};
            r.bytes.resize(static_cast<std::size_t>(pick(1, 20)), 0);
            std::ranges::generate(r.bytes.begin() + 1, r.bytes.end(),
                                  [&pick] { return static_cast<std::uint8_t>(pick(0, 130)); });
            if (r.bytes.size() > 1) {
                r.bytes[1] = static_cast<std::uint8_t>(pick(1, 2));  // the venue
            }
            return r;
        };
        const std::function<trace::Step()> kinds[] = {
            [&] { return trace::Idle{pick(1, 150)}; },
            [&] { return trace::None{pick(1, 3)}; },
            [&] { return trace::Unplug{pick(1, 5)}; },
            [&] { return trace::Status{static_cast<std::uint8_t>(pick(0, 7))}; },
            [&] { return trace::Signal{static_cast<std::int16_t>(pick(-9, 1100))}; },
            [&] { return trace::Frequency{pick(0, 1) ? 217300000 : pick(0, 9)}; },
            reply,
            reply,
            reply,
            reply};
        Steps trace;
        for (int i = 0; i < 80; ++i) {
            trace.push_back(kinds[pick(0, static_cast<int>(std::size(kinds)) - 1)]());
        }
        trace.push_back(trace::Idle{150});
        ExpectSameReplay(trace);
    }
}

// A receiver lost in the middle of a status refresh, after K of the refresh's flushes went
// through (status, signal, frequency and the flush after it; 4 is the next tick's flush): the
// exchanges it answered live are answered in the replay too.
TEST(TraceRecorder, ReceiverLostInTheMiddleOfAStatusRefresh) {
    for (int k = 0; k <= 4; ++k) {
        SCOPED_TRACE(k);
        const Steps trace{trace::Status{0x05}, trace::Signal{300},  trace::Idle{100},
                          trace::Unplug{3, k}, trace::Status{0x02}, trace::Idle{150}};
        SimLoop live(trace, true);
        live.RunToEnd();
        live.recorder.Finish();
        const Steps recorded = Uncommented(live.recorded);
        const auto unplug = std::ranges::find_if(
            recorded, [](const auto& s) { return std::holds_alternative<trace::Unplug>(s); });
        ASSERT_NE(unplug, recorded.end());
        EXPECT_EQ(std::get<trace::Unplug>(*unplug).afterFlushes, k);
        const std::vector<std::string> calls = ExpectSameReplay(trace);
        // The lamps were lit live when the status exchange went through.
        EXPECT_EQ(std::ranges::count(calls, "CD lit") > 0, k >= 1);
    }
}

TEST(TraceRecorder, MergesQuietPollsAndRecordsValuesWhenTheyChange) {
    SimLoop s({trace::Status{0x05}, trace::Idle{3}, trace::None{2}, trace::Reply{{0xFB}},
               trace::Idle{145}, trace::Status{0x07}, trace::Idle{150}},
              true);
    s.Run(300);
    s.recorder.Finish();
    // The first refresh comes after 100 answered polls (the two without an answer do not
    // count), the second after 100 more, once the status has changed.
    const Steps expected{trace::Idle{3},     trace::None{2},      trace::Reply{{0xFB}},
                         trace::Idle{96},    trace::Status{0x05}, trace::Signal{0},
                         trace::Frequency{}, trace::Idle{100},    trace::Status{0x07},
                         trace::Idle{97}};
    EXPECT_EQ(Uncommented(s.recorded), expected);
    EXPECT_EQ(
        s.recorded.front(),
        trace::Step{trace::Comment{"OrvanRX receiver trace, recorded from 2026-12-04T18:53:00"}});
}

// Flushes and polls the receiver opened first; reads only when `read` is set.
void Poll(UsbXpress& usb, bool read = true) {
    const UsbXpress::Handle handle = 1;
    std::uint32_t n = 0;
    std::uint32_t state = 0;
    usb.F32x_FlushBuffers(handle);
    usb.F32x_Write(handle, std::array<std::uint8_t, 2>{0x1B, 0x0F}, n);
    usb.F32x_CheckRXQueue(handle, n, state);
    std::array<std::uint8_t, 17> reply{};
    if (read) {
        usb.F32x_Read(handle, std::span(reply).first(std::min<std::size_t>(n, reply.size())), n);
    }
}

TEST(TraceRecorder, PollsWithoutAnswersAndLongQuietSpells) {
    SimulatedXpress sim({trace::Reply{{0xFA, 1, 2}}, trace::None{2}, trace::Idle{2500}});
    Steps steps;
    RecordingXpress recorder(
        sim, [&steps](const trace::Step& s) { steps.push_back(s); }, FixedClock(testing::kLoopNow));
    UsbXpress::Handle handle = 0;
    std::uint32_t count = 0;
    recorder.F32x_GetNumDevices(count);
    ASSERT_EQ(recorder.F32x_Open(0, handle), 0);
    Poll(recorder);
    Poll(recorder);         // read but got nothing: the reader works on the last answer again
    Poll(recorder, false);  // no read at all
    for (int i = 0; i < 2500; ++i) {
        Poll(recorder);
    }
    recorder.Finish();
    Poll(recorder);
    EXPECT_EQ(Uncommented(steps),
              (Steps{trace::Reply{{0xFA, 1, 2}}, trace::Reply{{0xFA, 1, 2}}, trace::None{1},
                     trace::Idle{1000}, trace::Idle{1000}, trace::Idle{500}}));
}

TEST(TraceRecorder, ReceiverMissingAtTheStartAndLostAtTheEnd) {
    SimLoop s({trace::Unplug{3}, trace::Idle{5}, trace::Unplug{1000}, trace::Idle{1}}, true);
    s.Run(20);  // 3 searching, an open, 5 polls, the failed flush, 10 searching
    s.recorder.Finish();
    EXPECT_EQ(Uncommented(s.recorded),
              (Steps{trace::Unplug{3}, trace::Idle{5}, trace::Unplug{11}}));
}

TEST(TraceRecorder, ReceiverTextsAndProductReplayTheSame) {
    const Steps trace{trace::Product{"ORVAN01 USB Receiver\x06 rev B"}, trace::Version{0x12},
                      trace::Name{"Radio Café"}, trace::Date{"2008-04-16"}};
    const auto readTexts = [](SimLoop& session) {
        session.Run(1);
        std::vector<QString> texts;
        for (const auto& [code, length] :
             {std::pair<std::uint8_t, std::int16_t>{0x00, 8}, {0x01, 51}, {0x01, 51}, {0x02, 16}}) {
            texts.push_back(session.receiver.ReadReceiverText(code, length));
        }
        return texts;
    };
    SimLoop live(trace, true);
    const std::vector<QString> texts = readTexts(live);
    EXPECT_EQ(texts[1], QStringLiteral("Radio Café"));
    live.recorder.Finish();
    EXPECT_EQ(Uncommented(live.recorded), trace);  // the name once, though it was read twice
    SimLoop replay(live.recorded);
    EXPECT_EQ(readTexts(replay), texts);
}

TEST(TraceFileWriter, EachLineIsInTheFileAsSoonAsItIsWritten) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("session.trace"));
    TraceFileWriter writer;
    ASSERT_TRUE(writer.Open(path));
    const TraceSink sink = writer.Sink();
    sink(trace::Comment{"recorded"});
    sink(trace::Reply{{0xFA, 0x01}});
    sink(trace::Idle{7});
    const TraceReadResult read = ReadTraceFile(path);  // while still open
    EXPECT_EQ(read.steps, (Steps{trace::Reply{{0xFA, 0x01}}, trace::Idle{7}}));
    writer.Close();
    EXPECT_TRUE(writer.Ok());

    TraceFileWriter nowhere;
    EXPECT_FALSE(nowhere.Open(dir.filePath(QStringLiteral("missing/session.trace"))));
    EXPECT_TRUE(nowhere.ErrorString().startsWith(QStringLiteral("cannot write ")));
}

}  // namespace
}  // namespace orvanrx
