#include <QComboBox>
#include <QGroupBox>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include "gui/AirPanel.h"
#include "gui/MainStatusBar.h"
#include "gui/frmWeather.h"
#include "logbook/Logbook.h"
#include "logbook/Sqlite.h"
#include "settings/SettingsStore.h"
#include "weather/WeatherSettings.h"
#include "weatherlink/WeatherFetcher.h"
#include "weatherlink/WeatherStore.h"

namespace orvanrx {

namespace {

const QString kNow = QStringLiteral("2026-06-13 14:30:00");

// A server on 127.0.0.1 at a free port that answers every request with `answer`.
class OneAnswerServer {
public:
    explicit OneAnswerServer(QByteArray answer) : answer_(std::move(answer)) {
        QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    if (socket->readAll().contains("\r\n\r\n")) {
                        socket->write(answer_);
                        socket->disconnectFromHost();
                    }
                });
            }
        });
        server_.listen(QHostAddress::LocalHost, 0);
    }
    QString Address() const {
        return QStringLiteral("http://127.0.0.1:%1/current").arg(server_.serverPort());
    }

private:
    QTcpServer server_;
    QByteArray answer_;
};

}  // namespace

class frmWeatherTest : public QObject {
    Q_OBJECT

private:
    struct Rig {
        QTemporaryDir dir;
        SettingsStore settings{dir.filePath(QStringLiteral("OrvanRX.ini"))};
        QString logbookPath = dir.filePath(QStringLiteral("logbook.sqlite"));
        WeatherStore store{logbookPath};
        QString address;
        WeatherFetcher fetcher{{[this] { return address; }, [] { return kNow; },
                                [this](const air::WeatherSample& s) { store.Add(s); },
                                [](const QString&) {}, 60 * 60 * 1000, 5000}};

        frmWeather::Parts Parts(bool withFetcher = false) {
            return {store,
                    settings,
                    12,
                    QStringLiteral("MAPLE GROVE"),
                    withFetcher ? &fetcher : nullptr,
                    [] { return kNow; }};
        }
        std::vector<air::WeatherSample> Stored() {
            auto opened = Logbook::Open(logbookPath);
            return opened.logbook ? opened.logbook->Weather() : std::vector<air::WeatherSample>{};
        }
    };

    static void Type(frmWeather& d, const char* temp, const char* moisture, const char* baro,
                     const char* track = "", const char* time = "") {
        d.txtTemp().setText(QString::fromUtf8(temp));
        d.txtMoisture().setText(QString::fromUtf8(moisture));
        d.txtBaro().setText(QString::fromUtf8(baro));
        d.txtTrackTemp().setText(QString::fromUtf8(track));
        d.txtTime().setText(QString::fromUtf8(time));
    }

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void showsTheAirWhileTheRacerTypes() {
        Rig rig;
        frmWeather d(rig.Parts());
        QVERIFY(d.lblAir().text().startsWith(QStringLiteral("Type the temperature")));
        Type(d, "59", "0", "29.92");
        // Standard dry air at sea level: a density altitude about zero.
        QVERIFY2(d.lblAir().text().startsWith(QStringLiteral("Density altitude 0 ft")) ||
                     d.lblAir().text().startsWith(QStringLiteral("Density altitude -10 ft")) ||
                     d.lblAir().text().startsWith(QStringLiteral("Density altitude 10 ft")),
                 qPrintable(d.lblAir().text()));
        const QString cool = d.lblAir().text();
        d.txtTemp().setText(QStringLiteral("95"));
        QVERIFY(d.lblAir().text().contains(QStringLiteral("correction factor")));
        QVERIFY(d.lblAir().text() != cool);
        // Changing the unit reads the same digits again: 95 °C is no weather.
        d.cboTempUnit().setCurrentIndex(1);
        QVERIFY2(d.lblAir().text().contains(QStringLiteral("-50 to 60 °C")),
                 qPrintable(d.lblAir().text()));
        QCOMPARE(d.cboMoisture().itemText(1), QStringLiteral("°C dew point"));
        QVERIFY(rig.Stored().empty());  // typing stores nothing
    }

    void refusesBadValuesAndPutsTheFocusOnTheField_data() {
        QTest::addColumn<QString>("temp");
        QTest::addColumn<QString>("moisture");
        QTest::addColumn<QString>("baro");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("says");
        QTest::newRow("no temperature") << ""
                                        << "40"
                                        << "29.9"
                                        << ""
                                        << "txtTemp"
                                        << "Type";
        QTest::newRow("words") << "hot"
                               << "40"
                               << "29.9"
                               << ""
                               << "txtTemp"
                               << "not a number";
        QTest::newRow("humidity") << "80"
                                  << "140"
                                  << "29.9"
                                  << ""
                                  << "txtMoisture"
                                  << "0 to 100";
        QTest::newRow("hPa as inHg") << "80"
                                     << "40"
                                     << "1013"
                                     << ""
                                     << "txtBaro"
                                     << "looks like hPa";
        QTest::newRow("later") << "80"
                               << "40"
                               << "29.9"
                               << "2026-06-13 18:00"
                               << "txtTime"
                               << "later than now";
        QTest::newRow("no time") << "80"
                                 << "40"
                                 << "29.9"
                                 << "yesterday"
                                 << "txtTime"
                                 << "YYYY-MM-DD HH:MM";
    }

    void refusesBadValuesAndPutsTheFocusOnTheField() {
        QFETCH(QString, temp);
        QFETCH(QString, moisture);
        QFETCH(QString, baro);
        QFETCH(QString, time);
        QFETCH(QString, field);
        QFETCH(QString, says);
        Rig rig;
        frmWeather d(rig.Parts());
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        Type(d, "", "", "");
        d.txtTemp().setText(temp);
        d.txtMoisture().setText(moisture);
        d.txtBaro().setText(baro);
        d.txtTime().setText(time);
        d.cmdStore().click();
        QVERIFY(d.isVisible());
        QCOMPARE(d.result(), int(QDialog::Rejected));
        QVERIFY2(d.lblAir().text().contains(says), qPrintable(d.lblAir().text()));
        QCOMPARE(QApplication::focusWidget()->objectName(), field);
        QVERIFY(rig.Stored().empty());
    }

    void storesTheSampleWithItsTimeAndKeepsTheUnits() {
        Rig rig;
        {
            frmWeather d(rig.Parts());
            QCOMPARE(d.cboTempUnit().currentText(), QStringLiteral("°F"));
            QCOMPARE(d.cboBaroUnit().currentText(), QStringLiteral("inHg"));
            d.cboTempUnit().setCurrentIndex(1);
            d.cboMoisture().setCurrentIndex(1);
            d.cboBaroUnit().setCurrentIndex(1);
            Type(d, "25", "15", "990.5", "41", "9:05");
            d.cmdStore().click();
            QTRY_COMPARE(d.result(), int(QDialog::Accepted));
        }
        const auto stored = rig.Stored();
        QCOMPARE(stored.size(), std::size_t(1));
        const air::WeatherSample& s = stored.front();
        QCOMPARE(s.time, QStringLiteral("2026-06-13 09:05:00"));
        QCOMPARE(s.tempC, 25.0);
        QCOMPARE(*s.dewPointC, 15.0);
        QVERIFY(!s.humidity);
        QCOMPARE(s.baroHpa, 990.5);
        QCOMPARE(*s.trackTempC, 41.0);
        QCOMPARE(s.source, QStringLiteral("typed"));
        const air::WeatherUnits kept = air::ReadWeatherUnits(rig.settings);
        QVERIFY(kept == (air::WeatherUnits{air::TempUnit::Celsius, air::MoistureKind::DewPoint,
                                           air::BaroUnit::Hpa}));
        // The next dialog starts in them; without a time the sample is of now, in °F and inHg
        // converted.
        frmWeather again(rig.Parts());
        QCOMPARE(again.cboTempUnit().currentText(), QStringLiteral("°C"));
        QCOMPARE(again.cboMoisture().currentIndex(), 1);
        again.cboTempUnit().setCurrentIndex(0);
        again.cboMoisture().setCurrentIndex(0);
        again.cboBaroUnit().setCurrentIndex(0);
        Type(again, "77", "50", "29.53");
        again.cmdStore().click();
        QTRY_COMPARE(again.result(), int(QDialog::Accepted));
        const auto both = rig.Stored();
        QCOMPARE(both.size(), std::size_t(2));
        QCOMPARE(both.back().time, kNow);
        QVERIFY(qAbs(both.back().tempC - 25.0) < 1e-9);
        QVERIFY(qAbs(both.back().baroHpa - 29.53 * air::kHpaPerInHg) < 1e-9);
    }

    void keyboardAloneStoresAndEveryControlIsNamed() {
        Rig rig;
        frmWeather d(rig.Parts(true));
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QCOMPARE(QApplication::focusWidget(), &d.txtTemp());
        QVERIFY(d.cmdStore().isDefault());
        for (QWidget* w : d.findChildren<QWidget*>()) {
            if ((qobject_cast<QLineEdit*>(w) != nullptr ||
                 qobject_cast<QComboBox*>(w) != nullptr) &&
                w->accessibleName().isEmpty()) {
                // A control reached by the keyboard is named for a screen reader.
                QFAIL(qPrintable(w->objectName() + QStringLiteral(" has no accessible name")));
            }
        }
        QTest::keyClicks(&d.txtTemp(), QStringLiteral("70"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);  // past the unit
        QCOMPARE(QApplication::focusWidget(), &d.txtMoisture());
        QTest::keyClicks(&d.txtMoisture(), QStringLiteral("50"));
        QTest::keyClick(&d, Qt::Key_B, Qt::AltModifier);  // "&Barometer:"
        QCOMPARE(QApplication::focusWidget(), &d.txtBaro());
        QTest::keyClicks(&d.txtBaro(), QStringLiteral("29.92"));
        QTest::keyClick(&d.txtBaro(), Qt::Key_Return);
        QTRY_COMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(rig.Stored().size(), std::size_t(1));
    }

    void keepsTheTrackPositionAndFetchesNow() {
        Rig rig;
        const QByteArray body =
            R"({"current":{"temperature_2m":27.5,"relative_humidity_2m":48,"surface_pressure":987.6}})";
        OneAnswerServer server(
            "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n"
            "Content-Length: " +
            QByteArray::number(body.size()) + "\r\n\r\n" + body);
        rig.address = server.Address();
        frmWeather d(rig.Parts(true));
        QCOMPARE(d.findChild<QGroupBox*>(QStringLiteral("fraFetch"))->title(),
                 QStringLiteral("Fetch from the internet for MAPLE GROVE (venue 12)"));
        QCOMPARE(d.txtService().text(), QString::fromLatin1(air::kDefaultWeatherServiceUrl));

        d.txtPosition().setText(QStringLiteral("north"));
        d.cmdFetch().click();
        QVERIFY(d.lblFetch().text().contains(QStringLiteral("latitude and the longitude")));
        QVERIFY(!air::ReadTrackPosition(rig.settings, 12));

        d.txtPosition().setText(QStringLiteral("41.4704, -88.1296"));
        QSignalSpy fetched(&rig.fetcher, &WeatherFetcher::Fetched);
        d.cmdFetch().click();
        QVERIFY(fetched.wait(5000));
        QCOMPARE(air::ReadTrackPosition(rig.settings, 12),
                 std::optional<air::TrackPosition>(air::TrackPosition{41.4704, -88.1296}));
        QVERIFY2(d.lblFetch().text().startsWith(QStringLiteral("Fetched: ")),
                 qPrintable(d.lblFetch().text()));
        QTRY_COMPARE(rig.Stored().size(), std::size_t(1));
        const auto stored = rig.Stored();
        QCOMPARE(stored.size(), std::size_t(1));
        QCOMPARE(stored.front().tempC, 27.5);
        QCOMPARE(stored.front().time, kNow);
    }

    // Another program holds the logbook's write lock (an import): Store returns at once, says
    // it is storing while the events keep running, and closes when the sample is in.
    void storingWaitsForABusyLogbookWithItsEventsRunning() {
        Rig rig;
        QVERIFY(Logbook::Open(rig.logbookPath).logbook);
        sql::Database other;
        QVERIFY(other.Open(rig.logbookPath, false, 5000));
        auto lock = std::make_unique<sql::Transaction>(other);
        QVERIFY(lock->Begun());
        frmWeather d(rig.Parts());
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        Type(d, "80", "40", "29.9");
        QElapsedTimer clock;
        clock.start();
        d.cmdStore().click();
        QVERIFY2(clock.elapsed() < 200, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!d.cmdStore().isEnabled());
        QCOMPARE(d.lblAir().text(), QStringLiteral("Storing…"));
        int ticks = 0;
        QTimer tick;
        connect(&tick, &QTimer::timeout, [&ticks] { ++ticks; });
        tick.start(10);
        QTest::qWait(300);
        QVERIFY2(ticks >= 5, qPrintable(QString::number(ticks)));
        QVERIFY(d.isVisible());
        QCOMPARE(d.result(), int(QDialog::Rejected));
        // (Opening another connection would wait here: it takes the write lock for a moment.)
        QVERIFY(rig.store.Samples({}, {}).empty());
        lock.reset();  // the import ends
        QTRY_COMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(rig.Stored().size(), std::size_t(1));
    }

    void aLogbookThatCannotBeOpenedIsNamedAndTheDialogStays() {
        Rig rig;
        const QString path = rig.dir.filePath(QStringLiteral("not-a-logbook.sqlite"));
        QFile garbage(path);
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write(QByteArray(4096, 'x'));
        garbage.close();
        WeatherStore broken(path);
        frmWeather::Parts parts = rig.Parts();
        frmWeather d({broken, parts.settings, parts.venue, parts.trackName, nullptr, parts.now});
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        Type(d, "80", "40", "29.9");
        d.cmdStore().click();
        QTRY_VERIFY(d.lblAir().text().startsWith(QStringLiteral("Not stored: ")));
        QVERIFY2(d.lblAir().text().contains(QStringLiteral("not-a-logbook.sqlite")),
                 qPrintable(d.lblAir().text()));
        QVERIFY(d.cmdStore().isEnabled());
        QVERIFY(d.isVisible());
        QCOMPARE(d.result(), int(QDialog::Rejected));
    }

    // The air panel reads the logbook when a sample is stored and on its slow timer, shows the
    // air only while a sample is within two hours, and says it all in its tool tip.
    void airPanelFollowsTheSamples() {
        Rig rig;
        QDateTime now = QDateTime::fromString(kNow, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        MainStatusBar bar;
        bar.AttachStatusControls();
        auto* panel = new AirPanel(rig.store, [&now] { return now; });
        bar.AddAirPanel(panel);
        bar.resize(1200, 24);
        bar.show();
        panel->Refresh();
        QVERIFY(panel->isHidden());

        // Every change told is read again (the first may be the logbook's opening).
        QSignalSpy changes(&rig.store, &WeatherStore::SamplesChanged);
        QSignalSpy stored(&rig.store, &WeatherStore::Stored);
        const int reads = panel->Reads();
        air::WeatherSample s;
        s.time = QStringLiteral("2026-06-13 13:30:00");
        s.tempC = 24.0;
        s.humidity = 40.0;
        s.baroHpa = 985.0;
        s.source = QStringLiteral("typed");
        rig.store.Add(s);
        s.time = QStringLiteral("2026-06-13 14:25:00");
        s.tempC = 29.0;
        rig.store.Add(s);
        QTRY_COMPARE(stored.size(), 2);
        QVERIFY(changes.size() >= 2);
        QCOMPARE(panel->Reads(), reads + int(changes.size()));
        QVERIFY(!panel->isHidden());
        QVERIFY2(panel->text().startsWith(QStringLiteral("DA ")), qPrintable(panel->text()));
        QVERIFY2(panel->text().endsWith(QStringLiteral("\u25B2")), qPrintable(panel->text()));
        QVERIFY(panel->toolTip().contains(QStringLiteral("rising")));
        QVERIFY(panel->toolTip().contains(QStringLiteral("Sample of 2026-06-13 14:25:00 (typed)")));
        QVERIFY(panel->accessibleName().startsWith(QStringLiteral("Air: DA ")));
        // Left of the receiver's panels.
        QVERIFY(panel->geometry().right() <
                bar.findChild<QWidget*>(QStringLiteral("picStatus"))->x());

        // Short of room it gives way: the figure and the trend, then the trend alone.
        const QString full = panel->text();
        const QString compact = full.mid(3).remove(QStringLiteral(" ft")).remove(u' ');
        const int margins = panel->contentsMargins().left() + panel->contentsMargins().right();
        const struct {
            int width;
            QString shown;
        } widths[] = {
            {panel->fontMetrics().horizontalAdvance(full) + margins, full},
            {panel->fontMetrics().horizontalAdvance(compact) + margins, compact},
            {panel->minimumSizeHint().width(), QStringLiteral("\u25B2")},
            {margins, QString()},
        };
        for (const auto& w : widths) {
            panel->resize(w.width, panel->height());
            QCOMPARE(panel->ShownText(), w.shown);
        }
        QVERIFY(compact.contains(u','));

        now = now.addSecs(2 * 60 * 60 + 60);  // over two hours after the last sample
        panel->Refresh();
        QVERIFY(panel->isHidden());
        QVERIFY(panel->toolTip().isEmpty());
    }
};

}  // namespace orvanrx

QTEST_MAIN(orvanrx::frmWeatherTest)
#include "frmWeatherTest.moc"
