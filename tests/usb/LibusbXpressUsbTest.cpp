// LibusbXpress on the real libusb path, operation by operation, against the emulated receiver:
// the requests the receiver sees, in order.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <array>
#include <string>
#include <vector>

#include "EmulatedReceiver.h"
#include "receiver/ReceiverProtocol.h"

namespace orvanrx {
namespace {

using Lines = std::vector<std::string>;

const Lines kOpen{
    "open",         "detach cp210x",       "claim 0", "clear-halt 81", "clear-halt 01",
    "vendor reset", "vendor clear-to-send"};
const Lines kClose{"vendor not-clear-to-send", "release 0", "attach cp210x"};

// Writes `text` to `name` in `dir` and gives the file's path.
std::string WriteTrace(const QTemporaryDir& dir, const char* name, const QByteArray& text) {
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    return path.toStdString();
}

TEST(LibusbXpressUsb, EnumerationProductTextOpenAndClose) {
    ORVANRX_NEEDS_EMULATED_RECEIVER(device);
    LibusbXpress usb;
    std::uint32_t count = 0;
    ASSERT_EQ(usb.F32x_GetNumDevices(count), 0);
    EXPECT_EQ(count, 1u);
    EXPECT_TRUE(device.Requests(0).empty());  // the descriptors come from sysfs

    std::array<std::uint8_t, UsbXpress::kProductBufferSize> product{};
    ASSERT_EQ(usb.F32x_GetProductString(0, product, UsbXpress::kProductDescription), 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(product.data())), "ORVAN01 USB Receiver");
    EXPECT_EQ(device.Requests(0), (Lines{"open", "get-string 0", "get-string 2"}));

    std::size_t mark = device.Log().size();
    UsbXpress::Handle handle = 0;
    ASSERT_EQ(usb.F32x_Open(0, handle), 0);
    EXPECT_EQ(device.Requests(mark), kOpen);

    mark = device.Log().size();
    EXPECT_EQ(usb.F32x_Close(handle), 0);
    // The serial driver has the interface back once the program lets go of it.
    EXPECT_EQ(device.Requests(mark), kClose);
    EXPECT_NE(usb.F32x_FlushBuffers(handle), 0);
}

TEST(LibusbXpressUsb, OneTickFlushesPollsAndReadsTheReply) {
    ORVANRX_NEEDS_EMULATED_RECEIVER(device);
    QTemporaryDir dir;
    ASSERT_TRUE(device.Do("trace " + WriteTrace(dir, "day.trace",
                                                "FA 05 01 00 01 02 03 04 05 06 07 08\n"
                                                "idle\n")));
    testing::UsbLoop s;
    EXPECT_EQ(s.loop.RunPollCycle(), TickOutcome::Searching);
    ASSERT_TRUE(s.receiver.DeviceOpen());
    EXPECT_EQ(device.Requests(0),
              (Lines{"open", "get-string 0", "get-string 2", "open", "detach cp210x", "claim 0",
                     "clear-halt 81", "clear-halt 01", "vendor reset", "vendor clear-to-send"}));

    std::size_t mark = device.Log().size();
    EXPECT_EQ(s.loop.RunPollCycle(), TickOutcome::DataStored);
    EXPECT_EQ(device.Requests(mark),
              (Lines{"vendor flush", "out 1B 0F", "in FA 05 01 00 01 02 03 04 05 06 07 08"}));
    EXPECT_EQ(s.buffer.Slice(0x100, 8)->front(), 1);
    EXPECT_EQ(s.venue, 5);

    mark = device.Log().size();
    EXPECT_EQ(s.loop.RunPollCycle(), TickOutcome::NotDataReply);
    EXPECT_EQ(device.Requests(mark),
              (Lines{"vendor flush", "out 1B 0F", "in 00 00 00 00 00 00 00 00 00 00 00 00"}));
}

TEST(LibusbXpressUsb, EveryTransactionStartsWithAFlush) {
    ORVANRX_NEEDS_EMULATED_RECEIVER(device);
    testing::UsbLoop s;
    ASSERT_TRUE(s.receiver.OpenDevice());
    const std::size_t mark = device.Log().size();

    s.loop.RefreshStatus();
    EXPECT_EQ(s.log.With("caption "), Lines{"Channel 1"});
    EXPECT_EQ(s.log.With("signal "), Lines{"244"});
    EXPECT_EQ(s.receiver.ReadReceiverText(kCommandName, kNameReplyLength).toStdString(),
              "ORVAN01 USB Receiver");
    EXPECT_TRUE(s.receiver.WriteFrequency(kChannel2Frequency));
    EXPECT_EQ(s.receiver.ReadFrequency(), kChannel2Frequency);

    const Lines requests = device.Requests(mark);
    EXPECT_EQ(requests,
              (Lines{"vendor flush",
                     "out 1B 05",
                     "in 00 00 00 00 00 00 00 00",  //
                     "vendor flush",
                     "out 1B 0A",
                     "in 00 00 00 00 00 00 00 00",  //
                     "vendor flush",
                     "out 1B 06",
                     "in 0C F8 50 00 00 00 00 00",  //
                     "vendor flush",                //
                     "vendor flush",
                     "out 1B 01",
                     "in 4F 52 56 41 4E 30 31 20 55 53 42 20 52 65 63 65 69 76 65 72 00 00 00 00 "
                     "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
                     "00 00",
                     "vendor flush",  //
                     "vendor flush",
                     "out 1B 07 0C F3 BC 20",
                     "in 0C F3 BC 20 00 00 00 00",
                     "vendor flush",
                     "out 1B 06",
                     "in 0C F3 BC 20 00 00 00 00",  //
                     "vendor flush"}));
    for (std::size_t i = 0; i < requests.size(); ++i) {
        if (requests[i].starts_with("out ")) {
            ASSERT_GT(i, 0u);
            EXPECT_EQ(requests[i - 1], "vendor flush") << "before " << requests[i];
        }
    }
}

TEST(LibusbXpressUsb, WholePacketsEndWithAZeroLengthPacket) {
    ORVANRX_NEEDS_EMULATED_RECEIVER(device);
    LibusbXpress usb;
    std::uint32_t count = 0;
    UsbXpress::Handle handle = 0;
    ASSERT_EQ(usb.F32x_GetNumDevices(count), 0);
    ASSERT_EQ(usb.F32x_Open(0, handle), 0);

    struct Case {
        std::size_t length;
        bool zeroLengthPacket;
    };
    for (const Case c :
         {Case{2, false}, Case{63, false}, Case{64, true}, Case{65, false}, Case{128, true}}) {
        const std::size_t mark = device.Log().size();
        const std::vector<std::uint8_t> data(c.length, 0x20);
        std::uint32_t written = 0;
        EXPECT_EQ(usb.F32x_Write(handle, data, written), 0);
        EXPECT_EQ(written, c.length);
        const Lines requests = device.Requests(mark);
        ASSERT_EQ(requests.size(), c.zeroLengthPacket ? 2u : 1u) << c.length;
        // One transfer carries the whole write; the packets are the bus's business.
        EXPECT_EQ(requests[0].size(), 4 + c.length * 3 - 1) << c.length;
        if (c.zeroLengthPacket) {
            EXPECT_EQ(requests[1], "out ZLP");
        }
    }
}

}  // namespace
}  // namespace orvanrx
