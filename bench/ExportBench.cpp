// The exports of a race log of 10,000 generated races (20,000 rows) as orvanrx-cli export
// writes them: the log opened from its file into the race log window's grid, the grid's sheet,
// then each writer (XML, HTML, xlsx workbook, PDF pages) to a file.
#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <functional>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "GeneratedLog.h"
#include "export/LogExport.h"
#include "print/LogGridPrint.h"
#include "print/PrintFonts.h"
#include "racelog/RaceLogFile.h"
#include "views/LogGridModel.h"
#include "views/LogGridSetup.h"
#include "views/LogGridSheet.h"

namespace orvanrx {
namespace {

constexpr int kRaces = 10000;

// The generated races written to a log file in `dir`.
QString WriteGeneratedLog(const QTemporaryDir& dir) {
    const RunTables tables = bench::GeneratedLog(kRaces);
    const QString path = dir.filePath(QStringLiteral("2026-05-02 0800.csv"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(RaceLogFileBytes(tables.AllRunsTable())) <= 0) {
        return {};
    }
    return path;
}

// The race log window's grid after opening the log, as orvanrx-cli export builds it.
struct OpenedLog {
    RunTables tables;
    LogGridModel grid{LogGridFlavour::RaceLog};

    explicit OpenedLog(const QString& path) {
        LoadRaceLog(path, tables);
        SetUpRaceLogGrid(grid);
        grid.SetTextMeasure(FontTextMeasure());
        grid.Load(tables.AllRunsTable());
        grid.Regroup();
        grid.FitColumn(u"Name");
    }
};

// One log file and its sheet, made once in main() for every benchmark.
struct Fixture {
    QTemporaryDir dir;
    QString logPath = WriteGeneratedLog(dir);
    OpenedLog opened{logPath};
    LogGridSheet sheet = ReadLogGridSheet(opened.grid);
    LogTitle title = LogTitleOf(logPath, opened.grid);
};

void BM_OpenLogIntoGrid(benchmark::State& state, const Fixture& log) {
    for (auto _ : state) {
        OpenedLog opened(log.logPath);
        benchmark::DoNotOptimize(opened.grid.rowCount());
    }
}

void BM_ReadSheet(benchmark::State& state, const Fixture& log) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadLogGridSheet(log.opened.grid).rows.size());
    }
    state.counters["rows"] = static_cast<double>(log.sheet.rows.size());
}

// The title's race days, from every row's DateTime.
void BM_LogTitle(benchmark::State& state, const Fixture& log) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(LogTitleOf(log.logPath, log.opened.grid).date.size());
    }
}

// The page layout alone: text widths and page breaks, nothing painted.
void BM_PageCount(benchmark::State& state, const Fixture& log) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    int pages = 0;
    for (auto _ : state) {
        pages = LogGridPageCount(log.sheet, pdf);
    }
    state.counters["pages"] = pages;
}

using Writer = ExportResult (*)(const LogGridSheet&, const LogTitle&, const QString&);

void BM_Write(benchmark::State& state, const Fixture& log, Writer write, const char* name) {
    const QString path = log.dir.filePath(QString::fromLatin1(name));
    for (auto _ : state) {
        if (!write(log.sheet, log.title, path).ok) {
            state.SkipWithError("the export failed");
            break;
        }
    }
    state.counters["MB"] = static_cast<double>(QFileInfo(path).size()) / 1e6;
}

}  // namespace
}  // namespace orvanrx

// The print layout measures text with real fonts: a QGuiApplication, offscreen without a
// display.
int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
#ifdef __GLIBC__
    // Freed memory kept by the process, as orvanrx-cli export sets it.
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
#endif
    QGuiApplication app(argc, argv);
    orvanrx::UseFaceStandIns();  // as orvanrx-cli export has them
    benchmark::Initialize(&argc, argv);
    using namespace orvanrx;
    const Fixture log;
    const auto add = [](const char* name, auto&&... args) {
        benchmark::RegisterBenchmark(name, args...)->Unit(benchmark::kMillisecond);
    };
    add("BM_OpenLogIntoGrid", BM_OpenLogIntoGrid, std::cref(log));
    add("BM_ReadSheet", BM_ReadSheet, std::cref(log));
    add("BM_LogTitle", BM_LogTitle, std::cref(log));
    add("BM_PageCount", BM_PageCount, std::cref(log));
    add("BM_WriteXml", BM_Write, std::cref(log), ExportLogGridXml, "log.xml");
    add("BM_WriteHtml", BM_Write, std::cref(log), ExportLogGridHtml, "log.html");
    add("BM_WriteXlsx", BM_Write, std::cref(log), ExportLogGridXlsx, "log.xlsx");
    add("BM_WritePdf", BM_Write, std::cref(log), ExportLogGridPdf, "log.pdf");
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
