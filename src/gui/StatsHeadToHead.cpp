#include "gui/StatsHeadToHead.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <map>

#include "analysis/StatsTables.h"
#include "gui/DialogKit.h"

namespace orvanrx {

StatsHeadToHead::StatsHeadToHead(QWidget* parent)
    : QWidget(parent),
      cboAgainst_(new QComboBox(this)),
      lblSummary_(new QLabel(this)),
      grdMeeting_(new QTableView(this)) {
    setObjectName(QStringLiteral("StatsHeadToHead"));
    cboAgainst_->setObjectName(QStringLiteral("cboAgainst"));
    cboAgainst_->setAccessibleName(QStringLiteral("Against"));
    cboAgainst_->setMinimumContentsLength(8);
    lblSummary_->setObjectName(QStringLiteral("lblMeeting"));
    lblSummary_->setTextFormat(Qt::PlainText);
    grdMeeting_->setObjectName(QStringLiteral("grdMeeting"));
    grdMeeting_->setAccessibleName(QStringLiteral("Head to head"));
    grdMeeting_->setModel(&races_);
    grdMeeting_->setFont(TahomaFont(9));
    grdMeeting_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdMeeting_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdMeeting_->setWordWrap(false);
    grdMeeting_->verticalHeader()->hide();
    races_.SetTextColumns({QStringLiteral("Date/time"), QStringLiteral("Category")});
    connect(cboAgainst_, &QComboBox::currentIndexChanged, this, [this] {
        if (!filling_) {
            Q_EMIT OpponentChosen(Opponent());
        }
    });

    auto* choice = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("A&gainst:"), this);
    label->setBuddy(cboAgainst_);
    choice->addWidget(label);
    choice->addWidget(cboAgainst_);
    choice->addSpacing(8);
    choice->addWidget(lblSummary_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(choice);
    layout->addWidget(grdMeeting_, 1);
}

void StatsHeadToHead::SetRuns(const std::vector<CarRun>& runs) {
    std::map<QString, int> meetings;
    for (const CarRun& run : runs) {
        if (!run.opponent.isEmpty()) {
            ++meetings[run.opponent];
        }
    }
    std::vector<std::pair<QString, int>> order(meetings.begin(), meetings.end());
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    const QString chosen = Opponent();
    filling_ = true;
    cboAgainst_->clear();
    for (const auto& [car, count] : order) {
        cboAgainst_->addItem(QStringLiteral("%1 (%2)").arg(car).arg(count), car);
    }
    const int at = cboAgainst_->findData(chosen);
    cboAgainst_->setCurrentIndex(at >= 0 ? at : (order.empty() ? -1 : 0));
    filling_ = false;
    if (Opponent() != chosen) {
        Q_EMIT OpponentChosen(Opponent());
    }
}

QString StatsHeadToHead::Opponent() const {
    return cboAgainst_->currentData().toString();
}

void StatsHeadToHead::ChooseOpponent(const QString& car) {
    const int at = cboAgainst_->findData(car);
    if (at >= 0) {
        cboAgainst_->setCurrentIndex(at);
    }
}

void StatsHeadToHead::Show(const HeadToHead& meeting) {
    if (meeting.carA.isEmpty() || meeting.carB.isEmpty()) {
        races_.Load({});
        lblSummary_->clear();
        return;
    }
    races_.Load(HeadToHeadTable(meeting));
    grdMeeting_->setColumnHidden(races_.ColumnOf(QStringLiteral("Row")), true);
    grdMeeting_->resizeColumnsToContents();
    lblSummary_->setText(HeadToHeadSummaryText(meeting));
}

}  // namespace orvanrx
