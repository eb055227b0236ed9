#pragma once

#include <QStringList>
#include <QWidget>
#include <vector>

#include "logbook/Logbook.h"

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;

namespace orvanrx {

class SettingsStore;

// Where the statistics window takes its figures from: "This race log" (the open log, as it
// grows) or "Season logbook" with its choice of races: a track, a first and a last day and the
// rounds (all, qualifying, eliminations). The filters are enabled with the season only. The
// choices are read from the settings when built and written there as they change. Every
// control has a label with a mnemonic and an accessible name. Where one row is too narrow (twice
// the scale on a small screen) the days go on a second row.
class StatsSourceBar final : public QWidget {
    Q_OBJECT
public:
    explicit StatsSourceBar(const SettingsStore& settings, QWidget* parent = nullptr);

    // Without a logbook the bar shows the race log, the season greyed (the kept choice stays
    // kept for when there is one). Unavailable until told.
    void SetSeasonAvailable(bool available);

    bool Season() const;
    void SetSeason(bool season);
    // The chosen races (a day that is not a yyyy-MM-dd date is left open and shown in red).
    RaceSelection Selection() const;
    // The moment of the next dial-in: now, or empty with a last day chosen (the moment just
    // after the chosen races, MomentAfter, which the reader finds).
    QString PredictionMoment() const;

    // The logbook's tracks; the chosen one stays chosen (kept even when the logbook does not
    // hold it, so a saved choice survives a logbook being read).
    void SetTracks(const QStringList& tracks);
    void SetTrack(const QString& track);
    void SetDays(const QString& since, const QString& until);
    void SetRounds(RoundChoice rounds);

    QComboBox& SourceBox() { return *cboSource_; }
    QComboBox& TrackBox() { return *cboTrack_; }
    QLineEdit& SinceBox() { return *txtSince_; }
    QLineEdit& UntilBox() { return *txtUntil_; }
    QComboBox& RoundsBox() { return *cboRounds_; }

    QSize minimumSizeHint() const override;
    bool TwoRows() const { return twoRows_; }

Q_SIGNALS:
    // The source or the choice of races changed (already kept in the settings).
    void Changed();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Restore();
    void Save() const;
    void ChoiceMade();
    void EnableFilters();
    void Arrange(bool twoRows);
    int PairWidth(int pair) const;
    int OneRowWidth() const;

    struct Pair {
        QLabel* label;
        QWidget* control;
    };

    const SettingsStore& settings_;
    bool filling_ = false;
    bool available_ = false;
    bool keptSeason_ = false;  // the kept choice, while the season is unavailable
    QComboBox* cboSource_;
    QComboBox* cboTrack_;
    QLineEdit* txtSince_;
    QLineEdit* txtUntil_;
    QComboBox* cboRounds_;
    QList<QWidget*> filters_;
    std::vector<Pair> pairs_;  // source, track, from, to, rounds
    QGridLayout* grid_;
    bool twoRows_ = false;
};

}  // namespace orvanrx
