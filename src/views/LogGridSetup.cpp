#include "views/LogGridSetup.h"

#include "views/LogGridModel.h"

namespace orvanrx {

namespace {

void SetUpCommon(LogGridModel& grid) {
    for (const char* column : {"Category", "GeneralID", "DateTime", "mph1000"}) {
        grid.SetHidden(QLatin1String(column), true);
    }
    grid.SetAlignment(QLatin1String("Name"), Qt::AlignLeft | Qt::AlignVCenter);
    grid.Clear();
    grid.SetWidth(QLatin1String("win"), 500);
    grid.SetWidth(QLatin1String("Lane"), 600);
    for (const QLatin1String style : {kNormalStyle, kHeadingStyle, kGroupHeaderStyle}) {
        grid.SetStyle(style, *StandardLogGridStyle(style));
    }
}

}  // namespace

void SetUpRaceLogGrid(LogGridModel& grid) {
    SetUpCommon(grid);
    grid.SetGroupBy(QLatin1String("Category"));
    grid.SetStyle(kSetOfCarsStyle, *StandardLogGridStyle(kSetOfCarsStyle));
    grid.SetFormatCondition(SetOfCarsCondition());
}

void SetUpFilterGrid(LogGridModel& grid) {
    SetUpCommon(grid);
    grid.SetGroupBy(QLatin1String());
}

}  // namespace orvanrx
