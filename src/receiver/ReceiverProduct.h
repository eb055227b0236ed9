#pragma once

#include <cstdint>

// What identifies the receiver and the radio channels it tunes to: shared by the receiver link
// and the simulated receiver, which plays the same device.
namespace orvanrx {

// The receiver's two radio channels.
inline constexpr std::int32_t kChannel1Frequency = 217600000;
inline constexpr std::int32_t kChannel2Frequency = 217300000;

// The product text that identifies the receiver, compared exactly (case-sensitive).
inline constexpr char kReceiverProductText[] = "ORVAN01 USB Receiver";

}  // namespace orvanrx
