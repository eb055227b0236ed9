#pragma once

#include <cstdint>
#include <span>

namespace orvanrx {

// The receiver's USB device interface: the eight operations of the USBXpress family that the
// program calls. Every operation returns a status: 0 is success, anything else a failure (the
// program never tests for a particular code). Implemented by LibusbXpress (the real receiver
// through libusb) and SimulatedXpress (a scripted receiver).
class UsbXpress {
public:
    using Handle = std::uint32_t;
    using Status = int;

    static constexpr Status kSuccess = 0;
    static constexpr Status kDeviceNotFound = 1;
    static constexpr Status kInvalidHandle = 2;
    static constexpr Status kTransferError = 3;
    static constexpr Status kInvalidParameter = 4;

    // Queue states reported by F32x_CheckRXQueue.
    static constexpr std::uint32_t kQueueEmpty = 0;
    static constexpr std::uint32_t kQueueOverrun = 1;
    static constexpr std::uint32_t kQueueReady = 2;

    // F32x_GetProductString option: the product description.
    static constexpr std::uint32_t kProductDescription = 1;
    static constexpr std::size_t kProductBufferSize = 257;

    virtual ~UsbXpress() = default;

    // Number of attached devices of the family; enumerates afresh on every call.
    virtual Status F32x_GetNumDevices(std::uint32_t& count) = 0;
    // The product text of device `index`, followed by a 0 byte, into `buffer`. Bytes after
    // the text's terminator are left as they were.
    virtual Status F32x_GetProductString(std::uint32_t index,
                                         std::span<std::uint8_t, kProductBufferSize> buffer,
                                         std::uint32_t option) = 0;
    virtual Status F32x_Open(std::uint32_t index, Handle& handle) = 0;
    virtual Status F32x_Close(Handle handle) = 0;
    // Discards pending receive and transmit data. kDeviceNotFound (or kInvalidHandle) when the
    // device is gone; any other non-zero status is a failure the device may recover from.
    virtual Status F32x_FlushBuffers(Handle handle) = 0;
    virtual Status F32x_Write(Handle handle, std::span<const std::uint8_t> data,
                              std::uint32_t& written) = 0;
    // How many bytes wait in the receive queue, and the queue state (kQueueReady with data).
    virtual Status F32x_CheckRXQueue(Handle handle, std::uint32_t& bytesWaiting,
                                     std::uint32_t& queueStatus) = 0;
    // Moves up to buffer.size() waiting bytes into buffer.
    virtual Status F32x_Read(Handle handle, std::span<std::uint8_t> buffer,
                             std::uint32_t& read) = 0;

    // Properties of the device layer beyond the eight operations.

    // True for a scripted receiver (shown as such; never decided by the product text).
    virtual bool IsSimulated() const { return false; }
    // True when the last enumeration found a receiver that the system would not let this
    // user open (on Linux: no udev rule). The headless program says so; the desktop program
    // stays silent.
    virtual bool ReceiverAccessDenied() const { return false; }
};

}  // namespace orvanrx
