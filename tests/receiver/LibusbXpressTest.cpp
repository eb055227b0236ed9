#include <gtest/gtest.h>

#include <array>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "receiver/LibusbXpress.h"
#include "shell/CallLog.h"
#include "shell/PollLoop.h"

namespace orvanrx {
namespace {

using Bytes = std::vector<std::uint8_t>;
using usb::Result;

using Request = std::pair<std::uint8_t, std::uint16_t>;
using Queue = std::array<std::uint32_t, 3>;

// What one fake receiver was asked to do, and what it answers.
struct FakeDevice {
    std::string product = "ORVAN01 USB Receiver";
    Result productResult = Result::Ok;
    Result openResult = Result::Ok;
    std::map<std::uint16_t, Result> requestResults;  // by wValue; Ok when absent
    std::deque<std::pair<Result, Bytes>> incoming;   // one per bulk IN; then Timeout
    std::vector<Request> requests;
    std::vector<Bytes> bulkOut;
    std::vector<unsigned> outTimeouts;
    std::vector<bool> haltsCleared;  // true for the IN endpoint
    bool haltedIn = false;           // transfers STALL until the halt is cleared
    bool haltedOut = false;
    int closes = 0;
};

struct FakeLink final : usb::Link {
    explicit FakeLink(FakeDevice& device) : d(device) {}
    ~FakeLink() override { ++d.closes; }
    Result VendorRequest(std::uint8_t request, std::uint16_t value) override {
        d.requests.emplace_back(request, value);
        return d.requestResults.contains(value) ? d.requestResults[value] : Result::Ok;
    }
    Result BulkOut(std::span<const std::uint8_t> data, std::size_t& transferred,
                   unsigned timeoutMs) override {
        if (d.haltedOut) {
            transferred = 0;
            return Result::Stalled;
        }
        d.bulkOut.emplace_back(data.begin(), data.end());
        d.outTimeouts.push_back(timeoutMs);
        transferred = data.size();
        return Result::Ok;
    }
    Result BulkIn(std::span<std::uint8_t> buffer, std::size_t& transferred, unsigned) override {
        if (d.haltedIn) {
            transferred = 0;
            return Result::Stalled;
        }
        const auto [result, bytes] =
            d.incoming.empty() ? std::pair(Result::Timeout, Bytes{}) : d.incoming.front();
        if (!d.incoming.empty()) {
            d.incoming.pop_front();
        }
        std::copy(bytes.begin(), bytes.end(), buffer.begin());
        transferred = bytes.size();
        return result;
    }
    Result ClearHalt(bool in) override {
        d.haltsCleared.push_back(in);
        (in ? d.haltedIn : d.haltedOut) = false;
        return Result::Ok;
    }
    std::size_t MaxPacketSize() const override { return 64; }
    FakeDevice& d;
};

struct FakeBus final : usb::Bus {
    FakeBus(std::vector<FakeDevice>& devices, int& enumerations)
        : devices(devices), enumerations(enumerations) {}
    Result Enumerate(std::size_t& count) override {
        ++enumerations;
        count = devices.size();
        return Result::Ok;
    }
    Result ProductText(std::size_t index, std::string& text) override {
        text = devices.at(index).product;
        return devices.at(index).productResult;
    }
    Result Open(std::size_t index, std::unique_ptr<usb::Link>& link) override {
        if (index >= devices.size() || devices[index].openResult != Result::Ok) {
            return index >= devices.size() ? Result::NoDevice : devices[index].openResult;
        }
        link = std::make_unique<FakeLink>(devices[index]);
        return Result::Ok;
    }
    std::vector<FakeDevice>& devices;
    int& enumerations;
};

struct Fixture {
    explicit Fixture(std::size_t count = 1) : devices(count) {}
    FakeDevice& device() { return devices.front(); }
    UsbXpress::Handle Open() {
        std::uint32_t count = 0;
        EXPECT_EQ(usb->F32x_GetNumDevices(count), 0);
        EXPECT_EQ(usb->F32x_Open(0, handle), 0);
        return handle;
    }
    // A queue check of the open receiver: its status, the bytes waiting, the queue state.
    Queue Check() {
        std::uint32_t waiting = 0;
        std::uint32_t state = 0;
        const auto status =
            static_cast<std::uint32_t>(usb->F32x_CheckRXQueue(handle, waiting, state));
        return {status, waiting, state};
    }
    UsbXpress::Handle handle = 0;
    std::vector<FakeDevice> devices;
    int enumerations = 0;
    std::optional<LibusbXpress> usb{std::in_place,
                                    std::make_unique<FakeBus>(devices, enumerations)};
};

TEST(LibusbXpress, EnumeratesAfreshAndCopiesTheProductText) {
    Fixture f(0);
    std::uint32_t count = 9;
    EXPECT_EQ(f.usb->F32x_GetNumDevices(count), 0);
    EXPECT_EQ(count, 0u);
    f.devices.resize(2);  // plugged in later
    f.devices[1].product = "Other";
    EXPECT_EQ(f.usb->F32x_GetNumDevices(count), 0);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(f.enumerations, 2);

    std::array<std::uint8_t, UsbXpress::kProductBufferSize> buffer;
    buffer.fill(0xEE);
    EXPECT_EQ(f.usb->F32x_GetProductString(1, buffer, UsbXpress::kProductDescription), 0);
    EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + 6), std::string("Other\0", 6));
    EXPECT_EQ(buffer[6], 0xEE);  // left as it was
    EXPECT_NE(f.usb->F32x_GetProductString(1, buffer, 2), 0);
}

TEST(LibusbXpress, OpenAndCloseSendTheVendorRequests) {
    Fixture f(2);
    f.device().requestResults[0xFFFF] = Result::Failed;  // tolerated
    const UsbXpress::Handle first = f.Open();
    std::uint32_t count = 0;
    UsbXpress::Handle second = 0;
    EXPECT_EQ(f.usb->F32x_Open(1, second), 0);
    EXPECT_NE(first, second);
    EXPECT_EQ(f.device().requests, (std::vector<Request>{{0x00, 0xFFFF}, {0x02, 0x0002}}));
    EXPECT_EQ(f.device().haltsCleared, (std::vector<bool>{true, false}));

    EXPECT_EQ(f.usb->F32x_Close(first), 0);
    EXPECT_EQ(f.device().requests.back(), (Request{0x02, 0x0004}));
    EXPECT_EQ(f.device().closes, 1);
    EXPECT_NE(f.usb->F32x_Close(first), 0);
    EXPECT_NE(f.usb->F32x_FlushBuffers(first), 0);

    // Without clear-to-send the receiver would stay silent: the open fails.
    f.device().requestResults[0x0002] = Result::Failed;
    EXPECT_EQ(f.usb->F32x_GetNumDevices(count), 0);
    UsbXpress::Handle third = 0;
    EXPECT_NE(f.usb->F32x_Open(0, third), 0);
    EXPECT_EQ(f.device().closes, 2);
}

TEST(LibusbXpress, CheckQueueCollectsAndReadTakesInOrder) {
    Fixture f;
    f.device().incoming = {
        {Result::Ok, {1, 2, 3}}, {Result::Timeout, {}}, {Result::Timeout, {4, 5}}};
    const UsbXpress::Handle h = f.Open();
    const Queue ready3{0, 3, UsbXpress::kQueueReady};
    EXPECT_EQ((std::vector{f.Check(), f.Check(), f.Check()}),
              (std::vector<Queue>{ready3, ready3, {0, 5, UsbXpress::kQueueReady}}));
    std::array<std::uint8_t, 2> two{};
    std::uint32_t read = 0;
    EXPECT_EQ(f.usb->F32x_Read(h, two, read), 0);
    EXPECT_EQ(Bytes(two.begin(), two.begin() + read), (Bytes{1, 2}));
    std::array<std::uint8_t, 10> rest{};
    EXPECT_EQ(f.usb->F32x_Read(h, rest, read), 0);
    EXPECT_EQ(Bytes(rest.begin(), rest.begin() + read), (Bytes{3, 4, 5}));
    EXPECT_EQ(f.Check(), (Queue{0, 0, UsbXpress::kQueueEmpty}));
}

TEST(LibusbXpress, FlushDiscardsTheQueueAndReportsAGoneReceiver) {
    Fixture f;
    f.device().incoming = {{Result::Ok, {9, 9, 9}}, {Result::Ok, {7}}};
    const UsbXpress::Handle h = f.Open();
    f.Check();
    EXPECT_EQ(f.usb->F32x_FlushBuffers(h), 0);
    EXPECT_EQ(f.device().requests.back(), (Request{0x02, 0x0001}));
    EXPECT_EQ(f.Check()[1], 1u);  // only what came after the flush

    f.device().requestResults[0x0001] = Result::NoDevice;
    f.device().incoming = {{Result::NoDevice, {}}};
    EXPECT_NE(f.usb->F32x_FlushBuffers(h), 0);
    const Queue gone = f.Check();
    EXPECT_NE(gone[0], 0u);
    EXPECT_EQ(gone[1], 0u);  // the flush emptied the queue even though the request failed
}

TEST(LibusbXpress, QueueOverrunIsReportedUntilTheNextFlush) {
    Fixture f;
    const std::size_t chunks = LibusbXpress::kQueueCapacity / 4096 + 1;
    f.device().incoming.assign(chunks, {Result::Ok, Bytes(4096, 0xAA)});
    f.Open();
    for (std::size_t i = 1; i < chunks; ++i) {
        f.Check();
    }
    EXPECT_EQ(f.Check(), (Queue{0, LibusbXpress::kQueueCapacity, UsbXpress::kQueueOverrun}));
    f.usb->F32x_FlushBuffers(f.handle);
    EXPECT_EQ(f.Check()[2], UsbXpress::kQueueEmpty);
}

TEST(LibusbXpress, WriteEndsWholePacketsWithAZeroLengthPacket) {
    for (const std::size_t length : {2u, 6u, 63u, 64u, 65u, 128u}) {
        Fixture f;
        const UsbXpress::Handle h = f.Open();
        const Bytes data(length, 0x1B);
        std::uint32_t written = 0;
        EXPECT_EQ(f.usb->F32x_Write(h, data, written), 0);
        EXPECT_EQ(written, length);
        std::vector<Bytes> expected{data};
        if (length % 64 == 0) {
            expected.emplace_back();
        }
        EXPECT_EQ(f.device().bulkOut, expected) << length;
        EXPECT_EQ(f.device().outTimeouts, std::vector<unsigned>(expected.size(), 1000u));
    }
}

TEST(LibusbXpress, HaltedEndpointIsClearedAndTheTransferMadeAgain) {
    Fixture f;
    const UsbXpress::Handle h = f.Open();
    f.device().haltsCleared.clear();
    f.device().haltedIn = true;
    f.device().incoming = {{Result::Ok, {1, 2, 3}}};
    EXPECT_EQ(f.Check(), (Queue{0, 3, UsbXpress::kQueueReady}));
    f.device().haltedOut = true;
    std::uint32_t written = 0;
    EXPECT_EQ(f.usb->F32x_Write(h, Bytes{0x1B, 0x0F}, written), 0);
    EXPECT_EQ(written, 2u);
    EXPECT_EQ(f.device().bulkOut, (std::vector<Bytes>{{0x1B, 0x0F}}));
    EXPECT_EQ(f.device().haltsCleared, (std::vector<bool>{true, false}));
}

// Only a receiver that is gone ends the poll cycle's hold on it; one whose flush request
// stalled or timed out is polled all the same.
TEST(LibusbXpress, PollLoopClosesOnlyAReceiverThatIsGone) {
    struct Case {
        Result flush;
        UsbXpress::Status status;
        TickOutcome outcome;
    };
    for (const Case c :
         {Case{Result::Stalled, UsbXpress::kTransferError, TickOutcome::NotDataReply},
          Case{Result::Timeout, UsbXpress::kTransferError, TickOutcome::NotDataReply},
          Case{Result::NoDevice, UsbXpress::kDeviceNotFound, TickOutcome::ReceiverLost}}) {
        Fixture f;
        testing::CallLog log;
        Receiver receiver(*f.usb, log, SteadyMilliseconds());
        ReceiveBuffer buffer;
        std::int16_t venue = 0;
        RunTables tables;
        PollLoop loop({receiver, buffer, venue, tables, log, log, SteadyMilliseconds(), {}});
        ASSERT_EQ(loop.RunPollCycle(), TickOutcome::Searching);
        f.device().requestResults[0x0001] = c.flush;
        EXPECT_EQ(f.usb->F32x_FlushBuffers(receiver.DeviceHandle()), c.status);
        f.device().incoming = {{Result::Ok, Bytes(12, 0)}};
        EXPECT_EQ(loop.RunPollCycle(), c.outcome);
        const bool open = c.outcome != TickOutcome::ReceiverLost;
        EXPECT_EQ(receiver.DeviceOpen(), open);
        EXPECT_EQ(f.device().bulkOut.size(), open ? 1u : 0u);  // the poll command
    }
}

TEST(LibusbXpress, AccessDeniedIsReportedUntilTheNextEnumeration) {
    Fixture f;
    std::uint32_t count = 0;
    f.usb->F32x_GetNumDevices(count);
    EXPECT_FALSE(f.usb->ReceiverAccessDenied());
    f.device().productResult = Result::AccessDenied;
    std::array<std::uint8_t, UsbXpress::kProductBufferSize> buffer{};
    EXPECT_NE(f.usb->F32x_GetProductString(0, buffer, 1), 0);
    EXPECT_TRUE(f.usb->ReceiverAccessDenied());
    f.usb->F32x_GetNumDevices(count);
    EXPECT_FALSE(f.usb->ReceiverAccessDenied());
    f.device().openResult = Result::AccessDenied;
    UsbXpress::Handle h = 0;
    EXPECT_NE(f.usb->F32x_Open(0, h), 0);
    EXPECT_TRUE(f.usb->ReceiverAccessDenied());
}

TEST(LibusbXpress, DestructionReleasesOpenReceivers) {
    Fixture f;
    f.Open();
    f.usb.reset();
    EXPECT_EQ(f.device().requests.back(), (Request{0x02, 4}));
    EXPECT_EQ(f.device().closes, 1);
}

TEST(LibusbXpress, RealBusWithoutReceiverOpensNothing) {
    LibusbXpress usb;
    std::uint32_t count = 0;
    usb.F32x_GetNumDevices(count);  // whatever this machine has attached
    UsbXpress::Handle h = 0;
    EXPECT_NE(usb.F32x_Open(count, h), 0);
    EXPECT_NE(usb.F32x_Close(1), 0);
}

TEST(FindBulkEndpoints, TakesTheBulkPairFromTheDescriptors) {
    using usb::EndpointInfo;
    const std::vector<EndpointInfo> first{{0x81, 0x02, 64}, {0x01, 0x02, 64}};
    const std::vector<EndpointInfo> second{{0x83, 0x03, 8}, {0x02, 0x02, 64}, {0x82, 0x02, 64}};
    const std::vector<EndpointInfo> noOut{{0x81, 0x02, 64}, {0x01, 0x03, 64}};
    const auto a = usb::FindBulkEndpoints(first);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->in, 0x81);
    EXPECT_EQ(a->out, 0x01);
    EXPECT_EQ(a->maxPacketSize, 64);
    const auto b = usb::FindBulkEndpoints(second);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->in, 0x82);
    EXPECT_EQ(b->out, 0x02);
    EXPECT_FALSE(usb::FindBulkEndpoints(noOut));
    EXPECT_TRUE(usb::IsReceiverId(0x10C4, 0xEA61));
    EXPECT_FALSE(usb::IsReceiverId(0x10C4, 0xEA60));
}

}  // namespace
}  // namespace orvanrx
