#pragma once

#include <QAnyStringView>
#include <QLatin1String>
#include <array>

#include "decoding/RunTables.h"

namespace orvanrx {

// The window a log grid serves. It decides how the grid holds its cells: the race log window
// keeps times and speeds as the broadcaster's text, the filter window holds them as numbers so
// that they sort and compare as numbers.
enum class LogGridFlavour { RaceLog, Filter };

// How a column holds its cells. Integer, DateTime and Single cells are converted from the
// table's text; an empty text, or one that is not a number or date-time, is an empty cell.
enum class CellType { Text, Integer, DateTime, Single };

struct LogGridColumn {
    QLatin1String key;      // the column's name in every grid operation
    RunColumn source;       // the run-table column it shows
    QLatin1String caption;  // its heading
    CellType raceLogType;
    CellType filterType;
};

inline constexpr int kLogGridColumnCount = kRunColumnCount;
inline constexpr int kStartColumnWidthTwips = 888;

// clang-format off
inline constexpr std::array<LogGridColumn, kLogGridColumnCount> kLogGridColumns{{
    {QLatin1String("GeneralID"), GeneralID, QLatin1String("GeneralID"), CellType::Integer, CellType::Integer},
    {QLatin1String("DateTime"),  DateTime,  QLatin1String("DateTime"),  CellType::DateTime, CellType::DateTime},
    {QLatin1String("Category"),  Category,  QLatin1String("Category"),  CellType::Text, CellType::Text},
    {QLatin1String("Class"),     Class,     QLatin1String("Class"),     CellType::Text, CellType::Text},
    {QLatin1String("Car"),       Car,       QLatin1String("Car #"),     CellType::Text, CellType::Text},
    {QLatin1String("Name"),      Name,      QLatin1String("Name"),      CellType::Text, CellType::Text},
    {QLatin1String("Lane"),      Lane,      QLatin1String("Lane"),      CellType::Text, CellType::Text},
    {QLatin1String("Bump"),      Bump,      QLatin1String("Bump"),      CellType::Text, CellType::Text},
    {QLatin1String("Dial"),      Dial,      QLatin1String("Dial"),      CellType::Text, CellType::Single},
    {QLatin1String("RT"),        RT,        QLatin1String("RT"),        CellType::Text, CellType::Single},
    {QLatin1String("et60"),      et60,      QLatin1String("60' ET"),    CellType::Text, CellType::Single},
    {QLatin1String("et330"),     et330,     QLatin1String("330' ET"),   CellType::Text, CellType::Single},
    {QLatin1String("et660"),     et660,     QLatin1String("1/8 ET"),    CellType::Text, CellType::Single},
    {QLatin1String("mph660"),    mph660,    QLatin1String("1/8 MPH"),   CellType::Text, CellType::Single},
    {QLatin1String("et1000"),    et1000,    QLatin1String("1000' ET"),  CellType::Text, CellType::Single},
    {QLatin1String("mph1000"),   mph1000,   QLatin1String("1000' MPH"), CellType::Text, CellType::Single},
    {QLatin1String("et1320"),    et1320,    QLatin1String("1/4 ET"),    CellType::Text, CellType::Single},
    {QLatin1String("mph1320"),   mph1320,   QLatin1String("1/4 MPH"),   CellType::Text, CellType::Single},
    {QLatin1String("margin"),    margin,    QLatin1String("Margin"),    CellType::Text, CellType::Single},
    {QLatin1String("overund"),   overund,   QLatin1String("Ovr/Und"),   CellType::Text, CellType::Single},
    {QLatin1String("win"),       win,       QLatin1String("Win"),       CellType::Text, CellType::Text},
}};
// clang-format on

// The grid column with that key (exact letter case), or -1.
int LogGridColumnOf(QAnyStringView key);

constexpr CellType LogGridCellType(int column, LogGridFlavour flavour) {
    const LogGridColumn& c = kLogGridColumns[static_cast<std::size_t>(column)];
    return flavour == LogGridFlavour::RaceLog ? c.raceLogType : c.filterType;
}

}  // namespace orvanrx
