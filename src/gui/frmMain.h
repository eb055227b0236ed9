#pragma once

#include <QMainWindow>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <map>

#include "shell/PollLoop.h"

class QMdiArea;

namespace orvanrx {

class CommandBars;
class FileCommands;
class frmRaceLog;
class ChildWindows;
class MainStatusBar;
class SettingsStore;
class Station;
struct StationForwarders;

// The main window: the frame of the child windows (time slip, race log, filter, statistics), the
// menus and tool bars, the status bar and tmrMain, the 30 ms timer that drives the receive path.
class frmMain final : public QMainWindow {
    Q_OBJECT
public:
    // The window over `station`, which main() built on `forwarders`: while the window lives,
    // they report to its status bar and its child windows.
    frmMain(Station& station, StationForwarders& forwarders, const SettingsStore& settings,
            QWidget* parent = nullptr);
    ~frmMain() override;

    // MDIForm_Load: this start's race-log file in the data folder below `dataFolderBase`, the
    // station started (the race log window opening on the reset tables), the status controls
    // attached and the background colour restored; then tmrMain runs. A step that fails shows
    // "Error detected in form load event!" and skips the rest.
    void Load(const QString& dataFolderBase);
    // MDIForm_Unload, once: tmrMain stopped, the receiver closed, the race log saved, the log
    // windows closed, the receive memory and the background colour kept. Closing the window
    // runs it.
    void Unload();
    bool Unloaded() const { return unloaded_; }

    // The dispatch of a tool name (menu, tool bar, or a caller); false for a name not in the
    // table, which does nothing.
    bool RunTool(const QString& name);

    // How many poll cycles one timeout of tmrMain runs (a faster replay); 1 normally.
    void SetCyclesPerTimeout(int cycles) { cyclesPerTimeout_ = cycles < 1 ? 1 : cycles; }
    // Called after every poll cycle with its outcome (the demo tops its race day up here).
    void SetAfterCycle(std::function<void(TickOutcome)> afterCycle) {
        afterCycle_ = std::move(afterCycle);
    }

    // The parts, for main() (the replay's pace) and for tests; the parts themselves get only
    // what they use when they are built, never the window.
    QTimer& tmrMain() { return tmrMain_; }
    QMdiArea& MdiArea() { return *mdiArea_; }
    MainStatusBar& StatusBar() { return *statusBar_; }
    CommandBars& Bars() { return *bars_; }
    // The child windows: the time slip, the race log, the filter view and the statistics.
    ChildWindows& Windows() { return *windows_; }
    // The File menu's commands on the race log.
    FileCommands& Files() { return *files_; }

    // The background colour value behind the child windows.
    int BackColor() const { return backColor_; }
    void SetBackColor(int value);

    bool RaceLogOpen() const;
    bool TimeSlipOpen() const;
    bool FilterOpen() const;

    using Command = std::function<void()>;
    // A command the program adds to the dispatch (Tools > Pit View... opens its dialog on the
    // program's pit view).
    void SetCommand(const QString& name, Command command) { dispatch_[name] = std::move(command); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Stops tmrMain for a command that replaces or resets the run tables, then starts it again
    // (unless the window unloaded meanwhile).
    void WithTimerStopped(const Command& command);
    void BuildDispatch();
    void tmrMain_Timer();
    Command RaceLogCommand(void (frmRaceLog::*command)());
    QList<QMdiSubWindow*> ArrangedWindows() const;
    void TileHorizontally();
    void TileVertically();
    void miCloseAll_Click();
    void miMoreColors_Click();
    void miCalculator_Click();
    void miRefresh_Click();
    void miChangeChannel_Click();
    void miAbout_Click();

    Station& station_;
    StationForwarders& forwarders_;
    const SettingsStore& settings_;
    QMdiArea* mdiArea_;
    MainStatusBar* statusBar_;
    CommandBars* bars_;
    ChildWindows* windows_;
    std::unique_ptr<FileCommands> files_;
    std::map<QString, Command> dispatch_;
    QTimer tmrMain_;
    int cyclesPerTimeout_ = 1;
    std::function<void(TickOutcome)> afterCycle_;
    int backColor_;
    bool unloaded_ = false;
};

}  // namespace orvanrx
