#include "gui/FileCommands.h"

#include <QAction>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <algorithm>
#include <iterator>

#include "export/LogExport.h"
#include "gui/frmRaceLog.h"
#include "print/LogGridPrint.h"
#include "print/OpenedRaceLog.h"
#include "racelog/RaceLogFile.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"
#include "shell/Station.h"
#include "support/Support.h"
#include "views/LogGridModel.h"
#include "views/LogGridSheet.h"

namespace orvanrx {
namespace {

const QString kAllFilesFilter = QStringLiteral("All Files (*.*)");

// The extension of a Qt name filter's first pattern: "csv" of "... (*.csv)".
QString FilterExtension(const QString& filter) {
    const qsizetype star = filter.indexOf(QStringLiteral("(*."));
    if (star < 0) {
        return {};
    }
    const qsizetype start = star + 3;
    const qsizetype end = filter.indexOf(QLatin1Char(')'), start);
    const QString extension = filter.mid(start, end - start);
    return extension == QLatin1String("*") ? QString() : extension;
}

}  // namespace

QString QtFileDialogs::ChooseFile(QWidget* parent, const RaceLogDialog& dialog) {
    QFileDialog chooser(parent);
    SetUpRaceLogDialog(chooser, dialog);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) {
        return {};
    }
    return chooser.selectedFiles().constFirst();
}

bool QtFileDialogs::AskYesNo(QWidget* parent, const QString& caption, const QString& text) {
    return QMessageBox::question(parent, caption, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

void QtFileDialogs::ShowCritical(QWidget* parent, const QString& caption, const QString& text) {
    QMessageBox::critical(parent, caption, text, QMessageBox::Ok);
}

void SetUpRaceLogDialog(QFileDialog& dialog, const RaceLogDialog& setup) {
    dialog.setWindowTitle(setup.title);
    dialog.setNameFilters(setup.filters);
    if (!setup.filters.isEmpty()) {
        dialog.selectNameFilter(setup.filters.constFirst());
    }
    dialog.setDirectory(setup.folder);
    if (setup.kind == RaceLogDialog::Kind::Open) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        if (!setup.filters.isEmpty()) {
            dialog.setDefaultSuffix(FilterExtension(setup.filters.constFirst()));
        }
    }
    dialog.selectFile(setup.defaultName);
}

FileCommands::FileCommands(Parts parts) : parts_(std::move(parts)) {}

QString FileCommands::DialogFolder() const {
    const QString remembered = parts_.settings.QueryValue(kRaceLogPathKey, kDialogFolderValue);
    if (remembered != kNoKeyValue && QFileInfo(remembered).isDir()) {
        return remembered;
    }
    // The first time (or when the remembered folder is gone, a stick pulled out): the data
    // folder, where this start's log is written.
    return QFileInfo(parts_.station.LogFileName()).absolutePath();
}

QString FileCommands::ShownLogPath() const {
    if (!openedLog_.isEmpty()) {
        return openedLog_;
    }
    return parts_.station.LogFileName();
}

RaceLogDialog FileCommands::Dialog(RaceLogDialog::Kind kind, const QString& title,
                                   const QString& extension, const QString& filter) const {
    RaceLogDialog dialog;
    dialog.kind = kind;
    dialog.title = title;
    dialog.defaultName = LogFileStamp(parts_.station.Now()()) + extension;
    dialog.filters = QStringList{filter, kAllFilesFilter};
    dialog.folder = DialogFolder();
    return dialog;
}

QString FileCommands::Choose(const RaceLogDialog& dialog) {
    QString chosen = dialogs_->ChooseFile(&parts_.window, dialog);
    if (chosen.isEmpty()) {
        return {};
    }
    const QFileInfo file(chosen);
    if (file.fileName().isEmpty()) {
        // A folder without a name: the offered name in it.
        chosen = QDir(chosen).filePath(dialog.defaultName);
    }
    const QString full = QDir::toNativeSeparators(QFileInfo(chosen).absoluteFilePath());
    parts_.settings.SetKeyValue(kRaceLogPathKey, kDialogFolderValue,
                                TextBefore(full, QFileInfo(chosen).fileName()), ValueType::RegSz);
    return QFileInfo(chosen).absoluteFilePath();
}

void FileCommands::OpenLog() {
    parts_.withTimerStopped([this] {
        const QString path = Choose(Dialog(RaceLogDialog::Kind::Open,
                                           QStringLiteral("Open Race Log"), QStringLiteral(".csv"),
                                           QStringLiteral("OrvanRX Race Log Files (*.csv)")));
        if (path.isEmpty()) {
            return;
        }
        const RaceLogLoadResult loaded = LoadRaceLog(path, parts_.station.Tables());
        if (loaded.outcome == RaceLogLoadOutcome::Failed) {
            dialogs_->ShowCritical(&parts_.window, kRaceLogImportCaption, loaded.errorText);
        }
        if (loaded.outcome != RaceLogLoadOutcome::NoFile) {
            openedLog_ = path;
        }
        parts_.logReplaced();
        if (frmRaceLog* raceLog = parts_.raceLog()) {
            raceLog->ShowOpenedLog();
        }
    });
}

void FileCommands::SaveLog() {
    const QString path =
        Choose(Dialog(RaceLogDialog::Kind::Save, QStringLiteral("Save Race Log"),
                      QStringLiteral(".csv"), QStringLiteral("OrvanRX Race Log Files (*.csv)")));
    if (path.isEmpty()) {
        return;
    }
    // As for the automatic saves: the status bar says which file was not written and why,
    // until a save succeeds.
    parts_.station.SaveLogAs(path);
}

void FileCommands::ClearLog() {
    if (!dialogs_->AskYesNo(&parts_.window, QStringLiteral("Race Log"),
                            QStringLiteral("Do you want to clear all logged runs?"))) {
        return;
    }
    parts_.withTimerStopped([this] {
        if (frmRaceLog* raceLog = parts_.raceLog()) {
            raceLog->ClearDisplay();
        }
        parts_.logReplaced();
    });
}

void FileCommands::Export(ExportCommand format) {
    struct ExportDialog {
        ExportCommand format;
        const char* title;
        const char* extension;
        const char* filter;
    };
    static constexpr ExportDialog kDialogs[] = {
        {ExportCommand::Xml, "Export Race Log to XML", ".xml",
         "OrvanRX Race Log XML Files (*.xml)"},
        {ExportCommand::Html, "Export Race Log to HTML", ".html",
         "OrvanRX Race Log HTML Files (*.html)"},
        // A current Excel workbook, named as one so that spreadsheets open it without a warning.
        {ExportCommand::Xlsx, "Export Race Log to Microsoft's Excel", ".xlsx",
         "Microsoft Excel Files (*.xlsx)"},
    };
    const ExportDialog& chosen =
        *std::find_if(std::begin(kDialogs), std::end(kDialogs),
                      [format](const ExportDialog& dialog) { return dialog.format == format; });
    const QString path =
        Choose(Dialog(RaceLogDialog::Kind::Save, QString::fromLatin1(chosen.title),
                      QString::fromLatin1(chosen.extension), QString::fromLatin1(chosen.filter)));
    if (path.isEmpty()) {
        return;
    }
    LogGridSheet sheet;
    LogTitle title;
    if (frmRaceLog* raceLog = parts_.raceLog()) {
        sheet = ReadLogGridSheet(raceLog->Grid(), CollapsedGroups::Include);
        title = LogTitleOf(ShownLogPath(), raceLog->Grid());
    } else {
        // No window to ask: the log as the race log window shows it after the open command
        // (every race, the kept field choices, the Name column fitted to its names), the same
        // as orvanrx-cli export writes.
        LogGridModel grid(LogGridFlavour::RaceLog);
        LoadOpenedRaceLog(grid, parts_.station.Tables().AllRunsTable(), parts_.settings);
        sheet = ReadLogGridSheet(grid, CollapsedGroups::Include);
        title = LogTitleOf(ShownLogPath(), grid);
    }
    // A failed export leaves the file as it was; the command ends without a message.
    switch (format) {
        case ExportCommand::Xml:
            ExportLogGridXml(sheet, title, path);
            break;
        case ExportCommand::Html:
            ExportLogGridHtml(sheet, title, path);
            break;
        case ExportCommand::Xlsx:
            ExportLogGridXlsx(sheet, title, path);
            break;
    }
}

void FileCommands::ExportPdf(const LogGridSheet& sheet, const LogTitle& title) {
    const QString path =
        Choose(Dialog(RaceLogDialog::Kind::Save, QStringLiteral("Export Race Log to PDF"),
                      QStringLiteral(".pdf"), QStringLiteral("PDF Files (*.pdf)")));
    if (!path.isEmpty()) {
        ExportLogGridPdf(sheet, title, path);
    }
}

}  // namespace orvanrx
