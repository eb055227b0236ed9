// Every dialog opens with the keyboard focus on its default control, offscreen.

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <memory>

#include "SimReceiver.h"
#include "gui/frmAbout.h"
#include "gui/frmChangeChannel.h"
#include "gui/frmMyCar.h"
#include "gui/frmPitView.h"
#include "gui/frmWeather.h"
#include "pitview/PitViewService.h"
#include "settings/SettingsStore.h"
#include "weatherlink/WeatherStore.h"

namespace orvanrx {

using test::SimReceiver;

namespace {

// What a dialog needs to be built: a receiver, the pit view's service, settings and the
// weather's store.
struct Rig {
    QTemporaryDir dir;
    SettingsStore settings{dir.filePath(QStringLiteral("OrvanRX.ini"))};
    PollObserver views;
    PitViewService service{views, settings};
    SimReceiver receiver{std::vector<trace::Step>{}};
    WeatherStore weather{dir.filePath(QStringLiteral("logbook.sqlite"))};
};

using MakeDialog = std::function<std::unique_ptr<QDialog>(Rig&)>;

}  // namespace

}  // namespace orvanrx

Q_DECLARE_METATYPE(orvanrx::MakeDialog)

namespace orvanrx {

class DialogFocusTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void opensOnItsDefaultControl_data() {
        QTest::addColumn<MakeDialog>("make");
        QTest::addColumn<QString>("focused");
        QTest::newRow("About") << MakeDialog([](Rig& rig) {
            return std::make_unique<frmAbout>(rig.receiver.receiver);
        }) << QStringLiteral("cmdOK");
        QTest::newRow("Change Channel") << MakeDialog([](Rig& rig) {
            return std::make_unique<frmChangeChannel>(rig.receiver.receiver);
        }) << QStringLiteral("cboChannel");
        QTest::newRow("My Car") << MakeDialog([](Rig&) {
            return std::make_unique<frmMyCar>(QStringList{QStringLiteral("77A")});
        }) << QStringLiteral("txtNumbers");
        QTest::newRow("Pit View") << MakeDialog([](Rig& rig) {
            return std::make_unique<frmPitView>(rig.service, rig.settings, nullptr,
                                                [](QWidget*, quint16) { return false; });
        }) << QStringLiteral("chkServe");
        QTest::newRow("Weather") << MakeDialog([](Rig& rig) {
            return std::make_unique<frmWeather>(
                frmWeather::Parts{rig.weather, rig.settings, 1, {}, nullptr, [] {
                                      return QStringLiteral("2026-06-13 14:30:00");
                                  }});
        }) << QStringLiteral("txtTemp");
    }
    void opensOnItsDefaultControl() {
        QFETCH(MakeDialog, make);
        QFETCH(QString, focused);
        Rig rig;
        const std::unique_ptr<QDialog> dialog = make(rig);
        dialog->show();
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus != nullptr);
        QCOMPARE(focus->objectName(), focused);
        QCOMPARE(focus->window(), dialog.get());
        QVERIFY(focus->focusPolicy() & Qt::TabFocus);
        dialog->close();
    }
};

}  // namespace orvanrx

QTEST_MAIN(orvanrx::DialogFocusTest)
#include "DialogFocusTest.moc"
