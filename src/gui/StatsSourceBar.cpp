#include "gui/StatsSourceBar.h"

#include <QComboBox>
#include <QDate>
#include <QDateTime>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <algorithm>

#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"

namespace orvanrx {

namespace {

constexpr int kLogItem = 0;
constexpr int kSeasonItem = 1;
const char* const kRoundNames[] = {"All", "Qualifying", "Eliminations"};

QString Stored(const SettingsStore& settings, QLatin1String value) {
    const QString text = settings.QueryValue(kStatsSourceKey, value);
    return text == kNoKeyValue ? QString() : text;
}

// A day typed in the filter: valid when empty or a yyyy-MM-dd date.
bool ValidDay(const QString& text) {
    return text.isEmpty() || QDate::fromString(text, QStringLiteral("yyyy-MM-dd")).isValid();
}

}  // namespace

StatsSourceBar::StatsSourceBar(const SettingsStore& settings, QWidget* parent)
    : QWidget(parent),
      settings_(settings),
      cboSource_(new QComboBox(this)),
      cboTrack_(new QComboBox(this)),
      txtSince_(new QLineEdit(this)),
      txtUntil_(new QLineEdit(this)),
      cboRounds_(new QComboBox(this)) {
    setObjectName(QStringLiteral("StatsSourceBar"));
    cboSource_->setObjectName(QStringLiteral("cboSource"));
    cboSource_->addItems({QStringLiteral("This race log"), QStringLiteral("Season logbook")});
    cboSource_->setAccessibleName(QStringLiteral("Source"));
    cboTrack_->setObjectName(QStringLiteral("cboTrack"));
    cboTrack_->setAccessibleName(QStringLiteral("Track"));
    cboTrack_->setMinimumContentsLength(12);
    cboTrack_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cboTrack_->addItem(QStringLiteral("All tracks"), QString());
    const auto* dayPattern = new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,4}(-[0-9]{0,2}(-[0-9]{0,2})?)?")), this);
    for (QLineEdit* day : {txtSince_, txtUntil_}) {
        day->setPlaceholderText(QStringLiteral("YYYY-MM-DD"));
        day->setValidator(dayPattern);
        day->setClearButtonEnabled(true);
        day->setMaximumWidth(day->fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00")) +
                             48);
        connect(day, &QLineEdit::editingFinished, this, &StatsSourceBar::ChoiceMade);
        // Cleared with its button: no Return needed.
        connect(day, &QLineEdit::textChanged, this, [this](const QString& text) {
            if (text.isEmpty()) {
                ChoiceMade();
            }
        });
    }
    txtSince_->setObjectName(QStringLiteral("txtSince"));
    txtSince_->setAccessibleName(QStringLiteral("From day"));
    txtSince_->setToolTip(QStringLiteral("The first day of the races taken (empty: the first)"));
    txtUntil_->setObjectName(QStringLiteral("txtUntil"));
    txtUntil_->setAccessibleName(QStringLiteral("To day"));
    txtUntil_->setToolTip(QStringLiteral(
        "The last day of the races taken (empty: today); the next dial-in is for its end"));
    cboRounds_->setObjectName(QStringLiteral("cboRounds"));
    cboRounds_->setAccessibleName(QStringLiteral("Rounds"));
    cboRounds_->addItems({QStringLiteral("All rounds"), QStringLiteral("Qualifying"),
                          QStringLiteral("Eliminations")});
    for (QComboBox* box : {cboSource_, cboTrack_, cboRounds_}) {
        connect(box, &QComboBox::currentIndexChanged, this, &StatsSourceBar::ChoiceMade);
    }

    grid_ = new QGridLayout(this);
    grid_->setContentsMargins(0, 0, 0, 0);
    grid_->setHorizontalSpacing(4);
    grid_->setVerticalSpacing(4);
    // The bar's narrowest is its two rows (minimumSizeHint), not the one row it shows when it
    // has the room.
    grid_->setSizeConstraint(QLayout::SetNoConstraint);
    grid_->setColumnStretch(10, 1);
    const auto labelled = [&](const QString& text, QWidget* control, bool filter) {
        auto* label = new QLabel(text, this);
        label->setBuddy(control);
        pairs_.push_back({label, control});
        if (filter) {
            filters_ << label << control;
        }
    };
    labelled(QStringLiteral("&Source:"), cboSource_, false);
    labelled(QStringLiteral("Trac&k:"), cboTrack_, true);
    labelled(QStringLiteral("Fro&m:"), txtSince_, true);
    labelled(QStringLiteral("T&o:"), txtUntil_, true);
    labelled(QStringLiteral("Ro&unds:"), cboRounds_, true);
    Arrange(false);
    Restore();
    SetSeasonAvailable(false);
}

void StatsSourceBar::Arrange(bool twoRows) {
    // Row and place (label and control) of each pair: one row in order, or the days below the
    // source and the track.
    static constexpr int kOneRow[5][2] = {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}};
    static constexpr int kTwoRows[5][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}, {0, 2}};
    for (const Pair& pair : pairs_) {
        grid_->removeWidget(pair.label);
        grid_->removeWidget(pair.control);
    }
    for (std::size_t i = 0; i < pairs_.size(); ++i) {
        const int* at = twoRows ? kTwoRows[i] : kOneRow[i];
        grid_->addWidget(pairs_[i].label, at[0], 2 * at[1]);
        grid_->addWidget(pairs_[i].control, at[0], 2 * at[1] + 1);
    }
    twoRows_ = twoRows;
    updateGeometry();
}

int StatsSourceBar::PairWidth(int pair) const {
    const Pair& p = pairs_[static_cast<std::size_t>(pair)];
    return p.label->sizeHint().width() + grid_->horizontalSpacing() +
           p.control->sizeHint().width() + grid_->horizontalSpacing();
}

int StatsSourceBar::OneRowWidth() const {
    int width = 0;
    for (int i = 0; i < static_cast<int>(pairs_.size()); ++i) {
        width += PairWidth(i);
    }
    return width;
}

QSize StatsSourceBar::minimumSizeHint() const {
    const int width =
        std::max(PairWidth(0), PairWidth(2)) + std::max(PairWidth(1), PairWidth(3)) + PairWidth(4);
    return {width, grid_->minimumSize().height()};
}

void StatsSourceBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const bool twoRows = width() < OneRowWidth();
    if (twoRows != twoRows_) {
        Arrange(twoRows);
    }
}

void StatsSourceBar::SetSeasonAvailable(bool available) {
    filling_ = true;
    if (!available && available_ != available) {
        keptSeason_ = Season();
    }
    if (!available) {
        cboSource_->setCurrentIndex(kLogItem);
    } else if (!available_) {
        cboSource_->setCurrentIndex(keptSeason_ ? kSeasonItem : kLogItem);
    }
    available_ = available;
    // Item flags: the season item greyed without a logbook.
    cboSource_->setItemData(kSeasonItem, available ? QVariant() : QVariant(0), Qt::UserRole - 1);
    cboSource_->setToolTip(available ? QStringLiteral("The open race log, or the season logbook's "
                                                      "chosen races")
                                     : QStringLiteral("No season logbook: the open race log only"));
    filling_ = false;
    EnableFilters();
}

void StatsSourceBar::Restore() {
    filling_ = true;
    keptSeason_ = Stored(settings_, kStatsSourceValue) == QLatin1String("Season");
    cboSource_->setCurrentIndex(keptSeason_ ? kSeasonItem : kLogItem);
    SetTrack(Stored(settings_, kStatsTrackValue));
    txtSince_->setText(Stored(settings_, kStatsSinceValue));
    txtUntil_->setText(Stored(settings_, kStatsUntilValue));
    const QString rounds = Stored(settings_, kStatsRoundsValue);
    for (int i = 0; i < 3; ++i) {
        if (rounds == QLatin1String(kRoundNames[i])) {
            cboRounds_->setCurrentIndex(i);
        }
    }
    filling_ = false;
    EnableFilters();
}

void StatsSourceBar::Save() const {
    if (!available_) {
        return;  // the choices are those kept for when there is a logbook
    }
    settings_.SetKeyValue(kStatsSourceKey, kStatsSourceValue,
                          Season() ? QStringLiteral("Season") : QStringLiteral("Log"),
                          ValueType::RegSz);
    settings_.SetKeyValue(kStatsSourceKey, kStatsTrackValue, cboTrack_->currentData().toString(),
                          ValueType::RegSz);
    settings_.SetKeyValue(kStatsSourceKey, kStatsSinceValue, txtSince_->text().trimmed(),
                          ValueType::RegSz);
    settings_.SetKeyValue(kStatsSourceKey, kStatsUntilValue, txtUntil_->text().trimmed(),
                          ValueType::RegSz);
    settings_.SetKeyValue(kStatsSourceKey, kStatsRoundsValue,
                          QString::fromLatin1(kRoundNames[cboRounds_->currentIndex()]),
                          ValueType::RegSz);
}

void StatsSourceBar::ChoiceMade() {
    if (filling_) {
        return;
    }
    EnableFilters();
    Save();
    Q_EMIT Changed();
}

void StatsSourceBar::EnableFilters() {
    for (QWidget* filter : filters_) {
        filter->setEnabled(available_ && Season());
    }
}

bool StatsSourceBar::Season() const {
    return cboSource_->currentIndex() == kSeasonItem;
}

void StatsSourceBar::SetSeason(bool season) {
    if (available_ || !season) {
        cboSource_->setCurrentIndex(season ? kSeasonItem : kLogItem);
    }
}

RaceSelection StatsSourceBar::Selection() const {
    RaceSelection selection;
    const QString track = cboTrack_->currentData().toString();
    if (cboTrack_->currentIndex() > 0) {
        selection.tracks = {track};
    }
    for (QLineEdit* day : {txtSince_, txtUntil_}) {
        const QString text = day->text().trimmed();
        const bool valid = ValidDay(text);
        day->setStyleSheet(valid ? QString() : QStringLiteral("color: red"));
        if (valid) {
            (day == txtSince_ ? selection.since : selection.until) = text;
        }
    }
    selection.rounds = static_cast<RoundChoice>(cboRounds_->currentIndex());
    return selection;
}

QString StatsSourceBar::PredictionMoment() const {
    if (Season() && !Selection().until.isEmpty()) {
        return {};  // just after the chosen races' last race: the reader finds it
    }
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

void StatsSourceBar::SetTracks(const QStringList& tracks) {
    const QString chosen = cboTrack_->currentData().toString();
    const bool wasFilling = filling_;
    filling_ = true;
    while (cboTrack_->count() > 1) {
        cboTrack_->removeItem(1);
    }
    for (const QString& track : tracks) {
        cboTrack_->addItem(track.isEmpty() ? QStringLiteral("(track not named)") : track, track);
    }
    SetTrack(chosen);
    filling_ = wasFilling;
}

void StatsSourceBar::SetTrack(const QString& track) {
    if (track.isEmpty()) {
        cboTrack_->setCurrentIndex(0);
        return;
    }
    int at = cboTrack_->findData(track);
    if (at < 1) {
        cboTrack_->addItem(track, track);
        at = cboTrack_->count() - 1;
    }
    cboTrack_->setCurrentIndex(at);
}

void StatsSourceBar::SetDays(const QString& since, const QString& until) {
    txtSince_->setText(since);
    txtUntil_->setText(until);
    ChoiceMade();
}

void StatsSourceBar::SetRounds(RoundChoice rounds) {
    cboRounds_->setCurrentIndex(static_cast<int>(rounds));
}

}  // namespace orvanrx
