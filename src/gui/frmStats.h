#pragma once

#include <QWidget>
#include <memory>
#include <optional>

#include "analysis/CarFiguresTracker.h"
#include "logbook/SeasonReader.h"
#include "views/CarFiguresModel.h"
#include "views/TextTableModel.h"

class QLabel;
class QLineEdit;
class QMdiSubWindow;
class QSplitter;
class QTableView;
class QToolButton;

namespace orvanrx {

class RunTables;
class SettingsStore;
class StatsAirChart;
class StatsCharts;
class StatsHeadToHead;
class StatsSourceBar;

// The statistics window: every car of the race log with its figures in a table that sorts by
// any heading, a search by car number or driver name, and for the chosen car its runs and
// charts of its 60 ft, 1/4-mile ET and MPH and reaction time over the day. It follows the
// whole log (all categories) race by race unless paused, through a CarFiguresTracker, so a new
// race costs the figures of its two cars. The racer's own cars stand out in the table. The
// area without rows takes the main window's background colour; it opens at 21000 x 12000 twips
// (or the MDI area's size less a margin, when that is smaller) and then at its saved placement,
// which it keeps as it closes.
//
// With a season logbook the source can be the season instead (StatsSourceBar: a track, days
// and rounds): then the table, the search, the chosen car's runs and charts and the head-to-head
// are the logbook's chosen races, read on a SeasonReader's thread and shown when they arrive,
// and read again a moment after new races. Either way the chosen car's next dial-in (from its
// runs in the logbook and the weather) and its ETs against the air come from the logbook.
class frmStats final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDesignWidthTwips = 21000;
    static constexpr int kDesignHeightTwips = 12000;

    frmStats(const RunTables& tables, const SettingsStore& settings, QWidget* parent = nullptr);
    ~frmStats() override;

    // The season logbook's file, before Load; without one the window shows the race log only.
    void UseLogbook(const QString& path);

    // Form_Load, once the window stands in its child window `frame`: the placement, the colour,
    // the racer's cars, the figures of the log as it stands; the first of the racer's cars in
    // the log is chosen (else the first car).
    void Load(QMdiSubWindow& frame, int backColor, const QStringList& myCars);

    // The run tables changed: the figures, the table and the chosen car's runs and charts
    // follow, unless paused.
    void UpdateDisplay();
    // Pause: the window keeps what it shows until the pause ends, then catches up.
    void SetPaused(bool paused);
    bool Paused() const { return paused_; }

    // The window became the active child: the area without rows takes the main window's colour.
    void Activate(int backColor);
    void SetMyCars(const QStringList& numbers);

    // The car whose runs and charts are shown (empty: none); choosing one selects its row.
    QString ChosenCar() const { return chosen_; }
    void ChooseCar(const QString& car);

    bool IsOpen() const { return open_; }

    CarFiguresModel& Cars() { return cars_; }
    CarFiguresFilterModel& Shown() { return shown_; }
    TextTableModel& Runs() { return runs_; }
    QTableView& CarsView() { return *grdCars_; }
    QTableView& RunsView() { return *grdRuns_; }
    QLineEdit& SearchBox() { return *txtSearch_; }
    QToolButton& PauseButton() { return *cmdPause_; }
    StatsCharts& Charts() { return *charts_; }
    QLabel& CarHeading() { return *lblCar_; }
    QLabel& DialIn() { return *lblDialIn_; }
    QLabel& CountLabel() { return *lblCount_; }
    StatsSourceBar& Source() { return *source_; }
    StatsAirChart& AirChart() { return *airChart_; }
    StatsHeadToHead& Meeting() { return *meeting_; }
    // Waits for the logbook's answers to what was asked so far and shows them (tests).
    void WaitForLogbook();
    // How long the logbook's last answer took, in milliseconds.
    double LastAnswerMs() const { return lastAnswerMs_; }

Q_SIGNALS:
    // The window unloaded (its placement saved).
    void Unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Refresh();
    void ShowChosenCar();
    void SelectionChanged();
    void ShowCount();
    void ShowPauseState();
    void Unload();
    // The season's side (frmStatsSeason.cpp).
    bool Season() const;
    void BuildSeasonParts();
    void SourceChanged();
    void SeasonRacesStored();
    // Asks for the season's figures (all cars' with `allCars`) or, on the race log, the chosen
    // car's next dial-in and air (its runs in the log when given).
    void AskLogbook(bool allCars, std::vector<CarRun> logRuns = {});
    void ShowAnswer(const SeasonAnswer& answer);
    void ShowSeasonCar(const CarSeason& season);
    void ShowRuns(const std::vector<CarRun>& runs, bool sameCar);
    void OpponentChosen();

    const RunTables& tables_;
    const SettingsStore& settings_;
    CarFiguresTracker tracker_;
    CarFiguresModel cars_;
    CarFiguresFilterModel shown_;
    TextTableModel runs_;
    QLineEdit* txtSearch_;
    QLabel* lblCount_;
    QToolButton* cmdPause_;
    QTableView* grdCars_;
    QLabel* lblCar_;
    QTableView* grdRuns_;
    StatsCharts* charts_;
    QLabel* lblDialIn_;
    StatsSourceBar* source_ = nullptr;
    StatsAirChart* airChart_;
    StatsHeadToHead* meeting_;
    QString logbookPath_;
    std::unique_ptr<SeasonReader> reader_;
    std::uint64_t serial_ = 0;     // the latest question
    std::uint64_t answered_ = 0;   // the latest question answered
    bool pendingAllCars_ = false;  // a query for every car's figures not yet answered
    bool seasonDue_ = false;       // new races: the season is read again shortly
    double lastAnswerMs_ = 0.0;
    QString seasonMoment_;  // the next dial-in's moment for the chosen races, as last answered
    QStringList myCars_;
    QString chosen_;
    std::optional<CarFigures> chosenFigures_;  // as the runs and charts show them
    QMdiSubWindow* frame_ = nullptr;
    bool paused_ = false;
    bool open_ = false;
};

}  // namespace orvanrx
