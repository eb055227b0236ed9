#pragma once

#include <cstdint>
#include <vector>

#include "decoding/RunRecord.h"
#include "trace/TraceStep.h"

namespace orvanrx {

struct RaceDayOptions {
    int races = 10;            // races in the day; clamped to 0..10000
    std::uint32_t seed = 1;    // the same seed always gives the same day
    double noise = 0.0;        // chance that a reply's data is corrupted; clamped to 0..0.9
    bool venueChange = false;  // once during the day the receiver reports a new venue byte
};

struct RaceDay {
    // The receiver trace: one DataReply per poll (and now and then an idle answer), with a
    // comment naming each race.
    std::vector<trace::Step> steps;
    // The races in the order they were run, each as the decoder reads it once finished.
    std::vector<RunRecord> races;
    int corruptedReplies = 0;
};

// A day at the strip as the venue's timing system broadcasts it and the receiver forwards it.
//
// Each race goes into the 32 KB image in stages: a new RunBlock of 16 Packets with the
// category, the entrants and the labels of every figure, written where the last race was not;
// then the RunBlockPointer (bytes 2..3) is switched to it; then the dial-ins or the bump spot,
// the reaction and 60-foot times, the 1/8-mile figures, the 1/4-mile figures and finally the
// margin or over/under with the win marks. The receiver forwards every changed piece of each
// stage before the next stage is written, so the PC never reads a RunBlock whose entrants are
// not all in, and it sends the pointer only after the block it names.
//
// Between races a scroll message may appear (its text at an offset M in the header page, M in
// bytes 260..261, byte 262 not 0xFF) or go (byte 262 back to 0xFF). With `venueChange`, the
// venue byte changes once, between two stages of a race chosen by the seed, and everything in
// use is forwarded again, the pointers last.
//
// Noise never touches the header page (offsets 0..511: the pointers, the no-message marker and
// the scroll message) nor the lane entries of the races on show, which the PC cannot afford to
// lose: a RunBlockPointer gone wrong points the decoder at another block, and a lane entry
// that fails its checksum after its race was first written makes the decoder take the next
// decode for a new race.
RaceDay GenerateRaceDay(const RaceDayOptions& options);

}  // namespace orvanrx
