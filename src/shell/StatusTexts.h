#pragma once

#include <QString>
#include <cstdint>
#include <optional>

#include "decoding/ReceiveBuffer.h"
#include "receiver/Receiver.h"

namespace orvanrx {

// "Channel 1", "Channel 2", or "Channel ?" for any other frequency (0 and -1 included).
QString ChannelCaption(std::int32_t frequency);

// What the scroll-message marquee should do after a status refresh.
struct ScrollMessageUpdate {
    bool visible = false;
    // The new text; nothing when the marquee keeps the text it has (a length over 250, or a
    // message pointer or text that runs outside the mirror).
    std::optional<QString> text;
};

inline constexpr int kMaxScrollMessageLength = 250;

// The venue's scroll message from the mirror: hidden while byte 262 is 0xFF; otherwise shown,
// its text the printable characters of the L bytes after the length byte L at MessagePointer.
ScrollMessageUpdate ReadScrollMessage(const ReceiveBuffer& buffer);

}  // namespace orvanrx
