#pragma once

#include <memory>

#include "Arguments.h"
#include "CliSupport.h"
#include "pitview/PitViewService.h"

namespace orvanrx::cli {

// The pit view of `log` or `replay`, when the command line asks for it: created before the
// station (its feed passes the poll loop's news on to `next`), nothing otherwise.
std::unique_ptr<PitViewService> MakePitView(const PitViewStart& start, PollObserver& next,
                                            const SettingsStore& settings);

// Starts listening and prints "Pit view: ADDRESS"; false (and the reason on stderr) when the
// port cannot be used.
bool StartPitView(PitViewService& pitView, const PitViewStart& start, const RunTables& tables,
                  Console& console);

}  // namespace orvanrx::cli
