#pragma once

#include <QString>
#include <optional>

#include "decoding/ReceiveBuffer.h"

namespace orvanrx {

// The time slip as the broadcaster laid it out: one line per Packet of the RunBlock from
// Packet 2 (the category) up to and including the last Packet the block header counts, each
// line the Packet's bytes 0..19 filtered to printable characters, followed by CR LF and one
// blank. The checksum is not tested, so a half-received line shows as it stands and is
// corrected by a later refresh.
//
// Nothing when the RunBlockPointer or the Packet count runs outside the mirror; the time slip
// window closes itself on that.
std::optional<QString> TimeSlipText(const ReceiveBuffer& buffer);

}  // namespace orvanrx
