#pragma once

#include <QByteArray>
#include <QString>

#include "logbook/Logbook.h"

// The logbook as a CSV file for a spreadsheet or another program: a header line naming the
// columns, then a line per run (UTF-8, lines ended by CR LF). The columns are
//   time, track, category, class, car, name, lane, bump, dial, rt, et60, et330, et660,
//   mph660, et1000, mph1000, et1320, mph1320, margin, overund, win, opponent,
//   delay, throttle_stop, dial_given, tyre_pressure, weight, notes
// with every value as the race log holds it (time "YYYY-MM-DD HH:MM:SS", lane L or R, win W
// or empty). A field holding a comma, a double quote or a line break is put in double quotes,
// its quotes doubled; every other field is written as it is.
namespace orvanrx {

QByteArray LogbookCsvHeader();
QByteArray LogbookCsvLine(const LogbookRun& run);
// One field, quoted when it needs to be.
QString CsvField(const QString& text);

}  // namespace orvanrx
