#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>
#include <vector>

#include "analysis/CarStats.h"
#include "analysis/HeadToHead.h"

// The statistics laid out as tables of text: the same columns for the command line's terminal
// and CSV output and for a window's table models.
namespace orvanrx {

struct TextTable {
    QStringList headers;
    std::vector<QStringList> rows;  // each as long as headers
};

// One row per car: car, categories, names, runs, wins, losses, byes, undecided, then the
// reaction time, 60-foot, 1/4-mile time and speed, dial-in and package figures and the next
// dial-in with its spread.
TextTable CarsTable(const std::vector<CarFigures>& cars);

// The columns of CarsTable one at a time, for a table model: the short heading, the figure's
// name written out, a car's cell as CarsTable shows it, and the number the cell shows (for
// sorting): counts as they are, figures as rounded for their text, lists by their last value;
// nothing for the text columns (car, categories, names) and for a figure without a value.
int CarsTableColumnCount();
QString CarsTableHeader(int column);
QString CarsTableLabel(int column);
QString CarsTableCell(const CarFigures& car, int column);
bool CarsTableIsNumeric(int column);
// The column with this short heading, or -1.
int CarsTableColumnOf(QStringView header);
std::optional<double> CarsTableNumber(const CarFigures& car, int column);

// The same figures of one car, a row each: "Figure" (the figure's name written out) and
// "Value".
TextTable CarFiguresTable(const CarFigures& car);

// One line about a car above its runs: names and categories, the record and the next
// dial-in, e.g. "DOE, JOHN · SUPER PRO / PRO ET · 5 runs: 2 W, 2 L, 1 no decision · best ET
// 9.520 · next dial-in 9.540 (spread 0.040 over 3 runs)". Parts without a value are left out.
// A window that shows the logbook's air-corrected dial-in on a line of its own leaves out the
// day's mean of three here (`withNextDial` false), so one dial-in stands on the screen.
QString CarSummaryText(const CarFigures& car, bool withNextDial = true);

// A car's runs, a row each: log row, date and time, category, lane, opponent, dial-in, RT,
// 60 ft, ET, MPH, over/under, package, result and notes (red light, breakout).
TextTable CarRunsTable(const std::vector<CarRun>& runs);

// The races of a meeting, a row each: log row, date and time, category, then lane, RT and ET
// of each car (headed by its number), the margin and the winner's number.
TextTable HeadToHeadTable(const HeadToHead& meeting);

// "1234 won 2, 567 won 1 of 3 races." or "1234 and 567 never met."
QString HeadToHeadSummaryText(const HeadToHead& meeting);

}  // namespace orvanrx
