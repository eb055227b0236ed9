#pragma once

#include <array>
#include <cstdint>

#include "decoding/ReceiveBuffer.h"
#include "receiver/ReceiverProtocol.h"

namespace orvanrx {

// The reply to the poll command as the loop keeps it: 17 bytes, of which a data reply uses 12:
//   0      0xFA marks a data reply; anything else means there is nothing to store
//   1      venue byte
//   2..3   big-endian signed address A
//   4..11  the receiver's memory bytes A..A+7
// A read that delivers fewer bytes leaves the rest of the previous reply in place.
using ReplyBuffer = std::array<std::uint8_t, 17>;

// kDataReplyMarker, kDataReplyLength and kDataBytesPerReply come from the protocol header.

struct DataReplyResult {
    enum class Kind {
        NotDataReply,  // byte 0 is not 0xFA: nothing stored
        Stored,        // all eight bytes stored at `address`
        OutOfRange,    // the address ran outside the mirror: the bytes before that stay stored
    };
    Kind kind = Kind::NotDataReply;
    int address = 0;
    bool venueChanged = false;
};

// Stores a data reply into the mirror. A venue byte other than `currentVenue` first clears the
// whole mirror and becomes the current venue, so the mirror never mixes two venues' data.
DataReplyResult ApplyDataReply(const ReplyBuffer& reply, ReceiveBuffer& buffer,
                               std::int16_t& currentVenue);

}  // namespace orvanrx
