#pragma once

#include <array>

#include "decoding/RunRecord.h"
#include "sim/PacketBuilder.h"
#include "sim/RaceCard.h"

// A race of the card as the timing system puts it into its memory image, and as the PC's
// decoder should read it back.
namespace orvanrx {

// The stages in which the timing system fills a race's RunBlock: 0 category, entrants and the
// labels of every figure; 1 dial-ins or bump; 2 reaction times and 60-foot times; 3 330-foot,
// 1/8-mile time and speed; 4 1000-foot, 1/4-mile time and speed; 5 the result with win marks.
inline constexpr int kRaceStages = 6;
inline constexpr int kRunBlockPackets = 16;

using RunBlockPackets = std::array<PacketBytes, kRunBlockPackets>;

// The race's 16 Packets as they stand once the given stage is written (Packet 0 byte 0 holds
// the Packet count; figures of later stages are blank areas under their labels).
RunBlockPackets RunBlockAtStage(const CardRace& race, int stage);

// The race as the decoder reads it once its last stage is in.
RunRecord ExpectedRecord(const CardRace& race);

}  // namespace orvanrx
