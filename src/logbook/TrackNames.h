#pragma once

#include <QLatin1String>
#include <QString>

#include "settings/SettingsStore.h"

// The racer names each track once: the venue byte its timing system broadcasts, kept in the
// settings under "SOFTWARE\OrvanRX\Logbook\Tracks\" as a value named by the venue's number
// ("12" = "MAPLE GROVE"). Races heard at a venue without a name go into the logbook with no
// track; naming it later (or importing with a track) gives them one.
namespace orvanrx {

inline constexpr QLatin1String kTrackNamesKey{"SOFTWARE\\OrvanRX\\Logbook\\Tracks\\"};

// The name of the venue's track; empty when it has none.
QString TrackNameOf(const SettingsStore& settings, int venue);
void SetTrackName(const SettingsStore& settings, int venue, const QString& name);

}  // namespace orvanrx
