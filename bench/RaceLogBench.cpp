// Save and load of a race log of 10,000 races (20,000 rows), and the settings writes of the
// persisted run block.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "decoding/ReceiveBuffer.h"
#include "racelog/RaceLogFile.h"
#include "racelog/ReceiveMemory.h"

namespace orvanrx {
namespace {

constexpr int kRaces = 10000;

QString Decimal(int value, int decimals) {
    return QString::number(value / 1000.0, 'f', decimals);
}

// One lane of a race with cells as the decoder writes them; the numbers vary with the race.
RunRow LaneRow(int race, bool left) {
    const int v = race * 37 + (left ? 0 : 11);
    RunRow row;
    row[RunColumn::GeneralID] = QString::number(left ? 2 * race + 1 : 2 * race);
    row[RunColumn::DateTime] = QStringLiteral("2026-12-04 %1:%2:%3")
                                   .arg(8 + race / 1200, 2, 10, QLatin1Char('0'))
                                   .arg(race / 20 % 60, 2, 10, QLatin1Char('0'))
                                   .arg(race % 60, 2, 10, QLatin1Char('0'));
    row[RunColumn::Category] =
        race % 3 == 0 ? QStringLiteral("SUPER PRO") : QStringLiteral("PRO ET");
    row[RunColumn::Class] = QStringLiteral("SP");
    row[RunColumn::Car] = QString::number(100 + v % 9000);
    row[RunColumn::Name] = left ? QStringLiteral("DOE, JOHN") : QStringLiteral("RACER JANE Q");
    row[RunColumn::Lane] = left ? QStringLiteral("L") : QStringLiteral("R");
    row[RunColumn::Dial] = Decimal(9000 + v % 3000, 2);
    row[RunColumn::RT] = Decimal(400 + v % 300, 3);
    row[RunColumn::et60] = Decimal(1200 + v % 300, 3);
    row[RunColumn::et330] = Decimal(3600 + v % 500, 3);
    row[RunColumn::et660] = Decimal(5600 + v % 700, 3);
    row[RunColumn::mph660] = Decimal(110000 + v % 20000, 2);
    row[RunColumn::et1000] = Decimal(7400 + v % 900, 3);
    row[RunColumn::mph1000] = Decimal(120000 + v % 25000, 2);
    row[RunColumn::et1320] = Decimal(9000 + v % 1500, 3);
    row[RunColumn::mph1320] = Decimal(135000 + v % 30000, 2);
    row[RunColumn::margin] = Decimal(v % 900, 4);
    row[RunColumn::overund] = Decimal(v % 200, 3);
    row[RunColumn::win] = left == (race % 2 == 0) ? QStringLiteral("W") : QString();
    return row;
}

void FillLog(RunTables& tables) {
    RunTable& all = tables.MutableAllRunsTable();
    for (int race = 0; race < kRaces; ++race) {
        all.OpenNextPair();
        *all.MutableRow(all.LeftRow()) = LaneRow(race, true);
        *all.MutableRow(all.RightRow()) = LaneRow(race, false);
    }
}

void BM_SaveRaceLog(benchmark::State& state) {
    QTemporaryDir dir;
    const SettingsStore settings(dir.filePath(QStringLiteral("OrvanRX.ini")));
    const QString path = dir.filePath(QStringLiteral("log.csv"));
    RunTables tables;
    FillLog(tables);
    for (auto _ : state) {
        if (!SaveRaceLog(path, tables, settings)) {
            state.SkipWithError("save failed");
        }
    }
}
BENCHMARK(BM_SaveRaceLog)->Unit(benchmark::kMillisecond);

// The CSV text alone, without the file system.
void BM_RaceLogFileBytes(benchmark::State& state) {
    RunTables tables;
    FillLog(tables);
    for (auto _ : state) {
        benchmark::DoNotOptimize(RaceLogFileBytes(tables.AllRunsTable()));
    }
}
BENCHMARK(BM_RaceLogFileBytes)->Unit(benchmark::kMillisecond);

void BM_LoadRaceLog(benchmark::State& state) {
    QTemporaryDir dir;
    const SettingsStore settings(dir.filePath(QStringLiteral("OrvanRX.ini")));
    const QString path = dir.filePath(QStringLiteral("log.csv"));
    {
        RunTables tables;
        FillLog(tables);
        SaveRaceLog(path, tables, settings);
    }
    RunTables loaded;
    for (auto _ : state) {
        if (LoadRaceLog(path, loaded).outcome != RaceLogLoadOutcome::Loaded ||
            loaded.AllRunsTable().RowCount() != 2 * kRaces) {
            state.SkipWithError("load failed");
        }
    }
}
BENCHMARK(BM_LoadRaceLog)->Unit(benchmark::kMillisecond);

// The 73 separate settings writes made at shut-down (open, write out, close each), into a
// settings file that already holds them.
void BM_SaveRunBlock(benchmark::State& state) {
    QTemporaryDir dir;
    const SettingsStore settings(dir.filePath(QStringLiteral("OrvanRX.ini")));
    ReceiveBuffer buffer;
    buffer.Set(2, 0x03);
    buffer.Set(3, 0xE8);
    for (int i = 1000; i < 1073; ++i) {
        buffer.Set(i, static_cast<std::uint8_t>(i));
    }
    SaveRunBlock(settings, buffer);
    for (auto _ : state) {
        SaveRunBlock(settings, buffer);
    }
}
BENCHMARK(BM_SaveRunBlock)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orvanrx
