#include <unistd.h>
#include <QDir>
#include <cstdio>

#include "Commands.h"
#include "LogbookSupport.h"
#include "logbook/LogbookImport.h"

namespace orvanrx::cli {

namespace {

int RunImport(const LogbookOptions& options, Logbook& logbook, Console& console) {
    const QStringList files = RaceLogFilesIn(options.paths);
    if (files.isEmpty()) {
        console.err << "No race-log files in " << options.paths.join(QStringLiteral(", ")) << ".\n";
        return kExitUsage;
    }
    // On a terminal a long import shows how far it is.
    const bool showProgress = files.size() > 1 && ::isatty(STDERR_FILENO) == 1;
    const ImportReport report =
        ImportRaceLogs(logbook, files, options.track, [&](int done, int total) {
            if (showProgress) {
                console.err << "\rImporting: " << done << " of " << total << " files";
                console.err.flush();
            }
        });
    if (showProgress) {
        console.err << '\n';
    }
    for (const QString& skipped : report.skipped) {
        console.err << skipped << '\n';
    }
    console.out << report.filesRead << " of " << files.size() << " files read, " << report.races
                << " races: " << report.inserted << " new, " << report.updated << " completed, "
                << report.duplicates << " already in the logbook, " << report.notRuns
                << " without a run.\n";
    return report.filesRead == 0 ? kExitUsage : kExitOk;
}

}  // namespace

int RunLogbook(const LogbookOptions& options, Console& console) {
    const std::unique_ptr<Logbook> logbook = OpenLogbookFor(options.logbook, console);
    if (!logbook) {
        return kExitFailure;
    }
    QString error;
    switch (options.action) {
        case LogbookOptions::Action::Import:
            return RunImport(options, *logbook, console);
        case LogbookOptions::Action::Export:
            if (!logbook->ExportCsv(options.paths.constFirst(), &error)) {
                console.err << QDir::toNativeSeparators(options.paths.constFirst()) << ": " << error
                            << '\n';
                return kExitFailure;
            }
            return kExitOk;
        case LogbookOptions::Action::Backup:
            if (!logbook->Backup(options.paths.constFirst(), &error)) {
                console.err << QDir::toNativeSeparators(options.paths.constFirst()) << ": " << error
                            << '\n';
                return kExitFailure;
            }
            return kExitOk;
    }
    return kExitFailure;
}

}  // namespace orvanrx::cli
