#include "views/LogGridModel.h"

#include <algorithm>
#include <utility>

#include "views/LogGridCells.h"

namespace orvanrx {

namespace {

// Room left beside the longest text of a fitted column.
constexpr int kFitMarginTwips = 120;

constexpr int kLastColumn = kLogGridColumnCount - 1;

std::size_t At(int i) {
    return static_cast<std::size_t>(i);
}

// Without a measure from the view: about 0.6 em a character, an em being the point size in
// twips (20 to the point), bold a little wider.
int EstimatedTextWidth(const QString& text, const LogGridFont& font) {
    const int pointSize = font.pointSize > 0 ? font.pointSize : 10;
    return static_cast<int>(text.size()) * pointSize * (font.bold ? 13 : 12);
}

}  // namespace

RowCondition SetOfCarsCondition() {
    return {QString(kSetOfCarsStyle), QStringLiteral("Lane"), RowComparison::Equal,
            QStringLiteral("R"), QString()};
}

LogGridModel::LogGridModel(LogGridFlavour flavour, QObject* parent)
    : QAbstractItemModel(parent),
      flavour_(flavour),
      rows_(flavour),
      background_(GridColorValue(255, 255, 255)) {}

// --- Drawing, rows, groups -------------------------------------------------------------------

void LogGridModel::SetRedraw(bool on) {
    if (on != redraw_) {
        redraw_ = on;
        Q_EMIT redrawChanged(on);
    }
}

void LogGridModel::Clear() {
    if (rows_.Count() == 0) {
        return;
    }
    beginResetModel();
    rows_.Clear();
    expanded_.clear();
    ForgetFittedWidths();
    endResetModel();
}

void LogGridModel::Load(const RunTable& table) {
    beginResetModel();
    rows_.Load(table, groupColumn_);
    RestoreExpansion();
    ForgetFittedWidths();
    endResetModel();
}

void LogGridModel::SetGroupBy(QAnyStringView columnKey) {
    const int column = columnKey.isEmpty() ? -1 : LogGridColumnOf(columnKey);
    if (column >= 0 || columnKey.isEmpty()) {
        groupColumn_ = column;
    }
}

QString LogGridModel::GroupBy() const {
    return groupColumn_ >= 0 ? QString(kLogGridColumns[At(groupColumn_)].key) : QString();
}

void LogGridModel::Regroup() {
    if (rows_.GroupColumn() == groupColumn_) {
        return;
    }
    const bool shown = rows_.Count() > 0;
    if (shown) {
        beginResetModel();
    }
    rows_.Regroup(groupColumn_);
    RestoreExpansion();
    if (shown) {
        endResetModel();
    }
}

void LogGridModel::ExpandAll() {
    SetAllExpanded(true);
}

void LogGridModel::CollapseAll() {
    SetAllExpanded(false);
}

void LogGridModel::SetAllExpanded(bool expanded) {
    expandedByDefault_ = expanded;
    expandedByText_.clear();
    std::fill(expanded_.begin(), expanded_.end(), expanded);
    if (!expanded_.empty()) {
        Q_EMIT dataChanged(index(0, 0), index(static_cast<int>(expanded_.size()) - 1, kLastColumn),
                           {ExpandedRole});
    }
    Q_EMIT expansionChanged();
}

void LogGridModel::RestoreExpansion() {
    expanded_.clear();
    for (const LogGridRows::Group& g : rows_.Groups()) {
        expanded_.push_back(expandedByText_.value(g.text, expandedByDefault_));
    }
}

void LogGridModel::SetGroupExpanded(const QModelIndex& groupHeader, bool expanded) {
    if (!Owns(groupHeader) || !IsGroupHeader(groupHeader)) {
        return;
    }
    const int g = groupHeader.row();
    expandedByText_.insert(rows_.Groups()[At(g)].text, expanded);
    if (expanded_[At(g)] != expanded) {
        expanded_[At(g)] = expanded;
        Q_EMIT dataChanged(index(g, 0), index(g, kLastColumn), {ExpandedRole});
    }
}

// --- Columns ---------------------------------------------------------------------------------

void LogGridModel::SetHidden(QAnyStringView columnKey, bool hidden) {
    const int c = LogGridColumnOf(columnKey);
    if (c >= 0 && columns_[At(c)].hidden != hidden) {
        columns_[At(c)].hidden = hidden;
        Q_EMIT headerDataChanged(Qt::Horizontal, c, c);
    }
}

bool LogGridModel::IsHidden(QAnyStringView columnKey) const {
    const int c = LogGridColumnOf(columnKey);
    return c >= 0 && columns_[At(c)].hidden;
}

void LogGridModel::SetWidth(QAnyStringView columnKey, int twips) {
    const int c = LogGridColumnOf(columnKey);
    twips = std::max(twips, 0);
    if (c >= 0 && columns_[At(c)].widthTwips != twips) {
        columns_[At(c)].widthTwips = twips;
        Q_EMIT headerDataChanged(Qt::Horizontal, c, c);
    }
}

int LogGridModel::GetWidth(QAnyStringView columnKey) const {
    const int c = LogGridColumnOf(columnKey);
    return c >= 0 ? columns_[At(c)].widthTwips : 0;
}

void LogGridModel::SetAlignment(QAnyStringView columnKey, Qt::Alignment alignment) {
    const int c = LogGridColumnOf(columnKey);
    if (c >= 0) {
        columns_[At(c)].alignment = alignment;
        EmitDataRowsChanged({Qt::TextAlignmentRole});
    }
}

void LogGridModel::FitColumn(QAnyStringView columnKey) {
    const int c = LogGridColumnOf(columnKey);
    if (c < 0) {
        return;
    }
    if (!fittedWidths_[At(c)]) {
        fittedWidths_[At(c)] = FittedWidth(c);
    }
    SetWidth(columnKey, *fittedWidths_[At(c)]);
}

int LogGridModel::FittedColumnWidth(QAnyStringView columnKey) const {
    const int c = LogGridColumnOf(columnKey);
    if (c < 0) {
        return 0;
    }
    return fittedWidths_[At(c)] ? *fittedWidths_[At(c)] : FittedWidth(c);
}

int LogGridModel::FittedWidth(int column) const {
    const auto width = [this](const QString& text, const LogGridFont& font) {
        return measure_ ? measure_(text, font) : EstimatedTextWidth(text, font);
    };
    const auto fontOf = [this](QAnyStringView styleName) {
        return Style(styleName).value_or(LogGridStyle{}).font;
    };
    int widest = width(QString(kLogGridColumns[At(column)].caption), fontOf(kHeadingStyle));
    // Rows share few fonts (one per style) and many texts (names, classes): each distinct text
    // is measured once per style.
    std::vector<LogGridFont> fonts{fontOf(kNormalStyle)};
    for (const RowCondition& f : formatConditions_.Items()) {
        fonts.push_back(fontOf(f.key));
    }
    std::vector<QHash<QString, int>> measured(fonts.size());
    for (int r = 0; r < rows_.Count(); ++r) {
        const int style = FormatOf(r) + 1;
        QHash<QString, int>& known = measured[At(style)];
        const QString& text = rows_.Text(r, column);
        auto found = known.constFind(text);
        if (found == known.cend()) {
            found = known.insert(text, width(text, fonts[At(style)]));
        }
        widest = std::max(widest, *found);
    }
    return widest + kFitMarginTwips;
}

void LogGridModel::SetTextMeasure(TextWidthMeasure measure) {
    measure_ = std::move(measure);
    ForgetFittedWidths();
}

void LogGridModel::ForgetFittedWidths() {
    fittedWidths_.fill(std::nullopt);
}

void LogGridModel::SetBackground(int colorValue) {
    if (colorValue != background_) {
        background_ = colorValue;
        Q_EMIT backgroundChanged(colorValue);
    }
}

// --- Styles and conditions -------------------------------------------------------------------

void LogGridModel::SetStyle(const QString& name, const LogGridStyle& style) {
    styles_.insert(name, style);
    ForgetFittedWidths();
    if (name == kHeadingStyle) {
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, kLastColumn);
    } else {
        EmitDataRowsChanged({StyleRole, Qt::TextAlignmentRole});
    }
}

std::optional<LogGridStyle> LogGridModel::Style(QAnyStringView name) const {
    const auto found = styles_.constFind(name.toString());
    return found != styles_.cend() ? std::optional<LogGridStyle>(*found) : std::nullopt;
}

void LogGridModel::SetFormatCondition(const RowCondition& condition) {
    formatConditions_.Set(condition);
    ResolveFormats();
    ForgetFittedWidths();
    EmitDataRowsChanged({StyleNameRole, StyleRole, Qt::TextAlignmentRole});
}

void LogGridModel::ClearFormatConditions() {
    formatConditions_.Clear();
    ResolveFormats();
    ForgetFittedWidths();
    EmitDataRowsChanged({StyleNameRole, StyleRole, Qt::TextAlignmentRole});
}

void LogGridModel::ResolveFormats() {
    formatTests_.clear();
    for (const RowCondition& condition : formatConditions_.Items()) {
        formatTests_.push_back(rows_.Resolve(condition));
    }
}

int LogGridModel::FormatOf(int position) const {
    for (std::size_t f = 0; f < formatTests_.size(); ++f) {
        if (formatTests_[f] && rows_.Matches(position, *formatTests_[f])) {
            return static_cast<int>(f);
        }
    }
    return -1;
}

bool LogGridModel::RowMatches(const QModelIndex& index, const RowCondition& condition) const {
    if (!Owns(index) || IsGroupHeader(index)) {
        return false;
    }
    const std::optional<LogGridRows::Test> test = rows_.Resolve(condition);
    return test && rows_.Matches(RowPosition(index), *test);
}

QString LogGridModel::StyleNameOf(int position) const {
    const int format = FormatOf(position);
    return format >= 0 ? formatConditions_.Items()[At(format)].key : QString(kNormalStyle);
}

QVariant LogGridModel::RowStyleData(int position) const {
    const int format = FormatOf(position);
    if (format < 0) {
        return StyleData(kNormalStyle);
    }
    const std::vector<RowCondition>& conditions = formatConditions_.Items();
    QVariant data = StyleData(conditions[At(format)].key);
    if (!data.isValid() || data.value<LogGridStyle>().bottomBorder) {
        return data;
    }
    for (std::size_t f = At(format) + 1; f < formatTests_.size(); ++f) {
        if (!formatTests_[f] || !rows_.Matches(position, *formatTests_[f])) {
            continue;
        }
        const std::optional<LogGridStyle> later = Style(conditions[f].key);
        if (later && later->bottomBorder) {
            LogGridStyle style = data.value<LogGridStyle>();
            style.bottomBorder = later->bottomBorder;
            return QVariant::fromValue(style);
        }
    }
    return data;
}

QVariant LogGridModel::StyleData(QAnyStringView name) const {
    std::optional<LogGridStyle> style = Style(name);
    if (!style && name != kNormalStyle) {
        style = Style(kNormalStyle);
    }
    return style ? QVariant::fromValue(*style) : QVariant();
}

Qt::Alignment LogGridModel::AlignmentOf(int column, QAnyStringView styleName) const {
    if (column >= 0 && columns_[At(column)].alignment) {
        return *columns_[At(column)].alignment;
    }
    const QVariant style = StyleData(styleName);
    return style.isValid() ? style.value<LogGridStyle>().alignment : Qt::AlignCenter;
}

}  // namespace orvanrx
