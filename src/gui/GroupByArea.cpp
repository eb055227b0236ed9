#include "gui/GroupByArea.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QToolButton>

#include "views/LogGridColumns.h"
#include "views/LogGridModel.h"

namespace orvanrx {

GroupByArea::GroupByArea(LogGridModel& grid, QWidget* parent)
    : QFrame(parent),
      grid_(grid),
      prompt_(new QLabel(QString(kGroupByPrompt), this)),
      chip_(new QLabel(this)),
      ungroup_(new QToolButton(this)) {
    setObjectName(QStringLiteral("GroupByArea"));
    setAcceptDrops(true);
    setFrameShape(QFrame::NoFrame);
    setAutoFillBackground(true);
    QPalette area = palette();
    area.setColor(QPalette::Window, QColor(236, 241, 250));
    setPalette(area);
    QPalette greyText = prompt_->palette();
    greyText.setColor(QPalette::WindowText, QColor(96, 104, 118));
    prompt_->setPalette(greyText);
    chip_->setObjectName(QStringLiteral("GroupByColumn"));
    chip_->setStyleSheet(QStringLiteral(
        "QLabel { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #cbe1fc, "
        "stop:1 #87ade4); border: 1px solid #6e8cbe; border-radius: 3px; padding: 2px 8px; "
        "font-weight: bold; }"));
    ungroup_->setObjectName(QStringLiteral("Ungroup"));
    ungroup_->setText(QStringLiteral("\u00D7"));
    ungroup_->setAutoRaise(true);
    ungroup_->setToolTip(tr("Show the rows without groups"));
    ungroup_->setAccessibleName(ungroup_->toolTip());
    // Only a click takes the focus here: a Space meant for the grid never drops the grouping.
    ungroup_->setFocusPolicy(Qt::ClickFocus);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 3, 6, 3);
    layout->setSpacing(2);
    layout->addWidget(prompt_);
    layout->addWidget(chip_);
    layout->addWidget(ungroup_);
    layout->addStretch(1);
    connect(ungroup_, &QToolButton::clicked, this, [this] { GroupBy(QString()); });
    connect(&grid_, &QAbstractItemModel::modelReset, this, &GroupByArea::Follow);
    Follow();
}

void GroupByArea::GroupBy(const QString& columnKey) {
    if (!columnKey.isEmpty() && LogGridColumnOf(columnKey) < 0) {
        return;
    }
    grid_.SetGroupBy(columnKey);
    grid_.Regroup();
    Follow();
}

QString GroupByArea::Text() const {
    return chip_->isVisibleTo(this) ? chip_->text() : prompt_->text();
}

void GroupByArea::Follow() {
    const int column = LogGridColumnOf(grid_.GroupBy());
    const bool grouped = column >= 0;
    if (grouped) {
        chip_->setText(QString(kLogGridColumns[static_cast<std::size_t>(column)].caption));
    }
    prompt_->setVisible(!grouped);
    chip_->setVisible(grouped);
    ungroup_->setVisible(grouped);
}

void GroupByArea::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasFormat(QString::fromLatin1(kColumnMimeType))) {
        event->acceptProposedAction();
    }
}

void GroupByArea::dropEvent(QDropEvent* event) {
    GroupBy(QString::fromUtf8(event->mimeData()->data(QString::fromLatin1(kColumnMimeType))));
    event->acceptProposedAction();
}

}  // namespace orvanrx
