#pragma once

#include <QWidget>
#include <vector>

#include "analysis/CarStats.h"
#include "analysis/HeadToHead.h"
#include "views/TextTableModel.h"

class QComboBox;
class QLabel;
class QTableView;

namespace orvanrx {

// The chosen car against one of its opponents: the opponents it met (most races first) to
// choose from, the races of the two against each other and who won how many.
class StatsHeadToHead final : public QWidget {
    Q_OBJECT
public:
    explicit StatsHeadToHead(QWidget* parent = nullptr);

    // The opponents in the car's runs; the chosen one stays chosen while it is among them.
    void SetRuns(const std::vector<CarRun>& runs);
    QString Opponent() const;
    void ChooseOpponent(const QString& car);
    void Show(const HeadToHead& meeting);

    QComboBox& OpponentBox() { return *cboAgainst_; }
    TextTableModel& Races() { return races_; }
    QLabel& Summary() { return *lblSummary_; }

Q_SIGNALS:
    void OpponentChosen(const QString& car);

private:
    bool filling_ = false;
    TextTableModel races_;
    QComboBox* cboAgainst_;
    QLabel* lblSummary_;
    QTableView* grdMeeting_;
};

}  // namespace orvanrx
