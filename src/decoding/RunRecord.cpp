#include "decoding/RunRecord.h"

#include <tuple>

namespace orvanrx {

namespace {

auto RaceData(const RunRecord& r) {
    return std::tie(r.BumpL, r.BumpR, r.DialL, r.DialR, r.RTL, r.RTR, r.et60L, r.et60R, r.et330L,
                    r.et330R, r.et660L, r.et660R, r.mph660L, r.mph660R, r.et1000L, r.et1000R,
                    r.mph1000L, r.mph1000R, r.et1320L, r.et1320R, r.mph1320L, r.mph1320R, r.marginL,
                    r.marginR, r.overundL, r.overundR, r.winL, r.winR);
}

}  // namespace

bool RunRecord::SameRaceData(const RunRecord& other) const {
    return RaceData(*this) == RaceData(other);
}

}  // namespace orvanrx
