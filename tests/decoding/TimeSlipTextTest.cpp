#include <gtest/gtest.h>

#include <QStringList>

#include "TestRace.h"
#include "decoding/TimeSlipText.h"

namespace orvanrx {
namespace {

using testing::TestRace;

QString Slip(TestRace race, int count, std::int16_t h = 1000) {
    race.packets[0][0] = static_cast<std::uint8_t>(count);
    ReceiveBuffer buffer;
    race.WriteTo(buffer, h);
    return TimeSlipText(buffer).value_or(QStringLiteral("<failed>"));
}

TEST(TimeSlipText, ShowsPacketsTwoUpToTheLastCountedInFull) {
    for (const int n : {0, 1, 2}) {
        EXPECT_EQ(Slip(TestRace{}, n), QString()) << n;
    }
    EXPECT_EQ(Slip(TestRace{}, 3), QStringLiteral("SUPER PRO     E1    \r\n "));
    EXPECT_EQ(Slip(TestRace{}, 4),
              QStringLiteral("SUPER PRO     E1    \r\n L[SP:1234]JOHN DOE  \r\n "));

    const QStringList lines = Slip(TestRace{}, 16).split(QStringLiteral("\r\n "));
    ASSERT_EQ(lines.size(), 15);  // Packets 2..15 and the empty rest after the last break
    EXPECT_EQ(lines[13], QStringLiteral("MARG W 0.0123  0.045"));  // bytes 0..19 of Packet 15
    EXPECT_EQ(lines[14], QString());
}

TEST(TimeSlipText, DropsUnprintableBytesAndIgnoresChecksums) {
    TestRace race;
    race.Set(2, MakePacket("PRO\r\nET\x7F\x13 Q1")).Corrupt(2);
    EXPECT_EQ(Slip(race, 3), QStringLiteral("PROET Q1        \r\n "));
}

TEST(TimeSlipText, FailsWhenPointerOrCountLeavesTheMirror) {
    ReceiveBuffer buffer;
    WriteRunBlockPointer(buffer, -1);
    EXPECT_EQ(TimeSlipText(buffer), std::nullopt);

    // 255 Packets from 32000 run far past the end.
    WriteRunBlockPointer(buffer, 32000);
    buffer.Set(32000, 255);
    EXPECT_EQ(TimeSlipText(buffer), std::nullopt);
    // The header byte itself at the very end, with nothing to show.
    WriteRunBlockPointer(buffer, 32767);
    buffer.Set(32767, 2);
    EXPECT_EQ(TimeSlipText(buffer), QString());
}

}  // namespace
}  // namespace orvanrx
