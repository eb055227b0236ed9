// The File menu's open, save and clear commands on a loaded main window, with the dialogs
// answered by the test: what each dialog is asked with, the folder kept after it, tmrMain
// around it, and what reaches the run tables, the files and the race log window.

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>
#include <deque>
#include <memory>

#include "gui/FileCommands.h"
#include "gui/LogGridView.h"
#include "gui/LogWindows.h"
#include "gui/MainStatusBar.h"
#include "gui/frmMain.h"
#include "gui/frmRaceLog.h"
#include "racelog/RaceLogFile.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"
#include "shell/Station.h"
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
        window = std::make_unique<frmMain>(*settings);
        sim = std::make_unique<SimulatedXpress>(std::vector<trace::Step>{});
        station = std::make_unique<Station>(Station::Setup{*sim, *settings, window->Indicators(),
                                                           window->Observer(), SystemClock(),
                                                           sim->Clock()});
        window->Load(*station, dir->filePath(QStringLiteral("data")));
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
    std::unique_ptr<frmMain> window;
    std::unique_ptr<SimulatedXpress> sim;
    std::unique_ptr<Station> station;
    std::unique_ptr<ScriptedDialogs> dialogs;
};

QTEST_MAIN(FileCommandsTest)
#include "FileCommandsTest.moc"
