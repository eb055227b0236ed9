#pragma once

#include <QAnyStringView>
#include <QStringList>

namespace orvanrx {

class LogGridModel;

// The log windows' grids as their windows set them up at load, before the field choices: the
// columns Category, GeneralID, DateTime and mph1000 hidden, Name left-aligned, no rows, win
// 500 and Lane 600 twips wide, and the styles "Normal", "Heading" and "GroupHeader".

// A column's width as the windows set it at load: win 500 twips, Lane 600, every other column
// kStartColumnWidthTwips (888).
int StartColumnWidth(QAnyStringView columnKey);

// The race log window's grid adds the grouping by Category and the pair line under every
// right-lane row ("SetOfCars").
void SetUpRaceLogGrid(LogGridModel& grid);

// The filter window's grid: no grouping and no pair line.
void SetUpFilterGrid(LogGridModel& grid);

// The race log window's mark of the racer's own cars: rows whose car number is one of
// `numbers` take the "MyCar" style (the accent behind bold text), ahead of every other format
// condition, so a right-lane row keeps its pair line under the mark. No numbers: no mark.
void SetMyCarMark(LogGridModel& grid, const QStringList& numbers);

}  // namespace orvanrx
