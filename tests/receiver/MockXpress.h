#pragma once

#include <gmock/gmock.h>

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

}  // namespace orvanrx::test
