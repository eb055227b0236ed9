#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

// The USB transfers LibusbXpress needs, as a thin seam between its queue logic and libusb.
// LibusbTransport.cpp implements it with libusb; tests implement it with fakes, so the
// receive queue, flush, open and close behaviour runs without hardware.
namespace orvanrx::usb {

struct DeviceId {
    std::uint16_t vendor;
    std::uint16_t product;
};

// Every vendor/product pair taken for a receiver. A receiver whose product text was changed
// keeps these IDs; more pairs go here.
inline constexpr std::array<DeviceId, 1> kReceiverIds{{{0x10C4, 0xEA61}}};

constexpr bool IsReceiverId(std::uint16_t vendor, std::uint16_t product) {
    for (const DeviceId& id : kReceiverIds) {
        if (id.vendor == vendor && id.product == product) {
            return true;
        }
    }
    return false;
}

// Vendor requests (bmRequestType 0x40, host to device, vendor, device) of the USBXpress
// firmware.
inline constexpr std::uint8_t kRequestReset = 0x00;  // wValue 0xFFFF on open
inline constexpr std::uint8_t kRequestControl = 0x02;
inline constexpr std::uint16_t kResetValue = 0xFFFF;
inline constexpr std::uint16_t kControlFlush = 0x0001;
inline constexpr std::uint16_t kControlClearToSend = 0x0002;
inline constexpr std::uint16_t kControlRelease = 0x0004;

// A vendor request the receiver does not answer within this time failed; no longer than the
// wait for a reply, so a tick never stalls for more than a silent receiver would make it.
inline constexpr unsigned kControlTimeoutMs = 250;
inline constexpr unsigned kWriteTimeoutMs = 1000;
// A queue check takes whatever the device has sent within this time.
inline constexpr unsigned kCheckQueueTimeoutMs = 5;

enum class Result {
    Ok,
    Timeout,       // nothing (or not everything) moved within the time-out
    AccessDenied,  // the system refused to open the device
    NoDevice,      // the device is gone
    Stalled,       // the device answered with STALL (a bulk endpoint: it is halted)
    Failed,        // any other failure
};

// One endpoint as its descriptor gives it.
struct EndpointInfo {
    std::uint8_t address;
    std::uint8_t attributes;
    std::uint16_t maxPacketSize;
};

struct BulkEndpoints {
    std::uint8_t in;
    std::uint8_t out;
    std::uint16_t maxPacketSize;  // of the OUT endpoint: a write of a multiple of it ends in a
                                  // zero-length packet
};

// The first bulk IN and first bulk OUT endpoint of an interface; nothing when one is missing.
std::optional<BulkEndpoints> FindBulkEndpoints(std::span<const EndpointInfo> endpoints);

// An opened receiver with interface 0 claimed. Destroying it releases the interface and
// closes the device.
class Link {
public:
    virtual ~Link() = default;
    // A vendor request without data (bmRequestType 0x40, wIndex 0).
    virtual Result VendorRequest(std::uint8_t request, std::uint16_t value) = 0;
    // One bulk OUT transfer; an empty `data` sends a zero-length packet.
    virtual Result BulkOut(std::span<const std::uint8_t> data, std::size_t& transferred,
                           unsigned timeoutMs) = 0;
    // One bulk IN transfer into `buffer`; `transferred` counts the bytes received even when
    // the result is Timeout.
    virtual Result BulkIn(std::span<std::uint8_t> buffer, std::size_t& transferred,
                          unsigned timeoutMs) = 0;
    // Clears the halt of the bulk IN (`in` true) or OUT endpoint and resets its data toggle.
    virtual Result ClearHalt(bool in) = 0;
    virtual std::size_t MaxPacketSize() const = 0;
};

// The receivers attached to the host. Indices refer to the last Enumerate.
class Bus {
public:
    virtual ~Bus() = default;
    // Lists the attached devices with a receiver ID afresh.
    virtual Result Enumerate(std::size_t& count) = 0;
    // The iProduct string descriptor of device `index`, as ASCII.
    virtual Result ProductText(std::size_t index, std::string& text) = 0;
    // Opens device `index` with the kernel driver detached automatically and interface 0
    // claimed.
    virtual Result Open(std::size_t index, std::unique_ptr<Link>& link) = 0;
};

// The libusb implementation; it owns its libusb context.
std::unique_ptr<Bus> MakeLibusbBus();

}  // namespace orvanrx::usb
