#include <gtest/gtest.h>

#include "analysis/CarTrend.h"
#include "analysis/StatsLog.h"
#include "analysis/StatsTables.h"

namespace orvanrx {
namespace {

using testing::AddRace;
using testing::HandMadeLog;

QString Q(const char* text) {
    return QString::fromUtf8(text);
}

// A trend as "x:y:result" items, x relative to the first point in minutes when timed.
std::string Points(const CarTrend& trend) {
    std::string out;
    const char* results[] = {"W", "L", "B", "-"};
    for (const TrendPoint& p : trend.points) {
        const double x = trend.timed ? (p.x - trend.points.front().x) / 60000.0 : p.x;
        out += QStringLiteral("%1:%2:%3 ")
                   .arg(x)
                   .arg(p.y)
                   .arg(QString::fromLatin1(results[static_cast<int>(p.result)]))
                   .toStdString();
    }
    return out;
}

TEST(CarTrend, OnePointPerRunWithTheFigureOverTheDay) {
    const RunTable log = HandMadeLog();
    const std::vector<CarRun> runs100 = ReadCarRuns(log, Q("100"));
    struct Case {
        TrendFigure figure;
        const char* points;
    };
    const Case cases[] = {
        {TrendFigure::Et, "0:9.53:- 120:9.541:W 210:9.52:L 300:9.56:L "},
        {TrendFigure::SixtyFoot, "0:1.312:- 120:1.305:W 210:1.298:L "},  // one is missing
        {TrendFigure::Mph, "0:140.11:- 120:140.02:W 210:140.5:L 300:139.8:L "},
        {TrendFigure::Rt, "0:0.512:- 120:0.505:W 210:0.49:L 300:0.48:L "},
    };
    for (const Case& c : cases) {
        const CarTrend trend = TrendOf(runs100, c.figure);
        EXPECT_TRUE(trend.timed);
        EXPECT_TRUE(trend.oneDay);
        EXPECT_EQ(Points(trend), c.points) << TrendFigureTitle(c.figure).toStdString();
    }
    // A red light is a point below zero; a car over two days needs dates on its axis.
    EXPECT_EQ(Points(TrendOf(ReadCarRuns(log, Q("200")), TrendFigure::Rt)),
              "0:0.498:- 120:-0.021:L 300:0.47:W ");
    EXPECT_FALSE(TrendOf(ReadCarRuns(log, Q("7")), TrendFigure::Et).oneDay);
    EXPECT_TRUE(TrendOf({}, TrendFigure::Et).points.empty());
}

TEST(CarTrend, RunsWithoutAReadableTimeAreNumbered) {
    RunTable log;
    AddRace(log, "PRO E1", "2026-12-04 10:00:00", {"5", "", "", "", "", "9.1"}, {"6"});
    AddRace(log, "PRO E1", "at noon", {"5", "", "", "", "", "9.2"}, {"6"});
    AddRace(log, "PRO E1", "2026-12-04T13:00:00", {"5", "", "", "", "", "9.3"}, {"6"});
    const CarTrend trend = TrendOf(ReadCarRuns(log, Q("5")), TrendFigure::Et);
    EXPECT_FALSE(trend.timed);
    EXPECT_EQ(Points(trend), "1:9.1:- 2:9.2:- 3:9.3:- ");

    // ISO 8601 from a file written elsewhere reads as well.
    RunTable iso;
    AddRace(iso, "PRO E1", "2026-12-04 10:00:00", {"5", "", "", "", "", "9.1"}, {"6"});
    AddRace(iso, "PRO E1", "2026-12-04T13:00:00", {"5", "", "", "", "", "9.3"}, {"6"});
    const std::vector<CarRun> runs = ReadCarRuns(iso, Q("5"));
    EXPECT_EQ(Points(TrendOf(runs, TrendFigure::Et)), "0:9.1:- 180:9.3:- ");
    const std::array<CarTrend, 4> all = TrendsOf(runs);
    for (const TrendFigure figure :
         {TrendFigure::SixtyFoot, TrendFigure::Et, TrendFigure::Mph, TrendFigure::Rt}) {
        EXPECT_EQ(all[static_cast<std::size_t>(figure)].points, TrendOf(runs, figure).points);
    }
}

TEST(CarsTableColumns, NumbersAreWhatTheCellsShow) {
    const std::vector<CarFigures> cars = ComputeCarFigures(HandMadeLog());
    const auto column = [](const char* header) {
        return CarsTableColumnOf(QString::fromLatin1(header));
    };
    const CarFigures& c7 = cars[0];
    const CarFigures& c100 = cars[2];
    ASSERT_EQ(c100.car, Q("100"));
    struct Case {
        const CarFigures& car;
        const char* header;
        bool numeric;
        std::optional<double> number;
    };
    const Case cases[] = {
        {c100, "Car", false, std::nullopt},
        {c100, "Names", false, std::nullopt},
        {c100, "Runs", true, 4.0},
        {c100, "ET best", true, 9.52},
        {c100, "RT sd", true, 0.014},          // as shown, rounded
        {c100, "60ft last 3", true, 1.298},    // the latest of the three
        {c7, "O/U mean", true, std::nullopt},  // a dash
        {c7, "Of", true, 1.0},
    };
    for (const Case& c : cases) {
        const int at = column(c.header);
        ASSERT_GE(at, 0) << c.header;
        EXPECT_EQ(CarsTableIsNumeric(at), c.numeric) << c.header;
        EXPECT_EQ(CarsTableNumber(c.car, at), c.number) << c.header;
        EXPECT_EQ(CarsTableCell(c.car, at), CarsTable({c.car}).rows[0][at]) << c.header;
    }
    EXPECT_EQ(CarsTableLabel(column("Pkg best")), Q("Package, best"));
    EXPECT_EQ(CarsTableHeader(column("Pkg best")), Q("Pkg best"));
    EXPECT_EQ(column("No such heading"), -1);
}

TEST(CarSummaryText, NamesRecordAndNextDialIn) {
    const std::vector<CarFigures> cars = ComputeCarFigures(HandMadeLog());
    EXPECT_EQ(CarSummaryText(cars[2]),
              Q("DOE, JOHN \u00b7 SUPER PRO / PRO ET \u00b7 4 runs: 1 W, 2 L, 1 no decision \u00b7 "
                "best ET 9.520 \u00b7 next dial-in 9.540 (spread 0.040 over 3 runs)"));
    EXPECT_EQ(CarSummaryText(cars[3]),
              Q("JANE ROE \u00b7 SUPER PRO \u00b7 3 runs: 1 W, 1 L, 1 no decision, 1 red light "
                "\u00b7 best ET 10.160 \u00b7 next dial-in 10.193 (spread 0.070 over 3 runs)"));
    EXPECT_EQ(CarSummaryText(cars[3], false),
              Q("JANE ROE \u00b7 SUPER PRO \u00b7 3 runs: 1 W, 1 L, 1 no decision, 1 red light "
                "\u00b7 best ET 10.160"));
    CarFigures nobody;
    nobody.car = Q("1");
    EXPECT_EQ(CarSummaryText(nobody), Q("0 runs"));
}

}  // namespace
}  // namespace orvanrx
