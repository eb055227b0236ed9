#pragma once

#include <QString>
#include <vector>

#include "LogbookRows.h"
#include "logbook/Logbook.h"

// A small season known by heart, for the statistics window's queries and the window itself.
// Car 77 at A on 1 May (Q1 alone, E1 won against 88, E2 red-lit against 99) and at B on 1 June
// (Q1 alone, E1 won against 88); weather on 1 May only, 15 °C at 09:00 rising to 25 °C at
// 14:00 (50 % humidity, 990 hPa).
namespace orvanrx::testing {

struct KnownRace {
    QString source;
    QString track;
    Race race;
};

inline std::vector<KnownRace> KnownSeasonRaces() {
    const auto car = [](const char* number, const char* rt, const char* et, bool won) {
        return Entrant{QString::fromLatin1(number), QString::fromLatin1(rt),
                       QString::fromLatin1(et), QStringLiteral("130.00"), won};
    };
    struct Row {
        const char* source;
        const char* time;
        const char* round;
        Entrant left;
        Entrant right;
        const char* track;
    } const rows[] = {
        {"/a", "2026-05-01 10:00:00", "Q1", car("77", "0.500", "10.000", false), {}, "A"},
        {"/a", "2026-05-01 11:00:00", "Q1", car("88", "0.400", "11.000", false), {}, "A"},
        {"/a", "2026-05-01 12:00:00", "E1", car("77", "0.510", "10.100", true),
         car("88", "0.420", "11.100", false), "A"},
        {"/a", "2026-05-01 13:00:00", "E2", car("99", "0.450", "9.000", true),
         car("77", "-0.010", "10.200", false), "A"},
        {"/b", "2026-06-01 10:00:00", "Q1", car("77", "0.490", "9.900", false), {}, "B"},
        {"/b", "2026-06-01 12:00:00", "E1", car("88", "0.430", "11.200", false),
         car("77", "0.480", "9.800", true), "B"},
    };
    std::vector<KnownRace> races;
    int pair = 0;
    for (const Row& row : rows) {
        races.push_back({QString::fromLatin1(row.source), QString::fromLatin1(row.track),
                         MakeRace(pair++, QString::fromLatin1(row.time),
                                  QStringLiteral("SUPER PRO     ") + QString::fromLatin1(row.round),
                                  row.left, row.right)});
    }
    return races;
}

inline air::WeatherSample KnownSample(const char* time, double tempC) {
    air::WeatherSample s;
    s.time = QString::fromLatin1(time);
    s.tempC = tempC;
    s.humidity = 50.0;
    s.baroHpa = 990.0;
    return s;
}

// Stores the season; false when the logbook refused any of it.
inline bool FillKnownSeason(Logbook& logbook) {
    int pair = 0;
    for (const KnownRace& known : KnownSeasonRaces()) {
        if (logbook.StoreRace({known.source, pair++, known.track}, known.race.left,
                              known.race.right) != StoreOutcome::Inserted) {
            return false;
        }
    }
    return logbook.AddWeather(
        {KnownSample("2026-05-01 09:00:00", 15.0), KnownSample("2026-05-01 14:00:00", 25.0)});
}

}  // namespace orvanrx::testing
