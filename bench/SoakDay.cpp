// A day-long soak of the receive path: a generated day of races (3000 by default, with a pause
// of 900 polls before each, about three million ticks in all: some 25 hours of 30 ms ticks)
// replayed through a program's start, its poll tick back to back, and its shut-down.
//
// It reports the resident memory when the first race is logged and when the last one is, the
// tick time percentiles (p50, p99, max) of the first and the last 100,000 ticks (and of the
// first and last 10,000 ticks that stored a data reply), and whether
// the race-log file written at shut-down holds exactly the generator's races. It fails (exit 1)
// when the memory grew by more than the log itself, when the late ticks' p50 or p99 is more
// than twice the early one, or when the file is not the day.
//
//   orvanrx_soak [--races N] [--seed S] [--out DIR] [--subject cli]
//
// DIR receives day.trace (the day as a receiver trace, to replay with `orvanrx-cli replay`) and
// soak.csv (the race log). bench/soak builds and runs it, then replays day.trace through the
// orvanrx-cli program itself and compares its race log with soak.csv.
//
// What is soaked is a SoakSubject: here the headless program, built exactly as
// `orvanrx-cli replay` builds it. The desktop program's tick (frmMain's timer handler, run
// offscreen) is soaked by adding a SoakSubject for it in a program that links orvanrx_gui and
// calling RunSoak with it; nothing else here changes.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include <unistd.h>

#include "CliSupport.h"
#include "racelog/RaceLogFile.h"
#include "shell/Station.h"
#include "sim/RaceDayGenerator.h"
#include "sim/SimulatedXpress.h"
#include "trace/TraceFile.h"

namespace orvanrx {
namespace {

constexpr int kWindowTicks = 100000;
// Of those, the data-reply ticks (a store, a decode, the views told) are timed apart too: most
// ticks of a day answer nothing and cost next to nothing.
constexpr int kWindowDataTicks = 10000;

// One program's receive path, started on a simulated receiver playing the day.
class SoakSubject {
public:
    virtual ~SoakSubject() = default;
    // One poll tick, as the program's timer runs it.
    virtual TickOutcome Tick() = 0;
    virtual bool TraceEnded() const = 0;
    virtual const RunTables& Tables() const = 0;
    // The program's orderly end: gives the shut-down save's result.
    virtual RaceLogSaveResult Stop() = 0;
};

// orvanrx-cli replay: a station with the console's indicators and race printer (quiet).
class HeadlessSubject final : public SoakSubject {
public:
    HeadlessSubject(std::vector<trace::Step> steps, const QString& settingsFile,
                    const QString& logFile)
        : sim_(std::move(steps)),
          settings_(settingsFile),
          indicators_(console_, true),
          printer_(console_, true),
          station_(
              Station::Setup{sim_, settings_, indicators_, printer_, SystemClock(), sim_.Clock()}) {
        printer_.Attach(station_.Tables());
        indicators_.SetLogFileName(logFile);
        station_.Start(logFile);
    }
    TickOutcome Tick() override { return station_.Loop().RunPollCycle(); }
    bool TraceEnded() const override { return sim_.TraceExhausted(); }
    const RunTables& Tables() const override { return station_.Tables(); }
    RaceLogSaveResult Stop() override { return station_.Stop(); }

private:
    SimulatedXpress sim_;
    SettingsStore settings_;
    cli::Console console_;
    cli::ConsoleIndicators indicators_;
    cli::RacePrinter printer_;
    Station station_;
};

// Resident memory of this process in KiB.
long ResidentKiB() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLong() * (sysconf(_SC_PAGESIZE) / 1024) : -1;
}

// The memory the race log itself takes: its rows and the text of their cells.
long LogKiB(const RunTable& table) {
    long bytes = static_cast<long>(table.RowCount()) * static_cast<long>(sizeof(RunRow));
    for (int r = 0; r < table.RowCount(); ++r) {
        for (const QString& cell : *table.Row(r)) {
            if (!cell.isEmpty()) {
                bytes += 32 + 2 * (cell.size() + 1);  // allocation header, UTF-16 and its end
            }
        }
    }
    return bytes / 1024;
}

struct Percentiles {
    double p50 = 0;
    double p99 = 0;
    double max = 0;
};

Percentiles Of(std::vector<double> us) {
    if (us.empty()) {
        return {};
    }
    std::sort(us.begin(), us.end());
    const auto at = [&us](double q) {
        return us[std::min(us.size() - 1, static_cast<std::size_t>(q * us.size()))];
    };
    return {at(0.50), at(0.99), us.back()};
}

// The day's trace with a pause of `pause` polls before each race but the first.
std::vector<trace::Step> WithPauses(const std::vector<trace::Step>& day, int pause) {
    std::vector<trace::Step> steps;
    bool first = true;
    for (const trace::Step& step : day) {
        const auto* comment = std::get_if<trace::Comment>(&step);
        if (comment != nullptr && comment->text.starts_with("race ") &&
            !comment->text.starts_with("race day")) {
            if (!first) {
                steps.push_back(trace::Idle{pause});
            }
            first = false;
        }
        steps.push_back(step);
    }
    return steps;
}

// Whether the log holds exactly the races, two rows each, every cell but DateTime.
QString Difference(const RunTable& table, const std::vector<RunRecord>& races) {
    if (table.RowCount() != 2 * static_cast<int>(races.size())) {
        return QStringLiteral("%1 rows for %2 races").arg(table.RowCount()).arg(races.size());
    }
    for (int row = 0; row < table.RowCount(); ++row) {
        const RunRecord& r = races[static_cast<std::size_t>(row / 2)];
        const bool left = row % 2 == 0;
        const QString expected[kRunColumnCount] = {
            QString::number(row ^ 1),
            table.Cell(row, RunColumn::DateTime),
            r.Category,
            left ? r.ClassL : r.ClassR,
            left ? r.CarL : r.CarR,
            left ? r.NameL : r.NameR,
            left ? QStringLiteral("L") : QStringLiteral("R"),
            left ? r.BumpL : r.BumpR,
            left ? r.DialL : r.DialR,
            left ? r.RTL : r.RTR,
            left ? r.et60L : r.et60R,
            left ? r.et330L : r.et330R,
            left ? r.et660L : r.et660R,
            left ? r.mph660L : r.mph660R,
            left ? r.et1000L : r.et1000R,
            left ? r.mph1000L : r.mph1000R,
            left ? r.et1320L : r.et1320R,
            left ? r.mph1320L : r.mph1320R,
            left ? r.marginL : r.marginR,
            left ? r.overundL : r.overundR,
            (left ? r.winL : r.winR) ? QStringLiteral("W") : QString()};
        for (int c = 0; c < kRunColumnCount; ++c) {
            if (table.Cell(row, c) != expected[c]) {
                return QStringLiteral("row %1 column %2: '%3', expected '%4'")
                    .arg(row)
                    .arg(c)
                    .arg(table.Cell(row, c), expected[c]);
            }
        }
    }
    return {};
}

struct SoakReport {
    long ticks = 0;
    long rssFirstRaceKiB = 0;
    long rssLastRaceKiB = 0;
    long logKiB = 0;
    Percentiles early;
    Percentiles late;
    Percentiles earlyData;
    Percentiles lateData;
};

// Ticks the subject until its trace ends, timing every tick.
SoakReport RunSoak(SoakSubject& subject, int races) {
    using Clock = std::chrono::steady_clock;
    SoakReport report;
    std::vector<double> early;
    std::vector<double> late(kWindowTicks);  // a ring of the last ticks
    std::vector<double> earlyData;
    std::vector<double> lateData(kWindowDataTicks);
    long dataTicks = 0;
    early.reserve(kWindowTicks);
    while (!subject.TraceEnded()) {
        const auto start = Clock::now();
        const TickOutcome outcome = subject.Tick();
        const double us = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
        if (outcome == TickOutcome::DataStored) {
            if (earlyData.size() < kWindowDataTicks) {
                earlyData.push_back(us);
            }
            lateData[static_cast<std::size_t>(dataTicks % kWindowDataTicks)] = us;
            ++dataTicks;
        }
        const int logged = subject.Tables().AllRunsTable().RowCount() / 2;
        if (logged >= 1 && report.rssFirstRaceKiB == 0) {
            report.rssFirstRaceKiB = ResidentKiB();
        }
        if (logged >= races && report.rssLastRaceKiB == 0) {
            report.rssLastRaceKiB = ResidentKiB();
        }
        if (report.rssFirstRaceKiB != 0 && early.size() < kWindowTicks) {
            early.push_back(us);
        }
        late[static_cast<std::size_t>(report.ticks % kWindowTicks)] = us;
        ++report.ticks;
    }
    late.resize(std::min<std::size_t>(late.size(), static_cast<std::size_t>(report.ticks)));
    report.early = Of(early);
    report.late = Of(late);
    lateData.resize(std::min<std::size_t>(lateData.size(), static_cast<std::size_t>(dataTicks)));
    report.earlyData = Of(earlyData);
    report.lateData = Of(lateData);
    report.logKiB = LogKiB(subject.Tables().AllRunsTable());
    return report;
}

int Main(const QStringList& args) {
    int races = 3000;
    unsigned seed = 7;
    QString out = QDir::currentPath() + QStringLiteral("/soak");
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QStringLiteral("--races")) {
            races = args[i + 1].toInt();
        } else if (args[i] == QStringLiteral("--seed")) {
            seed = args[i + 1].toUInt();
        } else if (args[i] == QStringLiteral("--out")) {
            out = args[i + 1];
        } else if (args[i] != QStringLiteral("--subject") || args[i + 1] != QStringLiteral("cli")) {
            std::fprintf(stderr, "usage: orvanrx_soak [--races N] [--seed S] [--out DIR]\n");
            return 2;
        }
    }
    QDir().mkpath(out);
    QElapsedTimer timer;
    timer.start();
    const RaceDay day = GenerateRaceDay({races, seed, 0.0, false});
    std::vector<trace::Step> steps = WithPauses(day.steps, 900);
    {
        QFile trace(out + QStringLiteral("/day.trace"));
        const std::string text = FormatTrace(steps);
        if (!trace.open(QIODevice::WriteOnly) ||
            trace.write(text.data(), static_cast<qint64>(text.size())) !=
                static_cast<qint64>(text.size())) {
            std::fprintf(stderr, "cannot write %s/day.trace\n", qPrintable(out));
            return 1;
        }
    }
    std::printf("generated %d races, %zu trace steps in %.1f s\n", races, steps.size(),
                static_cast<double>(timer.restart()) / 1000.0);

    const QString logFile = out + QStringLiteral("/soak.csv");
    QFile::remove(logFile);
    QFile::remove(out + QStringLiteral("/OrvanRX.ini"));
    HeadlessSubject subject(std::move(steps), out + QStringLiteral("/OrvanRX.ini"), logFile);
    const SoakReport report = RunSoak(subject, races);
    const RaceLogSaveResult saved = subject.Stop();
    const double seconds = static_cast<double>(timer.elapsed()) / 1000.0;

    RunTables loaded;
    const bool loadedOk = LoadRaceLog(logFile, loaded).outcome == RaceLogLoadOutcome::Loaded;
    const QString difference = loadedOk ? Difference(loaded.AllRunsTable(), day.races)
                                        : QStringLiteral("the race log did not load");

    const long growth = report.rssLastRaceKiB - report.rssFirstRaceKiB;
    std::printf("subject: orvanrx-cli replay (headless station)\n");
    std::printf("ticks: %ld in %.1f s (%.2f us a tick)\n", report.ticks, seconds,
                seconds * 1e6 / static_cast<double>(report.ticks));
    std::printf(
        "resident memory: %ld KiB at the first race, %ld KiB at the last (+%ld KiB); "
        "the log itself: %ld KiB\n",
        report.rssFirstRaceKiB, report.rssLastRaceKiB, growth, report.logKiB);
    std::printf("tick time, first %d ticks: p50 %.2f us, p99 %.2f us, max %.0f us\n", kWindowTicks,
                report.early.p50, report.early.p99, report.early.max);
    std::printf("tick time, last %d ticks:  p50 %.2f us, p99 %.2f us, max %.0f us\n", kWindowTicks,
                report.late.p50, report.late.p99, report.late.max);
    std::printf("data-reply ticks, first %d: p50 %.2f us, p99 %.2f us, max %.0f us\n",
                kWindowDataTicks, report.earlyData.p50, report.earlyData.p99, report.earlyData.max);
    std::printf("data-reply ticks, last %d:  p50 %.2f us, p99 %.2f us, max %.0f us\n",
                kWindowDataTicks, report.lateData.p50, report.lateData.p99, report.lateData.max);
    std::printf(
        "race log: %s (%s)\n", qPrintable(logFile),
        saved ? (difference.isEmpty() ? "exactly the generated races" : qPrintable(difference))
              : qPrintable(QStringLiteral("not saved: ") + saved.reason));

    bool ok = true;
    if (!saved || !difference.isEmpty()) {
        ok = false;
    }
    if (growth > 2 * report.logKiB + 2048) {
        std::printf("FAIL: memory grew by more than the log itself\n");
        ok = false;
    }
    if (report.late.p50 > 2 * report.early.p50 || report.late.p99 > 2 * report.early.p99 ||
        report.lateData.p50 > 2 * report.earlyData.p50 ||
        report.lateData.p99 > 2 * report.earlyData.p99) {
        std::printf("FAIL: late ticks more than twice as slow as early ones\n");
        ok = false;
    }
    std::printf("%s\n", ok ? "soak: ok" : "soak: FAILED");
    return ok ? 0 : 1;
}

}  // namespace
}  // namespace orvanrx

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    return orvanrx::Main(QCoreApplication::arguments());
}
