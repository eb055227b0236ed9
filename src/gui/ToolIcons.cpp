#include "gui/ToolIcons.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

#include "gui/ColorValue.h"
#include "gui/ToolTable.h"

namespace orvanrx {

namespace {

QIcon Swatch(int value) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(QColor(80, 80, 80));
    if (value == kDesktopColorReference) {
        // "No Fill": an empty box with a diagonal stroke.
        painter.setBrush(Qt::white);
        painter.drawRect(1, 1, 13, 13);
        painter.setPen(QPen(QColor(200, 0, 0), 1.5));
        painter.drawLine(2, 14, 14, 2);
    } else {
        painter.setBrush(ColorForValue(value, QPalette()));
        painter.drawRect(1, 1, 13, 13);
    }
    return QIcon(pixmap);
}

// A stop-watch face for the time slip, which the standard icons lack.
QIcon TimeSlipIcon() {
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(40, 40, 40), 1.6));
    painter.setBrush(QColor(250, 250, 250));
    painter.drawEllipse(QRectF(3, 5, 15, 15));
    painter.drawLine(QPointF(10.5, 5), QPointF(10.5, 2.5));
    painter.drawLine(QPointF(8, 2.5), QPointF(13, 2.5));
    painter.setPen(QPen(QColor(200, 30, 30), 1.8));
    painter.drawLine(QPointF(10.5, 12.5), QPointF(14, 9));
    return QIcon(pixmap);
}

// A small chart for the statistics: bars and a line over them.
QIcon StatsIcon() {
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(60, 60, 60), 1.2));
    painter.drawLine(QPointF(2.5, 2), QPointF(2.5, 19.5));
    painter.drawLine(QPointF(2.5, 19.5), QPointF(20, 19.5));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(120, 160, 215));
    const QRectF bars[] = {{5, 12, 3, 7}, {10, 8, 3, 11}, {15, 10, 3, 9}};
    for (const QRectF& bar : bars) {
        painter.drawRect(bar);
    }
    painter.setPen(QPen(QColor(238, 149, 21), 1.8));
    const QPointF line[] = {{5, 9}, {10, 5}, {15, 7}, {19.5, 3}};
    painter.drawPolyline(line, 4);
    return QIcon(pixmap);
}

// The race log's groups: category header bars, each over a row or two.
QIcon CategoriesIcon() {
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const int top : {2, 12}) {
        painter.setPen(QPen(QColor(150, 90, 10), 1));
        painter.setBrush(QColor(250, 190, 80));
        painter.drawRect(QRectF(1.5, top + 0.5, 19, 4));
        painter.setPen(QPen(QColor(90, 90, 90), 1.4));
        painter.drawLine(QPointF(5, top + 7.5), QPointF(19, top + 7.5));
    }
    return QIcon(pixmap);
}

// A group's box with a plus (open all) or a minus (close all), and the rows it shows.
QIcon GroupsIcon(bool open) {
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(60, 60, 60), 1.2));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(1.5, 1.5, 9, 9));
    painter.setPen(QPen(QColor(20, 90, 170), 1.8));
    painter.drawLine(QPointF(3.5, 6), QPointF(8.5, 6));
    if (open) {
        painter.drawLine(QPointF(6, 3.5), QPointF(6, 8.5));
    }
    painter.setPen(QPen(QColor(90, 90, 90), 1.4));
    painter.drawLine(QPointF(13, 6), QPointF(20.5, 6));
    if (open) {
        // The opened group's rows, indented under it.
        painter.drawLine(QPointF(6, 11), QPointF(6, 19));
        for (const double y : {14.5, 19.0}) {
            painter.drawLine(QPointF(6, y), QPointF(9, y));
            painter.drawLine(QPointF(11, y), QPointF(20.5, y));
        }
    } else {
        // The closed groups below, each one line.
        for (const double y : {14.5, 19.0}) {
            painter.drawLine(QPointF(2, y), QPointF(20.5, y));
        }
    }
    return QIcon(pixmap);
}

QIcon Standard(QStyle::StandardPixmap pixmap) {
    QStyle* style = QApplication::style();
    return style != nullptr ? style->standardIcon(pixmap) : QIcon();
}

}  // namespace

QIcon ToolIcon(const QString& toolName) {
    int color = 0;
    if (PaletteColorValue(toolName, color)) {
        return Swatch(color);
    }
    struct Themed {
        const char* tool;
        const char* theme;
        QStyle::StandardPixmap fallback;
    };
    static constexpr Themed kThemed[] = {
        {tool::miOpenLog, "document-open", QStyle::SP_DialogOpenButton},
        {tool::miSaveLog, "document-save", QStyle::SP_DialogSaveButton},
        {tool::miPrintPreview, "document-print-preview", QStyle::SP_FileDialogContentsView},
        {tool::miRaceLog, "x-office-spreadsheet", QStyle::SP_FileDialogDetailedView},
        {tool::miFilter, "edit-find", QStyle::SP_FileDialogListView},
        {tool::miExit, "application-exit", QStyle::SP_DialogCloseButton},
        {tool::miClose, "window-close", QStyle::SP_TitleBarCloseButton},
        {tool::miAbout, "help-about", QStyle::SP_MessageBoxInformation},
        {tool::miRefresh, "view-refresh", QStyle::SP_BrowserReload},
        {tool::miRefreshLog, "view-refresh", QStyle::SP_BrowserReload},
        {tool::miClearLog, "edit-clear", QStyle::SP_DialogResetButton},
        {tool::miPause, "media-playback-pause", QStyle::SP_MediaPause},
        {tool::miChangeChannel, "network-wireless", QStyle::SP_DriveNetIcon},
        {tool::miCalculator, "accessories-calculator", QStyle::SP_ComputerIcon},
    };
    for (const Themed& entry : kThemed) {
        if (toolName == QLatin1String(entry.tool)) {
            return QIcon::fromTheme(QString::fromLatin1(entry.theme), Standard(entry.fallback));
        }
    }
    if (toolName == QLatin1String(tool::miStats)) {
        return QIcon::fromTheme(QStringLiteral("office-chart-line"), StatsIcon());
    }
    if (toolName == QLatin1String(tool::miCategories)) {
        return QIcon::fromTheme(QStringLiteral("view-group"), CategoriesIcon());
    }
    if (toolName == QLatin1String(tool::miExpand)) {
        return QIcon::fromTheme(QStringLiteral("expand-all"), GroupsIcon(true));
    }
    if (toolName == QLatin1String(tool::miCollapse)) {
        return QIcon::fromTheme(QStringLiteral("collapse-all"), GroupsIcon(false));
    }
    if (toolName == QLatin1String(tool::miTimeSlip)) {
        return QIcon::fromTheme(QStringLiteral("chronometer"), TimeSlipIcon());
    }
    return {};
}

}  // namespace orvanrx
