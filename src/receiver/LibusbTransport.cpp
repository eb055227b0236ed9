// The receiver's USB transfers through libusb-1.0. This is the only file that includes libusb.

#include <libusb.h>

#include <vector>

#include "receiver/UsbTransport.h"

namespace orvanrx::usb {

std::optional<BulkEndpoints> FindBulkEndpoints(std::span<const EndpointInfo> endpoints) {
    constexpr std::uint8_t kTransferTypeMask = 0x03;
    constexpr std::uint8_t kBulk = 0x02;
    constexpr std::uint8_t kDirectionIn = 0x80;
    constexpr std::uint16_t kPacketSizeMask = 0x07FF;
    std::optional<EndpointInfo> in;
    std::optional<EndpointInfo> out;
    for (const EndpointInfo& endpoint : endpoints) {
        if ((endpoint.attributes & kTransferTypeMask) != kBulk) {
            continue;
        }
        std::optional<EndpointInfo>& slot = (endpoint.address & kDirectionIn) != 0 ? in : out;
        if (!slot) {
            slot = endpoint;
        }
    }
    if (!in || !out) {
        return std::nullopt;
    }
    return BulkEndpoints{in->address, out->address,
                         static_cast<std::uint16_t>(out->maxPacketSize & kPacketSizeMask)};
}

namespace {

constexpr std::uint8_t kVendorOut = 0x40;
constexpr int kReceiverInterface = 0;

Result FromLibusb(int code) {
    switch (code) {
        case LIBUSB_SUCCESS:
            return Result::Ok;
        case LIBUSB_ERROR_TIMEOUT:
            return Result::Timeout;
        case LIBUSB_ERROR_ACCESS:
            return Result::AccessDenied;
        case LIBUSB_ERROR_NO_DEVICE:
            return Result::NoDevice;
        case LIBUSB_ERROR_PIPE:
            return Result::Stalled;
        default:
            return code > 0 ? Result::Ok : Result::Failed;
    }
}

class LibusbLink final : public Link {
public:
    LibusbLink(libusb_device_handle* handle, BulkEndpoints endpoints)
        : handle_(handle), endpoints_(endpoints) {}
    ~LibusbLink() override {
        libusb_release_interface(handle_, kReceiverInterface);
        libusb_close(handle_);
    }
    LibusbLink(const LibusbLink&) = delete;
    LibusbLink& operator=(const LibusbLink&) = delete;

    Result VendorRequest(std::uint8_t request, std::uint16_t value) override {
        return FromLibusb(libusb_control_transfer(handle_, kVendorOut, request, value, 0, nullptr,
                                                  0, kControlTimeoutMs));
    }

    Result BulkOut(std::span<const std::uint8_t> data, std::size_t& transferred,
                   unsigned timeoutMs) override {
        // libusb takes a non-const buffer for both directions.
        std::vector<unsigned char> copy(data.begin(), data.end());
        int moved = 0;
        const int code = libusb_bulk_transfer(handle_, endpoints_.out, copy.data(),
                                              static_cast<int>(copy.size()), &moved, timeoutMs);
        transferred = moved > 0 ? static_cast<std::size_t>(moved) : 0;
        return FromLibusb(code);
    }

    Result BulkIn(std::span<std::uint8_t> buffer, std::size_t& transferred,
                  unsigned timeoutMs) override {
        int moved = 0;
        const int code = libusb_bulk_transfer(handle_, endpoints_.in, buffer.data(),
                                              static_cast<int>(buffer.size()), &moved, timeoutMs);
        transferred = moved > 0 ? static_cast<std::size_t>(moved) : 0;
        return FromLibusb(code);
    }

    Result ClearHalt(bool in) override {
        return FromLibusb(libusb_clear_halt(handle_, in ? endpoints_.in : endpoints_.out));
    }

    std::size_t MaxPacketSize() const override { return endpoints_.maxPacketSize; }

private:
    libusb_device_handle* handle_;
    BulkEndpoints endpoints_;
};

// The bulk endpoints of interface 0 in the device's active configuration.
std::optional<BulkEndpoints> ReceiverEndpoints(libusb_device* device) {
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_active_config_descriptor(device, &config) != LIBUSB_SUCCESS &&
        libusb_get_config_descriptor(device, 0, &config) != LIBUSB_SUCCESS) {
        return std::nullopt;
    }
    std::optional<BulkEndpoints> found;
    for (int i = 0; i < config->bNumInterfaces && !found; ++i) {
        const libusb_interface& interface = config->interface[i];
        if (interface.num_altsetting < 1 ||
            interface.altsetting[0].bInterfaceNumber != kReceiverInterface) {
            continue;
        }
        const libusb_interface_descriptor& setting = interface.altsetting[0];
        std::vector<EndpointInfo> endpoints;
        for (int e = 0; e < setting.bNumEndpoints; ++e) {
            const libusb_endpoint_descriptor& endpoint = setting.endpoint[e];
            endpoints.push_back(
                {endpoint.bEndpointAddress, endpoint.bmAttributes, endpoint.wMaxPacketSize});
        }
        found = FindBulkEndpoints(endpoints);
    }
    libusb_free_config_descriptor(config);
    return found;
}

class LibusbBus final : public Bus {
public:
    LibusbBus() {
        if (libusb_init(&context_) != LIBUSB_SUCCESS) {
            context_ = nullptr;
        }
    }
    ~LibusbBus() override {
        ForgetDevices();
        if (context_ != nullptr) {
            libusb_exit(context_);
        }
    }
    LibusbBus(const LibusbBus&) = delete;
    LibusbBus& operator=(const LibusbBus&) = delete;

    Result Enumerate(std::size_t& count) override {
        count = 0;
        ForgetDevices();
        if (context_ == nullptr) {
            return Result::Failed;
        }
        libusb_device** list = nullptr;
        const ssize_t listed = libusb_get_device_list(context_, &list);
        if (listed < 0) {
            return FromLibusb(static_cast<int>(listed));
        }
        for (ssize_t i = 0; i < listed; ++i) {
            libusb_device_descriptor descriptor{};
            if (libusb_get_device_descriptor(list[i], &descriptor) == LIBUSB_SUCCESS &&
                IsReceiverId(descriptor.idVendor, descriptor.idProduct)) {
                devices_.push_back(libusb_ref_device(list[i]));
            }
        }
        libusb_free_device_list(list, 1);
        count = devices_.size();
        return Result::Ok;
    }

    Result ProductText(std::size_t index, std::string& text) override {
        if (index >= devices_.size()) {
            return Result::NoDevice;
        }
        libusb_device_descriptor descriptor{};
        int code = libusb_get_device_descriptor(devices_[index], &descriptor);
        if (code != LIBUSB_SUCCESS) {
            return FromLibusb(code);
        }
        text.clear();
        if (descriptor.iProduct == 0) {
            return Result::Ok;
        }
        libusb_device_handle* handle = nullptr;
        code = libusb_open(devices_[index], &handle);
        if (code != LIBUSB_SUCCESS) {
            return FromLibusb(code);
        }
        unsigned char ascii[256] = {};
        code = libusb_get_string_descriptor_ascii(handle, descriptor.iProduct, ascii, sizeof ascii);
        libusb_close(handle);
        if (code < 0) {
            return FromLibusb(code);
        }
        text.assign(reinterpret_cast<const char*>(ascii), static_cast<std::size_t>(code));
        return Result::Ok;
    }

    Result Open(std::size_t index, std::unique_ptr<Link>& link) override {
        if (index >= devices_.size()) {
            return Result::NoDevice;
        }
        const std::optional<BulkEndpoints> endpoints = ReceiverEndpoints(devices_[index]);
        if (!endpoints) {
            return Result::Failed;
        }
        libusb_device_handle* handle = nullptr;
        int code = libusb_open(devices_[index], &handle);
        if (code != LIBUSB_SUCCESS) {
            return FromLibusb(code);
        }
        // The serial driver cp210x also binds to this ID; libusb detaches it on claim and
        // reattaches it on release. Platforms without kernel drivers report "not supported".
        libusb_set_auto_detach_kernel_driver(handle, 1);
        code = libusb_claim_interface(handle, kReceiverInterface);
        if (code != LIBUSB_SUCCESS) {
            libusb_close(handle);
            return FromLibusb(code);
        }
        link = std::make_unique<LibusbLink>(handle, *endpoints);
        return Result::Ok;
    }

private:
    void ForgetDevices() {
        for (libusb_device* device : devices_) {
            libusb_unref_device(device);
        }
        devices_.clear();
    }

    libusb_context* context_ = nullptr;
    std::vector<libusb_device*> devices_;
};

}  // namespace

std::unique_ptr<Bus> MakeLibusbBus() {
    return std::make_unique<LibusbBus>();
}

}  // namespace orvanrx::usb
