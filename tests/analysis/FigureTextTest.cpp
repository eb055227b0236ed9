#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "analysis/FigureText.h"
#include "analysis/LogFigures.h"
#include "analysis/StatsLog.h"
#include "analysis/StatsTables.h"

namespace orvanrx {
namespace {

using Opt = std::optional<double>;

TEST(LogFiguresTest, OnlyPlainDecimalNumbersAreFigures) {
    const std::pair<const char*, Opt> cases[] = {
        {"9.50", 9.5},
        {"0.512", 0.512},
        {"-0.012", -0.012},
        {"+0.012", 0.012},
        {".512", 0.512},
        {"12.", 12.0},
        {" 9.50 ", 9.5},
        {"0", 0.0},
        {"140.11", 140.11},
        {"", {}},
        {" ", {}},
        {"-", {}},
        {".", {}},
        {"-.", {}},
        {"1.2.3", {}},
        {"9.5x", {}},
        {"DQ", {}},
        {"--1", {}},
        {"1-2", {}},
        {"1e5", {}},
        {"inf", {}},
        {"nan", {}},
        {"9,50", {}},
        {"1234567890123456789", {}},
        {"123456789012345678", 123456789012345678.0},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(ParseFigure(QString::fromLatin1(text)), expected) << '"' << text << '"';
    }
    // Times and speeds are positive: a zero is a timing point the car never reached.
    EXPECT_FALSE(ParsePositiveFigure(u"0.000"));
    EXPECT_FALSE(ParsePositiveFigure(u"-9.512"));
    EXPECT_EQ(ParsePositiveFigure(u"9.512"), 9.512);
}

TEST(LogFiguresTest, CategoryNamesDropTheRoundCode) {
    const std::pair<const char*, const char*> cases[] = {
        {"SUPER PRO     E1", "SUPER PRO"}, {"TOP SPORTSMANQ2", "TOP SPORTSMAN"},
        {" PRO ET  T1 ", "PRO ET"},        {"PRO ET", "PRO ET"},
        {"STREET 4", "STREET 4"},          {"", ""},
    };
    for (const auto& [category, name] : cases) {
        EXPECT_EQ(FiguresCategoryName(QString::fromLatin1(category)).toString(),
                  QString::fromLatin1(name))
            << category;
    }
    EXPECT_EQ(DayOf(u"2026-12-04 18:53:12"), u"2026-12-04");
    EXPECT_EQ(DayOf(u"12/4/2026"), u"12/4/2026");
}

// The filter's list cuts the round code's two places whatever they hold; the statistics drop
// only a letter and a digit. Both on the same cells, so a change to either shows here.
TEST(LogFiguresTest, TheFilterListAndTheFiguresNameCategoriesEachByTheirRule) {
    struct Case {
        const char* cell;
        const char* filterList;  // nullptr: no entry in the list
        const char* figures;
    };
    const Case cases[] = {
        {"SUPER PRO     E1", "SUPER PRO", "SUPER PRO"},
        {"PRO ET  T1 ", "PRO ET  T", "PRO ET"},
        {"STREET", "STRE", "STREET"},
        {"STREET 4", "STREET", "STREET 4"},
        {"ABCD", "AB", "ABCD"},
        {"AB1", nullptr, "A"},
        {"Q1", nullptr, ""},
        {"", nullptr, ""},
    };
    for (const Case& c : cases) {
        const QString cell = QString::fromLatin1(c.cell);
        const std::optional<QString> listed = FilterListCategoryName(cell);
        EXPECT_EQ(listed.has_value(), c.filterList != nullptr) << c.cell;
        if (listed && c.filterList) {
            EXPECT_EQ(*listed, QString::fromLatin1(c.filterList)) << c.cell;
        }
        EXPECT_EQ(FiguresCategoryName(cell).toString(), QString::fromLatin1(c.figures)) << c.cell;
    }
}

TEST(LogFiguresTest, CarNumbersSortByTheirNumber) {
    QStringList cars{QStringLiteral("1234"), QStringLiteral("77A"), QStringLiteral("X1"),
                     QStringLiteral("7"),    QStringLiteral("123"), QStringLiteral("77"),
                     QStringLiteral("007")};
    std::sort(cars.begin(), cars.end(), CarNumberLess);
    EXPECT_EQ(cars.join(u' '), QStringLiteral("007 7 77 77A 123 1234 X1"));
}

TEST(FigureTextTest, RoundsHalvesAwayFromZeroAndShowsADashForNothing) {
    const std::tuple<Opt, int, const char*> cases[] = {
        {9.512, 3, "9.512"},    {9.5125, 3, "9.513"},  {(9.512 + 9.513) / 2, 3, "9.513"},
        {-0.0125, 3, "-0.013"}, {-0.0004, 3, "0.000"}, {140.1075, 2, "140.11"},
        {9.5, 3, "9.500"},      {0.012, 4, "0.0120"},  {7.0, 0, "7"},
        {{}, 3, "\u2013"},
    };
    for (const auto& [value, decimals, text] : cases) {
        EXPECT_EQ(FigureText(value, decimals), QString::fromUtf8(text)) << text;
    }
    EXPECT_EQ(TimesText({1.312, 1.3}), QStringLiteral("1.312 1.300"));
    EXPECT_EQ(TimesText({}), NoFigureText());
    EXPECT_EQ(DialSuggestionText({9.5403, 0.04, 3}),
              QStringLiteral("9.540 (spread 0.040 over 3 runs)"));
    EXPECT_EQ(DialSuggestionText({7.15, {}, 1}), QStringLiteral("7.150 (1 run)"));
    EXPECT_EQ(DialSuggestionText({}), NoFigureText());
}

TEST(StatsTablesTest, CarRowsShowEveryFigureOrADash) {
    const RunTable log = testing::HandMadeLog();
    const TextTable table = CarsTable(ComputeCarFigures(log));
    ASSERT_EQ(table.rows.size(), 7u);
    const auto row = [&](int i) {
        return table.rows[static_cast<std::size_t>(i)].join(u'|').toStdString();
    };
    EXPECT_EQ(table.headers.join(u'|'),
              QStringLiteral("Car|Categories|Names|Runs|W|L|Bye|NoDec|RT best|RT mean|RT sd|Red|"
                             "60ft best|60ft mean|60ft sd|60ft last 3|ET best|ET mean|ET sd|"
                             "ET last 3|MPH best|MPH mean|Dial runs|Breakouts|O/U mean|Pkg best|"
                             "Pkg mean|Next dial|Spread|Of"));
    EXPECT_EQ(row(0), std::string("7|TOP SPORTSMAN|KIM LEE|2|1|1|0|0|0.055|0.058|0.004|0|1.030|"
                                  "1.030|–|1.030|7.150|7.200|0.071|7.250 7.150|188.40|188.40|0|0|"
                                  "–|–|–|7.150|–|1"));
    EXPECT_EQ(row(2), std::string("100|SUPER PRO / PRO ET|DOE, JOHN|4|1|2|0|1|0.480|0.497|"
                                  "0.014|0|1.298|1.305|0.007|1.312 1.305 1.298|9.520|9.538|"
                                  "0.017|9.541 9.520 9.560|140.50|140.11|4|1|0.020|0.519|"
                                  "0.517|9.540|0.040|3"));

    const std::vector<CarRun> c200 = ReadCarRuns(log, QStringLiteral("200"));
    const TextTable runs = CarRunsTable(c200);
    EXPECT_EQ(runs.rows[1].join(u'|'),
              QStringLiteral("2|2026-12-04 12:00:00|SUPER PRO     E1|L|100|10.200|-0.021|1.395|"
                             "10.230|130.10|0.030|\u2013|L|red light"));
    EXPECT_EQ(runs.rows[0].last(2).join(u'|'), QStringLiteral("\u2013|breakout"));
    EXPECT_EQ(CarFiguresTable(SummarizeRuns(QStringLiteral("200"), c200)).rows.size(),
              static_cast<std::size_t>(table.headers.size()));

    const HeadToHead meeting = ComputeHeadToHead(log, QStringLiteral("100"), QStringLiteral("200"));
    const TextTable h2h = HeadToHeadTable(meeting);
    EXPECT_EQ(h2h.headers.join(u'|'),
              QStringLiteral("Row|Date/time|Category|100 lane|100 RT|"
                             "100 ET|200 lane|200 RT|200 ET|Margin|Winner"));
    EXPECT_EQ(h2h.rows[1].join(u'|'), QStringLiteral("2|2026-12-04 12:00:00|SUPER PRO     E1|R|"
                                                     "0.505|9.541|L|-0.021|10.230|0.0120|100"));
    EXPECT_EQ(h2h.rows[0].last(2).join(u'|'), QStringLiteral("\u2013|\u2013"));
    EXPECT_EQ(HeadToHeadSummaryText(meeting), QStringLiteral("100 won 1, 200 won 1 of 3 races."));
}

}  // namespace
}  // namespace orvanrx
