#include "gui/PrintView.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QGraphicsItem>
#include <QGraphicsView>
#include <QLabel>
#include <QMenu>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QScrollBar>
#include <QTimer>
#include <QToolBar>
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
    rptView_->setViewMode(QPrintPreviewWidget::SinglePageView);
    connect(rptView_, &QPrintPreviewWidget::paintRequested, this, &PrintView::Paint);

    tools_->setObjectName(QStringLiteral("tbPrintView"));
    tools_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    tools_->setIconSize(QSize(16, 16));
    const auto add = [this](const char* name, const char* icon, const QString& caption,
                            const std::function<void()>& run) {
        QAction* action = tools_->addAction(QIcon::fromTheme(QString::fromLatin1(icon)), caption);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, run);
        return action;
    };
    add("miFitWidth", "zoom-fit-width", tr("Fit Width"), [this] { rptView_->fitToWidth(); });
    add("miFitPage", "zoom-fit-best", tr("Whole Page"), [this] { rptView_->fitInView(); });
    add("miZoomIn", "zoom-in", tr("Zoom In"), [this] { rptView_->zoomIn(); });
    add("miZoomOut", "zoom-out", tr("Zoom Out"), [this] { rptView_->zoomOut(); });
    tools_->addSeparator();
    add("miFirstPage", "go-first", tr("First"), [this] { ShowPageTop(1); });
    add("miPreviousPage", "go-previous", tr("Previous"),
        [this] { ShowPageTop(std::max(1, rptView_->currentPage() - 1)); });
    add("miNextPage", "go-next", tr("Next"),
        [this] { ShowPageTop(std::min(PageCount(), rptView_->currentPage() + 1)); });
    add("miLastPage", "go-last", tr("Last"), [this] { ShowPageTop(PageCount()); });
    lblPage_ = new QLabel(tools_);
    lblPage_->setObjectName(QStringLiteral("lblPage"));
    lblPage_->setContentsMargins(8, 0, 8, 0);
    tools_->addWidget(lblPage_);
    connect(rptView_, &QPrintPreviewWidget::previewChanged, this, &PrintView::ShowPageNumber);
    tools_->addSeparator();
    add("miPageSetup", "document-page-setup", tr("Page Setup..."), [this] { PageSetUp(); });
    add("miPrint", "document-print", tr("Print..."), [this] { Print(); });
    add("miExportPdf", "application-pdf", tr("Export to PDF..."), [this] {
        if (exportPdf_) {
            exportPdf_(sheet_(), title_());
        }
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tools_);
    layout->addWidget(rptView_, 1);
    WatchForMenu(rptView_);
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
