// Race-log saves and exports on a file system that fills up while they write, and on a file
// that may not grow: each fails, keeps the old file and names the system's reason.

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "export/LogExport.h"
#include "racelog/RaceLogFile.h"
#include "settings/SettingsStore.h"
#include "settings/SmallFileSystem.h"
#include "settings/TestFiles.h"
#include "sim/RaceDayGenerator.h"
#include "views/LogGridModel.h"
#include "views/LogGridSetup.h"
#include "views/LogGridSheet.h"

namespace orvanrx {
namespace {

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

class DiskFullTest : public ::testing::Test {
protected:
    DiskFullTest()
        : settings_(settingsDir_.filePath(QStringLiteral("OrvanRX.ini"))),
          grid_(LogGridFlavour::RaceLog) {
        // Forty races: a log of several pages, a few times the room left on the disk.
        for (const RunRecord& race : GenerateRaceDay({40, 7, 0.0, false}).races) {
            tables_.StoreRun(race);
        }
        SetUpRaceLogGrid(grid_);
        grid_.Load(tables_.AllRunsTable());
        grid_.Regroup();
        sheet_ = ReadLogGridSheet(grid_);
    }

    // Each way the log is written: the race-log save and every export format.
    struct Writer {
        const char* name;
        std::function<QString(const QString& path)> write;  // the failure's reason
    };
    std::vector<Writer> Writers() {
        const auto exporter = [this](auto exportTo) {
            return [this, exportTo](const QString& path) {
                const ExportResult result = exportTo(sheet_, LogTitle{}, path);
                return result.ok ? QStringLiteral("(written)") : result.error;
            };
        };
        return {
            {"log.csv",
             [this](const QString& path) {
                 const RaceLogSaveResult saved = SaveRaceLog(path, tables_, settings_);
                 return saved ? QStringLiteral("(written)") : saved.reason;
             }},
            {"log.xml", exporter(ExportLogGridXml)},
            {"log.html", exporter(ExportLogGridHtml)},
            {"log.xlsx", exporter(ExportLogGridXlsx)},
        };
    }

    QTemporaryDir settingsDir_;
    SettingsStore settings_;
    RunTables tables_;
    LogGridModel grid_;
    LogGridSheet sheet_;
};

TEST_F(DiskFullTest, AFullFileSystemIsNamed) {
    for (const Writer& writer : Writers()) {
        // Room for the start of the file only: the disk fills up during the write.
        testing::SmallFileSystem disk(4096);
        if (!disk.SkipReason().empty()) {
            GTEST_SKIP() << disk.SkipReason();
        }
        const QString path = disk.Path(QString::fromLatin1(writer.name));
        ASSERT_TRUE(WriteBytes(path, "old\r\n"));
        EXPECT_EQ(writer.write(path), QStringLiteral("No space left on device")) << writer.name;
        EXPECT_EQ(ReadBytes(path), QByteArray("old\r\n")) << writer.name;
        QStringList files = QDir(disk.Path(QString())).entryList(QDir::Files);
        files.sort();
        EXPECT_EQ(files, QStringList({QStringLiteral("filler"), QString::fromLatin1(writer.name)}))
            << writer.name;
    }
}

TEST_F(DiskFullTest, AFileThatMayNotGrowIsNamed) {
    for (const Writer& writer : Writers()) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QString::fromLatin1(writer.name));
        ASSERT_TRUE(WriteBytes(path, "old\r\n"));
        QString reason;
        {
            testing::FileSizeLimit limit(4096);
            reason = writer.write(path);
        }
        EXPECT_EQ(reason, QStringLiteral("File too large")) << writer.name;
        EXPECT_EQ(ReadBytes(path), QByteArray("old\r\n")) << writer.name;
    }
}

}  // namespace
}  // namespace orvanrx
