// The File menu's open, save and clear commands on a loaded main window, with the dialogs
// answered by the test: what each dialog is asked with, the folder kept after it, tmrMain
// around it, and what reaches the run tables, the files and the race log window.

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QPrintPreviewWidget>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>
#include <deque>
#include <memory>

#include "gui/ChildWindows.h"
#include "gui/FileCommands.h"
#include "gui/LogGridView.h"
#include "gui/MainStatusBar.h"
#include "gui/PrintView.h"
#include "gui/frmFilter.h"
#include "gui/frmMain.h"
#include "gui/frmRaceLog.h"
#include "racelog/RaceLogFile.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"
#include "shell/Station.h"
#include "shell/StationForwarders.h"
#include "sim/RaceDayGenerator.h"
#include "sim/SimulatedXpress.h"
#include "support/Support.h"

using namespace orvanrx;

namespace {

// Answers each dialog with the next scripted answer and notes what it was asked and whether
// tmrMain was running at that moment.
class ScriptedDialogs final : public FileDialogs {
public:
    explicit ScriptedDialogs(frmMain& window) : window_(window) {}

    QString ChooseFile(QWidget*, const RaceLogDialog& dialog) override {
        asked.push_back(dialog);
        timerRanDuringDialog.push_back(window_.tmrMain().isActive());
        return Next();
    }
    bool AskYesNo(QWidget*, const QString& caption, const QString& text) override {
        questions << caption + QLatin1Char('|') + text;
        timerRanDuringDialog.push_back(window_.tmrMain().isActive());
        return Next() == QLatin1String("Yes");
    }
    void ShowCritical(QWidget*, const QString& caption, const QString& text) override {
        messages << caption + QLatin1Char('|') + text;
    }

    std::deque<QString> answers;
    std::vector<RaceLogDialog> asked;
    std::vector<bool> timerRanDuringDialog;
    QStringList questions;
    QStringList messages;

private:
    QString Next() {
        if (answers.empty()) {
            return {};
        }
        QString answer = answers.front();
        answers.pop_front();
        return answer;
    }

    frmMain& window_;
};

// A log file of `races` generated races, as the program writes one.
void WriteLog(const QString& path, int races) {
    RunTables tables;
    for (const RunRecord& race : GenerateRaceDay({races, 11, 0.0, false}).races) {
        tables.StoreRun(race);
    }
    QVERIFY(SaveRaceLog(path, tables, SettingsStore(path + QStringLiteral(".ini"))));
}

int RowsShown(const LogGridModel& grid) {
    int rows = 0;
    for (int g = 0; g < grid.rowCount(); ++g) {
        rows += grid.rowCount(grid.index(g, 0));
    }
    return rows;
}

// An XML export read back: the groups' texts and each row's cells ("key=text"), in order, as
// "[group]" and "key=text key=text ..." lines.
QStringList XmlRows(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {QStringLiteral("unreadable")};
    }
    QXmlStreamReader xml(&file);
    QStringList lines;
    QStringList cells;
    bool inRow = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == QLatin1String("Group")) {
                lines << QStringLiteral("[%1]").arg(xml.attributes().value(QLatin1String("text")));
            } else if (xml.name() == QLatin1String("Row")) {
                inRow = true;
                cells.clear();
            } else if (inRow) {
                cells << xml.name().toString() + QLatin1Char('=') + xml.readElementText();
            }
        } else if (xml.isEndElement() && xml.name() == QLatin1String("Row")) {
            inRow = false;
            lines << cells.join(QLatin1Char(' '));
        }
    }
    if (xml.hasError()) {
        return {xml.errorString()};
    }
    return lines;
}

// What the grid shows, in the same lines as XmlRows: every group with all of its rows and
// each shown column's text.
QStringList GridRows(const LogGridModel& grid) {
    QStringList lines;
    for (int g = 0; g < grid.rowCount(); ++g) {
        const QModelIndex group = grid.index(g, 0);
        lines << QStringLiteral("[%1]").arg(group.data(LogGridModel::TextRole).toString());
        for (int r = 0; r < grid.rowCount(group); ++r) {
            QStringList cells;
            for (int c = 0; c < grid.columnCount(group); ++c) {
                const QString key =
                    grid.headerData(c, Qt::Horizontal, LogGridModel::ColumnKeyRole).toString();
                if (!grid.IsHidden(key)) {
                    cells << key + QLatin1Char('=') +
                                 grid.index(r, c, group).data(LogGridModel::TextRole).toString();
                }
            }
            lines << cells.join(QLatin1Char(' '));
        }
    }
    return lines;
}

QString WithSeparator(const QString& folder) {
    return QDir::toNativeSeparators(folder) + QDir::separator();
}

}  // namespace

class FileCommandsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        QDir(dir->path()).mkpath(QStringLiteral("logs"));
        settings = std::make_unique<SettingsStore>(dir->filePath(QStringLiteral("OrvanRX.ini")));
        sim = std::make_unique<SimulatedXpress>(std::vector<trace::Step>{});
        station = std::make_unique<Station>(Station::Setup{*sim, *settings, forwarders.indicators,
                                                           forwarders.observer, SystemClock(),
                                                           sim->Clock()});
        window = std::make_unique<frmMain>(*station, forwarders, *settings);
        window->Load(dir->filePath(QStringLiteral("data")));
        dialogs = std::make_unique<ScriptedDialogs>(*window);
        window->Files().SetDialogs(*dialogs);
    }
    void cleanup() {
        window->Unload();
        window.reset();
        dialogs.reset();
        station.reset();
        sim.reset();
        settings.reset();
        dir.reset();
    }

    void dialogsAreAskedAsDesigned_data() {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("kind");
        QTest::newRow("open") << "miOpenLog"
                              << "Open Race Log" << int(RaceLogDialog::Kind::Open);
        QTest::newRow("save") << "miSaveLog"
                              << "Save Race Log" << int(RaceLogDialog::Kind::Save);
    }
    void dialogsAreAskedAsDesigned() {
        QFETCH(QString, tool);
        QFETCH(QString, title);
        QFETCH(int, kind);
        const QString before = LogFileStamp(QDateTime::currentDateTime());
        window->RunTool(tool);
        const QString after = LogFileStamp(QDateTime::currentDateTime());
        QCOMPARE(dialogs->asked.size(), size_t(1));
        const RaceLogDialog& asked = dialogs->asked.front();
        QCOMPARE(asked.title, title);
        QCOMPARE(int(asked.kind), kind);
        QVERIFY2(asked.defaultName == before + QStringLiteral(".csv") ||
                     asked.defaultName == after + QStringLiteral(".csv"),
                 qPrintable(asked.defaultName));
        QCOMPARE(asked.filters, QStringList({QStringLiteral("OrvanRX Race Log Files (*.csv)"),
                                             QStringLiteral("All Files (*.*)")}));
        // Nothing remembered yet: the data folder, where this start's log is written.
        QCOMPARE(asked.folder, QFileInfo(station->LogFileName()).absolutePath());
        // Cancelled: nothing remembered.
        QCOMPARE(settings->QueryValue(kRaceLogPathKey, kDialogFolderValue), kNoKeyValue);
    }

    void theChosenFolderIsKeptForTheNextDialog() {
        const QString logs = dir->filePath(QStringLiteral("logs"));
        WriteLog(logs + QStringLiteral("/day.csv"), 3);
        dialogs->answers = {logs + QStringLiteral("/day.csv"), QString()};
        window->RunTool(QStringLiteral("miOpenLog"));
        QCOMPARE(settings->QueryValue(kRaceLogPathKey, kDialogFolderValue), WithSeparator(logs));
        window->RunTool(QStringLiteral("miSaveLog"));
        QCOMPARE(dialogs->asked.back().folder, WithSeparator(logs));

        // A remembered folder that is gone (a stick pulled out): the data folder again.
        QVERIFY(QDir(logs).removeRecursively());
        window->RunTool(QStringLiteral("miSaveLog"));
        QCOMPARE(dialogs->asked.back().folder, QFileInfo(station->LogFileName()).absolutePath());
    }

    void openReplacesTheLogAndTheRaceLogShowsIt() {
        station->Tables().StoreRun(GenerateRaceDay({1, 99, 0.0, false}).races.front());
        const QString path = dir->filePath(QStringLiteral("logs/day.csv"));
        WriteLog(path, 5);
        frmRaceLog* raceLog = window->Windows().RaceLog();
        QVERIFY(raceLog != nullptr && !raceLog->AllCategoriesMode());
        raceLog->miPrintView_Click();
        dialogs->answers = {path};
        window->RunTool(QStringLiteral("miOpenLog"));
        QVERIFY(dialogs->messages.isEmpty());
        QCOMPARE(station->Tables().AllRunsTable().RightRow(), 9);  // the file's 5 races only
        // The whole opened log is shown, and the window is back in its one-category mode.
        QCOMPARE(RowsShown(raceLog->Grid()), 10);
        QVERIFY(!raceLog->AllCategoriesMode());
        QVERIFY(raceLog->View().isVisibleTo(raceLog));
        QCOMPARE(window->Files().ShownLogPath(), QFileInfo(path).absoluteFilePath());
    }

    void openRunsWithTheTimerStoppedAndAlwaysRestartsIt_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("broken");
        QTest::newRow("cancel") << QString() << false;
        QTest::newRow("unreadable log") << "logs/broken.csv" << true;
        QTest::newRow("log") << "logs/day.csv" << false;
    }
    void openRunsWithTheTimerStoppedAndAlwaysRestartsIt() {
        QFETCH(QString, answer);
        QFETCH(bool, broken);
        WriteLog(dir->filePath(QStringLiteral("logs/day.csv")), 2);
        QFile file(dir->filePath(QStringLiteral("logs/broken.csv")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("1,\"a\",\"CAT\",\"C\",\"1\",\"N\",\"L\",,,,,,,,,,,,,,\"\"\r\n");  // half a race
        file.close();
        station->Tables().StoreRun(GenerateRaceDay({1, 99, 0.0, false}).races.front());
        window->tmrMain().start();
        dialogs->answers = {answer.isEmpty() ? QString() : dir->filePath(answer)};
        window->RunTool(QStringLiteral("miOpenLog"));
        QCOMPARE(dialogs->timerRanDuringDialog, std::vector<bool>{false});
        QVERIFY(window->tmrMain().isActive());
        if (broken) {
            QCOMPARE(dialogs->messages, QStringList(QString(kRaceLogImportCaption) +
                                                    QLatin1Char('|') + RaceLogImportErrorText()));
            QVERIFY(station->Tables().IsRunTableEmpty());
            QCOMPARE(RowsShown(window->Windows().RaceLog()->Grid()), 0);
        } else {
            QVERIFY(dialogs->messages.isEmpty());
            QVERIFY(!station->Tables().IsRunTableEmpty());
        }
    }

    void saveAsLeavesTheAutomaticSavesOnTheirFile() {
        for (const RunRecord& race : GenerateRaceDay({3, 5, 0.0, false}).races) {
            station->Tables().StoreRun(race);
        }
        const QString copy = dir->filePath(QStringLiteral("logs/copy.csv"));
        window->tmrMain().start();
        dialogs->answers = {copy};
        window->RunTool(QStringLiteral("miSaveLog"));
        QCOMPARE(dialogs->timerRanDuringDialog, std::vector<bool>{true});
        QFile saved(copy);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), RaceLogFileBytes(station->Tables().AllRunsTable()));
        QCOMPARE(settings->QueryValue(kRaceLogPathKey, kDialogFolderValue),
                 WithSeparator(dir->filePath(QStringLiteral("logs"))));
        // The automatic save still writes this start's log.
        QVERIFY(station->SaveLog());
        QVERIFY(QFile::exists(station->LogFileName()));
        QVERIFY(!station->LogFileName().endsWith(QStringLiteral("copy.csv")));
    }

    void aSaveAsThatFailsIsReportedUntilOneWorks() {
        station->Tables().StoreRun(GenerateRaceDay({1, 5, 0.0, false}).races.front());
        const QString blocked = dir->filePath(QStringLiteral("logs/file"));
        QFile file(blocked);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        // A file stands where the folder should be.
        dialogs->answers = {blocked + QStringLiteral("/day.csv"),
                            dir->filePath(QStringLiteral("logs/day.csv"))};
        window->RunTool(QStringLiteral("miSaveLog"));
        auto* status = window->findChild<QLabel*>(QStringLiteral("lblStatus"));
        QVERIFY(status != nullptr);
        QVERIFY2(status->text().startsWith(QStringLiteral("Race log not saved: ")),
                 qPrintable(status->text()));
        QVERIFY(status->text().contains(QStringLiteral("day.csv")));
        window->RunTool(QStringLiteral("miSaveLog"));
        QCOMPARE(status->text(), QString());
    }

    void aFailingAutomaticSaveIsShownUntilASaveWorks() {
        station->Tables().StoreRun(GenerateRaceDay({1, 5, 0.0, false}).races.front());
        auto* status = window->findChild<QLabel*>(QStringLiteral("lblStatus"));
        QVERIFY(status != nullptr);
        QVERIFY(status->text().isEmpty());
        // A folder stands where the log file goes: the save cannot replace it.
        QVERIFY(QDir().mkpath(station->LogFileName()));
        QVERIFY(!station->SaveLog());
        QVERIFY(status->text().contains(QDir::toNativeSeparators(station->LogFileName())));
        QVERIFY(status->text().startsWith(QStringLiteral("Race log not saved: ")));
        QVERIFY(status->isVisibleTo(window.get()));
        QVERIFY(QDir(station->LogFileName()).removeRecursively());
        QVERIFY(station->SaveLog());
        QVERIFY(status->text().isEmpty());
    }

    void clearEmptiesTheLogOnYesOnly() {
        for (const RunRecord& race : GenerateRaceDay({2, 5, 0.0, false}).races) {
            station->Tables().StoreRun(race);
        }
        frmRaceLog* raceLog = window->Windows().RaceLog();
        raceLog->UpdateDisplay();
        window->tmrMain().start();
        dialogs->answers = {QStringLiteral("No"), QStringLiteral("Yes")};
        window->RunTool(QStringLiteral("miClearLog"));
        QCOMPARE(dialogs->questions,
                 QStringList(QStringLiteral("Race Log|Do you want to clear all logged runs?")));
        QVERIFY(!station->Tables().IsRunTableEmpty());
        QCOMPARE(RowsShown(raceLog->Grid()), 4);
        window->RunTool(QStringLiteral("miClearLog"));
        QVERIFY(station->Tables().IsRunTableEmpty());
        QCOMPARE(RowsShown(raceLog->Grid()), 0);
        // The question is asked with the timer running; it runs again afterwards.
        QCOMPARE(dialogs->timerRanDuringDialog, (std::vector<bool>{true, true}));
        QVERIFY(window->tmrMain().isActive());
    }

    void exportsAskTheirDialogAndWriteNothingWithTheRaceLogClosed_data() {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("filter");
        QTest::newRow("XML") << "miSaveXML"
                             << "Export Race Log to XML"
                             << ".xml"
                             << "OrvanRX Race Log XML Files (*.xml)";
        QTest::newRow("HTML") << "miSaveHTML"
                              << "Export Race Log to HTML"
                              << ".html"
                              << "OrvanRX Race Log HTML Files (*.html)";
        QTest::newRow("Excel") << "miSaveXLS"
                               << "Export Race Log to Microsoft's Excel"
                               << ".xlsx"
                               << "Microsoft Excel Files (*.xlsx)";
    }
    void exportsAskTheirDialogAndWriteNothingWithTheRaceLogClosed() {
        QFETCH(QString, tool);
        QFETCH(QString, title);
        QFETCH(QString, extension);
        QFETCH(QString, filter);
        for (const RunRecord& race : GenerateRaceDay({3, 5, 0.0, false}).races) {
            station->Tables().StoreRun(race);
        }
        window->Windows().RaceLogFrame()->close();
        QVERIFY(!window->RaceLogOpen());
        const QString path = dir->filePath(QStringLiteral("logs/day") + extension);
        dialogs->answers = {path};
        window->RunTool(tool);
        QCOMPARE(dialogs->asked.size(), size_t(1));
        QCOMPARE(dialogs->asked.front().title, title);
        QVERIFY(dialogs->asked.front().defaultName.endsWith(extension));
        QCOMPARE(dialogs->asked.front().filters.front(), filter);
        QCOMPARE(settings->QueryValue(kRaceLogPathKey, kDialogFolderValue),
                 WithSeparator(dir->filePath(QStringLiteral("logs"))));
        QVERIFY(!QFile::exists(path));

        // With the window open the export replaces a file of that name.
        window->RunTool(QStringLiteral("miRaceLog"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("an older file, longer than nothing");
        old.close();
        dialogs->answers = {path};
        window->RunTool(tool);
        QFile written(path);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QByteArray bytes = written.readAll();
        QVERIFY(!bytes.startsWith("an older file"));
        QVERIFY(bytes.size() > 200);
    }

    void theXmlExportHoldsTheGridsRowsAndShownColumns_data() {
        QTest::addColumn<bool>("allCategories");
        QTest::newRow("one category") << false;
        QTest::newRow("all categories") << true;
    }
    void theXmlExportHoldsTheGridsRowsAndShownColumns() {
        QFETCH(bool, allCategories);
        for (const RunRecord& race : GenerateRaceDay({12, 5, 0.0, false}).races) {
            station->Tables().StoreRun(race);
        }
        frmRaceLog* raceLog = window->Windows().RaceLog();
        if (allCategories) {
            raceLog->AllCategories();
        }
        raceLog->UpdateDisplay();
        raceLog->MenuItem(QStringLiteral("miBump"))->trigger();  // a column hidden by choice
        QVERIFY(raceLog->Grid().IsHidden(QStringLiteral("Bump")));
        const QString path = dir->filePath(QStringLiteral("logs/day.xml"));
        dialogs->answers = {path};
        window->RunTool(QStringLiteral("miSaveXML"));
        const QStringList exported = XmlRows(path);
        QCOMPARE(exported, GridRows(raceLog->Grid()));
        QVERIFY(exported.size() > 3);
        QVERIFY(!exported.join(QLatin1Char(' ')).contains(QStringLiteral("Bump=")));
        QVERIFY(!exported.join(QLatin1Char(' ')).contains(QStringLiteral("GeneralID=")));
    }

    void theRaceLogsPrintViewShowsPagesAndTheGridReturns() {
        for (const RunRecord& race : GenerateRaceDay({40, 5, 0.0, false}).races) {
            station->Tables().StoreRun(race);
        }
        frmRaceLog* raceLog = window->Windows().RaceLog();
        raceLog->AllCategories();
        window->RunTool(QStringLiteral("miPrintPreview"));
        QVERIFY(raceLog->Pages().isVisibleTo(raceLog));
        QVERIFY(!raceLog->View().isVisibleTo(raceLog));
        QVERIFY2(raceLog->Pages().PageCount() >= 2,
                 qPrintable(QString::number(raceLog->Pages().PageCount())));
        QCOMPARE(raceLog->Pages().Viewer().objectName(), QStringLiteral("rptView"));

        // The right button over the pages opens the window's menu; Grid View returns.
        QWidget* pages = raceLog->Pages().Viewer().findChildren<QWidget*>().value(0);
        QVERIFY(pages != nullptr);
        QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5));
        QCoreApplication::sendEvent(pages, &menu);
        QTRY_VERIFY(raceLog->SettingsMenu().isVisible());
        raceLog->SettingsMenu().hide();
        raceLog->MenuItem(QStringLiteral("miGridView"))->trigger();
        QVERIFY(raceLog->View().isVisibleTo(raceLog));
        QVERIFY(!raceLog->Pages().isVisibleTo(raceLog));
    }

    void theFiltersPrintViewHidesItsControls() {
        for (const RunRecord& race : GenerateRaceDay({4, 5, 0.0, false}).races) {
            station->Tables().StoreRun(race);
        }
        window->RunTool(QStringLiteral("miFilter"));
        frmFilter* filter = window->Windows().Filter();
        QVERIFY(filter != nullptr);
        auto* category = filter->findChild<QWidget*>(QStringLiteral("cboCategory"));
        QVERIFY(category->isVisibleTo(filter));
        window->RunTool(QStringLiteral("miPrintPreview"));
        QVERIFY(filter->Pages().isVisibleTo(filter));
        QVERIFY(!category->isVisibleTo(filter));
        QCOMPARE(filter->Pages().PageCount(), 1);
        filter->miGridView_Click();
        QVERIFY(category->isVisibleTo(filter));
        QVERIFY(filter->View().isVisibleTo(filter));
    }

    void thePrintViewsPdfGoesThroughTheFileDialog() {
        for (const RunRecord& race : GenerateRaceDay({6, 5, 0.0, false}).races) {
            station->Tables().StoreRun(race);
        }
        frmRaceLog* raceLog = window->Windows().RaceLog();
        raceLog->UpdateDisplay();
        raceLog->miPrintView_Click();
        const QString path = dir->filePath(QStringLiteral("logs/day.pdf"));
        dialogs->answers = {path};
        raceLog->Pages().findChild<QAction*>(QStringLiteral("miExportPdf"))->trigger();
        QCOMPARE(dialogs->asked.back().title, QStringLiteral("Export Race Log to PDF"));
        QFile pdf(path);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.readAll().startsWith("%PDF-"));
        QCOMPARE(settings->QueryValue(kRaceLogPathKey, kDialogFolderValue),
                 WithSeparator(dir->filePath(QStringLiteral("logs"))));
    }

    void theDialogTakesItsSetUp_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("acceptMode");
        QTest::addColumn<int>("fileMode");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("open") << int(RaceLogDialog::Kind::Open) << int(QFileDialog::AcceptOpen)
                              << int(QFileDialog::ExistingFile) << QString();
        QTest::newRow("save") << int(RaceLogDialog::Kind::Save) << int(QFileDialog::AcceptSave)
                              << int(QFileDialog::AnyFile) << "csv";
    }
    void theDialogTakesItsSetUp() {
        QFETCH(int, kind);
        QFETCH(int, acceptMode);
        QFETCH(int, fileMode);
        QFETCH(QString, suffix);
        RaceLogDialog setup;
        setup.kind = RaceLogDialog::Kind(kind);
        setup.title = QStringLiteral("Save Race Log");
        setup.defaultName = QStringLiteral("2026-12-04 1853.csv");
        setup.filters = QStringList{QStringLiteral("OrvanRX Race Log Files (*.csv)"),
                                    QStringLiteral("All Files (*.*)")};
        setup.folder = dir->path();
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        SetUpRaceLogDialog(dialog, setup);
        QCOMPARE(dialog.windowTitle(), setup.title);
        QCOMPARE(dialog.nameFilters(), setup.filters);
        QCOMPARE(dialog.selectedNameFilter(), setup.filters.front());
        QCOMPARE(QFileInfo(dialog.directory().path()).canonicalFilePath(),
                 QFileInfo(dir->path()).canonicalFilePath());
        QCOMPARE(int(dialog.acceptMode()), acceptMode);
        QCOMPARE(int(dialog.fileMode()), fileMode);
        if (setup.kind == RaceLogDialog::Kind::Save) {
            QCOMPARE(dialog.defaultSuffix(), suffix);
            QVERIFY(dialog.testOption(QFileDialog::DontConfirmOverwrite));
            QCOMPARE(QFileInfo(dialog.selectedFiles().value(0)).fileName(), setup.defaultName);
        }
    }

private:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<SettingsStore> settings;
    StationForwarders forwarders;
    std::unique_ptr<frmMain> window;
    std::unique_ptr<SimulatedXpress> sim;
    std::unique_ptr<Station> station;
    std::unique_ptr<ScriptedDialogs> dialogs;
};

QTEST_MAIN(FileCommandsTest)
#include "FileCommandsTest.moc"
