#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "export/ExportReaders.h"
#include "export/ExportText.h"
#include "export/LogExport.h"
#include "views/LogGridModel.h"
#include "views/LogGridSetup.h"
#include "views/LogGridSheet.h"
#include "views/LogTable.h"

namespace orvanrx {
namespace {

using testing::ExportOutline;

// A name no export may choke on: quotes, markup, an entity, a CDATA end, control bytes.
const char kHostileName[] = "Jo \"Q\" <b>&amp;</b>\x01 ]]> '\x1f";

// One race with every kind of cell the log holds.
testing::RaceCells Race(const char* category, const char* carL, const char* carR,
                        const char* nameL = "AL BEE", const char* at = "2026-12-04 18:53:12") {
    return {category,
            carL,
            carR,
            {{RunColumn::DateTime, at},
             {RunColumn::Class, "SP"},
             {RunColumn::Name, nameL},
             {RunColumn::Dial, "9.50"},
             {RunColumn::RT, "0.512"},
             {RunColumn::et60, "1.312"},
             {RunColumn::et1320, "9.534"},
             {RunColumn::mph1320, "142.87"},
             {RunColumn::margin, "0.0123"},
             {RunColumn::overund, "+0.034"},
             {RunColumn::win, "W"}},
            {{RunColumn::DateTime, at},
             {RunColumn::Class, "SP"},
             {RunColumn::Name, "CY DEE"},
             {RunColumn::Dial, "9.60"},
             {RunColumn::RT, "-0.012"},
             {RunColumn::et1320, "9.711"},
             {RunColumn::mph1320, "139.10"},
             {RunColumn::margin, "-0.0123"},
             {RunColumn::overund, "-0.000"}}};
}

RunTable OneCategoryTable() {
    return testing::LogOf({Race("SUPER PRO     E1", "1234", "0123"),
                           Race("SUPER PRO     E1", "77", "", kHostileName),
                           Race("SUPER PRO     E1", "1234", "77")});
}

RunTable AllCategoriesTable() {
    return testing::LogOf(
        {Race("SUPER PRO     E1", "1234", "0123"), Race("A&B <PRO>     E1", "5", "6", kHostileName),
         Race("SUPER PRO     E2", "1234", "77"), Race("A&B <PRO>     E1", "8", "9")});
}

// The grids the exports read: the race log window's in either mode (one category, all
// categories) and the filter window's, which is not grouped and holds numbers.
struct GridCase {
    const char* name;
    LogGridFlavour flavour;
    std::function<RunTable()> table;
    // Field choices made on top of the window's set-up.
    std::vector<std::pair<const char*, bool>> hidden;
    QStringList keys;  // the columns that must be exported, in order
};

const QStringList kStartKeys{
    QStringLiteral("Class"),   QStringLiteral("Car"),     QStringLiteral("Name"),
    QStringLiteral("Lane"),    QStringLiteral("Bump"),    QStringLiteral("Dial"),
    QStringLiteral("RT"),      QStringLiteral("et60"),    QStringLiteral("et330"),
    QStringLiteral("et660"),   QStringLiteral("mph660"),  QStringLiteral("et1000"),
    QStringLiteral("et1320"),  QStringLiteral("mph1320"), QStringLiteral("margin"),
    QStringLiteral("overund"), QStringLiteral("win")};

QStringList Without(QStringList keys, const QString& key) {
    keys.removeAll(key);
    return keys;
}

std::vector<GridCase> GridCases() {
    QStringList withMph1000 = Without(kStartKeys, QStringLiteral("Class"));
    withMph1000.insert(withMph1000.indexOf(QStringLiteral("et1320")), QStringLiteral("mph1000"));
    QStringList withDate = kStartKeys;
    withDate.prepend(QStringLiteral("DateTime"));
    return {
        {"one category", LogGridFlavour::RaceLog, OneCategoryTable, {}, kStartKeys},
        {"all categories, Class hidden, 1000' MPH shown",
         LogGridFlavour::RaceLog,
         AllCategoriesTable,
         {{"Class", true}, {"mph1000", false}},
         withMph1000},
        {"filter window, DateTime shown",
         LogGridFlavour::Filter,
         AllCategoriesTable,
         {{"DateTime", false}},
         withDate},
    };
}

class GridExportTest : public ::testing::TestWithParam<GridCase> {
protected:
    GridExportTest() : grid(GetParam().flavour) {
        GetParam().flavour == LogGridFlavour::RaceLog ? SetUpRaceLogGrid(grid)
                                                      : SetUpFilterGrid(grid);
        for (const auto& [key, hide] : GetParam().hidden) {
            grid.SetHidden(QLatin1String(key), hide);
        }
        table = GetParam().table();
        grid.Load(table);
        grid.Regroup();
        sheet = ReadLogGridSheet(grid);
        title = LogTitleOf(QStringLiteral("/logs/2026-12-04 1853.csv"), grid);
    }

    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    static QByteArray Read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The outline every export must have: the grid's rows in its order, its shown columns.
    void ExpectSameAsGrid(const ExportOutline& exported) {
        ASSERT_TRUE(exported.readable) << exported.error.toStdString();
        const ExportOutline expected = testing::SheetOutline(sheet);
        EXPECT_EQ(exported.captions, expected.captions);
        EXPECT_EQ(exported.rows, expected.rows);
        // Every row of the table and a header per group, none twice.
        const auto groups = std::count_if(exported.rows.cbegin(), exported.rows.cend(),
                                          [](const QString& r) { return r.startsWith(u'['); });
        EXPECT_EQ(exported.rows.size() - groups, table.RowCount());
        EXPECT_EQ(groups, grid.GroupBy().isEmpty() ? 0 : grid.rowCount());
    }

    QTemporaryDir dir;
    LogGridModel grid;
    RunTable table;
    LogGridSheet sheet;
    LogTitle title;
};

TEST_P(GridExportTest, SheetHoldsTheShownColumnsOnly) {
    QStringList keys;
    for (const LogGridSheetColumn& column : sheet.columns) {
        keys += column.key;
    }
    EXPECT_EQ(keys, GetParam().keys);
}

TEST_P(GridExportTest, XmlHoldsTheGridsRowsAndShownColumns) {
    const ExportResult result = ExportLogGridXml(sheet, title, Path("log.xml"));
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    const ExportOutline xml = testing::XmlOutline(Read(Path("log.xml")));
    ExpectSameAsGrid(xml);
    EXPECT_EQ(xml.keys, GetParam().keys);
}

TEST_P(GridExportTest, HtmlHoldsTheGridsRowsAndShownColumns) {
    const ExportResult result = ExportLogGridHtml(sheet, title, Path("log.html"));
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    const QByteArray html = Read(Path("log.html"));
    ExpectSameAsGrid(testing::HtmlOutline(html));
    EXPECT_TRUE(
        html.contains("<title>Race Log \xe2\x80\x93 2026-12-04 1853.csv \xe2\x80\x93 "
                      "2026-12-04</title>"));
    // Self-contained: nothing fetched, nothing run.
    for (const char* outside : {"<script", "<link", "src=", "url("}) {
        EXPECT_FALSE(html.contains(outside)) << outside;
    }
}

TEST_P(GridExportTest, WorkbookHoldsTheGridsRowsWithNumbersAsNumbers) {
    const ExportResult result = ExportLogGridXlsx(sheet, title, Path("log.xlsx"));
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    const testing::Workbook book = testing::ReadWorkbook(Path("log.xlsx"));
    ExpectSameAsGrid(testing::WorkbookOutline(book));
    EXPECT_EQ(book.frozenTopLeft, u"A2");
    EXPECT_EQ(book.title, title.Text());
    for (const auto& [column, cell] : book.cells.at(0)) {
        EXPECT_TRUE(cell.bold) << column;
    }

    // Each shown column's width follows the grid's (twips / 15 = pixels at 96 dpi; a
    // spreadsheet keeps widths in 7-pixel digits, its padding included).
    for (std::size_t c = 0; c < sheet.columns.size(); ++c) {
        const double pixels = book.columnWidths.at(static_cast<int>(c)) * 7;
        EXPECT_NEAR(pixels, sheet.columns[c].widthTwips / 15.0, 1.5) << c;
    }

    // The cells of the first data row, by column key.
    const int firstData = grid.GroupBy().isEmpty() ? 1 : 2;
    const auto cellOf = [&](const char* key, int row) {
        const auto column = GetParam().keys.indexOf(QLatin1String(key));
        return book.cells.at(row).at(static_cast<int>(column));
    };
    for (const char* key : {"Dial", "RT", "et1320", "mph1320", "margin", "overund"}) {
        EXPECT_TRUE(cellOf(key, firstData).isNumber) << key;
        EXPECT_TRUE(cellOf(key, firstData + 1).isNumber) << key;
    }
    EXPECT_DOUBLE_EQ(cellOf("Dial", firstData).number, 9.5);
    EXPECT_EQ(cellOf("Dial", firstData).numberFormat, u"0.00");
    EXPECT_EQ(cellOf("margin", firstData).numberFormat, u"0.0000");
    EXPECT_EQ(ShownText(cellOf("overund", firstData)), u"+0.034");
    EXPECT_EQ(ShownText(cellOf("overund", firstData + 1)), u"-0.000");
    EXPECT_EQ(ShownText(cellOf("RT", firstData + 1)), u"-0.012");
    for (const char* key : {"Name", "Lane", "win"}) {
        EXPECT_FALSE(cellOf(key, firstData).isNumber) << key;
    }
}

TEST_P(GridExportTest, EachExportReplacesAnExistingFile) {
    using Writer = ExportResult (*)(const LogGridSheet&, const LogTitle&, const QString&);
    for (const auto& [name, write] :
         std::vector<std::pair<const char*, Writer>>{{"old.xml", ExportLogGridXml},
                                                     {"old.html", ExportLogGridHtml},
                                                     {"old.xlsx", ExportLogGridXlsx}}) {
        const QByteArray junk(200000, 'x');
        QFile old(Path(name));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write(junk) == junk.size());
        old.close();
        const ExportResult result = write(sheet, title, Path(name));
        ASSERT_TRUE(result.ok) << name << result.error.toStdString();
        const QByteArray now = Read(Path(name));
        EXPECT_LT(now.size(), junk.size()) << name;
        EXPECT_FALSE(now.contains("xxxxxxxxxx")) << name;
        // Nothing left beside it.
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1) << name;
        QFile::remove(Path(name));
    }
}

INSTANTIATE_TEST_SUITE_P(Grids, GridExportTest, ::testing::ValuesIn(GridCases()),
                         [](const auto& info) { return std::to_string(info.index); });

TEST(LogExportTest, HostileTextsComeBackWithOnlyTheUnwritableCharactersDropped) {
    const LogGridSheet sheet = testing::RaceLogSheet(AllCategoriesTable());
    const LogTitle title{QString::fromUtf8("a&b <\"c\">\x02.csv"), QStringLiteral("2026-12-04")};
    const QString safeName = QString::fromLatin1("Jo \"Q\" <b>&amp;</b> ]]> '");
    const ExportOutline xml = testing::XmlOutline(LogGridXml(sheet, title));
    const ExportOutline html = testing::HtmlOutline(LogGridHtml(sheet, title));
    for (const ExportOutline* outline : {&xml, &html}) {
        ASSERT_TRUE(outline->readable) << outline->error.toStdString();
        EXPECT_TRUE(outline->rows.contains(QStringLiteral("[A&B <PRO>     E1]")));
        EXPECT_EQ(outline->rows.filter(safeName).size(), 1);
    }
}

TEST(LogExportTest, AnEmptyGridExportsItsHeadingsAndNoRows) {
    const LogGridSheet sheet = testing::RaceLogSheet(RunTable());
    const ExportOutline xml = testing::XmlOutline(LogGridXml(sheet, {}));
    const ExportOutline html = testing::HtmlOutline(LogGridHtml(sheet, {}));
    QTemporaryDir dir;
    ASSERT_TRUE(ExportLogGridXlsx(sheet, {}, dir.filePath(QStringLiteral("e.xlsx"))).ok);
    const ExportOutline xlsx =
        testing::WorkbookOutline(testing::ReadWorkbook(dir.filePath(QStringLiteral("e.xlsx"))));
    for (const ExportOutline* outline : {&xml, &html, &xlsx}) {
        ASSERT_TRUE(outline->readable) << outline->error.toStdString();
        EXPECT_EQ(outline->captions.size(), kStartKeys.size());
        EXPECT_TRUE(outline->rows.isEmpty());
    }
}

TEST(LogExportTest, AWriteThatCannotBeDoneSaysWhyAndWritesNothing) {
    const LogGridSheet sheet = testing::RaceLogSheet(OneCategoryTable());
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("no/such/folder/log"));
    for (const auto& result : {ExportLogGridXml(sheet, {}, missing + QStringLiteral(".xml")),
                               ExportLogGridHtml(sheet, {}, missing + QStringLiteral(".html")),
                               ExportLogGridXlsx(sheet, {}, missing + QStringLiteral(".xlsx")),
                               ExportLogGridXlsx(sheet, {}, dir.path())}) {
        EXPECT_FALSE(result.ok);
        EXPECT_FALSE(result.error.isEmpty());
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

TEST(LogExportTest, TitleTakesTheRaceDayFromTheRowsElseFromTheFileName) {
    struct Case {
        const char* path;
        std::vector<const char*> times;  // a race at each
        const char* date;
    };
    for (const Case& c : std::vector<Case>{
             {"/l/2026-12-04 1853.csv", {"2026-12-05 10:00:00"}, "2026-12-05"},
             {"/l/x.csv",
              {"2026-12-05 10:00:00", "2026-12-04 23:59:59", "2026-12-05 00:00:00"},
              "2026-12-04 – 2026-12-05"},
             {"/l/2026-12-04 1853.csv", {}, "2026-12-04"},
             {"/l/2026-12-04 1853.csv", {"soon"}, "2026-12-04"},
             {"/l/day one.csv", {}, ""},
         }) {
        RunTable table;
        for (const char* at : c.times) {
            const RunTable one = testing::LogOf({Race("PRO E1", "1", "2", "A", at)});
            table.IsEmpty() ? table.StartNew() : table.OpenNextPair();
            *table.MutableRow(table.LeftRow()) = *one.Row(0);
            *table.MutableRow(table.RightRow()) = *one.Row(1);
        }
        LogGridModel grid(LogGridFlavour::RaceLog);
        SetUpRaceLogGrid(grid);
        grid.Load(table);
        grid.Regroup();
        const LogTitle title = LogTitleOf(QString::fromUtf8(c.path), grid);
        EXPECT_EQ(title.date, QString::fromUtf8(c.date)) << c.path;
        EXPECT_EQ(title.fileName, QFileInfo(QString::fromUtf8(c.path)).fileName());
    }
    EXPECT_EQ((LogTitle{QStringLiteral("a.csv"), {}}).Text(),
              QString::fromUtf8("Race Log – a.csv"));
    EXPECT_EQ(LogTitle{}.Text(), u"Race Log");
}

TEST(ExportTextTest, NumberTextsAndTheFormatsThatShowThemAsWritten) {
    struct Case {
        const char* text;
        std::optional<double> value;
        const char* format;
    };
    for (const Case& c : std::vector<Case>{
             {"9.50", 9.5, "0.00"},
             {"0.512", 0.512, "0.000"},
             {" 142.87 ", 142.87, "0.00"},
             {"-0.012", -0.012, "0.000"},
             {"+0.034", 0.034, "+0.000;-0.000;+0.000"},
             {"-0.000", 0.0, "0.000;-0.000;-0.000"},
             {"1234", 1234, "0"},
             {"0", 0, "0"},
             {".5", 0.5, "0.0"},
             {"5.", 5, "0"},
             {"0.0123", 0.0123, "0.0000"},
             {"0123", std::nullopt, ""},  // a car number keeps its zero
             {"00.5", std::nullopt, ""},
             {"1.2.3", std::nullopt, ""},
             {"1e3", std::nullopt, ""},
             {"9.5 s", std::nullopt, ""},
             {"", std::nullopt, ""},
             {"-", std::nullopt, ""},
             {".", std::nullopt, ""},
             {"W", std::nullopt, ""},
             {"1234567890123456", std::nullopt, ""},
         }) {
        const std::optional<NumberText> number = ReadNumberText(QString::fromLatin1(c.text));
        ASSERT_EQ(number.has_value(), c.value.has_value()) << c.text;
        if (number) {
            EXPECT_DOUBLE_EQ(number->value, *c.value) << c.text;
            EXPECT_EQ(SpreadsheetNumberFormat(*number), QLatin1String(c.format)) << c.text;
        }
    }
}

TEST(ExportTextTest, XmlSafeTextDropsOnlyWhatXmlCannotCarry) {
    struct Case {
        QString text;
        QString safe;
    };
    const QChar high(0xD83C);
    const QChar low(0xDFC1);
    for (const Case& c : std::vector<Case>{
             {QStringLiteral("plain"), QStringLiteral("plain")},
             {QString::fromLatin1("a\x01"
                                  "b\x1f"
                                  "c\x7f"),
              QString::fromLatin1("abc\x7f")},
             {QStringLiteral("tab\tline\ncr\r"), QStringLiteral("tab\tline\ncr\r")},
             {QStringLiteral("\uFFFE\uFFFFok\uFFFD"), QStringLiteral("ok\uFFFD")},
             {QString(high) + low, QString(high) + low},  // a pair: kept
             {QStringLiteral("a") + high + QStringLiteral("b") + low, QStringLiteral("ab")},
             {QString::fromUtf8("Zoë <&>\""), QString::fromUtf8("Zoë <&>\"")},
         }) {
        EXPECT_EQ(XmlSafeText(c.text), c.safe) << c.text.toStdString();
    }
}

TEST(ExportTextTest, FormatFollowsTheExtension) {
    EXPECT_EQ(ExportFormatOf(QStringLiteral("a.xml")), ExportFormat::Xml);
    EXPECT_EQ(ExportFormatOf(QStringLiteral("/x/a.HTML")), ExportFormat::Html);
    EXPECT_EQ(ExportFormatOf(QStringLiteral("a.htm")), ExportFormat::Html);
    EXPECT_EQ(ExportFormatOf(QStringLiteral("a.b.Xlsx")), ExportFormat::Xlsx);
    EXPECT_EQ(ExportFormatOf(QStringLiteral("a.pdf")), ExportFormat::Pdf);
    for (const char* path : {"a.xls", "a", "xml", "a.csv", "a.xml.txt"}) {
        EXPECT_FALSE(ExportFormatOf(QString::fromLatin1(path))) << path;
    }
}

}  // namespace
}  // namespace orvanrx
