#pragma once

#include <QFrame>

class QLabel;
class QToolButton;

namespace orvanrx {

class LogGridModel;

// What a log grid's heading carries when it is dragged: the column's key (UTF-8).
inline constexpr char kColumnMimeType[] = "application/x-orvanrx-column";

// The group-by area above a log grid's headings. It names the column the rows are grouped by,
// or asks for one ("Drag a column header here to group by that column"). A heading dragged
// here groups the rows by its column; the button beside the column's name ends the grouping.
class GroupByArea final : public QFrame {
    Q_OBJECT
public:
    explicit GroupByArea(LogGridModel& grid, QWidget* parent = nullptr);

    // Groups the rows by the column with that key (empty: no grouping) and regroups them.
    void GroupBy(const QString& columnKey);
    // What the area says: the grouping column's caption, or the prompt.
    QString Text() const;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void Follow();

    LogGridModel& grid_;
    QLabel* prompt_;
    QLabel* chip_;
    QToolButton* ungroup_;
};

}  // namespace orvanrx
