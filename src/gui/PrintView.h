#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "export/LogExport.h"
#include "views/LogGridSheet.h"

class QLabel;
class QMenu;
class QPrinter;
class QPrintPreviewWidget;
class QToolBar;

namespace orvanrx {

// The print view of a log window: the grid's rows as landscape pages in rptView, a
// QPrintPreviewWidget, with a small tool bar (zoom, fit, page set-up, print, export to PDF).
// The pages are laid out by the print library from what the grid shows at the moment the view
// is shown (LayOut); the right mouse button over the pages opens the window's own menu.
class PrintView final : public QWidget {
    Q_OBJECT
public:
    // `sheet` reads the grid's shown rows, `title` names the log; `menu` is the window's
    // miSettings popup.
    PrintView(std::function<LogGridSheet()> sheet, std::function<LogTitle()> title, QMenu& menu,
              QWidget* parent = nullptr);
    ~PrintView() override;

    // Lays the pages out again from the grid as it is now.
    void LayOut();
    // "Export to PDF": the owner chooses the file and writes it (ExportLogGridPdf).
    void SetPdfExport(std::function<void(const LogGridSheet&, const LogTitle&)> exportPdf) {
        exportPdf_ = std::move(exportPdf);
    }

    QPrintPreviewWidget& Viewer() { return *rptView_; }
    QPrinter& Printer() { return *printer_; }
    QToolBar& Tools() { return *tools_; }
    // The pages of the last layout.
    int PageCount() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Paint(QPrinter* printer);
    void Print();
    void PageSetUp();
    void WatchForMenu(QObject* object);
    void ShowPageNumber();
    // Page `page` (from 1) with its top at the top of the view.
    void ShowPageTop(int page);

    std::function<LogGridSheet()> sheet_;
    std::function<LogTitle()> title_;
    std::function<void(const LogGridSheet&, const LogTitle&)> exportPdf_;
    QMenu& menu_;
    std::unique_ptr<QPrinter> printer_;
    QToolBar* tools_;
    QPrintPreviewWidget* rptView_;
    QLabel* lblPage_ = nullptr;
};

}  // namespace orvanrx
