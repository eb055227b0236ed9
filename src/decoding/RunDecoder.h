#pragma once

#include <QString>
#include <optional>

#include "decoding/ReceiveBuffer.h"
#include "decoding/RunRecord.h"
#include "decoding/RunTables.h"

namespace orvanrx {

// Offsets of the RunBlock's Packets relative to the RunBlockPointer H: Packet k is at H + 24k.
namespace packet {
inline constexpr int kHeader = 0;      // byte 0: the number of Packets in the block
inline constexpr int kCategory = 2;    // 16 printable characters
inline constexpr int kLeftEntry = 3;   // "L[class:car]name"
inline constexpr int kRightEntry = 4;  // "R[class:car]name"
inline constexpr int kDialOrBump = 6;  // "D" or "B" at byte 1
inline constexpr int kReaction = 7;    // then et60, et330, et660, mph660, et1000, et1320, mph1320
inline constexpr int kResult = 15;     // "M" at byte 0 (margin) or "+" at byte 2 (over/under)
inline constexpr int kCount = 16;
}  // namespace packet

// Class, car number and driver of one lane.
struct LaneEntry {
    QString Class;
    QString Car;
    QString Name;
    friend bool operator==(const LaneEntry&, const LaneEntry&) = default;
};

// Parses a lane entry text such as "L[SS:1234]JOHN DOE" (already filtered to printable
// characters). `lane` is 'L' or 'R'. Nothing when the text does not start with that lane's
// "L[" / "R[". Class is the text up to ":", Car up to "]", Name the rest, each trimmed of
// blanks; a missing ":" or "]" drops the character after where it should have been.
std::optional<LaneEntry> ParseLaneEntry(const QString& text, QChar lane);

// Reads the latest race out of the mirror. Nothing when the mirror holds no storable race:
// no category, an entry Packet of the wrong lane, no car number in either lane, or a RunBlock
// that is not wholly inside the mirror. Packets that fail their checksum leave their fields
// empty.
std::optional<RunRecord> DecodeRunRecord(const ReceiveBuffer& buffer);

// Decodes the latest race and stores it; true when the run tables changed.
bool DecodeRun(const ReceiveBuffer& buffer, RunTables& tables);

}  // namespace orvanrx
