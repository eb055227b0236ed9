#include "shell/DataReply.h"

#include "decoding/ByteOrder.h"

namespace orvanrx {

DataReplyResult ApplyDataReply(const ReplyBuffer& reply, ReceiveBuffer& buffer,
                               std::int16_t& currentVenue) {
    DataReplyResult result;
    if (reply[0] != kDataReplyMarker) {
        return result;
    }
    if (reply[1] != currentVenue) {
        ClearReceiveBuffer(buffer);
        currentVenue = reply[1];
        result.venueChanged = true;
    }
    result.address = BigEndianInt16(reply[2], reply[3]);
    for (int k = 0; k < kDataBytesPerReply; ++k) {
        if (!buffer.Set(result.address + k, reply[static_cast<std::size_t>(4 + k)])) {
            result.kind = DataReplyResult::Kind::OutOfRange;
            return result;
        }
    }
    result.kind = DataReplyResult::Kind::Stored;
    return result;
}

}  // namespace orvanrx
