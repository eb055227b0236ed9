#pragma once

#include <QHash>
#include <QWidget>
#include <functional>

#include "views/LogGridModel.h"

class QAction;
class QMdiSubWindow;
class QMenu;
class QStackedLayout;

namespace orvanrx {

class GroupByArea;
class LogGridView;
class PrintView;
class RunTables;
class SettingsStore;

// The race log: the logged runs in the grid grdLog, grouped by category, newest race first, two
// rows per race with the pair line under the right lane. It shows either the runs of the
// category being raced (the category table) or all runs (all-categories mode), reloads after
// every new run unless paused, and keeps its placement, the Name column's width and the field
// choices. Every command sits in the popup menu miSettings (right button over the grid); the
// main window's race-log tool bar calls the same commands.
class frmRaceLog final : public QWidget {
    Q_OBJECT
public:
    frmRaceLog(RunTables& tables, const SettingsStore& settings, QWidget* parent = nullptr);

    // Form_Load, once the window stands in its child window `frame`: the grid set up, the
    // placement, the Name width and the field choices restored, `backColor` (the main window's
    // background) behind the rows.
    void Load(QMdiSubWindow& frame, int backColor);

    // Reloads the grid from the table of the current mode, unless paused.
    void UpdateDisplay();
    // Empties both run tables and the grid (also while paused).
    void ClearDisplay();
    // The same as choosing "All Categories".
    void AllCategories();
    // A log was opened in place of the race log: the grid shows, reloaded with the whole log
    // once (all categories), and the window then stays in the category mode it was in.
    void ShowOpenedLog();

    void miPrintView_Click();
    void miGridView_Click();
    void miRefresh_Click();
    void miAllCategories_Click();
    void miCollapseAll_Click();
    void miExpandAll_Click();
    void miPauseUpdates_Click();
    void miFullScreen_Click();
    void miClose_Click();

    // The window became the active child: the grid takes the main window's colour now.
    void Activate(int backColor);

    // RaceLogOpen: from the end of the grid's set-up in Load until the window closes.
    bool IsOpen() const { return open_; }
    bool AllCategoriesMode() const;
    bool Paused() const;
    // The tool bar's caption of the category mode: "One Category" or "All Categories".
    QString CategoryCaption() const;

    LogGridModel& Grid() { return grid_; }
    LogGridView& View() { return *grdLog_; }
    // The print view (rptView and its tool bar).
    PrintView& Pages() { return *printPage_; }
    // Where the shown log comes from, for the printed pages' header.
    void SetLogPath(std::function<QString()> logPath) { logPath_ = std::move(logPath); }
    GroupByArea& GroupBy() { return *groupBy_; }
    QMenu& SettingsMenu() { return *miSettings_; }
    // A popup item by its name (miAllCategories, miClass, miPauseUpdates, ...), or nullptr.
    QAction* MenuItem(const QString& name) const { return items_.value(name, nullptr); }

Q_SIGNALS:
    // The category mode changed: the main window's miCategories tool shows `caption`.
    void CategoryCaptionChanged(const QString& caption);
    // The pause began (true) or ended (false).
    void PausedChanged(bool paused);
    // The window unloaded (placement, Name width and field choices saved).
    void Unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QAction* AddItem(QMenu& menu, const char* name, const QString& caption,
                     const std::function<void()>& onClick, bool checkable);
    void BuildMenu();
    void FieldItem_Click(QLatin1String item);
    void SetPaused(bool paused);
    // Widens `column` to its heading and texts, unless the user sized it.
    void WidenToFit(int column);
    void ShowSettingsMenu(const QPoint& globalPos);
    void Unload();

    RunTables& tables_;
    const SettingsStore& settings_;
    LogGridModel grid_;
    QStackedLayout* views_;
    GroupByArea* groupBy_;
    LogGridView* grdLog_;
    QWidget* gridPage_;
    QMenu* miSettings_;
    PrintView* printPage_;
    std::function<QString()> logPath_;
    QHash<QString, QAction*> items_;
    QMdiSubWindow* frame_ = nullptr;
    bool open_ = false;
};

}  // namespace orvanrx
