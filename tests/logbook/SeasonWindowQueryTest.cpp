// What the statistics window reads from the logbook: the chosen races' figures, the next
// dial-in (the very prediction PredictEt gives), a car's ETs against the air, and the reader
// thread that answers only the latest query.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <mutex>
#include <thread>

#include "KnownSeason.h"
#include "logbook/SeasonReader.h"

namespace orvanrx {
namespace {

QString CarsOf(const std::vector<CarFigures>& cars) {
    QStringList numbers;
    for (const CarFigures& car : cars) {
        numbers << car.car;
    }
    return numbers.join(u' ');
}

// The known season (KnownSeason.h).
class SeasonWindowQueryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("season.sqlite"));
        Logbook::OpenResult opened = Logbook::Open(path);
        ASSERT_TRUE(opened.logbook);
        logbook = std::move(opened.logbook);
        ASSERT_TRUE(testing::FillKnownSeason(*logbook));
        timeline = air::WeatherTimeline(logbook->Weather());
    }

    SeasonQuery Query(RaceSelection selection, const char* car = "77") const {
        SeasonQuery query;
        query.season = true;
        query.allCars = true;
        query.selection = std::move(selection);
        query.car = QString::fromLatin1(car);
        query.at = QStringLiteral("2026-06-01 18:00:00");
        return query;
    }

    QTemporaryDir dir;
    QString path;
    std::unique_ptr<Logbook> logbook;
    air::WeatherTimeline timeline;
};

TEST_F(SeasonWindowQueryTest, TheFiltersNarrowTheRacesTheCarsAndTheCarsRuns) {
    struct Case {
        const char* what;
        RaceSelection selection;
        int races;
        const char* cars;
        int runsOf77;
    };
    const auto tracks = [](const char* track) { return QStringList{QString::fromLatin1(track)}; };
    const Case cases[] = {
        {"the season", {}, 6, "77 88 99", 5},
        {"track A", {tracks("A"), {}, {}, {}, RoundChoice::All, {}}, 4, "77 88 99", 3},
        {"track B", {tracks("B"), {}, {}, {}, RoundChoice::All, {}}, 2, "77 88", 2},
        {"since", {{}, QStringLiteral("2026-05-02"), {}, {}, RoundChoice::All, {}}, 2, "77 88", 2},
        {"until",
         {{}, {}, QStringLiteral("2026-05-01"), {}, RoundChoice::All, {}},
         4,
         "77 88 99",
         3},
        {"eliminations", {{}, {}, {}, {}, RoundChoice::Eliminations, {}}, 3, "77 88 99", 3},
        {"qualifying", {{}, {}, {}, {}, RoundChoice::Qualifying, {}}, 3, "77 88", 2},
        {"nothing", {tracks("C"), {}, {}, {}, RoundChoice::All, {}}, 0, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const SeasonAnswer answer = AnswerSeasonQuery(*logbook, Query(c.selection));
        ASSERT_TRUE(answer.races && answer.cars);
        EXPECT_EQ(*answer.races, c.races);
        EXPECT_EQ(CarsOf(*answer.cars), QString::fromLatin1(c.cars));
        EXPECT_EQ(answer.car.figures.runs, c.runsOf77);
        EXPECT_EQ(static_cast<int>(answer.car.runs.size()), c.runsOf77);
    }
    // The head-to-head over the chosen races.
    SeasonQuery query = Query({});
    query.against = QStringLiteral("88");
    EXPECT_EQ(AnswerSeasonQuery(*logbook, query).meeting.winsA, 2);
    query.selection.tracks = tracks("B");
    EXPECT_EQ(AnswerSeasonQuery(*logbook, query).meeting.races.size(), 1u);
}

TEST_F(SeasonWindowQueryTest, TheNextDialInIsPredictEtsOverTheCarsRunsBeforeTheMoment) {
    // Every run of 77 as the predictor takes it, the air from the weather where known.
    const auto run = [this](const char* time, double et, double rt) {
        const std::int64_t at = *air::SecondsOf(QString::fromLatin1(time));
        return air::PredictorRun{at, et, rt, timeline.At(at)};
    };
    const std::vector<air::PredictorRun> runs = {
        run("2026-05-01 10:00:00", 10.0, 0.5),   run("2026-05-01 12:00:00", 10.1, 0.51),
        run("2026-05-01 13:00:00", 10.2, -0.01), run("2026-06-01 10:00:00", 9.9, 0.49),
        run("2026-06-01 12:00:00", 9.8, 0.48),
    };
    struct Case {
        const char* at;
        bool air;
    };
    // Within the weather (the air corrects), after it (the mean of three), between runs.
    for (const Case c : {Case{"2026-05-01 12:30:00", true}, Case{"2026-06-01 18:00:00", false},
                         Case{"2026-06-01 11:00:00", false}}) {
        SCOPED_TRACE(c.at);
        const QString at = QString::fromLatin1(c.at);
        const std::int64_t seconds = *air::SecondsOf(at);
        const air::DialPrediction expected = air::PredictEt(runs, seconds, timeline.At(seconds));
        SeasonQuery query = Query({});
        query.at = at;
        const CarDialIn shown = AnswerSeasonQuery(*logbook, query).dialIn;
        ASSERT_TRUE(shown.prediction.et && expected.et);
        EXPECT_DOUBLE_EQ(*shown.prediction.et, *expected.et);
        EXPECT_EQ(shown.prediction.spread, expected.spread);
        EXPECT_EQ(shown.prediction.runs, expected.runs);
        EXPECT_EQ(shown.prediction.usedAir, c.air);
        EXPECT_EQ(shown.airAt.has_value(), c.air);
    }
    // The mean of the last three clean runs: the red light left out.
    const CarDialIn late =
        PredictCarEt(*logbook, QStringLiteral("77"), QStringLiteral("2026-06-01 18:00:00"));
    EXPECT_NEAR(late.prediction.et.value_or(0), (10.1 + 9.9 + 9.8) / 3, 1e-9);
    EXPECT_TRUE(DialInText(late).contains(QStringLiteral("the mean of the last three")));
    // Nothing before the first run, nothing for a moment that is no time.
    EXPECT_FALSE(PredictCarEt(*logbook, QStringLiteral("77"), QStringLiteral("2026-05-01 09:00:00"))
                     .prediction.et);
    EXPECT_FALSE(
        PredictCarEt(*logbook, QStringLiteral("77"), QStringLiteral("soon")).prediction.et);
}

TEST_F(SeasonWindowQueryTest, TheMomentAfterTheChosenRacesIsJustAfterTheLastOfThem) {
    struct Case {
        const char* until;
        const char* track;
        RoundChoice rounds;
        const char* moment;
    };
    const Case cases[] = {
        {"2026-05-01", "", RoundChoice::All, "2026-05-01 13:00:01"},  // after 1 May's last
        {"2026-06-30", "", RoundChoice::All, "2026-06-01 12:00:01"},  // the latest in range
        {"2026-06-30", "A", RoundChoice::All, "2026-05-01 13:00:01"},
        {"2026-06-30", "", RoundChoice::Qualifying, "2026-06-01 10:00:01"},
        {"2026-05-01", "B", RoundChoice::All, "2026-05-01 23:59:59"},  // none: the day's end
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.moment);
        RaceSelection selection;
        selection.until = QString::fromLatin1(c.until);
        selection.rounds = c.rounds;
        if (*c.track != 0) {
            selection.tracks = {QString::fromLatin1(c.track)};
        }
        SeasonQuery query = Query(selection);
        query.at.clear();
        const SeasonAnswer answer = AnswerSeasonQuery(*logbook, query);
        EXPECT_EQ(answer.at, QString::fromLatin1(c.moment));
        EXPECT_EQ(answer.dialIn.at, answer.at);
        // Asked for one car alone, the moment is the end of the last day.
        query.allCars = false;
        EXPECT_EQ(AnswerSeasonQuery(*logbook, query).at,
                  selection.until + QStringLiteral(" 23:59:59"));
    }
}

TEST_F(SeasonWindowQueryTest, TheChartHasAPointPerRunWithItsAir) {
    const SeasonAnswer answer = AnswerSeasonQuery(*logbook, Query({}));
    // Three runs on 1 May in the weather, two in June without.
    ASSERT_EQ(answer.air.points.size(), 3u);
    EXPECT_EQ(answer.air.runsWithoutAir, 2);
    const char* const times[] = {"2026-05-01 10:00:00", "2026-05-01 12:00:00",
                                 "2026-05-01 13:00:00"};
    for (std::size_t i = 0; i < 3; ++i) {
        const EtAirPoint& point = answer.air.points[i];
        EXPECT_EQ(point.time, QString::fromLatin1(times[i]));
        const air::AirFigures figures = air::FiguresOf(*timeline.At(point.time));
        EXPECT_DOUBLE_EQ(point.densityAltitudeFt, figures.densityAltitudeFt);
        EXPECT_DOUBLE_EQ(point.correction, figures.correction);
    }
    EXPECT_TRUE(answer.air.points[2].redLight);
    // Warmer air is thinner: a higher density altitude later in the day.
    EXPECT_LT(answer.air.points[0].densityAltitudeFt, answer.air.points[1].densityAltitudeFt);
    // Two full runs are too few for a line.
    EXPECT_FALSE(answer.air.slope);
    const QString text = EtAgainstAirText(answer.air);
    EXPECT_TRUE(text.startsWith(QStringLiteral("3 runs, ET 10.000–10.200 s over ")))
        << qPrintable(text);
    EXPECT_TRUE(text.endsWith(QStringLiteral(" ft density altitude (2 without air).")))
        << qPrintable(text);

    // Only the chosen races' runs: at B there is no air at all.
    RaceSelection atB;
    atB.tracks = {QStringLiteral("B")};
    const SeasonAnswer b = AnswerSeasonQuery(*logbook, Query(atB));
    EXPECT_TRUE(b.air.points.empty());
    EXPECT_EQ(EtAgainstAirText(b.air), QStringLiteral("No run with its air known (2 without)."));
}

TEST_F(SeasonWindowQueryTest, TheLineFollowsTheFullRunsAndLeavesOutLiftsAndRedLights) {
    // ET = 9 s + 0.2 ms per foot over the day's air; a lift and a red light far off it.
    std::vector<CarRun> runs;
    const auto add = [&](int hour, std::optional<double> et, double rt) {
        CarRun run;
        run.dateTime = QStringLiteral("2026-05-01 %1:00:00").arg(hour, 2, 10, QChar(u'0'));
        const double da = air::FiguresOf(*timeline.At(run.dateTime)).densityAltitudeFt;
        run.et = et ? et : std::optional<double>(9.0 + 0.0002 * da);
        run.rt = rt;
        runs.push_back(run);
    };
    add(9, {}, 0.5);
    add(10, {}, 0.5);
    add(11, 12.5, 0.5);  // a lift
    add(12, {}, 0.5);
    add(13, 8.0, -0.2);  // a red-lit tip-toe
    add(14, {}, 0.5);
    const EtAgainstAir chart = EtAgainstAirOf(runs, timeline);
    ASSERT_EQ(chart.points.size(), 6u);
    ASSERT_TRUE(chart.slope && chart.intercept);
    EXPECT_NEAR(*chart.slope, 0.0002, 1e-9);
    EXPECT_NEAR(*chart.intercept, 9.0, 1e-6);
    EXPECT_TRUE(
        EtAgainstAirText(chart).contains(QStringLiteral("the line: +0.200 s per 1,000 ft")));
}

TEST_F(SeasonWindowQueryTest, TheReaderAnswersTheLatestQueryOnItsOwnThread) {
    std::mutex mutex;
    std::vector<std::uint64_t> serials;
    std::thread::id answeredOn;
    SeasonReader reader(path, [&](SeasonAnswer answer) {
        const std::lock_guard lock(mutex);
        serials.push_back(answer.serial);
        answeredOn = std::this_thread::get_id();
        EXPECT_TRUE(answer.error.isEmpty());
    });
    for (std::uint64_t serial = 1; serial <= 20; ++serial) {
        SeasonQuery query = Query({});
        query.serial = serial;
        reader.Ask(query);
    }
    reader.Flush();
    const std::lock_guard lock(mutex);
    ASSERT_FALSE(serials.empty());
    EXPECT_EQ(serials.back(), 20u);
    EXPECT_LE(serials.size(), 20u);
    EXPECT_TRUE(std::is_sorted(serials.begin(), serials.end()));
    EXPECT_NE(answeredOn, std::this_thread::get_id());
}

TEST_F(SeasonWindowQueryTest, AFileThatIsNoLogbookIsAnsweredWithWhy) {
    const QString bad = dir.filePath(QStringLiteral("notes.txt"));
    QFile file(bad);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    std::atomic<int> answers{0};
    QString error;
    {
        SeasonReader reader(bad, [&](SeasonAnswer answer) {
            error = answer.error;
            ++answers;
        });
        reader.Ask(Query({}));
        reader.Flush();
    }
    EXPECT_EQ(answers.load(), 1);
    EXPECT_FALSE(error.isEmpty());
}

}  // namespace
}  // namespace orvanrx
