#pragma once

#include <gmock/gmock.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "receiver/Receiver.h"
#include "receiver/UsbXpress.h"

namespace orvanrx::test {

class MockXpress : public UsbXpress {
public:
    using ProductBuffer = std::span<std::uint8_t, kProductBufferSize>;

    MOCK_METHOD(Status, F32x_GetNumDevices, (std::uint32_t&), (override));
    MOCK_METHOD(Status, F32x_GetProductString, (std::uint32_t, ProductBuffer, std::uint32_t),
                (override));
    MOCK_METHOD(Status, F32x_Open, (std::uint32_t, Handle&), (override));
    MOCK_METHOD(Status, F32x_Close, (Handle), (override));
    MOCK_METHOD(Status, F32x_FlushBuffers, (Handle), (override));
    MOCK_METHOD(Status, F32x_Write, (Handle, std::span<const std::uint8_t>, std::uint32_t&),
                (override));
    MOCK_METHOD(Status, F32x_CheckRXQueue, (Handle, std::uint32_t&, std::uint32_t&), (override));
    MOCK_METHOD(Status, F32x_Read, (Handle, std::span<std::uint8_t>, std::uint32_t&), (override));
};

// One attached device as the mock reports it.
struct MockDevice {
    std::optional<std::string> product = kReceiverProductText;  // nothing: cannot be read
    bool opens = true;
};

// Makes `usb` list `devices`; device i opens with handle 100 + i. Gives the indices whose
// open was tried, as they are tried.
inline std::shared_ptr<std::vector<std::uint32_t>> ListDevices(MockXpress& usb,
                                                               std::vector<MockDevice> devices) {
    using ::testing::_;
    auto tried = std::make_shared<std::vector<std::uint32_t>>();
    ON_CALL(usb, F32x_GetNumDevices(_)).WillByDefault([devices](std::uint32_t& count) {
        count = static_cast<std::uint32_t>(devices.size());
        return UsbXpress::kSuccess;
    });
    ON_CALL(usb, F32x_GetProductString(_, _, UsbXpress::kProductDescription))
        .WillByDefault([devices](std::uint32_t i, MockXpress::ProductBuffer buffer, std::uint32_t) {
            const std::optional<std::string>& text = devices.at(i).product;
            if (!text) {
                return UsbXpress::kTransferError;
            }
            std::copy(text->begin(), text->end(), buffer.begin());
            buffer[text->size()] = 0;
            return UsbXpress::kSuccess;
        });
    ON_CALL(usb, F32x_Open(_, _))
        .WillByDefault([devices, tried](std::uint32_t i, UsbXpress::Handle& handle) {
            tried->push_back(i);
            if (!devices.at(i).opens) {
                return UsbXpress::kTransferError;
            }
            handle = 100 + i;
            return UsbXpress::kSuccess;
        });
    return tried;
}

}  // namespace orvanrx::test
