#include "logbook/SeasonStats.h"

namespace orvanrx {

CarSeason ReadCarSeason(Logbook& logbook, RaceSelection selection, const QString& car) {
    selection.cars = QStringList{car.trimmed()};
    const RunTable table = logbook.SelectRaces(selection);
    CarSeason season;
    season.runs = ReadCarRuns(table, car.trimmed());
    season.figures = SummarizeRuns(car.trimmed(), season.runs);
    return season;
}

std::vector<CarFigures> SeasonCarFigures(Logbook& logbook, const RaceSelection& selection) {
    return ComputeCarFigures(logbook.SelectRaces(selection));
}

HeadToHead SeasonHeadToHead(Logbook& logbook, RaceSelection selection, const QString& carA,
                            const QString& carB) {
    selection.cars = QStringList{carA.trimmed()};
    return ComputeHeadToHead(logbook.SelectRaces(selection), carA.trimmed(), carB.trimmed());
}

}  // namespace orvanrx
