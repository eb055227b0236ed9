#pragma once

#include <QString>
#include <utility>

#include "decoding/RunTables.h"

// A small race log written by hand, with every figure worked out on paper in the tests.
namespace orvanrx::testing {

// The cells of one lane that the statistics read; the rest stay empty.
struct LaneCells {
    const char* car = "";
    const char* name = "";
    const char* dial = "";
    const char* rt = "";
    const char* sixty = "";
    const char* et = "";
    const char* mph = "";
    const char* margin = "";
    const char* overund = "";
    const char* win = "";
};

inline void AddRace(RunTable& table, const char* category, const char* dateTime,
                    const LaneCells& left, const LaneCells& right) {
    table.OpenNextPair();
    for (const bool isLeft : {true, false}) {
        const int row = isLeft ? table.LeftRow() : table.RightRow();
        const LaneCells& lane = isLeft ? left : right;
        RunRow& cells = *table.MutableRow(row);
        const auto set = [&](RunColumn column, const char* text) {
            cells[column] = QString::fromLatin1(text);
        };
        cells[RunColumn::GeneralID] = QString::number(row ^ 1);
        set(RunColumn::DateTime, dateTime);
        set(RunColumn::Category, category);
        set(RunColumn::Class, "SP");
        set(RunColumn::Lane, isLeft ? "L" : "R");
        const std::pair<RunColumn, const char*> laneCells[] = {
            {RunColumn::Car, lane.car},         {RunColumn::Name, lane.name},
            {RunColumn::Dial, lane.dial},       {RunColumn::RT, lane.rt},
            {RunColumn::et60, lane.sixty},      {RunColumn::et1320, lane.et},
            {RunColumn::mph1320, lane.mph},     {RunColumn::margin, lane.margin},
            {RunColumn::overund, lane.overund}, {RunColumn::win, lane.win}};
        for (const auto& [column, text] : laneCells) {
            set(column, text);
        }
    }
}

// Seven cars over eight races and a pair of rows opened but never written:
// - 100 runs bracket in SUPER PRO and PRO ET: an undecided time run with the broadcast's
//   over/under, a win, a breakout loss, and a loss whose broadcast over/under (0.039) differs
//   from ET minus dial-in (0.040); its 60-foot time is missing once.
// - 200 meets 100 three times: a breakout time run by the broadcast's over/under, a red-light
//   loss and a win.
// - 7 runs heads-up, only ever in the right lane: a missing 60-foot time and speed, a Dial
//   cell holding letters, an over/under without a dial-in; its last run is on the next day.
// - 88 is 7's opponent; 300 has a bye (nobody in the other lane) with a win mark; 400 has
//   letters for a 60-foot time; 400 and 500 run a race with both lanes marked as winners.
inline RunTable HandMadeLog() {
    RunTable log;
    AddRace(log, "SUPER PRO     T1", "2026-12-04 10:00:00",
            {"100", "DOE, JOHN", "9.50", "0.512", "1.312", "9.530", "140.11", "", "0.030", ""},
            {"200", "JANE ROE", "10.20", "0.498", "1.401", "10.190", "130.50", "", "-0.010", ""});
    AddRace(log, "SUPER PRO     E1", "2026-12-04 12:00:00",
            {"200", "JANE ROE", "10.20", "-0.021", "1.395", "10.230", "130.10", "0.0120", "", ""},
            {"100", "DOE, JOHN", "9.50", "0.505", "1.305", "9.541", "140.02", "-0.0120", "", "W"});
    AddRace(log, "TOP SPORTSMAN Q1", "2026-12-04 12:30:00",
            {"88", "AL BUNDY", "", "0.045", "1.020", "7.101", "190.55", "", "", "W"},
            {"7", "KIM LEE", "", "0.061", "", "7.250", "", "", "", ""});
    AddRace(log, "SUPER PRO     E2", "2026-12-04 13:00:00",
            {"300", "SOLO RUNNER", "8.90", "0.430", "1.250", "8.950", "150.20", "", "", "W"}, {});
    AddRace(log, "PRO ET        E1", "2026-12-04 13:30:00",
            {"100", "DOE, JOHN", "9.55", "0.490", "1.298", "9.520", "140.50", "0.0050", "", ""},
            {"400", "RAY KING", "11.00", "0.520", "x", "11.050", "120.00", "-0.0050", "", "W"});
    AddRace(log, "SUPER PRO     E3", "2026-12-04 15:00:00",
            {"200", "JANE ROE", "10.15", "0.470", "1.390", "10.160", "130.90", "-0.0040", "", "W"},
            {"100", "DOE, JOHN", "9.52", "0.480", "", "9.560", "139.80", "0.0040", "0.039", ""});
    AddRace(log, "PRO ET        E2", "2026-12-04 16:00:00",
            {"400", "RAY KING", "11.00", "0.500", "", "11.020", "120.30", "", "", "W"},
            {"500", "ANN POE", "12.00", "0.530", "", "12.000", "110.00", "", "", "W"});
    AddRace(log, "TOP SPORTSMAN E1", "2026-12-05 10:00:00",
            {"88", "AL BUNDY", "", "0.040", "1.010", "7.200", "189.90", "", "", ""},
            {"7", "KIM LEE", "HU", "0.055", "1.030", "7.150", "188.40", "", "0.010", "W"});
    log.OpenNextPair();
    return log;
}

}  // namespace orvanrx::testing
