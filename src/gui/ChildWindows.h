#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <functional>
#include <memory>

#include "shell/PollLoop.h"
#include "support/Clock.h"

class QMdiArea;
class QMdiSubWindow;
class QWidget;

namespace orvanrx {

class CommandBars;
class ReceiveBuffer;
class RunTables;
class frmFilter;
class frmRaceLog;
class frmTimeSlip;
class frmStats;
class frmLogbook;
class MyCarAlert;
class SettingsStore;
struct LogGridSheet;
struct LogTitle;

// The main window's child windows: the time slip, the race log, the filter view and the
// statistics, with My Car's alert, which marks the racer's cars in them. Each window exists at
// most once, in a child window of the MDI area that goes away when it closes; its
// open flag is true from its load to its unload. The poll loop's news reach them here, and so
// do the main window's view commands.
class ChildWindows final : public QObject, public PollObserver {
    Q_OBJECT
public:
    // What the windows stand in, show and use; the callbacks answer what the main window and
    // its File menu keep.
    struct Parts {
        QMdiArea& area;
        CommandBars& bars;
        const ReceiveBuffer& buffer;
        RunTables& tables;
        const SettingsStore& settings;
        // The main window's background colour value, behind the rows of a grid.
        std::function<int()> backColor;
        // The log the race log window shows (the print view's page header names it).
        std::function<QString()> shownLogPath;
        // The print view's "Export to PDF": through the File menu's dialogs.
        std::function<void(const LogGridSheet&, const LogTitle&)> exportPdf;
        // Now, for My Car's next dial-in (the system clock when not given).
        Clock now;
    };

    ChildWindows(Parts parts, QObject* parent);
    ~ChildWindows() override;

    // miTimeSlip: open the time slip (or bring it to the front).
    void ShowTimeSlip();
    // miRaceLog: open the race log (or bring it to the front), showing its grid.
    void ShowRaceLog();
    // miFilter: open the filter (or bring it to the front), showing its grid, reloaded.
    void ShowFilter();
    // miPrintPreview: the race log's print view, then the filter's, of those open.
    void ShowPrintViews();

    bool TimeSlipOpen() const;
    bool RaceLogOpen() const;
    bool FilterOpen() const;
    frmTimeSlip* TimeSlip() const;
    frmRaceLog* RaceLog() const;
    frmFilter* Filter() const;
    QMdiSubWindow* RaceLogFrame() const;

    // miStats: open the statistics (or bring them to the front).
    void ShowStats();
    bool StatsOpen() const;
    frmStats* Stats() const;
    // miLogbook: open the season logbook (or bring it to the front).
    void ShowLogbook();
    bool LogbookOpen() const;
    frmLogbook* LogbookWindow() const;
    // The season logbook's file (set by the program; empty: no logbook).
    void SetLogbookPath(const QString& path) { logbookPath_ = path; }
    const QString& LogbookPath() const { return logbookPath_; }

    // The racer's own cars and their alert (Tools > My Car...).
    MyCarAlert& MyCar() { return *myCar_; }

    // The poll loop changed the run tables: the race log reloads, the statistics follow, a
    // race of the racer's cars raises the alert.
    void RunTablesChanged() override;
    // A log was opened or the log cleared: the statistics follow; no alert.
    void LogReplaced();
    // A data reply was stored: the time slip redraws.
    void DataReplyStored() override;

    // The racer's text size in percent (View > Text Size): the race log's and the filter's
    // grids and the time slip, open now or later.
    void SetTextSize(int percent);

    // At the main window's unload: the race log, then the time slip, then the statistics, each
    // keeping its placement as it closes.
    void CloseAtUnload();

private:
    // `content` in a new child window that is deleted when it closes.
    QMdiSubWindow* AddFrame(QWidget* content);
    // Window > Next Window (Ctrl+F6, Ctrl+Tab) and Previous Window (Ctrl+Shift+F6,
    // Ctrl+Shift+Tab).
    void AddWindowKeys();
    void Activate(QMdiSubWindow* frame);
    void ChildActivated(QMdiSubWindow* frame);
    void RaceLogUnloaded();
    // The print view's page header names the shown log; its PDF export goes through the
    // File menu's dialogs.
    template <typename Window>
    void ConnectPages(Window& window);
    // Where a race log without a saved placement opens: across the top of the MDI area, two
    // thirds of its height or, where it is short, all of it.
    QRect FirstRaceLogPlace() const;

    Parts parts_;
    const SettingsStore& settings_;
    QPointer<frmTimeSlip> timeSlip_;
    QPointer<frmRaceLog> raceLog_;
    QPointer<frmFilter> filter_;
    QPointer<frmStats> stats_;
    QPointer<frmLogbook> logbook_;
    QString logbookPath_;
    std::unique_ptr<MyCarAlert> myCar_;
    double textScale_ = 1.0;
};

}  // namespace orvanrx
