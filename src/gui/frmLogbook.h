#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <memory>

#include "logbook/Logbook.h"
#include "support/Clock.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QMdiSubWindow;
class QTabWidget;
class QTableWidget;

namespace orvanrx {

class SettingsStore;

// The season logbook window (View > Logbook...): the events by day and track; a car's runs
// across the season with the statistics window's figures over the chosen events, track, days
// and rounds, and its next dial-in now (from all its runs, corrected to the air when the
// logbook's weather knows it); the racer's own cars' runs with their notes and set-up, edited in
// place and kept at once; and the parts with the runs made on them. It reads the logbook on a
// connection of its own, so what it shows is what the writer has stored; Refresh (and a new race, a
// moment later) reads it again. It opens at its saved placement, which it keeps as it closes.
class frmLogbook final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDesignWidthTwips = 21000;
    static constexpr int kDesignHeightTwips = 12000;

    frmLogbook(const QString& logbookPath, const SettingsStore& settings,
               QWidget* parent = nullptr);
    ~frmLogbook() override;

    void Load(QMdiSubWindow& frame, const QStringList& myCars);
    // Reads the logbook again, keeping the choices.
    void Refresh();
    // A race was stored: the window reads the logbook again a moment later (races come in
    // bursts; the writer stores them off the tick).
    void RaceStored();
    void SetMyCars(const QStringList& numbers);
    // Shows the car's runs and figures on the Car tab.
    void ChooseCar(const QString& car);
    // The clock of "now" for the next dial-in (the system clock unless set).
    void SetClock(Clock now) { now_ = std::move(now); }

    bool IsOpen() const { return open_; }
    QString ErrorText() const { return error_; }
    QTabWidget& Tabs() { return *tabs_; }
    QTableWidget& EventsTable() { return *grdEvents_; }
    QTableWidget& CarRuns() { return *grdCarRuns_; }
    QTableWidget& MyRuns() { return *grdMyRuns_; }
    QTableWidget& PartsTable() { return *grdParts_; }
    QLineEdit& CarSearch() { return *txtCar_; }
    QLabel& DialInLabel() { return *lblDialIn_; }

Q_SIGNALS:
    void Unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The tabs' pages (the Car, My Car and Parts tabs each in a file of their own).
    QWidget* NewEventsPage();
    QWidget* NewCarPage();
    QWidget* NewMyCarPage();
    QWidget* NewPartsPage();
    RaceSelection Selection() const;
    void RefreshEvents();
    void RefreshCar();
    void RefreshMyRuns();
    void RefreshParts();
    void MyRunEdited(int row, int column);
    void PartEdited(int row, int column);
    void AddPart();
    void RemovePart();
    void Unload();

    QString path_;
    const SettingsStore& settings_;
    std::unique_ptr<Logbook> logbook_;
    QString error_;
    QMdiSubWindow* frame_ = nullptr;
    bool open_ = false;
    bool filling_ = false;  // tables being filled: their edits are not the racer's
    bool refreshDue_ = false;
    QStringList myCars_;
    QString car_;
    Clock now_ = SystemClock();

    QComboBox* cboTrack_;
    QLineEdit* txtSince_;
    QLineEdit* txtUntil_;
    QComboBox* cboRounds_;
    QLabel* lblStatus_;
    QTabWidget* tabs_;
    QTableWidget* grdEvents_;
    QLineEdit* txtCar_;
    QLabel* lblCar_;
    QLabel* lblDialIn_;
    QTableWidget* grdFigures_;
    QTableWidget* grdCarRuns_;
    QTableWidget* grdMyRuns_;
    QTableWidget* grdParts_;
};

// File > Import Race Logs... (ImportRaceLogsDialog.cpp): asks for race-log files, imports them into
// the logbook at `logbookPath` with a progress dialog, and says what came in. The files are read on
// a thread of their own, so the 30 ms tick goes on meanwhile.
void ImportRaceLogsWithDialog(QWidget* parent, const QString& logbookPath);

}  // namespace orvanrx
