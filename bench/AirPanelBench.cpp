// What the status bar's air panel does once a minute (and when a sample is stored): read the
// samples of the four hours around now from a logbook holding a season of them, and work out
// the air now with its trend. It runs on the event loop, never on the 30 ms tick; this says
// how long that one read keeps the loop busy.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QTemporaryDir>
#include <chrono>
#include <thread>

#include "logbook/Logbook.h"
#include "weather/AirNow.h"
#include "weatherlink/WeatherStore.h"

namespace {

using namespace orvanrx;

constexpr int kDays = 200;
constexpr int kSamplesPerDay = 96;  // a fetch every 15 minutes, all day

void BM_AirPanelRefresh(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("logbook.sqlite"));
    {
        auto opened = Logbook::Open(path);
        std::vector<air::WeatherSample> season;
        const QDateTime start(QDate(2026, 3, 1), QTime(0, 0));
        for (int i = 0; i < kDays * kSamplesPerDay; ++i) {
            air::WeatherSample s;
            s.time = start.addSecs(i * 15 * 60).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
            s.tempC = 15.0 + (i % kSamplesPerDay) * 0.15;
            s.humidity = 50.0;
            s.baroHpa = 990.0 + (i % 7);
            s.source = QStringLiteral("bench");
            season.push_back(s);
        }
        opened.logbook->AddWeather(season);
    }
    WeatherStore store(path);
    // The store opens the logbook on its own thread: read once it is open.
    for (int tries = 0; store.Samples({}, {}).empty(); ++tries) {
        if (tries == 10000) {
            state.SkipWithError("the logbook was not opened");
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const QDateTime now(QDate(2026, 7, 15), QTime(14, 7));
    const QString format = QStringLiteral("yyyy-MM-dd HH:mm:ss");
    const std::int64_t seconds = *air::SecondsOf(now.toString(format));
    for (auto _ : state) {
        const auto samples =
            store.Samples(now.addSecs(-air::kMaxSampleDistanceSeconds).toString(format),
                          now.addSecs(air::kMaxSampleDistanceSeconds).toString(format));
        benchmark::DoNotOptimize(air::AirNowOf(samples, seconds));
    }
    state.counters["samples"] = kDays * kSamplesPerDay;
}
BENCHMARK(BM_AirPanelRefresh)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
