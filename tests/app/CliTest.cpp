#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "analysis/StatsLog.h"
#include "app/CliRun.h"
#include "decoding/RaceRows.h"
#include "decoding/ReceiveBuffer.h"
#include "decoding/TimeSlipText.h"
#include "export/ExportReaders.h"
#include "racelog/RaceLogFile.h"
#include "sim/RaceDayGenerator.h"
#include "views/LogGridModel.h"
#include "views/LogGridSetup.h"

namespace orvanrx {
namespace {

class CliTest : public testing::CliFixture {
protected:
    using CliFixture::Run;
    // `words` split at blanks, then `more` as they are.
    Result Run(const char* words, const QStringList& more = {}) {
        return Run(QString::fromLatin1(words).split(u' ', Qt::SkipEmptyParts) + more);
    }
};

TEST_F(CliTest, UsageErrorsExitWithTwo) {
    for (const char* args :
         {"", "bogus", "replay", "replay a b", "simulate --nope", "simulate --races x",
          "simulate --noise nan", "settings get", "stats", "stats a b", "stats a --vs 1", "export",
          "export a", "export a b c", "export a.csv b.txt"}) {
        const Result r = Run(args);
        EXPECT_EQ(r.exitCode, 2) << args;
        EXPECT_FALSE(r.err.isEmpty());
    }
    const Result help = Run("replay --help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: orvanrx-cli replay")));
}

TEST_F(CliTest, BadTraceNamesItsLineAndWritesNothing) {
    ASSERT_TRUE(
        Write(Path("bad.trace"), "# a trace\nFA 01 00 00 01 02 03 04 05 06 07 08\nidle x\n"));
    const Result r = Run("replay", {Path("bad.trace")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.startsWith(Path("bad.trace") + QStringLiteral(":3: ")))
        << r.err.toStdString();
    EXPECT_FALSE(QDir(Path("data")).exists());
    EXPECT_FALSE(QDir(Path("config")).exists());
}

TEST_F(CliTest, SimulatedDayReplaysIntoTheRacesItHolds) {
    const Result sim = Run("simulate --races 6 --seed 4 --noise 0.1");
    ASSERT_EQ(sim.exitCode, 0) << sim.err.toStdString();
    ASSERT_TRUE(Write(Path("day.trace"), sim.out.toUtf8()));

    const Result replay =
        Run("replay",
            {Path("day.trace"), QStringLiteral("--log"), Path("day.csv"), QStringLiteral("--image"),
             Path("day.bin"), QStringLiteral("--timeslip"), Path("slip.txt")});
    ASSERT_EQ(replay.exitCode, 0) << replay.err.toStdString();
    EXPECT_TRUE(replay.out.contains(QStringLiteral("Race log: ")));

    const RaceDay day = GenerateRaceDay({6, 4, 0.1, false});
    RunTables loaded;
    ASSERT_EQ(LoadRaceLog(Path("day.csv"), loaded).outcome, RaceLogLoadOutcome::Loaded);
    testing::ExpectLogHoldsExactly(loaded.AllRunsTable(), day.races);
    for (const RunRecord& race : day.races) {
        // One printed line at least for each race.
        EXPECT_TRUE(replay.out.contains(race.Category + QStringLiteral(" | L ")));
    }
    EXPECT_EQ(QFileInfo(Path("day.bin")).size(), 32769);
    QFile slip(Path("slip.txt"));
    ASSERT_TRUE(slip.open(QIODevice::ReadOnly));
    const QByteArray slipText = slip.readAll();
    EXPECT_TRUE(slipText.startsWith(day.races.back().Category.toLatin1()));
    // The slip of the image written beside it, right-lane figures to their last digit.
    QFile image(Path("day.bin"));
    ASSERT_TRUE(image.open(QIODevice::ReadOnly));
    ReceiveBuffer mirror;
    const QByteArray bytes = image.readAll();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        mirror.Set(i, static_cast<std::uint8_t>(bytes[i]));
    }
    EXPECT_EQ(slipText, TimeSlipText(mirror).value_or(QString()).toLatin1());
    const RunRecord& last = day.races.back();
    for (const QString& right : {last.et660R, last.et1320R, last.mph1320R}) {
        EXPECT_TRUE(right.isEmpty() || slipText.contains(right.toLatin1())) << right.toStdString();
    }

    // The venue and the last race's bytes were kept for the next start.
    const Result venue = Run("settings get SOFTWARE\\OrvanRX\\ Venue");
    EXPECT_NE(venue.out.trimmed(), QStringLiteral("No Key Value"));
}

TEST_F(CliTest, StatsOfEveryCarOneCarAndAMeeting) {
    ASSERT_TRUE(Write(Path("log.csv"), RaceLogFileBytes(testing::HandMadeLog())));

    const Result all = Run("stats", {Path("log.csv")});
    ASSERT_EQ(all.exitCode, 0) << all.err.toStdString();
    const QStringList lines = all.out.split(u'\n');
    EXPECT_EQ(lines.value(0), QStringLiteral("log.csv: 8 races, 7 cars"));
    EXPECT_TRUE(lines.value(2).startsWith(QStringLiteral("Car  Categories     ")));
    EXPECT_TRUE(lines.value(3).startsWith(QStringLiteral("7    TOP SPORTSMAN  ")));
    EXPECT_TRUE(lines.value(3).contains(QString::fromUtf8("  –  ")));
    EXPECT_EQ(lines.size(), 3 + 7 + 1);

    const Result one = Run("stats --car 100 --csv", {Path("log.csv")});
    ASSERT_EQ(one.exitCode, 0) << one.err.toStdString();
    for (const char* line :
         {"Figure,Value\n", "\nNames,\"DOE, JOHN\"\n", "\nNext dial-in,9.540\n",
          "\n\nRow,Date/time,Category,Lane,Opponent,Dial,RT,60ft,ET,MPH,O/U,Package,Result,Notes\n",
          "\n11,2026-12-04 15:00:00,SUPER PRO     E3,R,200,9.520,0.480,,9.560,139.80,0.039,0.519,"
          "L,\n"}) {
        EXPECT_TRUE(one.out.contains(QString::fromLatin1(line))) << line;
    }
    EXPECT_FALSE(one.out.contains(QString::fromUtf8("–")));

    const Result vs = Run("stats --car 100 --vs 200", {Path("log.csv")});
    EXPECT_EQ(vs.exitCode, 0);
    EXPECT_TRUE(vs.out.endsWith(QStringLiteral("\n\n100 won 1, 200 won 1 of 3 races.\n")));
    EXPECT_EQ(vs.out.count(u'\n'), 6);
    EXPECT_EQ(Run("stats --car 100 --vs 88", {Path("log.csv")}).out,
              QStringLiteral("100 and 88 never met.\n"));

    const Result unknown = Run("stats --car 999", {Path("log.csv")});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_TRUE(unknown.err.startsWith(QStringLiteral("Car 999 has no runs in ")));
}

TEST_F(CliTest, StatsOfAnUnreadableLogFailsLikeAnImport) {
    // A log cut after three lines ends inside its second race.
    const QList<QByteArray> lines = RaceLogFileBytes(testing::HandMadeLog()).split('\n');
    ASSERT_TRUE(Write(Path("odd.csv"), lines.mid(0, 3).join('\n') + '\n'));
    const Result odd = Run("stats", {Path("odd.csv")});
    EXPECT_EQ(odd.exitCode, 2);
    EXPECT_EQ(
        odd.err,
        RaceLogImportErrorText().replace(QStringLiteral("\r\n"), QStringLiteral("\n")) + u'\n');
    EXPECT_TRUE(odd.out.isEmpty());

    const Result missing = Run("stats", {Path("none.csv")});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_EQ(missing.err, Path("none.csv") + QStringLiteral(": no such file.\n"));
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST_F(CliTest, ExportWritesTheLogAsTheRaceLogWindowShowsItAfterOpeningIt) {
    ASSERT_TRUE(Write(Path("log.csv"), RaceLogFileBytes(testing::HandMadeLog())));
    // Field choices kept by an earlier session.
    const QString fields = QStringLiteral("SOFTWARE\\OrvanRX\\RaceLog\\Fields\\");
    Run("settings set", {fields, QStringLiteral("Class"), QStringLiteral("False")});
    Run("settings set", {fields, QStringLiteral("1000' MPH"), QStringLiteral("True")});
    ASSERT_TRUE(Write(Path("log.xml"), QByteArray(100000, 'x')));  // replaced

    // What the window shows: every race of the file, grouped, the kept columns.
    RunTables opened;
    ASSERT_EQ(LoadRaceLog(Path("log.csv"), opened).outcome, RaceLogLoadOutcome::Loaded);
    LogGridModel grid(LogGridFlavour::RaceLog);
    SetUpRaceLogGrid(grid);
    grid.SetHidden(u"Class", true);
    grid.SetHidden(u"mph1000", false);
    grid.Load(opened.AllRunsTable());
    grid.Regroup();
    const testing::ExportOutline expected = testing::SheetOutline(ReadLogGridSheet(grid));
    ASSERT_EQ(expected.rows.size(), opened.AllRunsTable().RowCount() + grid.rowCount());
    ASSERT_TRUE(expected.keys.contains(QStringLiteral("mph1000")));
    ASSERT_FALSE(expected.keys.contains(QStringLiteral("Class")));

    for (const char* name : {"log.xml", "log.html", "log.xlsx", "log.pdf"}) {
        const Result r = Run("export", {Path("log.csv"), Path(name)});
        EXPECT_EQ(r.exitCode, 0) << name;
        EXPECT_TRUE(r.err.isEmpty()) << name << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << name;
    }
    const testing::ExportOutline xml = testing::XmlOutline(ReadAll(Path("log.xml")));
    const testing::ExportOutline html = testing::HtmlOutline(ReadAll(Path("log.html")));
    const testing::ExportOutline xlsx =
        testing::WorkbookOutline(testing::ReadWorkbook(Path("log.xlsx")));
    for (const testing::ExportOutline* outline : {&xml, &html, &xlsx}) {
        ASSERT_TRUE(outline->readable) << outline->error.toStdString();
        EXPECT_EQ(outline->captions, expected.captions);
        EXPECT_EQ(outline->rows, expected.rows);
    }
    EXPECT_EQ(xml.keys, expected.keys);
    const QByteArray pdf = ReadAll(Path("log.pdf"));
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    EXPECT_EQ(testing::PdfPageCount(pdf), 1);
}

TEST_F(CliTest, ExportOfAnUnreadableLogWritesNothing) {
    const QList<QByteArray> lines = RaceLogFileBytes(testing::HandMadeLog()).split('\n');
    ASSERT_TRUE(Write(Path("odd.csv"), lines.mid(0, 3).join('\n') + '\n'));
    ASSERT_TRUE(Write(Path("kept.html"), "kept"));
    for (const char* name : {"odd.xml", "kept.html", "odd.xlsx", "odd.pdf"}) {
        const Result r = Run("export", {Path("odd.csv"), Path(name)});
        EXPECT_EQ(r.exitCode, 2) << name;
        EXPECT_EQ(
            r.err,
            RaceLogImportErrorText().replace(QStringLiteral("\r\n"), QStringLiteral("\n")) + u'\n')
            << name;
    }
    EXPECT_EQ(ReadAll(Path("kept.html")), "kept");

    const Result missing = Run("export", {Path("none.csv"), Path("none.xml")});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_EQ(missing.err, Path("none.csv") + QStringLiteral(": no such file.\n"));

    ASSERT_TRUE(Write(Path("log.csv"), RaceLogFileBytes(testing::HandMadeLog())));
    const Result format = Run("export", {Path("log.csv"), Path("log.xls")});
    EXPECT_EQ(format.exitCode, 2);
    EXPECT_TRUE(format.err.contains(QStringLiteral(".xml, .html, .xlsx or .pdf")));

    const Result folder = Run("export", {Path("log.csv"), Path("no/such/folder/log.xml")});
    EXPECT_EQ(folder.exitCode, 1);
    EXPECT_TRUE(folder.err.startsWith(Path("no/such/folder/log.xml") + QStringLiteral(": ")));

    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              (QStringList{QStringLiteral("kept.html"), QStringLiteral("log.csv"),
                           QStringLiteral("odd.csv")}));
}

TEST_F(CliTest, SettingsRoundTrip) {
    const char* get = "settings get SOFTWARE\\OrvanRX\\RaceLog\\ScreenSettings\\ Name";
    EXPECT_EQ(Run(get).out, QStringLiteral("No Key Value\n"));
    EXPECT_EQ(
        Run("settings set SOFTWARE\\OrvanRX\\RaceLog\\ScreenSettings\\ Name 2.5 --dword").exitCode,
        0);
    EXPECT_EQ(Run(get).out, QStringLiteral("2\n"));
}

}  // namespace
}  // namespace orvanrx
