#pragma once

#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <vector>

#include "gui/frmMain.h"
#include "settings/SettingsStore.h"
#include "shell/Station.h"
#include "shell/StationForwarders.h"
#include "sim/SimulatedXpress.h"

namespace orvanrx::test {

// The desktop program as main() builds it, on a receiver that sends nothing: a station with
// its settings in a temporary folder, and main windows over it.
struct DesktopStation {
    DesktopStation()
        : settings(dir.filePath(QStringLiteral("OrvanRX.ini"))),
          station(Station::Setup{sim, settings, forwarders.indicators, forwarders.observer,
                                 SystemClock(), sim.Clock()}) {}

    DesktopStation(const DesktopStation&) = delete;
    DesktopStation& operator=(const DesktopStation&) = delete;

    // The main window loaded from the temporary data folder, its poll timer stopped (the test
    // drives the station), shown at a laptop's size.
    std::unique_ptr<frmMain> OpenWindow() {
        auto window = std::make_unique<frmMain>(station, forwarders, settings);
        window->resize(1300, 800);
        window->Load(dir.filePath(QStringLiteral("data")));
        window->tmrMain().stop();
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get())) {
            qWarning("the main window was not shown");
        }
        return window;
    }
    static void Close(std::unique_ptr<frmMain>& window) {
        window->Unload();
        window.reset();
    }

    QTemporaryDir dir;
    SettingsStore settings;
    StationForwarders forwarders;
    SimulatedXpress sim{std::vector<trace::Step>{}};
    Station station;
};

}  // namespace orvanrx::test
