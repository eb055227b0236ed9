#include "decoding/RunTables.h"

#include <algorithm>
#include <utility>

namespace orvanrx {

// --- RunTable -----------------------------------------------------------------------------

const RunRow* RunTable::Row(int r) const {
    return (r >= 0 && r < RowCount()) ? rows_[static_cast<std::size_t>(r)].get() : nullptr;
}

RunRow* RunTable::MutableRow(int r) {
    if (r < 0 || r >= RowCount()) {
        return nullptr;
    }
    std::shared_ptr<RunRow>& row = rows_[static_cast<std::size_t>(r)];
    if (row.use_count() > 1) {
        row = std::make_shared<RunRow>(*row);
    }
    return row.get();
}

std::shared_ptr<const RunRow> RunTable::SharedRow(int r) const {
    return (r >= 0 && r < RowCount()) ? rows_[static_cast<std::size_t>(r)] : nullptr;
}

QString RunTable::Cell(int row, int column) const {
    const RunRow* r = Row(row);
    return (r && column >= 0 && column < kRunColumnCount) ? (*r)[static_cast<std::size_t>(column)]
                                                          : QString();
}

void RunTable::ResizeToIndices() {
    const std::size_t count = static_cast<std::size_t>(RightRow() < 0 ? 0 : RightRow() + 1);
    const std::size_t kept = std::min(count, rows_.size());
    rows_.resize(count);
    for (std::size_t r = kept; r < count; ++r) {
        rows_[r] = std::make_shared<RunRow>();
    }
}

void RunTable::Reset() {
    left_ = -2;
    ResizeToIndices();
}

void RunTable::StartNew() {
    rows_.clear();
    left_ = 0;
    ResizeToIndices();
}

void RunTable::OpenNextPair() {
    left_ += 2;
    ResizeToIndices();
}

void RunTable::DropLastPair() {
    left_ -= 2;
    ResizeToIndices();
}

// --- RunTables ----------------------------------------------------------------------------

namespace {

// The fields of one lane of a record, in the order of the table columns.
struct LaneFields {
    const QString& classText;
    const QString& car;
    const QString& name;
    QString laneLetter;
    const QString& bump;
    const QString& dial;
    const QString& rt;
    std::array<const QString*, 8> times;  // et60 .. mph1320, columns 10..17
    const QString& margin;
    const QString& overund;
    bool win;
};

LaneFields LeftLane(const RunRecord& r) {
    return {r.ClassL,
            r.CarL,
            r.NameL,
            QStringLiteral("L"),
            r.BumpL,
            r.DialL,
            r.RTL,
            {&r.et60L, &r.et330L, &r.et660L, &r.mph660L, &r.et1000L, &r.mph1000L, &r.et1320L,
             &r.mph1320L},
            r.marginL,
            r.overundL,
            r.winL};
}

LaneFields RightLane(const RunRecord& r) {
    return {r.ClassR,
            r.CarR,
            r.NameR,
            QStringLiteral("R"),
            r.BumpR,
            r.DialR,
            r.RTR,
            {&r.et60R, &r.et330R, &r.et660R, &r.mph660R, &r.et1000R, &r.mph1000R, &r.et1320R,
             &r.mph1320R},
            r.marginR,
            r.overundR,
            r.winR};
}

// A timing value counts once it has at least this many characters (e.g. "0.512").
constexpr qsizetype kFullValueLength = 5;

void WriteLane(RunRow& row, const QString& generalId, const QString& category,
               const LaneFields& lane, const Clock& clock) {
    row[RunColumn::GeneralID] = generalId;
    if (row[RunColumn::DateTime].isEmpty()) {
        row[RunColumn::DateTime] = clock().toString(QLatin1String(kDateTimeCellFormat));
    }
    row[RunColumn::Category] = category;
    row[RunColumn::Class] = lane.classText;
    row[RunColumn::Car] = lane.car;
    row[RunColumn::Name] = lane.name;
    row[RunColumn::Lane] = lane.laneLetter;
    row[RunColumn::Bump] = lane.bump;
    row[RunColumn::Dial] = lane.dial;

    // A missing reaction time empties the cell only while the 60-foot time is missing too;
    // once the car is past 60 feet the reaction time already shown stays.
    const QString& et60Text = *lane.times[0];
    if (lane.rt.size() >= kFullValueLength) {
        row[RunColumn::RT] = lane.rt;
    } else if (et60Text.size() < kFullValueLength) {
        row[RunColumn::RT].clear();
    }

    for (std::size_t i = 0; i < lane.times.size(); ++i) {
        row[ColumnIndex(RunColumn::et60) + i] = *lane.times[i];
    }

    // Margin, over/under and the win mark belong to a finished lane: until its 1/4-mile speed
    // is in, they stay empty.
    if (row[RunColumn::mph1320].size() < kFullValueLength) {
        row[RunColumn::margin].clear();
        row[RunColumn::overund].clear();
        row[RunColumn::win].clear();
    } else {
        row[RunColumn::margin] = lane.margin;
        row[RunColumn::overund] = lane.overund;
        if (lane.win) {
            row[RunColumn::win] = QStringLiteral("W");
        }
    }
}

}  // namespace

RunTables::RunTables(Clock clock) : clock_(std::move(clock)) {}

QString RunTables::ResetSentinel() {
    return QStringLiteral("\x01<reset>");
}

void RunTables::ResetRunTables() {
    all_.Reset();
    category_.Reset();
    lastRun_.Category = ResetSentinel();
    lastRun_.CarL = ResetSentinel();
    lastRun_.CarR = ResetSentinel();
}

bool RunTables::StoreRun(const RunRecord& record) {
    // Open rows for a new race: a new left-lane car number opens the next pair once the
    // current pair has been written; the very first race starts both tables.
    if (all_.RightRow() > 0) {
        if (record.CarL != lastRun_.CarL && pairWritten_) {
            pairWritten_ = false;
            category_.OpenNextPair();
            all_.OpenNextPair();
        }
    } else if (pairWritten_) {
        pairWritten_ = false;
        category_.StartNew();
        all_.StartNew();
    }

    if (record.SameRaceData(lastRun_)) {
        return false;
    }
    lastRun_ = record;

    if (all_.RightRow() < 1) {
        pairWritten_ = true;
        return false;
    }

    const bool written = WriteRows(record);
    pairWritten_ = true;
    return written;
}

bool RunTables::WriteRows(const RunRecord& record) {
    RunRow* left = all_.MutableRow(all_.LeftRow());
    RunRow* right = all_.MutableRow(all_.RightRow());
    if (!left || !right) {
        return false;
    }
    WriteLane(*left, QString::number(all_.RightRow()), record.Category, LeftLane(record), clock_);
    WriteLane(*right, QString::number(all_.LeftRow()), record.Category, RightLane(record), clock_);

    // The first rewrite of the first race of a new category restarts the category table with
    // that race alone (the first write of it still lands after the previous category's races).
    const RunRow* previous = all_.Row(all_.LeftRow() - 1);
    if (previous && (*left)[RunColumn::Category] != (*previous)[RunColumn::Category] &&
        pairWritten_) {
        pairWritten_ = false;
        category_.StartNew();
    }

    RunRow* categoryLeft = category_.MutableRow(category_.LeftRow());
    if (!categoryLeft) {
        return false;
    }
    *categoryLeft = *left;
    RunRow* categoryRight = category_.MutableRow(category_.RightRow());
    if (!categoryRight) {
        return false;
    }
    *categoryRight = *right;
    return true;
}

}  // namespace orvanrx
