#include "gui/PrintView.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QGraphicsItem>
#include <QGraphicsView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QScrollBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "print/LogGridPrint.h"

namespace orvanrx {

PrintView::PrintView(std::function<LogGridSheet()> sheet, std::function<LogTitle()> title,
                     QMenu& menu, QWidget* parent)
    : QWidget(parent),
      sheet_(std::move(sheet)),
      title_(std::move(title)),
      menu_(menu),
      printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)),
      tools_(new QToolBar(this)),
      rptView_(nullptr) {
    // A landscape page suits the grid's columns.
    printer_->setPageOrientation(QPageLayout::Landscape);
    rptView_ = new QPrintPreviewWidget(printer_.get(), this);
    rptView_->setObjectName(QStringLiteral("rptView"));
    rptView_->setAccessibleName(tr("Pages"));
    rptView_->setViewMode(QPrintPreviewWidget::SinglePageView);
    connect(rptView_, &QPrintPreviewWidget::paintRequested, this, &PrintView::Paint);

    tools_->setObjectName(QStringLiteral("tbPrintView"));
    tools_->setAccessibleName(tr("Print Preview"));
    tools_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    tools_->setIconSize(QSize(16, 16));
    const auto add = [this](const char* name, const char* icon, const QString& caption,
                            const std::function<void()>& run) {
        QAction* action = tools_->addAction(QIcon::fromTheme(QString::fromLatin1(icon)), caption);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, run);
        // The tool bar is reached with Tab, and the keys work wherever the focus is in the
        // view (only in the view: the race log's and the filter's each have their own).
        tools_->widgetForAction(action)->setFocusPolicy(Qt::TabFocus);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
        return action;
    };
    const auto keys = [](QAction* action, QList<QKeySequence> sequences) {
        action->setShortcuts(sequences);
        action->setToolTip(QStringLiteral("%1 (%2)").arg(
            action->text(), sequences.first().toString(QKeySequence::NativeText)));
    };
    keys(add("miFitWidth", "zoom-fit-width", tr("Fit Width"), [this] { rptView_->fitToWidth(); }),
         {QKeySequence(Qt::CTRL | Qt::Key_0)});
    add("miFitPage", "zoom-fit-best", tr("Whole Page"), [this] { rptView_->fitInView(); });
    keys(add("miZoomIn", "zoom-in", tr("Zoom In"), [this] { rptView_->zoomIn(); }),
         {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    keys(add("miZoomOut", "zoom-out", tr("Zoom Out"), [this] { rptView_->zoomOut(); }),
         {QKeySequence(Qt::CTRL | Qt::Key_Minus)});
    tools_->addSeparator();
    keys(add("miFirstPage", "go-first", tr("First"), [this] { ShowPageTop(1); }),
         {QKeySequence(Qt::CTRL | Qt::Key_Home)});
    keys(add("miPreviousPage", "go-previous", tr("Previous"),
             [this] { ShowPageTop(std::max(1, rptView_->currentPage() - 1)); }),
         {QKeySequence(Qt::CTRL | Qt::Key_PageUp)});
    keys(add("miNextPage", "go-next", tr("Next"),
             [this] { ShowPageTop(std::min(PageCount(), rptView_->currentPage() + 1)); }),
         {QKeySequence(Qt::CTRL | Qt::Key_PageDown)});
    keys(add("miLastPage", "go-last", tr("Last"), [this] { ShowPageTop(PageCount()); }),
         {QKeySequence(Qt::CTRL | Qt::Key_End)});
    lblPage_ = new QLabel(tools_);
    lblPage_->setObjectName(QStringLiteral("lblPage"));
    lblPage_->setContentsMargins(8, 0, 8, 0);
    tools_->addWidget(lblPage_);
    connect(rptView_, &QPrintPreviewWidget::previewChanged, this, &PrintView::ShowPageNumber);
    tools_->addSeparator();
    add("miPageSetup", "document-page-setup", tr("Page Setup..."), [this] { PageSetUp(); });
    // Ctrl+P is also File > Print Preview; inside the view it prints (see eventFilter).
    add("miPrint", "document-print", tr("Print..."), [this] { Print(); })
        ->setToolTip(
            tr("Print... (%1)")
                .arg(QKeySequence(Qt::CTRL | Qt::Key_P).toString(QKeySequence::NativeText)));
    add("miExportPdf", "application-pdf", tr("Export to PDF..."), [this] {
        if (exportPdf_) {
            exportPdf_(sheet_(), title_());
        }
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // The tool bar's own button for the tools it has no room for.
    if (auto* more = tools_->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"))) {
        more->setAccessibleName(tr("More Tools"));
    }
    layout->addWidget(tools_);
    layout->addWidget(rptView_, 1);
    WatchForMenu(rptView_);
    WatchForMenu(tools_);
}

PrintView::~PrintView() = default;

void PrintView::WatchForMenu(QObject* object) {
    object->installEventFilter(this);
    for (QObject* child : object->children()) {
        if (child->isWidgetType()) {
            WatchForMenu(child);
        }
    }
}

bool PrintView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ContextMenu) {
        menu_.popup(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    const bool keyEvent =
        event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride;
    if (keyEvent && watched->isWidgetType()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool print = key->key() == Qt::Key_P && key->modifiers() == Qt::ControlModifier;
        const bool menuKey = key->key() == Qt::Key_Menu ||
                             (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier);
        if (event->type() == QEvent::ShortcutOverride) {
            // Ours, not the main window's print preview.
            if (print || menuKey) {
                event->accept();
                return true;
            }
        } else if (print) {
            Print();
            return true;
        } else if (menuKey) {
            auto* widget = static_cast<QWidget*>(watched);
            menu_.popup(widget->mapToGlobal(QPoint(8, 8)));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void PrintView::LayOut() {
    rptView_->updatePreview();
    rptView_->fitToWidth();
    ShowPageTop(1);
    // Once the view has its size (it is being shown), the first page's top again.
    QTimer::singleShot(0, this, [this] { ShowPageTop(1); });
}

void PrintView::SetBackground(const QColor& color) {
    if (auto* view = rptView_->findChild<QGraphicsView*>()) {
        view->setBackgroundBrush(color);
    }
}

void PrintView::ShowPageTop(int page) {
    rptView_->setCurrentPage(page);
    // The preview centres a page; a page read at the width of the view is taller than the view,
    // so it is moved up to show its header first.
    auto* view = rptView_->findChild<QGraphicsView*>();
    if (view == nullptr || view->scene() == nullptr) {
        return;
    }
    const QPointF centre = view->mapToScene(view->viewport()->rect().center());
    for (const QGraphicsItem* item : view->scene()->items()) {
        if (item->parentItem() == nullptr && item->sceneBoundingRect().contains(centre)) {
            const int top = view->mapFromScene(item->sceneBoundingRect().topLeft()).y();
            view->verticalScrollBar()->setValue(view->verticalScrollBar()->value() + top - 8);
            break;
        }
    }
    ShowPageNumber();
}

void PrintView::ShowPageNumber() {
    lblPage_->setText(tr("Page %1 of %2").arg(rptView_->currentPage()).arg(PageCount()));
}

int PrintView::PageCount() const {
    return rptView_->pageCount();
}

void PrintView::Paint(QPrinter* printer) {
    PrintLogGrid(sheet_(), title_(), *printer);
}

void PrintView::Print() {
    QPrintDialog dialog(printer_.get(), this);
    if (dialog.exec() == QDialog::Accepted) {
        Paint(printer_.get());
        rptView_->updatePreview();
    }
}

void PrintView::PageSetUp() {
    QPageSetupDialog dialog(printer_.get(), this);
    if (dialog.exec() == QDialog::Accepted) {
        rptView_->updatePreview();
    }
}

}  // namespace orvanrx
