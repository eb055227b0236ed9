#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <vector>

#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"
#include "settings/TestFiles.h"

namespace orvanrx {
namespace {

using testing::Blocker;
using testing::L1;
using testing::ReadBytes;
using testing::S;
using testing::WriteBytes;

class SettingsStoreTest : public ::testing::Test {
protected:
    // A new store object on the same file for every read, so each value is seen to come from
    // the file and not from the object that wrote it.
    QString Read(const QString& keyPath, const QString& name) const {
        return SettingsStore(path_).QueryValue(keyPath, name);
    }

    QTemporaryDir dir_;
    QString path_ = dir_.filePath(QStringLiteral("config/OrvanRX/OrvanRX.ini"));
    SettingsStore store_{path_};
};

TEST_F(SettingsStoreTest, NeverWrittenReadsNoKeyValueAndCreatesNothing) {
    EXPECT_EQ(S(Read(kProgramKey, kVenueValue)), "No Key Value");
    EXPECT_EQ(S(Read(kRamKey, L1("1000"))), "No Key Value");
    EXPECT_FALSE(QFile::exists(path_));
}

TEST_F(SettingsStoreTest, ValuesComeBackAsText) {
    struct Case {
        QString keyPath;
        QString name;
        QVariant value;
        ValueType type;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {kRaceLogScreenSettingsKey, kWidthValue, L1("1440"), ValueType::RegSz, "1440"},
        {kMemoryDumpKey, kRunBlockPointerHighValue, 255, ValueType::RegDword, "255"},
        {kMemoryDumpKey, kRunBlockPointerLowValue, -1, ValueType::RegDword, "-1"},
        {kRamKey, L1("1"), 2.5, ValueType::RegDword, "2"},
        {kRamKey, L1("3"), L1("7.5"), ValueType::RegDword, "8"},
        {kRaceLogPathKey, kDialogFolderValue, L1(""), ValueType::RegSz, "No Key Value"},
        {kRaceLogFieldsKey, k1000MphField, true, ValueType::RegSz, "True"},
        {kRaceLogFieldsKey, kOvrUndField, false, ValueType::RegSz, "False"},
        {kProgramKey, L1("Text"), L1("dword:000000ff"), ValueType::RegSz, "dword:000000ff"},
        {kLogFileKey, kLogFileValue, L1(" C:\\Logs\\a, \"b\";c=d.csv "), ValueType::RegSz,
         " C:\\Logs\\a, \"b\";c=d.csv "},
        {L1("SOFTWARE\\OrvanRX\\New\\Deep\\Path\\"), L1("x"), L1("y"), ValueType::RegSz, "y"},
        {kMainScreenSettingsKey, kBackColorValue, L1("-2147483633"), ValueType::RegSz,
         "-2147483633"},
    };
    for (const Case& c : cases) {
        store_.SetKeyValue(c.keyPath, c.name, c.value, c.type);
    }
    for (const Case& c : cases) {
        EXPECT_EQ(S(Read(c.keyPath, c.name)), c.expected) << S(c.keyPath) << " | " << S(c.name);
    }
}

TEST_F(SettingsStoreTest, WritesThatCannotBeDoneStoreNothing) {
    store_.SetKeyValue(kRamKey, L1("5"), L1("text first"), ValueType::RegSz);
    store_.SetKeyValue(kRamKey, L1("5"), 5, ValueType::RegDword);  // replaces value and type
    store_.SetKeyValue(kRamKey, L1("5"), L1("abc"), ValueType::RegDword);
    store_.SetKeyValue(kRamKey, L1("5"), 2147483648.0, ValueType::RegDword);
    store_.SetKeyValue(kRamKey, L1("5"), L1("7"), static_cast<ValueType>(3));  // REG_BINARY
    store_.SetKeyValue(kRamKey, L1("5"), 9, ValueType::RegDword,
                       static_cast<SettingsRoot>(0x80000002));  // HKEY_LOCAL_MACHINE
    EXPECT_EQ(S(Read(kRamKey, L1("5"))), "5");
    EXPECT_EQ(S(store_.QueryValue(kRamKey, L1("5"), static_cast<SettingsRoot>(0x80000002))),
              "No Key Value");
}

TEST_F(SettingsStoreTest, LowerRoutinesReportStatus) {
    SettingsKey key = store_.OpenKey(kMemoryDumpKey, SettingsRoot::CurrentUser);
    ASSERT_TRUE(key.IsOpen());
    EXPECT_EQ(key.SetValueEx(L1("2"), ValueType::RegDword, 3), kStatusSuccess);
    EXPECT_EQ(key.SetValueEx(L1("2"), ValueType::RegDword, L1("x")), kStatusInvalidData);
    EXPECT_EQ(key.SetValueEx(L1("2"), static_cast<ValueType>(7), 1), kStatusSuccess);

    QVariant value = L1("untouched");
    EXPECT_EQ(key.QueryValueEx(L1("3"), value), kStatusNotFound);
    EXPECT_EQ(S(value.toString()), "untouched");
    EXPECT_EQ(key.QueryValueEx(L1("2"), value), kStatusSuccess);
    EXPECT_EQ(value.typeId(), QMetaType::Int);
    EXPECT_EQ(value.toInt(), 3);
}

TEST_F(SettingsStoreTest, FileIsReadableIniText) {
    store_.SetKeyValue(kProgramKey, kVenueValue, L1("12"), ValueType::RegSz);
    store_.SetKeyValue(kMemoryDumpKey, kRunBlockPointerHighValue, 3, ValueType::RegDword);
    store_.SetKeyValue(kRamKey, L1("1000"), 232, ValueType::RegDword);
    store_.SetKeyValue(kRaceLogFieldsKey, k1000MphField, true, ValueType::RegSz);
    const QByteArray text = ReadBytes(path_);
    for (const char* line : {"[SOFTWARE]\n", "\nOrvanRX\\Venue=12\n",
                             "\nOrvanRX\\RaceLog\\MemoryDump\\2=dword:00000003\n",
                             "\nOrvanRX\\RAM\\1000=dword:000000e8\n",
                             "\nOrvanRX\\RaceLog\\Fields\\1000%27%20MPH=True\n"}) {
        EXPECT_TRUE(text.contains(line)) << line << "\nin:\n" << text.toStdString();
    }
}

TEST_F(SettingsStoreTest, EveryCallSeesTheFileAsItIsNow) {
    SettingsStore other(path_);
    store_.SetKeyValue(kProgramKey, kVenueValue, L1("1"), ValueType::RegSz);
    EXPECT_EQ(S(other.QueryValue(kProgramKey, kVenueValue)), "1");
    other.SetKeyValue(kProgramKey, kVenueValue, L1("2"), ValueType::RegSz);
    EXPECT_EQ(S(store_.QueryValue(kProgramKey, kVenueValue)), "2");

    ASSERT_TRUE(WriteBytes(path_,
                           "[SOFTWARE]\nOrvanRX\\Venue=7\nOrvanRX\\RAM\\5=dword:FF\n"
                           "OrvanRX\\Bad=dword:xyz\nOrvanRX\\List=a,b\n"));
    EXPECT_EQ(S(store_.QueryValue(kProgramKey, kVenueValue)), "7");
    EXPECT_EQ(S(store_.QueryValue(kRamKey, L1("5"))), "255");
    EXPECT_EQ(S(store_.QueryValue(kProgramKey, L1("Bad"))), "No Key Value");
    EXPECT_EQ(S(store_.QueryValue(kProgramKey, L1("List"))), "No Key Value");
}

TEST_F(SettingsStoreTest, CorruptFileIsKeptAsideAndRepairedByTheNextWrite) {
    const char raw[] = "\x00\x01\xff[SOFTWARE\nOrvanRX\\Venue 12\n\x7f=\n";
    const QByteArray corrupt(raw, sizeof(raw) - 1);
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path_).absolutePath()));
    ASSERT_TRUE(WriteBytes(path_, corrupt));

    EXPECT_EQ(S(store_.QueryValue(kProgramKey, kVenueValue)), "No Key Value");
    EXPECT_EQ(ReadBytes(path_ + L1(".corrupt")), corrupt);
    store_.SetKeyValue(kProgramKey, kVenueValue, L1("12"), ValueType::RegSz);
    EXPECT_EQ(S(Read(kProgramKey, kVenueValue)), "12");
    EXPECT_EQ(ReadBytes(path_ + L1(".corrupt")), corrupt);
}

// Locations where the settings file cannot be read or written. Reads answer "No Key Value"
// (or the value already in a file that can still be read), writes are dropped, and an
// existing file keeps its bytes.
TEST_F(SettingsStoreTest, UnusableFileNeverStopsTheProgram) {
    for (const Blocker how : testing::kBlockers) {
        QTemporaryDir dir;
        WriteBytes(dir.filePath(L1("OrvanRX.ini")), "[SOFTWARE]\nOrvanRX\\Venue=12\n");
        const auto path = testing::Block(dir.path(), L1("OrvanRX.ini"), how);
        if (!path) {
            continue;
        }
        const QByteArray before = ReadBytes(*path);
        SettingsStore store(*path);
        store.SetKeyValue(kProgramKey, kVenueValue, L1("13"), ValueType::RegSz);
        store.SetKeyValue(kRamKey, L1("1000"), 1, ValueType::RegDword);
        const bool readable = how == Blocker::ReadOnlyFolder || how == Blocker::ReadOnlyFile;
        EXPECT_EQ(S(store.QueryValue(kProgramKey, kVenueValue)), readable ? "12" : "No Key Value")
            << static_cast<int>(how);
        EXPECT_EQ(S(store.QueryValue(kRamKey, L1("1000"))), "No Key Value")
            << static_cast<int>(how);
        EXPECT_EQ(ReadBytes(*path), before) << static_cast<int>(how);
        testing::Unblock(dir.path(), *path);
    }
}

// A write that fails (here: no room even for QSettings' lock file) leaves no trace: neither in
// the file nor in what later reads and writes see.
TEST_F(SettingsStoreTest, FailedWriteLeavesNoTrace) {
    store_.SetKeyValue(kProgramKey, kVenueValue, L1("12"), ValueType::RegSz);
    const QByteArray before = ReadBytes(path_);
    SettingsStatus status = kStatusSuccess;
    {
        testing::FileSizeLimit diskFull(8);
        SettingsKey key = store_.OpenKey(kProgramKey, SettingsRoot::CurrentUser);
        status = key.SetValueEx(kVenueValue, ValueType::RegSz, L1("13"));
        store_.SetKeyValue(kRamKey, L1("1"), 1, ValueType::RegDword);
    }
    EXPECT_EQ(status, kStatusAccessDenied);
    EXPECT_EQ(ReadBytes(path_), before);
    EXPECT_EQ(S(Read(kProgramKey, kVenueValue)), "12");
    EXPECT_EQ(S(Read(kRamKey, L1("1"))), "No Key Value");

    // The dropped values do not come back with the next write that succeeds.
    store_.SetKeyValue(kProgramKey, L1("Other"), L1("x"), ValueType::RegSz);
    EXPECT_EQ(S(Read(kProgramKey, kVenueValue)), "12");
    EXPECT_EQ(S(Read(kRamKey, L1("1"))), "No Key Value");
    EXPECT_EQ(S(Read(kProgramKey, L1("Other"))), "x");
}

// A disk that fills up while the file is being written (room for QSettings' lock file, not for
// the whole file): the file keeps its bytes, the values written before read as they were, and
// the next write once there is room again stores everything. Both ways of writing: one value,
// and the last race's bytes in one go.
TEST_F(SettingsStoreTest, DiskFullWhileWritingKeepsTheFile) {
    std::vector<std::pair<QString, QVariant>> ram;
    for (int i = 1000; i <= 1072; ++i) {
        ram.emplace_back(QString::number(i), i % 256);
    }
    store_.SetKeyValues(kRamKey, ram, ValueType::RegDword);
    store_.SetKeyValue(kProgramKey, kVenueValue, L1("12"), ValueType::RegSz);
    const QByteArray before = ReadBytes(path_);
    ASSERT_GT(before.size(), 2000);

    const std::function<void()> writes[] = {
        [this] { store_.SetKeyValue(kProgramKey, kVenueValue, L1("13"), ValueType::RegSz); },
        [this, ram] {
            auto more = ram;
            more.emplace_back(QStringLiteral("1073"), 7);
            store_.SetKeyValues(kRamKey, more, ValueType::RegDword);
        }};
    for (const auto& write : writes) {
        {
            testing::FileSizeLimit diskFull(static_cast<rlim_t>(before.size() / 2));
            write();
        }
        EXPECT_EQ(ReadBytes(path_), before);
        EXPECT_EQ(S(Read(kProgramKey, kVenueValue)), "12");
        EXPECT_EQ(S(Read(kRamKey, L1("1072"))), "48");
        EXPECT_EQ(S(Read(kRamKey, L1("1073"))), "No Key Value");
        EXPECT_EQ(QDir(dir_.filePath(L1("config/OrvanRX"))).entryList(QDir::Files),
                  QStringList{L1("OrvanRX.ini")});
    }
    for (const auto& write : writes) {
        write();
    }
    EXPECT_EQ(S(Read(kProgramKey, kVenueValue)), "13");
    EXPECT_EQ(S(Read(kRamKey, L1("1073"))), "7");
}

TEST(SettingsFilePath, FollowsXdgConfigHome) {
    struct Case {
        const char* xdg;
        const char* expected;
    };
    for (const Case& c : std::vector<Case>{
             {"/x/cfg", "/x/cfg/OrvanRX/OrvanRX.ini"},
             {"/x/cfg/", "/x/cfg/OrvanRX/OrvanRX.ini"},
             {"", "/home/u/.config/OrvanRX/OrvanRX.ini"},
             {"relative/cfg", "/home/u/.config/OrvanRX/OrvanRX.ini"},
         }) {
        EXPECT_EQ(S(SettingsFilePath(L1(c.xdg), L1("/home/u"))), c.expected) << c.xdg;
    }
}

}  // namespace
}  // namespace orvanrx
