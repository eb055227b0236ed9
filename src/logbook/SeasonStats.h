#pragma once

#include <QString>
#include <vector>

#include "analysis/CarStats.h"
#include "analysis/HeadToHead.h"
#include "logbook/Logbook.h"

// The statistics of the race log, over a season: the logbook's chosen races are read into a
// run table in order of time, and the same code that figures one log figures them.
namespace orvanrx {

struct CarSeason {
    std::vector<CarRun> runs;  // in order of time
    CarFigures figures;
};

// One car's runs and figures over the chosen races (the selection's own car list is ignored).
CarSeason ReadCarSeason(Logbook& logbook, RaceSelection selection, const QString& car);

// Every car's figures over the chosen races.
std::vector<CarFigures> SeasonCarFigures(Logbook& logbook, const RaceSelection& selection);

// Every race of the two cars against each other over the chosen races.
HeadToHead SeasonHeadToHead(Logbook& logbook, RaceSelection selection, const QString& carA,
                            const QString& carB);

}  // namespace orvanrx
