#pragma once

#include <cstddef>
#include <deque>
#include <map>
#include <memory>

#include "receiver/UsbTransport.h"
#include "receiver/UsbXpress.h"

namespace orvanrx {

// The real receiver through libusb-1.0, with the USBXpress operations' behaviour:
// - F32x_GetNumDevices enumerates afresh on every call, so a receiver plugged in later is
//   found; devices are matched by their IDs (usb::kReceiverIds), not by their text.
// - F32x_GetProductString gives the iProduct string (option kProductDescription only).
// - F32x_Open claims interface 0 (the kernel's serial driver detached), clears the halt of
//   both bulk endpoints, sends the reset request (its failure is tolerated) and the
//   clear-to-send request, without which the receiver sends nothing. F32x_Close sends the
//   release request, then releases the interface (the serial driver is given it back) and
//   closes the device.
// - F32x_FlushBuffers empties the host-side receive queue and sends the flush request. Its
//   status is kDeviceNotFound only when the receiver is gone; a request that stalled or timed
//   out gives kTransferError, and the receiver may well answer the next one.
// - F32x_Write is one bulk OUT transfer (1000 ms), followed by a zero-length packet when its
//   length is a whole number of packets.
// - A bulk endpoint that halts while the receiver is open (a transfer answered with STALL) is
//   cleared at once and the transfer made again.
// - Every operation on a receiver that is gone gives kDeviceNotFound.
// - F32x_CheckRXQueue moves what the receiver has sent (one short bulk IN transfer) into the
//   host-side queue and reports its length; the queue state is kQueueReady while it holds
//   bytes, kQueueOverrun once bytes were dropped because it was full (until the next flush).
// - F32x_Read takes up to the wanted number of bytes from that queue and never waits.
// Handles count up from 1 and are never reused, so closing a stale handle never closes
// another device.
class LibusbXpress final : public UsbXpress {
public:
    // Bytes the host-side queue holds at most.
    static constexpr std::size_t kQueueCapacity = 65536;

    // The receivers through libusb, with a libusb context of its own.
    LibusbXpress();
    // The receivers on `bus` (tests pass a fake).
    explicit LibusbXpress(std::unique_ptr<usb::Bus> bus);
    ~LibusbXpress() override;
    LibusbXpress(const LibusbXpress&) = delete;
    LibusbXpress& operator=(const LibusbXpress&) = delete;

    Status F32x_GetNumDevices(std::uint32_t& count) override;
    Status F32x_GetProductString(std::uint32_t index,
                                 std::span<std::uint8_t, kProductBufferSize> buffer,
                                 std::uint32_t option) override;
    Status F32x_Open(std::uint32_t index, Handle& handle) override;
    Status F32x_Close(Handle handle) override;
    Status F32x_FlushBuffers(Handle handle) override;
    Status F32x_Write(Handle handle, std::span<const std::uint8_t> data,
                      std::uint32_t& written) override;
    Status F32x_CheckRXQueue(Handle handle, std::uint32_t& bytesWaiting,
                             std::uint32_t& queueStatus) override;
    Status F32x_Read(Handle handle, std::span<std::uint8_t> buffer, std::uint32_t& read) override;

    // True when, since the last F32x_GetNumDevices, reading a receiver's product text or
    // opening it failed because the system denied access.
    bool ReceiverAccessDenied() const override { return accessDenied_; }

private:
    struct OpenReceiver {
        std::unique_ptr<usb::Link> link;
        std::deque<std::uint8_t> queue;
        bool overrun = false;
    };

    OpenReceiver* Find(Handle handle);
    void NoteResult(usb::Result result);

    // Declared first so that it outlives every open link.
    std::unique_ptr<usb::Bus> bus_;
    std::map<Handle, OpenReceiver> open_;
    Handle nextHandle_ = 1;
    bool accessDenied_ = false;
};

}  // namespace orvanrx
