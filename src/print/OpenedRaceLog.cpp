#include "print/OpenedRaceLog.h"

#include "print/LogGridPrint.h"
#include "views/FieldChoices.h"
#include "views/LogGridSetup.h"

namespace orvanrx {

void LoadOpenedRaceLog(LogGridModel& grid, const RunTable& allRuns, const SettingsStore& settings) {
    grid.SetTextMeasure(FontTextMeasure());
    SetUpRaceLogGrid(grid);
    ApplyFieldChoices(settings, grid);
    if (!allRuns.IsEmpty()) {
        grid.Load(allRuns);
    }
    grid.Regroup();
    grid.FitColumn(u"Name");
}

}  // namespace orvanrx
