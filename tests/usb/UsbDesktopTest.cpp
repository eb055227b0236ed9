// The desktop program's main window on the real USB path, offscreen: its status bar follows
// the emulated receiver as it is opened, refreshed, pulled out and plugged in again.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>

#include "EmulatedReceiver.h"
#include "gui/StatusLamp.h"
#include "gui/frmMain.h"
#include "settings/SettingsStore.h"
#include "shell/Station.h"
#include "shell/StationForwarders.h"

namespace orvanrx {
namespace {

TEST(UsbDesktop, StatusBarFollowsTheReceiver) {
    ORVANRX_NEEDS_EMULATED_RECEIVER(device);
    int argc = 1;
    char name[] = "orvanrx_usb_tests";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);

    QTemporaryDir dir;
    const QString trace = dir.filePath(QStringLiteral("status.trace"));
    QFile file(trace);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("frequency 217300000\nstatus 07\nsignal 100\nidle 100000\n");
    file.close();
    ASSERT_TRUE(device.Do("trace " + trace.toStdString()));

    SettingsStore settings(dir.filePath(QStringLiteral("config/OrvanRX.ini")));
    LibusbXpress usb;
    StationForwarders forwarders;
    Station station(Station::Setup{usb, settings, forwarders.indicators, forwarders.observer,
                                   SystemClock(), SteadyMilliseconds()});
    frmMain window(station, forwarders, settings);
    // Ten poll cycles a timeout: the receiver answers at once, and a status refresh comes
    // every 100 cycles.
    window.SetCyclesPerTimeout(10);
    window.Load(dir.filePath(QStringLiteral("data")));
    window.show();

    auto* frequency = window.findChild<QLabel*>(QStringLiteral("lblFrequency"));
    auto* panel = window.findChild<QLabel*>(QStringLiteral("lblOrvanUSB"));
    auto* cd = window.findChild<StatusLamp*>(QStringLiteral("txtCD"));
    auto* ef = window.findChild<StatusLamp*>(QStringLiteral("txtEF"));
    auto* ff = window.findChild<StatusLamp*>(QStringLiteral("txtFF"));
    auto* signal = window.findChild<QProgressBar*>(QStringLiteral("usbSignal"));
    ASSERT_TRUE(frequency && panel && cd && ef && ff && signal);

    EXPECT_TRUE(
        QTest::qWaitFor([&] { return frequency->text() == QStringLiteral("Channel 2"); }, 10000))
        << frequency->text().toStdString();
    EXPECT_TRUE(panel->isEnabled());
    EXPECT_TRUE(cd->Lit());
    EXPECT_TRUE(ef->Lit());
    EXPECT_FALSE(ff->Lit());
    EXPECT_EQ(signal->value(), SignalLevel(100));

    ASSERT_TRUE(device.Do("unplug"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !panel->isEnabled(); }, 5000));
    EXPECT_EQ(frequency->text(), QStringLiteral("Channel ?"));

    ASSERT_TRUE(device.Do("plug"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel->isEnabled(); }, 5000));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return frequency->text() == QStringLiteral("Channel 2"); }, 10000))
        << frequency->text().toStdString();
    window.Unload();
}

}  // namespace
}  // namespace orvanrx
