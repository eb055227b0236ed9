#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "gui/Appearance.h"
#include "gui/ColorValue.h"
#include "gui/Twips.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"

namespace orvanrx {

namespace {

const QString kKey = kRaceLogScreenSettingsKey;

}  // namespace

class AppearanceTest : public QObject {
    Q_OBJECT

private:
    // A new store object for every read, so each value is seen to come from the file.
    QString Stored(const QString& valueName, const QString& keyPath = kKey) const {
        return SettingsStore(path_).QueryValue(keyPath, valueName);
    }
    void Store(const QString& valueName, const QString& text, const QString& keyPath = kKey) {
        store_->SetKeyValue(keyPath, valueName, text, ValueType::RegSz);
    }
    // A child window of the shown MDI area at (x, y) with size w x h, in pixels.
    QMdiSubWindow* Child(QRect geometry = QRect(30, 40, 300, 200)) {
        auto* window = area_->addSubWindow(new QLabel(QStringLiteral("child")));
        window->setGeometry(geometry);
        window->show();
        return window;
    }
    int Twips(int pixels) const { return PixelsToTwips(*area_, pixels); }
    int Pixels(int twips) const { return TwipsToPixels(*area_, twips); }

    std::unique_ptr<QTemporaryDir> dir_;
    QString path_;
    std::unique_ptr<SettingsStore> store_;
    std::unique_ptr<QMdiArea> area_;

private Q_SLOTS:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        path_ = dir_->filePath(QStringLiteral("OrvanRX/OrvanRX.ini"));
        store_ = std::make_unique<SettingsStore>(path_);
        area_ = std::make_unique<QMdiArea>();
        area_->resize(800, 600);
        area_->show();
        QVERIFY(QTest::qWaitForWindowExposed(area_.get()));
    }
    void cleanup() {
        area_.reset();
        store_.reset();
        dir_.reset();
    }

    void twips_data() {
        QTest::addColumn<double>("dpi");
        QTest::addColumn<int>("pixels");
        QTest::addColumn<int>("twips");
        QTest::addColumn<int>("pixelsBack");
        QTest::newRow("96 dpi") << 96.0 << 100 << 1500 << 100;
        QTest::newRow("120 dpi") << 120.0 << 100 << 1200 << 100;
        QTest::newRow("144 dpi") << 144.0 << -7 << -70 << -7;
        QTest::newRow("no resolution: 96") << 0.0 << 3 << 45 << 3;
        QTest::newRow("72 dpi rounds to nearest") << 72.0 << 1 << 20 << 1;
    }
    void twips() {
        QFETCH(double, dpi);
        QFETCH(int, pixels);
        QFETCH(int, twips);
        QFETCH(int, pixelsBack);
        QCOMPARE(PixelsToTwips(pixels, dpi), twips);
        QCOMPARE(TwipsToPixels(twips, dpi), pixelsBack);
    }

    void twipsRounding_data() {
        QTest::addColumn<double>("dpi");
        QTest::addColumn<int>("twips");
        QTest::addColumn<int>("pixels");
        QTest::newRow("7 twips at 96 dpi") << 96.0 << 7 << 0;
        QTest::newRow("8 twips at 96 dpi") << 96.0 << 8 << 1;
        QTest::newRow("half of 12: to even 0") << 120.0 << 6 << 0;
        QTest::newRow("one and a half of 12: to even 2") << 120.0 << 18 << 2;
    }
    void twipsRounding() {
        QFETCH(double, dpi);
        QFETCH(int, twips);
        QFETCH(int, pixels);
        QCOMPARE(TwipsToPixels(twips, dpi), pixels);
    }

    void placementRoundTripsInTwips() {
        QMdiSubWindow* first = Child(QRect(30, 40, 300, 200));
        SaveWindowPlacement(*store_, kKey, *first);
        QCOMPARE(Stored(kWindowStateValue), QStringLiteral("0"));
        QCOMPARE(Stored(kWidthValue), QString::number(Twips(300)));
        QCOMPARE(Stored(kHeightValue), QString::number(Twips(200)));
        QCOMPARE(Stored(kTopValue), QString::number(Twips(40)));
        QCOMPARE(Stored(kLeftValue), QString::number(Twips(30)));
        QCOMPARE(Twips(300), qRound(300 * 1440 / LogicalDpi(*area_)));

        QMdiSubWindow* second = Child(QRect(0, 0, 150, 120));
        RestoreWindowPlacement(*store_, kKey, *second);
        QCOMPARE(second->geometry(), QRect(30, 40, 300, 200));
        QCOMPARE(second->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized),
                 Qt::WindowStates{});
    }

    void minimisedAndMaximisedStoreOnlyTheirState_data() {
        QTest::addColumn<int>("state");
        QTest::newRow("minimised") << 1;
        QTest::newRow("maximised") << 2;
    }
    void minimisedAndMaximisedStoreOnlyTheirState() {
        QFETCH(int, state);
        Store(kWidthValue, QStringLiteral("1234"));
        Store(kLeftValue, QStringLiteral("abc"));
        QMdiSubWindow* window = Child();
        state == 1 ? window->showMinimized() : window->showMaximized();
        SaveWindowPlacement(*store_, kKey, *window);
        QCOMPARE(Stored(kWindowStateValue), QString::number(state));
        QCOMPARE(Stored(kWidthValue), QStringLiteral("1234"));
        QCOMPARE(Stored(kLeftValue), QStringLiteral("abc"));
        QCOMPARE(Stored(kTopValue), kNoKeyValue);
    }

    void storedStateOneOrTwoAppliesNoSize_data() {
        QTest::addColumn<QString>("state");
        QTest::addColumn<bool>("minimised");
        QTest::newRow("1") << QStringLiteral("1") << true;
        QTest::newRow("2") << QStringLiteral("2") << false;
    }
    void storedStateOneOrTwoAppliesNoSize() {
        QFETCH(QString, state);
        QFETCH(bool, minimised);
        Store(kWindowStateValue, state);
        Store(kWidthValue, QStringLiteral("abc"));
        Store(kHeightValue, QString::number(Twips(333)));
        QMdiSubWindow* window = Child(QRect(30, 40, 300, 200));
        RestoreWindowPlacement(*store_, kKey, *window);
        QCOMPARE(window->isMinimized(), minimised);
        QCOMPARE(window->isMaximized(), !minimised);
        QCOMPARE(Stored(kWidthValue), QStringLiteral("abc"));  // nothing written back
        QCOMPARE(Stored(kTopValue), kNoKeyValue);
        window->showNormal();
        QCOMPARE(window->geometry(), QRect(30, 40, 300, 200));
    }

    void missingAndNonNumericValuesAreWrittenBack_data() {
        QTest::addColumn<QString>("stateText");  // empty: not stored
        QTest::newRow("empty tree") << QString();
        QTest::newRow("state abc") << QStringLiteral("abc");
    }
    void missingAndNonNumericValuesAreWrittenBack() {
        QFETCH(QString, stateText);
        if (!stateText.isEmpty()) {
            Store(kWindowStateValue, stateText);
            Store(kWidthValue, QStringLiteral("abc"));
            Store(kHeightValue, QString::number(Twips(150)));
        }
        QMdiSubWindow* window = Child(QRect(30, 40, 300, 200));
        RestoreWindowPlacement(*store_, kKey, *window);
        const int height = stateText.isEmpty() ? 200 : 150;
        QCOMPARE(window->geometry(), QRect(30, 40, 300, height));
        QCOMPARE(Stored(kWindowStateValue), QStringLiteral("0"));
        QCOMPARE(Stored(kWidthValue), QString::number(Twips(300)));
        QCOMPARE(Stored(kHeightValue), QString::number(Twips(height)));
        QCOMPARE(Stored(kTopValue), QString::number(Twips(40)));
        QCOMPARE(Stored(kLeftValue), QString::number(Twips(30)));
    }

    void numericTextRoundsHalvesToEven() {
        if (LogicalDpi(*area_) != 96.0) {
            QSKIP("the rounding cases are worked out for 96 dpi");
        }
        Store(kWindowStateValue, QStringLiteral(" 0 "));
        Store(kWidthValue, QStringLiteral("4.5e3"));    // 300 px
        Store(kHeightValue, QStringLiteral("3000.4"));  // 200 px
        Store(kTopValue, QStringLiteral("37.5"));       // 38 twips: 2.53 px -> 3
        Store(kLeftValue, QStringLiteral("22.5"));      // 22 twips: 1.47 px -> 1 (23 would be 2)
        QMdiSubWindow* window = Child(QRect(100, 100, 150, 120));
        RestoreWindowPlacement(*store_, kKey, *window);
        QCOMPARE(window->geometry(), QRect(1, 3, 300, 200));
        QCOMPARE(Stored(kLeftValue), QStringLiteral("22.5"));  // numbers are not rewritten
    }

    void aPlacementOffTheAreaIsPulledIntoView_data() {
        QTest::addColumn<QRect>("stored");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("far right and below")
            << QRect(6000, 4000, 300, 200) << QRect(500, 400, 300, 200);
        QTest::newRow("title bar above the area")
            << QRect(50, -30, 300, 200) << QRect(50, 0, 300, 200);
        QTest::newRow("left of the area") << QRect(-290, 100, 300, 200) << QRect(0, 100, 300, 200);
        QTest::newRow("larger than the area")
            << QRect(2000, 50, 1200, 900) << QRect(0, 0, 800, 600);
        QTest::newRow("partly out but reachable stays")
            << QRect(700, 500, 300, 200) << QRect(700, 500, 300, 200);
    }
    void aPlacementOffTheAreaIsPulledIntoView() {
        QFETCH(QRect, stored);
        QFETCH(QRect, expected);
        const QSize viewport = area_->viewport()->size();
        QCOMPARE(viewport, QSize(800, 600));  // no frame or scroll bars on the area
        QCOMPARE(PulledIntoView(stored, viewport), expected);

        Store(kWindowStateValue, QStringLiteral("0"));
        Store(kWidthValue, QString::number(Twips(stored.width())));
        Store(kHeightValue, QString::number(Twips(stored.height())));
        Store(kTopValue, QString::number(Twips(stored.y())));
        Store(kLeftValue, QString::number(Twips(stored.x())));
        QMdiSubWindow* window = Child();
        RestoreWindowPlacement(*store_, kKey, *window);
        QCOMPARE(window->geometry(), expected);
    }

    void backColorRoundTrips_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QColor>("painted");
        QTest::newRow("Red") << RgbColorValue(192, 0, 0) << QStringLiteral("192")
                             << QColor(192, 0, 0);
        QTest::newRow("Teal") << RgbColorValue(0, 128, 128) << QStringLiteral("8421376")
                              << QColor(0, 128, 128);
        QTest::newRow("No Fill") << kDesktopColorReference << QStringLiteral("-2147483647")
                                 << QPalette().color(QPalette::Window);
    }
    void backColorRoundTrips() {
        QFETCH(int, value);
        QFETCH(QString, text);
        QFETCH(QColor, painted);
        SaveBackColor(*store_, kMainScreenSettingsKey, value);
        QCOMPARE(Stored(kBackColorValue, kMainScreenSettingsKey), text);
        QCOMPARE(RestoreBackColor(*store_, kMainScreenSettingsKey, kAppWorkspaceReference), value);
        ApplyBackColor(*area_, value);
        QCOMPARE(area_->background().color(), painted);
    }

    void backColorNotStoredWritesTheCurrentOne_data() {
        QTest::addColumn<QString>("stored");  // empty: not stored
        QTest::newRow("missing") << QString();
        QTest::newRow("abc") << QStringLiteral("abc");
        QTest::newRow("beyond 32 bits") << QStringLiteral("4294967296");
    }
    void backColorNotStoredWritesTheCurrentOne() {
        QFETCH(QString, stored);
        if (!stored.isEmpty()) {
            Store(kBackColorValue, stored, kMainScreenSettingsKey);
        }
        QCOMPARE(RestoreBackColor(*store_, kMainScreenSettingsKey, kAppWorkspaceReference),
                 kAppWorkspaceReference);
        QCOMPARE(Stored(kBackColorValue, kMainScreenSettingsKey), QStringLiteral("-2147483636"));
    }
};

}  // namespace orvanrx

QTEST_MAIN(orvanrx::AppearanceTest)
#include "AppearanceTest.moc"
