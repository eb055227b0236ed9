#include "receiver/LibusbXpress.h"

#include <algorithm>
#include <array>
#include <string>

namespace orvanrx {

namespace {

// One queue check asks for up to this many bytes: a whole number of packets of any size, so
// the receiver can never overflow the transfer.
constexpr std::size_t kCheckTransferSize = 4096;

UsbXpress::Status StatusOf(usb::Result result) {
    switch (result) {
        case usb::Result::Ok:
            return UsbXpress::kSuccess;
        case usb::Result::NoDevice:
            return UsbXpress::kDeviceNotFound;
        default:
            return UsbXpress::kTransferError;
    }
}

// A bulk endpoint that answers with STALL has halted: the halt is cleared and a transfer that
// moved nothing is made once more, so the receiver answers on the same tick.
usb::Result BulkOut(usb::Link& link, std::span<const std::uint8_t> data, std::size_t& moved) {
    usb::Result result = link.BulkOut(data, moved, usb::kWriteTimeoutMs);
    if (result == usb::Result::Stalled && moved == 0 && link.ClearHalt(false) == usb::Result::Ok) {
        result = link.BulkOut(data, moved, usb::kWriteTimeoutMs);
    }
    return result;
}

usb::Result BulkIn(usb::Link& link, std::span<std::uint8_t> buffer, std::size_t& moved) {
    usb::Result result = link.BulkIn(buffer, moved, usb::kCheckQueueTimeoutMs);
    if (result == usb::Result::Stalled && moved == 0 && link.ClearHalt(true) == usb::Result::Ok) {
        result = link.BulkIn(buffer, moved, usb::kCheckQueueTimeoutMs);
    }
    return result;
}

}  // namespace

LibusbXpress::LibusbXpress() : LibusbXpress(usb::MakeLibusbBus()) {}

LibusbXpress::LibusbXpress(std::unique_ptr<usb::Bus> bus) : bus_(std::move(bus)) {}

LibusbXpress::~LibusbXpress() {
    while (!open_.empty()) {
        F32x_Close(open_.begin()->first);
    }
}

LibusbXpress::OpenReceiver* LibusbXpress::Find(Handle handle) {
    const auto found = open_.find(handle);
    return found == open_.end() ? nullptr : &found->second;
}

void LibusbXpress::NoteResult(usb::Result result) {
    if (result == usb::Result::AccessDenied) {
        accessDenied_ = true;
    }
}

UsbXpress::Status LibusbXpress::F32x_GetNumDevices(std::uint32_t& count) {
    accessDenied_ = false;
    std::size_t found = 0;
    if (bus_->Enumerate(found) != usb::Result::Ok) {
        count = 0;
        return kTransferError;
    }
    count = static_cast<std::uint32_t>(found);
    return kSuccess;
}

UsbXpress::Status LibusbXpress::F32x_GetProductString(
    std::uint32_t index, std::span<std::uint8_t, kProductBufferSize> buffer, std::uint32_t option) {
    if (option != kProductDescription) {
        return kInvalidParameter;
    }
    std::string text;
    const usb::Result result = bus_->ProductText(index, text);
    NoteResult(result);
    if (result != usb::Result::Ok) {
        return result == usb::Result::NoDevice ? kDeviceNotFound : kTransferError;
    }
    // The text and its 0 byte; whatever the buffer held after that stays.
    const std::size_t length = std::min(text.size(), buffer.size() - 1);
    std::copy_n(text.begin(), length, buffer.begin());
    buffer[length] = 0;
    return kSuccess;
}

UsbXpress::Status LibusbXpress::F32x_Open(std::uint32_t index, Handle& handle) {
    std::unique_ptr<usb::Link> link;
    const usb::Result result = bus_->Open(index, link);
    NoteResult(result);
    if (result != usb::Result::Ok) {
        return result == usb::Result::NoDevice ? kDeviceNotFound : kTransferError;
    }
    // An endpoint left halted, or with a stale data toggle, by a program that ended in the
    // middle of an exchange would keep the receiver silent while it looks open.
    for (const bool in : {true, false}) {
        if (link->ClearHalt(in) == usb::Result::NoDevice) {
            return kDeviceNotFound;
        }
    }
    // Some firmware rejects the reset; the receiver works without it.
    link->VendorRequest(usb::kRequestReset, usb::kResetValue);
    if (link->VendorRequest(usb::kRequestControl, usb::kControlClearToSend) != usb::Result::Ok) {
        return kTransferError;
    }
    handle = nextHandle_++;
    open_.emplace(handle, OpenReceiver{std::move(link), {}, false});
    return kSuccess;
}

UsbXpress::Status LibusbXpress::F32x_Close(Handle handle) {
    const auto found = open_.find(handle);
    if (found == open_.end()) {
        return kInvalidHandle;
    }
    // A receiver that is already gone cannot take the request; it is closed all the same.
    found->second.link->VendorRequest(usb::kRequestControl, usb::kControlRelease);
    open_.erase(found);
    return kSuccess;
}

UsbXpress::Status LibusbXpress::F32x_FlushBuffers(Handle handle) {
    OpenReceiver* receiver = Find(handle);
    if (receiver == nullptr) {
        return kInvalidHandle;
    }
    receiver->queue.clear();
    receiver->overrun = false;
    return StatusOf(receiver->link->VendorRequest(usb::kRequestControl, usb::kControlFlush));
}

UsbXpress::Status LibusbXpress::F32x_Write(Handle handle, std::span<const std::uint8_t> data,
                                           std::uint32_t& written) {
    written = 0;
    OpenReceiver* receiver = Find(handle);
    if (receiver == nullptr) {
        return kInvalidHandle;
    }
    if (data.empty()) {
        return kInvalidParameter;
    }
    std::size_t moved = 0;
    const usb::Result result = BulkOut(*receiver->link, data, moved);
    if (result != usb::Result::Ok || moved != data.size()) {
        written = static_cast<std::uint32_t>(moved);
        return result == usb::Result::Ok ? kTransferError : StatusOf(result);
    }
    written = static_cast<std::uint32_t>(moved);
    const std::size_t packet = receiver->link->MaxPacketSize();
    if (packet != 0 && data.size() % packet == 0) {
        std::size_t none = 0;
        const usb::Result zeroLength = BulkOut(*receiver->link, {}, none);
        if (zeroLength != usb::Result::Ok) {
            return StatusOf(zeroLength);
        }
    }
    return kSuccess;
}

UsbXpress::Status LibusbXpress::F32x_CheckRXQueue(Handle handle, std::uint32_t& bytesWaiting,
                                                  std::uint32_t& queueStatus) {
    bytesWaiting = 0;
    queueStatus = kQueueEmpty;
    OpenReceiver* receiver = Find(handle);
    if (receiver == nullptr) {
        return kInvalidHandle;
    }
    std::array<std::uint8_t, kCheckTransferSize> incoming{};
    std::size_t moved = 0;
    const usb::Result result = BulkIn(*receiver->link, incoming, moved);
    moved = std::min(moved, incoming.size());
    const std::size_t room = kQueueCapacity - receiver->queue.size();
    if (moved > room) {
        receiver->overrun = true;
    }
    receiver->queue.insert(receiver->queue.end(), incoming.begin(),
                           incoming.begin() + static_cast<std::ptrdiff_t>(std::min(moved, room)));
    bytesWaiting = static_cast<std::uint32_t>(receiver->queue.size());
    if (receiver->overrun) {
        queueStatus = kQueueOverrun;
    } else if (!receiver->queue.empty()) {
        queueStatus = kQueueReady;
    }
    return result == usb::Result::Timeout ? kSuccess : StatusOf(result);
}

UsbXpress::Status LibusbXpress::F32x_Read(Handle handle, std::span<std::uint8_t> buffer,
                                          std::uint32_t& read) {
    read = 0;
    OpenReceiver* receiver = Find(handle);
    if (receiver == nullptr) {
        return kInvalidHandle;
    }
    const std::size_t count = std::min(buffer.size(), receiver->queue.size());
    const auto end = receiver->queue.begin() + static_cast<std::ptrdiff_t>(count);
    std::copy(receiver->queue.begin(), end, buffer.begin());
    receiver->queue.erase(receiver->queue.begin(), end);
    read = static_cast<std::uint32_t>(count);
    return kSuccess;
}

}  // namespace orvanrx
