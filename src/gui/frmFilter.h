#pragma once

#include <QWidget>
#include <functional>

#include "views/LogGridFilterModel.h"
#include "views/LogGridModel.h"

class QComboBox;
class QLineEdit;
class QMdiSubWindow;
class QMenu;
class QStackedLayout;

namespace orvanrx {

class GroupByArea;
class LogGridView;
class PrintView;
class RunTables;
class SettingsStore;

// The race log filter: every logged run (the all-runs table) in its own grid, narrowed by a
// category, a round and a typed car number, with the times and speeds held as numbers so a
// click on a heading sorts them as numbers. It opens where the race log stands and writes no
// setting; its choices last while it is open. It shows the table as of its last UpdateDisplay
// (the main window's filter command) and the categories as of its load.
class frmFilter final : public QWidget {
    Q_OBJECT
public:
    // The round list: "All Rounds", then E0..E8, T0..T8, Q0..Q8, C0..C8.
    static QStringList RoundList();

    frmFilter(const RunTables& tables, const SettingsStore& settings, QWidget* parent = nullptr);

    // Form_Load, once the window stands in its child window `frame`.
    void Load(QMdiSubWindow& frame, int backColor);
    // Reloads the grid from the all-runs table; the conditions in force stay.
    void UpdateDisplay();

    void miPrintView_Click();
    void miGridView_Click();
    // The window became the active child: the grid takes the main window's colour now.
    void Activate(int backColor);

    // FilterOpen: from early in Load until the window closes.
    bool IsOpen() const { return open_; }

    // The controls' actions, as a click or the Enter key runs them.
    void cboCategory_Click();
    void cboRound_Click();
    void ApplyFilter();

    LogGridModel& Grid() { return grid_; }
    LogGridFilterModel& Shown() { return shown_; }
    LogGridView& View() { return *grdLog_; }
    // The print view (rptView and its tool bar).
    PrintView& Pages() { return *printPage_; }
    // Where the shown log comes from, for the printed pages' header.
    void SetLogPath(std::function<QString()> logPath) { logPath_ = std::move(logPath); }
    QComboBox& CategoryBox() { return *cboCategory_; }
    QComboBox& RoundBox() { return *cboRound_; }
    QLineEdit& CarBox() { return *txtCar_; }
    QMenu& SettingsMenu() { return *miSettings_; }

Q_SIGNALS:
    void Unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FillCategoryList();
    void AddCategoryName(const QString& text);
    // The category and round conditions as the boxes stand (a category when one is chosen, a
    // round unless it is "All Rounds").
    void SetCategoryAndRound();
    void Unload();

    const RunTables& tables_;
    const SettingsStore& settings_;
    LogGridModel grid_;
    LogGridFilterModel shown_;
    QComboBox* cboCategory_;
    QComboBox* cboRound_;
    QLineEdit* txtCar_;
    QWidget* controls_;
    QStackedLayout* views_;
    GroupByArea* groupBy_;
    LogGridView* grdLog_;
    QWidget* gridPage_;
    PrintView* printPage_ = nullptr;
    std::function<QString()> logPath_;
    QMenu* miSettings_;
    QMdiSubWindow* frame_ = nullptr;
    bool open_ = false;
};

}  // namespace orvanrx
