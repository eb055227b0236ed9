#include "Commands.h"
#include "export/LogExport.h"
#include "print/LogGridPrint.h"
#include "print/PrintFonts.h"
#include "racelog/RaceLogFile.h"
#include "settings/SettingsStore.h"
#include "views/FieldChoices.h"
#include "views/LogGridModel.h"
#include "views/LogGridSetup.h"
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

    // The race log window after the open command: its grid as set up at load with the kept
    // field choices, in all-categories mode, showing every race of the file. The window fits
    // the Name column to its names whenever it is sized; so does the export.
    UseFaceStandIns();  // the pages' fonts as the desktop program has them
    LogGridModel grid(LogGridFlavour::RaceLog);
    SetUpRaceLogGrid(grid);
    ApplyFieldChoices(SettingsStore::ForCurrentUser(), grid);
    grid.SetTextMeasure(FontTextMeasure());
    if (!tables.AllRunsTable().IsEmpty()) {
        grid.Load(tables.AllRunsTable());
    }
    grid.Regroup();
    grid.FitColumn(u"Name");

    const ExportResult written =
        Export(options.format, ReadLogGridSheet(grid), LogTitleOf(logPath, grid), outPath);
    if (!written.ok) {
        console.err << outPath << ": " << written.error << '\n';
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace orvanrx::cli
