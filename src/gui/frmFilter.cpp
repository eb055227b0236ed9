#include "gui/frmFilter.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStackedLayout>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "analysis/LogFigures.h"
#include "decoding/RunTables.h"
#include "gui/Appearance.h"
#include "gui/ColorValue.h"
#include "gui/GroupByArea.h"
#include "gui/LogGridView.h"
#include "gui/PrintView.h"
#include "gui/Twips.h"
#include "settings/SettingsKeys.h"
#include "views/FieldChoices.h"
#include "views/LogGridSetup.h"

namespace orvanrx {

namespace {

constexpr QLatin1String kNameColumn{"Name"};
const QString kAllCategoriesEntry = QStringLiteral("(All Categories)");

// A control's place in twips from the client area's top left corner.
struct TwipsPlace {
    int left;
    int top;
    int width;
    int height;
};
constexpr TwipsPlace kCategoryPlace{0, 0, 2655, 315};
constexpr TwipsPlace kRoundPlace{2640, 0, 1215, 315};
constexpr TwipsPlace kCarPlace{3840, 0, 1395, 315};

void Place(QWidget& control, const TwipsPlace& place) {
    control.setGeometry(TwipsToPixels(control, place.left), TwipsToPixels(control, place.top),
                        TwipsToPixels(control, place.width), TwipsToPixels(control, place.height));
}

}  // namespace

QStringList frmFilter::RoundList() {
    QStringList rounds{QStringLiteral("All Rounds")};
    for (const QChar kind : {u'E', u'T', u'Q', u'C'}) {
        for (int n = 0; n <= 8; ++n) {
            rounds << QString(kind) + QString::number(n);
        }
    }
    return rounds;
}

frmFilter::frmFilter(const RunTables& tables, const SettingsStore& settings, QWidget* parent)
    : QWidget(parent),
      tables_(tables),
      settings_(settings),
      grid_(LogGridFlavour::Filter),
      shown_(grid_),
      cboCategory_(new QComboBox),
      cboRound_(new QComboBox),
      txtCar_(new QLineEdit),
      controls_(new QWidget),
      views_(new QStackedLayout),
      groupBy_(new GroupByArea(grid_)),
      grdLog_(new LogGridView(grid_, shown_)),
      gridPage_(new QWidget),
      miSettings_(new QMenu(this)) {
    setObjectName(QStringLiteral("frmFilter"));
    setWindowTitle(QStringLiteral("Race Log Filter"));

    cboCategory_->setObjectName(QStringLiteral("cboCategory"));
    cboCategory_->setToolTip(QStringLiteral("Category"));
    cboCategory_->setAccessibleName(cboCategory_->toolTip());
    cboCategory_->setPlaceholderText(QStringLiteral("Category"));
    // The way back to every category, above the category names.
    cboCategory_->addItem(kAllCategoriesEntry);
    cboCategory_->setCurrentIndex(-1);
    cboRound_->setObjectName(QStringLiteral("cboRound"));
    cboRound_->setToolTip(QStringLiteral("Round Number"));
    cboRound_->setAccessibleName(cboRound_->toolTip());
    cboRound_->setPlaceholderText(QStringLiteral("Round"));
    cboRound_->addItems(RoundList());
    cboRound_->setCurrentIndex(-1);
    txtCar_->setObjectName(QStringLiteral("txtCar"));
    txtCar_->setToolTip(QStringLiteral("Car Number"));
    txtCar_->setAccessibleName(txtCar_->toolTip());
    grdLog_->setAccessibleName(windowTitle());
    txtCar_->setPlaceholderText(QStringLiteral("Car #"));
    for (QWidget* control : {static_cast<QWidget*>(cboCategory_), static_cast<QWidget*>(cboRound_),
                             static_cast<QWidget*>(txtCar_)}) {
        control->setParent(controls_);
    }
    // The design's places, a box widened where its entries would not fit ("All Rounds" in a
    // larger face); what stands right of it moves along.
    int shift = 0;
    int height = TwipsToPixels(*controls_, kCategoryPlace.height);
    for (const auto& [control, place] :
         {std::pair<QWidget*, TwipsPlace>{cboCategory_, kCategoryPlace},
          {cboRound_, kRoundPlace},
          {txtCar_, kCarPlace}}) {
        Place(*control, place);
        control->move(control->x() + shift, control->y());
        height = std::max(height, control->sizeHint().height());
        if (control != txtCar_ && control->sizeHint().width() > control->width()) {
            shift += control->sizeHint().width() - control->width();
            control->resize(control->sizeHint().width(), control->height());
        }
    }
    for (QWidget* control : controls_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        control->resize(control->width(), height);
    }
    controls_->setFixedHeight(height);

    connect(cboCategory_, &QComboBox::activated, this, &frmFilter::cboCategory_Click);
    connect(cboRound_, &QComboBox::activated, this, &frmFilter::cboRound_Click);
    connect(txtCar_, &QLineEdit::returnPressed, this, &frmFilter::ApplyFilter);

    auto* gridLayout = new QVBoxLayout(gridPage_);
    gridLayout->setContentsMargins(0, 0, 0, 0);
    gridLayout->setSpacing(0);
    gridLayout->addWidget(controls_);
    gridLayout->addWidget(groupBy_);
    gridLayout->addWidget(grdLog_, 1);
    views_->addWidget(gridPage_);
    printPage_ = new PrintView(
        [this] {
            // The pages' own widths, however the window sized the columns on screen.
            LogGridSheet sheet = ReadLogGridSheet(grid_, shown_, CollapsedGroups::Skip);
            UsePageWidths(sheet, kNameColumn);
            return sheet;
        },
        [this] { return LogTitleOf(logPath_ ? logPath_() : QString(), grid_); }, *miSettings_);
    views_->addWidget(printPage_);
    // The pages stand on the window's background colour, as the grid's rows do.
    connect(&grid_, &LogGridModel::backgroundChanged, printPage_, [this](int colorValue) {
        printPage_->SetBackground(ColorForValue(colorValue, QApplication::palette()));
    });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(views_);

    // Until a heading is clicked the grid order stands (newest race first).
    grdLog_->header()->setSortIndicator(-1, Qt::DescendingOrder);
    grdLog_->setSortingEnabled(true);
    grdLog_->header()->setSortIndicatorShown(true);

    miSettings_->setObjectName(QStringLiteral("miSettings"));
    miSettings_->setTitle(QStringLiteral("Settings"));
    QAction* printView = miSettings_->addAction(QStringLiteral("Print Preview..."));
    printView->setObjectName(QStringLiteral("miPrintView"));
    connect(printView, &QAction::triggered, this, &frmFilter::miPrintView_Click);
    QAction* gridView = miSettings_->addAction(QStringLiteral("Grid View..."));
    gridView->setObjectName(QStringLiteral("miGridView"));
    connect(gridView, &QAction::triggered, this, &frmFilter::miGridView_Click);
    connect(grdLog_, &LogGridView::SettingsMenuRequested, miSettings_,
            [this](const QPoint& at) { miSettings_->popup(at); });
}

void frmFilter::Load(QMdiSubWindow& frame, int backColor) {
    frame_ = &frame;
    open_ = true;
    RestoreWindowPlacement(settings_, kRaceLogScreenSettingsKey, frame, MissingValues::Leave);
    grid_.SetRedraw(false);
    SetUpFilterGrid(grid_);
    grid_.SetBackground(backColor);
    grid_.SetRedraw(true);
    grdLog_->SetFittedColumn(kNameColumn);
    ApplyFieldChoices(settings_, grid_);
    FillCategoryList();
    UpdateDisplay();
}

void frmFilter::UpdateDisplay() {
    grid_.SetRedraw(false);
    grid_.Clear();
    if (!tables_.IsRunTableEmpty()) {
        grid_.Load(tables_.AllRunsTable());
    }
    grdLog_->FitColumn();
    grid_.SetRedraw(true);
}

void frmFilter::FillCategoryList() {
    const RunTable& table = tables_.AllRunsTable();
    if (table.IsEmpty()) {
        return;
    }
    QString previous;
    for (int row = 0; row <= table.RightRow(); ++row) {
        const QString category = table.Cell(row, RunColumn::Category);
        if (category != previous) {
            AddCategoryName(category);
        }
        previous = category;
    }
}

void frmFilter::AddCategoryName(const QString& text) {
    const std::optional<QString> listed = FilterListCategoryName(text);
    if (!listed) {
        return;
    }
    const QString& name = *listed;
    QStringList names;  // the category names, after "(All Categories)"
    for (int i = 1; i < cboCategory_->count(); ++i) {
        names << cboCategory_->itemText(i);
    }
    if (names.contains(name)) {
        return;
    }
    const auto at = std::lower_bound(names.begin(), names.end(), name);
    const int wasIndex = cboCategory_->currentIndex();
    const int index = 1 + static_cast<int>(at - names.begin());
    cboCategory_->insertItem(index, name);
    cboCategory_->setCurrentIndex(wasIndex >= index ? wasIndex + 1 : wasIndex);
}

void frmFilter::SetCategoryAndRound() {
    if (cboCategory_->currentIndex() > 0 && !cboCategory_->currentText().isEmpty()) {
        shown_.SetFilterCondition(CategoryFilterCondition(cboCategory_->currentText()));
    }
    if (!cboRound_->currentText().isEmpty() && cboRound_->currentIndex() != 0) {
        shown_.SetFilterCondition(RoundFilterCondition(cboRound_->currentText()));
    }
}

void frmFilter::cboCategory_Click() {
    if (cboCategory_->currentIndex() < 0 || cboCategory_->currentText().isEmpty()) {
        return;
    }
    shown_.ClearFilterConditions();
    SetCategoryAndRound();
    shown_.ApplyFilterConditions();
    txtCar_->clear();
}

void frmFilter::cboRound_Click() {
    if (cboRound_->currentIndex() < 0) {
        return;
    }
    shown_.ClearFilterConditions();
    SetCategoryAndRound();
    if (!txtCar_->text().isEmpty()) {
        shown_.SetFilterCondition(CarFilterCondition(txtCar_->text()));
    }
    shown_.ApplyFilterConditions();
}

void frmFilter::ApplyFilter() {
    if (txtCar_->text().isEmpty()) {
        return;
    }
    shown_.ClearFilterConditions();
    SetCategoryAndRound();
    shown_.SetFilterCondition(CarFilterCondition(txtCar_->text()));
    shown_.ApplyFilterConditions();
}

void frmFilter::miPrintView_Click() {
    // The category, round and car controls step aside for the pages.
    controls_->hide();
    printPage_->SetBackground(ColorForValue(grid_.Background(), QApplication::palette()));
    printPage_->LayOut();
    views_->setCurrentWidget(printPage_);
}

void frmFilter::miGridView_Click() {
    views_->setCurrentWidget(gridPage_);
    controls_->show();
}

void frmFilter::Activate(int backColor) {
    grid_.SetBackground(backColor);
}

void frmFilter::Unload() {
    if (!open_) {
        return;
    }
    open_ = false;
    Q_EMIT Unloaded();
}

void frmFilter::closeEvent(QCloseEvent* event) {
    Unload();
    event->accept();
}

}  // namespace orvanrx
