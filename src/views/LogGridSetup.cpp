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
    for (const char* column : {"win", "Lane"}) {
        grid.SetWidth(QLatin1String(column), StartColumnWidth(QLatin1String(column)));
    }
    for (const QLatin1String style : {kNormalStyle, kHeadingStyle, kGroupHeaderStyle}) {
        grid.SetStyle(style, *StandardLogGridStyle(style));
    }
}

}  // namespace

int StartColumnWidth(QAnyStringView columnKey) {
    if (columnKey == QLatin1String("win")) {
        return 500;
    }
    return columnKey == QLatin1String("Lane") ? 600 : kStartColumnWidthTwips;
}

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

void SetMyCarMark(LogGridModel& grid, const QStringList& numbers) {
    std::vector<RowCondition> others;
    for (const RowCondition& condition : grid.FormatConditions().Items()) {
        if (condition.key != kMyCarStyle) {
            others.push_back(condition);
        }
    }
    grid.ClearFormatConditions();
    if (!numbers.isEmpty()) {
        grid.SetStyle(kMyCarStyle, *StandardLogGridStyle(kMyCarStyle));
        RowCondition mine{QString(kMyCarStyle),
                          QStringLiteral("Car"),
                          RowComparison::OneOf,
                          QString(),
                          QString(),
                          numbers};
        grid.SetFormatCondition(mine);
    }
    for (const RowCondition& condition : others) {
        grid.SetFormatCondition(condition);
    }
}

}  // namespace orvanrx
