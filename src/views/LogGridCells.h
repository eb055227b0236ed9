#pragma once

#include <QDate>
#include <QString>
#include <QStringView>
#include <QVariant>
#include <cmath>

#include "views/LogGridColumns.h"

namespace orvanrx {

// A cell of an Integer, Single or DateTime column is held as a double: an Integer as its
// value, a Single as its single-precision value, a DateTime as milliseconds of local civil time
// counted from the start of Julian day 0 (so it orders as the date-time does). An empty cell is
// NaN; no conversion yields NaN or an infinity for a filled cell.
//
// Accepted texts: Integer a 32-bit decimal integer; Single a finite decimal number (the C
// locale's form: a point, no group separators); DateTime "yyyy-MM-dd HH:mm:ss", as the run
// tables write it, or an ISO 8601 date-time (one with an offset is taken to local time).
double CellNumber(QStringView text, CellType type);

inline bool IsEmptyCell(double number) {
    return std::isnan(number);
}

// The day of a filled DateTime cell's number.
QDate CellDay(double number);

// The number as the grid hands it out: qint32, float or QDateTime (local time); an invalid
// QVariant for an empty cell.
QVariant CellValue(double number, CellType type);

}  // namespace orvanrx
