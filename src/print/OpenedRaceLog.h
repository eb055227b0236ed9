#pragma once

#include "decoding/RunTables.h"
#include "settings/SettingsStore.h"
#include "views/LogGridModel.h"

namespace orvanrx {

// The race log as its window shows it right after the open command, for the exports made
// without the window (orvanrx-cli export; File > Save as... while the window is closed): the
// grid set up as at the window's load with the kept field choices, in all-categories mode,
// every race of `allRuns` grouped by category, and Name fitted to its names in the fonts of
// the printed pages.
void LoadOpenedRaceLog(LogGridModel& grid, const RunTable& allRuns, const SettingsStore& settings);

}  // namespace orvanrx
