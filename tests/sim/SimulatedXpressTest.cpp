#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "sim/SimulatedXpress.h"

namespace orvanrx {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Drives the simulator directly: open, then whole exchanges of write and read.
struct Driver {
    explicit Driver(std::vector<trace::Step> trace = {}) : sim(std::move(trace)) {
        std::uint32_t count = 0;
        EXPECT_EQ(sim.F32x_GetNumDevices(count), 0);
        EXPECT_EQ(count, 1u);
        EXPECT_EQ(sim.F32x_Open(0, handle), 0);
    }
    // Flushes, writes `frame` and gives every byte that then waits.
    Bytes Exchange(const Bytes& frame) {
        sim.F32x_FlushBuffers(handle);
        std::uint32_t n = 0;
        sim.F32x_Write(handle, frame, n);
        std::uint32_t state = 0;
        sim.F32x_CheckRXQueue(handle, n, state);
        Bytes reply(n);
        sim.F32x_Read(handle, reply, n);
        return reply;
    }
    Bytes Poll() { return Exchange({0x1B, 0x0F}); }
    SimulatedXpress sim;
    UsbXpress::Handle handle = 0;
};

TEST(SimulatedXpress, AnswersEachCommandWithItsFixedLength) {
    Driver d({trace::Version{0x12}, trace::Name{"Radio Café"}, trace::Date{"2008-04-16"},
              trace::Status{0x05}, trace::Frequency{217300000}, trace::Signal{-2}});
    struct Case {
        Bytes frame;
        Bytes reply;  // first bytes; the rest up to `length` are 0
        std::size_t length;
    };
    const Case cases[] = {
        {{0x1B, 0x00}, {0x12}, 8},
        {{0x1B, 0x01}, {'R', 'a', 'd', 'i', 'o', ' ', 'C', 'a', 'f', 0xE9}, 51},
        {{0x1B, 0x02}, {'2', '0', '0', '8', '-', '0', '4', '-', '1', '6'}, 16},
        {{0x1B, 0x05}, {0x05}, 8},
        {{0x1B, 0x06}, {0x0C, 0xF3, 0xBC, 0x20}, 8},
        {{0x1B, 0x0A}, {0xFF, 0xFE}, 8},
        {{0x1B, 0x07, 0x0C, 0xF8, 0x50, 0x00}, {0x0C, 0xF8, 0x50, 0x00}, 8},
        {{0x1B, 0x06}, {0x0C, 0xF8, 0x50, 0x00}, 8},  // retuned
        {{0x1B, 0x03}, {}, 0},                        // unknown code
        {{0x1B, 0x07, 0x0C}, {}, 0},                  // cut frame
        {{0x00, 0x1B, 0x05, 0x1B, 0x00}, {0x05, 0, 0, 0, 0, 0, 0, 0, 0x12}, 16},
    };
    for (const Case& c : cases) {
        Bytes expected = c.reply;
        expected.resize(c.length, 0);
        EXPECT_EQ(d.Exchange(c.frame), expected) << int(c.frame.size() > 1 ? c.frame[1] : 0);
    }
    EXPECT_EQ(d.sim.WrittenFrames().size(), std::size(cases));
    EXPECT_EQ(d.sim.WrittenFrames()[6], (Bytes{0x1B, 0x07, 0x0C, 0xF8, 0x50, 0x00}));
    EXPECT_FALSE(d.sim.TraceExhausted());
}

TEST(SimulatedXpress, PollsFollowTheTraceAndKeywordsApplyAfterTheirPoll) {
    Driver d({trace::Reply{{0xFA, 1, 0, 0}}, trace::Status{0x07}, trace::Comment{"x"},
              trace::Idle{2}, trace::None{}, trace::Signal{100}, trace::Reply{{0xFB}}});
    EXPECT_EQ(d.Exchange({0x1B, 0x05})[0], 0x00);  // before any poll
    EXPECT_EQ(d.Poll(), (Bytes{0xFA, 1, 0, 0}));
    EXPECT_EQ(d.Exchange({0x1B, 0x05})[0], 0x07);  // applied right after that poll
    EXPECT_EQ(d.Exchange({0x1B, 0x05})[0], 0x07);  // other commands never move the trace
    EXPECT_EQ(d.Poll(), Bytes(12, 0));
    EXPECT_EQ(d.Poll(), Bytes(12, 0));
    EXPECT_EQ(d.Exchange({0x1B, 0x0A})[1], 0x00);
    EXPECT_EQ(d.Poll(), Bytes{});
    EXPECT_EQ(d.Exchange({0x1B, 0x0A})[1], 100);
    EXPECT_EQ(d.Poll(), Bytes{0xFB});
    EXPECT_FALSE(d.sim.TraceExhausted());
    EXPECT_EQ(d.Poll(), Bytes{});
    EXPECT_TRUE(d.sim.TraceExhausted());
}

TEST(SimulatedXpress, UnplugLastsItsTicksAndKillsTheHandle) {
    Driver d({trace::Reply{{1}}, trace::Unplug{2}, trace::Reply{{2}}});
    EXPECT_EQ(d.Poll(), Bytes{1});
    EXPECT_NE(d.sim.F32x_FlushBuffers(d.handle), 0);  // tick 1
    UsbXpress::Handle h = 0;
    EXPECT_NE(d.sim.F32x_Open(0, h), 0);
    std::uint32_t count = 9;
    d.sim.F32x_GetNumDevices(count);  // tick 2
    EXPECT_EQ(count, 0u);
    d.sim.F32x_GetNumDevices(count);
    EXPECT_EQ(count, 1u);
    EXPECT_NE(d.sim.F32x_FlushBuffers(d.handle), 0);  // the old handle stays dead
    EXPECT_EQ(d.sim.F32x_Close(d.handle), 0);
    EXPECT_EQ(d.sim.F32x_Open(0, d.handle), 0);
    EXPECT_EQ(d.Poll(), Bytes{2});

    d.sim.Detach();  // by hand, until Attach()
    const std::size_t frames = d.sim.WrittenFrames().size();
    EXPECT_EQ(d.Poll(), Bytes{});
    EXPECT_EQ(d.sim.WrittenFrames().size(), frames);  // the write failed
    for (int i = 0; i < 3; ++i) {
        d.sim.F32x_GetNumDevices(count);
        EXPECT_EQ(count, 0u);
    }
    d.sim.Attach();
    d.sim.F32x_GetNumDevices(count);
    EXPECT_EQ(count, 1u);
    EXPECT_TRUE(d.sim.IsSimulated());
}

// A day-long replay polls millions of times: only the last writes are kept.
TEST(SimulatedXpress, KeepsTheLastWrittenFramesOnly) {
    Driver d({trace::Idle{10000}});
    for (int i = 0; i < 5000; ++i) {
        d.Poll();
    }
    d.Exchange({0x1B, 0x05});
    EXPECT_EQ(d.sim.WrittenFrames().size(), SimulatedXpress::kWrittenFramesKept);
    EXPECT_EQ(d.sim.WrittenFrames().back(), (Bytes{0x1B, 0x05}));
    EXPECT_EQ(d.sim.WrittenFrames().front(), (Bytes{0x1B, 0x0F}));
}

}  // namespace
}  // namespace orvanrx
