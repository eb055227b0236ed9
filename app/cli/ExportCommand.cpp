#include "Commands.h"
#include "export/LogExport.h"
#include "print/LogGridPrint.h"
#include "print/OpenedRaceLog.h"
#include "print/PrintFonts.h"
#include "racelog/RaceLogFile.h"
#include "settings/SettingsStore.h"
#include "views/LogGridModel.h"
#include "views/LogGridSheet.h"

namespace orvanrx::cli {

namespace {

ExportResult Export(ExportFormat format, const LogGridSheet& sheet, const LogTitle& title,
                    const QString& path) {
    switch (format) {
        case ExportFormat::Xml:
            return ExportLogGridXml(sheet, title, path);
        case ExportFormat::Html:
            return ExportLogGridHtml(sheet, title, path);
        case ExportFormat::Xlsx:
            return ExportLogGridXlsx(sheet, title, path);
        case ExportFormat::Pdf:
            return ExportLogGridPdf(sheet, title, path);
    }
    return {false, QStringLiteral("Unknown format.")};
}

}  // namespace

int RunExport(const ExportOptions& options, Console& console) {
    const QString& logPath = options.log;
    const QString& outPath = options.out;
    RunTables tables;
    if (const std::optional<int> exit = LoadRaceLogFile(logPath, tables, console)) {
        return *exit;
    }

    UseFaceStandIns();  // the pages' fonts as the desktop program has them
    LogGridModel grid(LogGridFlavour::RaceLog);
    LoadOpenedRaceLog(grid, tables.AllRunsTable(), SettingsStore::ForCurrentUser());
    LogGridSheet sheet = ReadLogGridSheet(grid);
    if (options.format == ExportFormat::Pdf) {
        UsePageWidths(sheet, u"Name");  // as the print view lays the same log out
    }

    const ExportResult written = Export(options.format, sheet, LogTitleOf(logPath, grid), outPath);
    if (!written.ok) {
        console.err << outPath << ": " << written.error << '\n';
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace orvanrx::cli
