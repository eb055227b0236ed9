// The time slip window: its text from the mirror, Escape and a bad RunBlock closing it, and
// its placement.

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QtTest>
#include <memory>

#include "decoding/TestRace.h"
#include "decoding/TimeSlipText.h"
#include "gui/Twips.h"
#include "gui/frmTimeSlip.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"

using namespace orvanrx;

class frmTimeSlipTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        settings = std::make_unique<SettingsStore>(dir->filePath(QStringLiteral("OrvanRX.ini")));
        area = std::make_unique<QMdiArea>();
        area->resize(1200, 900);
        area->show();
        buffer = std::make_unique<ReceiveBuffer>();
        testing::TestRace().WriteTo(*buffer, 1024);
    }
    void cleanup() {
        area.reset();
        settings.reset();
        dir.reset();
    }

    // At its first opening the window shows a whole race of full lines without scroll bars,
    // whatever the face's size (as at another screen scale), and is no larger than that needs.
    void opensFittingAWholeRaceAndWritesThePlacement_data() {
        QTest::addColumn<int>("points");
        QTest::newRow("18 pt") << 18;
        QTest::newRow("12 pt") << 12;
        QTest::newRow("36 pt") << 36;
    }
    void opensFittingAWholeRaceAndWritesThePlacement() {
        QFETCH(int, points);
        area->resize(1800, 1400);
        FullLines().WriteTo(*buffer, 1024);
        auto* slip = new frmTimeSlip(*buffer, *settings);
        auto* display = slip->findChild<QPlainTextEdit*>(QStringLiteral("txtDisplay"));
        QFont face = display->font();
        face.setPointSize(points);
        display->setFont(face);
        QMdiSubWindow* frame = area->addSubWindow(slip);
        slip->Load(*frame);
        frame->show();
        QCOMPARE(slip->Text(), QString());  // empty until the next data reply
        slip->ParseMessage();
        QVERIFY(QTest::qWaitForWindowExposed(frame));
        QCoreApplication::processEvents();
        QCOMPARE(display->document()->blockCount(), 15);
        QCOMPARE(display->document()->lastBlock().previous().text().size(), 22);
        QCOMPARE(display->horizontalScrollBar()->maximum(), 0);
        QCOMPARE(display->verticalScrollBar()->maximum(), 0);
        QVERIFY(!display->horizontalScrollBar()->isVisible());
        QVERIFY(!display->verticalScrollBar()->isVisible());
        // Not much more than that: two more characters or lines would not fit as well.
        const QFontMetrics metrics(display->font());
        QVERIFY(display->viewport()->width() < metrics.horizontalAdvance(QString(24, u'W')));
        QVERIFY(display->viewport()->height() < metrics.lineSpacing() * 17);

        const QSize size = frame->size();
        frame->close();
        QCOMPARE(Stored(kWidthValue), QString::number(PixelsToTwips(*area, size.width())));
        QCOMPARE(Stored(kWindowStateValue), QStringLiteral("0"));
    }

    // On a 1366 x 768 laptop screen the area left for the child windows (in the program's own
    // pixels) is about this large at each scale: the slip shows a whole race there without
    // scroll bars, shrinking its face only where it must, and never below the smallest size.
    void fitsAWholeRaceOnALaptopScreen_data() {
        QTest::addColumn<QSize>("areaSize");
        QTest::addColumn<int>("shrinks");  // 1 yes, 0 no, -1 as the face's metrics have it
        QTest::newRow("1x") << QSize(1366, 610) << 0;
        QTest::newRow("1.5x") << QSize(910, 386) << -1;
        QTest::newRow("2x") << QSize(683, 260) << 1;
    }
    void fitsAWholeRaceOnALaptopScreen() {
        QFETCH(QSize, areaSize);
        QFETCH(int, shrinks);
        area->resize(areaSize + area->size() - area->viewport()->size());
        QCoreApplication::processEvents();
        FullLines().WriteTo(*buffer, 1024);
        frmTimeSlip* slip = Open();
        slip->ParseMessage();
        QVERIFY(QTest::qWaitForWindowExposed(Frame(slip)));
        QCoreApplication::processEvents();
        auto* display = slip->findChild<QPlainTextEdit*>(QStringLiteral("txtDisplay"));
        QCOMPARE(display->document()->blockCount(), 15);
        QVERIFY(!display->horizontalScrollBar()->isVisible());
        QVERIFY(!display->verticalScrollBar()->isVisible());
        QCOMPARE(display->verticalScrollBar()->maximum(), 0);
        QVERIFY(Frame(slip)->width() <= area->viewport()->width());
        QVERIFY(Frame(slip)->height() <= area->viewport()->height());
        const bool shrunk = display->font().pointSizeF() < 18;
        if (shrinks >= 0) {
            QCOMPARE(shrunk, shrinks == 1);
        }
        QVERIFY(display->font().pointSizeF() >= frmTimeSlip::kSmallestPoints);
        // Shrunk no further than it had to: a point larger would not have fitted.
        if (shrunk) {
            QFont larger = display->font();
            larger.setPointSizeF(larger.pointSizeF() + 1);
            display->setFont(larger);
            const QSize wanted = slip->FittingFrameSize(*Frame(slip));
            QVERIFY(wanted.width() > area->viewport()->width() ||
                    wanted.height() > area->viewport()->height());
        }
    }

    // In an area smaller than a whole race even at the smallest face the window stays within
    // it (and scrolls).
    void inASmallAreaItStaysWithinIt() {
        area->resize(300, 200);
        frmTimeSlip* slip = Open();
        QMdiSubWindow* frame = Frame(slip);
        QVERIFY(frame->width() <= area->viewport()->width());
        QVERIFY(frame->height() <= area->viewport()->height());
        QCOMPARE(
            slip->findChild<QPlainTextEdit*>(QStringLiteral("txtDisplay"))->font().pointSizeF(),
            double(frmTimeSlip::kSmallestPoints));
    }

    // A refresh replaces the text but not where the racer scrolled to or put the caret.
    void aRefreshKeepsTheScrollPositionAndTheCaret() {
        frmTimeSlip* slip = Open();
        Frame(slip)->resize(160, 140);
        slip->ParseMessage();
        QCoreApplication::processEvents();
        auto* display = slip->findChild<QPlainTextEdit*>(QStringLiteral("txtDisplay"));
        QTextCursor caret = display->textCursor();
        caret.setPosition(40);
        display->setTextCursor(caret);
        QVERIFY(display->horizontalScrollBar()->maximum() > 0);
        QVERIFY(display->verticalScrollBar()->maximum() > 3);
        display->horizontalScrollBar()->setValue(display->horizontalScrollBar()->maximum());
        display->verticalScrollBar()->setValue(3);
        const int across = display->horizontalScrollBar()->value();

        testing::TestRace().Set(4, MakePacket("R[SP:999]NEW NAME")).WriteTo(*buffer, 1024);
        slip->ParseMessage();
        QVERIFY(slip->Text().contains(QStringLiteral("NEW NAME")));
        QCOMPARE(display->horizontalScrollBar()->value(), across);
        QCOMPARE(display->verticalScrollBar()->value(), 3);
        QCOMPARE(display->textCursor().position(), 40);
    }

    void showsTheRunBlockAndRedrawsOnlyWhatChanged() {
        frmTimeSlip* slip = Open();
        auto* display = slip->findChild<QPlainTextEdit*>(QStringLiteral("txtDisplay"));
        QVERIFY(display->isReadOnly());
        QCOMPARE(display->font().family(), QStringLiteral("Courier New"));
        QCOMPARE(display->font().pointSize(), 18);
        QSignalSpy changes(display, &QPlainTextEdit::textChanged);

        slip->ParseMessage();
        QCOMPARE(slip->Text(),
                 TimeSlipText(*buffer)->replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        QVERIFY(slip->Text().startsWith(QStringLiteral("SUPER PRO     E1     \n L[SP:1234]")));
        QCOMPARE(changes.count(), 1);
        slip->ParseMessage();  // the same mirror: the text box is not touched
        QCOMPARE(changes.count(), 1);

        testing::TestRace().Set(4, MakePacket("R[SP:999]NEW NAME")).WriteTo(*buffer, 1024);
        slip->ParseMessage();
        QCOMPARE(changes.count(), 2);
        QVERIFY(slip->Text().contains(QStringLiteral("NEW NAME")));
        QVERIFY(slip->IsOpen());
    }

    void theRacersLaneIsMarkedOnEveryText() {
        frmTimeSlip* slip = Open();
        slip->ParseMessage();
        QVERIFY(slip->MarkedSpans().isEmpty());
        slip->SetMarkedLanes({true, false});
        // The left entry line whole, then the left value column (bytes 5..12) line by line.
        const QStringList left = slip->MarkedSpans();
        QCOMPARE(left.size(), 12);
        QCOMPARE(left.mid(0, 3).join(QLatin1Char(' ')), QStringLiteral("1:1+21 3:6+8 4:6+8"));
        QCOMPARE(left.last(), QStringLiteral("13:6+8"));

        slip->SetMarkedLanes({false, true});
        QCOMPARE(slip->MarkedSpans().mid(0, 2).join(QLatin1Char(' ')),
                 QStringLiteral("2:1+21 3:14+8"));
        slip->SetMarkedLanes({true, true});
        QCOMPARE(slip->MarkedSpans().size(), 24);

        // A new text keeps the marks, placed on its own characters (one fewer shown here).
        testing::TestRace()
            .Set(3, MakePacket("L[S:9]\x01"
                               "A"))
            .WriteTo(*buffer, 1024);
        slip->ParseMessage();
        QVERIFY(slip->MarkedSpans().contains(QStringLiteral("1:1+20")));
        slip->SetMarkedLanes({});
        QVERIFY(slip->MarkedSpans().isEmpty());
    }

    void aRunBlockOutsideTheMirrorClosesTheWindow() {
        frmTimeSlip* slip = Open();
        QSignalSpy unloaded(slip, &frmTimeSlip::Unloaded);
        // A RunBlock of 16 Packets from here would run past the mirror's end.
        WriteRunBlockPointer(*buffer, 32760);
        buffer->Set(32760, 16);
        slip->ParseMessage();
        QVERIFY(!slip->IsOpen());
        QCOMPARE(unloaded.count(), 1);
        QTRY_VERIFY(area->subWindowList().isEmpty());
    }

    void onlyEscapeCloses_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("closes");
        QTest::newRow("Escape") << int(Qt::Key_Escape) << true;
        QTest::newRow("Enter") << int(Qt::Key_Return) << false;
        QTest::newRow("letter") << int(Qt::Key_A) << false;
        QTest::newRow("digit") << int(Qt::Key_1) << false;
    }
    void onlyEscapeCloses() {
        QFETCH(int, key);
        QFETCH(bool, closes);
        frmTimeSlip* slip = Open();
        QTest::keyClick(slip->findChild<QPlainTextEdit*>(QStringLiteral("txtDisplay")),
                        static_cast<Qt::Key>(key));
        QCOMPARE(!slip->IsOpen(), closes);
    }

    void closingKeepsThePlacementForTheNextOpening() {
        frmTimeSlip* slip = Open();
        QMdiSubWindow* frame = Frame(slip);
        frame->setGeometry(120, 60, 400, 500);
        const QRect placed = frame->geometry();
        frame->close();
        QVERIFY(!slip->IsOpen());
        QCOMPARE(Stored(kLeftValue), QString::number(PixelsToTwips(*area, placed.x())));
        QCOMPARE(Stored(kHeightValue), QString::number(PixelsToTwips(*area, placed.height())));

        frmTimeSlip* again = Open();
        QCOMPARE(Frame(again)->geometry(), placed);
    }

private:
    // A race whose every shown line is as long as a line can be (21 characters).
    static testing::TestRace FullLines() {
        testing::TestRace race;
        for (int k = 2; k < 16; ++k) {
            race.Set(k, MakePacket(std::string(23, static_cast<char>('A' + k))));
        }
        return race;
    }

    frmTimeSlip* Open() {
        auto* slip = new frmTimeSlip(*buffer, *settings);
        QMdiSubWindow* frame = area->addSubWindow(slip);
        frame->setAttribute(Qt::WA_DeleteOnClose);
        slip->Load(*frame);
        frame->show();
        return slip;
    }
    static QMdiSubWindow* Frame(frmTimeSlip* slip) {
        return qobject_cast<QMdiSubWindow*>(slip->parentWidget());
    }
    QString Stored(const QString& value) const {
        return settings->QueryValue(kTimeSlipScreenSettingsKey, value);
    }

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<QMdiArea> area;
    std::unique_ptr<ReceiveBuffer> buffer;
};

QTEST_MAIN(frmTimeSlipTest)
#include "frmTimeSlipTest.moc"
