#include "gui/frmRaceLog.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStackedLayout>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

#include "decoding/RunTables.h"
#include "gui/Appearance.h"
#include "gui/ColorValue.h"
#include "gui/GroupByArea.h"
#include "gui/LogGridView.h"
#include "gui/PrintView.h"
#include "settings/NumericText.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"
#include "views/FieldChoices.h"
#include "views/LogGridColumns.h"
#include "views/LogGridSetup.h"

namespace orvanrx {

namespace {

constexpr QLatin1String kRaceLogCaption{"Race Log"};
constexpr QLatin1String kPausedCaption{"Race Log - Paused"};
constexpr QLatin1String kNameColumn{"Name"};

}  // namespace

frmRaceLog::frmRaceLog(RunTables& tables, const SettingsStore& settings, QWidget* parent)
    : QWidget(parent),
      tables_(tables),
      settings_(settings),
      grid_(LogGridFlavour::RaceLog),
      views_(new QStackedLayout),
      groupBy_(new GroupByArea(grid_)),
      grdLog_(new LogGridView(grid_, grid_)),
      gridPage_(new QWidget),
      miSettings_(new QMenu(this)),
      printPage_(new PrintView(
          [this] {
              // The pages' own widths, however the window sized the columns on screen.
              LogGridSheet sheet = ReadLogGridSheet(grid_, CollapsedGroups::Skip);
              UsePageWidths(sheet, kNameColumn);
              return sheet;
          },
          [this] { return LogTitleOf(logPath_ ? logPath_() : QString(), grid_); }, *miSettings_)) {
    setObjectName(QStringLiteral("frmRaceLog"));
    setWindowTitle(kRaceLogCaption);
    grdLog_->setAccessibleName(kRaceLogCaption);
    auto* gridLayout = new QVBoxLayout(gridPage_);
    gridLayout->setContentsMargins(0, 0, 0, 0);
    gridLayout->setSpacing(0);
    gridLayout->addWidget(groupBy_);
    gridLayout->addWidget(grdLog_, 1);
    views_->addWidget(gridPage_);
    views_->addWidget(printPage_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(views_);
    BuildMenu();
    connect(grdLog_, &LogGridView::SettingsMenuRequested, this, &frmRaceLog::ShowSettingsMenu);
    // The pages stand on the window's background colour, as the grid's rows do.
    connect(&grid_, &LogGridModel::backgroundChanged, printPage_, [this](int colorValue) {
        printPage_->SetBackground(ColorForValue(colorValue, QApplication::palette()));
    });
}

QAction* frmRaceLog::AddItem(QMenu& menu, const char* name, const QString& caption,
                             const std::function<void()>& onClick, bool checkable) {
    QAction* item = menu.addAction(caption);
    item->setObjectName(QString::fromLatin1(name));
    item->setCheckable(checkable);
    items_.insert(item->objectName(), item);
    connect(item, &QAction::triggered, this, [item, checkable, onClick] {
        // A click has already moved the check mark; the commands move it themselves, from
        // where it stood.
        if (checkable) {
            item->setChecked(!item->isChecked());
        }
        onClick();
    });
    return item;
}

void frmRaceLog::BuildMenu() {
    miSettings_->setObjectName(QStringLiteral("miSettings"));
    miSettings_->setTitle(QStringLiteral("Settings"));
    AddItem(
        *miSettings_, "miPrintView", QStringLiteral("Print Preview..."),
        [this] { miPrintView_Click(); }, false);
    AddItem(
        *miSettings_, "miGridView", QStringLiteral("Grid View..."), [this] { miGridView_Click(); },
        false);
    miSettings_->addSeparator();
    QMenu* miView = miSettings_->addMenu(QStringLiteral("View"));
    miView->setObjectName(QStringLiteral("miView"));
    miView->menuAction()->setObjectName(QStringLiteral("miView"));
    AddItem(
        *miView, "miAllCategories", QStringLiteral("All Categories"),
        [this] { miAllCategories_Click(); }, true);
    miView->addSeparator();
    for (const FieldChoice& choice : kFieldChoices) {
        const QLatin1String name = choice.item;
        AddItem(
            *miView, name.data(), choice.caption, [this, name] { FieldItem_Click(name); }, true);
    }
    AddItem(
        *miSettings_, "miRefresh", QStringLiteral("Refresh"), [this] { miRefresh_Click(); }, false);
    miSettings_->addSeparator();
    AddItem(
        *miSettings_, "miFullScreen", QStringLiteral("Full Screen"),
        [this] { miFullScreen_Click(); }, false);
    miSettings_->addSeparator();
    AddItem(
        *miSettings_, "miCollapseAll", QStringLiteral("Collapse Categories"),
        [this] { miCollapseAll_Click(); }, false);
    AddItem(
        *miSettings_, "miExpandAll", QStringLiteral("Expand Categories"),
        [this] { miExpandAll_Click(); }, false);
    miSettings_->addSeparator();
    AddItem(
        *miSettings_, "miPauseUpdates", QStringLiteral("Pause Updates"),
        [this] { miPauseUpdates_Click(); }, true);
    AddItem(
        *miSettings_, "miClose", QStringLiteral("Close"), [this] { miClose_Click(); }, false);
}

void frmRaceLog::Load(QMdiSubWindow& frame, int backColor) {
    frame_ = &frame;
    // The field items as the grid starts; the triggered handlers are not run here.
    for (const FieldChoice& choice : kFieldChoices) {
        items_.value(choice.item)->setChecked(choice.checkedAtStart);
    }
    grid_.SetRedraw(false);
    SetUpRaceLogGrid(grid_);

    grid_.Regroup();
    grid_.SetBackground(backColor);
    grid_.SetRedraw(true);
    open_ = true;
    RestoreWindowPlacement(settings_, kRaceLogScreenSettingsKey, frame);
    const QString nameWidth =
        settings_.QueryValue(kRaceLogScreenSettingsKey, kNameColumnWidthValue);
    grdLog_->SetFittedColumn(kNameColumn);
    if (const std::optional<double> twips = NumericTextValue(nameWidth)) {
        if (const std::optional<std::int64_t> width =
                RoundedInRange(*twips, std::numeric_limits<std::int16_t>::min(),
                               std::numeric_limits<std::int16_t>::max())) {
            // A kept width is the user's choice: it stays whatever the names and the heading.
            grdLog_->SetChosenWidth(static_cast<int>(*width));
            grid_.SetWidth(kNameColumn, static_cast<int>(*width));
        }
    }
    LoadFieldChoices(settings_, [this](QLatin1String item) {
        if (item == kAllCategoriesItem) {
            miAllCategories_Click();
        } else {
            FieldItem_Click(item);
        }
    });
}

bool frmRaceLog::AllCategoriesMode() const {
    return items_.value(QStringLiteral("miAllCategories"))->isChecked();
}

bool frmRaceLog::Paused() const {
    return items_.value(QStringLiteral("miPauseUpdates"))->isChecked();
}

QString frmRaceLog::CategoryCaption() const {
    return AllCategoriesMode() ? QStringLiteral("All Categories") : QStringLiteral("One Category");
}

void frmRaceLog::UpdateDisplay() {
    if (Paused()) {
        return;
    }
    grid_.SetRedraw(false);
    const RunTable& table =
        AllCategoriesMode() ? tables_.AllRunsTable() : tables_.CategoryRunsTable();
    if (!table.IsEmpty()) {
        grid_.Load(table);
    }
    grid_.Regroup();
    grid_.SetRedraw(true);
}

void frmRaceLog::ClearDisplay() {
    tables_.ResetRunTables();
    grid_.SetRedraw(false);
    grid_.Clear();
    grid_.SetRedraw(true);
}

void frmRaceLog::ShowOpenedLog() {
    miGridView_Click();
    if (AllCategoriesMode()) {
        UpdateDisplay();
        return;
    }
    AllCategories();
    UpdateDisplay();
    AllCategories();
}

void frmRaceLog::AllCategories() {
    miAllCategories_Click();
}

void frmRaceLog::miAllCategories_Click() {
    QAction* item = items_.value(QStringLiteral("miAllCategories"));
    if (item->isChecked()) {
        item->setChecked(false);
        Q_EMIT CategoryCaptionChanged(CategoryCaption());
    } else {
        item->setChecked(true);
        Q_EMIT CategoryCaptionChanged(CategoryCaption());
        miRefresh_Click();
    }
}

void frmRaceLog::miRefresh_Click() {
    SetPaused(false);
    UpdateDisplay();
}

void frmRaceLog::miPauseUpdates_Click() {
    SetPaused(!Paused());
}

void frmRaceLog::SetPaused(bool paused) {
    const bool was = Paused();
    items_.value(QStringLiteral("miPauseUpdates"))->setChecked(paused);
    setWindowTitle(paused ? kPausedCaption : kRaceLogCaption);
    if (was != paused) {
        Q_EMIT PausedChanged(paused);
    }
}

void frmRaceLog::FieldItem_Click(QLatin1String name) {
    const std::optional<FieldChoice> choice = FindFieldChoice(name);
    QAction* item = items_.value(name);
    if (!choice || item == nullptr) {
        return;
    }
    if (item->isChecked()) {
        grid_.SetHidden(choice->column, true);
        item->setChecked(false);
    } else {
        // A column shown for the first time shows its texts whole (a Category).
        WidenToFit(LogGridColumnOf(choice->column));
        grid_.SetHidden(choice->column, false);
        item->setChecked(true);
    }
}

void frmRaceLog::WidenToFit(int column) {
    if (column < 0 || grdLog_->UserSized(column)) {
        return;
    }
    const QString key = kLogGridColumns[static_cast<std::size_t>(column)].key;
    if (key == kNameColumn) {
        return;  // Name is fitted, or keeps its chosen width
    }
    grid_.SetWidth(key, std::max(grid_.GetWidth(key), grid_.FittedColumnWidth(key)));
}

void frmRaceLog::miCollapseAll_Click() {
    grid_.CollapseAll();
}

void frmRaceLog::miExpandAll_Click() {
    grid_.ExpandAll();
}

void frmRaceLog::miFullScreen_Click() {
    if (frame_ != nullptr) {
        frame_->showMaximized();
    }
}

void frmRaceLog::miClose_Click() {
    if (frame_ != nullptr) {
        frame_->close();
    } else {
        close();
    }
}

void frmRaceLog::miPrintView_Click() {
    printPage_->SetBackground(ColorForValue(grid_.Background(), QApplication::palette()));
    printPage_->LayOut();
    views_->setCurrentWidget(printPage_);
}

void frmRaceLog::miGridView_Click() {
    views_->setCurrentWidget(gridPage_);
}

void frmRaceLog::Activate(int backColor) {
    grid_.SetBackground(backColor);
}

void frmRaceLog::ShowSettingsMenu(const QPoint& globalPos) {
    miSettings_->popup(globalPos);
}

void frmRaceLog::Unload() {
    if (!open_) {
        return;
    }
    miGridView_Click();
    open_ = false;
    if (frame_ != nullptr) {
        SaveWindowPlacement(settings_, kRaceLogScreenSettingsKey, *frame_);
    }
    // The Name width as chosen (or as fitted to the names), not as widened on screen.
    const int nameWidth =
        grdLog_->ChosenWidth() > 0 ? grdLog_->ChosenWidth() : grid_.GetWidth(kNameColumn);
    settings_.SetKeyValue(kRaceLogScreenSettingsKey, kNameColumnWidthValue, nameWidth,
                          ValueType::RegDword);
    SaveFieldChoices(settings_, [this](QLatin1String item) {
        const QAction* action = items_.value(item);
        return action != nullptr && action->isChecked();
    });
    Q_EMIT Unloaded();
}

void frmRaceLog::closeEvent(QCloseEvent* event) {
    Unload();
    event->accept();
}

}  // namespace orvanrx
