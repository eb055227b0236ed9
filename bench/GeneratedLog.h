#pragma once

#include "decoding/RunTables.h"

namespace orvanrx::bench {

// `races` generated races (seed 7, no radio noise) stored as the decoder stores them, a minute
// apart from 2026-05-02 08:00, so that a long log runs over about a week of days.
RunTables GeneratedLog(int races);

}  // namespace orvanrx::bench
