#include "logbook/TrackNames.h"

#include "settings/SettingsKeys.h"

namespace orvanrx {

QString TrackNameOf(const SettingsStore& settings, int venue) {
    const QString name = settings.QueryValue(kTrackNamesKey, QString::number(venue));
    return name == QLatin1String(kNoKeyValue) ? QString() : name.trimmed();
}

void SetTrackName(const SettingsStore& settings, int venue, const QString& name) {
    settings.SetKeyValue(kTrackNamesKey, QString::number(venue), name.trimmed(), ValueType::RegSz);
}

}  // namespace orvanrx
