#include "views/LogGridModel.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <utility>

#include "views/LogGridCells.h"

namespace orvanrx {

namespace {

constexpr double kEmptyCell = std::numeric_limits<double>::quiet_NaN();
// Room left beside the longest text of a fitted column.
constexpr int kFitMarginTwips = 120;

int LastColumn() {
    return kLogGridColumnCount - 1;
}

std::size_t At(int i) {
    return static_cast<std::size_t>(i);
}

// Without a measure from the view: about 0.6 em a character, an em being the point size in
// twips (20 to the point), bold a little wider.
int EstimatedTextWidth(const QString& text, const LogGridFont& font) {
    const int pointSize = font.pointSize > 0 ? font.pointSize : 10;
    return static_cast<int>(text.size()) * pointSize * (font.bold ? 13 : 12);
}

struct Arrangement {
    std::vector<int> order;  // source row of each grid row
    struct Span {
        QString text;
        int first = 0;
        int count = 0;
    };
    std::vector<Span> groups;
};

// Grid order of rows given their GeneralID numbers: descending, empty ones last, ties in source
// order. With `groupTextOf`, the rows are then gathered by group text, the groups in the order
// of their first row, each keeping that order inside.
template <typename GroupTextOf>
Arrangement ArrangeRows(const std::vector<double>& ids, const GroupTextOf* groupTextOf) {
    Arrangement a;
    a.order.resize(ids.size());
    std::iota(a.order.begin(), a.order.end(), 0);
    std::sort(a.order.begin(), a.order.end(), [&ids](int x, int y) {
        const double kx = ids[At(x)];
        const double ky = ids[At(y)];
        const bool ex = IsEmptyCell(kx);
        const bool ey = IsEmptyCell(ky);
        if (ex != ey) {
            return ey;
        }
        if (!ex && kx != ky) {
            return kx > ky;
        }
        return x < y;
    });
    if (!groupTextOf) {
        return a;
    }

    std::vector<int> groupOf(ids.size());
    QHash<QString, int> groupByText;
    const QString* lastText = nullptr;
    int lastGroup = -1;
    for (const int row : a.order) {
        const QString& text = (*groupTextOf)(row);
        // Neighbouring rows mostly share their group: the race's other lane, the next race.
        if (!lastText || text != *lastText) {
            const auto found = groupByText.constFind(text);
            if (found != groupByText.cend()) {
                lastGroup = *found;
            } else {
                lastGroup = static_cast<int>(a.groups.size());
                groupByText.insert(text, lastGroup);
                a.groups.push_back({text, 0, 0});
            }
            lastText = &text;
        }
        groupOf[At(row)] = lastGroup;
        ++a.groups[At(lastGroup)].count;
    }
    std::vector<int> next(a.groups.size());
    int first = 0;
    for (std::size_t g = 0; g < a.groups.size(); ++g) {
        a.groups[g].first = next[g] = first;
        first += a.groups[g].count;
    }
    std::vector<int> grouped(a.order.size());
    for (const int row : a.order) {
        grouped[At(next[At(groupOf[At(row)])]++)] = row;
    }
    a.order = std::move(grouped);
    return a;
}

}  // namespace

RowCondition SetOfCarsCondition() {
    return {QString(kSetOfCarsStyle), QStringLiteral("Lane"), RowComparison::Equal,
            QStringLiteral("R"), QString()};
}

LogGridModel::LogGridModel(LogGridFlavour flavour, QObject* parent)
    : QAbstractItemModel(parent), flavour_(flavour) {
    for (int c = 0; c < kLogGridColumnCount; ++c) {
        numberSlot_[At(c)] = TypeOf(c) == CellType::Text ? -1 : numberColumns_++;
    }
    background_ = GridColorValue(255, 255, 255);
}

// --- Drawing, rows, groups -------------------------------------------------------------------

void LogGridModel::SetRedraw(bool on) {
    if (on != redraw_) {
        redraw_ = on;
        Q_EMIT redrawChanged(on);
    }
}

void LogGridModel::Clear() {
    if (rows_.empty() && groups_.empty()) {
        groupedColumn_ = groupColumn_;
        return;
    }
    beginResetModel();
    rows_.clear();
    numbers_.clear();
    groups_.clear();
    groupedColumn_ = groupColumn_;
    ForgetFittedWidths();
    endResetModel();
}

void LogGridModel::Load(const RunTable& table) {
    beginResetModel();
    const int count = table.RowCount();
    std::vector<double> ids(At(count));
    for (int r = 0; r < count; ++r) {
        ids[At(r)] = CellNumber((*table.Row(r))[GeneralID], CellType::Integer);
    }
    std::vector<Row> rows(At(count));
    std::vector<double> numbers(At(count * numberColumns_), kEmptyCell);
    groupedColumn_ = groupColumn_;
    const auto groupSource = groupColumn_ >= 0 ? kLogGridColumns[At(groupColumn_)].source : 0;
    const auto groupTextOf = [&](int r) -> const QString& {
        return (*table.Row(r))[At(groupSource)];
    };
    Arrangement a = ArrangeRows(ids, groupColumn_ >= 0 ? &groupTextOf : nullptr);

    for (int i = 0; i < count; ++i) {
        const int source = a.order[At(i)];
        const RunRow& texts = *table.Row(source);
        rows[At(i)].texts = texts;
        double* typed = numbers.data() + At(i * numberColumns_);
        for (int c = 0; c < kLogGridColumnCount; ++c) {
            const int slot = numberSlot_[At(c)];
            if (slot >= 0) {
                const auto s = At(kLogGridColumns[At(c)].source);
                typed[slot] = s == GeneralID ? ids[At(source)] : CellNumber(texts[s], TypeOf(c));
            }
        }
    }
    rows_ = std::move(rows);
    numbers_ = std::move(numbers);
    groups_.clear();
    for (Arrangement::Span& span : a.groups) {
        const bool expanded = expandedByText_.value(span.text, expandedByDefault_);
        groups_.push_back({std::move(span.text), span.first, span.count, expanded});
    }
    EvaluateFormats();
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
    if (groupedColumn_ == groupColumn_) {
        return;
    }
    if (rows_.empty()) {
        groupedColumn_ = groupColumn_;
        return;
    }
    beginResetModel();
    const int count = static_cast<int>(rows_.size());
    std::vector<double> ids(At(count));
    for (int r = 0; r < count; ++r) {
        ids[At(r)] = Number(r, GeneralID);
    }
    const auto groupSource = groupColumn_ >= 0 ? kLogGridColumns[At(groupColumn_)].source : 0;
    const auto groupTextOf = [&](int r) -> const QString& {
        return rows_[At(r)].texts[At(groupSource)];
    };
    Arrangement a = ArrangeRows(ids, groupColumn_ >= 0 ? &groupTextOf : nullptr);
    std::vector<Row> rows(At(count));
    std::vector<double> numbers(numbers_.size());
    for (int i = 0; i < count; ++i) {
        const int source = a.order[At(i)];
        rows[At(i)] = std::move(rows_[At(source)]);
        std::copy_n(numbers_.begin() + source * numberColumns_, numberColumns_,
                    numbers.begin() + i * numberColumns_);
    }
    rows_ = std::move(rows);
    numbers_ = std::move(numbers);
    groups_.clear();
    for (Arrangement::Span& span : a.groups) {
        const bool expanded = expandedByText_.value(span.text, expandedByDefault_);
        groups_.push_back({std::move(span.text), span.first, span.count, expanded});
    }
    groupedColumn_ = groupColumn_;
    endResetModel();
}

void LogGridModel::ExpandAll() {
    expandedByDefault_ = true;
    expandedByText_.clear();
    for (Group& g : groups_) {
        g.expanded = true;
    }
    if (!groups_.empty()) {
        Q_EMIT dataChanged(index(0, 0), index(static_cast<int>(groups_.size()) - 1, LastColumn()),
                           {ExpandedRole});
    }
    Q_EMIT expansionChanged();
}

void LogGridModel::CollapseAll() {
    expandedByDefault_ = false;
    expandedByText_.clear();
    for (Group& g : groups_) {
        g.expanded = false;
    }
    if (!groups_.empty()) {
        Q_EMIT dataChanged(index(0, 0), index(static_cast<int>(groups_.size()) - 1, LastColumn()),
                           {ExpandedRole});
    }
    Q_EMIT expansionChanged();
}

void LogGridModel::SetGroupExpanded(const QModelIndex& groupHeader, bool expanded) {
    if (!IsGroupHeader(groupHeader)) {
        return;
    }
    Group& g = groups_[At(groupHeader.row())];
    expandedByText_.insert(g.text, expanded);
    if (g.expanded != expanded) {
        g.expanded = expanded;
        Q_EMIT dataChanged(index(groupHeader.row(), 0), index(groupHeader.row(), LastColumn()),
                           {ExpandedRole});
    }
}

// --- Columns, styles, conditions -------------------------------------------------------------

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
        const auto width = [this](const QString& text, const LogGridFont& font) {
            return measure_ ? measure_(text, font) : EstimatedTextWidth(text, font);
        };
        const auto fontOf = [this](QAnyStringView styleName) {
            return Style(styleName).value_or(LogGridStyle{}).font;
        };
        int widest = width(QString(kLogGridColumns[At(c)].caption), fontOf(kHeadingStyle));
        // Rows share few fonts (one per style) and many texts (names, classes): each distinct
        // text is measured once per style.
        const int styleCount = static_cast<int>(formats_.Items().size()) + 1;
        std::vector<LogGridFont> fonts;
        std::vector<QHash<QString, int>> measured(At(styleCount));
        fonts.push_back(fontOf(kNormalStyle));
        for (const RowCondition& f : formats_.Items()) {
            fonts.push_back(fontOf(f.key));
        }
        for (int r = 0; r < static_cast<int>(rows_.size()); ++r) {
            const int style = rows_[At(r)].format + 1;
            const QString& text = CellText(r, c);
            auto found = measured[At(style)].constFind(text);
            if (found == measured[At(style)].cend()) {
                found = measured[At(style)].insert(text, width(text, fonts[At(style)]));
            }
            widest = std::max(widest, *found);
        }
        fittedWidths_[At(c)] = widest + kFitMarginTwips;
    }
    SetWidth(columnKey, *fittedWidths_[At(c)]);
}

void LogGridModel::SetTextMeasure(TextWidthMeasure measure) {
    measure_ = std::move(measure);
    ForgetFittedWidths();
}

void LogGridModel::SetBackground(int colorValue) {
    if (colorValue != background_) {
        background_ = colorValue;
        Q_EMIT backgroundChanged(colorValue);
    }
}

void LogGridModel::SetStyle(const QString& name, const LogGridStyle& style) {
    styles_.insert(name, style);
    ForgetFittedWidths();
    if (name == kHeadingStyle) {
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, LastColumn());
    } else {
        EmitDataRowsChanged({StyleRole, Qt::TextAlignmentRole});
    }
}

std::optional<LogGridStyle> LogGridModel::Style(QAnyStringView name) const {
    const auto found = styles_.constFind(name.toString());
    return found != styles_.cend() ? std::optional<LogGridStyle>(*found) : std::nullopt;
}

void LogGridModel::SetFormatCondition(const RowCondition& condition) {
    formats_.Set(condition);
    EvaluateFormats();
    ForgetFittedWidths();
    EmitDataRowsChanged({StyleNameRole, StyleRole, Qt::TextAlignmentRole});
}

void LogGridModel::ClearFormatConditions() {
    formats_.Clear();
    EvaluateFormats();
    ForgetFittedWidths();
    EmitDataRowsChanged({StyleNameRole, StyleRole, Qt::TextAlignmentRole});
}

void LogGridModel::EvaluateFormats() {
    const auto& formats = formats_.Items();
    for (int r = 0; r < static_cast<int>(rows_.size()); ++r) {
        int match = -1;
        for (int f = 0; f < static_cast<int>(formats.size()) && match < 0; ++f) {
            if (Matches(r, formats[At(f)])) {
                match = f;
            }
        }
        rows_[At(r)].format = match;
    }
}

bool LogGridModel::RowMatches(const QModelIndex& index, const RowCondition& condition) const {
    return Owns(index) && !IsGroupHeader(index) && Matches(RowPosition(index), condition);
}

bool LogGridModel::Matches(int position, const RowCondition& condition) const {
    const int c = LogGridColumnOf(condition.columnKey);
    if (c < 0) {
        return false;
    }
    const QString& text = CellText(position, c);
    switch (condition.comparison) {
        case RowComparison::BeginsWith:
            return text.startsWith(condition.value1);
        case RowComparison::EndsWith:
            return text.endsWith(condition.value1);
        case RowComparison::Equal:
        case RowComparison::Between:
            break;
    }
    const bool between = condition.comparison == RowComparison::Between;
    if (TypeOf(c) == CellType::Text) {
        if (!between) {
            return text == condition.value1;
        }
        return !text.isEmpty() && condition.value1 <= text && text <= condition.value2;
    }
    const double cell = Number(position, c);
    const double low = CellNumber(condition.value1, TypeOf(c));
    if (!between) {
        return IsEmptyCell(cell) ? IsEmptyCell(low) : cell == low;
    }
    const double high = CellNumber(condition.value2, TypeOf(c));
    return !IsEmptyCell(cell) && low <= cell && cell <= high;
}

// --- Item model ------------------------------------------------------------------------------

LogGridRowKind LogGridModel::KindOf(const QModelIndex& index) const {
    return IsGroupHeader(index) ? LogGridRowKind::GroupHeader : LogGridRowKind::Data;
}

bool LogGridModel::IsGroupHeader(const QModelIndex& index) const {
    return groupedColumn_ >= 0 && index.isValid() && index.internalId() == 0;
}

int LogGridModel::RowPosition(const QModelIndex& index) const {
    if (groupedColumn_ < 0) {
        return index.row();
    }
    return groups_[At(static_cast<int>(index.internalId()) - 1)].first + index.row();
}

double LogGridModel::Number(int position, int column) const {
    const int slot = numberSlot_[At(column)];
    return slot < 0 ? kEmptyCell : numbers_[At(position * numberColumns_ + slot)];
}

const QString& LogGridModel::CellText(int position, int column) const {
    static const QString empty;
    if (numberSlot_[At(column)] >= 0 && IsEmptyCell(Number(position, column))) {
        return empty;
    }
    return rows_[At(position)].texts[At(kLogGridColumns[At(column)].source)];
}

QString LogGridModel::StyleNameOf(const Row& row) const {
    return row.format >= 0 ? formats_.Items()[At(row.format)].key : QString(kNormalStyle);
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

QModelIndex LogGridModel::index(int row, int column, const QModelIndex& parent) const {
    if (!hasIndex(row, column, parent)) {
        return {};
    }
    return parent.isValid() ? createIndex(row, column, static_cast<quintptr>(parent.row()) + 1)
                            : createIndex(row, column, quintptr{0});
}

QModelIndex LogGridModel::parent(const QModelIndex& child) const {
    if (!child.isValid() || child.internalId() == 0) {
        return {};
    }
    return createIndex(static_cast<int>(child.internalId()) - 1, 0, quintptr{0});
}

int LogGridModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid()) {
        return static_cast<int>(groupedColumn_ >= 0 ? groups_.size() : rows_.size());
    }
    return IsGroupHeader(parent) && parent.column() == 0 ? groups_[At(parent.row())].count : 0;
}

int LogGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() && !IsGroupHeader(parent) ? 0 : kLogGridColumnCount;
}

QVariant LogGridModel::data(const QModelIndex& index, int role) const {
    if (!Owns(index)) {
        return {};
    }
    if (IsGroupHeader(index)) {
        const Group& g = groups_[At(index.row())];
        switch (role) {
            case Qt::DisplayRole:
            case TextRole:
                return g.text;
            case RowKindRole:
                return static_cast<int>(LogGridRowKind::GroupHeader);
            case StyleNameRole:
                return QString(kGroupHeaderStyle);
            case StyleRole:
                return StyleData(kGroupHeaderStyle);
            case Qt::TextAlignmentRole:
                return static_cast<int>(AlignmentOf(-1, kGroupHeaderStyle));
            case ExpandedRole:
                return g.expanded;
            default:
                return {};
        }
    }
    const int position = RowPosition(index);
    const int c = index.column();
    switch (role) {
        case Qt::DisplayRole:
            if (TypeOf(c) != CellType::Text) {
                return CellValue(Number(position, c), TypeOf(c));
            }
            return CellText(position, c);
        case TextRole:
            return CellText(position, c);
        case RowKindRole:
            return static_cast<int>(LogGridRowKind::Data);
        case StyleNameRole:
            return StyleNameOf(rows_[At(position)]);
        case StyleRole:
            return StyleData(StyleNameOf(rows_[At(position)]));
        case Qt::TextAlignmentRole:
            return static_cast<int>(AlignmentOf(c, StyleNameOf(rows_[At(position)])));
        default:
            return {};
    }
}

QVariant LogGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kLogGridColumnCount) {
        return {};
    }
    const LogGridColumn& column = kLogGridColumns[At(section)];
    const ColumnSettings& settings = columns_[At(section)];
    switch (role) {
        case Qt::DisplayRole:
            return QString(column.caption);
        case ColumnKeyRole:
            return QString(column.key);
        case HiddenRole:
            return settings.hidden;
        case WidthTwipsRole:
            return settings.widthTwips;
        case StyleNameRole:
            return QString(kHeadingStyle);
        case StyleRole:
            return Style(kHeadingStyle) ? QVariant::fromValue(*Style(kHeadingStyle)) : QVariant();
        case Qt::TextAlignmentRole: {
            const std::optional<LogGridStyle> heading = Style(kHeadingStyle);
            return static_cast<int>(heading ? heading->alignment : Qt::AlignCenter);
        }
        default:
            return {};
    }
}

Qt::ItemFlags LogGridModel::flags(const QModelIndex& index) const {
    if (!Owns(index)) {
        return Qt::NoItemFlags;
    }
    return IsGroupHeader(index) ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

void LogGridModel::EmitDataRowsChanged(const QList<int>& roles) {
    if (groupedColumn_ < 0) {
        if (!rows_.empty()) {
            Q_EMIT dataChanged(index(0, 0), index(static_cast<int>(rows_.size()) - 1, LastColumn()),
                               roles);
        }
        return;
    }
    for (int g = 0; g < static_cast<int>(groups_.size()); ++g) {
        const QModelIndex header = index(g, 0);
        Q_EMIT dataChanged(index(0, 0, header),
                           index(groups_[At(g)].count - 1, LastColumn(), header), roles);
    }
    if (!groups_.empty()) {
        Q_EMIT dataChanged(index(0, 0), index(static_cast<int>(groups_.size()) - 1, LastColumn()),
                           roles);
    }
}

void LogGridModel::ForgetFittedWidths() {
    fittedWidths_.fill(std::nullopt);
}

}  // namespace orvanrx
