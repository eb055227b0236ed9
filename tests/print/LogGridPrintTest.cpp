#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPdfWriter>
#include <QTemporaryDir>

#include "export/ExportReaders.h"
#include "print/LogGridPageLayout.h"
#include "print/LogGridPrint.h"
#include "settings/SmallFileSystem.h"
#include "settings/TestFiles.h"
#include "views/LogGridModel.h"
#include "views/LogGridSetup.h"

namespace orvanrx {
namespace {

// `races` races, oldest first, in categories taking turns in blocks of `block` races.
RunTable Races(int races, const std::vector<const char*>& categories, int block = 1000000) {
    RunTable table;
    for (int i = 0; i < races; ++i) {
        table.IsEmpty() ? table.StartNew() : table.OpenNextPair();
        const char* category = categories[static_cast<std::size_t>(i / block) % categories.size()];
        for (const bool left : {true, false}) {
            RunRow& row = *table.MutableRow(left ? table.LeftRow() : table.RightRow());
            row[RunColumn::GeneralID] = QString::number(left ? table.RightRow() : table.LeftRow());
            row[RunColumn::Category] = QString::fromLatin1(category);
            row[RunColumn::Car] = QString::number(100 + i);
            row[RunColumn::Name] = QStringLiteral("N%1").arg(i);
            row[RunColumn::Lane] = left ? QStringLiteral("L") : QStringLiteral("R");
            row[RunColumn::et1320] = QStringLiteral("9.534");
        }
    }
    return table;
}

// Round numbers instead of a font: a line is 25 twips a point, a character 10 twips a point.
PrintFontMetrics FixedMetrics() {
    return {[](const QString& text, const LogGridFont& font) {
                return static_cast<double>(text.size() * font.pointSize * 10);
            },
            [](const LogGridFont& font) { return font.pointSize * 25.0; }};
}

TEST(LogGridPageLayoutTest, OneLongGroupGoesOnPageByPageInWholeRaces) {
    // A data or group row is 10 pt * 25 + 2 * 40 = 330 twips, the headings 305, the page
    // header 385: a 10,000-twip page leaves 9310 - 330 for the group header (or its
    // continuation) = 27 rows, cut back to 26 to end after a race.
    const LogGridSheet sheet = testing::RaceLogSheet(Races(400, {"SUPER PRO     E1"}));
    const LogGridPageLayout layout = LayOutLogGridPages(sheet, 20000, 10000, FixedMetrics());
    ASSERT_EQ(layout.pages.size(), 31u);  // 800 rows, 26 a page
    EXPECT_DOUBLE_EQ(layout.scale, 1.0);
    EXPECT_EQ(layout.pages[0].firstRow, 0);
    EXPECT_EQ(layout.pages[0].endRow, 27);
    EXPECT_EQ(layout.pages[0].continuedGroup, -1);
    for (std::size_t p = 1; p < layout.pages.size(); ++p) {
        EXPECT_EQ(layout.pages[p].firstRow, layout.pages[p - 1].endRow);
        EXPECT_EQ(layout.pages[p].continuedGroup, 0) << p;
    }
    EXPECT_EQ(layout.pages.back().endRow - layout.pages.back().firstRow, 800 - 30 * 26);
}

TEST(LogGridPageLayoutTest, PagesTakeEveryRowOnceAndBreakBetweenRacesOrBeforeAGroup) {
    // Categories in blocks of 7 races, so groups start anywhere on a page.
    const LogGridSheet sheet =
        testing::RaceLogSheet(Races(400, {"PRO E1", "SUPER E1", "STREET E1", "TD Q1"}, 7));
    for (const double height : {3000.0, 7777.0, 10000.0, 15000.0}) {
        const LogGridPageLayout layout = LayOutLogGridPages(sheet, 20000, height, FixedMetrics());
        const double room = height - layout.headerHeight - layout.headingHeight;
        int next = 0;
        for (const LogGridPage& page : layout.pages) {
            ASSERT_EQ(page.firstRow, next);
            ASSERT_GT(page.endRow, page.firstRow);
            next = page.endRow;
            const auto& first = sheet.rows[static_cast<std::size_t>(page.firstRow)];
            double used = 0;
            if (first.kind == LogGridRowKind::Data) {
                // Starting inside a group, the page repeats the group's header.
                ASSERT_GE(page.continuedGroup, 0);
                EXPECT_EQ(sheet.rows[static_cast<std::size_t>(page.continuedGroup)].groupText,
                          first.groupText);
                used += layout.rowHeights[static_cast<std::size_t>(page.continuedGroup)];
            } else {
                EXPECT_EQ(page.continuedGroup, -1);
            }
            for (int r = page.firstRow; r < page.endRow; ++r) {
                used += layout.rowHeights[static_cast<std::size_t>(r)];
            }
            EXPECT_LE(used, room + 1e-6) << height;
            if (static_cast<std::size_t>(page.endRow) == sheet.rows.size()) {
                continue;
            }
            // A page ends after a right-lane row (its pair line), never after a header.
            const auto& last = sheet.rows[static_cast<std::size_t>(page.endRow - 1)];
            EXPECT_EQ(last.kind, LogGridRowKind::Data) << height << " page ending " << page.endRow;
            EXPECT_EQ(last.styleName, u"SetOfCars") << height << " page ending " << page.endRow;
        }
        EXPECT_EQ(static_cast<std::size_t>(next), sheet.rows.size());
    }
}

TEST(LogGridPageLayoutTest, ColumnsHoldTheirTextsAndAWideTableIsScaledToThePage) {
    LogGridModel grid(LogGridFlavour::RaceLog);
    SetUpRaceLogGrid(grid);
    for (const LogGridColumn& column : kLogGridColumns) {
        grid.SetHidden(column.key, false);
    }
    RunTable table = Races(3, {"PRO E1"});
    (*table.MutableRow(0))[RunColumn::Name] = QStringLiteral("A NAME FAR LONGER THAN ITS COLUMN");
    grid.Load(table);
    grid.Regroup();
    const LogGridSheet sheet = ReadLogGridSheet(grid);
    const PrintFontMetrics metrics = FixedMetrics();
    const LogGridPageLayout layout = LayOutLogGridPages(sheet, 15000, 10000, metrics);

    ASSERT_EQ(layout.columnLeft.size(), sheet.columns.size() + 1);
    EXPECT_LT(layout.scale, 1.0);
    EXPECT_NEAR(layout.TableWidth() * layout.scale, 15000, 1e-6);
    for (std::size_t c = 0; c < sheet.columns.size(); ++c) {
        const double width = layout.columnLeft[c + 1] - layout.columnLeft[c];
        EXPECT_GE(width, sheet.columns[c].widthTwips) << c;
        for (const LogGridSheetRow& row : sheet.rows) {
            if (row.kind == LogGridRowKind::Data) {
                EXPECT_GE(width, metrics.textWidth(row.cells[c].text, {QString(), 10, false}) +
                                     2 * kPrintCellPaddingX)
                    << c;
            }
        }
    }
}

class PrintedPagesTest : public ::testing::TestWithParam<int> {};

TEST_P(PrintedPagesTest, PdfHasTheCountedPagesInLandscape) {
    const int races = GetParam();
    const LogGridSheet sheet = testing::RaceLogSheet(Races(races, {"PRO E1", "SUPER E1"}, 50));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageOrientation(QPageLayout::Portrait);
    pdf.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);

    const int counted = LogGridPageCount(sheet, pdf);
    const int printed =
        PrintLogGrid(sheet, {QStringLiteral("a.csv"), QStringLiteral("2026-12-04")}, pdf);
    EXPECT_EQ(printed, counted);
    EXPECT_EQ(testing::PdfPageCount(bytes), printed);
    EXPECT_EQ(pdf.pageLayout().orientation(), QPageLayout::Landscape);
    if (races <= 1) {
        EXPECT_EQ(printed, 1);
    } else {
        // 800 rows and 8 group headers of about a fifth of an inch on 7 inches a page.
        EXPECT_GE(printed, 20);
        EXPECT_LE(printed, 40);
    }
}

INSTANTIATE_TEST_SUITE_P(Races, PrintedPagesTest, ::testing::Values(0, 1, 400));

TEST(PrintedPagesTest, PdfExportReplacesTheFileAndFailsCleanly) {
    const LogGridSheet sheet = testing::RaceLogSheet(Races(40, {"PRO E1"}));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("day.pdf"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write(QByteArray(100000, 'x')) == 100000);
    old.close();

    const ExportResult written = ExportLogGridPdf(sheet, {QStringLiteral("day.csv"), {}}, path);
    ASSERT_TRUE(written.ok) << written.error.toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF-"));
    EXPECT_FALSE(bytes.contains("xxxxxxxxxx"));
    EXPECT_GE(testing::PdfPageCount(bytes), 1);

    const ExportResult missing =
        ExportLogGridPdf(sheet, {}, dir.filePath(QStringLiteral("no/such/folder/day.pdf")));
    EXPECT_FALSE(missing.ok);
    EXPECT_FALSE(missing.error.isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("day.pdf")});
}

// The PDF on a file system that fills up while it is written, and on a file that may not grow,
// as the race-log saves and the other exports are tried: the system's reason, the old file kept.
TEST(PrintedPagesTest, PdfExportNamesAFullDiskAndKeepsTheOldFile) {
    const LogGridSheet sheet = testing::RaceLogSheet(Races(80, {"PRO E1", "SUPER E1"}, 10));
    const auto writeOver = [&sheet](const QString& path) {
        QFile old(path);
        if (!old.open(QIODevice::WriteOnly) || old.write("old\r\n") != 5) {
            return QStringLiteral("(no old file)");
        }
        old.close();
        const ExportResult written = ExportLogGridPdf(sheet, {QStringLiteral("day.csv"), {}}, path);
        return written.ok ? QStringLiteral("(written)") : written.error;
    };
    const auto read = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    };
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("day.pdf"));
        QString reason;
        {
            testing::FileSizeLimit limit(4096);
            reason = writeOver(path);
        }
        EXPECT_EQ(reason, QStringLiteral("File too large"));
        EXPECT_EQ(read(path), QByteArray("old\r\n"));
    }
    testing::SmallFileSystem disk(4096);
    if (!disk.SkipReason().empty()) {
        GTEST_SKIP() << disk.SkipReason();
    }
    const QString path = disk.Path(QStringLiteral("day.pdf"));
    EXPECT_EQ(writeOver(path), QStringLiteral("No space left on device"));
    EXPECT_EQ(read(path), QByteArray("old\r\n"));
    QStringList files = QDir(disk.Path(QString())).entryList(QDir::Files);
    files.sort();
    EXPECT_EQ(files, QStringList({QStringLiteral("day.pdf"), QStringLiteral("filler")}));
}

}  // namespace
}  // namespace orvanrx
