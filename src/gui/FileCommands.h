#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QFileDialog;
class QWidget;

namespace orvanrx {

class frmRaceLog;
class SettingsStore;
class Station;
struct LogGridSheet;
struct LogTitle;

// One race-log file dialog: what it says and where it starts.
struct RaceLogDialog {
    enum class Kind { Open, Save };
    Kind kind = Kind::Save;
    QString title;
    // The file name offered, without a folder ("2026-12-04 1853.csv").
    QString defaultName;
    // Qt name filters, the first one chosen.
    QStringList filters;
    QString folder;
};

// The dialogs and message boxes the file commands show; the desktop program's are Qt's, a test
// answers them itself.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // The full name of the file chosen, or empty when the racer cancelled.
    virtual QString ChooseFile(QWidget* parent, const RaceLogDialog& dialog) = 0;
    // A Yes/No question with the question icon; true for Yes.
    virtual bool AskYesNo(QWidget* parent, const QString& caption, const QString& text) = 0;
    // A message with the critical icon and OK.
    virtual void ShowCritical(QWidget* parent, const QString& caption, const QString& text) = 0;
};

// The program's own: QFileDialog (Qt's dialog, so that it behaves the same on every desktop)
// and QMessageBox.
class QtFileDialogs final : public FileDialogs {
public:
    QString ChooseFile(QWidget* parent, const RaceLogDialog& dialog) override;
    bool AskYesNo(QWidget* parent, const QString& caption, const QString& text) override;
    void ShowCritical(QWidget* parent, const QString& caption, const QString& text) override;
};

// Gives `dialog` the title, filters, starting folder and offered name of `setup`. An open
// dialog takes only a file that exists; a save dialog adds the first filter's extension to a
// name typed without one and replaces an existing file without asking, as the log's own
// automatic saves do.
void SetUpRaceLogDialog(QFileDialog& dialog, const RaceLogDialog& setup);

// The formats the race log exports to from the File menu.
enum class ExportCommand { Xml, Html, Xlsx };

// The File menu's commands on the race log: open an earlier log, save the log under another
// name, clear it, and export what the race log window shows. Each dialog starts in the folder
// chosen last in any of them (kept under "SOFTWARE\OrvanRX\RaceLog\Path\" "0", with its trailing
// separator), or, the first time, in the data folder where the day's race logs are written.
class FileCommands {
public:
    // What the commands use; the callbacks reach what the main window keeps.
    struct Parts {
        // The window the dialogs belong to.
        QWidget& window;
        // Whose run tables the commands read and replace, and whose saves they report.
        Station& station;
        const SettingsStore& settings;
        // The race log window while it is open, else nullptr.
        std::function<frmRaceLog*()> raceLog;
        // A log was opened or the log cleared (the statistics and My Car follow).
        std::function<void()> logReplaced;
        // Runs a command with tmrMain stopped, then starts tmrMain again.
        std::function<void(const std::function<void()>&)> withTimerStopped;
    };

    explicit FileCommands(Parts parts);
    // The dialogs the commands show (the program's own unless a caller sets others).
    void SetDialogs(FileDialogs& dialogs) { dialogs_ = &dialogs; }

    // miOpenLog: choose a log and load it in place of the race log, then show it in the race
    // log window. tmrMain is stopped from the start and always started again, also after a
    // cancel or a file that cannot be read (which leaves the log empty and says so).
    void OpenLog();
    // miSaveLog: write the race log to a file of the racer's choice. The automatic saves go
    // on writing this start's log file. tmrMain keeps running.
    void SaveLog();
    // miClearLog: on Yes to "Do you want to clear all logged runs?", the race log window
    // empties the run tables and its grid, with tmrMain stopped meanwhile.
    void ClearLog();

    // miSaveXML, miSaveHTML, miSaveXLS: write what the race log window's grid holds and shows
    // (its rows in grid order with the group headers, its shown columns) to a file of the
    // racer's choice, replacing a file of that name. The dialog is shown and its folder kept
    // also while the race log window is closed, but then nothing is written. tmrMain keeps
    // running.
    void Export(ExportCommand format);
    // The print view's "Export to PDF": the pages of `sheet` as a PDF file of the racer's
    // choice.
    void ExportPdf(const LogGridSheet& sheet, const LogTitle& title);

    // The folder a race-log dialog starts in.
    QString DialogFolder() const;
    // The log the race log window shows: the file opened last, or this start's log file.
    QString ShownLogPath() const;

private:
    RaceLogDialog Dialog(RaceLogDialog::Kind kind, const QString& title, const QString& extension,
                         const QString& filter) const;
    // The dialog's answer, its folder remembered; empty when cancelled.
    QString Choose(const RaceLogDialog& dialog);

    Parts parts_;
    QtFileDialogs qtDialogs_;
    FileDialogs* dialogs_ = &qtDialogs_;
    QString openedLog_;
};

}  // namespace orvanrx
