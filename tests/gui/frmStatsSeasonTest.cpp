// The statistics window over the season logbook: the same figures, runs and head-to-head as
// orvanrx-cli stats --logbook over the same choice of races, the filters kept in the settings,
// the next dial-in as PredictEt gives it, the chart of ET against the air, named controls.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "analysis/FigureText.h"
#include "analysis/StatsTables.h"
#include "gui/StatsAirChart.h"
#include "gui/StatsHeadToHead.h"
#include "gui/StatsSourceBar.h"
#include "gui/frmStats.h"
#include "logbook/CarAir.h"
#include "logbook/KnownSeason.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"

using namespace orvanrx;

namespace {

// The car table as orvanrx-cli stats --csv prints it: a header line, then a line per car in
// car order, a figure without a value empty.
QStringList TableLines(const CarFiguresModel& cars) {
    QStringList lines;
    QStringList headers;
    for (int c = 0; c < CarsTableColumnCount(); ++c) {
        headers << CarsTableHeader(c);
    }
    lines << headers.join(u',');
    for (const CarFigures& car : cars.Figures()) {
        QStringList cells;
        for (int c = 0; c < CarsTableColumnCount(); ++c) {
            const QString cell = CarsTableCell(car, c);
            cells << (cell == NoFigureText() ? QString() : cell);
        }
        lines << cells.join(u',');
    }
    return lines;
}

}  // namespace

class frmStatsSeasonTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        settings = std::make_unique<SettingsStore>(dir->filePath(QStringLiteral("OrvanRX.ini")));
        logbookPath = dir->filePath(QStringLiteral("logbook.sqlite"));
        Logbook::OpenResult opened = Logbook::Open(logbookPath);
        QVERIFY(opened.logbook);
        logbook = std::move(opened.logbook);
        QVERIFY(testing::FillKnownSeason(*logbook));
        // The open race log holds the first day only.
        tables = std::make_unique<RunTables>();
        RunTable& log = tables->MutableAllRunsTable();
        for (const testing::KnownRace& known : testing::KnownSeasonRaces()) {
            if (known.source == QLatin1String("/a")) {
                log.OpenNextPair();
                *log.MutableRow(log.LeftRow()) = known.race.left;
                *log.MutableRow(log.RightRow()) = known.race.right;
            }
        }
        area = std::make_unique<QMdiArea>();
        area->resize(1500, 950);
        area->show();
    }
    void cleanup() {
        area.reset();
        logbook.reset();
        tables.reset();
        settings.reset();
        dir.reset();
    }

    void theSeasonGivesTheCliFiguresOverEveryChoiceOfRaces() {
        frmStats* stats = Open();
        // The race log first, as always: 77 with its three runs of the day.
        QVERIFY(!stats->Source().Season());
        QCOMPARE(stats->Cars().rowCount(), 3);
        QCOMPARE(stats->Cars().Figures()[0].runs, 3);
        QCOMPARE(stats->Runs().rowCount(), 3);
        QVERIFY(!stats->Source().TrackBox().isEnabled());

        stats->Source().SetSeason(true);
        stats->WaitForLogbook();
        QVERIFY(stats->Source().TrackBox().isEnabled());
        QCOMPARE(stats->ChosenCar(), QStringLiteral("77"));
        QCOMPARE(stats->Cars().Figures()[0].runs, 5);
        QCOMPARE(stats->Runs().rowCount(), 5);
        QCOMPARE(stats->CountLabel().text(), QStringLiteral("3 cars in 6 races of the season"));
        QCOMPARE(stats->Source().TrackBox().count(), 3);  // all, A, B

        struct Case {
            const char* what;
            int track;  // index in the track box
            const char* since;
            const char* until;
            int rounds;
            QStringList cli;
            int races;
            int runsOf77;
        };
        const QString A = QStringLiteral("A");
        const Case cases[] = {
            {"the season", 0, "", "", 0, {}, 6, 5},
            {"track A", 1, "", "", 0, {QStringLiteral("--track"), A}, 4, 3},
            {"since June",
             0,
             "2026-06-01",
             "",
             0,
             {QStringLiteral("--since"), QStringLiteral("2026-06-01")},
             2,
             2},
            {"until May",
             0,
             "",
             "2026-05-31",
             0,
             {QStringLiteral("--until"), QStringLiteral("2026-05-31")},
             4,
             3},
            {"eliminations at A",
             1,
             "",
             "",
             2,
             {QStringLiteral("--track"), A, QStringLiteral("--eliminations")},
             2,
             2},
        };
        for (const Case& c : cases) {
            stats->Source().TrackBox().setCurrentIndex(c.track);
            stats->Source().RoundsBox().setCurrentIndex(c.rounds);
            stats->Source().SetDays(QString::fromLatin1(c.since), QString::fromLatin1(c.until));
            stats->WaitForLogbook();
            const QString what = QString::fromLatin1(c.what);
            QVERIFY2(
                stats->CountLabel().text().contains(QStringLiteral("in %1 races").arg(c.races)),
                qPrintable(what + u' ' + stats->CountLabel().text()));
            QCOMPARE(stats->Runs().rowCount(), c.runsOf77);
            QStringList all = c.cli;
            all << QStringLiteral("--csv");
            QCOMPARE(TableLines(stats->Cars()), Cli(all));
            // The car's runs and the head-to-head as the command line gives them.
            QStringList car = c.cli;
            car << QStringLiteral("--car") << QStringLiteral("77");
            const QStringList runLines = Cli(car);
            QCOMPARE(runLines.filter(QStringLiteral("2026-0")).size(), c.runsOf77);
            QVERIFY2(stats->CarHeading().text().contains(QStringLiteral("%1 runs").arg(c.runsOf77)),
                     qPrintable(stats->CarHeading().text()));
            stats->Meeting().ChooseOpponent(QStringLiteral("88"));
            stats->WaitForLogbook();
            car << QStringLiteral("--vs") << QStringLiteral("88");
            const QStringList meeting = Cli(car);
            QCOMPARE(stats->Meeting().Summary().text(), meeting.value(meeting.size() - 1));
        }
    }

    void theChoicesAreKeptAndTheRaceLogComesBack() {
        frmStats* stats = Open();
        stats->Source().SetSeason(true);
        stats->WaitForLogbook();
        stats->Source().TrackBox().setCurrentIndex(2);  // B
        stats->Source().RoundsBox().setCurrentIndex(1);
        stats->Source().SetDays(QStringLiteral("2026-05-15"), QStringLiteral("2026-06-30"));
        frame(stats)->close();

        frmStats* again = Open();
        QVERIFY(again->Source().Season());
        again->WaitForLogbook();
        QCOMPARE(again->Source().TrackBox().currentText(), QStringLiteral("B"));
        QCOMPARE(again->Source().RoundsBox().currentIndex(), 1);
        QCOMPARE(again->Source().SinceBox().text(), QStringLiteral("2026-05-15"));
        QCOMPARE(again->Source().UntilBox().text(), QStringLiteral("2026-06-30"));
        QCOMPARE(again->Runs().rowCount(), 1);  // 77's qualifying run at B

        // Back on the race log: the log's figures at once, the choice kept for next time.
        again->Source().SetSeason(false);
        QCOMPARE(again->Runs().rowCount(), 3);
        QCOMPARE(again->Cars().Figures()[0].runs, 3);
        QCOMPARE(settings->QueryValue(kStatsSourceKey, kStatsSourceValue), QStringLiteral("Log"));
        QCOMPARE(settings->QueryValue(kStatsSourceKey, kStatsTrackValue), QStringLiteral("B"));

        // The race log's head-to-head, figured when its tab shows.
        auto* lists = again->findChild<QTabWidget*>(QStringLiteral("tabLists"));
        QVERIFY(lists);
        lists->setCurrentWidget(&again->Meeting());
        again->Meeting().ChooseOpponent(QStringLiteral("88"));
        QCOMPARE(again->Meeting().Summary().text(),
                 HeadToHeadSummaryText(ComputeHeadToHead(
                     tables->AllRunsTable(), QStringLiteral("77"), QStringLiteral("88"))));
        QCOMPARE(again->Meeting().Races().rowCount(), 1);

        // Without a logbook the season cannot be chosen.
        auto* none = new frmStats(*tables, *settings);
        QMdiSubWindow* f = area->addSubWindow(none);
        f->setAttribute(Qt::WA_DeleteOnClose);
        none->Load(*f, 0, {});
        none->Source().SetSeason(true);
        QVERIFY(!none->Source().Season());
        QVERIFY(!none->Source().TrackBox().isEnabled());
    }

    void theNextDialInIsPredictEtsAndTheChartHasAPointPerRunWithAir() {
        frmStats* stats = Open();
        stats->WaitForLogbook();
        // The race log's three runs of 77, all in the weather; the prediction for now.
        QCOMPARE(stats->AirChart().PointCount(), 3);
        QVERIFY(stats->DialIn().text().startsWith(QStringLiteral("Next dial-in ")));

        stats->Source().SetSeason(true);
        stats->Source().SetDays({}, QStringLiteral("2026-05-01"));
        stats->WaitForLogbook();
        const CarDialIn expected =
            PredictCarEt(*logbook, QStringLiteral("77"), QStringLiteral("2026-05-01 13:00:01"));
        QVERIFY(expected.prediction.et);
        QCOMPARE(stats->DialIn().text(), DialInText(expected));
        QVERIFY(stats->DialIn().text().contains(QString::number(*expected.prediction.et, 'f', 3)));
        QVERIFY(expected.prediction.usedAir);  // the air of 1 May just after its last race
        QCOMPARE(stats->AirChart().PointCount(), 3);

        // The season: the June runs have no air.
        stats->Source().SetDays({}, {});
        stats->WaitForLogbook();
        QCOMPARE(stats->AirChart().PointCount(), 3);
        QVERIFY2(stats->AirChart().SummaryText().contains(QStringLiteral("(2 without air)")),
                 qPrintable(stats->AirChart().SummaryText()));
        QCOMPARE(
            stats->AirChart().SummaryText(),
            EtAgainstAirText(EtAgainstAirOf(ReadCarSeason(*logbook, {}, QStringLiteral("77")).runs,
                                            air::WeatherTimeline(logbook->Weather()))));
        // Another car: its own points (88 ran twice on 1 May, once in June).
        stats->ChooseCar(QStringLiteral("88"));
        stats->WaitForLogbook();
        QCOMPARE(stats->AirChart().PointCount(), 2);
    }

    void everyNewControlIsNamedAndLabelled() {
        frmStats* stats = Open();
        const QList<QWidget*> controls = {&stats->Source().SourceBox(),
                                          &stats->Source().TrackBox(),
                                          &stats->Source().SinceBox(),
                                          &stats->Source().UntilBox(),
                                          &stats->Source().RoundsBox(),
                                          &stats->Meeting().OpponentBox(),
                                          &stats->DialIn()};
        const QList<QLabel*> labels = stats->findChildren<QLabel*>();
        for (QWidget* control : controls) {
            QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
            if (control == &stats->DialIn()) {
                continue;
            }
            const bool labelled = std::any_of(labels.begin(), labels.end(), [&](QLabel* label) {
                return label->buddy() == control && label->text().contains(u'&');
            });
            QVERIFY2(labelled, qPrintable(control->objectName()));
            QVERIFY(control->focusPolicy() & Qt::TabFocus);
        }
        // Every mnemonic of the window once, and none of the main window's menus (Alt+F, V, T,
        // W, H), which an equal one in a child window would make ambiguous.
        QString letters;
        const auto mnemonic = [&](const QString& text) {
            const qsizetype at = text.indexOf(u'&');
            if (at >= 0 && at + 1 < text.size()) {
                const QChar letter = text.at(at + 1).toLower();
                QVERIFY2(!letters.contains(letter), qPrintable(text));
                QVERIFY2(!QStringLiteral("fvtwh").contains(letter), qPrintable(text));
                letters += letter;
            }
        };
        for (QLabel* label : labels) {
            mnemonic(label->text());
        }
        for (QTabWidget* tabs : stats->findChildren<QTabWidget*>()) {
            for (int i = 0; i < tabs->count(); ++i) {
                mnemonic(tabs->tabText(i));
            }
        }
        QVERIFY(letters.size() >= 10);
        QVERIFY(!stats->AirChart()
                     .findChild<QWidget*>(QStringLiteral("chtEtAgainstAir"))
                     ->accessibleName()
                     .isEmpty());
    }

private:
    frmStats* Open() {
        auto* stats = new frmStats(*tables, *settings);
        stats->UseLogbook(logbookPath);
        QMdiSubWindow* frame = area->addSubWindow(stats);
        frame->setAttribute(Qt::WA_DeleteOnClose);
        stats->Load(*frame, 0, {QStringLiteral("77")});
        frame->show();
        return stats;
    }
    static QMdiSubWindow* frame(frmStats* stats) {
        return qobject_cast<QMdiSubWindow*>(stats->parentWidget());
    }
    // orvanrx-cli stats --logbook over the test's logbook: its output's lines.
    QStringList Cli(QStringList args) const {
        args.prepend(logbookPath);
        args.prepend(QStringLiteral("--logbook"));
        args.prepend(QStringLiteral("stats"));
        QProcess cli;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir->filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), dir->filePath(QStringLiteral("data")));
        cli.setProcessEnvironment(env);
        cli.start(QStringLiteral(ORVANRX_CLI_PATH), args);
        if (!cli.waitForFinished(30000) || cli.exitCode() != 0) {
            return {QStringLiteral("orvanrx-cli failed: ") +
                    QString::fromUtf8(cli.readAllStandardError())};
        }
        return QString::fromUtf8(cli.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    }

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<SettingsStore> settings;
    QString logbookPath;
    std::unique_ptr<Logbook> logbook;
    std::unique_ptr<RunTables> tables;
    std::unique_ptr<QMdiArea> area;
};

QTEST_MAIN(frmStatsSeasonTest)
#include "frmStatsSeasonTest.moc"
