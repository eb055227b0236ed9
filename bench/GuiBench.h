#pragma once

// What the widget benchmarks share: a long day of races, storing a race as the decoder does,
// and their main().

#include <QApplication>
#include <QString>
#include <vector>

#include <benchmark/benchmark.h>

#include "decoding/RunRecord.h"
#include "decoding/RunTables.h"

namespace orvanrx::bench {

// A long day of `races` races as a strip runs them: a round of a category (a dozen pairs),
// then the next of 36 categories, each race with its own cars and figures.
inline std::vector<RunRecord> LongDay(int races) {
    static constexpr const char* kRounds[] = {"E1", "E2", "Q1", "Q2", "T1", "C1"};
    std::vector<RunRecord> day;
    for (int n = 0; n < races; ++n) {
        const int category = (n / 12) % 36;
        RunRecord race;
        race.Category =
            QStringLiteral("CATEGORY %1").arg(category, 2, 10, QLatin1Char('0')).leftJustified(14) +
            QString::fromLatin1(kRounds[(n / 432) % 6]);
        race.ClassL = race.ClassR = QStringLiteral("C%1").arg(category);
        race.CarL = QString::number(100 + (n * 7) % 900);
        race.CarR = QString::number(1000 + (n * 13) % 900);
        race.NameL = QStringLiteral("DRIVER ") + race.CarL;
        race.NameR = QStringLiteral("DRIVER ") + race.CarR;
        race.DialL = QStringLiteral("9.%1").arg(n % 100, 2, 10, QLatin1Char('0'));
        race.DialR = QStringLiteral("10.%1").arg(n % 100, 2, 10, QLatin1Char('0'));
        race.RTL = QStringLiteral("0.%1").arg(n % 1000, 3, 10, QLatin1Char('0'));
        race.RTR = QStringLiteral("0.%1").arg((n * 3) % 1000, 3, 10, QLatin1Char('0'));
        race.et60L = race.et60R = QStringLiteral("1.412");
        race.et1320L = QStringLiteral("9.%1").arg((n * 11) % 1000, 3, 10, QLatin1Char('0'));
        race.et1320R = QStringLiteral("10.%1").arg((n * 17) % 1000, 3, 10, QLatin1Char('0'));
        race.mph1320L = race.mph1320R = QStringLiteral("140.11");
        race.winL = n % 2 == 0;
        race.winR = !race.winL;
        day.push_back(race);
    }
    return day;
}

// A benchmark program's main() for widgets: offscreen unless told otherwise, one application.
inline int RunWidgetBenchmarks(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// Stores a race as the decoder does: its first stage, then the finished race.
inline void StoreRace(RunTables& tables, const RunRecord& race) {
    RunRecord started = race;
    started.et1320L.clear();
    started.winL = started.winR = false;
    tables.StoreRun(started);
    tables.StoreRun(race);
}

}  // namespace orvanrx::bench
