#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QSpinBox>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include "gui/PitViewQr.h"
#include "gui/frmPitView.h"
#include "pitview/PitViewKey.h"
#include "pitview/PitViewService.h"
#include "settings/SettingsStore.h"

namespace orvanrx {

class frmPitViewTest : public QObject {
    Q_OBJECT

private:
    struct Rig {
        QTemporaryDir dir;
        SettingsStore settings{dir.filePath(QStringLiteral("OrvanRX.ini"))};
        PollObserver views;
        PitViewService service{views, settings};
        RunTables tables;
        int asked = 0;
        bool answer = true;
        Rig() {
            service.Attach(tables);
            service.SetListenAddress(QHostAddress::LocalHost);
        }
        frmPitView::Question Ask() {
            return [this](QWidget*, quint16) {
                ++asked;
                return answer;
            };
        }
    };

private Q_SLOTS:
    void asksOnceBeforeListeningAndKeepsTheChoice() {
        Rig rig;
        rig.answer = false;
        frmPitView dialog(rig.service, rig.settings, nullptr, rig.Ask());
        QCOMPARE(dialog.spnPort().value(), int(kDefaultPitViewPort));
        dialog.spnPort().setValue(0);  // below the range: the lowest port allowed
        QCOMPARE(dialog.spnPort().value(), 1024);
        // An ephemeral port keeps the test clear of other programs.
        dialog.spnPort().setMaximum(65535);
        dialog.spnPort().setValue(40000 + QRandomGenerator::global()->bounded(20000));
        dialog.chkServe().setChecked(true);
        QCOMPARE(rig.asked, 1);
        QVERIFY(!dialog.chkServe().isChecked());  // the racer said no
        QVERIFY(!rig.service.Running());
        QVERIFY(!ReadPitViewEnabled(rig.settings));

        rig.answer = true;
        dialog.chkServe().setChecked(true);
        QCOMPARE(rig.asked, 2);
        QVERIFY(rig.service.Running());
        QVERIFY(ReadPitViewEnabled(rig.settings));
        QVERIFY(ReadPitViewNetworkAgreed(rig.settings));
        QCOMPARE(ReadPitViewPort(rig.settings), quint16(dialog.spnPort().value()));
        const QString address = dialog.lblAddress().text();
        QVERIFY2(address.endsWith(QStringLiteral("?key=") + ReadPitViewKey(rig.settings)),
                 qPrintable(address));
        QVERIFY(address.contains(QStringLiteral(":%1/").arg(dialog.spnPort().value())));
        QVERIFY(!dialog.picCode().pixmap().isNull());

        dialog.chkServe().setChecked(false);
        QVERIFY(!rig.service.Running());
        QVERIFY(!ReadPitViewEnabled(rig.settings));
        dialog.chkServe().setChecked(true);
        QCOMPARE(rig.asked, 2);  // asked once only
        QVERIFY(rig.service.Running());
    }

    void listsThePhonesConnected() {
        Rig rig;
        QVERIFY(rig.service.Start(0, QHostAddress::LocalHost));
        frmPitView dialog(rig.service, rig.settings, nullptr, rig.Ask());
        QVERIFY(dialog.chkServe().isChecked());
        QCOMPARE(dialog.lstPhones().count(), 1);
        QCOMPARE(dialog.lstPhones().item(0)->text(), QStringLiteral("None"));
        QTcpSocket phone;
        phone.connectToHost(QHostAddress::LocalHost, rig.service.Port());
        QVERIFY(phone.waitForConnected(5000));
        phone.write("GET /live?key=" + rig.service.Key().toLatin1() +
                    " HTTP/1.1\r\nHost: pit\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                    "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"
                    "Sec-WebSocket-Version: 13\r\n\r\n");
        QTRY_VERIFY(dialog.lstPhones().item(0)->text().startsWith(QStringLiteral("127.0.0.1")));
        phone.abort();
        QTRY_COMPARE(dialog.lstPhones().item(0)->text(), QStringLiteral("None"));
        const int hold = qEnvironmentVariableIntValue("ORVANRX_PITVIEW_DIALOG_HOLD_MS");
        if (hold > 0) {
            // For a screenshot of the dialog on a real display.
            dialog.show();
            QTest::qWait(hold);
        }
    }

    void qrCodesCarryQuietZoneAndScale() {
        const QImage code = PitViewQrImage(QStringLiteral("http://192.168.1.20:8400/?key=00"), 4);
        QVERIFY(!code.isNull());
        QCOMPARE(code.width(), code.height());
        QCOMPARE(code.width() % 4, 0);
        QCOMPARE(code.pixel(0, 0), qRgb(255, 255, 255));            // quiet zone
        QCOMPARE(code.pixel(16, 16), qRgb(0, 0, 0));                // finder pattern corner
        QCOMPARE(code.pixel(16 + 4 * 7, 16), qRgb(255, 255, 255));  // its separator
        QVERIFY(PitViewQrImage(QStringLiteral("x"), 0).isNull());
    }
};

}  // namespace orvanrx

QTEST_MAIN(orvanrx::frmPitViewTest)
#include "frmPitViewTest.moc"
