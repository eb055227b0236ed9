#pragma once

#include <QAbstractItemModel>
#include <QAnyStringView>
#include <QHash>
#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "decoding/RunTables.h"
#include "views/LogGridColumns.h"
#include "views/LogGridRows.h"
#include "views/LogGridStyle.h"
#include "views/RowCondition.h"

namespace orvanrx {

enum class LogGridRowKind { Data, GroupHeader };

// The group-by area's text while the grid is grouped by no column.
inline constexpr QLatin1String kGroupByPrompt{"Drag a column header here to group by that column"};

// The race log window's pair line: every right-lane row takes the "SetOfCars" style.
RowCondition SetOfCarsCondition();

// The width in twips of `text` drawn in `font`; the desktop program measures with QFontMetrics.
using TextWidthMeasure = std::function<int(const QString& text, const LogGridFont& font)>;

// The log grid of the race log and filter windows: the rows of one run table, 21 columns, held
// in grid order (by group, then GeneralID descending, so the newest race comes first and a
// race's left-lane row stands above its right-lane row).
//
// Grouped by a column, the top level holds one group header row per distinct text of that
// column, in the order of each group's newest race; the data rows are the headers' children.
// Ungrouped, the top level holds the data rows. Only column 0 of a group header has children.
//
// Data roles: Qt::DisplayRole gives the cell as the column type holds it (QString; qint32,
// float or QDateTime; an invalid QVariant for an empty typed cell); a group header shows its
// text in every column (the view spans the row). TextRole gives the cell as text. The row's
// style is StyleRole (a LogGridStyle) under the name StyleNameRole; Qt::TextAlignmentRole is the
// column's own alignment, else the style's. Headings answer Qt::DisplayRole (the caption),
// ColumnKeyRole, HiddenRole, WidthTwipsRole, and the "Heading" style under StyleRole and
// Qt::TextAlignmentRole.
//
// Hidden flags and widths are kept here for the view to follow (headerDataChanged); the view
// reports the user's column resizing through SetWidth. Filtering is LogGridFilterModel's.
class LogGridModel : public QAbstractItemModel {
    Q_OBJECT

public:
    enum Role : int {
        TextRole = Qt::UserRole + 1,  // QString
        RowKindRole,                  // int, a LogGridRowKind
        StyleNameRole,                // QString
        StyleRole,                    // LogGridStyle; none when no style of that name is set
        ExpandedRole,                 // bool, group headers only
        ColumnKeyRole,                // headings: QString
        HiddenRole,                   // headings: bool
        WidthTwipsRole,               // headings: int
    };

    explicit LogGridModel(LogGridFlavour flavour, QObject* parent = nullptr);

    LogGridFlavour Flavour() const { return flavour_; }
    CellType TypeOf(int column) const { return LogGridCellType(column, flavour_); }

    // Drawing on or off. The model's signals flow either way; the view stops painting while it
    // is off and paints the current state once when it is switched on again (redrawChanged).
    void SetRedraw(bool on);
    bool Redraw() const { return redraw_; }

    // Removes all rows.
    void Clear();
    // Replaces all rows with rows 0 to the table's last row, the cells converted by the column
    // types, arranged in grid order; grouping, format conditions, hidden flags and widths stay
    // in force. One model reset. The grid shares the table's rows and shows them as they are
    // now until the next load, whatever the table writes meanwhile.
    void Load(const RunTable& table);

    // The column the rows are grouped by (empty key: none; an unknown key changes nothing). It
    // takes effect at the next Load or Regroup.
    void SetGroupBy(QAnyStringView columnKey);
    QString GroupBy() const;
    // Rebuilds the groups from the rows held, for the column now chosen. One model reset when
    // the grouping changes; nothing when it is already current.
    void Regroup();

    // Open or close every group. The state is kept per group text and survives reloads; a group
    // seen for the first time takes the state of the last ExpandAll or CollapseAll (open at
    // first). The view follows expansionChanged and, after a reset, ExpandedRole.
    void ExpandAll();
    void CollapseAll();
    // The user opened or closed one group in the view.
    void SetGroupExpanded(const QModelIndex& groupHeader, bool expanded);

    // Column settings by key; an unknown key changes nothing (GetWidth answers 0, IsHidden
    // false). Widths are twips, 888 at first; a negative width counts as 0.
    void SetHidden(QAnyStringView columnKey, bool hidden);
    bool IsHidden(QAnyStringView columnKey) const;
    void SetWidth(QAnyStringView columnKey, int twips);
    int GetWidth(QAnyStringView columnKey) const;
    // The column's own text alignment, before any style's (the windows left-align Name).
    void SetAlignment(QAnyStringView columnKey, Qt::Alignment alignment);

    // Fits the column to its longest text: the widest of its caption in the heading font and
    // its data cells in their rows' fonts, plus a margin. Text widths come from the measure
    // set with SetTextMeasure; without one, from the number of characters and the font size.
    void FitColumn(QAnyStringView columnKey);
    // The width FitColumn gives the column, whatever width it has now; 0 for no such column.
    int FittedColumnWidth(QAnyStringView columnKey) const;
    void SetTextMeasure(TextWidthMeasure measure);

    // The colour of the area without rows (a colour value; may refer to a desktop colour).
    void SetBackground(int colorValue);
    int Background() const { return background_; }

    // Named styles ("Normal", "Heading", "GroupHeader", format condition keys).
    void SetStyle(const QString& name, const LogGridStyle& style);
    std::optional<LogGridStyle> Style(QAnyStringView name) const;
    const QHash<QString, LogGridStyle>& Styles() const { return styles_; }

    // Format conditions: a data row matching one is drawn with the style named by the first
    // matching condition's key (each row is tested when its style is asked for); when that
    // style has no bottom border, it takes the border of the next matching condition's style
    // that has one.
    void SetFormatCondition(const RowCondition& condition);
    void ClearFormatConditions();
    const RowConditionList& FormatConditions() const { return formatConditions_; }

    // Whether the data row at `index` matches `condition`; false for a group header and for a
    // condition on an unknown column.
    bool RowMatches(const QModelIndex& index, const RowCondition& condition) const;
    LogGridRowKind KindOf(const QModelIndex& index) const;

    // QAbstractItemModel
    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

Q_SIGNALS:
    void redrawChanged(bool on);
    // After ExpandAll or CollapseAll: every group's ExpandedRole may have changed.
    void expansionChanged();
    void backgroundChanged(int colorValue);

private:
    struct ColumnSettings {
        bool hidden = false;
        int widthTwips = kStartColumnWidthTwips;
        std::optional<Qt::Alignment> alignment;
    };
    // A valid index of this model (checkIndex would log every invalid one it sees).
    bool Owns(const QModelIndex& index) const { return index.isValid() && index.model() == this; }
    bool IsGrouped() const { return rows_.GroupColumn() >= 0; }
    bool IsGroupHeader(const QModelIndex& index) const;
    // The grid row of a data row's index.
    int RowPosition(const QModelIndex& index) const;
    QString StyleNameOf(int position) const;
    QVariant StyleData(QAnyStringView name) const;
    // A data row's style: that of the first condition it matches, with the bottom border of a
    // later matching condition's style when its own has none (a marked row keeps the pair line).
    QVariant RowStyleData(int position) const;
    Qt::Alignment AlignmentOf(int column, QAnyStringView styleName) const;
    int FittedWidth(int column) const;

    void SetAllExpanded(bool expanded);
    // Each group's state after a load or regroup: its own, else the default.
    void RestoreExpansion();
    void ResolveFormats();
    // The first format condition the row matches, or -1.
    int FormatOf(int position) const;
    void EmitDataRowsChanged(const QList<int>& roles);
    void ForgetFittedWidths();

    LogGridFlavour flavour_;
    bool redraw_ = true;
    LogGridRows rows_;
    std::vector<bool> expanded_;  // per group

    int groupColumn_ = -1;  // chosen; rows_ are grouped by it from the next Load or Regroup
    QHash<QString, bool> expandedByText_;
    bool expandedByDefault_ = true;

    std::array<ColumnSettings, kLogGridColumnCount> columns_{};
    std::array<std::optional<int>, kLogGridColumnCount> fittedWidths_{};
    TextWidthMeasure measure_;
    int background_ = 0;
    QHash<QString, LogGridStyle> styles_;
    RowConditionList formatConditions_;
    // The format conditions resolved for this flavour's columns (nothing: unknown column).
    std::vector<std::optional<LogGridRows::Test>> formatTests_;
};

}  // namespace orvanrx
