#include "PitViewCommand.h"

#include "Commands.h"
#include "pitview/PitViewKey.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"

namespace orvanrx::cli {

std::unique_ptr<PitViewService> MakePitView(const PitViewStart& start, PollObserver& next,
                                            const SettingsStore& settings) {
    if (!start.port) {
        return nullptr;
    }
    return std::make_unique<PitViewService>(next, settings);
}

bool StartPitView(PitViewService& pitView, const PitViewStart& start, const RunTables& tables,
                  Console& console) {
    pitView.Attach(tables);
    const QHostAddress address =
        start.listen.isEmpty() ? QHostAddress(QHostAddress::Any) : QHostAddress(start.listen);
    if (!pitView.Start(start.port.value_or(kDefaultPitViewPort), address)) {
        console.err << "Pit view: cannot listen on port " << start.port.value_or(0) << ": "
                    << pitView.ErrorString() << '\n';
        console.err.flush();
        return false;
    }
    const QString host = start.listen.isEmpty() ? PitViewHosts().constFirst() : start.listen;
    console.out << "Pit view: " << PitViewAddress(host, pitView.Port(), pitView.Key()) << '\n';
    console.out.flush();
    return true;
}

int RunPitView(const PitViewOptions& options, Console& console) {
    const SettingsStore settings = SettingsStore::ForCurrentUser();
    const QString key = options.renew ? RenewPitViewKey(settings) : ReadPitViewKey(settings);
    // A key that did not reach the store would not let anybody in: say so.
    if (settings.QueryValue(kPitViewKey, kPitViewAccessKeyValue) != key) {
        console.err << "The key could not be kept in " << settings.Location() << '\n';
        return kExitFailure;
    }
    console.out << key << '\n';
    return kExitOk;
}

}  // namespace orvanrx::cli
