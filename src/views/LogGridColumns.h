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
    {QLatin1String("GeneralID"), RunColumn::GeneralID, QLatin1String("GeneralID"), CellType::Integer, CellType::Integer},
    {QLatin1String("DateTime"),  RunColumn::DateTime,  QLatin1String("DateTime"),  CellType::DateTime, CellType::DateTime},
    {QLatin1String("Category"),  RunColumn::Category,  QLatin1String("Category"),  CellType::Text, CellType::Text},
    {QLatin1String("Class"),     RunColumn::Class,     QLatin1String("Class"),     CellType::Text, CellType::Text},
    {QLatin1String("Car"),       RunColumn::Car,       QLatin1String("Car #"),     CellType::Text, CellType::Text},
    {QLatin1String("Name"),      RunColumn::Name,      QLatin1String("Name"),      CellType::Text, CellType::Text},
    {QLatin1String("Lane"),      RunColumn::Lane,      QLatin1String("Lane"),      CellType::Text, CellType::Text},
    {QLatin1String("Bump"),      RunColumn::Bump,      QLatin1String("Bump"),      CellType::Text, CellType::Text},
    {QLatin1String("Dial"),      RunColumn::Dial,      QLatin1String("Dial"),      CellType::Text, CellType::Single},
    {QLatin1String("RT"),        RunColumn::RT,        QLatin1String("RT"),        CellType::Text, CellType::Single},
    {QLatin1String("et60"),      RunColumn::et60,      QLatin1String("60' ET"),    CellType::Text, CellType::Single},
    {QLatin1String("et330"),     RunColumn::et330,     QLatin1String("330' ET"),   CellType::Text, CellType::Single},
    {QLatin1String("et660"),     RunColumn::et660,     QLatin1String("1/8 ET"),    CellType::Text, CellType::Single},
    {QLatin1String("mph660"),    RunColumn::mph660,    QLatin1String("1/8 MPH"),   CellType::Text, CellType::Single},
    {QLatin1String("et1000"),    RunColumn::et1000,    QLatin1String("1000' ET"),  CellType::Text, CellType::Single},
    {QLatin1String("mph1000"),   RunColumn::mph1000,   QLatin1String("1000' MPH"), CellType::Text, CellType::Single},
    {QLatin1String("et1320"),    RunColumn::et1320,    QLatin1String("1/4 ET"),    CellType::Text, CellType::Single},
    {QLatin1String("mph1320"),   RunColumn::mph1320,   QLatin1String("1/4 MPH"),   CellType::Text, CellType::Single},
    {QLatin1String("margin"),    RunColumn::margin,    QLatin1String("Margin"),    CellType::Text, CellType::Single},
    {QLatin1String("overund"),   RunColumn::overund,   QLatin1String("Ovr/Und"),   CellType::Text, CellType::Single},
    {QLatin1String("win"),       RunColumn::win,       QLatin1String("Win"),       CellType::Text, CellType::Text},
}};
// clang-format on

// The grid column with that key (exact letter case), or -1.
int LogGridColumnOf(QAnyStringView key);

constexpr CellType LogGridCellType(int column, LogGridFlavour flavour) {
    const LogGridColumn& c = kLogGridColumns[static_cast<std::size_t>(column)];
    return flavour == LogGridFlavour::RaceLog ? c.raceLogType : c.filterType;
}

}  // namespace orvanrx
