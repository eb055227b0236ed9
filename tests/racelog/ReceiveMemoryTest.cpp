#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <tuple>
#include <vector>

#include "racelog/ReceiveMemory.h"
#include "settings/SettingsKeys.h"
#include "settings/TestFiles.h"

namespace orvanrx {
namespace {

using testing::L1;
using testing::S;

// The mirror's state right after start-up: cleared, then the no-message marker.
ReceiveBuffer StartupBuffer() {
    ReceiveBuffer buffer;
    ClearReceiveBuffer(buffer);
    InitReceiveState(buffer);
    return buffer;
}

void SetPointer(ReceiveBuffer& buffer, int h) {
    buffer.Set(2, static_cast<std::uint8_t>((h >> 8) & 0xFF));
    buffer.Set(3, static_cast<std::uint8_t>(h & 0xFF));
}

// Each offset's own byte, so a byte restored at the wrong place shows.
std::uint8_t Pattern(long long offset) {
    return static_cast<std::uint8_t>((offset * 7 + 1) & 0xFF);
}

class ReceiveMemoryTest : public ::testing::Test {
protected:
    // A restart: a new store object on the same file and a fresh mirror, loaded in start-up
    // order.
    ReceiveBuffer Restart(std::int16_t& venue) const {
        const SettingsStore store(path_);
        ReceiveBuffer buffer = StartupBuffer();
        LoadVenue(store, venue);
        LoadRunBlockPointer(store, buffer);
        LoadRunBlock(store, buffer);
        return buffer;
    }
    QString Ram(long long offset) const {
        return SettingsStore(path_).QueryValue(kRamKey, QString::number(offset));
    }

    QTemporaryDir dir_;
    QString path_ = dir_.filePath(QStringLiteral("OrvanRX.ini"));
    SettingsStore store_{path_};
};

TEST_F(ReceiveMemoryTest, FirstStartEverLeavesTheClearedMirror) {
    std::int16_t venue = 0;
    const ReceiveBuffer buffer = Restart(venue);
    EXPECT_EQ(venue, 0);
    for (int i = 0; i < ReceiveBuffer::kSize; ++i) {
        ASSERT_EQ(buffer[i], i == 262 ? 0xFF : 0) << i;
    }
}

// What a restart loads from these values, StationTest checks across two runs.
TEST_F(ReceiveMemoryTest, SavedPointerVenueAndRunBlockBytes) {
    ReceiveBuffer before = StartupBuffer();
    SetPointer(before, 1000);
    for (long long i = 990; i < 1090; ++i) {
        before.Set(i, Pattern(i));
    }
    SaveRunBlockPointer(store_, before);
    SaveVenue(store_, 12);
    SaveRunBlock(store_, before);

    EXPECT_EQ(S(Ram(999)), "No Key Value");
    EXPECT_EQ(Ram(1000), QString::number(Pattern(1000)));
    EXPECT_EQ(Ram(1072), QString::number(Pattern(1072)));
    EXPECT_EQ(S(Ram(1073)), "No Key Value");
    EXPECT_EQ(S(store_.QueryValue(kMemoryDumpKey, L1("2"))), "3");
    EXPECT_EQ(S(store_.QueryValue(kMemoryDumpKey, L1("3"))), "232");
    EXPECT_EQ(S(store_.QueryValue(kProgramKey, kVenueValue)), "12");

    // A later race elsewhere leaves the earlier offsets' values in place.
    SetPointer(before, 2000);
    SaveRunBlock(store_, before);
    EXPECT_EQ(Ram(1000), QString::number(Pattern(1000)));
    EXPECT_EQ(Ram(2072), QString::number(before[2072]));
}

TEST_F(ReceiveMemoryTest, VenueIsRestoredOnlyFromANumber) {
    const std::pair<const char*, std::int16_t> cases[] = {
        {"12", 12},  {" 7 ", 7}, {"-3", -3},    {"12.5", 12}, {"13.5", 14},
        {"abc", 99}, {"", 99},   {"70000", 99}, {nullptr, 99}};  // nullptr: never written
    for (const auto& [text, expected] : cases) {
        const SettingsStore store(dir_.filePath(QString::fromLatin1(text ? text : "none")));
        if (text) {
            store.SetKeyValue(kProgramKey, kVenueValue, L1(text), ValueType::RegSz);
        }
        std::int16_t venue = 99;
        LoadVenue(store, venue);
        EXPECT_EQ(venue, expected) << (text ? text : "(none)");
    }
}

TEST_F(ReceiveMemoryTest, OffsetsOutsideTheMirrorEndTheRoutine) {
    ReceiveBuffer buffer = StartupBuffer();
    for (long long i = 32700; i < ReceiveBuffer::kSize; ++i) {
        buffer.Set(i, Pattern(i));
    }
    SetPointer(buffer, 32700);
    SaveRunBlockPointer(store_, buffer);
    SaveRunBlock(store_, buffer);
    EXPECT_EQ(Ram(32768), QString::number(Pattern(32768)));
    EXPECT_EQ(S(Ram(32769)), "No Key Value");

    std::int16_t venue = 0;
    const ReceiveBuffer after = Restart(venue);
    for (long long i = 32700; i < ReceiveBuffer::kSize; ++i) {
        ASSERT_EQ(after.At(i), Pattern(i)) << i;
    }

    // A negative pointer (0xFFF0 = -16): nothing is written or read.
    SetPointer(buffer, 0xFFF0);
    SaveRunBlock(store_, buffer);
    EXPECT_EQ(S(Ram(-16)), "No Key Value");
    EXPECT_EQ(S(Ram(0)), "No Key Value");
}

TEST_F(ReceiveMemoryTest, StoredValuesThatAreNotBytes) {
    ReceiveBuffer buffer = StartupBuffer();
    SetPointer(buffer, 1000);
    SaveRunBlockPointer(store_, buffer);
    store_.SetKeyValue(kRamKey, L1("1000"), 5, ValueType::RegDword);
    store_.SetKeyValue(kRamKey, L1("1001"), L1("abc"), ValueType::RegSz);  // skipped
    store_.SetKeyValue(kRamKey, L1("1002"), L1("7"), ValueType::RegSz);
    // 1003 missing: skipped
    store_.SetKeyValue(kRamKey, L1("1004"), 8, ValueType::RegDword);
    store_.SetKeyValue(kRamKey, L1("1005"), 300, ValueType::RegDword);  // ends the load
    store_.SetKeyValue(kRamKey, L1("1006"), 9, ValueType::RegDword);

    std::int16_t venue = 0;
    const ReceiveBuffer after = Restart(venue);
    const std::vector<int> expected = {5, 0, 7, 0, 8, 0, 0};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(after[1000 + static_cast<int>(i)], expected[i]) << 1000 + i;
    }
}

TEST_F(ReceiveMemoryTest, PointerBytesAreEachOptional) {
    // The stored high byte (nullptr: missing) with a low byte of 232, and bytes 2..3 loaded.
    const std::tuple<const char*, int, int> cases[] = {
        {nullptr, 0, 232}, {"abc", 0, 232}, {"999", 0, 0}, {"-1", 0, 0}};
    for (const auto& [high, expectedHigh, expectedLow] : cases) {
        const SettingsStore store(dir_.filePath(QString::fromLatin1(high ? high : "none")));
        if (high) {
            store.SetKeyValue(kMemoryDumpKey, L1("2"), L1(high), ValueType::RegSz);
        }
        store.SetKeyValue(kMemoryDumpKey, L1("3"), L1("232"), ValueType::RegSz);
        ReceiveBuffer buffer = StartupBuffer();
        LoadRunBlockPointer(store, buffer);
        EXPECT_EQ(buffer[2], expectedHigh) << (high ? high : "-");
        EXPECT_EQ(buffer[3], expectedLow) << (high ? high : "-");
    }
}

}  // namespace
}  // namespace orvanrx
