#include "analysis/CarFiguresBuilder.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

#include "analysis/LogFigures.h"

namespace orvanrx::stats {

namespace {

// The decoder writes "W"; a log file edited by hand may say "w".
bool HasWinMark(const RunRow& row) {
    const QStringView mark = QStringView(row[RunColumn::win]).trimmed();
    return mark.size() == 1 && (mark[0] == u'W' || mark[0] == u'w');
}

RunResult ResultOf(const RunRow& own, const RunRow& other) {
    if (QStringView(other[RunColumn::Car]).trimmed().isEmpty()) {
        return RunResult::Bye;
    }
    const bool ownMark = HasWinMark(own);
    const bool otherMark = HasWinMark(other);
    if (ownMark == otherMark) {
        return RunResult::Undecided;
    }
    return ownMark ? RunResult::Win : RunResult::Loss;
}

// True when the list holds the text (the last entry, the likeliest, is tried first).
bool Listed(const QStringList& list, QStringView text) {
    return (!list.isEmpty() && list.constLast() == text) || list.contains(text);
}

}  // namespace

QString Trimmed(const QString& cell) {
    const QStringView view = QStringView(cell).trimmed();
    return view.size() == cell.size() ? cell : view.toString();
}

void ReadFigures(const RunRow& own, const RunRow& other, CarRun& run) {
    run.dial = ParseFigure(own[RunColumn::Dial]);
    run.rt = ParseFigure(own[RunColumn::RT]);
    run.sixtyFoot = ParsePositiveFigure(own[RunColumn::et60]);
    run.et = ParsePositiveFigure(own[RunColumn::et1320]);
    run.mph = ParsePositiveFigure(own[RunColumn::mph1320]);
    run.overUnder = std::nullopt;
    if (run.dial) {
        run.overUnder = ParseFigure(own[RunColumn::overund]);
        if (!run.overUnder && run.et) {
            run.overUnder = *run.et - *run.dial;
        }
    }
    run.margin = ParseFigure(own[RunColumn::margin]);
    run.result = ResultOf(own, other);
}

// --- Accumulator ---------------------------------------------------------------------------

void Accumulator::Add(const std::optional<double>& value) {
    if (!value) {
        return;
    }
    const double v = *value;
    if (count_ == 0) {
        shift_ = lowest_ = highest_ = v;
    }
    lowest_ = std::min(lowest_, v);
    highest_ = std::max(highest_, v);
    sum_ += v;
    const double d = v - shift_;
    shiftedSum_ += d;
    shiftedSquares_ += d * d;
    last_[static_cast<std::size_t>(count_ % 3)] = v;
    ++count_;
}

std::optional<double> Accumulator::Mean() const {
    if (count_ == 0) {
        return std::nullopt;
    }
    return sum_ / count_;
}

FigureSummary Accumulator::Summary(bool higherIsBetter) const {
    FigureSummary summary;
    summary.count = count_;
    if (count_ == 0) {
        return summary;
    }
    summary.best = higherIsBetter ? highest_ : lowest_;
    summary.mean = Mean();
    if (count_ >= 2) {
        const double squares = shiftedSquares_ - shiftedSum_ * shiftedSum_ / count_;
        summary.stdDev = std::sqrt(std::max(0.0, squares) / (count_ - 1));
    }
    return summary;
}

std::vector<double> Accumulator::LastThree() const {
    std::vector<double> values;
    for (int i = std::max(0, count_ - 3); i < count_; ++i) {
        values.push_back(last_[static_cast<std::size_t>(i % 3)]);
    }
    return values;
}

// --- CategoryNames -------------------------------------------------------------------------

QString CategoryNames::Shared(QStringView name) {
    for (const QString& known : names_) {
        if (known == name) {
            return known;
        }
    }
    names_.push_back(name.toString());
    return names_.back();
}

// --- CarFiguresBuilder ---------------------------------------------------------------------

CarFiguresBuilder::CarFiguresBuilder(const QString& car, CategoryNames& categoryNames)
    : categoryNames_(&categoryNames) {
    figures_.car = car;
}

void CarFiguresBuilder::Add(const CarRun& run, const QString& dateTimeCell,
                            const QString& categoryCell, const QString& nameCell) {
    const QStringView category = FiguresCategoryName(categoryCell);
    if (!category.isEmpty() && !Listed(figures_.categories, category)) {
        figures_.categories.append(categoryNames_->Shared(category));
    }
    const QStringView name = QStringView(nameCell).trimmed();
    if (!name.isEmpty() && !Listed(figures_.names, name)) {
        figures_.names.append(Trimmed(nameCell));
    }
    ++figures_.runs;
    switch (run.result) {
        case RunResult::Win:
            ++figures_.wins;
            break;
        case RunResult::Loss:
            ++figures_.losses;
            break;
        case RunResult::Bye:
            ++figures_.byes;
            break;
        case RunResult::Undecided:
            ++figures_.undecided;
            break;
    }
    if (run.RedLight()) {
        ++figures_.redLights;
    } else {
        rts_.Add(run.rt);
    }
    sixties_.Add(run.sixtyFoot);
    ets_.Add(run.et);
    speeds_.Add(run.mph);
    if (run.et) {
        lastTimed_[static_cast<std::size_t>(timedRuns_ % 3)] = {*run.et, dateTimeCell};
        ++timedRuns_;
    }
    if (run.dial) {
        ++figures_.dialInRuns;
        figures_.breakouts += run.Breakout() ? 1 : 0;
        overUnders_.Add(run.overUnder);
    }
    if (const std::optional<double> package = run.Package()) {
        packages_.Add(package);
        if (!run.Breakout() && (!bestPackage_ || *package < *bestPackage_)) {
            bestPackage_ = package;
        }
    }
}

CarFigures CarFiguresBuilder::Finish() {
    CarFigures figures = std::move(figures_);
    figures.rt = rts_.Summary(false);
    figures.sixtyFoot = sixties_.Summary(false);
    figures.lastSixtyFoot = sixties_.LastThree();
    figures.et = ets_.Summary(false);
    figures.lastEt = ets_.LastThree();
    figures.mph = speeds_.Summary(true);
    figures.meanOverUnder = overUnders_.Mean();
    figures.meanPackage = packages_.Mean();
    figures.bestPackage = bestPackage_;
    figures.nextDial = SuggestDial();
    return figures;
}

// The last up to three timed runs that share the day of the latest one.
DialSuggestion CarFiguresBuilder::SuggestDial() const {
    DialSuggestion suggestion;
    if (timedRuns_ == 0) {
        return suggestion;
    }
    const auto slot = [&](int i) -> const std::pair<double, QString>& {
        return lastTimed_[static_cast<std::size_t>(i % 3)];
    };
    const QStringView day = DayOf(slot(timedRuns_ - 1).second);
    double sum = 0.0;
    double low = slot(timedRuns_ - 1).first;
    double high = low;
    for (int i = timedRuns_ - 1; i >= std::max(0, timedRuns_ - 3); --i) {
        if (DayOf(slot(i).second) != day) {
            break;
        }
        const double et = slot(i).first;
        sum += et;
        low = std::min(low, et);
        high = std::max(high, et);
        ++suggestion.basis;
    }
    suggestion.dial = sum / suggestion.basis;
    if (suggestion.basis >= 2) {
        suggestion.spread = high - low;
    }
    return suggestion;
}

}  // namespace orvanrx::stats
