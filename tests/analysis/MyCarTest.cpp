#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "analysis/MyCar.h"
#include "decoding/RunTables.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"

namespace orvanrx {
namespace {

QString Q(const char* text) {
    return QString::fromUtf8(text);
}

TEST(MyCarNumbers, ReadItemByItem) {
    struct Case {
        const char* text;
        const char* numbers;   // joined by "|"
        const char* rejected;  // joined by "|"
    };
    const Case cases[] = {
        {"1234, 77A", "1234|77A", ""},
        {" 1234 ;;, 77A,,1234\t9 ", "1234|77A|9", ""},
        {"", "", ""},
        {" , ; ", "", ""},
        {"12[3, a:b, 9], 55", "55", "12[3|a:b|9]"},
        {"123456789012345, 1234567890123456", "123456789012345", "1234567890123456"},
        {"\xc3\xa9"
         "12, 7\x01"
         "1, 8",
         "8",
         "\xc3\xa9"
         "12|7\x01"
         "1"},
        {"x\"y, No", "x\"y|No", ""},
    };
    for (const Case& c : cases) {
        const MyCarNumbers parsed = ParseMyCarNumbers(Q(c.text));
        EXPECT_EQ(parsed.numbers.join(u'|'), Q(c.numbers)) << c.text;
        EXPECT_EQ(parsed.rejected.join(u'|'), Q(c.rejected)) << c.text;
    }
    EXPECT_EQ(MyCarNumbersText({Q("1234"), Q("77A")}), Q("1234, 77A"));
}

TEST(MyCarNumbers, StoredUnderMyCarAndReadBackEvenWhenBroken) {
    QTemporaryDir dir;
    const SettingsStore store(dir.filePath(Q("OrvanRX.ini")));
    EXPECT_TRUE(ReadMyCarNumbers(store).isEmpty());  // "No Key Value" is no car

    SaveMyCarNumbers(store, {Q("1234"), Q("77A")});
    EXPECT_EQ(store.QueryValue(kMyCarKey, kMyCarNumbersValue), Q("1234, 77A"));
    EXPECT_EQ(ReadMyCarNumbers(SettingsStore(store.Location())).join(u'|'), Q("1234|77A"));

    store.SetKeyValue(kMyCarKey, kMyCarNumbersValue, Q(",,1234;x]y  77A,1234,"), ValueType::RegSz);
    EXPECT_EQ(ReadMyCarNumbers(store).join(u'|'), Q("1234|77A"));
    store.SetKeyValue(kMyCarKey, kMyCarNumbersValue, 255, ValueType::RegDword);
    EXPECT_EQ(ReadMyCarNumbers(store).join(u'|'), Q("255"));

    SaveMyCarNumbers(store, {});
    EXPECT_TRUE(ReadMyCarNumbers(store).isEmpty());
}

// A race stored stage by stage as the decoder does: first the entries, then the times.
struct Race {
    const char* carL;
    const char* carR;
};

RunRecord Stage(const Race& race, int stage) {
    RunRecord record;
    record.Category = Q("SUPER PRO     E1");
    record.CarL = Q(race.carL);
    record.CarR = Q(race.carR);
    record.NameL = Q("LEFT DRIVER");
    record.NameR = Q("RIGHT DRIVER");
    record.DialL = Q("9.50");
    record.RTL = stage > 0 ? Q("0.512") : QString();
    record.et1320L = stage > 1 ? Q("9.512") : QString();
    return record;
}

TEST(MyCarWatch, ReportsEachRaceOfTheRacersCarsOnceAsItArrives) {
    RunTables tables;
    MyCarWatch watch;
    watch.SetNumbers({Q("1234"), Q("77A")});
    struct Step {
        Race race;
        int stages;
        MyCarLanes lanes;
        int arrivals;
    };
    const Step steps[] = {
        {{"1234", "567"}, 3, {true, false}, 1},
        {{"1", "2"}, 3, {false, false}, 0},
        {{"9", "77A"}, 2, {false, true}, 1},
        {{"1234", "77A"}, 3, {true, true}, 1},  // both at once: one arrival
        {{"88", "1234"}, 2, {false, true}, 1},  // the same car again in the next race
        {{"5", "6"}, 1, {false, false}, 0},
    };
    for (const Step& step : steps) {
        int arrivals = 0;
        for (int stage = 0; stage < step.stages; ++stage) {
            ASSERT_TRUE(tables.StoreRun(Stage(step.race, stage)));
            const MyCarWatch::Result result = watch.Check(tables.AllRunsTable());
            arrivals += result.arrived ? 1 : 0;
            EXPECT_EQ(result.lanes, step.lanes) << step.race.carL << " " << stage;
            EXPECT_EQ(watch.Lanes(), step.lanes);
        }
        EXPECT_EQ(arrivals, step.arrivals) << step.race.carL << " v " << step.race.carR;
    }
}

TEST(MyCarWatch, ACorrectedNumberArrivesAndAReplacedLogDoesNot) {
    RunTables tables;
    MyCarWatch watch;
    watch.SetNumbers({Q("1234")});
    ASSERT_TRUE(tables.StoreRun(Stage({"10", "123"}, 0)));
    EXPECT_FALSE(watch.Check(tables.AllRunsTable()).arrived);
    // The right lane's entry corrected in the same race: now it is the racer's car.
    ASSERT_TRUE(tables.StoreRun(Stage({"10", "1234"}, 1)));
    EXPECT_TRUE(watch.Check(tables.AllRunsTable()).arrived);
    ASSERT_TRUE(tables.StoreRun(Stage({"10", "1234"}, 2)));
    EXPECT_FALSE(watch.Check(tables.AllRunsTable()).arrived);

    // A log whose latest race holds the car is opened: no alert for it, nor its rewrites.
    RunTables opened;
    ASSERT_TRUE(opened.StoreRun(Stage({"1", "2"}, 0)));
    ASSERT_TRUE(opened.StoreRun(Stage({"1234", "2"}, 1)));
    watch.TakeAsSeen(opened.AllRunsTable());
    EXPECT_FALSE(watch.Check(opened.AllRunsTable()).arrived);

    // Cleared, then the same car in the first pair of the new log: a new race.
    tables.ResetRunTables();
    watch.TakeAsSeen(tables.AllRunsTable());
    EXPECT_EQ(watch.Lanes(), MyCarLanes{});
    ASSERT_TRUE(tables.StoreRun(Stage({"10", "1234"}, 0)));
    EXPECT_TRUE(watch.Check(tables.AllRunsTable()).arrived);

    watch.SetNumbers({});
    EXPECT_EQ(watch.Check(tables.AllRunsTable()).lanes, MyCarLanes{});
}

TEST(MyCarRaceText, NamesTheLaneCategoryAndOpponent) {
    struct Case {
        Race race;
        MyCarLanes lanes;
        const char* summary;
        const char* body;
    };
    const Case cases[] = {
        {{"1234", "567"},
         {true, false},
         "Car 1234 in the left lane",
         "SUPER PRO E1 against 567 RIGHT DRIVER"},
        {{"567", "1234"},
         {false, true},
         "Car 1234 in the right lane",
         "SUPER PRO E1 against 567 LEFT DRIVER"},
        {{"1234", "77A"}, {true, true}, "Cars 1234 and 77A race each other", "SUPER PRO E1"},
        {{"1234", ""}, {true, false}, "Car 1234 in the left lane", "SUPER PRO E1, a bye run"},
        {{"1234", "5"}, {false, false}, "", ""},
    };
    for (const Case& c : cases) {
        RunTables tables;
        ASSERT_TRUE(tables.StoreRun(Stage(c.race, 1)));
        const MyCarAlertText text = MyCarRaceText(tables.AllRunsTable(), c.lanes);
        EXPECT_EQ(text.summary, Q(c.summary));
        EXPECT_EQ(text.body, Q(c.body));
    }
}

}  // namespace
}  // namespace orvanrx
