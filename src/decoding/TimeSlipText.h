#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "decoding/ReceiveBuffer.h"

namespace orvanrx {

// The time slip as the broadcaster laid it out: one line per Packet of the RunBlock from
// Packet 2 (the category) up to and including the last Packet the block header counts, each
// line the Packet's bytes 0..20 filtered to printable characters, followed by CR LF and one
// blank. The checksum is not tested, so a half-received line shows as it stands and is
// corrected by a later refresh.
//
// Nothing when the RunBlockPointer or the Packet count runs outside the mirror; the time slip
// window closes itself on that.
std::optional<QString> TimeSlipText(const ReceiveBuffer& buffer);

// Characters of one line of the time slip: `length` characters from `column`. Lines are
// counted from 0 as the text splits at its line breaks; every line after the first starts
// with the blank that follows the break.
struct TimeSlipSpan {
    int line = 0;
    int column = 0;
    int length = 0;
    friend bool operator==(const TimeSlipSpan&, const TimeSlipSpan&) = default;
};

// Where one lane ('L' or 'R') stands on the time slip TimeSlipText gives for the same mirror:
// the whole line of its lane entry (Packet 3 or 4) and, on each value line (Packets 5 to 15),
// the characters of its value area (bytes 5..12 for the left lane, 13..20 for the right). Lines
// whose area shows no character have no span. Nothing where TimeSlipText gives nothing.
std::optional<std::vector<TimeSlipSpan>> TimeSlipLaneSpans(const ReceiveBuffer& buffer, QChar lane);

}  // namespace orvanrx
