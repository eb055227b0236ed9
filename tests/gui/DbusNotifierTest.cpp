// The D-Bus notifier against a notification service of the test's own on a private bus: the
// call it makes, the id it keeps for the next one, and no service or no bus at all.

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QVariantMap>
#include <QtTest>
#include <memory>

#include "gui/DbusNotifier.h"

using namespace orvanrx;

// org.freedesktop.Notifications as a desktop offers it, recording every call.
class FakeNotificationService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Call {
        QString appName;
        uint replacesId;
        QString icon;
        QString summary;
        QString body;
        int timeout;
    };
    std::vector<Call> calls;

public Q_SLOTS:
    uint Notify(const QString& appName, uint replacesId, const QString& icon,
                const QString& summary, const QString& body, const QStringList& /*actions*/,
                const QVariantMap& /*hints*/, int timeout) {
        calls.push_back({appName, replacesId, icon, summary, body, timeout});
        return 40 + static_cast<uint>(calls.size());
    }
};

class DbusNotifierTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty()) {
            QSKIP("no dbus-daemon to run a private bus");
        }
        bus.start(daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"),
                           QStringLiteral("--print-address")});
        QVERIFY(bus.waitForStarted());
        QVERIFY(bus.waitForReadyRead(5000));
        address = QString::fromUtf8(bus.readLine()).trimmed();
        QVERIFY(address.startsWith(QStringLiteral("unix:")));
    }
    void cleanupTestCase() {
        QDBusConnection::disconnectFromBus(QStringLiteral("service"));
        QDBusConnection::disconnectFromBus(QStringLiteral("desktop"));
        bus.kill();
        bus.waitForFinished();
    }

    void theServiceGetsTheTextsAndTheNextCallReplacesTheLast() {
        QDBusConnection service = QDBusConnection::connectToBus(address, QStringLiteral("service"));
        QVERIFY(service.isConnected());
        FakeNotificationService fake;
        QVERIFY(service.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &fake,
                                       QDBusConnection::ExportAllSlots));
        QVERIFY(service.registerService(QStringLiteral("org.freedesktop.Notifications")));

        DbusNotifier notifier(QDBusConnection::connectToBus(address, QStringLiteral("desktop")));
        notifier.Notify(QStringLiteral("Car 1234 in the left lane"),
                        QStringLiteral("SUPER PRO E1 against 567 JANE ROE"));
        QTRY_COMPARE(fake.calls.size(), std::size_t{1});
        const FakeNotificationService::Call& first = fake.calls[0];
        QCOMPARE(first.appName, QStringLiteral("OrvanRX"));
        QCOMPARE(first.replacesId, 0u);
        QCOMPARE(first.summary, QStringLiteral("Car 1234 in the left lane"));
        QCOMPARE(first.body, QStringLiteral("SUPER PRO E1 against 567 JANE ROE"));
        QCOMPARE(first.timeout, DbusNotifier::kShowMs);
        QTRY_COMPARE(notifier.LastId(), 41u);

        notifier.Notify(QStringLiteral("Car 1234 in the right lane"), QString());
        QTRY_COMPARE(fake.calls.size(), std::size_t{2});
        QCOMPARE(fake.calls[1].replacesId, 41u);
        QTRY_COMPARE(notifier.LastId(), 42u);

        // The service gone: the call fails on the bus, later, and changes nothing.
        QVERIFY(service.unregisterService(QStringLiteral("org.freedesktop.Notifications")));
        QElapsedTimer sent;
        sent.start();
        notifier.Notify(QStringLiteral("nobody listens"), QString());
        QVERIFY(sent.elapsed() < 100);
        QTest::qWait(200);
        QCOMPARE(fake.calls.size(), std::size_t{2});
        QCOMPARE(notifier.LastId(), 42u);
    }

    void withoutABusNothingIsSent() {
        DbusNotifier notifier(QDBusConnection(QStringLiteral("never connected")));
        notifier.Notify(QStringLiteral("Car 1"), QStringLiteral("PRO E1"));
        QTest::qWait(50);
        QCOMPARE(notifier.LastId(), 0u);
    }

private:
    QProcess bus;
    QString address;
};

QTEST_MAIN(DbusNotifierTest)
#include "DbusNotifierTest.moc"
